#pragma once

#include "app/ActionBracket.h"
#include "app/BackupCardWait.h"
#include "app/CardsTab.h"
#include "app/EventLog.h"
#include "app/KeyTab.h"
#include "app/ManagerAccess.h"
#include "app/ReaderPane.h"
#include "app/ReaderTable.h"
#include "app/RecoveryTab.h"
#include "app/Upgrader.h"
#include "devices/manager/ZelManager.h"
#include "devset/ZelDevSet.h"
#include "security/KeyGrain.h"

#include <cstdint>
#include <string>

namespace qozel {

class WindowView;

// The main window's state and the decisions of its 250 ms poll cycle, free of
// any toolkit: the Manager pass, the presence check of one other device per
// tick, and the order of closing. It owns the devices, the tab models and
// what they share (the bracket that keeps user actions and passes apart, the
// Manager access of the actions, the backup-card wait) and hands each model
// only what it uses; the models never call back into it. The window drives
// it and draws what it reports through WindowView.
class PollCycle {
public:
    static constexpr std::uint32_t kTickMs = 250;
    // Events handled in one pass; the rest wait for the next one, so a reader
    // raising events faster than they are read cannot hold the window.
    static constexpr int kMaxEventsPerPass = 64;
    static constexpr int kReaderCheckTicks = 8;
    static constexpr int kReaderRecheckTicks = 40;

    PollCycle(UsbHost& usbHost, HidHost& hidHost, Clock& clock, Prompts& prompts, WindowView& view,
              UpgradeBox& upgradeBox);
    PollCycle(const PollCycle&) = delete;
    PollCycle& operator=(const PollCycle&) = delete;
    // Destruction closes the keyboard reader, programmer, Arkan, then the Manager.
    ~PollCycle();

    // The poll timer's tick: one poll pass. Never throws.
    void Tick();
    // One Manager pass, also run by the actions' EnsureManager. Never throws.
    void ManagerTick();
    // Polls the shown tab's model for a change of what it shows.
    void RefreshShownTab();
    // Stops or restarts the poll timer.
    void ToggleRunning() { bracket.ToggleRunning(); }
    // The window closes: the readers back to normal reading, then the
    // Manager, the Arkan and the programmer closed.
    void Close();

    Clock& clock() noexcept { return clock_; }

    // Device objects, in the order of closing at destruction (last first).
    ZelManager manager;
    ZelDevSet devices;
    KeyGrain grain;

    ActionBracket bracket;
    // The readers were put into backup-card reading mode; the first backup
    // card's certificate is stored in the Arkan and the readers return to
    // normal reading, or they do so when the wait ends.
    BackupCardWait backupWait;
    ManagerAccess managerAccess;

    int deviceSlot = 0;
    bool oneManagerWarningArmed = true;
    int lastCheckedReaderCount = 0;
    int readerCheckCountdown = kReaderCheckTicks;

    // The table owns the selected reader.
    ReaderTable table;
    ReaderPane pane;
    CardsTab cardsTab;
    KeyTab keyTab;
    RecoveryTab recoveryTab;
    Upgrader upgrader;
    // Every reader event and every device or reader coming and going.
    EventLog log;

private:
    void ManagerPass();
    // Opens a newly attached Manager; false ends the pass.
    bool AttachManager();
    void SendKeySignatureIfChanged();
    void PumpEvents();
    void DispatchEvent(int index, const ReaderEvent& event);
    void TakeBackupCertificate(const ReaderEvent& event);
    void MaintainReaders();
    void DeviceSlot(DevKind kind);
    // Shows, changes or hides the permission hint after a pass.
    void UpdatePermissionHint();
    // Tells the log which USB devices are open after a pass.
    void NoteDevices();

    UsbHost& usbHost_;
    HidHost& hidHost_;
    Clock& clock_;
    Prompts& prompts_;
    WindowView& view_;
    // The readers were left in backup-card reading mode by a failed return
    // to normal reading; the next pass with an open Manager tries again.
    bool normalReadingOwed_ = false;
    std::string permissionHint_;
};


} // namespace qozel
