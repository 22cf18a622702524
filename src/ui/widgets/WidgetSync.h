#pragma once

#include <QPalette>

class QColor;
class QLineEdit;
class QString;
class QWidget;

namespace qozel {

// Setters that touch a widget only when the value differs from what it
// shows, so that an unchanged model costs no repaint. (Labels, check boxes,
// combo boxes and setEnabled already skip equal values themselves.)
void SyncText(QLineEdit& edit, const QString& text);
void SyncColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour);
// Bold or not, the rest of the font inherited from the parent.
void SyncBold(QWidget& widget, bool bold);

} // namespace qozel
