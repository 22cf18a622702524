#pragma once

#include "SimDeviceModel.h"
#include "SimReader.h"
#include "SimUpgradeTarget.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace qozel::sim {

// The ZEL Manager's firmware: its identity, bus rate, clock and key
// signature, the list of readers on its bus, the relaying of commands to the
// addressed reader, the event frames the readers cause, and the upgrade of its
// own firmware.
// The base faults act on the Manager's own frames; a reader's refusal or a
// wrong-length answer to a relayed command is set on the reader
// (SimReader::forcedAnswers), since it travels inside a relay reply.
class ManagerModel final : public SimDeviceModel {
public:
    static constexpr std::uint16_t kType = 0x0089;
    static constexpr std::size_t kMaxReaders = 32;
    static constexpr std::uint32_t kAllReaders = 0xFFFFFFFF;

    explicit ManagerModel(std::uint16_t nr = 0x0031, std::uint16_t soft = 3) : nr(nr), soft(soft) {}

    std::uint16_t nr;
    std::uint16_t soft;
    std::uint16_t baud100 = 96;        // bus rate / 100; 0 = not set
    std::uint32_t clock = 0;           // last time set
    std::uint32_t keySignature = 0;    // last signature set

    // Upgrade of the Manager's own firmware (commands 90, 89, 121); `soft`
    // changes only when the final entry is accepted.
    SimUpgradeTarget upgrade;

    // Readers in the order the Manager lists them.
    std::vector<std::shared_ptr<SimReader>> bus;

    // Adds a reader to the end of the bus (at most 32).
    SimReader& AddReader(std::uint16_t nr, std::uint16_t type, std::uint16_t soft = 2);
    // Adds a QO-L74 module with its two attached readers.
    SimReader& AddModule(std::uint16_t nr, std::uint16_t reader1Type, std::uint16_t reader2Type);

    // A reader answers only while wired, powered and set to the bus rate.
    bool IsOnline(const SimReader& reader) const noexcept
    {
        return reader.connected && baud100 != 0 && reader.baud100 == baud100;
    }

    // Faults of the Manager itself.
    // Each relayed answer is preceded by the same answer naming another reader.
    bool answerForOtherReaderFirst = false;
    // The list is ended by a zero entry at this position.
    std::optional<std::size_t> listEndsAt;

    // Things happening at a reader; an event frame is queued when the reader
    // reports it. False when nothing was sent.
    bool PresentCard(SimReader& reader, std::span<const std::uint8_t, 8> uid,
                     std::optional<std::pair<std::int32_t, std::int32_t>> qozelData = std::nullopt);
    bool ReadPhone(SimReader& reader, std::span<const std::uint8_t, 8> phoneId);
    bool TypePin(SimReader& reader, std::string_view pin);
    bool ChangeInputs(SimReader& reader, std::uint8_t tamperBits, std::uint8_t powerBits);
    bool PresentBackupCard(SimReader& reader, std::span<const std::uint8_t, 8> uid,
                           std::span<const std::uint8_t> certificate);
    // An event frame for any reader id, listed or not.
    void EmitEvent(std::uint32_t readerId, const Bytes& eventBytes);

protected:
    std::optional<Bytes> HandleCommand(std::uint8_t code, std::span<const std::uint8_t> payload) override;

private:
    std::optional<Bytes> Upgrade(std::uint8_t code, std::span<const std::uint8_t> payload);
    Bytes ReaderList() const;
    std::optional<Bytes> Relay(std::uint8_t code, std::span<const std::uint8_t> payload);
    bool Raise(SimReader& reader, std::optional<Bytes> eventBytes);
};

} // namespace qozel::sim
