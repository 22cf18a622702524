#pragma once

#include "platform/usb/MsOs20Descriptors.h"

#include <cstdint>
#include <span>
#include <vector>

struct libusb_device_handle;

namespace qozel {

struct UsbProbeResult {
    // False when the device went away or stopped answering in a way worth
    // retrying; the result must then not be remembered.
    bool complete = false;
    std::vector<InterfaceGuids> interfaces;
};

// Asks an opened device which interface GUIDs it declares for its driver:
// the MS OS 2.0 descriptor set named by its BOS platform capability, or else
// the MS OS 1.0 extended properties of each interface. `interfaceNumbers` are
// those of the active configuration, the first one standing for the device.
UsbProbeResult ProbeInterfaceGuids(libusb_device_handle* handle, std::uint16_t bcdUsb,
                                   std::span<const std::uint8_t> interfaceNumbers);

} // namespace qozel
