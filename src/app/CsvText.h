#pragma once

#include "app/LogView.h"
#include "app/WalkSummary.h"

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace qozel {

// CSV as a Polish spreadsheet opens it straight into columns: UTF-8 with a
// byte order mark, fields separated by semicolons, lines ended by CR LF, and a
// field quoted (its quotes doubled) when it holds a semicolon, a quote or a
// line break.
inline constexpr std::string_view kCsvBom = "\xEF\xBB\xBF";

std::string CsvField(std::string_view text);
// One line of fields, with its line end.
std::string CsvLine(std::span<const std::string> fields);

// The rows of `view`, newest first, under a header line.
std::string LogCsv(const EventLog& log, const LogView& view);
std::string WalkCsv(std::span<const WalkRow> rows);

} // namespace qozel
