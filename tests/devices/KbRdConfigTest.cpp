#include "devices/kbreader/KbRdConfig.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace qozel {
namespace {

using Fields = std::array<KbRdFieldSetting, 4>;

TEST(KbRdConfig, TheCardsTabDefaultsGiveUidInHexThenEnter)
{
    // UID typed in hexadecimal, no separators, Enter at the end.
    const Fields fields = {{{false, false, 0}, {true, true, 0}, {false, false, 0}, {false, false, 0}}};
    const KbRdConfig expected = {0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
                                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x84};
    EXPECT_EQ(BuildKbRdConfig(fields, 0, true), expected);
}

TEST(KbRdConfig, EachFieldHasItsOwnSelectBitSeparatorByteAndHexBit)
{
    const Fields indexWithTab = {{{}, {}, {}, {true, false, 2}}};
    const KbRdConfig index = BuildKbRdConfig(indexWithTab, 0, false);
    EXPECT_EQ(index[2], 0x04);
    EXPECT_EQ(index[12], 0x2B);
    EXPECT_EQ(index[15], 0x00);

    // Every field typed in hex, separators ":" "*" "#" "-", "|" at the end.
    const Fields all = {{{true, true, 6}, {true, true, 7}, {true, true, 8}, {true, true, 9}}};
    const KbRdConfig full = BuildKbRdConfig(all, 13, true);
    const KbRdConfig expected = {0x00, 0x20, 0x07, 0x00, 0x00, 0x00, 0x00, 0x00,
                                 0x00, 0xB3, 0xA5, 0xA0, 0x2D, 0xB1, 0x00, 0x9E};
    EXPECT_EQ(full, expected);
}

TEST(KbRdConfig, SettingsOfAFieldThatIsOffAreStillWritten)
{
    const Fields roreOff = {{{false, true, 11}, {}, {}, {}}};
    const KbRdConfig config = BuildKbRdConfig(roreOff, 0, false);
    EXPECT_EQ(config[1], 0x00);
    EXPECT_EQ(config[9], 0x38);
    EXPECT_EQ(config[15], 0x02);
}

TEST(KbRdConfig, AnItemOutsideTheCharacterListTypesNothing)
{
    const Fields fields = {{{true, false, -1}, {true, false, 14}, {}, {}}};
    const KbRdConfig config = BuildKbRdConfig(fields, 99, false);
    EXPECT_EQ(config[9], 0);
    EXPECT_EQ(config[10], 0);
    EXPECT_EQ(config[13], 0);
}

TEST(KbRdConfig, KeyCodesAreUsbUsagesWithShiftInBit7)
{
    // Item shown and the usage it types, in the order of the character lists.
    const std::vector<std::pair<std::string, std::uint8_t>> expected = {
        {"brak", 0x00}, {"Sp.", 0x2C}, {"Tab", 0x2B}, {",", 0x36}, {";", 0x33}, {".", 0x37}, {":", 0xB3},
        {"*", 0xA5},    {"#", 0xA0},  {"-", 0x2D},   {"_", 0xAD}, {"/", 0x38}, {"\\", 0x31}, {"|", 0xB1}};
    ASSERT_EQ(KeyCodeTable.size(), expected.size());
    ASSERT_EQ(KeyCodeItems.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(KeyCodeItems[i], expected[i].first) << i;
        EXPECT_EQ(KeyCodeTable[i], expected[i].second) << i;
    }
}

} // namespace
} // namespace qozel
