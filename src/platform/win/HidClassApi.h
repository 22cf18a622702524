#pragma once

// The HID class functions (HidD_*). mingw's hidsdi.h gives them no C linkage
// of its own, so a C++ file must include it through here.
#include "platform/win/UniqueHandle.h"

extern "C" {
#include <hidsdi.h>
}
