#pragma once

#include "ArkanModel.h"
#include "KbReaderModel.h"
#include "ManagerModel.h"
#include "ProgrammerModel.h"
#include "SimHidHost.h"
#include "SimUsbHost.h"
#include "VirtualClock.h"

#include <memory>

namespace qozel::sim {

// A whole simulated installation for tests and the demo: the Arkan, the
// programmer and the Manager on a simulated USB host, the keyboard reader on
// a simulated HID host, and behind the Manager a bus of readers of every
// type the product carries an image for, one type it carries none for, and
// a QO-L74 module with its two attached readers. Every device starts plugged
// in, factory-fresh (no keys), and one firmware version behind its image.
class SimInstallation {
public:
    enum class Device { Arkan, Programmer, KbReader, Manager };

    // With `useTestImages`, the built-in image slots are pointed at fresh
    // copies of the test images (they are process-wide).
    explicit SimInstallation(bool useTestImages = true);
    SimInstallation(const SimInstallation&) = delete;
    SimInstallation& operator=(const SimInstallation&) = delete;

    VirtualClock clock;
    SimUsbHost usb{clock};
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

private:
    std::shared_ptr<SimUsbDevice> UsbDeviceOf(Device device) const;
};

} // namespace qozel::sim
