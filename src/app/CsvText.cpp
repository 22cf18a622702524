#include "app/CsvText.h"

#include "app/LogTexts.h"

#include <array>

namespace qozel {

std::string CsvField(std::string_view text)
{
    if (text.find_first_of(";\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string CsvLine(std::span<const std::string> fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i != 0)
            line += ';';
        line += CsvField(fields[i]);
    }
    line += "\r\n";
    return line;
}

std::string LogCsv(const EventLog& log, const LogView& view)
{
    std::string csv(kCsvBom);
    csv += CsvLine(std::array<std::string, 3>{"Czas", "Czytnik", "Zdarzenie"});
    for (std::size_t row = 0; row < view.Count(); ++row) {
        const LogEntry& entry = log.At(view.SeqOfRow(row));
        csv += CsvLine(std::array<std::string, 3>{LocalTimeText(entry.utcMs, log.clock()), LogReaderText(entry),
                                                  LogEventText(entry)});
    }
    return csv;
}

std::string WalkCsv(std::span<const WalkRow> rows)
{
    std::string csv(kCsvBom);
    csv += CsvLine(std::array<std::string, 7>{WalkRow::kHeaders[0], WalkRow::kHeaders[1], WalkRow::kHeaders[2],
                                              WalkRow::kHeaders[3], WalkRow::kHeaders[4], WalkRow::kHeaders[5],
                                              WalkRow::kHeaders[6]});
    for (const WalkRow& row : rows)
        csv += CsvLine(row.Cells());
    return csv;
}

} // namespace qozel
