#include "app/PollCycle.h"

#include "app/AppTexts.h"
#include "app/PermissionHint.h"
#include "app/WindowView.h"
#include "link/DeviceErrors.h"
#include "link/TraceSet.h"
#include "platform/SecureMemory.h"

#include <algorithm>
#include <exception>
#include <string>

namespace qozel {

PollCycle::PollCycle(UsbHost& usbHost, HidHost& hidHost, Clock& clock, Prompts& prompts, WindowView& view,
                     UpgradeBox& upgradeBox)
    : manager(usbHost, clock), devices(usbHost, hidHost, clock, prompts), grain(clock), bracket(view, clock),
      backupWait(clock), managerAccess(manager, prompts, [this] { ManagerTick(); }), table(manager, clock, view),
      pane(manager, devices, table, managerAccess, bracket, prompts, view), cardsTab(devices, bracket, prompts, view),
      keyTab(devices, grain, bracket, prompts, view),
      recoveryTab(devices, manager, managerAccess, backupWait, bracket, prompts, view),
      upgrader(upgradeBox, prompts, clock), log(clock), usbHost_(usbHost), hidHost_(hidHost), clock_(clock),
      prompts_(prompts), view_(view)
{
    manager.trace = TraceMan;
    devices.ar.trace = TraceAr;
    devices.prgr.trace = TracePrgr;
    devices.kbRd.trace = TraceKbRd;
}

PollCycle::~PollCycle() = default;

void PollCycle::Tick()
{
    if (!bracket.BeginPass())
        return;
    try {
        ManagerTick();
        DeviceSlot(static_cast<DevKind>(deviceSlot));
        NoteDevices();
        UpdatePermissionHint();
    } catch (...) {
        // Device errors are handled where they arise; nothing else may end the program.
    }
    deviceSlot = (deviceSlot + 1) % 3;
    bracket.EndPass();
}

void PollCycle::UpdatePermissionHint()
{
    const auto usb = usbHost_.DeniedDevices();
    const auto hid = hidHost_.DeniedDevices();
    std::string hint = usb.empty() && hid.empty() ? std::string() : PermissionHintText(usb, hid, UdevRulesSource());
    if (hint == permissionHint_)
        return;
    permissionHint_ = std::move(hint);
    view_.ShowPermissionHint(permissionHint_);
}

void PollCycle::NoteDevices()
{
    log.NoteDevice(LogDevice::Manager, manager.IsOpen(), manager.info);
    log.NoteDevice(LogDevice::Arkan, devices.ar.IsOpen(), devices.ar.info);
    log.NoteDevice(LogDevice::Programmer, devices.prgr.IsOpen(), devices.prgr.info);
    log.NoteDevice(LogDevice::KbReader, devices.kbRd.IsOpen(), devices.kbRd.info);
}

void PollCycle::DeviceSlot(DevKind kind)
{
    const ZelDevSet::Presence presence = devices.PollPresence(kind);
    if (presence != ZelDevSet::Presence::Unchanged)
        RefreshShownTab();
    if (presence != ZelDevSet::Presence::Opened)
        return;
    bool upgraded = false;
    switch (kind) {
    case DevKind::Arkan:
        upgraded = upgrader.UpgradeBulkDevice(devices.ar, kArkanTitle);
        break;
    case DevKind::Programmer:
        upgraded = upgrader.UpgradeBulkDevice(devices.prgr, kProgrammerTitle);
        break;
    case DevKind::KbReader:
        upgraded = upgrader.UpgradeHidDevice(devices.kbRd, kKbReaderTitle);
        break;
    }
    if (upgraded)
        RefreshShownTab();
}

void PollCycle::ManagerTick()
{
    try {
        ManagerPass();
    } catch (...) {
        manager.CloseManager();
        lastCheckedReaderCount = 0;
        table.Deselect();
        try {
            RefreshShownTab();
        } catch (...) {
        }
    }
}

void PollCycle::ManagerPass()
{
    const int countBefore = manager.readerCount;
    if (!manager.IsOpen() && !AttachManager())
        return;
    // Before the readers it brings, which the list refresh below notes.
    log.NoteDevice(LogDevice::Manager, true, manager.info);
    SendKeySignatureIfChanged();
    for (int row = 0; row < countBefore; ++row)
        table.ExpireEventMarks(row);
    PumpEvents();
    if (normalReadingOwed_ || backupWait.TimedOut()) {
        manager.SetReadingMode(ZelManager::NormalReading, 0);
        backupWait.End();
        normalReadingOwed_ = false;
    }
    const std::uint32_t changed = manager.RefreshReaders();
    if (changed != 0)
        log.NoteReaders(std::span(manager.readers).first(static_cast<std::size_t>(manager.readerCount)));
    table.ShowReaderRows(changed);
    if (table.Selected() >= 0)
        pane.ShowPowerValues(manager.readers[static_cast<std::size_t>(table.Selected())]);
    // Also takes a selection the rows dropped into the pane.
    RefreshShownTab();
    MaintainReaders();
}

bool PollCycle::AttachManager()
{
    if (!manager.Open()) {
        oneManagerWarningArmed = true;
        return false;
    }
    {
        ZelManager second(usbHost_, clock_);
        if (second.Open()) {
            if (oneManagerWarningArmed)
                prompts_.ShowErrorMsg(app_texts::kOneManagerOnly);
            oneManagerWarningArmed = false;
            second.Close();
            manager.CloseManager();
            return false;
        }
    }
    oneManagerWarningArmed = true;
    readerCheckCountdown = kReaderCheckTicks;
    // Whatever was selected or checked belonged to the Manager seen before;
    // this one may be another with other readers.
    table.Deselect();
    lastCheckedReaderCount = 0;
    manager.ReadState(timeouts::kReadState);
    manager.SetTime(clock_.UtcSeconds());
    SendKeySignatureIfChanged();
    RefreshShownTab();
    if (upgrader.UpgradeBulkDevice(manager, kManagerTitle)) {
        lastCheckedReaderCount = 0;
        table.Deselect();
        RefreshShownTab();
        return false;
    }
    return true;
}

void PollCycle::SendKeySignatureIfChanged()
{
    const std::uint32_t signature = devices.ar.keySignature;
    if (signature != manager.sentKeySignature)
        manager.SetKeySignature(signature);
}

void PollCycle::PumpEvents()
{
    ReaderEvent event;
    for (int handled = 0; handled < kMaxEventsPerPass; ++handled) {
        const int index = manager.NextEvent(event);
        if (index == ZelManager::kNoEvent)
            return;
        DispatchEvent(index, event);
    }
}

void PollCycle::DispatchEvent(int index, const ReaderEvent& event)
{
    if (index < 0 || index >= manager.readerCount)
        return;
    log.RecordEvent(index, manager.readers[static_cast<std::size_t>(index)], event);
    if (event.kind() == ReaderEvent::BackupCertificate)
        TakeBackupCertificate(event);
    else
        table.ShowReaderEvent(index, event);
}

void PollCycle::TakeBackupCertificate(const ReaderEvent& event)
{
    if (!backupWait.Awaited() || event.length < 1 + ZelArkan::kBackupCardDataSize)
        return;
    // The certificate is taken and the wait ended before anything else is
    // sent, so that a failing Manager cannot lose the card just read.
    SecretBytes<ZelArkan::kBackupCardDataSize> certificate;
    std::copy_n(event.bytes.begin() + 1, ZelArkan::kBackupCardDataSize, certificate.bytes.begin());
    backupWait.End();
    std::exception_ptr modeError;
    try {
        manager.SetReadingMode(ZelManager::NormalReading, 0);
    } catch (const WUsbErr&) {
        normalReadingOwed_ = true;
        modeError = std::current_exception();
    }
    devices.StoreBackupCertificate(certificate.span());
    RefreshShownTab();
    if (modeError)
        std::rethrow_exception(modeError);
}

void PollCycle::MaintainReaders()
{
    const int count = manager.readerCount;
    if (count == lastCheckedReaderCount)
        return;
    if (readerCheckCountdown-- > 0)
        return;
    // A reader at 0xFF has no valid address; address 0 marks it as one still
    // to be given an address. Offline readers cannot answer: each relay to one
    // would wait out two time-outs and close the Manager.
    bool repaired = false;
    for (int i = 0; i < count; ++i) {
        const ReaderRecord& reader = manager.readers[static_cast<std::size_t>(i)];
        if (reader.online && reader.address() == 0xFF) {
            manager.SetReaderAddress(i, 0);
            repaired = true;
        }
    }
    if (repaired)
        return;
    if (upgrader.UpgradeReaders(manager)) {
        lastCheckedReaderCount = count;
        readerCheckCountdown = kReaderCheckTicks;
    } else {
        readerCheckCountdown = kReaderRecheckTicks;
    }
}

void PollCycle::RefreshShownTab()
{
    switch (view_.ShownTab()) {
    case WindowView::Tab::Readers:
        pane.PollReadersTab();
        break;
    case WindowView::Tab::Cards:
        cardsTab.PollCardsTab();
        break;
    case WindowView::Tab::Key:
        keyTab.PollKeyTab();
        break;
    case WindowView::Tab::Recovery:
        recoveryTab.PollRecoveryTab();
        break;
    default:
        break;
    }
}

void PollCycle::Close()
{
    // Readers left in backup-card reading mode would no longer read ordinary cards.
    if (manager.IsOpen() && (backupWait.Awaited() || normalReadingOwed_)) {
        try {
            manager.SetReadingMode(ZelManager::NormalReading, 0);
        } catch (const WUsbErr&) {
        }
    }
    backupWait.End();
    normalReadingOwed_ = false;
    manager.CloseManager();
    devices.CloseDevice(DevKind::Arkan);
    devices.CloseDevice(DevKind::Programmer);
}

} // namespace qozel
