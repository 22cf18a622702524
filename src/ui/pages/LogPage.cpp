#include "ui/pages/LogPage.h"

#include "app/CsvText.h"
#include "app/InstallationReport.h"
#include "app/LogTexts.h"
#include "app/PollCycle.h"
#include "app/WalkSummary.h"
#include "ui/AppTitle.h"
#include "ui/MessageBoxes.h"
#include "ui/widgets/Utf8.h"
#include "ui/log/LogTableModel.h"
#include "ui/log/ReportPdf.h"
#include "ui/log/WalkTableModel.h"
#include "ui/widgets/PageActions.h"

#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QSignalBlocker>
#include <QSysInfo>
#include <QTableView>
#include <QVBoxLayout>

namespace qozel {
namespace {

constexpr const char* kWriteFailed = "Zapis pliku się nie powiódł.";
constexpr const char* kCsvFilter = "CSV (*.csv)";

QPushButton* Button(const char* name, const char* text, QWidget* parent)
{
    auto* button = new QPushButton(FromUtf8(text), parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(FromUtf8(text));
    return button;
}

QComboBox* Combo(const char* name, QLabel* label, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->setAccessibleName(label->text());
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    label->setBuddy(combo);
    return combo;
}

QLabel* Label(const char* name, const char* text, QWidget* parent)
{
    auto* label = new QLabel(FromUtf8(text), parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QTableView* Table(const char* name, const char* accessibleName, QAbstractItemModel* model, QWidget* parent)
{
    auto* view = new QTableView(parent);
    view->setObjectName(QLatin1String(name));
    view->setAccessibleName(FromUtf8(accessibleName));
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    // Rows of one height: a view of 50,000 rows then lays out only those in sight.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->horizontalHeader()->setStretchLastSection(true);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return view;
}

QByteArray Bytes(const std::string& text)
{
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

QString Dated(const char* stem, const char* extension)
{
    return QStringLiteral("%1-%2.%3")
        .arg(QLatin1String(stem), QDate::currentDate().toString(Qt::ISODate), QLatin1String(extension));
}

} // namespace

LogPage::LogPage(PollCycle& cycle, CoreGate& gate, QWidget* parent) : QWidget(parent), cycle_(cycle), gate_(gate)
{
    setObjectName(QStringLiteral("DzTabSheet"));
    logModel_ = new LogTableModel(cycle_.log, this);
    walkModel_ = new WalkTableModel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildLogBox(), 3);
    layout->addWidget(BuildWalkBox(), 2);
    chooseFile_ = [this](const QString& caption, const QString& name, const QString& filter) {
        return QFileDialog::getSaveFileName(this, caption, name, filter);
    };
}

LogPage::~LogPage() = default;

QWidget* LogPage::BuildLogBox()
{
    auto* box = new QGroupBox(FromUtf8(" Dziennik zdarzeń "), this);
    box->setObjectName(QStringLiteral("DzLogGrpBx"));
    auto* readerLabel = Label("DzReaderLbl", "Czytnik:", box);
    readerFilter_ = Combo("DzReaderCb", readerLabel, box);
    readerFilter_->addItem(FromUtf8("Wszystkie czytniki i urządzenia"));
    auto* kindLabel = Label("DzKindLbl", "Rodzaj:", box);
    kindFilter_ = Combo("DzKindCb", kindLabel, box);
    for (const char* name : LogFilter::kKindNames)
        kindFilter_->addItem(FromUtf8(name));
    auto* clear = Button("DzClearBtn", "Wyczyść dziennik", box);
    auto* exportLog = Button("DzLogCsvBtn", "Eksport dziennika (CSV)…", box);
    logView_ = Table("DzLogView", "Dziennik zdarzeń", logModel_, box);

    auto* filters = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{readerLabel, readerFilter_, kindLabel, kindFilter_})
        filters->addWidget(w);
    filters->addStretch();
    filters->addWidget(clear);
    filters->addWidget(exportLog);
    auto* layout = new QVBoxLayout(box);
    layout->addLayout(filters);
    layout->addWidget(logView_);

    connect(readerFilter_, &QComboBox::currentIndexChanged, this, &LogPage::ApplyFilter);
    connect(kindFilter_, &QComboBox::currentIndexChanged, this, &LogPage::ApplyFilter);
    connect(clear, &QPushButton::clicked, this, &LogPage::ClearLog);
    connect(exportLog, &QPushButton::clicked, this, &LogPage::ExportLog);
    return box;
}

QWidget* LogPage::BuildWalkBox()
{
    auto* box = new QGroupBox(FromUtf8(" Test obchodu "), this);
    box->setObjectName(QStringLiteral("DzWalkGrpBx"));
    walkState_ = Label("DzWalkLbl", "", box);
    // Its numbers change as the test goes on: it wraps rather than widen the window.
    walkState_->setWordWrap(true);
    auto* start = Button("DzWalkStartBtn", "Rozpocznij test obchodu", box);
    auto* exportWalk = Button("DzWalkCsvBtn", "Eksport podsumowania (CSV)…", box);
    auto* report = Button("DzReportBtn", "Raport instalacji (PDF)…", box);
    walkView_ = Table("DzWalkView", "Podsumowanie testu obchodu", walkModel_, box);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(start);
    buttons->addWidget(exportWalk);
    buttons->addWidget(report);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(walkState_);
    layout->addLayout(buttons);
    layout->addWidget(walkView_);

    connect(start, &QPushButton::clicked, this, &LogPage::StartWalkTest);
    connect(exportWalk, &QPushButton::clicked, this, &LogPage::ExportWalk);
    connect(report, &QPushButton::clicked, this, &LogPage::ExportReport);
    return box;
}

void LogPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FitTables();
    Sync();
}

void LogPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        FitTables();
    QWidget::changeEvent(event);
}

void LogPage::FitTables()
{
    // The log's columns from the widest text they can hold, not from their
    // rows: measuring 50,000 rows would take longer than drawing them.
    const QFontMetrics metrics(logView_->font());
    const int padding = 2 * metrics.averageCharWidth();
    const int rowHeight = metrics.height() + metrics.descent() + 2;
    QHeaderView* columns = logView_->horizontalHeader();
    columns->resizeSection(0, metrics.horizontalAdvance(QStringLiteral("8888-88-88 88:88:88.888")) + padding);
    columns->resizeSection(1, metrics.horizontalAdvance(FromUtf8(ReaderLabel(31, 0xFFFFFFFF, 126))) + padding);
    logView_->verticalHeader()->setDefaultSectionSize(rowHeight);
    walkView_->verticalHeader()->setDefaultSectionSize(rowHeight);
    // The summary has at most 32 rows: its columns fit their contents.
    walkView_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    walkView_->horizontalHeader()->setStretchLastSection(true);
}

void LogPage::Sync()
{
    // Hidden, it does nothing: the log is taken in when the tab is shown.
    if (!isVisible())
        return;
    SyncReaderFilter();
    logModel_->Sync();
    walkModel_->SetRows(WalkSummary(cycle_.log, ListedReaders(cycle_.manager)));
    const auto& rows = walkModel_->Rows();
    const auto silent = std::count_if(rows.begin(), rows.end(), [](const WalkRow& row) { return row.noCard; });
    const QString state = FromUtf8("Rozpoczęty: " + LocalSecondsText(cycle_.log.Walk().StartUtcMs(), cycle_.log.clock()) +
                                   "; czytników bez odczytanej karty: " + std::to_string(silent) + " z " +
                                   std::to_string(rows.size()));
    if (walkState_->text() != state) {
        walkState_->setText(state);
        walkState_->setAccessibleName(state);
    }
}

void LogPage::SyncReaderFilter()
{
    const ZelManager& manager = cycle_.manager;
    std::vector<std::uint32_t> ids;
    for (int i = 0; manager.IsOpen() && i < manager.readerCount; ++i)
        ids.push_back(manager.readers[static_cast<std::size_t>(i)].readerId());
    if (ids == filterIds_)
        return;
    // The reader chosen stays chosen while it is listed.
    const std::uint32_t chosen = readerFilter_->currentIndex() > 0
                                     ? filterIds_[static_cast<std::size_t>(readerFilter_->currentIndex() - 1)]
                                     : 0;
    const QSignalBlocker quiet(readerFilter_);
    while (readerFilter_->count() > 1)
        readerFilter_->removeItem(1);
    int current = 0;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const ReaderRecord& reader = manager.readers[i];
        readerFilter_->addItem(FromUtf8(ReaderLabel(static_cast<int>(i), reader.readerId(), reader.address())));
        if (ids[i] == chosen)
            current = static_cast<int>(i) + 1;
    }
    filterIds_ = std::move(ids);
    readerFilter_->setCurrentIndex(current);
    if (chosen != 0 && current == 0)
        ApplyFilter();
}

