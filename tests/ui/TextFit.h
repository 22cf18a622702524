#pragma once

#include <QString>

class QWidget;

namespace qozel::test {

QString Text(const char* utf8);
// The fixed text a label, button or group box (its title) shows.
QString ShownText(const QWidget& widget);

// A desktop with larger fonts: every font set on `root` or its children
// grows by `scale`, while every size given in pixels stays.
void ScaleFonts(QWidget& root, int scale);

// The width a label, button, check box, radio button, group box (its title)
// or combo box (its edit field) leaves its text after layout.
int TextRoom(const QWidget& widget);

} // namespace qozel::test
