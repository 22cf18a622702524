#pragma once

#include "Testbed.h" // umockdev first

#include "SimDeviceModel.h"

#include <memory>
#include <mutex>
#include <vector>

namespace qozel::test {

struct EmulatedHidSetup {
    std::string usbName = "3-1";   // sysfs name of the USB device above the HID interface
    int hidrawMinor = 0;
    std::uint16_t vendorId = 0x1209;
    std::uint16_t productId = 0x0003;
    std::uint16_t release = 0x0104;
};

// A keyboard reader in the testbed: USB device, interface, HID device and
// hidraw node, whose feature-report ioctls are answered here on umockdev's
// thread. Feature reports 0x41 + k carry 64k + 63 bytes (k = 0..8); a Set
// Feature of a request frame runs it through the model, and the next Get
// Feature of report 0x41 returns the reply frame. Reports of other IDs or
// sizes are refused as the kernel does when the device stalls.
class EmulatedHidDevice {
public:
    EmulatedHidDevice(Testbed& bed, EmulatedHidSetup setup, std::shared_ptr<sim::SimDeviceModel> model);
    ~EmulatedHidDevice();
    EmulatedHidDevice(const EmulatedHidDevice&) = delete;
    EmulatedHidDevice& operator=(const EmulatedHidDevice&) = delete;

    const std::string& Node() const noexcept { return node_; }
    // Takes the device out of the testbed, as when it is unplugged.
    void Unplug();
    // Every report received with Set Feature, report ID first.
    std::vector<std::vector<std::uint8_t>> Reports() const;
    int Ioctls() const;

    template <class F>
    auto WithModel(F f)
    {
        std::lock_guard lock(mutex_);
        return f(*model_);
    }

private:
    static gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);
    void HandleIoctl(UMockdevIoctlClient* client);
    long SetFeature(const std::uint8_t* report, std::size_t length);
    long GetFeature(std::uint8_t* report, std::size_t length);

    Testbed& bed_;
    EmulatedHidSetup spec_;
    std::shared_ptr<sim::SimDeviceModel> model_;
    std::string node_;
    std::string usbPath_;
    UMockdevIoctlBase* handler_ = nullptr;

    mutable std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> reports_;
    std::vector<std::uint8_t> reply_;
    int ioctls_ = 0;
};

} // namespace qozel::test
