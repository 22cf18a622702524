// The main window on the simulated installation with nothing changing:
// paint events per timer tick once the window settled. A bare window shown
// alongside in the same run gives the reference (it is never repainted).
// Prints idle_repaints_per_pass=, idle_repaints_bare_per_pass= and
// idle_repaints_log_tab_per_pass= (the Dziennik tab shown). Then the CPU
// time to draw one changed row of the reader table, against setting the same
// texts into a row of line edits: row_draw_us=, row_draw_line_edits_us=,
// row_draw_vs_line_edits=.
#include "app/PollCycle.h"
#include "ui/mainwindow/TMainWin.h"
#include "ui/readergrid/ReaderGrid.h"

#include "BenchTiming.h"

#include "SimInstallation.h"

#include <QApplication>
#include <QEventLoop>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace qozel;

// Counts the paint events of the widgets inside `window` and of any other widget.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget& window) : window_(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget == &window_ || window_.isAncestorOf(widget))
                ++inWindow;
            else
                ++elsewhere;
        }
        return false;
    }
    long inWindow = 0;
    long elsewhere = 0;

private:
    QWidget& window_;
};

void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Reader rows with a type shown in the table.
int ShownReaders(TMainWin& window)
{
    int shown = 0;
    for (int row = 0; row < ReaderTable::kRows; ++row)
        shown += window.Cycle().table.InUse(row);
    return shown;
}

// Two looks of one reader row that differ in every cell but the button.
std::array<ReaderRowCells, 2> TwoRows()
{
    std::array<ReaderRowCells, 2> rows{};
    rows[0].text = {"QO-V70", "257", "2", "9600", "1", kTickMark, "", kTickMark, "", kTickMark, "", kTickMark, "", "1234"};
    rows[0].background.fill(Colour::Lime);
    rows[0].bold = rows[0].enabled = true;
    rows[1].text = {"QO-L74", "301", "3", "19200", "2", "", "", "", kTickMark, "", kTickMark, "", kTickMark, "88888888"};
    rows[1].addressColour = Colour::Red;
    return rows;
}

// CPU time of a drawing and the paint it causes.
template <class Draw>
double DrawUs(const Draw& draw)
{
    const double start = ThreadCpuUs();
    draw();
    QApplication::processEvents();
    return ThreadCpuUs() - start;
}

void PrintRowDrawing()
{
    const std::array<ReaderRowCells, 2> rows = TwoRows();
    ReaderGrid grid;
    grid.show();
    // The reference: the same texts set into line edits in a row.
    QWidget edits;
    auto* layout = new QHBoxLayout(&edits);
    std::vector<QLineEdit*> row;
    for (int c = 0; c < ReaderRowCells::kColumns; ++c)
        layout->addWidget(row.emplace_back(new QLineEdit));
    edits.show();
    QApplication::processEvents();

    // Interleaved, so that a change in the machine's load hits both alike.
    std::vector<double> gridUs, editsUs;
    for (std::size_t i = 0; i < 400; ++i) {
        const ReaderRowCells& cells = rows[i % 2];
        gridUs.push_back(DrawUs([&] { grid.DrawRow(3, cells, Colour::WindowText); }));
        editsUs.push_back(DrawUs([&] {
            for (std::size_t c = 0; c < row.size(); ++c)
                row[c]->setText(QString::fromUtf8(cells.text[c]));
        }));
    }
    std::printf("row_draw_us=%.1f\n", Median(gridUs));
    std::printf("row_draw_line_edits_us=%.1f\n", Median(editsUs));
    std::printf("row_draw_vs_line_edits=%.2f\n", Median(gridUs) / Median(editsUs));
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    sim::SimInstallation install;
    install.RunCarriedFirmware();

    TMainWin window{DeviceHosts{install.usb, install.hid, install.clock}};
    window.show();
    QWidget bare;
    bare.resize(400, 300);
    bare.show();

    auto* zelTimer = window.findChild<QTimer*>(QStringLiteral("ZelTimer"));
    long ticks = 0;
    if (zelTimer)
        QObject::connect(zelTimer, &QTimer::timeout, [&] {
            ++ticks;
            // The simulated devices live on a virtual clock: it moves with the ticks.
            install.clock.AdvanceMs(PollCycle::kTickMs);
        });

    PaintCounter window_paints(window);
    PaintCounter bare_paints(bare);
    app.installEventFilter(&window_paints);
    app.installEventFilter(&bare_paints);
    // Settle: the devices are opened and read, the table filled.
    RunFor(4000);
    std::printf("idle_settle_repaints=%ld\n", window_paints.inWindow);
    std::printf("idle_settle_readers_shown=%d\n", ShownReaders(window));
    window_paints.inWindow = 0;
    bare_paints.inWindow = 0;
    const long ticksBefore = ticks;
    RunFor(6000);
    const long measured = ticks - ticksBefore;
    if (measured <= 0) {
        std::printf("idle_repaints_per_pass=n/a\n");
        return 1;
    }
    std::printf("idle_ticks=%ld\n", measured);
    std::printf("idle_repaints_per_pass=%.2f\n", static_cast<double>(window_paints.inWindow) / measured);
    std::printf("idle_repaints_bare_per_pass=%.2f\n", static_cast<double>(bare_paints.inWindow) / measured);

    // The same with the Dziennik tab shown, once it has drawn the log so far.
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("AllSheetPgCtrl"));
    tabs->setCurrentIndex(static_cast<int>(WindowView::Tab::Log));
    RunFor(1000);
    window_paints.inWindow = 0;
    const long logTicksBefore = ticks;
    RunFor(6000);
    std::printf("idle_repaints_log_tab_per_pass=%.2f\n",
                static_cast<double>(window_paints.inWindow) / std::max(ticks - logTicksBefore, 1L));
    window.hide();
    PrintRowDrawing();
    return 0;
}
