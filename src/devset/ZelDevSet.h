#pragma once

#include "devices/arkan/ZelCfgAr.h"
#include "devices/kbreader/ZelCfgKbRd.h"
#include "devices/programmer/ZelCfgPrgr.h"
#include "link/DeviceErrors.h"
#include "platform/Clock.h"
#include "platform/HidHost.h"
#include "platform/Prompts.h"
#include "platform/SecureMemory.h"
#include "platform/UsbHost.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace qozel {

class KeyGrain;

enum class DevKind : int { Arkan = 0, Programmer = 1, KbReader = 2 };

// The one Arkan, the one programmer and the one keyboard reader of the main
// window: their presence and continuity, the checks that come before any
// administrative command, the administrator login, and the operations that
// involve several of them. Every operation reports its outcome itself in at
// most one message box and returns true only when it fully succeeded.
class ZelDevSet {
public:
    ZelDevSet(UsbHost& usbHost, HidHost& hidHost, Clock& clock, Prompts& prompts);
    ZelDevSet(const ZelDevSet&) = delete;
    ZelDevSet& operator=(const ZelDevSet&) = delete;
    // Closes the keyboard reader, the programmer, then the Arkan; sends nothing.
    ~ZelDevSet();

    // Presence.
    enum class Presence {
        Unchanged,  // nothing new: still open, still absent, or a second device refused
        Opened,     // a single device was newly opened and initialised
        Dropped,    // a device error dropped the device
    };
    // Shows only the one-device warning.
    Presence PollPresence(DevKind kind);
    // True when the device is open afterwards; else shows its no-connection message.
    bool EnsurePresent(DevKind kind);
    // After a device error: forgets the device and shows its no-connection message.
    void DropDevice(DevKind kind);
    // Runs `step` (true = done; a refusal shows its own message and gives
    // false); a device error of `kind` drops that device and gives false.
    template <class F>
    bool Guarded(DevKind kind, F&& step)
    {
        try {
            return step();
        } catch (const WUsbErr&) {
        } catch (const QoHIDErr&) {
        }
        DropDevice(kind);
        return false;
    }
    // Forgets the device without a word (the window closing).
    void CloseDevice(DevKind kind);
    // Marks a bulk device before a dialog, so that CheckContinuity can tell
    // afterwards whether it was unplugged or replaced meanwhile.
    void MarkContinuity(DevKind kind);
    // True when the mark survived; else shows the replugged message. The
    // keyboard reader has no dialog between its commands and always passes.
    bool CheckContinuity(DevKind kind);

    // Preconditions; each shows its message when it fails.
    bool CheckArHasAdminPassword();
    bool CheckPrgrHasAdminPassword();
    bool CheckHasMasterKey();
    bool CheckHasTargetKey();
    bool CheckNoTargetKey();
    bool CheckPrgrNoTargetKeys();
    bool CheckPrgrHasKeys();
    bool CheckSignaturesMatch();

    // Administrator login, shared by the Arkan and the programmer.
    bool LogInDevices(bool arkanOnly);
    bool LogInAr(const Key16& key, bool firstTime);
    bool LogInPrgr(const Key16& key, bool firstTime);
    bool EnsureArLogin();
    bool EnsurePrgrLogin();
    bool EnsureBothLogin();
    bool EnsureArOnlyLogin();

    // Key distribution.
    bool LoadKeysToPrgr();
    bool LoadKeysToKbRd();

    // Passwords.
    bool SetPrgrUserPassword();
    bool SetArInstallerPassword();
    bool ChangeArAdminPassword();
    bool ChangePrgrAdminPassword();

    // Backup card and programmer reset.
    bool MakeBackupCard();
    bool ResetProgrammer();
    // Stores the certificate a backup card carried in the Arkan, restoring
    // its master key, and says how it went.
    bool StoreBackupCertificate(std::span<const std::uint8_t, ZelArkan::kBackupCardDataSize> certificate);

    // Stores the generated master key; `symbolText` is the UTF-8 text of the
    // company/installation symbol field. On success the grain forgets the key.
    bool SaveMasterKey(KeyGrain& grain, bool temporary, std::string_view symbolText);

    ZelCfgAr ar;
    ZelCfgPrgr prgr;
    ZelCfgKbRd kbRd;

private:
    struct KindTexts;
    static const KindTexts& TextsOf(DevKind kind) noexcept;

    template <class Device>
    Presence Poll(Device& device, DevKind kind);
    template <class F>
    decltype(auto) WithDevice(DevKind kind, F&& f);

    template <class Device>
    bool SetSecondaryPassword(Device& device, DevKind kind);
    template <class Device>
    bool ChangeAdminPassword(Device& device, DevKind kind);
    bool ResetPrgrAlone();
    bool ResetPrgrWithArkan();

    UsbHost& usbHost_;
    HidHost& hidHost_;
    Clock& clock_;
    Prompts& prompts_;
    // Whether the one-device warning may be shown, per kind; re-armed when a
    // poll finds no device or a single one, so that two attached devices are
    // reported once rather than on every tick.
    std::array<bool, 3> warnTwoArmed_{true, true, true};
};

} // namespace qozel
