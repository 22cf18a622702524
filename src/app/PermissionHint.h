#pragma once

#include "platform/DeniedDevice.h"

#include <span>
#include <string>
#include <string_view>

namespace qozel {

// The udev rules file that grants the user at the seat access to the devices.
inline constexpr const char* kUdevRulesName = "60-qozel-config.rules";

// Where the hint tells the user to copy the rules from: the file this build
// generated when it is there, else the one a package installed.
std::string UdevRulesSource();

// The one line shown below the tabs while devices of the family are attached
// that this user may not open: their kinds, the rules file and the two
// commands that install it. Empty when there are none.
std::string PermissionHintText(std::span<const DeniedDevice> usb, std::span<const DeniedDevice> hid,
                               std::string_view rulesSource);

} // namespace qozel
