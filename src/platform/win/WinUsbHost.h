#pragma once

#include "platform/UsbHost.h"
#include "platform/win/FamilyDevicePaths.h"

namespace qozel {

// UsbHost on SetupAPI and WinUSB. Windows itself reads the interface GUIDs a
// device declares (its Microsoft OS descriptors) and binds WinUSB; the listing
// asks SetupAPI for the present interfaces of a GUID and keeps those of the
// family's vendor. Paths are SetupAPI's device paths. Not thread-safe: one
// thread uses the host and its handles.
class WinUsbHost final : public UsbHost {
public:
    explicit WinUsbHost(std::uint16_t vendorId = QOZEL_DEVICE_VENDOR_ID);

    std::optional<std::vector<std::string>> ListInterfaces(const Guid& interfaceClass) override;
    std::unique_ptr<UsbHandle> Open(const std::string& path) override;
    std::vector<DeniedDevice> DeniedDevices() const override;

private:
    FamilyDevicePaths paths_;
};

} // namespace qozel
