#pragma once

#include "SimFrame.h"

#include "devices/DevInfo.h"

#include <cstdint>
#include <optional>
#include <span>

namespace qozel::sim {

// The device side of a firmware upgrade, for device models to embed. It
// accepts only a test image (TestImageMaker) meant for the device's type,
// only in order, and only the final entry of the device's own number; any
// refusal aborts the upgrade, which then has to start again with the header.
// A finished upgrade sets the device's software version to the image's.
//
// USB devices (Arkan, programmer, Manager, keyboard reader): in HandleCommand,
//     if (auto reply = upgrade.HandleUsb(code, payload, info)) return reply;
// Readers on the Manager's bus: the payload of relayed command 117 goes to
//     upgrade.HandleReader(payload, readerInfo).
class SimUpgradeTarget {
public:
    static constexpr std::uint8_t kCmdBlock = 89;
    static constexpr std::uint8_t kCmdHeader = 90;
    static constexpr std::uint8_t kCmdFinal = 121;
    static constexpr std::uint8_t kRefused = 1;

    // Commands 90, 89 and 121: the status reply. Any other code: nullopt.
    std::optional<Bytes> HandleUsb(std::uint8_t code, std::span<const std::uint8_t> payload, DevInfo& self);
    // Relayed command 117: the 16-byte header, then blocks 0 .. B + 3 (the data
    // blocks and the four groups of the final-entry table). The status reply.
    Bytes HandleReader(std::span<const std::uint8_t> payload, DevInfo& self);

    // Fault injection: this block number is refused.
    std::optional<std::uint16_t> refuseBlock;

    bool inProgress() const noexcept { return receiving_; }
    // Blocks accepted since the last header.
    int blocksAccepted() const noexcept { return next_; }
    int upgradesCompleted() const noexcept { return completed_; }
    // The final entry the last finished USB upgrade was closed with.
    std::optional<Bytes> lastFinalEntry;

private:
    Bytes Header(std::span<const std::uint8_t> payload, const DevInfo& self);
    Bytes Block(std::span<const std::uint8_t> payload, int blocksExpected);
    Bytes Finish(DevInfo& self);
    Bytes Refuse();

    bool receiving_ = false;
    std::uint16_t type_ = 0;
    std::uint8_t version_ = 0;
    int blocks_ = 0;
    int next_ = 0;
    int completed_ = 0;
};

} // namespace qozel::sim
