#pragma once

#include "platform/HidHost.h"
#include "platform/win/FamilyDevicePaths.h"
#include "platform/win/UniqueHandle.h"

#include <memory>

namespace qozel {

// One HID device opened through the HID class driver; holds its path while open.
class WinHidHandle final : public HidHandle {
public:
    WinHidHandle(UniqueHandle file, std::unique_ptr<FamilyDevicePaths::Hold> hold);

    std::optional<HidAttributes> GetAttributes() override;
    bool SetFeature(std::span<const std::uint8_t> report) override;
    bool GetFeature(std::span<std::uint8_t> report) override;

private:
    UniqueHandle file_;
    std::unique_ptr<FamilyDevicePaths::Hold> hold_;
};

} // namespace qozel
