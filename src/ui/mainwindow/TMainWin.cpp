#include "ui/mainwindow/TMainWin.h"

#include "app/PollCycle.h"
#include "ui/AppTitle.h"
#include "ui/QtPrompts.h"
#include "ui/widgets/Utf8.h"
#include "ui/widgets/WindowAccessible.h"
#include "ui/widgets/WindowFont.h"
#include "ui/mainwindow/PagesOnDemand.h"
#include "ui/pages/ReadersPage.h"
#include "ui/pages/CardsPage.h"
#include "ui/upgrade/UpgradeBoxOnDemand.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace qozel {
namespace {

constexpr Qt::WindowFlags kMainWindowFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                             Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
constexpr int kFontPoints = 8;

struct Sheet {
    const char* objectName;
    const char* caption;
};

// In the order of WindowView::Tab.
constexpr Sheet kSheets[] = {
    {"RdrTabSheet", "Czytniki"},
    {"TagTabSheet", "Karty"},
    {"KeyTabSheet", "Klucz Instalacji"},
    {"OdzTabSheet", "Odzyskiwanie"},
    {"DzTabSheet", "Dziennik"},
};

} // namespace

TMainWin::TMainWin(const DeviceHosts& hosts) : QWidget(nullptr, kMainWindowFlags)
{
    ExposeAsWindow(*this);
    setObjectName(QStringLiteral("MainWin"));
    setWindowTitle(QString::fromUtf8(kAppTitle));
    setFont(WindowFont(kFontPoints));
    scroll_ = BuildContent();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(QMargins());
    layout->addWidget(scroll_);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("ZelTimer"));
    timer_->setInterval(static_cast<int>(PollCycle::kTickMs));
    connect(timer_, &QTimer::timeout, this, &TMainWin::ZelTimerTimer);

    // The dialogs and the upgrade box are the window's own; the cycle shows them.
    prompts_ = std::make_unique<QtPrompts>(this, this);
    upgradeBox_ = std::make_unique<UpgradeBoxOnDemand>(*this, *this);
    cycle_ = std::make_unique<PollCycle>(hosts.usb, hosts.hid, hosts.clock, *prompts_, *this, *upgradeBox_);

    AttachPages();
    connect(tabs_, &QTabWidget::currentChanged, this, &TMainWin::OnTabShown);

    FitToContent();
    // Last: the first tick is the first contact with a device.
    timer_->start();
    // The other pages as soon as the window is up, so that it takes their
    // size at once rather than when a tab is first clicked.
    QTimer::singleShot(0, this, &TMainWin::BuildRemainingPages);
}

void TMainWin::BuildRemainingPages()
{
    // A window on its way to the screen shows the Readers tab first: the
    // pages not in sight follow its first frame (eventFilter).
    if (isVisible() && !windowHandle()->isExposed()) {
        windowHandle()->installEventFilter(this);
        return;
    }
    bool built = false;
    for (const Tab tab : {Tab::Cards, Tab::Key, Tab::Recovery, Tab::Log})
        built = pages_->Build(tab) || built;
    if (built) {
        DrawChanges();
        // Queued, so that the layouts have taken the new pages in.
        QMetaObject::invokeMethod(this, &TMainWin::FitToContent, Qt::QueuedConnection);
    }
}

bool TMainWin::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        watched->removeEventFilter(this);
        // Queued: the frame is drawn first.
        QTimer::singleShot(0, this, &TMainWin::BuildRemainingPages);
    }
    return QWidget::eventFilter(watched, event);
}

TMainWin::~TMainWin()
{
    gate_.Close();
    timer_->stop();
    // The tabs go first, while the cycle they draw from still exists.
    delete scroll_;
}

QScrollArea* TMainWin::BuildContent()
{
    auto* content = new QWidget;
    tabs_ = new QTabWidget(content);
    tabs_->setObjectName(QStringLiteral("AllSheetPgCtrl"));
    for (const Sheet& sheet : kSheets) {
        auto* page = new QWidget;
        page->setObjectName(QLatin1String(sheet.objectName));
        tabs_->addTab(page, FromUtf8(sheet.caption));
    }
    // The hint below the tabs, shown only while a device may not be opened;
    // its commands can be selected and copied.
    permissionHint_ = new QLabel(content);
    permissionHint_->setObjectName(QStringLiteral("PermissionHintLbl"));
    permissionHint_->setWordWrap(true);
    permissionHint_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    permissionHint_->hide();
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(tabs_);
    layout->addWidget(permissionHint_);
    BuildHiddenControls(*content);

    // A screen smaller than the window scrolls the content.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    return scroll;
}

