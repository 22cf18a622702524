#include "app/WalkSummary.h"

#include "app/LogTexts.h"
#include "devices/manager/ZelManager.h"

namespace qozel {

std::array<std::string, 7> WalkRow::Cells() const
{
    return {reader, lastReport, std::to_string(cards), std::to_string(pins), std::to_string(tamper),
            std::to_string(power), Result()};
}

std::span<const ReaderRecord> ListedReaders(const ZelManager& manager)
{
    return std::span(manager.readers).first(manager.IsOpen() ? static_cast<std::size_t>(manager.readerCount) : 0);
}

std::vector<WalkRow> WalkSummary(const EventLog& log, std::span<const ReaderRecord> listed)
{
    std::vector<WalkRow> rows;
    rows.reserve(listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const ReaderRecord& reader = listed[i];
        WalkRow row;
        row.reader = ReaderLabel(static_cast<int>(i), reader.readerId(), reader.address());
        row.lastReport = WalkRow::kNoReport;
        if (const WalkCounts* counts = log.Walk().Find(reader.readerId())) {
            row.lastReport = LocalTimeText(counts->lastUtcMs, log.clock());
            row.cards = counts->cards;
            row.pins = counts->pins;
            row.tamper = counts->tamper;
            row.power = counts->power;
            row.noCard = counts->cards == 0;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace qozel
