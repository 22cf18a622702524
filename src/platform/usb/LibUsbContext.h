#pragma once

#include <set>
#include <string>

struct libusb_context;

namespace qozel {

// What the host and its open handles share: the library context and the
// paths this process holds open. Handles keep it alive, so a handle may
// outlive its host.
struct LibUsbContext {
    explicit LibUsbContext(libusb_context* context) : context(context) {}
    LibUsbContext(const LibUsbContext&) = delete;
    LibUsbContext& operator=(const LibUsbContext&) = delete;
    ~LibUsbContext();

    libusb_context* const context;
    std::set<std::string> held;
};

} // namespace qozel
