#include "devset/DevSetTexts.h"
#include "devset/LoginPlan.h"
#include "devset/ZelDevSet.h"
#include "security/AdminLogin.h"
#include "security/PasswordKey.h"

namespace qozel {

namespace texts = devset_texts;

namespace {

LoginState StateOf(const QoWUsbBulkD& device, std::uint16_t noPasswordFlag) noexcept
{
    if (!device.IsOpen())
        return LoginState::Absent;
    return (device.info.flags & noPasswordFlag) != 0 ? LoginState::NoPassword : LoginState::PasswordSet;
}

} // namespace

bool ZelDevSet::LogInDevices(bool arkanOnly)
{
    const LoginState a = StateOf(ar, ZelArkan::kNoAdminPassword);
    const LoginState b = arkanOnly ? LoginState::Absent : StateOf(prgr, QoG30::kNoAdminPassword);
    const LoginPlan plan = PlanLogin(a, b);
    if (plan.dialog == LoginDialog::None) {
        prompts_.ShowErrorMsg(texts::kNoDeviceToLogIn);
        return false;
    }
    if (a != LoginState::Absent)
        MarkContinuity(DevKind::Arkan);
    if (b != LoginState::Absent)
        MarkContinuity(DevKind::Programmer);

    Key16 key;
    {
        PasswordField password;
        const bool ok = plan.dialog == LoginDialog::SetPassword
                            ? prompts_.AskNewAdminPassword(plan.line1, plan.line2, password)
                            : prompts_.AskLoginPassword(plan.line1, plan.line2, plan.button, password);
        if (!ok)
            return false;
        key = DeriveKey(kAdminUser, password);
    }

    const auto logInAr = [&] { return a == LoginState::Absent || LogInAr(key, a == LoginState::NoPassword); };
    const auto logInPrgr = [&] { return b == LoginState::Absent || LogInPrgr(key, b == LoginState::NoPassword); };
    // The first failure ends the login; the other device is not touched.
    return plan.programmerFirst ? logInPrgr() && logInAr() : logInAr() && logInPrgr();
}

bool ZelDevSet::LogInAr(const Key16& key, bool firstTime)
{
    if (!EnsurePresent(DevKind::Arkan) || !CheckContinuity(DevKind::Arkan))
        return false;
    return Guarded(DevKind::Arkan, [&] { return AdminLogin(ar, key, firstTime, prompts_); });
}

bool ZelDevSet::LogInPrgr(const Key16& key, bool firstTime)
{
    if (!EnsurePresent(DevKind::Programmer) || !CheckContinuity(DevKind::Programmer))
        return false;
    return Guarded(DevKind::Programmer, [&] { return AdminLogin(prgr, key, firstTime, prompts_); });
}

bool ZelDevSet::EnsureArLogin()
{
    if (!EnsurePresent(DevKind::Arkan))
        return false;
    return (ar.info.flags & ZelArkan::kAdminLoggedIn) != 0 || LogInDevices(false);
}

bool ZelDevSet::EnsurePrgrLogin()
{
    if (!EnsurePresent(DevKind::Programmer))
        return false;
    return (prgr.info.flags & QoG30::kAdminLoggedIn) != 0 || LogInDevices(false);
}

bool ZelDevSet::EnsureBothLogin()
{
    if (!EnsurePresent(DevKind::Arkan) || !EnsurePresent(DevKind::Programmer))
        return false;
    const bool both = (ar.info.flags & ZelArkan::kAdminLoggedIn) != 0 && (prgr.info.flags & QoG30::kAdminLoggedIn) != 0;
    return both || LogInDevices(false);
}

bool ZelDevSet::EnsureArOnlyLogin()
{
    if (!EnsurePresent(DevKind::Arkan))
        return false;
    return (ar.info.flags & ZelArkan::kAdminLoggedIn) != 0 || LogInDevices(true);
}

} // namespace qozel
