#pragma once

#include "platform/SecureMemory.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qozel {

// The user names of the device logins, one per role.
inline constexpr std::string_view kAdminUser = "admin";
inline constexpr std::string_view kProgrammerUser = "user";
inline constexpr std::string_view kInstallerUser = "installer";

// A user name as the devices take it: ASCII, zero-filled to 12 bytes, cut at 12.
using UserNameField = std::array<std::uint8_t, 12>;
UserNameField MakeUserNameField(std::string_view userName) noexcept;

// The fewest characters a new password may have; the old password of a
// change needs as many.
inline constexpr std::size_t kMinNewPasswordChars = 8;

// The characters of a UTF-8 password as the password edits count them: in
// UTF-16 units, so a character beyond U+FFFF counts two.
std::size_t PasswordChars(std::string_view utf8) noexcept;

// The rule for a new password typed twice (both UTF-8): at least
// kMinNewPasswordChars characters, and the repetition exactly equal
// (case-sensitive).
bool IsNewPasswordConfirmed(std::string_view password, std::string_view repetition) noexcept;

// The rule for changing a password: the old one as long as a new one must
// be, and the new one confirmed. Old and new may be equal.
bool IsPasswordChangeConfirmed(std::string_view oldPassword, std::string_view password,
                               std::string_view repetition) noexcept;

// Hash rounds that turn a password into a key; they make guessing costly.
inline constexpr int kDeriveKeyRounds = 100000;

// The key of `userName` for a password: the user name field and the password
// field hashed with SHA-256, the digest hashed again kDeriveKeyRounds times in
// all; the first 16 bytes of the last digest.
Key16 DeriveKey(std::string_view userName, const PasswordField& password);

// The administrator key of a device on which no password was ever set.
Key16 FactoryKey() noexcept;

} // namespace qozel
