#include "platform/hid/HidApiHandle.h"

#include <hidapi/hidapi.h>

#include <algorithm>

namespace qozel {

HidApiHandle::HidApiHandle(hid_device_* device, HidAttributes attributes, std::string path,
                           std::shared_ptr<std::set<std::string>> held)
    : device_(device), attributes_(attributes), path_(std::move(path)), held_(std::move(held))
{
    held_->insert(path_);
}

HidApiHandle::~HidApiHandle()
{
    hid_close(device_);
    held_->erase(path_);
}

std::optional<HidAttributes> HidApiHandle::GetAttributes()
{
    return attributes_;
}

bool HidApiHandle::SetFeature(std::span<const std::uint8_t> report)
{
    if (report.empty())
        return false;
    const int sent = hid_send_feature_report(device_, report.data(), report.size());
    return sent >= 0 && static_cast<std::size_t>(sent) == report.size();
}

bool HidApiHandle::GetFeature(std::span<std::uint8_t> report)
{
    if (report.empty())
        return false;
    const int got = hid_get_feature_report(device_, report.data(), report.size());
    if (got < 1)
        return false;
    // A shorter report leaves nothing of the buffer's previous contents to be
    // mistaken for reply bytes.
    std::fill(report.begin() + std::min<std::size_t>(static_cast<std::size_t>(got), report.size()), report.end(),
              std::uint8_t{0});
    return true;
}

} // namespace qozel
