#pragma once

#include "platform/HidHost.h"

#include <memory>
#include <set>
#include <string>

struct hid_device_;

namespace qozel {

// One HID device opened through hidapi; holds its path while open.
class HidApiHandle final : public HidHandle {
public:
    HidApiHandle(hid_device_* device, HidAttributes attributes, std::string path,
                 std::shared_ptr<std::set<std::string>> held);
    ~HidApiHandle() override;
    HidApiHandle(const HidApiHandle&) = delete;
    HidApiHandle& operator=(const HidApiHandle&) = delete;

    std::optional<HidAttributes> GetAttributes() override;
    bool SetFeature(std::span<const std::uint8_t> report) override;
    bool GetFeature(std::span<std::uint8_t> report) override;

private:
    hid_device_* device_;
    HidAttributes attributes_;
    std::string path_;
    std::shared_ptr<std::set<std::string>> held_;
};

} // namespace qozel
