// The event log, its filters, the walk test and the CSV export, and the poll
// cycle feeding the log.
#include "app/CsvText.h"
#include "app/EventLog.h"
#include "app/LogTexts.h"
#include "app/LogView.h"
#include "app/WalkSummary.h"

#include "CycleFixture.h"
#include "VirtualClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qozel::test {
namespace {

ReaderRecord Reader(std::uint16_t nr, std::uint8_t address)
{
    ReaderRecord reader;
    reader.info = {nr, 70, 3, static_cast<std::uint16_t>(address)};
    reader.options = ReaderRecord::kHasTamper1 | ReaderRecord::kHasTamper2;
    reader.config2 = 0x07;
    reader.online = true;
    return reader;
}

ReaderEvent Event(std::vector<std::uint8_t> bytes)
{
    ReaderEvent event;
    std::copy(bytes.begin(), bytes.end(), event.bytes.begin());
    event.length = bytes.size();
    return event;
}

struct LogRig {
    sim::VirtualClock clock;   // 2023-11-14 22:13:20 UTC, read as local time
    EventLog log{clock};
    ReaderRecord a = Reader(12, 5);
    ReaderRecord b = Reader(13, 6);

    std::string NewestText() const { return LogEventText(log.At(log.EndSeq() - 1)); }
};

TEST(EventLog, EveryEventKindInWordsAndNoPinDigits)
{
    struct Case {
        std::vector<std::uint8_t> bytes;
        const char* text;
        LogFilter::Kind kind;
    };
    const std::vector<Case> cases = {
        {{0, 0, 0x04, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x07}, "Karta, UID 04A1B2C3D4E5F607", LogFilter::Kind::Cards},
        {{2, 0, 0x04, 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x07, 3, 0, 0, 0, 0xF9, 0xFF, 0xFF, 0xFF},
         "Karta QoZEL: UID 04A1B2C3D4E5F607, wydział 3, index -7", LogFilter::Kind::Cards},
        {{4, 0, 0x52, 0x6F, 0x52, 0x65, 0x20, 0x19, 0x07, 0x31}, "Telefon, RoRe 526F526520190731", LogFilter::Kind::RoRe},
        {{6, '9', '3', '7', '1'}, "PIN: 4 cyfry", LogFilter::Kind::Pin},
        {{6, '9', '3', '7', '1', '5', '2', '8', '4'}, "PIN: 8 cyfr", LogFilter::Kind::Pin},
        {{8, 1, 0}, "Stan wejść: tamper 1 włączony, tamper 2 wyłączony, zasilanie w normie", LogFilter::Kind::Tamper},
        {{8, 2, 0}, "Stan wejść: tamper 1 wyłączony, tamper 2 włączony, zasilanie w normie", LogFilter::Kind::Tamper},
        {{8, 2, 1}, "Stan wejść: tamper 1 wyłączony, tamper 2 włączony, awaria zasilania", LogFilter::Kind::Power},
        {{254, 0x11, 0x22, 0x33}, "karta zapasowa", LogFilter::Kind::BackupCard},
        {{77, 1}, "Zdarzenie rodzaju 77", LogFilter::Kind::Other},
    };
    LogRig rig;
    for (const Case& c : cases) {
        rig.log.RecordEvent(0, rig.a, Event(c.bytes));
        const LogEntry& entry = rig.log.At(rig.log.EndSeq() - 1);
        EXPECT_EQ(LogEventText(entry), c.text);
        EXPECT_TRUE((LogFilter{0, c.kind}.Matches(entry))) << c.text;
        EXPECT_EQ(LogReaderText(entry), "1. QO-V70 Nr: 12, adres 5");
    }
    EXPECT_EQ(LocalTimeText(rig.log.At(0).utcMs, rig.clock), "2023-11-14 22:13:20.000");

    // The device and bus changes.
    rig.log.NoteReaders(std::vector{rig.a, rig.b});
    rig.b.online = false;
    rig.log.NoteReaders(std::vector{rig.a, rig.b});
    rig.b.online = true;
    rig.log.NoteReaders(std::vector{rig.a, rig.b});
    rig.log.NoteReaders(std::vector{rig.b});
    rig.log.NoteDevice(LogDevice::Arkan, true, DevInfo{7, 0x010E, 4, 0});
    rig.log.NoteDevice(LogDevice::Arkan, false, DevInfo{});
    std::vector<std::string> changes;
    for (std::uint64_t seq = cases.size(); seq < rig.log.EndSeq(); ++seq)
        changes.push_back(LogReaderText(rig.log.At(seq)) + "|" + LogEventText(rig.log.At(seq)));
    EXPECT_EQ(changes, (std::vector<std::string>{
                           "1. QO-V70 Nr: 12, adres 5|Czytnik pojawił się na magistrali",
                           "2. QO-V70 Nr: 13, adres 6|Czytnik pojawił się na magistrali",
                           "2. QO-V70 Nr: 13, adres 6|Czytnik przestał odpowiadać",
                           "2. QO-V70 Nr: 13, adres 6|Czytnik znów odpowiada",
                           "1. QO-V70 Nr: 12, adres 5|Czytnik zniknął z magistrali",
                           "|Podłączono: QoZEL Arkan Nr: 7, Soft: 4",
                           "|Odłączono: QoZEL Arkan Nr: 7, Soft: 4",
                       }));

    LogView view;
    view.Sync(rig.log);
    const std::string csv = LogCsv(rig.log, view);
    for (const char* digits : {"9371", "93715284"})
        EXPECT_EQ(csv.find(digits), std::string::npos);
}

TEST(EventLog, KeepsTheNewest50000AndAViewFollowsTheRing)
{
    LogRig rig;
    LogView view;
    view.SetFilter({rig.a.readerId(), LogFilter::Kind::Pin});
    for (std::size_t i = 0; i < EventLog::kEntries; ++i) {
        rig.log.RecordEvent(0, rig.a, Event({6, '1'}));
        rig.clock.AdvanceMs(1);
    }
    EXPECT_EQ(view.Sync(rig.log).added, EventLog::kEntries);
    rig.log.RecordEvent(1, rig.b, Event({6, '2'}));
    EXPECT_EQ(rig.log.Size(), EventLog::kEntries);
    EXPECT_EQ(rig.log.FirstSeq(), 1u);
    EXPECT_EQ(rig.log.At(rig.log.FirstSeq()).utcMs, 1'700'000'000'001u) << "the oldest kept is the second recorded";
    const LogView::Update update = view.Sync(rig.log);
    EXPECT_EQ(update.dropped, 1u);
    EXPECT_EQ(update.added, 0u) << "reader B's PIN is filtered out";
    EXPECT_EQ(view.Count(), EventLog::kEntries - 1);
    static_assert(sizeof(LogEntry) * EventLog::kEntries <= 10u * 1024 * 1024);

    rig.log.Clear();
    EXPECT_TRUE(view.Sync(rig.log).reset);
    EXPECT_EQ(view.Count(), 0u);
}

TEST(EventLog, CsvQuotesWhereNeededAndStartsWithTheBom)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"zwykły tekst", "zwykły tekst"},
        {"a;b", "\"a;b\""},
        {"powiedz \"tak\"", "\"powiedz \"\"tak\"\"\""},
        {"dwa\nwiersze", "\"dwa\nwiersze\""},
        {"cr\r", "\"cr\r\""},
    };
    for (const auto& [text, field] : cases)
        EXPECT_EQ(CsvField(text), field);
    EXPECT_EQ(CsvLine(std::vector<std::string>{"a;b", "c"}), "\"a;b\";c\r\n");

    LogRig rig;
    rig.log.RecordEvent(0, rig.a, Event({6, '1', '2'}));
    LogView view;
    view.Sync(rig.log);
    EXPECT_EQ(LogCsv(rig.log, view), std::string(kCsvBom) + "Czas;Czytnik;Zdarzenie\r\n"
                                         "2023-11-14 22:13:20.000;1. QO-V70 Nr: 12, adres 5;PIN: 2 cyfry\r\n");
    EXPECT_EQ(WalkCsv(WalkSummary(rig.log, std::vector{rig.b})),
              std::string(kCsvBom) + "Czytnik;Ostatnie zgłoszenie;Karty;PIN;Tamper;Zasilanie;Wynik\r\n"
                                     "1. QO-V70 Nr: 13, adres 6;brak zgłoszeń;0;0;0;0;BRAK KARTY\r\n");
}

