#include "LoginResponder.h"

#include <algorithm>
#include <cstring>

namespace qozel::sim {

namespace {

constexpr std::size_t kNameSize = 12;
constexpr std::size_t kLoginSize = 28;
constexpr std::size_t kSetPasswordSize = 44;

Block16 BlockAt(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    Block16 block{};
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), block.size(), block.begin());
    return block;
}

} // namespace

Block16 FactoryAdminKey()
{
    Block16 key{};
    std::memcpy(key.data(), "quorbelin", 9);
    return key;
}

LoginResponder::LoginResponder(std::initializer_list<std::string_view> otherUsers, Clock* clock, std::uint32_t seed)
    : clock_(clock), rng_(seed), otherUsers_(otherUsers.begin(), otherUsers.end())
{
    FactoryReset();
}

void LoginResponder::FactoryReset()
{
    keys_.clear();
    keys_["admin"] = FactoryAdminKey();
    adminPasswordSet_ = false;
    loggedIn_.reset();
    pendingChallenge_.reset();
}

std::optional<Bytes> LoginResponder::Handle(std::uint8_t code, std::span<const std::uint8_t> payload)
{
    switch (code) {
    case kCmdGetChallenge:
        return IssueChallenge();
    case kCmdLogin:
        return CheckLogin(payload);
    case kCmdSetPassword:
        return SetPassword(payload);
    default:
        return std::nullopt;
    }
}

std::uint16_t LoginResponder::StateFlags() const noexcept
{
    std::uint16_t flags = 0;
    if (!adminPasswordSet_)
        flags |= kNoAdminPassword;
    if (loggedIn_ && *loggedIn_ == "admin")
        flags |= kAdminLoggedIn;
    return flags;
}

void LoginResponder::Logout() noexcept
{
    loggedIn_.reset();
    pendingChallenge_.reset();
}

std::optional<Block16> LoginResponder::KeyOf(std::string_view user) const
{
    const auto it = keys_.find(user);
    if (it == keys_.end())
        return std::nullopt;
    return it->second;
}

void LoginResponder::SetKey(std::string_view user, const Block16& key)
{
    keys_[std::string(user)] = key;
    if (user == "admin")
        adminPasswordSet_ = true;
}

std::string LoginResponder::UserOf(std::span<const std::uint8_t> field)
{
    const auto end = std::find(field.begin(), field.begin() + kNameSize, std::uint8_t{0});
    return std::string(field.begin(), end);
}

Bytes LoginResponder::IssueChallenge()
{
    const std::uint64_t now = clock_ ? clock_->Microseconds() : 0;
    challengeTimesUs.push_back(now);
    if (busyChallenges > 0 || now < busyUntilUs) {
        busyChallenges = std::max(0, busyChallenges - 1);
        return Bytes{Busy};
    }
    Block16 challenge;
    for (auto& b : challenge)
        b = static_cast<std::uint8_t>(rng_());
    pendingChallenge_ = challenge;
    challenges.push_back(challenge);
    return Bytes(challenge.begin(), challenge.end());
}

Bytes LoginResponder::CheckLogin(std::span<const std::uint8_t> payload)
{
    if (payload.size() != kLoginSize)
        return Bytes{BadRequest};
    // A challenge serves one attempt, whatever its outcome; a failed attempt
    // ends any login in force.
    const std::optional<Block16> challenge = pendingChallenge_;
    pendingChallenge_.reset();
    loggedIn_.reset();
    const std::string user = UserOf(payload);
    const auto key = KeyOf(user);
    if (!challenge || !key)
        return Bytes{refusalStatus};

    Bytes message(payload.begin(), payload.begin() + kNameSize);
    message.insert(message.end(), challenge->begin(), challenge->end());
    const Block16 expected = AesCmac(*key, message);
    if (!std::equal(expected.begin(), expected.end(), payload.begin() + kNameSize) || acceptedLoginsLeft == 0)
        return Bytes{refusalStatus};
    if (acceptedLoginsLeft > 0)
        --acceptedLoginsLeft;
    loggedIn_ = user;
    return acceptReply;
}

Bytes LoginResponder::SetPassword(std::span<const std::uint8_t> payload)
{
    if (payload.size() != kSetPasswordSize)
        return Bytes{BadRequest};
    const std::string user = UserOf(payload);
    const Block16 oldKey = BlockAt(payload, kNameSize);
    const Block16 newKey = BlockAt(payload, kNameSize + 16);
    const bool known = user == "admin" || std::find(otherUsers_.begin(), otherUsers_.end(), user) != otherUsers_.end();
    if (!known)
        return Bytes{Refused};
    const auto current = KeyOf(user);
    // The administrator proves the key in force; the other users' keys are
    // set by a logged-in administrator, with zeros in place of the old key.
    const bool proven = (current && *current == oldKey) ||
                        (user != "admin" && adminLoggedIn() && oldKey == Block16{});
    if (!proven)
        return Bytes{Refused};
    SetKey(user, newKey);
    return Bytes{Ok};
}

} // namespace qozel::sim
