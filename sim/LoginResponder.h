#pragma once

#include "SimCrypto.h"
#include "SimFrame.h"

#include "platform/Clock.h"

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qozel::sim {

// The device side of the challenge-response login, for the Arkan and
// programmer models to embed: per-user keys (the administrator starting with
// the factory key), one challenge per attempt, the tag checked with
// libcrypto's AES-CMAC, password setting proven by the old key, and who is
// logged in. Handles commands 110, 76 and 72.
class LoginResponder {
public:
    static constexpr std::uint8_t kCmdSetPassword = 72;
    static constexpr std::uint8_t kCmdLogin = 76;
    static constexpr std::uint8_t kCmdGetChallenge = 110;

    // State flags as the devices report them.
    static constexpr std::uint16_t kNoAdminPassword = 0x0100;
    static constexpr std::uint16_t kAdminLoggedIn = 0x0200;

    enum Status : std::uint8_t {
        Ok = 0,
        Refused = 1,    // wrong tag, no challenge, unknown user, wrong old key
        BadRequest = 8, // payload of the wrong length
        Busy = 9,       // a challenge was asked for while the device is busy
    };

    // "admin" and the device's other users (the programmer's "user", the
    // Arkan's "installer"), who have no key until one is set for them.
    explicit LoginResponder(std::initializer_list<std::string_view> otherUsers = {}, Clock* clock = nullptr,
                            std::uint32_t seed = 0x5EED);

    // The reply payload for commands 110, 76 and 72; nothing for any other.
    std::optional<Bytes> Handle(std::uint8_t code, std::span<const std::uint8_t> payload);

    std::uint16_t StateFlags() const noexcept;
    bool adminPasswordSet() const noexcept { return adminPasswordSet_; }
    bool LoggedIn(std::string_view user) const { return loggedIn_ && *loggedIn_ == user; }
    bool adminLoggedIn() const { return LoggedIn("admin"); }
    // Logout (108), re-opening, reset: nobody stays logged in.
    void Logout() noexcept;

    std::optional<Block16> KeyOf(std::string_view user) const;
    // Sets a key directly, as a recovery or a test preload does; for the
    // administrator this also counts as a password set.
    void SetKey(std::string_view user, const Block16& key);
    // Back to the factory state: factory administrator key, no other keys.
    void FactoryReset();

    // What a test can change about the answers.
    Bytes acceptReply = {0x01, 0x00, 0x00, 0x00};  // reply to an accepted login
    std::uint8_t refusalStatus = Refused;          // the one byte of a refused login
    int busyChallenges = 0;                        // this many next challenge requests answer Busy
    std::uint64_t busyUntilUs = 0;                 // and every one before this time of the clock
    int acceptedLoginsLeft = -1;                   // after this many accepted logins all are refused; -1: never

    // Clock times (us) of the challenge requests; 0 without a clock.
    std::vector<std::uint64_t> challengeTimesUs;
    // Every challenge issued, in order.
    std::vector<Block16> challenges;

private:
    Bytes IssueChallenge();
    Bytes CheckLogin(std::span<const std::uint8_t> payload);
    Bytes SetPassword(std::span<const std::uint8_t> payload);
    static std::string UserOf(std::span<const std::uint8_t> field);

    Clock* clock_;
    std::mt19937 rng_;
    std::vector<std::string> otherUsers_;
    std::map<std::string, Block16, std::less<>> keys_;
    bool adminPasswordSet_ = false;
    std::optional<std::string> loggedIn_;
    std::optional<Block16> pendingChallenge_;
};

// The administrator key of a device fresh from the factory: the letters of
// the default password, zero-filled to 16 bytes.
Block16 FactoryAdminKey();

} // namespace qozel::sim
