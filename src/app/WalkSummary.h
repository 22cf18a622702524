#pragma once

#include "app/EventLog.h"

#include <array>
#include <span>
#include <string>
#include <vector>

namespace qozel {

class ZelManager;

// One row of the walk test's summary: a listed reader and what it reported
// since the test started. A reader that reported no card is marked in words
// as well as in colour.
struct WalkRow {
    static constexpr std::array<const char*, 7> kHeaders = {"Czytnik", "Ostatnie zgłoszenie", "Karty", "PIN",
                                                            "Tamper", "Zasilanie", "Wynik"};
    static constexpr const char* kNoCard = "BRAK KARTY";
    static constexpr const char* kCardSeen = "karta odczytana";
    static constexpr const char* kNoReport = "brak zgłoszeń";

    std::string reader;
    std::string lastReport;
    std::uint32_t cards = 0, pins = 0, tamper = 0, power = 0;
    bool noCard = true;

    std::string Result() const { return noCard ? kNoCard : kCardSeen; }
    // The columns as text, in the order of kHeaders.
    std::array<std::string, 7> Cells() const;

    friend bool operator==(const WalkRow&, const WalkRow&) = default;
};

// The readers the Manager lists now; none while it is absent.
std::span<const ReaderRecord> ListedReaders(const ZelManager& manager);

// The summary for the readers now listed, in their order.
std::vector<WalkRow> WalkSummary(const EventLog& log, std::span<const ReaderRecord> listed);

} // namespace qozel
