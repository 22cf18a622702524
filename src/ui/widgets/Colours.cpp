#include "ui/widgets/Colours.h"

#include <QPalette>

namespace qozel {

QColor ToQColor(Colour colour, const QPalette& palette)
{
    switch (colour) {
    case Colour::Window: return palette.color(QPalette::Base);
    case Colour::WindowText: return palette.color(QPalette::Text);
    case Colour::Red: return QColor(0xFF, 0x00, 0x00);
    case Colour::Lime: return QColor(0x00, 0xFF, 0x00);
    case Colour::Yellow: return QColor(0xFF, 0xFF, 0x00);
    }
    return palette.color(QPalette::Text);
}

} // namespace qozel
