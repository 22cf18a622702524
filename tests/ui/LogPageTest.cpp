// The Dziennik tab and the installation report's PDF, read back with pdftotext.
#include "app/CsvText.h"
#include "app/InstallationReport.h"
#include "app/PollCycle.h"
#include "ui/CoreGate.h"
#include "ui/pages/LogPage.h"
#include "ui/widgets/WindowFont.h"
#include "ui/log/ReportPdf.h"

#include "DemoInstallation.h"
#include "ScriptedPrompts.h"
#include "SilentCycle.h"
#include "TextFit.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace qozel::test {
namespace {

constexpr std::uint32_t kSignature = 0x5EED4242;

// The PDF's text as pdftotext lays it out, rows of a table on one line.
std::string PdfText(const QByteArray& pdf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("raport.pdf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return {};
    file.close();
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    EXPECT_TRUE(pdftotext.waitForFinished(10000)) << "pdftotext (poppler-utils) is needed";
    return pdftotext.readAllStandardOutput().toStdString();
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

QByteArray ReportOf(PollCycle& cycle)
{
    return ReportPdf(MakeInstallationReport(cycle, {"QoZEL Config 1.3", "stanowisko-1"}));
}

// A full installation: 32 readers, each with an address and keys matching
// the Arkan's but the last, whose keys are of another installation.
struct FullInstallation : sim::SilentCycle {
    FullInstallation()
    {
        install.arkan->PreloadMasterKey({false, {}, kSignature, {}});
        for (auto& reader : install.manager->bus) {
            reader->keyBits = 3;
            reader->keySignature = kSignature;
        }
        install.manager->bus.back()->keySignature = 0x0BADC0DE;
        Pass(40);
    }
};

ReaderEvent PinEvent()
{
    ReaderEvent event;
    event.bytes[0] = ReaderEvent::Pin;
    event.bytes[1] = '5';
    event.length = 2;
    return event;
}

TEST(InstallationReportPdf, FullInstallationListsItsReadersWithAddressesAndKeyMatches)
{
    FullInstallation rig;
    ASSERT_EQ(rig.cycle.manager.readerCount, 32);
    // A log at its bound, summarised.
    for (std::size_t i = 0; i < EventLog::kEntries; ++i)
        rig.cycle.log.RecordEvent(static_cast<int>(i % 32), rig.cycle.manager.readers[i % 32], PinEvent());
    QElapsedTimer timer;
    timer.start();
    const QByteArray pdf = ReportOf(rig.cycle);
    std::printf("report_pdf_ms=%lld (32 readers, %zu log entries)\n", static_cast<long long>(timer.elapsed()),
                rig.cycle.log.Size());
    const std::string text = PdfText(pdf);
    for (const char* part : {"Raport instalacji", "stanowisko-1", "QoZEL Config 1.3", "QoZEL Arkan", "5EED4242",
                             "Programator QO-G30", "Prędkość OSDP Bus: 9600", "Test obchodu", "BRAK KARTY"})
        EXPECT_TRUE(Contains(text, part)) << part;
    int matched = 0;
    int mismatched = 0;
    for (int i = 0; i < 32; ++i) {
        const ReaderRecord& reader = rig.cycle.manager.readers[static_cast<std::size_t>(i)];
        // The reader's row, found by its number and rate on one line.
        std::size_t at = 0;
        bool found = false;
        for (std::size_t eol; !found && (eol = text.find('\n', at)) != std::string::npos; at = eol + 1) {
            const std::string line = text.substr(at, eol - at);
            if (line.find(" " + std::to_string(reader.info.nr) + " ") == std::string::npos ||
                line.find("9600") == std::string::npos)
                continue;
            found = true;
            EXPECT_TRUE(Contains(line, " " + std::to_string(reader.address()) + " ")) << line;
            matched += Contains(line, "zgodne z Arkan") && !Contains(line, "niezgodne");
            mismatched += Contains(line, "niezgodne z Arkan");
        }
        EXPECT_TRUE(found) << "reader " << reader.info.nr;
    }
    EXPECT_EQ(matched, 31);
    EXPECT_EQ(mismatched, 1);
}

TEST(InstallationReportPdf, SaysWhatIsAbsent)
{
    FullInstallation rig;
    rig.install.Unplug(sim::SimDevices::Device::Manager);
    rig.install.Unplug(sim::SimDevices::Device::Programmer);
    rig.Pass(6);
    const std::string text = PdfText(ReportOf(rig.cycle));
    for (const char* part : {"Brak QoZEL Managera", "Brak Programatora QO-G30", "nieobecny"})
        EXPECT_TRUE(Contains(text, part)) << part;
    EXPECT_FALSE(Contains(text, "odpowiada")) << "no reader listed without a Manager";
}

struct DemoRig {
    sim::VirtualClock clock;
    sim::DemoInstallation install{clock};
    sim::ScriptedPrompts prompts;
    sim::SilentView view;
    sim::SilentUpgradeBox box;
    PollCycle cycle{install.usb, install.hid, clock, prompts, view, box};
};

TEST(InstallationReportPdf, HoldsNoneOfTheDemoInstallationsSecrets)
{
    DemoRig rig;
    sim::ArkanModel::MasterKey key;
    key.signature = kSignature;
    for (std::size_t i = 0; i < key.key.size(); ++i)
        key.key[i] = static_cast<std::uint8_t>(0xC1 + i);
    rig.install.arkan->PreloadMasterKey(key);
    const std::string pin = "1234";
    for (int i = 0; i < 40; ++i) {
        rig.cycle.Tick();
        rig.clock.AdvanceMs(PollCycle::kTickMs);
        if (i > 20)
            rig.install.TypePin(static_cast<std::size_t>(i) % rig.install.ReaderCount(), pin);
    }
    const QByteArray pdf = ReportOf(rig.cycle);
    LogView view;
    view.Sync(rig.cycle.log);
    ASSERT_GT(view.Count(), 0u);
    const std::string csv = LogCsv(rig.cycle.log, view);
    std::string keyHex;
    for (const std::uint8_t byte : key.key) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", byte);
        keyHex += hex;
    }
    const std::string text = PdfText(pdf);
    EXPECT_TRUE(Contains(text, "Konfiguracja QO-L74")) << "the demo's module is reported";
    EXPECT_TRUE(Contains(csv, "PIN: 4 cyfry"));
    for (const std::string& secret : {keyHex.substr(0, 8), keyHex.substr(8, 8), keyHex.substr(16, 8), pin})
        for (const std::string* where : {&text, &csv})
            EXPECT_FALSE(Contains(*where, secret)) << secret;
}

TEST(LogPage, ShowsTheLogAndTheWalkTestAndSavesOnlyWhereTheUserChose)
{
    FullInstallation rig;
    CoreGate gate;
    LogPage page(rig.cycle, gate, nullptr);
    rig.install.manager->TypePin(*rig.install.manager->bus[0], "99");
    rig.Pass(1);
    page.Sync();
    auto* log = page.findChild<QTableView*>(QStringLiteral("DzLogView"));
    auto* walk = page.findChild<QTableView*>(QStringLiteral("DzWalkView"));
    ASSERT_TRUE(log && walk);
    EXPECT_EQ(log->model()->rowCount(), 0) << "nothing is taken in while the page is hidden";

    page.show();
    const int rows = log->model()->rowCount();
    EXPECT_GT(rows, 32);
    EXPECT_EQ(log->model()->index(0, 2).data().toString(), QStringLiteral("PIN: 2 cyfry"));
    EXPECT_EQ(walk->model()->rowCount(), 32);
    const QModelIndex silent = walk->model()->index(1, 6);
    EXPECT_EQ(silent.data().toString(), QStringLiteral("BRAK KARTY"));
    EXPECT_TRUE(silent.data(Qt::BackgroundRole).value<QColor>().isValid()) << "in colour as well as in words";
    EXPECT_EQ(walk->model()->index(0, 3).data().toString(), QStringLiteral("1")) << "reader 1 typed a PIN";

    auto* kind = page.findChild<QComboBox*>(QStringLiteral("DzKindCb"));
    kind->setCurrentIndex(static_cast<int>(LogFilter::Kind::Pin));
    EXPECT_EQ(log->model()->rowCount(), 1);

    for (QWidget* control : page.findChildren<QWidget*>()) {
        if (qobject_cast<QPushButton*>(control) || qobject_cast<QComboBox*>(control) ||
            qobject_cast<QTableView*>(control)) {
            EXPECT_FALSE(control->objectName().isEmpty());
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        }
    }

    QTemporaryDir dir;
    QString answer;
    QStringList asked;
    page.SetFileChooser([&](const QString&, const QString& name, const QString&) {
        asked << name;
        return answer;
    });
    auto click = [&](const char* name) { page.findChild<QPushButton*>(QLatin1String(name))->click(); };
    click("DzLogCsvBtn");
    click("DzReportBtn");
    EXPECT_EQ(asked.size(), 2);
    EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "nothing written without a choice";
    answer = dir.filePath(QStringLiteral("podsumowanie.csv"));
    click("DzWalkCsvBtn");
    QFile csv(answer);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readAll().startsWith(QByteArray(kCsvBom.data(), 3) + "Czytnik;Ostatnie"));

    click("DzWalkStartBtn");
    EXPECT_EQ(walk->model()->index(0, 3).data().toString(), QStringLiteral("0"));
    EXPECT_EQ(log->model()->rowCount(), 1) << "the log stays";
}

class LogPageFonts : public testing::TestWithParam<int> {};

TEST_P(LogPageFonts, ClipNoText)
{
    FullInstallation rig;
    CoreGate gate;
    LogPage page(rig.cycle, gate, nullptr);
    page.setFont(WindowFont(8));  // as in the main window
    ScaleFonts(page, GetParam());
    page.resize(page.sizeHint());
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    for (QWidget* widget : page.findChildren<QWidget*>()) {
        const QString text = ShownText(*widget);
        auto* label = qobject_cast<QLabel*>(widget);
        if (text.isEmpty()) {
            continue;
        } else if (label && label->wordWrap()) {
            EXPECT_LE(label->heightForWidth(label->width()), label->height()) << label->objectName().toStdString();
        } else {
            EXPECT_LE(widget->fontMetrics().horizontalAdvance(text), TextRoom(*widget))
                << widget->objectName().toStdString();
        }
    }
    for (auto* combo : page.findChildren<QComboBox*>())
        for (int i = 0; i < combo->count(); ++i)
            EXPECT_LE(combo->fontMetrics().horizontalAdvance(combo->itemText(i)), TextRoom(*combo))
                << combo->itemText(i).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Scale, LogPageFonts, testing::Values(1, 2));

} // namespace
} // namespace qozel::test
