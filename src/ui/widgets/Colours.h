#pragma once

#include "app/Colour.h"

#include <QColor>

class QPalette;

namespace qozel {

// The core's colours in `palette`: the system's window and window-text
// colours are those of edit fields (Base and Text), in which the cells
// show them; the others are fixed.
QColor ToQColor(Colour colour, const QPalette& palette);

} // namespace qozel
