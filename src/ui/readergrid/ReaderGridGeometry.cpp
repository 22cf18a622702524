#include "ui/readergrid/ReaderGridGeometry.h"

#include <algorithm>
#include <numeric>

namespace qozel {
namespace {

constexpr int kColumnGap = 2;
constexpr int kLineGap = 1;

// Widens sizes[first..last] evenly until, with the gaps between them, they
// hold `needed`.
template <std::size_t N>
void Widen(std::array<int, N>& sizes, int first, int last, int gap, int needed)
{
    const int count = last - first + 1;
    const int have = std::accumulate(sizes.begin() + first, sizes.begin() + last + 1, 0) + gap * (count - 1);
    const int missing = needed - have;
    if (missing <= 0)
        return;
    for (int i = first; i <= last; ++i)
        sizes[static_cast<std::size_t>(i)] += missing / count + (i - first < missing % count ? 1 : 0);
}

template <std::size_t N>
void Place(const std::array<int, N>& sizes, int gap, std::array<int, N>& starts)
{
    int at = 0;
    for (std::size_t i = 0; i < N; ++i) {
        starts[i] = at;
        at += sizes[i] + gap;
    }
}

} // namespace

int ReaderGridGeometry::GridColumn(int column)
{
    return column < kBoxLeftColumn ? column : column + 1;
}

ReaderGridGeometry::ReaderGridGeometry(const std::array<QSize, ReaderRowCells::kColumns>& cells,
                                       const std::vector<Label>& labels, QMargins eventsFrame)
    : cells_(cells)
{
    for (int c = 0; c < ReaderRowCells::kColumns; ++c)
        width_[static_cast<std::size_t>(GridColumn(c))] = cells[static_cast<std::size_t>(c)].width();
    width_[kBoxLeftColumn] = eventsFrame.left();
    width_[kBoxRightColumn] = eventsFrame.right();

    int rowHeight = 0;
    for (QSize cell : cells)
        rowHeight = std::max(rowHeight, cell.height());
    height_.fill(rowHeight);
    height_.front() = eventsFrame.top();
    // The header rows take their labels' height.
    std::fill_n(height_.begin() + kFirstHeaderLine, kHeaderRows, 0);
    height_.back() = eventsFrame.bottom();

    // Labels of one column or row first, so that a spanning label widens
    // only what they leave too small.
    auto spanned = [](const Label& label) { return label.lastColumn - label.firstColumn + label.lastRow - label.firstRow; };
    std::vector<Label> bySpan = labels;
    std::stable_sort(bySpan.begin(), bySpan.end(), [&](const Label& a, const Label& b) { return spanned(a) < spanned(b); });
    for (const Label& label : bySpan) {
        Widen(width_, GridColumn(label.firstColumn), GridColumn(label.lastColumn), kColumnGap, label.hint.width());
        Widen(height_, kFirstHeaderLine + label.firstRow, kFirstHeaderLine + label.lastRow, kLineGap,
              label.hint.height());
    }
    Place(width_, kColumnGap, x_);
    Place(height_, kLineGap, y_);
}

QSize ReaderGridGeometry::Size() const
{
    return {x_.back() + width_.back(), y_.back() + height_.back()};
}

QRect ReaderGridGeometry::Span(int firstLine, int lastLine, int firstGridColumn, int lastGridColumn) const
{
    const auto first = static_cast<std::size_t>(firstGridColumn);
    const auto last = static_cast<std::size_t>(lastGridColumn);
    const auto top = static_cast<std::size_t>(firstLine);
    const auto bottom = static_cast<std::size_t>(lastLine);
    return QRect(QPoint(x_[first], y_[top]), QPoint(x_[last] + width_[last] - 1, y_[bottom] + height_[bottom] - 1));
}

QRect ReaderGridGeometry::CellRect(int row, int column) const
{
    // Centred in its column, as wide as the column's cells.
    const int line = kFirstReaderLine + row;
    const QRect area = Span(line, line, GridColumn(column), GridColumn(column));
    QRect cell(QPoint(), cells_[static_cast<std::size_t>(column)]);
    cell.moveCenter(area.center());
    cell.moveTop(area.top());
    return cell;
}

QRect ReaderGridGeometry::LabelRect(const Label& label) const
{
    return Span(kFirstHeaderLine + label.firstRow, kFirstHeaderLine + label.lastRow, GridColumn(label.firstColumn),
                GridColumn(label.lastColumn));
}

QRect ReaderGridGeometry::EventsBoxRect() const
{
    return Span(0, kLines - 1, kBoxLeftColumn, kBoxRightColumn);
}

std::optional<ReaderGridGeometry::Cell> ReaderGridGeometry::CellAt(QPoint point) const
{
    for (int row = 0; row < ReaderTable::kRows; ++row) {
        const int line = kFirstReaderLine + row;
        const auto l = static_cast<std::size_t>(line);
        if (point.y() < y_[l] || point.y() >= y_[l] + height_[l])
            continue;
        for (int column = 0; column < ReaderRowCells::kColumns; ++column)
            if (CellRect(row, column).contains(point))
                return Cell{row, column};
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace qozel
