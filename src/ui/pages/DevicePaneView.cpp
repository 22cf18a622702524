#include "ui/pages/DevicePaneView.h"

#include "app/AppTexts.h"
#include "app/DevicePane.h"
#include "ui/widgets/Colours.h"
#include "ui/widgets/Utf8.h"
#include "ui/widgets/WidgetSync.h"
#include "ui/widgets/PageFonts.h"

#include <QApplication>
#include <QLabel>

#include <utility>

namespace qozel {
namespace {

constexpr int kLinePoints = 12;

void SyncVisible(QWidget& widget, bool visible)
{
    if (widget.isHidden() == visible)
        widget.setVisible(visible);
}

void SyncTextColour(QLabel& label, Colour colour)
{
    SyncColour(label, QPalette::WindowText, ToQColor(colour, QApplication::palette()));
}

} // namespace

DevicePaneView::DevicePaneView(DevicePaneLabels labels) : labels_(std::move(labels))
{
    labels_.line->setFont(MsSansSerifFont(kLinePoints));
    labels_.line->setAlignment(Qt::AlignCenter);
    QLabel* mismatch = labels_.mismatch;
    if (mismatch == nullptr)
        return;
    mismatch->setText(FromUtf8(app_texts::kSignatureMismatch));
    mismatch->setAlignment(Qt::AlignCenter);
    SyncBold(*mismatch, true);
    SyncTextColour(*mismatch, Colour::Red);
    mismatch->hide();
}

void DevicePaneView::Draw(const DevicePane& pane) const
{
    labels_.line->setText(FromUtf8(pane.line));
    SyncTextColour(*labels_.line, pane.lineColour);
    labels_.keys->setText(FromUtf8(pane.keys));
    labels_.signature->setText(FromUtf8(pane.signature));
    SyncTextColour(*labels_.signature, pane.mismatch ? Colour::Red : Colour::WindowText);
    SyncVisible(*labels_.keys, pane.present);
    SyncVisible(*labels_.signature, pane.present);
    labels_.keysCaption->setEnabled(pane.present);
    labels_.signatureCaption->setEnabled(pane.present);
    for (QWidget* widget : labels_.enabledWhenPresent)
        widget->setEnabled(pane.present);
    if (labels_.mismatch != nullptr)
        SyncVisible(*labels_.mismatch, pane.mismatch);
}

} // namespace qozel
