#pragma once

#include "app/ReaderTable.h"

#include <QMargins>
#include <QRect>
#include <QSize>

#include <array>
#include <optional>
#include <vector>

namespace qozel {

// Where the parts of the reader table go: the box title, two rows of column
// labels, the 32 reader rows, and the events box drawn around the event
// columns with room for its frame on either side and below.
class ReaderGridGeometry {
public:
    // A column label over reader columns first..last, in header row
    // firstRow..lastRow (0 upper, 1 lower), and the size it asks for.
    struct Label {
        int firstColumn;
        int lastColumn;
        int firstRow;
        int lastRow;
        QSize hint;
    };
    struct Cell {
        int row;
        int column;
        friend bool operator==(const Cell&, const Cell&) = default;
    };

    ReaderGridGeometry() = default;
    // `cells`: the size of each column's cells; `eventsFrame`: the events
    // box's frame and title.
    ReaderGridGeometry(const std::array<QSize, ReaderRowCells::kColumns>& cells,
                       const std::vector<Label>& labels, QMargins eventsFrame);

    QSize Size() const;
    QRect CellRect(int row, int column) const;
    QRect LabelRect(const Label& label) const;
    QRect EventsBoxRect() const;
    std::optional<Cell> CellAt(QPoint point) const;

private:
    static constexpr int kHeaderRows = 2;
    // Grid lines: the box's title row, the header rows, the readers and the box's bottom row.
    static constexpr int kFirstHeaderLine = 1;
    static constexpr int kFirstReaderLine = kFirstHeaderLine + kHeaderRows;
    static constexpr int kLines = kFirstReaderLine + ReaderTable::kRows + 1;
    // Grid columns: the reader columns with one for either side of the box's frame.
    static constexpr int kBoxLeftColumn = ReaderRowCells::Show + 1;
    static constexpr int kBoxRightColumn = ReaderRowCells::kColumns + 1;
    static constexpr int kGridColumns = kBoxRightColumn + 1;

    static int GridColumn(int column);
    QRect Span(int firstLine, int lastLine, int firstGridColumn, int lastGridColumn) const;

    std::array<QSize, ReaderRowCells::kColumns> cells_{};
    std::array<int, kGridColumns> x_{};
    std::array<int, kGridColumns> width_{};
    std::array<int, kLines> y_{};
    std::array<int, kLines> height_{};
};

} // namespace qozel
