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

// Hash rounds that turn a password into a key; they make guessing costly.
inline constexpr int kDeriveKeyRounds = 100000;

// The key of `userName` for a password: the user name field and the password
// field hashed with SHA-256, the digest hashed again kDeriveKeyRounds times in
// all; the first 16 bytes of the last digest.
Key16 DeriveKey(std::string_view userName, const PasswordField& password);

// The administrator key of a device on which no password was ever set.
Key16 FactoryKey() noexcept;

} // namespace qozel
