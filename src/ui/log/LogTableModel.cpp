#include "ui/log/LogTableModel.h"

#include "app/LogTexts.h"
#include "ui/widgets/Utf8.h"

namespace qozel {
namespace {

constexpr const char* kHeaders[] = {"Czas", "Czytnik", "Zdarzenie"};

} // namespace

LogTableModel::LogTableModel(const EventLog& log, QObject* parent) : QAbstractTableModel(parent), log_(log) {}

int LogTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shown_;
}

int LogTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(std::size(kHeaders));
}

QVariant LogTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= shown_ || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return {};
    const LogEntry& entry = log_.At(view_.SeqOfRow(static_cast<std::size_t>(index.row())));
    switch (index.column()) {
    case 0: return FromUtf8(LocalTimeText(entry.utcMs, log_.clock()));
    case 1: return FromUtf8(LogReaderText(entry));
    default: return FromUtf8(LogEventText(entry));
    }
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < static_cast<int>(std::size(kHeaders)))
        return FromUtf8(kHeaders[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void LogTableModel::SetFilter(const LogFilter& filter)
{
    view_.SetFilter(filter);
    Sync();
}

void LogTableModel::Sync()
{
    const LogView::Update update = view_.Sync(log_);
    if (update.reset) {
        beginResetModel();
        shown_ = static_cast<int>(view_.Count());
        endResetModel();
        return;
    }
    // The view holds the new rows already; the rows are told of in two steps,
    // the oldest going first.
    if (update.dropped != 0) {
        const int dropped = static_cast<int>(update.dropped);
        beginRemoveRows({}, shown_ - dropped, shown_ - 1);
        shown_ -= dropped;
        endRemoveRows();
    }
    if (update.added != 0) {
        beginInsertRows({}, 0, static_cast<int>(update.added) - 1);
        shown_ += static_cast<int>(update.added);
        endInsertRows();
    }
}

} // namespace qozel
