// Renders the demo's windows to PNG files for the README: each tab of the
// main window with the installation present, a reader selected and a card's
// data shown, the Dziennik tab during a walk test, and the control window;
// given a second path, writes the installation report there as PDF. Runs
// offscreen on a virtual clock, so the pictures are the same on every run
// with the same fonts.
#include "DemoInstallation.h"
#include "DemoWindow.h"
#include "VirtualClock.h"

#include "app/InstallationReport.h"
#include "app/PollCycle.h"
#include "ui/AppRoot.h"
#include "ui/AppTitle.h"
#include "ui/log/ReportPdf.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabWidget>

#include <cstdio>

namespace {

// Saves what `widget` shows now under `name` in `directory`; false on failure.
bool Save(QWidget& widget, const QDir& directory, const char* name)
{
    const QString path = directory.filePath(QLatin1String(name));
    if (widget.grab().save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// A walk test under way: the installer went to the first two readers with
// a card, a PIN and the tamper switch; the third only took a PIN.
template <class Passes>
void WalkTest(qozel::sim::DemoInstallation& installation, qozel::PollCycle& cycle, Passes&& passes)
{
    cycle.log.StartWalkTest();
    for (std::size_t reader = 0; reader < 2; ++reader) {
        passes(20);
        installation.PresentCard(reader, 0);
        passes(8);
        installation.TypePin(reader, "4711");
        passes(12);
        installation.SetInputs(reader, {true, false, false});
        passes(4);
        installation.SetInputs(reader, {false, false, false});
    }
    passes(16);
    installation.TypePin(2, "12");
    passes(2);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s DIRECTORY [REPORT.pdf]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    qozel::AppRoot::NameApplication();
    const QDir directory(QString::fromLocal8Bit(argv[1]));

    qozel::sim::VirtualClock clock;
    qozel::sim::DemoInstallation installation(clock);
    qozel::AppRoot root(installation.usb, installation.hid, clock);
    qozel::TMainWin& window = root.Window();
    qozel::sim::DemoWindow controls(installation, window);
    controls.show();
    // The pages built once the window is up, and the window refitted to them.
    for (int round = 0; round < 3; ++round)
        QApplication::processEvents();
    // The whole window, however small the offscreen screen is.
    window.resize(window.maximumSize());

    // The devices found, a card at the second bus entry, its row selected.
    auto passes = [&](int n) {
        for (int i = 0; i < n; ++i) {
            window.Cycle().Tick();
            clock.AdvanceMs(qozel::PollCycle::kTickMs);
        }
    };
    passes(4);
    installation.PresentCard(1, 0);
    passes(1);
    window.Cycle().pane.RdTabEditClick(1);
    controls.Sync();

    const char* files[] = {"screenshot-readers.png", "screenshot-cards.png", "screenshot-key.png",
                           "screenshot-recovery.png", "screenshot-log.png"};
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("AllSheetPgCtrl"));
    bool saved = tabs != nullptr && tabs->count() == static_cast<int>(std::size(files));
    for (int tab = 0; saved && tab < tabs->count(); ++tab) {
        if (tab == static_cast<int>(qozel::WindowView::Tab::Log))
            WalkTest(installation, window.Cycle(), passes);
        tabs->setCurrentIndex(tab);
        window.Redraw();
        QApplication::processEvents();
        saved = Save(window, directory, files[tab]);
    }
    if (saved && argc == 3) {
        QFile report(QString::fromLocal8Bit(argv[2]));
        const QByteArray pdf =
            qozel::ReportPdf(qozel::MakeInstallationReport(window.Cycle(), {qozel::kAppTitle, "demo"}));
        saved = report.open(QIODevice::WriteOnly) && report.write(pdf) == pdf.size();
    }
    return saved && Save(controls, directory, "screenshot-control.png") ? 0 : 1;
}
