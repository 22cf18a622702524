#pragma once

#include "platform/Guid.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace qozel {

struct UsbIds {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;

    friend bool operator==(const UsbIds&, const UsbIds&) = default;
};

// Vendor and product id named by a device interface path as SetupAPI gives it,
// e.g. "\\?\usb#vid_1209&pid_0001&mi_00#6&1a2b#{...}" or
// "\\?\hid#vid_1209&pid_0003#7&3c4d&0&0000#{...}". The ids sit in the second
// '#'-separated part, in either case; nullopt when that part names none
// (a device not on USB, or a malformed path). Lets the hosts pass over other
// makers' devices without opening them.
std::optional<UsbIds> UsbIdsOfInterfacePath(std::string_view path);

// Whether the path is that of an interface of the class `interfaceClass`: its
// last part is the class GUID in braces, in either case.
bool InterfacePathHasClass(std::string_view path, const Guid& interfaceClass);

} // namespace qozel
