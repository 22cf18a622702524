#include "ui/AppRoot.h"

#include <QGuiApplication>

namespace qozel {

AppRoot::AppRoot(UsbHost& usb, HidHost& hid, Clock& clock) : window_(DeviceHosts{usb, hid, clock})
{
    window_.show();
}

void AppRoot::NameApplication()
{
    QGuiApplication::setApplicationDisplayName(QString());
    QGuiApplication::setDesktopFileName(QStringLiteral("org.qozel.Config"));
}

} // namespace qozel
