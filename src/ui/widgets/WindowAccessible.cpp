#include "ui/widgets/WindowAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace qozel {
namespace {

constexpr char kWindowProperty[] = "qozelAccessibleWindow";

// Asked with the object's own class name first, so it answers before Qt's
// plain widget interface does.
QAccessibleInterface* MakeWindow(const QString&, QObject* object)
{
    if (object == nullptr || !object->isWidgetType() || !object->property(kWindowProperty).toBool())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

} // namespace

void ExposeAsWindow(QWidget& window)
{
    static const bool installed = (QAccessible::installFactory(MakeWindow), true);
    Q_UNUSED(installed);
    window.setProperty(kWindowProperty, true);
}

} // namespace qozel
