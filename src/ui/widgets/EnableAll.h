#pragma once

#include <QWidget>

#include <initializer_list>

namespace qozel {

// Enables or disables the widgets that share one condition.
inline void EnableAll(std::initializer_list<QWidget*> widgets, bool enabled)
{
    for (QWidget* widget : widgets)
        widget->setEnabled(enabled);
}

} // namespace qozel
