#include "devset/ZelDevSet.h"

#include "devset/DevSetTexts.h"
#include "link/DeviceErrors.h"

#include <type_traits>

namespace qozel {

namespace texts = devset_texts;

struct ZelDevSet::KindTexts {
    const char* oneDevice;
    const char* noConnection;
    const char* replugged;  // null: no dialog comes between the kind's commands
};

const ZelDevSet::KindTexts& ZelDevSet::TextsOf(DevKind kind) noexcept
{
    static constexpr KindTexts kTexts[] = {
        {texts::kArOneDevice, texts::kArNoConnection, texts::kArReplugged},
        {texts::kPrgrOneDevice, texts::kPrgrNoConnection, texts::kPrgrReplugged},
        {texts::kKbRdOneDevice, texts::kKbRdNoConnection, nullptr},
    };
    return kTexts[static_cast<int>(kind)];
}

namespace {

template <class Device>
struct DeviceError {
    using Type = WUsbErr;
};
template <>
struct DeviceError<ZelCfgKbRd> {
    using Type = QoHIDErr;
};

// What a newly opened device needs before it is used: no administrator left
// logged in by an earlier session, and current state and key signature.
void Initialise(ZelCfgAr& arkan)
{
    arkan.Logout();
    arkan.Refresh();
}

void Initialise(ZelCfgPrgr& programmer)
{
    programmer.Logout();
    programmer.Refresh();
}

void Initialise(ZelCfgKbRd& reader)
{
    reader.Refresh();
}

// Closes the device and clears everything read from it.
template <class Device>
void Forget(Device& device) noexcept
{
    device.keySignature = 0;
    device.Close();
    device.info = DevInfo{};
    device.image = nullptr;
}

} // namespace

ZelDevSet::ZelDevSet(UsbHost& usbHost, HidHost& hidHost, Clock& clock, Prompts& prompts)
    : ar(usbHost, clock), prgr(usbHost, clock), kbRd(hidHost), usbHost_(usbHost), hidHost_(hidHost),
      clock_(clock), prompts_(prompts)
{
}

ZelDevSet::~ZelDevSet()
{
    kbRd.Close();
    prgr.Close();
    ar.Close();
}

template <class F>
decltype(auto) ZelDevSet::WithDevice(DevKind kind, F&& f)
{
    switch (kind) {
    case DevKind::Arkan:
        return f(ar);
    case DevKind::Programmer:
        return f(prgr);
    case DevKind::KbReader:
        break;
    }
    return f(kbRd);
}

template <class Device>
ZelDevSet::Presence ZelDevSet::Poll(Device& device, DevKind kind)
{
    bool& warnTwoArmed = warnTwoArmed_[static_cast<int>(kind)];
    try {
        if (device.IsOpen()) {
            device.ReadState();
            return Presence::Unchanged;
        }
        if (!device.Open()) {
            warnTwoArmed = true;
            return Presence::Unchanged;
        }
        // A device this program holds open cannot be opened again, so a second
        // object of the kind opens something only when a second device is attached.
        Device probe = [&] {
            if constexpr (std::is_same_v<Device, ZelCfgKbRd>)
                return Device(hidHost_);
            else
                return Device(usbHost_, clock_);
        }();
        if (probe.Open()) {
            if (warnTwoArmed)
                prompts_.ShowErrorMsg(TextsOf(kind).oneDevice);
            warnTwoArmed = false;
            probe.Close();
            Forget(device);
            return Presence::Unchanged;
        }
        warnTwoArmed = true;
        Initialise(device);
        return Presence::Opened;
    } catch (const typename DeviceError<Device>::Type&) {
        Forget(device);
        return Presence::Dropped;
    }
}

ZelDevSet::Presence ZelDevSet::PollPresence(DevKind kind)
{
    return WithDevice(kind, [&](auto& device) { return Poll(device, kind); });
}

bool ZelDevSet::EnsurePresent(DevKind kind)
{
    return WithDevice(kind, [&](auto& device) {
        Poll(device, kind);
        // A device dropped by the first poll is reopened by the second.
        if (!device.IsOpen())
            Poll(device, kind);
        if (device.IsOpen())
            return true;
        prompts_.ShowErrorMsg(TextsOf(kind).noConnection);
        return false;
    });
}

void ZelDevSet::DropDevice(DevKind kind)
{
    WithDevice(kind, [](auto& device) { Forget(device); });
    prompts_.ShowErrorMsg(TextsOf(kind).noConnection);
}

void ZelDevSet::CloseDevice(DevKind kind)
{
    WithDevice(kind, [](auto& device) { Forget(device); });
}

void ZelDevSet::MarkContinuity(DevKind kind)
{
    if (kind == DevKind::Arkan)
        ar.continuityFlag = true;
    else if (kind == DevKind::Programmer)
        prgr.continuityFlag = true;
}

bool ZelDevSet::CheckContinuity(DevKind kind)
{
    const bool continuous = kind == DevKind::Arkan        ? ar.continuityFlag
                            : kind == DevKind::Programmer ? prgr.continuityFlag
                                                          : true;
    if (!continuous)
        prompts_.ShowErrorMsg(TextsOf(kind).replugged);
    return continuous;
}

} // namespace qozel
