// qozel-config: the application on the machine's USB and HID devices.
#include "platform/Clock.h"
#include "platform/hid/HidApiHost.h"
#include "platform/usb/LibUsbHost.h"
#include "ui/AppRoot.h"
#include "ui/AppTitle.h"
#include "ui/MessageBoxes.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

constexpr const char* kUsage =
    "Konfiguracja instalacji kontroli dostępu QoZEL przez USB.\n"
    "\n"
    "Użycie: qozel-config [--help] [--version]\n"
    "  --help     ten opis\n"
    "  --version  wersja programu\n";

// Answers --help and --version without opening a window; true when it did.
bool AnsweredInfoOption(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s\n", qozel::kAppTitle);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("%s\n\n%s", qozel::kAppTitle, kUsage);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (AnsweredInfoOption(argc, argv))
        return 0;
    QApplication app(argc, argv);
    // Captions are the windows' own, with no program name appended.
    QApplication::setApplicationDisplayName(QString());
    // Whatever ends the program early is shown; the program still ends normally.
    try {
        qozel::LibUsbHost usb;
        qozel::HidApiHost hid;
        qozel::SystemClock clock;
        qozel::AppRoot root(usb, hid, clock);
        app.exec();
    } catch (const std::exception& e) {
        qozel::ShowErrorMsg(nullptr, e.what());
    } catch (...) {
        qozel::ShowErrorMsg(nullptr, "Nieoczekiwany błąd programu.");
    }
    return 0;
}
