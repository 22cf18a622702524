#pragma once

#include "devices/firmware/BuiltInImages.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace qozel::sim {

// Header values of a test firmware image; the payload is deterministic filler.
struct TestImageLayout {
    ImageSlot slot;
    std::uint16_t type;
    std::uint8_t version;
    std::uint16_t blocks;
};

// One image per slot that the product carries an image for, with the header
// values of the product's images (the keyboard reader's slot stays empty).
inline constexpr std::array<TestImageLayout, 9> kTestImageLayouts = {{
    {ImageSlot::Arkan, 0x010E, 4, 24},
    {ImageSlot::Programmer, 0x00AA, 5, 53},
    {ImageSlot::Manager, 0x0089, 4, 21},
    {ImageSlot::Reader70, 0x0046, 3, 44},
    {ImageSlot::Reader72, 0x0048, 3, 249},
    {ImageSlot::Reader75, 0x004B, 3, 46},
    {ImageSlot::Reader76, 0x004C, 3, 49},
    {ImageSlot::Reader78, 0x004E, 3, 46},
    {ImageSlot::Reader774, 0x0306, 3, 101},
}};

// The version of the test image of `slot`; 0 for a slot without one.
constexpr std::uint8_t TestImageVersion(ImageSlot slot)
{
    for (const TestImageLayout& layout : kTestImageLayouts)
        if (layout.slot == slot)
            return layout.version;
    return 0;
}

// The bytes a device of `type` expects as data block n of a test image.
std::array<std::uint8_t, 520> TestImageBlock(std::uint16_t type, std::uint8_t version, std::uint16_t n);
// The final entry a device of `type` whose number has low byte `b` expects.
std::array<std::uint8_t, 8> TestFinalEntry(std::uint16_t type, std::uint8_t version, std::uint8_t b);

// Group g (0..3) of the final-entry table, as a reader receives it.
std::array<std::uint8_t, 520> TestFinalGroup(std::uint16_t type, std::uint8_t version, std::uint8_t g);

// A whole image: header, B filler blocks, and the final-entry table with the
// entry of every low byte b in place (group b >> 6, entry b & 63).
std::vector<std::uint8_t> MakeTestImage(std::uint16_t type, std::uint8_t version, std::uint16_t blocks);
inline std::vector<std::uint8_t> MakeTestImage(const TestImageLayout& layout)
{
    return MakeTestImage(layout.type, layout.version, layout.blocks);
}

} // namespace qozel::sim
