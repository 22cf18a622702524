#pragma once

// The USB and HID hosts of the operating system the program is built for;
// link the target qozel_machine_hosts with it.
#ifdef _WIN32
#include "platform/win/WinHidHost.h"
#include "platform/win/WinUsbHost.h"

namespace qozel {
using MachineUsbHost = WinUsbHost;
using MachineHidHost = WinHidHost;
} // namespace qozel
#else
#include "platform/hid/HidApiHost.h"
#include "platform/usb/LibUsbHost.h"

namespace qozel {
using MachineUsbHost = LibUsbHost;
using MachineHidHost = HidApiHost;
} // namespace qozel
#endif
