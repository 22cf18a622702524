#pragma once

#include "SimDeviceModel.h"

#include <map>

namespace qozel::sim {

// A device that answers each command code with a fixed reply payload, and the
// state query with its identity record. For tests of the channels, where the
// device's own logic does not matter.
class ScriptedModel final : public SimDeviceModel {
public:
    ScriptedModel(std::uint16_t nr = 0x0102, std::uint16_t type = 0x010E, std::uint16_t soft = 4,
                  std::uint16_t flags = 0)
    {
        replies[77] = {static_cast<std::uint8_t>(nr), static_cast<std::uint8_t>(nr >> 8),
                       static_cast<std::uint8_t>(type), static_cast<std::uint8_t>(type >> 8),
                       static_cast<std::uint8_t>(soft), static_cast<std::uint8_t>(soft >> 8),
                       static_cast<std::uint8_t>(flags), static_cast<std::uint8_t>(flags >> 8)};
    }

    // Reply payload per command code; codes not listed are not answered.
    std::map<std::uint8_t, Bytes> replies;

    using SimDeviceModel::Emit;

protected:
    std::optional<Bytes> HandleCommand(std::uint8_t code, std::span<const std::uint8_t>) override
    {
        const auto it = replies.find(code);
        if (it == replies.end())
            return std::nullopt;
        return it->second;
    }
};

} // namespace qozel::sim
