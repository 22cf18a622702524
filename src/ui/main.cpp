// qozel-config: the application on the machine's USB and HID devices.
#include "platform/Clock.h"
#include "platform/MachineHosts.h"
#include "ui/AppRoot.h"
#include "ui/CommandLine.h"
#include "ui/MessageBoxes.h"

#include <QApplication>

#include <exception>
#include <memory>
#include <string>

namespace {

const std::string kUsage = std::string("Konfiguracja instalacji kontroli dostępu QoZEL przez USB.\n"
                                       "\n"
                                       "Użycie: qozel-config [--help] [--version] [--trace PLIK]\n") +
                           qozel::kOptionsUsage;

} // namespace

int main(int argc, char** argv)
{
    qozel::SystemClock clock;
    // Before the window: its device objects take their trace sinks when built.
    std::unique_ptr<qozel::SupportTrace> trace;
    if (const auto exitCode = qozel::TakeCommandLine(argc, argv, kUsage, clock, trace))
        return *exitCode;
    QApplication app(argc, argv);
    qozel::AppRoot::NameApplication();
    // Whatever ends the program early is shown; the program still ends normally.
    try {
        qozel::MachineUsbHost usb;
        qozel::MachineHidHost hid;
        qozel::AppRoot root(usb, hid, clock);
        app.exec();
    } catch (const std::exception& e) {
        qozel::ShowErrorMsg(nullptr, e.what());
    } catch (...) {
        qozel::ShowErrorMsg(nullptr, "Nieoczekiwany błąd programu.");
    }
    return 0;
}
