#include "TestImageMaker.h"

#include "devices/FirmwareImage.h"

#include <algorithm>

namespace qozel::sim {
namespace {

// A small mixing function: every (image, position) gets its own byte, so a
// block sent from the wrong offset never passes for the right one.
std::uint8_t Filler(std::uint32_t seed, std::uint32_t position)
{
    std::uint32_t x = seed * 0x9E3779B9u ^ position * 0x85EBCA6Bu;
    x ^= x >> 15;
    x *= 0x2C1B3C6Du;
    x ^= x >> 12;
    return static_cast<std::uint8_t>(x >> 8);
}

std::uint32_t Seed(std::uint16_t type, std::uint8_t version, std::uint32_t part)
{
    return (static_cast<std::uint32_t>(type) << 8 | version) + part * 0x01000193u;
}

} // namespace

std::array<std::uint8_t, 520> TestImageBlock(std::uint16_t type, std::uint8_t version, std::uint16_t n)
{
    std::array<std::uint8_t, 520> block;
    for (std::uint32_t i = 0; i < block.size(); ++i)
        block[i] = Filler(Seed(type, version, 1), n * 520u + i);
    return block;
}

std::array<std::uint8_t, 8> TestFinalEntry(std::uint16_t type, std::uint8_t version, std::uint8_t b)
{
    std::array<std::uint8_t, 8> entry;
    for (std::uint32_t i = 0; i < entry.size(); ++i)
        entry[i] = Filler(Seed(type, version, 2), b * 8u + i);
    return entry;
}

std::array<std::uint8_t, 520> TestFinalGroup(std::uint16_t type, std::uint8_t version, std::uint8_t g)
{
    std::array<std::uint8_t, 520> group;
    for (std::size_t e = 0; e < 64; ++e) {
        const auto entry = TestFinalEntry(type, version, static_cast<std::uint8_t>(g * 64 + e));
        std::copy(entry.begin(), entry.end(), group.begin() + static_cast<std::ptrdiff_t>(e * 8));
    }
    // The last 8 bytes of a group are not used.
    std::fill_n(group.begin() + 512, 8, 0xFF);
    return group;
}

std::vector<std::uint8_t> MakeTestImage(std::uint16_t type, std::uint8_t version, std::uint16_t blocks)
{
    std::vector<std::uint8_t> image(FirmwareImage::SizeFor(blocks), 0);
    image[0] = static_cast<std::uint8_t>(type >> 8);
    image[1] = static_cast<std::uint8_t>(type);
    image[2] = version;
    image[4] = static_cast<std::uint8_t>(blocks);
    image[5] = static_cast<std::uint8_t>(blocks >> 8);
    // Bytes 8..15 are the device's business; they only have to arrive unchanged.
    for (std::size_t i = 8; i < FirmwareImage::kHeaderSize; ++i)
        image[i] = Filler(Seed(type, version, 3), static_cast<std::uint32_t>(i));
    for (std::uint16_t n = 0; n < blocks; ++n) {
        const auto block = TestImageBlock(type, version, n);
        std::copy(block.begin(), block.end(), image.begin() + 16 + n * 520);
    }
    const std::size_t table = FirmwareImage::kHeaderSize + blocks * FirmwareImage::kBlockSize;
    for (std::uint8_t g = 0; g < FirmwareImage::kFinalGroups; ++g) {
        const auto group = TestFinalGroup(type, version, g);
        std::copy(group.begin(), group.end(), image.begin() + static_cast<std::ptrdiff_t>(table + g * 520));
    }
    return image;
}

} // namespace qozel::sim
