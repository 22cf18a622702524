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
