#pragma once

#include "platform/DeniedDevice.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qozel {

struct HidAttributes {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t versionNumber = 0;
};

// One opened HID interface; destroying it closes the device.
class HidHandle {
public:
    virtual ~HidHandle() = default;

    virtual std::optional<HidAttributes> GetAttributes() = 0;
    // Sends the whole report; report[0] is the report ID. False when refused.
    virtual bool SetFeature(std::span<const std::uint8_t> report) = 0;
    // Fetches the feature report named by report[0] into `report`. False when refused.
    virtual bool GetFeature(std::span<std::uint8_t> report) = 0;
};

class HidHost {
public:
    virtual ~HidHost() = default;

    // Paths of the present HID interfaces; nullopt when the listing fails.
    virtual std::optional<std::vector<std::string>> ListInterfaces() = 0;
    // Null when the path is gone, refused, or already held open by this process.
    virtual std::unique_ptr<HidHandle> Open(const std::string& path) = 0;
    // Devices of the family that this user may not open, as for UsbHost.
    virtual std::vector<DeniedDevice> DeniedDevices() const { return {}; }
};

} // namespace qozel
