#include "SimInstallation.h"

#include "TestImages.h"

#include "link/QoHID.h"
#include "link/WUsbBulkD.h"

namespace qozel::sim {
namespace {

UsbDescriptors Descriptors(std::uint16_t productId, std::u16string serial)
{
    UsbDescriptors descriptors;
    descriptors.vendorId = DeviceVendorId;
    descriptors.productId = productId;
    descriptors.serial = std::move(serial);
    return descriptors;
}

// Readers on the bus: one of each type with an image (version 3), a type
// without one, all a version behind; a module with a V70 and a V75 attached.
void FillBus(ManagerModel& manager)
{
    struct Row {
        std::uint16_t nr;
        std::uint16_t type;
    };
    const Row rows[] = {{0x0101, 70}, {0x0102, 72}, {0x0103, 75}, {0x0104, 76}, {0x0105, 78}, {0x0106, 71}};
    std::uint8_t address = 1;
    for (const Row& row : rows)
        manager.AddReader(row.nr, row.type, 2).address = address++;
    manager.AddModule(0x0107, 70, 75).address = address;
}

} // namespace

SimInstallation::SimInstallation(bool useTestImages)
    : arkan(std::make_shared<ArkanModel>()),
      programmer(std::make_shared<ProgrammerModel>()),
      kbReader(std::make_shared<KbReaderModel>()),
      manager(std::make_shared<ManagerModel>()),
      arkanDevice(std::make_shared<SimUsbDevice>(kArkanGuid, arkan, Descriptors(0x0001, u"00A1"))),
      programmerDevice(std::make_shared<SimUsbDevice>(kProgrammerGuid, programmer, Descriptors(0x0002, u"00B2"))),
      managerDevice(std::make_shared<SimUsbDevice>(kManagerGuid, manager, Descriptors(0x0004, u"00C3"))),
      kbReaderDevice(std::make_shared<SimHidDevice>(kbReader, HidAttributes{DeviceVendorId, KbRdProductId, 0x0100}))
{
    if (useTestImages)
        UseTestImages();
    FillBus(*manager);
    for (Device device : {Device::Arkan, Device::Programmer, Device::KbReader, Device::Manager})
        Plug(device);
}

std::shared_ptr<SimUsbDevice> SimInstallation::UsbDeviceOf(Device device) const
{
    switch (device) {
    case Device::Arkan: return arkanDevice;
    case Device::Programmer: return programmerDevice;
    case Device::Manager: return managerDevice;
    case Device::KbReader: return nullptr;
    }
    return nullptr;
}

bool SimInstallation::IsPlugged(Device device) const
{
    if (device == Device::KbReader)
        return kbReaderDevice->plugged();
    return UsbDeviceOf(device)->plugged();
}

void SimInstallation::Unplug(Device device)
{
    if (device == Device::KbReader)
        hid.Detach(*kbReaderDevice);
    else
        usb.Detach(*UsbDeviceOf(device));
}

void SimInstallation::Plug(Device device)
{
    if (IsPlugged(device))
        return;
    // A device a fault unplugged is still listed by its host; take it off first.
    Unplug(device);
    if (device == Device::KbReader)
        hid.Attach(kbReaderDevice);
    else
        usb.Attach(UsbDeviceOf(device));
}

} // namespace qozel::sim
