#include "ui/AppRoot.h"

namespace qozel {

AppRoot::AppRoot(UsbHost& usb, HidHost& hid, Clock& clock) : window_(DeviceHosts{usb, hid, clock})
{
    window_.show();
}

} // namespace qozel
