#include "app/RecoveryTab.h"

#include "app/PollCycle.h"
#include "app/WindowView.h"
#include "link/DeviceErrors.h"
#include "security/PasswordKey.h"

namespace qozel {
namespace texts {
inline constexpr const char* kArResetRefused = "Arkan nie przyjmuje polecenia 'Reset do ustawień fabrycznych.";
inline constexpr const char* kArResetDone = "Arkan został przywrócony do ustawień fabrycznych.";
inline constexpr const char* kRecoverLine1 = "Odzyskiwanie dostępu do Arkan";
inline constexpr const char* kRecoverLine2 = "Ustawienie nowego hasła administratora";
inline constexpr const char* kNoReaderWithSignature =
    "Żaden z czytników na szynie RS485 nie ma kluczy\no tej samej sygnaturze co klucze w Arkan.";
inline constexpr const char* kArRefusesCertificate = "Arkan nie chce wydać certyfikatu.";
inline constexpr const char* kReaderRefusesSigning =
    "Nieudane podpisanie certyfikatu resetowania hasła administratora Arkan.";
inline constexpr const char* kArRefusesNewPassword = "Arkan nie pozwala ustawić hasła administratora.";
inline constexpr const char* kNewPasswordSet = "W Arkan ustawiono nowe hasło administratora.";
inline constexpr const char* kNoReaderWithBackupKeys =
    "Manager nie ma podłączonego żadnego czytnika posiadającego\nklucze niezbędne do odczytania karty kopii "
    "zapasowej\nklucza Master Instalacji.";
inline constexpr const char* kPresentBackupCard =
    "Potwierdź operację klikając w klawisz [ OK ], a następnie,\nw ciągu minuty, zbliż kartę z kopią zapasową "
    "klucza Master\nInstalacji do jednego z czytników podłączonych aktualnie do\nQoZEL Managera.\n\nJeśli czytnik "
    "ten posiada klucze pochodzące z tego samego\nklucza Master Instalacji, to certyfikat z Kluczem Master\n"
    "Instalacji zostanie odczytany i przesłany do Arkan.";
inline constexpr const char* kBackupRefused =
    "Arkan nie przyjmuje certyfikatu z kluczem Master Instalacji z karty backup.";
inline constexpr const char* kBackupStored = "Klucz Master Instalacji z karty backup zapisany w Arkan.";
} // namespace texts

namespace {

// Certificate class and number of the Arkan's password-reset certificate.
constexpr std::uint8_t kResetCertificateClass = 1;
constexpr std::uint8_t kResetCertificateNumber = 79;

} // namespace

template <class F>
void RecoveryTab::RunAction(F&& action)
{
    UserFunction bracket(cycle_);
    action();
    RefreshRecoveryTab();
}

void RecoveryTab::PollRecoveryTab()
{
    const unsigned state =
        (cycle_.devices.ar.IsOpen() ? 1u : 0u) | (cycle_.devices.prgr.IsOpen() ? 2u : 0u);
    if (state == lastState_)
        return;
    lastState_ = state;
    RefreshRecoveryTab();
}

void RecoveryTab::RefreshRecoveryTab()
{
    if (cycle_.view().ShownTab() != WindowView::Tab::Recovery)
        return;
    fields_.arkanPresent = cycle_.devices.ar.IsOpen();
    fields_.programmerPresent = cycle_.devices.prgr.IsOpen();
}

void RecoveryTab::OdzPrgrResetBtnClick()
{
    RunAction([&] { cycle_.devices.ResetProgrammer(); });
}

void RecoveryTab::OdzArPassSetBtnClick()
{
    RunAction([&] { RecoverArAccess(); });
}

void RecoveryTab::OdzArPassChngBtnClick()
{
    RunAction([&] { cycle_.devices.ChangeArAdminPassword(); });
}

void RecoveryTab::OdzPrgrPassChngBtnClick()
{
    RunAction([&] { cycle_.devices.ChangePrgrAdminPassword(); });
}

void RecoveryTab::OdzKeyMiFromTagBtnClick()
{
    RunAction([&] { RestoreMasterKey(); });
}

void RecoveryTab::RecoverArAccess()
{
    ZelDevSet& devices = cycle_.devices;
    ZelCfgAr& ar = devices.ar;
    Prompts& prompts = cycle_.prompts();
    if (!devices.EnsurePresent(DevKind::Arkan))
        return;
    try {
        if (!ar.HasTargetKey()) {
            // Nothing the installation depends on is lost: no password needed.
            if (!ar.FactoryReset()) {
                prompts.ShowErrorMsg(texts::kArResetRefused);
                return;
            }
            // The key is gone: the tabs and the Manager must not keep its signature.
            ar.Refresh();
            prompts.ShowInfoMsg(texts::kArResetDone);
            return;
        }
    } catch (const WUsbErr&) {
        devices.DropDevice(DevKind::Arkan);
        return;
    }
    if (!cycle_.EnsureManager())
        return;
    ZelManager& manager = cycle_.manager;
    manager.continuityFlag = true;
    devices.MarkContinuity(DevKind::Arkan);
    Key16 key;
    {
        PasswordField password;
        if (!prompts.AskNewAdminPassword(texts::kRecoverLine1, texts::kRecoverLine2, password))
            return;
        key = DeriveKey(kAdminUser, password);
    }
    if (!cycle_.CheckManagerContinuity() || !devices.CheckContinuity(DevKind::Arkan))
        return;
    // A reader holding keys of the Arkan's master key vouches for the reset.
    const int reader = manager.FindReaderWithKeySignature();
    if (reader < 0) {
        prompts.ShowErrorMsg(texts::kNoReaderWithSignature);
        return;
    }
    SecretBytes<ZelManager::kCertificateSize> certificate;
    SecretBytes<ZelManager::kCertificateSize> signedCertificate;
    try {
        ZelArkan::Certificate issued{};
        const bool ok = ar.IssueCertificate(kResetCertificateClass, kResetCertificateNumber,
                                            manager.readers[static_cast<std::size_t>(reader)].readerId(), issued);
        std::copy(issued.begin(), issued.end(), certificate.bytes.begin());
        SecureWipe(issued);
        if (!ok) {
            prompts.ShowErrorMsg(texts::kArRefusesCertificate);
            return;
        }
    } catch (const WUsbErr&) {
        devices.DropDevice(DevKind::Arkan);
        return;
    }
    try {
        if (manager.SignResetCertificate(reader, certificate.span(), signedCertificate.span()) != 0) {
            prompts.ShowErrorMsg(texts::kReaderRefusesSigning);
            return;
        }
    } catch (const WUsbErr&) {
        manager.CloseManager();
        prompts.ShowErrorMsg(kManagerNoConnection);
        return;
    }
    try {
        if (!ar.ResetAdminPassword(signedCertificate.span(), key)) {
            prompts.ShowErrorMsg(texts::kArRefusesNewPassword);
            return;
        }
    } catch (const WUsbErr&) {
        devices.DropDevice(DevKind::Arkan);
        return;
    }
    prompts.ShowInfoMsg(texts::kNewPasswordSet);
}

void RecoveryTab::RestoreMasterKey()
{
    ZelDevSet& devices = cycle_.devices;
    ZelManager& manager = cycle_.manager;
    Prompts& prompts = cycle_.prompts();
    if (!devices.EnsurePresent(DevKind::Arkan) || !devices.CheckNoTargetKey() || !cycle_.EnsureManager())
        return;
    manager.continuityFlag = true;
    if (!manager.AnyReaderWithBackupKeys()) {
        prompts.ShowErrorMsg(texts::kNoReaderWithBackupKeys);
        return;
    }
    if (!devices.EnsureArLogin())
        return;
    devices.MarkContinuity(DevKind::Arkan);
    if (!prompts.ShowInfoMsg(texts::kPresentBackupCard))
        return;
    if (!cycle_.CheckManagerContinuity() || !devices.CheckContinuity(DevKind::Arkan))
        return;
    try {
        // The readers accept only a card made by this Arkan.
        manager.SetReadingMode(ZelManager::BackupCardReading, devices.ar.info.DeviceId());
    } catch (const WUsbErr&) {
        manager.CloseManager();
        prompts.ShowErrorMsg(kManagerNoConnection);
        return;
    }
    cycle_.StartBackupCardWait();
}

void RecoveryTab::StoreBackupCertificate(std::span<const std::uint8_t, 120> certificate)
{
    ZelDevSet& devices = cycle_.devices;
    if (!devices.EnsureArLogin() || !devices.CheckNoTargetKey())
        return;
    bool stored = false;
    try {
        stored = devices.ar.StoreBackupCertificate(certificate);
        // The restored key's signature, for the tabs and the Manager.
        if (stored)
            devices.ar.Refresh();
    } catch (const WUsbErr&) {
        devices.DropDevice(DevKind::Arkan);
        return;
    }
    if (stored)
        cycle_.prompts().ShowInfoMsg(texts::kBackupStored);
    else
        cycle_.prompts().ShowErrorMsg(texts::kBackupRefused);
}

bool RecoveryTab::TakeChanged()
{
    return drawn_.Changed(fields_);
}

} // namespace qozel
