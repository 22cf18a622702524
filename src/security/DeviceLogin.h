#pragma once

#include "platform/Prompts.h"
#include "platform/SecureMemory.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace qozel {

class QoWUsbBulkD;

// The two device kinds with a login; they read a one-byte login reply differently.
enum class LoginDevice { Arkan, Programmer };

inline constexpr std::uint8_t kCmdSetPassword = 72;
inline constexpr std::uint8_t kCmdLogin = 76;
inline constexpr std::uint8_t kCmdGetChallenge = 110;
// A device that is not ready for a login answers the challenge request with
// a status; it is asked once more after this pause.
inline constexpr std::uint32_t kChallengeRetryDelayMs = 1100;

using Challenge = std::array<std::uint8_t, 16>;

// Messages of the administrator login, per device kind.
struct AdminLoginTexts {
    const char* defaultLoginRefused;
    const char* passwordNotAccepted;
    const char* loginRefused;
};
inline constexpr AdminLoginTexts kArkanLoginTexts = {
    "Błąd logowania (hasłem default) do Arkan.",
    "Arkan nie przyjmuje ustawienia hasła.",
    "Arkan nie pozwala się zalogować",
};
inline constexpr AdminLoginTexts kProgrammerLoginTexts = {
    "Błąd logowania (hasłem default) do QO-G30.",
    "QO-G30 nie przyjmuje ustawienia hasła.",
    "QO-G30 nie pozwala się zalogować",
};
const AdminLoginTexts& AdminLoginTextsFor(LoginDevice kind) noexcept;

// Challenge-response login and password setting on an Arkan or programmer.
// The password never leaves the PC: the device checks an AES-128 CMAC over
// the user name and its fresh challenge, keyed with the user's key.
// Every operation may throw WUsbErr; none catches it.

// Command 110. Asks a second time, kChallengeRetryDelayMs later on the
// device's clock, when the first answer is not a challenge; throws WUsbErr 6
// (cmd 110) when the second is not either.
Challenge GetChallenge(QoWUsbBulkD& device);
// Command 76 with the tag over user name and challenge. True when the device
// accepted it.
bool ChallengeLogin(QoWUsbBulkD& device, LoginDevice kind, std::string_view userName, const Key16& key);
// Command 72: sets the key of `userName`, proven by the key in force. True
// when the device answered status 0.
bool SetPassword(QoWUsbBulkD& device, std::string_view userName, const Key16& oldKey, const Key16& newKey);
// The administrator login; on a device without an administrator password
// (`firstTime`) it first sets `key` in place of the factory key. Shows its own
// error message on a refusal; after success the device's state record (info)
// is re-read.
bool AdminLogin(QoWUsbBulkD& device, LoginDevice kind, const Key16& key, bool firstTime, Prompts& prompts);

} // namespace qozel
