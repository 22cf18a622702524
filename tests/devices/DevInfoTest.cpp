#include "devices/DevInfo.h"

#include <gtest/gtest.h>

#include <array>

namespace qozel {
namespace {

DevInfo OfType(std::uint16_t type) { return DevInfo{0, type, 0, 0}; }

TEST(DisplayNames, ShortNameDecodesFamilyLetterAndNumber)
{
    const struct {
        std::uint16_t type;
        const char* name;
    } cases[] = {
        {774, "QO-L74"},      {270, "QO-N70"},     {0x1046, "WYR-V170"}, {0x3000, "OSK-V100"},
        {0x5063, "-V99"},     {0x03FF, "QO-Y23"},  {70, "QO-V70"},       {0x2000 | 150, "Nuna-J50"},
        {0x7000 | 999, "FEJ-Y99"}, {0x00AA, "QO-J70"}, {0x0000, "QO-V00"},
        // Bits 10, 11 and 15 do not change the name.
        {static_cast<std::uint16_t>(0x8C00 | 774), "QO-L74"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortName(OfType(c.type)), c.name) << std::hex << c.type;
}

TEST(DisplayNames, LongNameShowsNumberAndSoftwareOrThePlaceholder)
{
    EXPECT_EQ(LongName(DevInfo{12, 70, 3, 0}), "QO-V70 Nr: 12, Soft: 3");
    EXPECT_EQ(LongName(DevInfo{65535, 774, 65535, 0}), "QO-L74 Nr: 65535, Soft: 65535");
    EXPECT_EQ(LongName(DevInfo{12, 0, 3, 0}), "   ============   ");
    EXPECT_EQ(LongName(DevInfo{12, 0xFFFF, 3, 0}), "   ============   ");
}

TEST(DisplayNames, EachCallReturnsItsOwnText)
{
    const std::string first = ShortName(OfType(774));
    const std::string second = ShortName(OfType(270));
    EXPECT_EQ(first, "QO-L74");
    EXPECT_EQ(second, "QO-N70");
}

TEST(IdentityRecord, WordsAreLittleEndianAndTheDeviceIdCombinesNumberAndType)
{
    const std::array<std::uint8_t, 8> bytes = {0x47, 0x12, 0x0E, 0x01, 0x04, 0x00, 0x05, 0x80};
    const DevInfo info = DevInfo::FromBytes(bytes);
    EXPECT_EQ(info, (DevInfo{0x1247, 0x010E, 4, 0x8005}));
    EXPECT_EQ(info.DeviceId(), 0x010E1247u);
    std::array<std::uint8_t, 8> back{};
    info.ToBytes(back);
    EXPECT_EQ(back, bytes);
}

TEST(IdentityRecord, CopyReportsWhetherAnythingChanged)
{
    DevInfo target{1, 2, 3, 4};
    EXPECT_FALSE(CopyDevInfo(target, DevInfo{1, 2, 3, 4}));
    EXPECT_EQ(target, (DevInfo{1, 2, 3, 4}));
    EXPECT_TRUE(CopyDevInfo(target, DevInfo{1, 2, 3, 5}));
    EXPECT_EQ(target.flags, 5);
}

} // namespace
} // namespace qozel
