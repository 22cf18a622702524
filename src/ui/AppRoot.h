#pragma once

#include "ui/mainwindow/TMainWin.h"

namespace qozel {

// The application on the hosts given: the main window with its dialogs,
// upgrade box and poll cycle, shown. The program builds it on the real
// hosts; a demo can build it on simulated ones.
class AppRoot {
public:
    AppRoot(UsbHost& usb, HidHost& hid, Clock& clock);

    // Names the application once it exists: captions are the windows' own,
    // with no program name appended, and the desktop matches the windows to
    // the installed desktop entry and its icon.
    static void NameApplication();

    TMainWin& Window() noexcept { return window_; }

private:
    TMainWin window_;
};

} // namespace qozel
