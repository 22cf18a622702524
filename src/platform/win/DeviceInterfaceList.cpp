#include "platform/win/DeviceInterfaceList.h"

#include <setupapi.h>

#include <cstddef>
#include <memory>

namespace qozel {
namespace {

// Destroys the device information set on scope exit.
class DeviceInfoSet {
public:
    explicit DeviceInfoSet(const GUID& interfaceClass)
        : set_(SetupDiGetClassDevsA(&interfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE))
    {
    }
    DeviceInfoSet(const DeviceInfoSet&) = delete;
    DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;
    ~DeviceInfoSet()
    {
        if (ok())
            SetupDiDestroyDeviceInfoList(set_);
    }
    bool ok() const { return set_ != INVALID_HANDLE_VALUE; }
    HDEVINFO get() const { return set_; }

private:
    HDEVINFO set_;
};

std::optional<std::string> DevicePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& itf)
{
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailA(set, &itf, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A))
        return std::nullopt;
    // The detail is a header followed by the path; its buffer must be aligned for the header.
    auto storage = std::make_unique<std::max_align_t[]>(size / sizeof(std::max_align_t) + 1);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(storage.get());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!SetupDiGetDeviceInterfaceDetailA(set, &itf, detail, size, nullptr, nullptr))
        return std::nullopt;
    return std::string(detail->DevicePath);
}

} // namespace

std::optional<std::vector<std::string>> ListPresentInterfaces(const GUID& interfaceClass)
{
    const DeviceInfoSet set(interfaceClass);
    if (!set.ok())
        return std::nullopt;
    std::vector<std::string> paths;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA itf{};
        itf.cbSize = sizeof(itf);
        if (!SetupDiEnumDeviceInterfaces(set.get(), nullptr, &interfaceClass, index, &itf))
            break; // ERROR_NO_MORE_ITEMS, or the set went stale: what was read stands
        if (auto path = DevicePath(set.get(), itf))
            paths.push_back(std::move(*path));
    }
    return paths;
}

} // namespace qozel
