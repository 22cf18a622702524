// The application as qozel-config builds it on the machine's hosts, ending
// at the first expose of its window: the process bench times it and reads
// its peak memory. Built with QOZEL_BARE_PROBE, a plain QWidget takes the
// main window's place, built and linked the same way, as the reference.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#ifndef QOZEL_BARE_PROBE
#include "platform/Clock.h"
#include "platform/MachineHosts.h"
#include "ui/AppRoot.h"
#endif

namespace {

// Ends the event loop at the first expose of a top-level window.
class FirstShow final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && watched->isWindowType() && !done_) {
            done_ = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool done_ = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    FirstShow firstShow;
    app.installEventFilter(&firstShow);
#ifdef QOZEL_BARE_PROBE
    QWidget window;
    window.resize(1044, 998);
    window.show();
    return app.exec();
#else
    qozel::MachineUsbHost usb;
    qozel::MachineHidHost hid;
    qozel::SystemClock clock;
    qozel::AppRoot root(usb, hid, clock);
    return app.exec();
#endif
}
