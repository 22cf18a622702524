#include "platform/win/WinUsbHost.h"

#include "platform/win/DeviceInterfaceList.h"
#include "platform/win/GuidFields.h"
#include "platform/win/InterfacePath.h"
#include "platform/win/WinUsbHandle.h"

#include <winusb.h>

#include <algorithm>
#include <cstring>

namespace qozel {
namespace {

GUID ToWindowsGuid(const Guid& guid)
{
    const GuidFields f = ToGuidFields(guid);
    GUID out{};
    out.Data1 = f.data1;
    out.Data2 = f.data2;
    out.Data3 = f.data3;
    std::memcpy(out.Data4, f.data4.data(), f.data4.size());
    return out;
}

} // namespace

WinUsbHost::WinUsbHost(std::uint16_t vendorId) : paths_(vendorId) {}

std::optional<std::vector<std::string>> WinUsbHost::ListInterfaces(const Guid& interfaceClass)
{
    auto paths = ListPresentInterfaces(ToWindowsGuid(interfaceClass));
    if (!paths)
        return std::nullopt;
    std::erase_if(*paths, [&](const std::string& path) { return !paths_.IsFamily(path); });
    // Each listing covers one class: the notes of other classes' devices stay.
    paths_.ForgetAbsent(*paths,
                        [&](const std::string& path) { return InterfacePathHasClass(path, interfaceClass); });
    return paths;
}

std::unique_ptr<UsbHandle> WinUsbHost::Open(const std::string& path)
{
    // WinUSB requires a handle opened for overlapped I/O; the transfers are
    // still made without an OVERLAPPED structure, so each completes before it returns.
    UniqueHandle file = paths_.Open(path, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED);
    if (!file)
        return nullptr;
    WINUSB_INTERFACE_HANDLE usb = nullptr;
    if (!WinUsb_Initialize(file.get(), &usb))
        return nullptr;
    return std::make_unique<WinUsbHandle>(std::move(file), usb, paths_.HoldPath(path));
}

std::vector<DeniedDevice> WinUsbHost::DeniedDevices() const
{
    return paths_.Denied();
}

} // namespace qozel
