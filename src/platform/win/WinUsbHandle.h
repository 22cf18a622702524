#pragma once

#include "platform/UsbHost.h"
#include "platform/win/FamilyDevicePaths.h"
#include "platform/win/UniqueHandle.h"

#include <memory>
#include <set>

namespace qozel {

// One device interface opened through WinUSB: the file handle, the WinUSB
// interface handle on it, and the mark that this process holds the path.
class WinUsbHandle final : public UsbHandle {
public:
    // Takes over `usb`, obtained by WinUsb_Initialize on `file`.
    WinUsbHandle(UniqueHandle file, void* usb, std::unique_ptr<FamilyDevicePaths::Hold> hold);
    ~WinUsbHandle() override;
    WinUsbHandle(const WinUsbHandle&) = delete;
    WinUsbHandle& operator=(const WinUsbHandle&) = delete;

    std::optional<std::size_t> GetDescriptor(std::uint8_t type, std::uint8_t index, std::uint16_t languageId,
                                             std::span<std::uint8_t> buffer) override;
    std::optional<UsbInterfaceInfo> QueryInterfaceSettings() override;
    std::optional<UsbPipeInfo> QueryPipe(std::uint8_t endpointIndex) override;
    bool SetPipeTimeout(std::uint8_t pipeId, std::uint32_t ms) override;
    std::optional<std::size_t> ReadPipe(std::uint8_t pipeId, std::span<std::uint8_t> buffer) override;
    std::optional<std::size_t> WritePipe(std::uint8_t pipeId, std::span<const std::uint8_t> data) override;

private:
    UniqueHandle file_;                 // declared first: released after the WinUSB handle
    void* usb_;                         // WINUSB_INTERFACE_HANDLE
    std::unique_ptr<FamilyDevicePaths::Hold> hold_;
    std::set<std::uint8_t> boundedWritePipes_;
};

} // namespace qozel
