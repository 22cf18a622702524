#pragma once

#include <string_view>

class QWidget;

namespace qozel {

// Modal message boxes with the kind's icon and title, the UTF-8 text with its
// line breaks, and a single OK button, centred on `parent`.
//
// Each returns true only when OK closed the box. Closing it through the
// window's close box or with Escape returns false: a caller may rely on that
// to abandon an operation the user did not confirm.
bool ShowErrorMsg(QWidget* parent, std::string_view text);
bool ShowInfoMsg(QWidget* parent, std::string_view text);
bool ShowWarningMsg(QWidget* parent, std::string_view text);

} // namespace qozel
