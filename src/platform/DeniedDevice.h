#pragma once

#include <cstdint>
#include <string>

namespace qozel {

// A device of the family that is attached but that this user may not open.
// The hosts treat it as absent and keep a note of it, so that the application
// can tell the user how to grant access (the udev rules).
struct DeniedDevice {
    std::string location;   // where it is attached (bus and port chain, or device node)
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;

    friend bool operator==(const DeniedDevice&, const DeniedDevice&) = default;
};

} // namespace qozel
