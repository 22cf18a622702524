// The installation report of a full installation (32 readers, a full event
// log) as PDF, against the PDF of a report with nothing in it, in the same run.
// Prints report_pdf_ms=, report_pdf_empty_ms= and report_pdf_vs_empty=.
#include "app/InstallationReport.h"
#include "app/PollCycle.h"
#include "ui/log/ReportPdf.h"

#include "SilentCycle.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace qozel;

template <class Make>
double MedianMs(Make&& make)
{
    std::vector<double> ms;
    for (int round = 0; round < 9; ++round) {
        QElapsedTimer timer;
        timer.start();
        const QByteArray pdf = make();
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (pdf.isEmpty())
            return -1;
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);

    sim::SilentCycle rig;
    rig.Pass(40);
    PollCycle& cycle = rig.cycle;
    ReaderEvent card;
    card.length = 10;
    for (std::size_t i = 0; i < EventLog::kEntries; ++i)
        cycle.log.RecordEvent(static_cast<int>(i % 32), cycle.manager.readers[i % 32], card);

    const ReportHeader header{"QoZEL Config", "bench"};
    const double full = MedianMs([&] { return ReportPdf(MakeInstallationReport(cycle, header)); });
    const double empty = MedianMs([] { return ReportPdf(InstallationReport{}); });
    std::printf("report_pdf_readers=%d\nreport_pdf_log_entries=%zu\n", static_cast<int>(cycle.manager.readerCount),
                cycle.log.Size());
    std::printf("report_pdf_ms=%.1f\n", full);
    std::printf("report_pdf_empty_ms=%.1f\n", empty);
    std::printf("report_pdf_vs_empty=%.1f\n", full / std::max(empty, 0.001));
    return 0;
}
