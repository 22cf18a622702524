#include "platform/hid/HidApiHost.h"

#include "platform/hid/HidApiHandle.h"

#include <hidapi/hidapi.h>

#include <cerrno>

namespace qozel {

HidApiHost::HidApiHost(std::uint16_t vendorId)
    : vendorId_(vendorId), held_(std::make_shared<std::set<std::string>>())
{
}

// hidapi's global state is left in place: other hosts may still use it.
HidApiHost::~HidApiHost() = default;

std::optional<std::vector<std::string>> HidApiHost::ListInterfaces()
{
    if (!initialised_)
        initialised_ = hid_init() == 0;
    if (!initialised_)
        return std::nullopt;
    hid_device_info* all = hid_enumerate(0, 0);
    std::vector<std::string> paths;
    listed_.clear();
    for (const hid_device_info* d = all; d; d = d->next) {
        if (!d->path)
            continue;
        paths.emplace_back(d->path);
        listed_[d->path] = HidAttributes{d->vendor_id, d->product_id, d->release_number};
    }
    hid_free_enumeration(all);
    std::erase_if(denied_, [&](const auto& e) { return !listed_.contains(e.first); });
    return paths;
}

std::unique_ptr<HidHandle> HidApiHost::Open(const std::string& path)
{
    const auto listed = listed_.find(path);
    if (!initialised_ || listed == listed_.end() || held_->contains(path))
        return nullptr;
    errno = 0;
    hid_device* device = hid_open_path(path.c_str());
    if (!device) {
        const HidAttributes& a = listed->second;
        if ((errno == EACCES || errno == EPERM) && a.vendorId == vendorId_)
            denied_[path] = DeniedDevice{path, a.vendorId, a.productId};
        return nullptr;
    }
    denied_.erase(path);
    return std::make_unique<HidApiHandle>(device, listed->second, path, held_);
}

std::vector<DeniedDevice> HidApiHost::DeniedDevices() const
{
    std::vector<DeniedDevice> out;
    for (const auto& [path, device] : denied_)
        out.push_back(device);
    return out;
}

} // namespace qozel
