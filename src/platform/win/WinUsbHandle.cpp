#include "platform/win/WinUsbHandle.h"

#include <winusb.h>

#include <algorithm>
#include <climits>

namespace qozel {

WinUsbHandle::WinUsbHandle(UniqueHandle file, void* usb, std::unique_ptr<FamilyDevicePaths::Hold> hold)
    : file_(std::move(file)), usb_(usb), hold_(std::move(hold))
{
}

WinUsbHandle::~WinUsbHandle()
{
    WinUsb_Free(usb_);
}

std::optional<std::size_t> WinUsbHandle::GetDescriptor(std::uint8_t type, std::uint8_t index,
                                                       std::uint16_t languageId, std::span<std::uint8_t> buffer)
{
    ULONG received = 0;
    const auto length = static_cast<ULONG>(std::min<std::size_t>(buffer.size(), 0xFFFF));
    if (!WinUsb_GetDescriptor(usb_, type, index, languageId, buffer.data(), length, &received))
        return std::nullopt;
    return received;
}

std::optional<UsbInterfaceInfo> WinUsbHandle::QueryInterfaceSettings()
{
    USB_INTERFACE_DESCRIPTOR d{};
    if (!WinUsb_QueryInterfaceSettings(usb_, 0, &d))
        return std::nullopt;
    return UsbInterfaceInfo{d.bInterfaceNumber, d.bAlternateSetting, d.bNumEndpoints,
                            d.bInterfaceClass,  d.bInterfaceSubClass, d.bInterfaceProtocol};
}

std::optional<UsbPipeInfo> WinUsbHandle::QueryPipe(std::uint8_t endpointIndex)
{
    WINUSB_PIPE_INFORMATION pipe{};
    if (!WinUsb_QueryPipe(usb_, 0, endpointIndex, &pipe))
        return std::nullopt;
    // USBD_PIPE_TYPE counts control, isochronous, bulk, interrupt as the bmAttributes bits do.
    return UsbPipeInfo{static_cast<UsbPipeType>(pipe.PipeType & 0x03), pipe.PipeId, pipe.MaximumPacketSize};
}

bool WinUsbHandle::SetPipeTimeout(std::uint8_t pipeId, std::uint32_t ms)
{
    ULONG value = ms;
    return WinUsb_SetPipePolicy(usb_, pipeId, PIPE_TRANSFER_TIMEOUT, sizeof(value), &value) != FALSE;
}

std::optional<std::size_t> WinUsbHandle::ReadPipe(std::uint8_t pipeId, std::span<std::uint8_t> buffer)
{
    if (buffer.size() > ULONG_MAX)
        return std::nullopt;
    ULONG transferred = 0;
    if (WinUsb_ReadPipe(usb_, pipeId, buffer.data(), static_cast<ULONG>(buffer.size()), &transferred, nullptr))
        return transferred;
    // Bytes that arrived before a time-out are real data and are handed on;
    // a time-out with nothing is the "no data" the callers expect.
    if (GetLastError() == ERROR_SEM_TIMEOUT && transferred > 0)
        return transferred;
    return std::nullopt;
}

std::optional<std::size_t> WinUsbHandle::WritePipe(std::uint8_t pipeId, std::span<const std::uint8_t> data)
{
    if (data.size() > ULONG_MAX)
        return std::nullopt;
    if (!boundedWritePipes_.contains(pipeId)) {
        if (!SetPipeTimeout(pipeId, kWriteTimeoutMs))
            return std::nullopt;
        boundedWritePipes_.insert(pipeId);
    }
    ULONG written = 0;
    // WinUSB takes a non-const buffer for both directions; an OUT transfer only reads it.
    if (!WinUsb_WritePipe(usb_, pipeId, const_cast<std::uint8_t*>(data.data()), static_cast<ULONG>(data.size()),
                          &written, nullptr))
        return std::nullopt;
    return written;
}

} // namespace qozel
