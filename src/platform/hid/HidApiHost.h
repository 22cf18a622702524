#pragma once

#include "platform/DeniedDevice.h"
#include "platform/HidHost.h"

#include <map>
#include <memory>
#include <set>

namespace qozel {

// HidHost on hidapi (hidraw). The attributes of a device are those of the
// listing, read from the device tree, not asked of the opened node. Devices
// of the family's vendor that cannot be opened for lack of permission are
// treated as absent and noted. Not thread-safe: one thread uses the host.
class HidApiHost final : public HidHost {
public:
    explicit HidApiHost(std::uint16_t vendorId = QOZEL_DEVICE_VENDOR_ID);
    ~HidApiHost() override;
    HidApiHost(const HidApiHost&) = delete;
    HidApiHost& operator=(const HidApiHost&) = delete;

    std::optional<std::vector<std::string>> ListInterfaces() override;
    std::unique_ptr<HidHandle> Open(const std::string& path) override;

    // Devices of the vendor, from the last listing or open, that this user
    // may not open.
    std::vector<DeniedDevice> DeniedDevices() const override;

private:
    std::uint16_t vendorId_;
    bool initialised_ = false;
    std::map<std::string, HidAttributes> listed_;   // by path, from the last listing
    std::map<std::string, DeniedDevice> denied_;    // by path
    std::shared_ptr<std::set<std::string>> held_;
};

} // namespace qozel
