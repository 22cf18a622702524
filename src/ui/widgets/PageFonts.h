#pragma once

#include <QFont>

namespace qozel {

// The fonts the tab pages name for single controls, each with a fallback of
// its kind where the family is missing.
QFont MsSansSerifFont(int points, bool bold = false);
QFont CourierFont(int points);

} // namespace qozel
