#include "platform/usb/LibUsbHost.h"

#include "platform/usb/LibUsbHandle.h"
#include "platform/usb/UsbInterfaceProbe.h"

#include <libusb-1.0/libusb.h>

#include <algorithm>
#include <array>
#include <set>

namespace qozel {
namespace {

constexpr std::size_t kMaxPortDepth = 7;

// "1-2.4": bus and port chain, the part of a path that names the device.
std::string Location(libusb_device* device)
{
    std::string text = std::to_string(libusb_get_bus_number(device));
    std::array<std::uint8_t, kMaxPortDepth> ports{};
    const int depth = libusb_get_port_numbers(device, ports.data(), static_cast<int>(ports.size()));
    for (int i = 0; i < depth; ++i)
        text += (i == 0 ? '-' : '.') + std::to_string(ports[static_cast<std::size_t>(i)]);
    return text;
}

// The location plus the bus address, which changes on every attachment.
std::string AttachmentKey(libusb_device* device)
{
    return Location(device) + '@' + std::to_string(libusb_get_device_address(device));
}

std::string MakePath(const std::string& location, std::uint8_t interfaceNumber)
{
    return "usb:" + location + ':' + std::to_string(interfaceNumber);
}

// Splits "usb:<location>:<interface>"; false for anything else.
bool SplitPath(const std::string& path, std::string& location, std::uint8_t& interfaceNumber)
{
    const auto colon = path.rfind(':');
    if (path.rfind("usb:", 0) != 0 || colon <= 4 || colon + 1 >= path.size() || path.size() - colon > 4)
        return false;
    unsigned number = 0;
    for (std::size_t i = colon + 1; i < path.size(); ++i) {
        if (path[i] < '0' || path[i] > '9')
            return false;
        number = number * 10 + static_cast<unsigned>(path[i] - '0');
    }
    if (number > 255)
        return false;
    location = path.substr(4, colon - 4);
    interfaceNumber = static_cast<std::uint8_t>(number);
    return true;
}

// libusb's device list, freed (and its references dropped) on destruction.
class DeviceList {
public:
    explicit DeviceList(libusb_context* context) : count_(libusb_get_device_list(context, &list_)) {}
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;
    ~DeviceList()
    {
        if (count_ >= 0)
            libusb_free_device_list(list_, 1);
    }
    bool ok() const { return count_ >= 0; }
    std::span<libusb_device*> devices() const
    {
        return ok() ? std::span(list_, static_cast<std::size_t>(count_)) : std::span<libusb_device*>{};
    }

private:
    libusb_device** list_ = nullptr;
    ssize_t count_;
};

std::vector<std::uint8_t> InterfaceNumbers(libusb_device* device)
{
    std::vector<std::uint8_t> numbers;
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != LIBUSB_SUCCESS)
        return numbers;
    for (int i = 0; i < config->bNumInterfaces; ++i)
        if (config->interface[i].num_altsetting > 0)
            numbers.push_back(config->interface[i].altsetting[0].bInterfaceNumber);
    libusb_free_config_descriptor(config);
    return numbers;
}

} // namespace

LibUsbHost::LibUsbHost(std::uint16_t vendorId) : vendorId_(vendorId) {}

LibUsbHost::~LibUsbHost() = default;

bool LibUsbHost::EnsureContext()
{
    if (context_)
        return true;
    libusb_context* context = nullptr;
    if (libusb_init(&context) != LIBUSB_SUCCESS)
        return false; // tried again on the next call: USB may appear later
    context_ = std::make_shared<LibUsbContext>(context);
    return true;
}

void LibUsbHost::NoteDenied(libusb_device* device)
{
    libusb_device_descriptor desc{};
    libusb_get_device_descriptor(device, &desc);
    const std::string location = Location(device);
    denied_[location] = DeniedDevice{location, desc.idVendor, desc.idProduct};
}

const LibUsbHost::Identity* LibUsbHost::Identify(libusb_device* device, const std::string& key)
{
    if (const auto it = identities_.find(key); it != identities_.end())
        return &it->second;
    // A device the kernel has not configured yet shows no interfaces: it is
    // asked on a later listing, not remembered as declaring none.
    const auto numbers = InterfaceNumbers(device);
    if (numbers.empty())
        return nullptr;
    libusb_device_handle* handle = nullptr;
    const int r = libusb_open(device, &handle);
    if (r == LIBUSB_ERROR_ACCESS)
        NoteDenied(device);
    if (r != LIBUSB_SUCCESS)
        return nullptr;
    denied_.erase(Location(device));
    libusb_device_descriptor desc{};
    libusb_get_device_descriptor(device, &desc);
    UsbProbeResult probe = ProbeInterfaceGuids(handle, desc.bcdUSB, numbers);
    libusb_close(handle);
    if (!probe.complete)
        return nullptr;
    return &(identities_[key] = Identity{std::move(probe.interfaces)});
}

std::optional<std::vector<std::string>> LibUsbHost::ListInterfaces(const Guid& interfaceClass)
{
    if (!EnsureContext())
        return std::nullopt;
    const DeviceList list(context_->context);
    if (!list.ok())
        return std::nullopt;

    std::vector<std::string> paths;
    std::set<std::string> presentKeys;
    std::set<std::string> presentLocations;
    for (libusb_device* device : list.devices()) {
        libusb_device_descriptor desc{};
        if (libusb_get_device_descriptor(device, &desc) != LIBUSB_SUCCESS || desc.idVendor != vendorId_)
            continue;
        const std::string key = AttachmentKey(device);
        presentKeys.insert(key);
        presentLocations.insert(Location(device));
        const Identity* identity = Identify(device, key);
        if (!identity)
            continue;
        for (const InterfaceGuids& itf : identity->interfaces)
            if (std::find(itf.guids.begin(), itf.guids.end(), interfaceClass) != itf.guids.end())
                paths.push_back(MakePath(Location(device), itf.interfaceNumber));
    }
    // Forget what belonged to devices that went away.
    std::erase_if(identities_, [&](const auto& e) { return !presentKeys.contains(e.first); });
    std::erase_if(denied_, [&](const auto& e) { return !presentLocations.contains(e.first); });
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::unique_ptr<UsbHandle> LibUsbHost::Open(const std::string& path)
{
    std::string location;
    std::uint8_t interfaceNumber = 0;
    if (!SplitPath(path, location, interfaceNumber) || !EnsureContext() || context_->held.contains(path))
        return nullptr;
    const DeviceList list(context_->context);
    for (libusb_device* device : list.devices()) {
        libusb_device_descriptor desc{};
        if (libusb_get_device_descriptor(device, &desc) != LIBUSB_SUCCESS || desc.idVendor != vendorId_ ||
            Location(device) != location)
            continue;
        libusb_device_handle* handle = nullptr;
        const int r = libusb_open(device, &handle);
        if (r == LIBUSB_ERROR_ACCESS)
            NoteDenied(device);
        if (r != LIBUSB_SUCCESS)
            return nullptr;
        if (libusb_claim_interface(handle, interfaceNumber) != LIBUSB_SUCCESS) {
            libusb_close(handle);
            return nullptr;
        }
        return std::make_unique<LibUsbHandle>(context_, handle, interfaceNumber, path);
    }
    return nullptr;
}

std::vector<DeniedDevice> LibUsbHost::DeniedDevices() const
{
    std::vector<DeniedDevice> out;
    for (const auto& [location, device] : denied_)
        out.push_back(device);
    return out;
}

} // namespace qozel
