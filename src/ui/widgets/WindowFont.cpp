#include "ui/widgets/WindowFont.h"

#include <QStringList>

namespace qozel {

QFont WindowFont(int points)
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("MS Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(points);
    return font;
}

} // namespace qozel