TEST(EventLog, WalkTestSummarisesEachReaderAndRestartsWithoutClearingTheLog)
{
    LogRig rig;
    for (const auto& bytes : std::vector<std::vector<std::uint8_t>>{
             {0, 0, 1, 2, 3, 4, 5, 6, 7, 8}, {6, '4', '4'}, {8, 1, 0}, {8, 1, 0}, {8, 0, 0}, {8, 0, 1}, {4, 0, 1, 2, 3, 4, 5, 6, 7, 8}}) {
        rig.clock.AdvanceMs(1500);
        rig.log.RecordEvent(0, rig.a, Event(bytes));
    }
    rig.log.RecordEvent(1, rig.b, Event({6, '1'}));
    auto rows = WalkSummary(rig.log, std::vector{rig.a, rig.b});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Cells(), (std::array<std::string, 7>{"1. QO-V70 Nr: 12, adres 5", "2023-11-14 22:13:30.500",
                                                           "1", "1", "2", "1", "karta odczytana"}));
    EXPECT_EQ(rows[1].Cells(), (std::array<std::string, 7>{"2. QO-V70 Nr: 13, adres 6", "2023-11-14 22:13:30.500",
                                                           "0", "1", "0", "0", "BRAK KARTY"}));
    EXPECT_TRUE(rows[1].noCard);

    const std::size_t size = rig.log.Size();
    rig.log.StartWalkTest();
    rows = WalkSummary(rig.log, std::vector{rig.a, rig.b});
    EXPECT_EQ(rows[0].lastReport, "brak zgłoszeń");
    EXPECT_EQ(rows[0].cards + rows[0].pins + rows[0].tamper + rows[0].power, 0u);
    EXPECT_TRUE(rows[0].noCard);
    EXPECT_EQ(rig.log.Size(), size);
}

class EventLogCycle : public CycleTest {};

TEST_F(EventLogCycle, ThePollCycleFeedsTheLog)
{
    Pass(12);
    ASSERT_GT(cycle.manager.readerCount, 0);
    install.manager->TypePin(Reader(0), "2580");
    Pass();
    std::vector<std::string> texts;
    for (std::uint64_t seq = cycle.log.FirstSeq(); seq < cycle.log.EndSeq(); ++seq)
        texts.push_back(LogEventText(cycle.log.At(seq)));
    auto has = [&](const std::string& prefix) {
        return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return t.rfind(prefix, 0) == 0; });
    };
    EXPECT_TRUE(has("Podłączono: QoZEL Manager"));
    EXPECT_TRUE(has("Podłączono: QoZEL Arkan"));
    EXPECT_TRUE(has("Czytnik pojawił się na magistrali"));
    EXPECT_EQ(texts.back(), "PIN: 4 cyfry");

    install.Unplug(sim::SimDevices::Device::Manager);
    Pass();
    EXPECT_EQ(LogEventText(cycle.log.At(cycle.log.EndSeq() - 1)).rfind("Odłączono: QoZEL Manager", 0), 0u);
}

} // namespace
} // namespace qozel::test
