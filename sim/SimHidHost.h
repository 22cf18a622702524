#pragma once

#include "SimDeviceModel.h"

#include "platform/HidHost.h"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qozel::sim {

struct HidFaults {
    bool refuseSetFeature = false;
    bool refuseGetFeature = false;
    bool refuseAttributes = false;
    bool corruptReplyCrc = false;
    // When set, every Get Feature returns these bytes after the report ID
    // instead of the model's reply frame.
    std::optional<Bytes> rawReply;
};

// A simulated HID device that carries command frames in feature reports:
// Set Feature delivers a request to the model, the next Get Feature of report
// 0x41 returns its reply frame.
class SimHidDevice {
public:
    SimHidDevice(std::shared_ptr<SimDeviceModel> model, HidAttributes attributes);

    HidAttributes attributes;
    HidFaults faults;
    // Listed, but this user may not open it; the host notes it as denied.
    bool deniedToUser = false;
    // Every report received with Set Feature, report ID included.
    std::vector<Bytes> reports;

    SimDeviceModel& model() noexcept { return *model_; }
    bool plugged() const noexcept { return plugged_ && !model_->unplugged(); }

private:
    friend class SimHidHost;
    friend class SimHidHandle;

    bool SetFeature(std::span<const std::uint8_t> report);
    bool GetFeature(std::span<std::uint8_t> report);

    std::shared_ptr<SimDeviceModel> model_;
    Bytes reply_;   // the reply frame waiting for Get Feature
    bool plugged_ = false;
    // The path of the current attachment: a handle opened under an earlier
    // one stays dead after the device is plugged in again, as on a real host.
    std::string path_;
};

class SimHidHost final : public HidHost {
public:
    SimHidHost();
    ~SimHidHost() override;

    std::string Attach(std::shared_ptr<SimHidDevice> device);
    void Detach(const SimHidDevice& device);

    std::optional<std::vector<std::string>> ListInterfaces() override;
    std::unique_ptr<HidHandle> Open(const std::string& path) override;
    std::vector<DeniedDevice> DeniedDevices() const override;

    bool failListing = false;

private:
    std::vector<std::pair<std::string, std::shared_ptr<SimHidDevice>>> devices_;
    std::shared_ptr<std::set<std::string>> held_;
    int nextPath_ = 0;
};

} // namespace qozel::sim
