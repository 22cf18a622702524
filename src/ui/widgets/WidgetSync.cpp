#include "ui/widgets/WidgetSync.h"

#include <QLineEdit>

namespace qozel {

void SyncText(QLineEdit& edit, const QString& text)
{
    if (edit.text() != text)
        edit.setText(text);
}

void SyncColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour)
{
    if (widget.palette().color(role) == colour)
        return;
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    widget.setPalette(palette);
}

void SyncBold(QWidget& widget, bool bold)
{
    if (widget.font().bold() == bold)
        return;
    QFont weightOnly;
    weightOnly.setBold(bold);
    widget.setFont(weightOnly);
}

} // namespace qozel
