#pragma once

#include "SimDevices.h"
#include "VirtualClock.h"

namespace qozel::sim {

namespace detail {
// The installation's clock, in a base of its own so that it exists before
// the hosts built on it.
struct VirtualClockHolder {
    VirtualClock clock;
};
} // namespace detail

// A whole simulated installation for the tests, on a virtual clock: the
// Arkan, the programmer and the Manager on a simulated USB host, the keyboard
// reader on a simulated HID host, and behind the Manager a bus of readers of
// every type the product carries an image for, one type it carries none for,
// and a QO-L74 module with its two attached readers. Every device starts
// plugged in, factory-fresh (no keys), and one firmware version behind its
// image.
class SimInstallation : public detail::VirtualClockHolder, public SimDevices {
public:
    // With `useTestImages`, the built-in image slots are pointed at fresh
    // copies of the test images (they are process-wide).
    explicit SimInstallation(bool useTestImages = true);

    // Every device and reader at the firmware the program carries, so that
    // no upgrade is offered.
    void RunCarriedFirmware();
    // Readers of type 70 added, each at the next address, until the bus holds `count`.
    void AddReadersUpTo(std::size_t count);
};

} // namespace qozel::sim
