#pragma once

#include "platform/HidHost.h"
#include "platform/win/FamilyDevicePaths.h"

namespace qozel {

// HidHost on SetupAPI and the HID class driver. The listing gives every
// present HID interface, as on Linux; only the family's devices are opened,
// told apart by the vendor id in their path. Not thread-safe.
class WinHidHost final : public HidHost {
public:
    explicit WinHidHost(std::uint16_t vendorId = QOZEL_DEVICE_VENDOR_ID);

    std::optional<std::vector<std::string>> ListInterfaces() override;
    std::unique_ptr<HidHandle> Open(const std::string& path) override;
    std::vector<DeniedDevice> DeniedDevices() const override;

private:
    FamilyDevicePaths paths_;
};

} // namespace qozel
