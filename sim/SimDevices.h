#pragma once

#include "ArkanModel.h"
#include "KbReaderModel.h"
#include "ManagerModel.h"
#include "ProgrammerModel.h"
#include "SimClock.h"
#include "SimHidHost.h"
#include "SimUsbHost.h"

#include <array>
#include <memory>

namespace qozel::sim {

// The four service devices of an installation on simulated hosts: the
// Arkan, the programmer and the Manager on a USB host whose time is `clock`,
// the keyboard reader on a HID host. Every device starts unplugged and fresh
// from the factory (no keys, no password), the Manager with an empty bus;
// the installations built on it (SimInstallation for the tests,
// DemoInstallation for the demo) fill the bus, set the firmware versions and
// plug the devices in.
class SimDevices {
public:
    enum class Device { Arkan, Programmer, KbReader, Manager };
    static constexpr std::array<Device, 4> kDevices = {Device::Arkan, Device::Programmer, Device::KbReader,
                                                       Device::Manager};

    explicit SimDevices(SimClock& clock);
    SimDevices(const SimDevices&) = delete;
    SimDevices& operator=(const SimDevices&) = delete;

    SimUsbHost usb;
    SimHidHost hid;

    std::shared_ptr<ArkanModel> arkan;
    std::shared_ptr<ProgrammerModel> programmer;
    std::shared_ptr<KbReaderModel> kbReader;
    std::shared_ptr<ManagerModel> manager;

    std::shared_ptr<SimUsbDevice> arkanDevice;
    std::shared_ptr<SimUsbDevice> programmerDevice;
    std::shared_ptr<SimUsbDevice> managerDevice;
    std::shared_ptr<SimHidDevice> kbReaderDevice;

    // Unplugging and plugging in again; plugging in a plugged device does nothing.
    void Unplug(Device device);
    void Plug(Device device);
    bool IsPlugged(Device device) const;
    void PlugAll();

private:
    std::shared_ptr<SimUsbDevice> UsbDeviceOf(Device device) const;
};

} // namespace qozel::sim
