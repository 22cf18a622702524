#include "platform/Win1250.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <optional>
#include <string>

namespace qozel {
namespace {

// Converts with glibc's own code page tables; nullopt when glibc refuses.
std::optional<std::string> Iconv(const char* to, const char* from, std::string in)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(in.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1))
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

bool IsUndefinedInCodePage(unsigned byte)
{
    return byte == 0x81 || byte == 0x83 || byte == 0x88 || byte == 0x90 || byte == 0x98;
}

TEST(Win1250, EveryUpperByteRoundTripsAndMatchesGlibc)
{
    for (unsigned b = 0x80; b <= 0xFF; ++b) {
        SCOPED_TRACE(b);
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = Win1250ToUtf8(byte);
        EXPECT_EQ(Utf8ToWin1250(utf8), byte);

        if (IsUndefinedInCodePage(b)) {
            // No character in the code page: the C1 control of the same number.
            const char32_t c1 = b;
            EXPECT_EQ(utf8, Iconv("UTF-8", "UTF-32LE", std::string(reinterpret_cast<const char*>(&c1), 4)));
            continue;
        }
        EXPECT_EQ(Iconv("UTF-8", "CP1250", byte), utf8);
        EXPECT_EQ(Iconv("CP1250", "UTF-8", utf8), byte);
    }
}

TEST(Win1250, AsciiPassesUnchanged)
{
    std::string all;
    for (int c = 0; c < 0x80; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(Win1250ToUtf8(all), all);
    EXPECT_EQ(Utf8ToWin1250(all), all);
}

TEST(Win1250, PolishLettersGiveTheirCodePageBytes)
{
    EXPECT_EQ(Utf8ToWin1250("ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ"),
              "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF \xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
    EXPECT_EQ(Win1250ToUtf8("Zmie\xF1 has\xB3o"), "Zmień hasło");
}

TEST(Win1250, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(Utf8ToWin1250("a\u00E6b"), "a?b");          // æ: Latin-1, not in 1250
    EXPECT_EQ(Utf8ToWin1250("\u0416\u4E2D"), "??");       // Cyrillic, CJK
    EXPECT_EQ(Utf8ToWin1250("x\U0001F600y"), "x?y");      // four-byte sequence
    EXPECT_EQ(Utf8ToWin1250("\u00C2\u0102"), "\xC2\xC3"); // neighbours that are in it
}

TEST(Win1250, MalformedUtf8BecomesQuestionMarksWithoutSwallowingGoodText)
{
    EXPECT_EQ(Utf8ToWin1250("\x80"), "?");                 // stray continuation
    EXPECT_EQ(Utf8ToWin1250("a\xC5"), "a?");               // truncated at the end
    EXPECT_EQ(Utf8ToWin1250("\xC5" "a"), "?a");            // lead followed by ASCII
    EXPECT_EQ(Utf8ToWin1250("\xE2\x82" "b"), "?b");        // three-byte cut short
    EXPECT_EQ(Utf8ToWin1250("\xC0\xAF"), "?");             // overlong '/'
    EXPECT_EQ(Utf8ToWin1250("\xE0\x80\xAF"), "?");         // overlong '/'
    EXPECT_EQ(Utf8ToWin1250("\xED\xA0\x80"), "?");         // surrogate
    EXPECT_EQ(Utf8ToWin1250("\xF4\x90\x80\x80"), "?");     // beyond U+10FFFF
    EXPECT_EQ(Utf8ToWin1250("\xFF\xFE"), "??");            // never valid
}

std::string FieldBytes(const PasswordField& field)
{
    return std::string(reinterpret_cast<const char*>(field.data()), field.size());
}

TEST(Win1250, PasswordFieldIsZeroFilledAndTruncatedAtTwentyBytes)
{
    PasswordField field;
    field.bytes.fill(0xAA);
    FillPasswordField("", field);
    EXPECT_EQ(FieldBytes(field), std::string(20, '\0'));

    FillPasswordField("Łódź", field);
    EXPECT_EQ(FieldBytes(field), std::string("\xA3\xF3" "d\x9F") + std::string(16, '\0'));

    // Twenty two-byte UTF-8 letters still fill exactly 20 bytes, no terminator.
    std::string twenty;
    for (int i = 0; i < 20; ++i)
        twenty += "ż";
    FillPasswordField(twenty, field);
    EXPECT_EQ(FieldBytes(field), std::string(20, '\xBF'));

    FillPasswordField("abcdefghijklmnopqrstuvwxyz", field);
    EXPECT_EQ(FieldBytes(field), "abcdefghijklmnopqrst");

    // A shorter password overwrites the tail of a longer one.
    FillPasswordField("\u4E2D" "1", field);
    EXPECT_EQ(FieldBytes(field), std::string("?1") + std::string(18, '\0'));
}

} // namespace
} // namespace qozel