void LogPage::ApplyFilter()
{
    LogFilter filter;
    const int reader = readerFilter_->currentIndex();
    filter.readerId = reader > 0 ? filterIds_[static_cast<std::size_t>(reader - 1)] : 0;
    filter.kind = static_cast<LogFilter::Kind>(std::max(kindFilter_->currentIndex(), 0));
    logModel_->SetFilter(filter);
}

void LogPage::StartWalkTest()
{
    ActAndSync(*this, gate_, [this] { cycle_.log.StartWalkTest(); });
}

void LogPage::ClearLog()
{
    ActAndSync(*this, gate_, [this] { cycle_.log.Clear(); });
}

void LogPage::Save(const QString& caption, const QString& name, const QString& filter,
                   const std::function<QByteArray()>& make)
{
    const QString path = chooseFile_(caption, name, filter);
    if (path.isEmpty())
        return;
    QByteArray bytes;
    // The file is made from the core's data; nothing while another call runs.
    if (!gate_.Run([&] { bytes = make(); }))
        return;
    QSaveFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        ShowErrorMsg(this, kWriteFailed);
    Sync();
}

void LogPage::ExportLog()
{
    Save(FromUtf8("Eksport dziennika"), Dated("dziennik", "csv"), QLatin1String(kCsvFilter), [this] {
        logModel_->Sync();
        return Bytes(LogCsv(cycle_.log, logModel_->View()));
    });
}

void LogPage::ExportWalk()
{
    Save(FromUtf8("Eksport podsumowania testu obchodu"), Dated("test-obchodu", "csv"), QLatin1String(kCsvFilter),
         [this] { return Bytes(WalkCsv(WalkSummary(cycle_.log, ListedReaders(cycle_.manager)))); });
}

void LogPage::ExportReport()
{
    Save(FromUtf8("Raport instalacji"), Dated("raport-instalacji", "pdf"), QStringLiteral("PDF (*.pdf)"), [this] {
        const ReportHeader header{kAppTitle, QSysInfo::machineHostName().toStdString()};
        const InstallationReport report = MakeInstallationReport(cycle_, header);
        // Under a second for a full installation; the cursor tells of the wait all the same.
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QByteArray pdf = ReportPdf(report);
        QGuiApplication::restoreOverrideCursor();
        return pdf;
    });
}

} // namespace qozel
