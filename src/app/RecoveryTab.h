#pragma once

#include "app/TabModel.h"
#include "devices/manager/ZelManager.h"

#include <cstdint>
#include <span>

namespace qozel {

class BackupCardWait;
class ManagerAccess;
class Prompts;
class WindowView;
class ZelDevSet;

// What the Recovery tab enables: each box by the device it acts on.
struct RecoveryTabFields {
    bool arkanPresent = false;
    bool programmerPresent = false;
    friend bool operator==(const RecoveryTabFields&, const RecoveryTabFields&) = default;
};

// The Recovery tab: programmer reset, access to an Arkan whose administrator
// password is lost, administrator password changes, and the master key
// restored from a backup card read by a reader of the installation.
class RecoveryTab : public TabModel<RecoveryTab, RecoveryTabFields> {
public:
    RecoveryTab(ZelDevSet& devices, ZelManager& manager, ManagerAccess& access, BackupCardWait& backupWait,
                ActionBracket& bracket, Prompts& prompts, WindowView& view) noexcept
        : TabModel(bracket, &RecoveryTab::RefreshRecoveryTab), devices_(devices), manager_(manager),
          access_(access), backupWait_(backupWait), prompts_(prompts), view_(view)
    {
    }

    void PollRecoveryTab();
    void RefreshRecoveryTab();

    // Handlers of the tab's buttons; each runs as a user action.
    void OdzPrgrResetBtnClick();
    void OdzArPassSetBtnClick();
    void OdzArPassChngBtnClick();
    void OdzPrgrPassChngBtnClick();
    void OdzKeyMiFromTagBtnClick();

    // Regains access to the Arkan: a factory reset without a target key, else
    // a new administrator password through a reader's signed certificate.
    void RecoverArAccess();
    // Puts the readers into backup-card reading for a minute; the poll cycle
    // has the first card's certificate stored in the Arkan.
    void RestoreMasterKey();

private:
    // Resets an Arkan without a target key to its factory settings.
    void FactoryResetAr();
    // The Arkan's password-reset certificate, signed by a reader holding keys
    // of the Arkan's master key, which vouches for the reset.
    bool SignedResetCertificate(std::span<std::uint8_t, ZelManager::kCertificateSize> signedCertificate);

    ZelDevSet& devices_;
    ZelManager& manager_;
    ManagerAccess& access_;
    BackupCardWait& backupWait_;
    Prompts& prompts_;
    WindowView& view_;
};

} // namespace qozel
