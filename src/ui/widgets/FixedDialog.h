#pragma once

#include <QLayout>
#include <QSize>
#include <QWidget>

namespace qozel {

// The frame of the program's fixed-size dialogs: a caption with the close box
// only, no minimise or maximise.
inline constexpr Qt::WindowFlags kFixedDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

// Fixes `window` at the size its layout needs for the texts and fonts it holds
// now, never below its design size. Called again after texts are set, so that a
// longer text widens the window instead of being clipped.
inline void FitFixedSize(QWidget& window, QSize designSize)
{
    // A hidden window's nested layouts keep the sizes of their old texts
    // until the layout is activated.
    if (QLayout* layout = window.layout())
        layout->activate();
    window.setFixedSize(window.sizeHint().expandedTo(designSize));
}

} // namespace qozel
