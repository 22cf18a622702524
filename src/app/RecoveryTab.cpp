#include "app/RecoveryTab.h"

#include "app/AppTexts.h"
#include "app/BackupCardWait.h"
#include "app/ManagerAccess.h"
#include "app/WindowView.h"
#include "devset/ZelDevSet.h"
#include "security/PasswordKey.h"

namespace qozel {
namespace {

// Certificate class and number of the Arkan's password-reset certificate.
constexpr std::uint8_t kResetCertificateClass = 1;
constexpr std::uint8_t kResetCertificateNumber = 79;

} // namespace

void RecoveryTab::PollRecoveryTab()
{
    if (StateChanged({devices_.ar.IsOpen(), devices_.prgr.IsOpen()}))
        RefreshRecoveryTab();
}

void RecoveryTab::RefreshRecoveryTab()
{
    if (view_.ShownTab() != WindowView::Tab::Recovery)
        return;
    fields_.arkanPresent = devices_.ar.IsOpen();
    fields_.programmerPresent = devices_.prgr.IsOpen();
}

void RecoveryTab::OdzPrgrResetBtnClick()
{
    RunAction([&] { devices_.ResetProgrammer(); });
}

void RecoveryTab::OdzArPassSetBtnClick()
{
    RunAction([&] { RecoverArAccess(); });
}

void RecoveryTab::OdzArPassChngBtnClick()
{
    RunAction([&] { devices_.ChangeArAdminPassword(); });
}

void RecoveryTab::OdzPrgrPassChngBtnClick()
{
    RunAction([&] { devices_.ChangePrgrAdminPassword(); });
}

void RecoveryTab::OdzKeyMiFromTagBtnClick()
{
    RunAction([&] { RestoreMasterKey(); });
}

void RecoveryTab::RecoverArAccess()
{
    if (!devices_.EnsurePresent(DevKind::Arkan))
        return;
    if (!devices_.ar.HasTargetKey()) {
        // Nothing the installation depends on is lost: no password needed.
        FactoryResetAr();
        return;
    }
    if (!access_.EnsureManager())
        return;
    manager_.continuityFlag = true;
    devices_.MarkContinuity(DevKind::Arkan);
    Key16 key;
    {
        PasswordField password;
        if (!prompts_.AskNewAdminPassword(app_texts::kRecoverLine1, app_texts::kRecoverLine2, password))
            return;
        key = DeriveKey(kAdminUser, password);
    }
    if (!access_.CheckManagerContinuity() || !devices_.CheckContinuity(DevKind::Arkan))
        return;
    SecretBytes<ZelManager::kCertificateSize> signedCertificate;
    if (!SignedResetCertificate(signedCertificate.span()))
        return;
    devices_.Guarded(DevKind::Arkan, [&] {
        if (!devices_.ar.ResetAdminPassword(signedCertificate.span(), key)) {
            prompts_.ShowErrorMsg(app_texts::kArRefusesNewPassword);
            return false;
        }
        prompts_.ShowInfoMsg(app_texts::kNewPasswordSet);
        return true;
    });
}

void RecoveryTab::FactoryResetAr()
{
    devices_.Guarded(DevKind::Arkan, [&] {
        if (!devices_.ar.FactoryReset()) {
            prompts_.ShowErrorMsg(app_texts::kArResetRefused);
            return false;
        }
        // The key is gone: the tabs and the Manager must not keep its signature.
        devices_.ar.Refresh();
        prompts_.ShowInfoMsg(app_texts::kArResetDone);
        return true;
    });
}

bool RecoveryTab::SignedResetCertificate(std::span<std::uint8_t, ZelManager::kCertificateSize> signedCertificate)
{
    const int reader = manager_.FindReaderWithKeySignature();
    if (reader < 0) {
        prompts_.ShowErrorMsg(app_texts::kNoReaderWithSignature);
        return false;
    }
    SecretBytes<ZelManager::kCertificateSize> certificate;
    const bool issued = devices_.Guarded(DevKind::Arkan, [&] {
        const bool ok = devices_.ar.IssueCertificate(kResetCertificateClass, kResetCertificateNumber,
                                                     manager_.readers[static_cast<std::size_t>(reader)].readerId(),
                                                     certificate.bytes);
        if (!ok)
            prompts_.ShowErrorMsg(app_texts::kArRefusesCertificate);
        return ok;
    });
    return issued && access_.Guarded([&] {
        if (manager_.SignResetCertificate(reader, certificate.span(), signedCertificate) == 0)
            return true;
        prompts_.ShowErrorMsg(app_texts::kReaderRefusesSigning);
        return false;
    });
}

void RecoveryTab::RestoreMasterKey()
{
    if (!devices_.EnsurePresent(DevKind::Arkan) || !devices_.CheckNoTargetKey() || !access_.EnsureManager())
        return;
    manager_.continuityFlag = true;
    if (!manager_.AnyReaderWithBackupKeys()) {
        prompts_.ShowErrorMsg(app_texts::kNoReaderWithBackupKeys);
        return;
    }
    if (!devices_.EnsureArLogin())
        return;
    devices_.MarkContinuity(DevKind::Arkan);
    if (!prompts_.ShowInfoMsg(app_texts::kPresentBackupCard))
        return;
    if (!access_.CheckManagerContinuity() || !devices_.CheckContinuity(DevKind::Arkan))
        return;
    // The readers accept only a card made by this Arkan.
    if (access_.Guarded([&] { manager_.SetReadingMode(ZelManager::BackupCardReading, devices_.ar.info.DeviceId()); }))
        backupWait_.Start();
}

} // namespace qozel
