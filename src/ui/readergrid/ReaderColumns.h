#pragma once

#include "app/ReaderTable.h"

#include <array>

namespace qozel::reader_columns {

using Cells = ReaderRowCells;

struct Column {
    const char* spokenName;  // the column header to assistive technology
    const char* widestText;  // the longest text the cell is expected to show
};

// The text of the identify buttons; the row keeps none for them.
inline constexpr char kIdentifyText[] = "?";

inline constexpr std::array<Column, Cells::kColumns> kInfo = {{
    {"Typ", "QO-W774"}, {"Nr", "65535"}, {"Soft", "65535"}, {"Baud", "230400"}, {"Adr.", "255"},
    {"Key", kTickMark}, {"Pokaż", kIdentifyText}, {"Pwr", kTickMark}, {"Tamper 1", kTickMark},
    {"Tamper 2", kTickMark}, {"UID", kTickMark}, {"Dane", kTickMark}, {"RoRe", kTickMark},
    {"PIN", "88888888"},
}};

constexpr bool IsDataCell(int column)
{
    return column < Cells::kDataCells;
}

// The event cells always show their marks; the rest follows the row.
constexpr bool EnabledAsRow(int column)
{
    return IsDataCell(column) || column == Cells::Show;
}

// Cells that are bold whatever the row shows, and those bold as the row says.
constexpr bool AlwaysBold(int column)
{
    switch (column) {
    case Cells::Addr: case Cells::Pwr: case Cells::Tamp1: case Cells::Tamp2:
    case Cells::Uid: case Cells::Data: case Cells::Tel:
        return true;
    default:
        return false;
    }
}

constexpr bool BoldAsRow(int column)
{
    switch (column) {
    case Cells::Type: case Cells::Nr: case Cells::Soft: case Cells::Baud: case Cells::Key:
        return true;
    default:
        return false;
    }
}

} // namespace qozel::reader_columns
