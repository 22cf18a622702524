#include "platform/usb/LibUsbHandle.h"

#include <libusb-1.0/libusb.h>

#include <algorithm>
#include <climits>

namespace qozel {
namespace {

constexpr unsigned kControlTimeoutMs = 1000;

// Alternate setting 0 of one interface in the active configuration; the
// configuration must be freed by the caller.
const libusb_interface_descriptor* AltSetting0(libusb_config_descriptor* config, std::uint8_t number)
{
    if (!config)
        return nullptr;
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        const libusb_interface& itf = config->interface[i];
        for (int a = 0; a < itf.num_altsetting; ++a)
            if (itf.altsetting[a].bInterfaceNumber == number && itf.altsetting[a].bAlternateSetting == 0)
                return &itf.altsetting[a];
    }
    return nullptr;
}

struct ConfigRef {
    explicit ConfigRef(libusb_device_handle* h)
    {
        if (libusb_get_active_config_descriptor(libusb_get_device(h), &config) != LIBUSB_SUCCESS)
            config = nullptr;
    }
    ConfigRef(const ConfigRef&) = delete;
    ConfigRef& operator=(const ConfigRef&) = delete;
    ~ConfigRef() { libusb_free_config_descriptor(config); }
    libusb_config_descriptor* config = nullptr;
};

} // namespace

LibUsbContext::~LibUsbContext()
{
    libusb_exit(context);
}

LibUsbHandle::LibUsbHandle(std::shared_ptr<LibUsbContext> context, libusb_device_handle* handle,
                           std::uint8_t interfaceNumber, std::string path)
    : context_(std::move(context)), handle_(handle), interfaceNumber_(interfaceNumber), path_(std::move(path))
{
    context_->held.insert(path_);
}

LibUsbHandle::~LibUsbHandle()
{
    libusb_release_interface(handle_, interfaceNumber_);
    libusb_close(handle_);
    context_->held.erase(path_);
}

std::optional<std::size_t> LibUsbHandle::GetDescriptor(std::uint8_t type, std::uint8_t index,
                                                       std::uint16_t languageId, std::span<std::uint8_t> buffer)
{
    const auto length = static_cast<std::uint16_t>(std::min<std::size_t>(buffer.size(), 0xFFFF));
    const int r = libusb_control_transfer(handle_, LIBUSB_ENDPOINT_IN, LIBUSB_REQUEST_GET_DESCRIPTOR,
                                          static_cast<std::uint16_t>(type << 8 | index), languageId,
                                          buffer.data(), length, kControlTimeoutMs);
    if (r < 0)
        return std::nullopt;
    return static_cast<std::size_t>(r);
}

std::optional<UsbInterfaceInfo> LibUsbHandle::QueryInterfaceSettings()
{
    ConfigRef ref(handle_);
    const auto* alt = AltSetting0(ref.config, interfaceNumber_);
    if (!alt)
        return std::nullopt;
    return UsbInterfaceInfo{alt->bInterfaceNumber, alt->bAlternateSetting, alt->bNumEndpoints,
                            alt->bInterfaceClass, alt->bInterfaceSubClass, alt->bInterfaceProtocol};
}

std::optional<UsbPipeInfo> LibUsbHandle::QueryPipe(std::uint8_t endpointIndex)
{
    ConfigRef ref(handle_);
    const auto* alt = AltSetting0(ref.config, interfaceNumber_);
    if (!alt || endpointIndex >= alt->bNumEndpoints)
        return std::nullopt;
    const libusb_endpoint_descriptor& ep = alt->endpoint[endpointIndex];
    return UsbPipeInfo{static_cast<UsbPipeType>(ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK),
                       ep.bEndpointAddress, ep.wMaxPacketSize};
}

bool LibUsbHandle::SetPipeTimeout(std::uint8_t pipeId, std::uint32_t ms)
{
    ConfigRef ref(handle_);
    const auto* alt = AltSetting0(ref.config, interfaceNumber_);
    if (!alt || ms > UINT_MAX)
        return false;
    for (int i = 0; i < alt->bNumEndpoints; ++i)
        if (alt->endpoint[i].bEndpointAddress == pipeId) {
            readTimeouts_[pipeId] = ms;
            return true;
        }
    return false;
}

std::optional<std::size_t> LibUsbHandle::ReadPipe(std::uint8_t pipeId, std::span<std::uint8_t> buffer)
{
    const auto it = readTimeouts_.find(pipeId);
    return Transfer(pipeId, buffer.data(), buffer.size(), it == readTimeouts_.end() ? 0 : it->second);
}

std::optional<std::size_t> LibUsbHandle::WritePipe(std::uint8_t pipeId, std::span<const std::uint8_t> data)
{
    // libusb takes a non-const buffer for both directions; an OUT transfer only reads it.
    return Transfer(pipeId, const_cast<std::uint8_t*>(data.data()), data.size(), kWriteTimeoutMs);
}

std::optional<std::size_t> LibUsbHandle::Transfer(std::uint8_t pipeId, std::uint8_t* data, std::size_t length,
                                                  unsigned timeoutMs)
{
    if (length > INT_MAX)
        return std::nullopt;
    int transferred = 0;
    const int r = libusb_bulk_transfer(handle_, pipeId, data, static_cast<int>(length), &transferred, timeoutMs);
    // Bytes that arrived before a time-out are real data and are handed on;
    // a time-out with nothing is the "no data" the callers expect.
    if (r == LIBUSB_SUCCESS || (r == LIBUSB_ERROR_TIMEOUT && transferred > 0))
        return static_cast<std::size_t>(transferred);
    return std::nullopt;
}

} // namespace qozel
