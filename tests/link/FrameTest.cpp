#include "link/Frame.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>
#include <vector>

namespace qozel {
namespace {

std::span<const std::uint8_t> Ascii(std::string_view s)
{
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(Checksums, PublishedCheckValues)
{
    EXPECT_EQ(Crc16(Ascii("123456789")), 0x4B37);      // CRC-16/MODBUS
    EXPECT_EQ(Crc32(Ascii("123456789")), 0x0376E6E7u); // CRC-32/MPEG-2
    EXPECT_EQ(Crc16({}), 0xFFFF);
    EXPECT_EQ(Crc32({}), 0xFFFFFFFFu);
}

TEST(Checksums, Crc16OverAFrameWithItsCrcIsZero)
{
    const std::array<std::uint8_t, 3> head = {0x05, 0x00, 0x4D};
    EXPECT_EQ(Crc16(head), 0xF4A1);
    const std::array<std::uint8_t, 5> whole = {0x05, 0x00, 0x4D, 0xA1, 0xF4};
    EXPECT_EQ(Crc16(whole), 0);
}

TEST(Checksums, InitialValueChains)
{
    const auto all = Ascii("123456789");
    EXPECT_EQ(Crc16(all.subspan(4), Crc16(all.first(4))), Crc16(all));
    EXPECT_EQ(Crc32(all.subspan(4), Crc32(all.first(4))), Crc32(all));
}

TEST(FrameBuilding, StateQueryIsTheKnownFiveBytes)
{
    FrameBuffer out{};
    ASSERT_EQ(BuildFrame(77, {}, out), 5u);
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + 5),
              (std::vector<std::uint8_t>{0x05, 0x00, 0x4D, 0xA1, 0xF4}));
}

TEST(FrameBuilding, LargestPayloadFitsAndOneMoreDoesNot)
{
    std::vector<std::uint8_t> payload(kMaxPayload, 0x5A);
    FrameBuffer out{};
    ASSERT_EQ(BuildFrame(89, payload, out), 1032u);
    EXPECT_EQ(GetLe16(out.data()), 1032);
    EXPECT_TRUE(IsValidFrame(out));

    payload.push_back(0);
    EXPECT_EQ(BuildFrame(89, payload, out), 0u);
}

TEST(FrameChecking, RejectsEachKindOfDefect)
{
    FrameBuffer out{};
    const std::array<std::uint8_t, 3> payload = {1, 2, 3};
    const std::size_t n = BuildFrame(0xC2, payload, out);
    const std::span<const std::uint8_t> frame(out.data(), n);
    ASSERT_TRUE(IsValidFrame(frame));

    // Only the header and CRC, no payload: never a valid transfer.
    FrameBuffer empty{};
    ASSERT_EQ(BuildFrame(0xC2, {}, empty), 5u);
    EXPECT_FALSE(IsValidFrame(std::span(empty).first(5)));

    // A length field that differs from the transfer size by one.
    EXPECT_FALSE(IsValidFrame(frame.first(n - 1)));
    std::vector<std::uint8_t> longer(frame.begin(), frame.end());
    longer.push_back(0);
    EXPECT_FALSE(IsValidFrame(longer));

    // Any single flipped bit.
    for (std::size_t byte = 0; byte < n; ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            std::vector<std::uint8_t> flipped(frame.begin(), frame.end());
            flipped[byte] ^= static_cast<std::uint8_t>(1 << bit);
            EXPECT_FALSE(IsValidFrame(flipped)) << "byte " << byte << " bit " << bit;
        }
    }
}

} // namespace
} // namespace qozel
