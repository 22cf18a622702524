#include "security/DeviceLogin.h"

#include "link/DeviceErrors.h"
#include "link/QoWUsbBulkD.h"
#include "security/AES128.h"
#include "security/Cmac.h"
#include "security/PasswordKey.h"

#include <algorithm>

namespace qozel {

namespace {

// Login message: user name field, then the challenge while the tag is
// computed, then the tag in its place.
constexpr std::size_t kLoginMessageSize = 28;
constexpr std::size_t kChallengeOffset = 12;
// Set-password payload: user name field, old key, new key.
constexpr std::size_t kSetPasswordSize = 44;
constexpr std::size_t kAcceptedReplySize = 4;

} // namespace

const AdminLoginTexts& AdminLoginTextsFor(LoginDevice kind) noexcept
{
    return kind == LoginDevice::Arkan ? kArkanLoginTexts : kProgrammerLoginTexts;
}

Challenge GetChallenge(QoWUsbBulkD& device)
{
    Challenge challenge{};
    if (device.Exchange(kCmdGetChallenge, {}, challenge, timeouts::kShort) == challenge.size())
        return challenge;
    device.clock().SleepMs(kChallengeRetryDelayMs);
    if (device.Exchange(kCmdGetChallenge, {}, challenge, timeouts::kShort) == challenge.size())
        return challenge;
    throw WUsbErr{WUsbErr::BadLength, kCmdGetChallenge};
}

bool ChallengeLogin(QoWUsbBulkD& device, LoginDevice kind, std::string_view userName, const Key16& key)
{
    SecretBytes<kLoginMessageSize> message;
    const UserNameField name = MakeUserNameField(userName);
    std::copy(name.begin(), name.end(), message.bytes.begin());
    const Challenge challenge = GetChallenge(device);
    std::copy(challenge.begin(), challenge.end(), message.bytes.begin() + kChallengeOffset);
    {
        AES128 aes;
        aes.SetKey(key.data());
        Cmac mac(aes);
        mac.Init();
        mac.Update(message.data(), message.size());
        mac.Final(message.data() + kChallengeOffset);
    }

    std::array<std::uint8_t, kAcceptedReplySize> reply{};
    if (kind == LoginDevice::Programmer) {
        // The programmer may answer with a status byte, 0 meaning accepted.
        const int refusal = device.ExchangeData(kCmdLogin, message.span(), reply, timeouts::kLoginAnswer);
        return refusal == 0 || refusal == QoWUsbBulkD::kRefusedWithoutReason;
    }
    // The Arkan answers four bytes when it accepts and one byte, whatever its
    // value, when it refuses.
    const std::size_t n = device.Exchange(kCmdLogin, message.span(), reply, timeouts::kLoginAnswer);
    if (n == kAcceptedReplySize)
        return true;
    if (n == 1)
        return false;
    throw WUsbErr{WUsbErr::BadLength, kCmdLogin};
}

bool SetPassword(QoWUsbBulkD& device, std::string_view userName, const Key16& oldKey, const Key16& newKey)
{
    SecretBytes<kSetPasswordSize> payload;
    const UserNameField name = MakeUserNameField(userName);
    auto out = std::copy(name.begin(), name.end(), payload.bytes.begin());
    out = std::copy(oldKey.bytes.begin(), oldKey.bytes.end(), out);
    std::copy(newKey.bytes.begin(), newKey.bytes.end(), out);
    return device.ExchangeStatus(kCmdSetPassword, payload.span(), timeouts::kKeyCommand) == 0;
}

bool AdminLogin(QoWUsbBulkD& device, LoginDevice kind, const Key16& key, bool firstTime, Prompts& prompts)
{
    const AdminLoginTexts& texts = AdminLoginTextsFor(kind);
    if (firstTime) {
        const Key16 factory = FactoryKey();
        if (!ChallengeLogin(device, kind, kAdminUser, factory)) {
            prompts.ShowErrorMsg(texts.defaultLoginRefused);
            return false;
        }
        if (!SetPassword(device, kAdminUser, factory, key)) {
            prompts.ShowErrorMsg(texts.passwordNotAccepted);
            return false;
        }
    }
    if (!ChallengeLogin(device, kind, kAdminUser, key)) {
        prompts.ShowErrorMsg(texts.loginRefused);
        return false;
    }
    device.ReadState(timeouts::kReadState);
    return true;
}

} // namespace qozel
