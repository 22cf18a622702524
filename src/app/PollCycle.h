#pragma once

#include "app/CardsTab.h"
#include "app/EventLog.h"
#include "app/KeyTab.h"
#include "app/ReaderPane.h"
#include "app/ReaderTable.h"
#include "app/RecoveryTab.h"
#include "app/Upgrader.h"
#include "devices/manager/ZelManager.h"
#include "devset/ZelDevSet.h"
#include "security/KeyGrain.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace qozel {

class WindowView;

inline constexpr const char* kManagerNoConnection = "Brak połączenia z Qo-ZEL Managerem.";
inline constexpr const char* kOneManagerOnly = "Do komputera może być podłączony tylko jeden ZEL Manager.";
inline constexpr const char* kSelectedReaderGone = "Wybrany czytnik właśnie przestał być dostępny.";
inline constexpr const char* kManagerReplugged =
    "W trakcie obsługi okna dialogowego QoZEL Manager był rozłączany.\n"
    "\n"
    "Operacja zostaje przerwana gdyż rozłączenie/podłączenie tego samego\n"
    "lub innego Managera oznacza, że wcześniej podjęte przez program\n"
    "decyzje mogą być niespójne z aktualnym stanem systemu.\n"
    "\n"
    "Powtórz całą operację od początku.";
inline constexpr const char* kUserFunctionInPass =
    "Start funkcji użytkownika w trakcie działania funkcji obsługi Timera.";
inline constexpr const char* kWaitLoopEnded = "Pętla czekania na koniec obsługi Timera stanęła na i=";

// The main window's state and the decisions of its 250 ms poll cycle, free of
// any toolkit: the Manager pass, the presence check of one other device per
// tick, the guard that keeps user actions and passes apart, the Readers tab's
// table and pane, and the order of closing. The window drives it and draws
// what it reports through WindowView.
class PollCycle {
public:
    static constexpr std::uint32_t kTickMs = 250;
    // Events handled in one pass; the rest wait for the next one, so a reader
    // raising events faster than they are read cannot hold the window.
    static constexpr int kMaxEventsPerPass = 64;
    static constexpr std::uint64_t kBackupCardWaitUs = 60'000'000;
    static constexpr int kReaderCheckTicks = 8;
    static constexpr int kReaderRecheckTicks = 40;
    static constexpr int kUserWaitSleeps = 20;
    static constexpr std::uint32_t kUserWaitSleepMs = 100;
    // Size of the certificate a backup card carries.
    static constexpr std::size_t kBackupCertificateSize = 120;

    PollCycle(UsbHost& usbHost, HidHost& hidHost, Clock& clock, Prompts& prompts, WindowView& view,
              UpgradeBox& upgradeBox);
    PollCycle(const PollCycle&) = delete;
    PollCycle& operator=(const PollCycle&) = delete;
    // Destruction closes the keyboard reader, programmer, Arkan, then the Manager.
    ~PollCycle();

    // The poll timer's tick: one poll pass. Never throws.
    void Tick();
    // One Manager pass. Never throws.
    void ManagerTick();
    void RefreshShownTab();
    bool EnsureManager();
    bool CheckSelectedReader();
    bool CheckManagerContinuity();
    void BeginUserFunction();
    void EndUserFunction();
    // Stops or restarts the poll timer.
    void ToggleRunning();
    // The window closes: the readers back to normal reading, then the
    // Manager, the Arkan and the programmer closed.
    void Close();

    // The backup-card wait: the readers were put into backup-card reading
    // mode; the first backup card's certificate is stored in the Arkan and the
    // readers return to normal reading, or they do so after 60 s.
    void StartBackupCardWait();
    bool BackupCardAwaited() const noexcept { return backupCardDeadlineUs_ != 0; }

    // Drops the selected reader (its row loses the selection colour).
    void DeselectReader();

    Clock& clock() noexcept { return clock_; }
    Prompts& prompts() noexcept { return prompts_; }
    WindowView& view() noexcept { return view_; }
    bool ReadersTabShown() const;

    // Device objects, in the order of closing at destruction (last first).
    ZelManager manager;
    ZelDevSet devices;
    KeyGrain grain;

    bool pollRunning = true;
    bool userFunctionActive = false;
    bool timerPassActive = false;
    int selectedReader = -1;

    int deviceSlot = 0;
    bool oneManagerWarningArmed = true;
    int lastCheckedReaderCount = 0;
    int readerCheckCountdown = kReaderCheckTicks;

    ReaderTable table{*this};
    ReaderPane pane{*this};
    CardsTab cardsTab{*this};
    KeyTab keyTab{*this};
    RecoveryTab recoveryTab{*this};
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
    void RefreshReaderRows(int countBefore);
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
    // Monotonic time the backup-card wait ends; 0 = none pending.
    std::uint64_t backupCardDeadlineUs_ = 0;
    // The readers were left in backup-card reading mode by a failed return
    // to normal reading; the next pass with an open Manager tries again.
    bool normalReadingOwed_ = false;
    std::string permissionHint_;
};

// Runs a user action between BeginUserFunction and EndUserFunction, whatever
// way the action ends.
class UserFunction {
public:
    explicit UserFunction(PollCycle& cycle) : cycle_(cycle) { cycle_.BeginUserFunction(); }
    ~UserFunction() { cycle_.EndUserFunction(); }
    UserFunction(const UserFunction&) = delete;
    UserFunction& operator=(const UserFunction&) = delete;

private:
    PollCycle& cycle_;
};

} // namespace qozel
