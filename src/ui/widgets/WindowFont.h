#pragma once

#include <QFont>

namespace qozel {

// The font the windows are designed for: Tahoma, else MS Sans Serif, else
// the system's sans-serif, at `points`.
QFont WindowFont(int points);

} // namespace qozel
