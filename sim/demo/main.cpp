// qozel-config-demo: the program's main window on a simulated installation,
// beside the control window "Wirtualna instalacja" that plays it. Time is
// real; nothing is written to disk unless a trace is asked for.
#include "DemoInstallation.h"
#include "DemoWindow.h"
#include "SimClock.h"

#include "platform/Clock.h"
#include "ui/AppRoot.h"
#include "ui/CommandLine.h"

#include <QApplication>

#include <memory>
#include <string>

namespace {

const std::string kUsage =
    std::string("Demonstracja programu na wirtualnej instalacji kontroli dostępu QoZEL: Arkan,\n"
                "programator QO-G30, czytnik klawiaturowy QO-K31 i ZEL Manager z czytnikami,\n"
                "sterowanymi z okna \"Wirtualna instalacja\". Żadne urządzenie USB nie jest używane.\n"
                "\n"
                "Użycie: qozel-config-demo [--help] [--version] [--trace PLIK]\n") +
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

    // The simulated devices wait out their time-outs in real time, as the
    // program's clock runs in it.
    qozel::sim::RealTimeSimClock deviceTime;
    qozel::sim::DemoInstallation installation(deviceTime);
    qozel::AppRoot root(installation.usb, installation.hid, clock);
    qozel::sim::DemoWindow controls(installation, root.Window());
    controls.show();
    controls.PlaceBesideMainWindow();
    app.exec();
    return 0;
}