void TMainWin::BuildHiddenControls(QWidget& content)
{
    // A developer's switch of the poll cycle and one trace pane per device
    // kind; they are never shown.
    auto* startStop = new QPushButton(QStringLiteral("Start/Stop"), &content);
    startStop->setObjectName(QStringLiteral("StartStopBtn"));
    startStop->hide();
    connect(startStop, &QPushButton::clicked, this, &TMainWin::StartStopBtnClick);
    for (const char* name : {"TraceArWin", "TracePrgrWin", "TraceManWin", "TraceKbRdWin"}) {
        auto* trace = new QPlainTextEdit(&content);
        trace->setObjectName(QLatin1String(name));
        trace->setReadOnly(true);
        trace->hide();
    }
}

void TMainWin::AttachPages()
{
    QWidget* readersSheet = tabs_->widget(static_cast<int>(Tab::Readers));
    readersPage_ = new ReadersPage(*cycle_, gate_, readersSheet);
    auto* sheetLayout = new QVBoxLayout(readersSheet);
    sheetLayout->setContentsMargins(QMargins());
    sheetLayout->addWidget(readersPage_);
    // The other pages carry the sheets' names themselves and take their
    // places when first shown.
    pages_ = std::make_unique<PagesOnDemand>(*tabs_, *cycle_, gate_);
}

void TMainWin::DrawChanges()
{
    readersPage_->DrawChanges(ShownTab() == Tab::Readers);
    pages_->Sync();
}

QSize TMainWin::ContentSize() const
{
    // The design size, or more when the fonts need it.
    return scroll_->widget()->sizeHint().expandedTo(kDesignSize);
}

void TMainWin::FitToContent()
{
    // Centred on the screen and no larger than it.
    const QSize size = ContentSize();
    setMaximumSize(size);
    const QRect area = screen()->availableGeometry();
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size.boundedTo(area.size()), area));
}

void TMainWin::FitSizeInPlace()
{
    const QSize size = ContentSize();
    setMaximumSize(size);
    resize(size.boundedTo(screen()->availableGeometry().size()));
}

void TMainWin::changeEvent(QEvent* event)
{
    // Queued: the children take the new font after the window is told of it.
    if (event->type() == QEvent::FontChange && scroll_ != nullptr)
        QMetaObject::invokeMethod(this, &TMainWin::FitToContent, Qt::QueuedConnection);
    QWidget::changeEvent(event);
}

void TMainWin::closeEvent(QCloseEvent* event)
{
    // Once: the closed gate drops every later call into the core.
    gate_.Run([this] { cycle_->Close(); });
    gate_.Close();
    timer_->stop();
    QWidget::closeEvent(event);
}

void TMainWin::StartStopBtnClick()
{
    gate_.Run([this] { cycle_->ToggleRunning(); });
}

void TMainWin::ZelTimerTimer()
{
    gate_.Run([this] { cycle_->Tick(); });
    DrawChanges();
}

void TMainWin::OnTabShown(int index)
{
    const auto tab = static_cast<Tab>(index);
    // A page built now may need more room than the pages before it.
    if (pages_->Build(tab))
        FitSizeInPlace();
    gate_.Run([this, tab] {
        switch (tab) {
        case Tab::Readers: cycle_->table.RefreshReadersTab(); break;
        case Tab::Cards: cycle_->cardsTab.RefreshCardsTab(); break;
        case Tab::Key: cycle_->keyTab.RefreshKeyTab(); break;
        case Tab::Recovery: cycle_->recoveryTab.RefreshRecoveryTab(); break;
        case Tab::Log: break;
        }
    });
    DrawChanges();
}

WindowView::Tab TMainWin::ShownTab() const
{
    return static_cast<Tab>(tabs_->currentIndex());
}

void TMainWin::SetTimerEnabled(bool enabled)
{
    if (enabled == timer_->isActive())
        return;
    if (enabled)
        timer_->start();
    else
        timer_->stop();
}

void TMainWin::Redraw()
{
    DrawChanges();
    // Painted now, not when the event loop next runs: the core may hold the
    // thread for a while yet.
    QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
}

void TMainWin::AnimateProgress(SuccessBar bar)
{
    pages_->Cards().Animate(bar);
}

void TMainWin::ShowPermissionHint(std::string_view text)
{
    permissionHint_->setText(FromUtf8(text));
    permissionHint_->setVisible(!text.empty());
    // The window grows by the line and shrinks back where it stands; queued,
    // so that the layout has taken the label's new size.
    QMetaObject::invokeMethod(this, &TMainWin::FitSizeInPlace, Qt::QueuedConnection);
}

void TMainWin::Diagnostic(std::string_view text)
{
    qDebug().noquote() << FromUtf8(text);
}

} // namespace qozel
