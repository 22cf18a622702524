#include "ui/upgrade/TUpgradeInfoBx.h"

#include "ui/widgets/FixedDialog.h"
#include "ui/widgets/Utf8.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

namespace qozel {

namespace {

constexpr QSize kDesignSize(410, 182);
constexpr int kRaiseBy = 110;

// Process-wide: a box created later in the run is not raised again.
bool raisedInThisRun = false;

QFont SansFont(const QString& family, int pixels)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const char* objectName, const QString& text, QSize minimum)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumSize(minimum);
    return label;
}

} // namespace

TUpgradeInfoBx::TUpgradeInfoBx(QWidget* mainWindow)
    : QDialog(mainWindow, kFixedDialogFlags | Qt::WindowDoesNotAcceptFocus)
    , upgrDevLbl_(MakeLabel(this, "UpgrDevLbl", QString(), {345, 20}))
    , upgrNewSoft_(MakeLabel(this, "UpgrNewSoft", QString(), {0, 16}))
    , upgrProgrBar_(new QProgressBar(this))
{
    setObjectName(QStringLiteral("Upgrade"));
    setWindowTitle(QStringLiteral("Upgrade"));
    setFont(SansFont(QStringLiteral("Tahoma"), 13));
    // Shown beside the main window without taking its focus or activation.
    setModal(false);
    setAttribute(Qt::WA_ShowWithoutActivating);

    upgrDevLbl_->setFont(SansFont(QStringLiteral("MS Sans Serif"), 16));
    upgrNewSoft_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    upgrProgrBar_->setObjectName(QStringLiteral("UpgrProgrBar"));
    upgrProgrBar_->setTextVisible(false);
    upgrProgrBar_->setMinimumWidth(345);
    upgrProgrBar_->setFixedHeight(17);

    // The caption starts at x = 128 and the new version at x = 256, or
    // further right when the caption needs more room.
    auto* newSoftRow = new QHBoxLayout;
    newSoftRow->setSpacing(12);
    newSoftRow->addSpacing(96);
    newSoftRow->addWidget(MakeLabel(this, "UpgrNewSoftLbl", QStringLiteral("Numer nowej wersji:"), {116, 16}));
    newSoftRow->addWidget(upgrNewSoft_, 1);

    // Margins and spacings put the controls at their design places while the
    // font needs no more room than the design gives it.
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(32, 24, 33, 29);
    layout->setSpacing(0);
    layout->addWidget(upgrDevLbl_);
    layout->addSpacing(20);
    layout->addWidget(MakeLabel(this, "Label1",
                                QStringLiteral("Wgrywanie aktualnej wersj oprogramowania urządzenia."),
                                {345, 16}));
    layout->addSpacing(16);
    layout->addLayout(newSoftRow);
    layout->addSpacing(24);
    layout->addWidget(upgrProgrBar_);
    layout->addStretch();
    setLayout(layout);
    FitFixedSize(*this, kDesignSize);
}

void TUpgradeInfoBx::Show(std::string_view deviceText, std::string_view newSoftText, int maximum)
{
    upgrDevLbl_->setText(FromUtf8(deviceText));
    upgrNewSoft_->setText(FromUtf8(newSoftText));
    upgrProgrBar_->setRange(0, maximum);
    upgrProgrBar_->setValue(0);
    FitFixedSize(*this, kDesignSize);
    // QDialog centres the box on the main window until it has been moved;
    // once raised it keeps its place.
    show();
    RaiseOnce();
    PaintNow();
}

void TUpgradeInfoBx::SetProgress(int position)
{
    upgrProgrBar_->setValue(position);
    PaintNow();
}

void TUpgradeInfoBx::Close()
{
    hide();
}

void TUpgradeInfoBx::RaiseOnce()
{
    if (raisedInThisRun)
        return;
    raisedInThisRun = true;
    move(pos() - QPoint(0, kRaiseBy));
}

// The upgrade sleeps on this thread between its steps, so nothing would be
// drawn before it ends. The window system still has to map and expose the box;
// user input stays queued until the upgrade is over, and the main window's
// poll timer is stopped while it runs.
void TUpgradeInfoBx::PaintNow()
{
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// Only the upgrade closes the box; its caption's close box does nothing.
void TUpgradeInfoBx::closeEvent(QCloseEvent* event)
{
    if (event->spontaneous())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace qozel
