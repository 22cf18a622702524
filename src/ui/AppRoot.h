#pragma once

#include "ui/mainwindow/TMainWin.h"

namespace qozel {

// The application on the hosts given: the main window with its dialogs,
// upgrade box and poll cycle, shown. The program builds it on the real
// hosts; a demo can build it on simulated ones.
class AppRoot {
public:
    AppRoot(UsbHost& usb, HidHost& hid, Clock& clock);

    TMainWin& Window() noexcept { return window_; }

private:
    TMainWin window_;
};

} // namespace qozel
