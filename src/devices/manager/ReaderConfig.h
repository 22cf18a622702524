#pragma once

#include "devices/manager/ReaderRecord.h"

#include <array>
#include <cstdint>

namespace qozel {

// The 8 configuration bytes a reader or module takes with command 67.
using ConfigBytes = std::array<std::uint8_t, 8>;

// A reader's own configuration (kind 0); comes back as config0..config2.
struct ReaderConfig {
    bool pinWhole = false;       // the PIN is sent as a whole
    bool starClears = false;     // the star key clears the typed digits
    bool roRe = false;           // the phone identifier is read
    bool sendUid = false;        // data sent from QoZEL cards
    bool sendDepartment = false;
    bool sendIndex = false;

    static ReaderConfig FromRecord(const ReaderRecord& record) noexcept
    {
        return {(record.config0 & 0x02) != 0, (record.config0 & 0x04) != 0, (record.config1 & 0x20) != 0,
                (record.config2 & 0x01) != 0, (record.config2 & 0x02) != 0, (record.config2 & 0x04) != 0};
    }

    ConfigBytes Bytes() const noexcept
    {
        return {static_cast<std::uint8_t>((pinWhole ? 0x02 : 0) | (starClears ? 0x04 : 0)),
                static_cast<std::uint8_t>(roRe ? 0x20 : 0),
                static_cast<std::uint8_t>((sendUid ? 0x01 : 0) | (sendDepartment ? 0x02 : 0) | (sendIndex ? 0x04 : 0)),
                0, 0, 0, 0, 0};
    }

    friend bool operator==(const ReaderConfig&, const ReaderConfig&) = default;
};

// The configuration of a two-reader module QO-L74 (kind 1).
struct ModuleConfig {
    // Mode of each attached reader.
    enum Mode : std::uint8_t { InputsAndOutputs = 0, Inputs = 1, Outputs = 2 };

    std::uint8_t activityIndex = 0;   // 0..15 for 4 s, 8 s, ... 64 s
    Mode reader1 = InputsAndOutputs;
    Mode reader2 = InputsAndOutputs;

    static constexpr unsigned ActivitySeconds(unsigned index) noexcept { return index * 4 + 4; }

    // As read back with ReadModuleData sub-code 1; a mode field of 0 (never
    // written) counts as 1, inputs and outputs.
    static ModuleConfig FromBytes(const ConfigBytes& bytes) noexcept
    {
        auto mode = [](unsigned field) { return static_cast<Mode>((field == 0 ? 1 : field) - 1); };
        return {static_cast<std::uint8_t>(bytes[0] >> 4), mode(bytes[1] & 3), mode((bytes[1] >> 2) & 3)};
    }

    ConfigBytes Bytes() const noexcept
    {
        return {static_cast<std::uint8_t>((activityIndex & 0x0F) << 4),
                static_cast<std::uint8_t>((reader1 + 1) | ((reader2 + 1) << 2)), 0, 0, 0, 0, 0, 0};
    }

    friend bool operator==(const ModuleConfig&, const ModuleConfig&) = default;
};

} // namespace qozel
