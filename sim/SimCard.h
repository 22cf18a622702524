#pragma once

#include "SimFrame.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>

namespace qozel::sim {

// A contactless card as the programmer sees it: its UID and type, whether it
// holds an application of the system (1 ordinary card, 2 backup card), its
// files, and the key it was programmed with.
struct SimCard {
    static constexpr std::uint8_t kDesfire = 4;

    std::array<std::uint8_t, 8> uid{};
    std::uint8_t type = kDesfire;
    std::uint8_t appState = 0;
    std::map<std::uint8_t, Bytes> files;
    std::optional<std::array<std::uint8_t, 16>> key;
    bool keyTemporary = false;

    static SimCard Blank(std::array<std::uint8_t, 8> uid)
    {
        SimCard card;
        card.uid = uid;
        return card;
    }
};

} // namespace qozel::sim
