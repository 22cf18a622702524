#pragma once

#include "devices/firmware/BuiltInImages.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace qozel {

// What the build expects of the image file of each slot.
struct ImageSlotInfo {
    ImageSlot slot;
    const char* fileName;      // file name inside the firmware directory
    std::uint16_t typeWord;    // the type word the image must carry; 0 = any device type
};

inline constexpr std::array<ImageSlotInfo, kImageSlotCount> kImageSlots = {{
    {ImageSlot::Arkan, "arkan.img", 0x010E},
    {ImageSlot::Programmer, "programmer.img", 0x00AA},
    {ImageSlot::Manager, "manager.img", 0x0089},
    {ImageSlot::Reader70, "reader70.img", 0x0046},
    {ImageSlot::Reader72, "reader72.img", 0x0048},
    {ImageSlot::Reader75, "reader75.img", 0x004B},
    {ImageSlot::Reader76, "reader76.img", 0x004C},
    {ImageSlot::Reader78, "reader78.img", 0x004E},
    {ImageSlot::Reader774, "reader774.img", 0x0306},
    // The keyboard reader's type word is the device's own; any real one is taken.
    {ImageSlot::KbReader, "kbreader.img", 0},
}};

// Largest image file the build compiles in (the largest known image is 131576 bytes).
inline constexpr std::size_t kMaxImageFileSize = 256 * 1024;

// Empty when `bytes` is a usable image for `slot`: a header with the slot's
// type word, a version, at least one block, a zero disable word, and exactly
// 16 + (B + 4) x 520 bytes. Otherwise the reason it is not.
std::string CheckImage(std::span<const std::uint8_t> bytes, const ImageSlotInfo& slot);

} // namespace qozel
