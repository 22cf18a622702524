// The rule the password dialogs enable their OK button by.
#include "security/PasswordKey.h"

#include <gtest/gtest.h>

namespace qozel {
namespace {

TEST(NewPasswordRule, EightCharactersCountedAsTheEditsCountThemAndRepeatedExactly)
{
    const struct {
        const char* password;
        const char* repetition;
        bool confirmed;
    } cases[] = {
        {"", "", false},
        {"1234567", "1234567", false},
        {"12345678", "12345678", true},
        {"12345678", "123456789", false},
        {"Haslo123", "haslo123", false},          // case counts
        {"źźźźźźź", "źźźźźźź", false},            // seven characters in fourteen bytes
        {"zażółćgę", "zażółćgę", true},           // eight characters in twelve bytes
        {"😀😀😀", "😀😀😀", false},                 // six UTF-16 units
        {"😀😀😀ab", "😀😀😀ab", true},              // eight UTF-16 units in five characters
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsNewPasswordConfirmed(c.password, c.repetition), c.confirmed) << c.password;

    // A change needs the old password as long too; old and new may be equal.
    EXPECT_FALSE(IsPasswordChangeConfirmed("1234567", "12345678", "12345678"));
    EXPECT_TRUE(IsPasswordChangeConfirmed("😀😀😀ab", "12345678", "12345678"));
    EXPECT_FALSE(IsPasswordChangeConfirmed("12345678", "12345678", "1234567"));
}

} // namespace
} // namespace qozel
