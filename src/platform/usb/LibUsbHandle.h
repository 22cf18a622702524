#pragma once

#include "platform/UsbHost.h"
#include "platform/usb/LibUsbContext.h"

#include <map>
#include <memory>

struct libusb_device_handle;

namespace qozel {

// One claimed interface of a device opened through libusb.
class LibUsbHandle final : public UsbHandle {
public:
    // Takes over `handle`, whose interface `interfaceNumber` is already claimed,
    // and marks `path` as held until destruction.
    LibUsbHandle(std::shared_ptr<LibUsbContext> context, libusb_device_handle* handle,
                 std::uint8_t interfaceNumber, std::string path);
    ~LibUsbHandle() override;

    std::optional<std::size_t> GetDescriptor(std::uint8_t type, std::uint8_t index, std::uint16_t languageId,
                                             std::span<std::uint8_t> buffer) override;
    std::optional<UsbInterfaceInfo> QueryInterfaceSettings() override;
    std::optional<UsbPipeInfo> QueryPipe(std::uint8_t endpointIndex) override;
    bool SetPipeTimeout(std::uint8_t pipeId, std::uint32_t ms) override;
    std::optional<std::size_t> ReadPipe(std::uint8_t pipeId, std::span<std::uint8_t> buffer) override;
    std::optional<std::size_t> WritePipe(std::uint8_t pipeId, std::span<const std::uint8_t> data) override;

private:
    std::optional<std::size_t> Transfer(std::uint8_t pipeId, std::uint8_t* data, std::size_t length,
                                        unsigned timeoutMs);

    std::shared_ptr<LibUsbContext> context_;
    libusb_device_handle* handle_;
    std::uint8_t interfaceNumber_;
    std::string path_;
    std::map<std::uint8_t, std::uint32_t> readTimeouts_;
};

} // namespace qozel
