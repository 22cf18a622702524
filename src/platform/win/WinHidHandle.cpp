#include "platform/win/WinHidHandle.h"

#include "platform/win/HidClassApi.h"

#include <climits>

namespace qozel {

WinHidHandle::WinHidHandle(UniqueHandle file, std::unique_ptr<FamilyDevicePaths::Hold> hold)
    : file_(std::move(file)), hold_(std::move(hold))
{
}

std::optional<HidAttributes> WinHidHandle::GetAttributes()
{
    HIDD_ATTRIBUTES a{};
    a.Size = sizeof(a);
    if (!HidD_GetAttributes(file_.get(), &a))
        return std::nullopt;
    return HidAttributes{a.VendorID, a.ProductID, a.VersionNumber};
}

bool WinHidHandle::SetFeature(std::span<const std::uint8_t> report)
{
    if (report.empty() || report.size() > ULONG_MAX)
        return false;
    // The HID API takes a non-const buffer; Set Feature only reads it.
    return HidD_SetFeature(file_.get(), const_cast<std::uint8_t*>(report.data()),
                           static_cast<ULONG>(report.size())) != FALSE;
}

bool WinHidHandle::GetFeature(std::span<std::uint8_t> report)
{
    if (report.empty() || report.size() > ULONG_MAX)
        return false;
    return HidD_GetFeature(file_.get(), report.data(), static_cast<ULONG>(report.size())) != FALSE;
}

} // namespace qozel
