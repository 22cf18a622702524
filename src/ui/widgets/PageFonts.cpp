#include "ui/widgets/PageFonts.h"

#include <QStringList>

namespace qozel {
namespace {

QFont FamilyFont(const QString& family, QFont::StyleHint fallback, int points)
{
    QFont font;
    font.setFamilies({family});
    font.setStyleHint(fallback);
    font.setPointSize(points);
    return font;
}

} // namespace

QFont MsSansSerifFont(int points, bool bold)
{
    QFont font = FamilyFont(QStringLiteral("MS Sans Serif"), QFont::SansSerif, points);
    font.setBold(bold);
    return font;
}

QFont CourierFont(int points)
{
    QFont font = FamilyFont(QStringLiteral("Courier"), QFont::Monospace, points);
    font.setFixedPitch(true);
    return font;
}

} // namespace qozel
