#include "platform/usb/UsbInterfaceProbe.h"

#include "platform/usb/MsOs10Descriptors.h"

#include <libusb-1.0/libusb.h>

#include <algorithm>
#include <optional>

namespace qozel {
namespace {

constexpr unsigned kControlTimeoutMs = 1000;
constexpr std::uint16_t kBosMinUsbVersion = 0x0201;
constexpr std::size_t kBosHeaderSize = 5;
constexpr std::size_t kOsStringSize = 18;
constexpr std::uint32_t kMaxPropertiesLength = 4096;
constexpr std::uint8_t kVendorToHostDevice = 0xC0;    // IN, vendor request, device recipient
constexpr std::uint8_t kVendorToHostInterface = 0xC1; // IN, vendor request, interface recipient

// Outcome of one control request: the bytes, or why there are none.
struct Reply {
    std::vector<std::uint8_t> bytes;
    bool gone = false; // the device is no longer there: nothing may be cached
};

Reply ControlIn(libusb_device_handle* h, std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                std::uint16_t index, std::size_t length)
{
    Reply reply;
    reply.bytes.resize(length);
    const int r = libusb_control_transfer(h, requestType, request, value, index, reply.bytes.data(),
                                          static_cast<std::uint16_t>(length), kControlTimeoutMs);
    reply.gone = r == LIBUSB_ERROR_NO_DEVICE;
    reply.bytes.resize(r > 0 ? static_cast<std::size_t>(r) : 0);
    return reply;
}

Reply GetDescriptor(libusb_device_handle* h, std::uint8_t type, std::uint8_t index, std::uint16_t language,
                    std::size_t length)
{
    return ControlIn(h, LIBUSB_ENDPOINT_IN, LIBUSB_REQUEST_GET_DESCRIPTOR,
                     static_cast<std::uint16_t>(type << 8 | index), language, length);
}

// Nullopt when the device has no MS OS 2.0 capability; otherwise the probe's result.
std::optional<UsbProbeResult> ProbeMsOs20(libusb_device_handle* h, std::uint8_t deviceInterface)
{
    const Reply head = GetDescriptor(h, LIBUSB_DT_BOS, 0, 0, kBosHeaderSize);
    if (head.gone)
        return UsbProbeResult{};
    if (head.bytes.size() < kBosHeaderSize)
        return std::nullopt;
    const std::size_t total = static_cast<std::size_t>(head.bytes[2] | head.bytes[3] << 8);
    const Reply bos = GetDescriptor(h, LIBUSB_DT_BOS, 0, 0, std::max(total, kBosHeaderSize));
    if (bos.gone)
        return UsbProbeResult{};
    const auto location = FindMsOs20Capability(bos.bytes);
    if (!location)
        return std::nullopt;
    const Reply set =
        ControlIn(h, kVendorToHostDevice, location->vendorCode, 0, kMsOs20DescriptorIndex, location->totalLength);
    if (set.gone)
        return UsbProbeResult{};
    return UsbProbeResult{true, ParseMsOs20DescriptorSet(set.bytes, deviceInterface)};
}

UsbProbeResult ProbeMsOs10(libusb_device_handle* h, std::span<const std::uint8_t> interfaceNumbers)
{
    UsbProbeResult result;
    const Reply osString = GetDescriptor(h, LIBUSB_DT_STRING, kMsOsStringIndex, 0, kOsStringSize);
    if (osString.gone)
        return result;
    result.complete = true;
    const auto vendorCode = ParseMsOsStringDescriptor(osString.bytes);
    if (!vendorCode)
        return result;
    for (const std::uint8_t number : interfaceNumbers) {
        const auto value = static_cast<std::uint16_t>(number << 8);
        const Reply head = ControlIn(h, kVendorToHostInterface, *vendorCode, value, kMsOs10PropertiesIndex,
                                     kMsOs10PropertiesHeaderSize);
        if (head.gone) {
            result.complete = false;
            return result;
        }
        const auto length = MsOs10PropertiesLength(head.bytes);
        if (!length)
            continue;
        const Reply all = ControlIn(h, kVendorToHostInterface, *vendorCode, value, kMsOs10PropertiesIndex,
                                    std::min(*length, kMaxPropertiesLength));
        if (all.gone) {
            result.complete = false;
            return result;
        }
        auto guids = ParseMsOs10ExtendedProperties(all.bytes);
        if (!guids.empty())
            result.interfaces.push_back(InterfaceGuids{number, std::move(guids)});
    }
    return result;
}

} // namespace

UsbProbeResult ProbeInterfaceGuids(libusb_device_handle* handle, std::uint16_t bcdUsb,
                                   std::span<const std::uint8_t> interfaceNumbers)
{
    if (interfaceNumbers.empty())
        return UsbProbeResult{true, {}};
    // Only devices of USB 2.01 or later may be asked for a BOS; older ones
    // can misbehave when asked for descriptors they do not know.
    if (bcdUsb >= kBosMinUsbVersion)
        if (auto result = ProbeMsOs20(handle, interfaceNumbers.front()))
            return *result;
    return ProbeMsOs10(handle, interfaceNumbers);
}

} // namespace qozel
