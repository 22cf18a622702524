#pragma once

#include "platform/DeniedDevice.h"
#include "platform/UsbHost.h"
#include "platform/usb/LibUsbContext.h"
#include "platform/usb/MsOs20Descriptors.h"

#include <map>
#include <memory>

struct libusb_device;

namespace qozel {

// UsbHost on libusb-1.0. Only devices of one vendor id are ever opened or
// asked anything. A device's interface GUIDs are read once per attachment
// (MS OS 2.0 descriptor set, or MS OS 1.0 extended properties) and remembered
// until it goes away, so that a periodic listing sends no control requests to
// a device already identified.
//
// Paths look like "usb:1-2.4:0" (bus, port chain, interface number). Not
// thread-safe: one thread uses the host and its handles.
class LibUsbHost final : public UsbHost {
public:
    explicit LibUsbHost(std::uint16_t vendorId = QOZEL_DEVICE_VENDOR_ID);
    ~LibUsbHost() override;
    LibUsbHost(const LibUsbHost&) = delete;
    LibUsbHost& operator=(const LibUsbHost&) = delete;

    // Nullopt when libusb cannot be started or cannot list devices.
    std::optional<std::vector<std::string>> ListInterfaces(const Guid& interfaceClass) override;
    std::unique_ptr<UsbHandle> Open(const std::string& path) override;

    // Devices of the vendor seen by the last listing or open that the
    // operating system would not let this user open.
    std::vector<DeniedDevice> DeniedDevices() const override;

private:
    struct Identity {
        std::vector<InterfaceGuids> interfaces;
    };

    bool EnsureContext();
    const Identity* Identify(libusb_device* device, const std::string& key);
    void NoteDenied(libusb_device* device);

    std::uint16_t vendorId_;
    std::shared_ptr<LibUsbContext> context_;
    std::map<std::string, Identity> identities_;   // by attachment key (location and address)
    std::map<std::string, DeniedDevice> denied_;   // by location
};

} // namespace qozel
