#include "devset/DevSetTexts.h"
#include "devset/ZelDevSet.h"
#include "security/AdminLogin.h"
#include "security/PasswordKey.h"

namespace qozel {

namespace texts = devset_texts;

namespace {

// The texts of one device's password operations.
struct PasswordTexts {
    std::string_view secondaryUser;  // "installer" (Arkan) or "user" (programmer)
    const char* secondaryTitle;
    const char* passwordRefused;
    const char* secondarySet;
    const char* oldRefused;
    const char* changeRefused;
    const char* newRefused;
    const char* changed;
};

constexpr PasswordTexts kArTexts = {kInstallerUser,           texts::kInstallerPasswordTitle,
                                    texts::kArRefusesPassword,    texts::kArInstallerPasswordSet,
                                    texts::kArOldPasswordRefused, texts::kArChangeRefused,
                                    texts::kArNewPasswordRefused, texts::kArAdminPasswordChanged};
constexpr PasswordTexts kPrgrTexts = {kProgrammerUser,            texts::kUserPasswordTitle,
                                      texts::kPrgrRefusesPassword,    texts::kPrgrUserPasswordSet,
                                      texts::kPrgrOldPasswordRefused, texts::kPrgrChangeRefused,
                                      texts::kPrgrNewPasswordRefused, texts::kPrgrAdminPasswordChanged};

const PasswordTexts& TextsFor(DevKind kind) noexcept
{
    return kind == DevKind::Arkan ? kArTexts : kPrgrTexts;
}

} // namespace

bool ZelDevSet::SetPrgrUserPassword()
{
    return EnsurePrgrLogin() && SetSecondaryPassword(prgr, DevKind::Programmer);
}

bool ZelDevSet::SetArInstallerPassword()
{
    return EnsureArLogin() && SetSecondaryPassword(ar, DevKind::Arkan);
}

bool ZelDevSet::ChangeArAdminPassword()
{
    return EnsurePresent(DevKind::Arkan) && CheckArHasAdminPassword() && ChangeAdminPassword(ar, DevKind::Arkan);
}

bool ZelDevSet::ChangePrgrAdminPassword()
{
    return EnsurePresent(DevKind::Programmer) && CheckPrgrHasAdminPassword() &&
           ChangeAdminPassword(prgr, DevKind::Programmer);
}

// The programmer's "user" or the Arkan's "installer" password, set while the
// administrator is logged in; the old key of these users is all zeros.
template <class Device>
bool ZelDevSet::SetSecondaryPassword(Device& device, DevKind kind)
{
    const PasswordTexts& t = TextsFor(kind);
    MarkContinuity(kind);
    Key16 key;
    {
        PasswordField password;
        if (!prompts_.AskNewPassword(t.secondaryTitle, password))
            return false;
        key = DeriveKey(t.secondaryUser, password);
    }
    if (!EnsurePresent(kind) || !CheckContinuity(kind))
        return false;

    const Key16 noKey;
    return Guarded(kind, [&] {
        if (!SetPassword(device, t.secondaryUser, noKey, key)) {
            prompts_.ShowErrorMsg(t.passwordRefused);
            return false;
        }
        device.ReadState();
        prompts_.ShowInfoMsg(t.secondarySet);
        return true;
    });
}

// No prior login is needed: the old password proves itself. The device is
// logged out first so that a refused old password leaves nobody logged in.
template <class Device>
bool ZelDevSet::ChangeAdminPassword(Device& device, DevKind kind)
{
    const PasswordTexts& t = TextsFor(kind);
    MarkContinuity(kind);
    Key16 oldKey;
    Key16 newKey;
    {
        PasswordField oldPassword;
        PasswordField newPassword;
        if (!prompts_.AskPasswordChange(oldPassword, newPassword))
            return false;
        oldKey = DeriveKey(kAdminUser, oldPassword);
        newKey = DeriveKey(kAdminUser, newPassword);
    }
    if (!EnsurePresent(kind) || !CheckContinuity(kind))
        return false;

    return Guarded(kind, [&] {
        const auto refuse = [&](const char* message) {
            prompts_.ShowErrorMsg(message);
            return false;
        };
        device.Logout();
        if (!ChallengeLogin(device, kAdminUser, oldKey))
            return refuse(t.oldRefused);
        if (!SetPassword(device, kAdminUser, oldKey, newKey))
            return refuse(t.changeRefused);
        if (!ChallengeLogin(device, kAdminUser, newKey))
            return refuse(t.newRefused);
        device.ReadState();
        prompts_.ShowInfoMsg(t.changed);
        return true;
    });
}

} // namespace qozel
