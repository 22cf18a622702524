// Password keys against a chain computed with libcrypto.
#include "Hex.h"
#include "security/PasswordKey.h"
#include "security/Sha256Engine.h"

#include <gtest/gtest.h>
#include <openssl/sha.h>

#include <cstring>
#include <string>

namespace qozel {
namespace {

using test::ToHex;

PasswordField Field(std::string_view text)
{
    PasswordField field;
    std::memcpy(field.data(), text.data(), std::min(text.size(), field.size()));
    return field;
}

std::string OpenSslDeriveKey(std::string_view user, const PasswordField& password)
{
    std::uint8_t buffer[32] = {};
    std::memcpy(buffer, user.data(), std::min<std::size_t>(user.size(), 12));
    std::memcpy(buffer + 12, password.data(), 20);
    for (int i = 0; i < kDeriveKeyRounds; ++i)
        SHA256(buffer, sizeof buffer, buffer);
    return ToHex(buffer, 16);
}

TEST(PasswordKey, DeriveKeyMatchesTheLibcryptoChainOnEveryEngine)
{
    const Sha256Engine saved = ActiveSha256Engine();
    const PasswordField password = Field("Tajne-Hasło\xB9");   // Windows-1250 bytes pass unchanged
    const std::string expected = OpenSslDeriveKey("admin", password);
    for (const auto engine : kAllSha256Engines) {
        if (!SelectSha256Engine(engine))
            continue;
        EXPECT_EQ(ToHex(DeriveKey(kAdminUser, password).bytes), expected) << Sha256EngineName(engine);
    }
    SelectSha256Engine(saved);
}

TEST(PasswordKey, EmptyPasswordAndFullFieldDeriveLikeAnyOther)
{
    const PasswordField empty;   // 20 zero bytes, as the login dialog may deliver
    EXPECT_EQ(ToHex(DeriveKey(kAdminUser, empty).bytes), OpenSslDeriveKey("admin", empty));
    const PasswordField full = Field("12345678901234567890");
    EXPECT_EQ(ToHex(DeriveKey(kInstallerUser, full).bytes), OpenSslDeriveKey("installer", full));
}

TEST(PasswordKey, UserNameTakesPartInTheKey)
{
    const PasswordField password = Field("wspolne");
    const Key16 admin = DeriveKey(kAdminUser, password);
    EXPECT_NE(admin, DeriveKey(kProgrammerUser, password));
    EXPECT_NE(admin, DeriveKey(kInstallerUser, password));
    EXPECT_EQ(admin, DeriveKey(kAdminUser, password));
}

TEST(PasswordKey, UserNameFieldIsZeroFilledAndCutAtTwelve)
{
    EXPECT_EQ(ToHex(MakeUserNameField("admin")), "61646d696e00000000000000");
    EXPECT_EQ(ToHex(MakeUserNameField("installer")), "696e7374616c6c6572000000");
    EXPECT_EQ(MakeUserNameField("abcdefghijklmnop"), MakeUserNameField("abcdefghijkl"));
    EXPECT_EQ(ToHex(MakeUserNameField("abcdefghijkl")), "6162636465666768696a6b6c");   // no terminator
}

TEST(PasswordKey, FactoryKeyIsTheDefaultPasswordUsedDirectly)
{
    EXPECT_EQ(ToHex(FactoryKey().bytes), "71756f7262656c696e00000000000000");
}

} // namespace
} // namespace qozel
