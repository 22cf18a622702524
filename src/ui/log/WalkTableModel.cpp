#include "ui/log/WalkTableModel.h"

#include "ui/widgets/Colours.h"
#include "ui/widgets/Utf8.h"

#include <QApplication>
#include <QFont>
#include <QPalette>

namespace qozel {
namespace {

constexpr int kResultColumn = static_cast<int>(WalkRow::kHeaders.size()) - 1;

} // namespace

int WalkTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int WalkTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(WalkRow::kHeaders.size());
}

QVariant WalkTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size()))
        return {};
    const WalkRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return FromUtf8(row.Cells()[static_cast<std::size_t>(index.column())]);
    case Qt::BackgroundRole:
        return row.noCard ? QVariant(ToQColor(Colour::Yellow, QApplication::palette())) : QVariant();
    case Qt::ForegroundRole:
        // Dark text on the yellow row whatever the system's colours.
        return row.noCard ? QVariant(QColor(Qt::black)) : QVariant();
    case Qt::FontRole:
        if (row.noCard && index.column() == kResultColumn) {
            QFont bold = QApplication::font();
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant WalkTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < static_cast<int>(WalkRow::kHeaders.size()))
        return FromUtf8(WalkRow::kHeaders[static_cast<std::size_t>(section)]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void WalkTableModel::SetRows(std::vector<WalkRow> rows)
{
    if (rows.size() != rows_.size()) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
        return;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] == rows_[i])
            continue;
        rows_[i] = std::move(rows[i]);
        const int r = static_cast<int>(i);
        emit dataChanged(index(r, 0), index(r, columnCount() - 1));
    }
}

} // namespace qozel
