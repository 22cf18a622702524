#include "platform/win/WinHidHost.h"

#include "platform/win/DeviceInterfaceList.h"
#include "platform/win/HidClassApi.h"
#include "platform/win/WinHidHandle.h"

namespace qozel {

WinHidHost::WinHidHost(std::uint16_t vendorId) : paths_(vendorId) {}

std::optional<std::vector<std::string>> WinHidHost::ListInterfaces()
{
    GUID hidClass{};
    HidD_GetHidGuid(&hidClass);
    auto paths = ListPresentInterfaces(hidClass);
    if (paths)
        paths_.ForgetAbsent(*paths, [](const std::string&) { return true; });
    return paths;
}

std::unique_ptr<HidHandle> WinHidHost::Open(const std::string& path)
{
    // Shared for reading only: a second opener that wants to write is refused,
    // so two processes never talk to one reader at once.
    UniqueHandle file = paths_.Open(path, FILE_SHARE_READ, 0);
    if (!file)
        return nullptr;
    return std::make_unique<WinHidHandle>(std::move(file), paths_.HoldPath(path));
}

std::vector<DeniedDevice> WinHidHost::DeniedDevices() const
{
    return paths_.Denied();
}

} // namespace qozel
