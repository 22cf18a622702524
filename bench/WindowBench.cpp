// The main window on the simulated installation with nothing changing:
// paint events per timer tick once the window settled. A bare window shown
// alongside in the same run gives the reference (it is never repainted).
// Prints idle_repaints_per_pass=, idle_repaints_bare_per_pass= and
// idle_repaints_log_tab_per_pass= (the Dziennik tab shown).
#include "app/PollCycle.h"
#include "ui/mainwindow/TMainWin.h"

#include "SimInstallation.h"

#include <QApplication>
#include <QEventLoop>
#include <QEvent>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

using namespace qozel;

// Counts the paint events of the widgets inside `window` and of any other widget.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget& window) : window_(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget == &window_ || window_.isAncestorOf(widget))
                ++inWindow;
            else
                ++elsewhere;
        }
        return false;
    }
    long inWindow = 0;
    long elsewhere = 0;

private:
    QWidget& window_;
};

void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Reader rows with a type shown in the table.
int ShownReaders(TMainWin& window)
{
    int shown = 0;
    for (int row = 0; row < ReaderTable::kRows; ++row)
        shown += window.Cycle().table.InUse(row);
    return shown;
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    sim::SimInstallation install;
    install.RunCarriedFirmware();

    TMainWin window{DeviceHosts{install.usb, install.hid, install.clock}};
    window.show();
    QWidget bare;
    bare.resize(400, 300);
    bare.show();

    auto* zelTimer = window.findChild<QTimer*>(QStringLiteral("ZelTimer"));
    long ticks = 0;
    if (zelTimer)
        QObject::connect(zelTimer, &QTimer::timeout, [&] {
            ++ticks;
            // The simulated devices live on a virtual clock: it moves with the ticks.
            install.clock.AdvanceMs(PollCycle::kTickMs);
        });

    PaintCounter window_paints(window);
    PaintCounter bare_paints(bare);
    app.installEventFilter(&window_paints);
    app.installEventFilter(&bare_paints);
    // Settle: the devices are opened and read, the table filled.
    RunFor(4000);
    std::printf("idle_settle_repaints=%ld\n", window_paints.inWindow);
    std::printf("idle_settle_readers_shown=%d\n", ShownReaders(window));
    window_paints.inWindow = 0;
    bare_paints.inWindow = 0;
    const long ticksBefore = ticks;
    RunFor(6000);
    const long measured = ticks - ticksBefore;
    if (measured <= 0) {
        std::printf("idle_repaints_per_pass=n/a\n");
        return 1;
    }
    std::printf("idle_ticks=%ld\n", measured);
    std::printf("idle_repaints_per_pass=%.2f\n", static_cast<double>(window_paints.inWindow) / measured);
    std::printf("idle_repaints_bare_per_pass=%.2f\n", static_cast<double>(bare_paints.inWindow) / measured);

    // The same with the Dziennik tab shown, once it has drawn the log so far.
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("AllSheetPgCtrl"));
    tabs->setCurrentIndex(static_cast<int>(WindowView::Tab::Log));
    RunFor(1000);
    window_paints.inWindow = 0;
    const long logTicksBefore = ticks;
    RunFor(6000);
    std::printf("idle_repaints_log_tab_per_pass=%.2f\n",
                static_cast<double>(window_paints.inWindow) / std::max(ticks - logTicksBefore, 1L));
    return 0;
}
