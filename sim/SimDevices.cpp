#include "SimDevices.h"

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

} // namespace

SimDevices::SimDevices(SimClock& clock)
    : usb(clock),
      arkan(std::make_shared<ArkanModel>()),
      programmer(std::make_shared<ProgrammerModel>()),
      kbReader(std::make_shared<KbReaderModel>()),
      manager(std::make_shared<ManagerModel>()),
      arkanDevice(std::make_shared<SimUsbDevice>(kArkanGuid, arkan, Descriptors(0x0001, u"00A1"))),
      programmerDevice(std::make_shared<SimUsbDevice>(kProgrammerGuid, programmer, Descriptors(0x0002, u"00B2"))),
      managerDevice(std::make_shared<SimUsbDevice>(kManagerGuid, manager, Descriptors(0x0004, u"00C3"))),
      kbReaderDevice(std::make_shared<SimHidDevice>(kbReader, HidAttributes{DeviceVendorId, KbRdProductId, 0x0100}))
{
}

std::shared_ptr<SimUsbDevice> SimDevices::UsbDeviceOf(Device device) const
{
    switch (device) {
    case Device::Arkan: return arkanDevice;
    case Device::Programmer: return programmerDevice;
    case Device::Manager: return managerDevice;
    case Device::KbReader: return nullptr;
    }
    return nullptr;
}

bool SimDevices::IsPlugged(Device device) const
{
    if (device == Device::KbReader)
        return kbReaderDevice->plugged();
    return UsbDeviceOf(device)->plugged();
}

void SimDevices::Unplug(Device device)
{
    if (device == Device::KbReader)
        hid.Detach(*kbReaderDevice);
    else
        usb.Detach(*UsbDeviceOf(device));
}

void SimDevices::Plug(Device device)
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

void SimDevices::PlugAll()
{
    for (Device device : kDevices)
        Plug(device);
}

} // namespace qozel::sim
