#include "security/PasswordKey.h"

#include "security/Sha256.h"

#include <algorithm>

namespace qozel {

UserNameField MakeUserNameField(std::string_view userName) noexcept
{
    UserNameField field{};
    std::copy_n(userName.begin(), std::min(userName.size(), field.size()), field.begin());
    return field;
}

std::size_t PasswordChars(std::string_view utf8) noexcept
{
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<std::uint8_t>(c);
        if ((byte & 0xC0) != 0x80)  // each character's first byte
            units += byte >= 0xF0 ? 2 : 1;  // four bytes: a surrogate pair in UTF-16
    }
    return units;
}

bool IsNewPasswordConfirmed(std::string_view password, std::string_view repetition) noexcept
{
    return PasswordChars(password) >= kMinNewPasswordChars && repetition == password;
}

bool IsPasswordChangeConfirmed(std::string_view oldPassword, std::string_view password,
                               std::string_view repetition) noexcept
{
    return PasswordChars(oldPassword) >= kMinNewPasswordChars && IsNewPasswordConfirmed(password, repetition);
}

Key16 DeriveKey(std::string_view userName, const PasswordField& password)
{
    SecretBytes<Sha256::kDigestSize> buffer;
    const UserNameField name = MakeUserNameField(userName);
    std::copy(name.begin(), name.end(), buffer.bytes.begin());
    std::copy(password.bytes.begin(), password.bytes.end(), buffer.bytes.begin() + name.size());
    static_assert(UserNameField{}.size() + PasswordField::size() == Sha256::kDigestSize);

    Sha256 sha;
    for (int round = 0; round < kDeriveKeyRounds; ++round) {
        sha.Init();
        sha.Update(buffer.data(), buffer.size());
        sha.Final(buffer.data());
    }
    Key16 key;
    std::copy_n(buffer.bytes.begin(), key.size(), key.bytes.begin());
    return key;
}

Key16 FactoryKey() noexcept
{
    static constexpr std::string_view kFactoryPassword = "quorbelin";
    Key16 key;
    std::copy(kFactoryPassword.begin(), kFactoryPassword.end(), key.bytes.begin());
    return key;
}

} // namespace qozel
