#include "SimHidHost.h"

#include <algorithm>

namespace qozel::sim {

SimHidDevice::SimHidDevice(std::shared_ptr<SimDeviceModel> model, HidAttributes attrs)
    : attributes(attrs), model_(std::move(model))
{
}

bool SimHidDevice::SetFeature(std::span<const std::uint8_t> report)
{
    if (!plugged() || faults.refuseSetFeature || report.empty())
        return false;
    // Report IDs 0x41..0x49 with their fixed lengths 64k + 63.
    const int k = report[0] - 0x41;
    if (k < 0 || k > 8 || report.size() != static_cast<std::size_t>(64 * k + 63))
        return false;
    reports.emplace_back(report.begin(), report.end());
    reply_.clear();
    const std::size_t length = report[1] | (report[2] << 8);
    if (length < 5 || length > report.size() - 1)
        return true; // accepted as a report, but no frame in it
    const auto frame = ParseFrame(report.subspan(1, length));
    if (!frame)
        return true;
    if (const auto payload = model_->Process(frame->code, frame->payload)) {
        reply_ = MakeFrame(static_cast<std::uint8_t>(frame->code | 0x80), *payload);
        if (faults.corruptReplyCrc)
            reply_.back() ^= 0x01;
    }
    return true;
}

bool SimHidDevice::GetFeature(std::span<std::uint8_t> report)
{
    if (!plugged() || faults.refuseGetFeature || report.empty() || report[0] != 0x41)
        return false;
    // Without a reply ready the device hands back an empty report.
    std::fill(report.begin() + 1, report.end(), 0);
    if (faults.rawReply)
        reply_ = *faults.rawReply;
    const std::size_t n = std::min(reply_.size(), report.size() - 1);
    std::copy_n(reply_.begin(), n, report.begin() + 1);
    reply_.clear();
    return true;
}

class SimHidHandle final : public HidHandle {
public:
    SimHidHandle(std::shared_ptr<SimHidDevice> device, std::string path, std::shared_ptr<std::set<std::string>> held)
        : device_(std::move(device)), path_(std::move(path)), held_(std::move(held))
    {
        held_->insert(path_);
    }
    ~SimHidHandle() override { held_->erase(path_); }

    std::optional<HidAttributes> GetAttributes() override
    {
        if (!Alive() || device_->faults.refuseAttributes)
            return std::nullopt;
        return device_->attributes;
    }
    bool SetFeature(std::span<const std::uint8_t> report) override { return Alive() && device_->SetFeature(report); }
    bool GetFeature(std::span<std::uint8_t> report) override { return Alive() && device_->GetFeature(report); }

private:
    bool Alive() const { return device_->plugged() && device_->path_ == path_; }

    std::shared_ptr<SimHidDevice> device_;
    std::string path_;
    std::shared_ptr<std::set<std::string>> held_;
};

SimHidHost::SimHidHost() : held_(std::make_shared<std::set<std::string>>()) {}

SimHidHost::~SimHidHost() = default;

std::string SimHidHost::Attach(std::shared_ptr<SimHidDevice> device)
{
    device->plugged_ = true;
    device->model().Replug();
    std::string path = "sim-hid-" + std::to_string(nextPath_++);
    device->path_ = path;
    devices_.emplace_back(path, std::move(device));
    return path;
}

void SimHidHost::Detach(const SimHidDevice& device)
{
    for (auto it = devices_.begin(); it != devices_.end(); ++it) {
        if (it->second.get() == &device) {
            it->second->plugged_ = false;
            devices_.erase(it);
            return;
        }
    }
}

std::optional<std::vector<std::string>> SimHidHost::ListInterfaces()
{
    if (failListing)
        return std::nullopt;
    std::vector<std::string> paths;
    for (const auto& [path, device] : devices_)
        if (device->plugged())
            paths.push_back(path);
    return paths;
}

std::unique_ptr<HidHandle> SimHidHost::Open(const std::string& path)
{
    if (held_->count(path))
        return nullptr;
    for (const auto& [p, device] : devices_)
        if (p == path && device->plugged() && !device->deniedToUser)
            return std::make_unique<SimHidHandle>(device, path, held_);
    return nullptr;
}

std::vector<DeniedDevice> SimHidHost::DeniedDevices() const
{
    std::vector<DeniedDevice> denied;
    for (const auto& [path, device] : devices_)
        if (device->plugged() && device->deniedToUser)
            denied.push_back({path, device->attributes.vendorId, device->attributes.productId});
    return denied;
}

} // namespace qozel::sim
