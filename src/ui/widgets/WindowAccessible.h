#pragma once

class QWidget;

namespace qozel {

// Makes a top-level plain widget a window (frame) to assistive technology,
// as a main window is, instead of a panel. Call before anything asks for the
// widget's accessible interface.
void ExposeAsWindow(QWidget& window);

} // namespace qozel
