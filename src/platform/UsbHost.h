#pragma once

#include "platform/DeniedDevice.h"
#include "platform/Guid.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qozel {

// USB transfer types as reported for a pipe (the bmAttributes encoding).
enum class UsbPipeType : std::uint8_t { Control = 0, Isochronous = 1, Bulk = 2, Interrupt = 3 };

struct UsbPipeInfo {
    UsbPipeType type = UsbPipeType::Control;
    std::uint8_t pipeId = 0;            // endpoint address; bit 7 set for IN
    std::uint16_t maxPacketSize = 0;
};

// The interface descriptor of alternate setting 0 (the fields the transport reads).
struct UsbInterfaceInfo {
    std::uint8_t interfaceNumber = 0;
    std::uint8_t alternateSetting = 0;
    std::uint8_t numEndpoints = 0;
    std::uint8_t interfaceClass = 0;
    std::uint8_t interfaceSubClass = 0;
    std::uint8_t interfaceProtocol = 0;
};

// One opened device interface. Destroying the handle releases the interface
// and closes the device.
class UsbHandle {
public:
    virtual ~UsbHandle() = default;

    // Standard GET_DESCRIPTOR; returns the number of bytes received, nullopt on failure.
    virtual std::optional<std::size_t> GetDescriptor(std::uint8_t type, std::uint8_t index,
                                                     std::uint16_t languageId,
                                                     std::span<std::uint8_t> buffer) = 0;
    virtual std::optional<UsbInterfaceInfo> QueryInterfaceSettings() = 0;
    // Pipe `endpointIndex` (0 .. numEndpoints-1) of alternate setting 0.
    virtual std::optional<UsbPipeInfo> QueryPipe(std::uint8_t endpointIndex) = 0;
    // Read time-out of one pipe in ms (0 = wait for ever); false when refused.
    virtual bool SetPipeTimeout(std::uint8_t pipeId, std::uint32_t ms) = 0;
    // One blocking bulk transfer. A read returns the byte count of one transfer;
    // both return nullopt on failure, a read time-out included.
    virtual std::optional<std::size_t> ReadPipe(std::uint8_t pipeId, std::span<std::uint8_t> buffer) = 0;
    virtual std::optional<std::size_t> WritePipe(std::uint8_t pipeId, std::span<const std::uint8_t> data) = 0;

    // Writes are bounded so that a device that stops taking data cannot hold
    // the caller for ever; the device is then treated as failed.
    static constexpr std::uint32_t kWriteTimeoutMs = 5000;
};

// Finds and opens device interfaces by their interface class GUID.
class UsbHost {
public:
    virtual ~UsbHost() = default;

    // Paths of the present interfaces declaring `interfaceClass`, in enumeration
    // order; nullopt when the listing itself fails.
    virtual std::optional<std::vector<std::string>> ListInterfaces(const Guid& interfaceClass) = 0;
    // Opens one interface for exclusive use. Null when the path is gone, the
    // platform refuses, or this process already holds the path open.
    virtual std::unique_ptr<UsbHandle> Open(const std::string& path) = 0;
    // Devices of the family seen by the last listing or open that this user
    // may not open; they are treated as absent.
    virtual std::vector<DeniedDevice> DeniedDevices() const { return {}; }
};

} // namespace qozel
