#include "app/PermissionHint.h"

#include "app/AppTexts.h"
#include "devices/DevInfo.h"
#include "link/QoHID.h"

#include <cstdio>
#include <filesystem>

namespace qozel {

std::string UdevRulesSource()
{
    for (const char* path : {QOZEL_UDEV_RULES_BUILT, QOZEL_UDEV_RULES_INSTALLED}) {
        std::error_code error;
        if (std::filesystem::exists(path, error))
            return path;
    }
    return kUdevRulesName;
}

std::string PermissionHintText(std::span<const DeniedDevice> usb, std::span<const DeniedDevice> hid,
                               std::string_view rulesSource)
{
    if (usb.empty() && hid.empty())
        return {};
    std::string kinds;
    auto add = [&](std::string_view kind) {
        if (kinds.find(kind) != std::string::npos)
            return;
        kinds += kinds.empty() ? "" : ", ";
        kinds += kind;
    };
    // The USB service devices are told apart by their interfaces, which a
    // device this user may not open does not show: only the ids are known.
    auto addIds = [&](const char* bus, const DeniedDevice& device) {
        char ids[40];
        std::snprintf(ids, sizeof ids, app_texts::kDeviceIdsFormat, bus, device.vendorId, device.productId);
        add(ids);
    };
    for (const DeniedDevice& device : usb)
        addIds("USB", device);
    for (const DeniedDevice& device : hid) {
        if (device.productId == KbRdProductId)
            add(kKbReaderTitle);
        else
            addIds("HID", device);
    }
    return app_texts::kNoPermission + kinds + app_texts::kInstallRules + kUdevRulesName +
           app_texts::kCopyRulesCommand + std::string(rulesSource) + app_texts::kTriggerCommand;
}

} // namespace qozel
