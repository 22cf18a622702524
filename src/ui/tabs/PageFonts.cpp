#include "ui/tabs/PageFonts.h"

#include <QStringList>

namespace qozel {

QFont MsSansSerifFont(int points, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(points);
    font.setBold(bold);
    return font;
}

QFont CourierFont(int points)
{
    QFont font;
    font.setFamilies({QStringLiteral("Courier")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPointSize(points);
    return font;
}

} // namespace qozel
