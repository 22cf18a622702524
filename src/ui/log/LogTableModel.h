#pragma once

#include "app/LogView.h"

#include <QAbstractTableModel>

namespace qozel {

// The event log as a table for QTableView, newest first: time, reader,
// event. Only the rows a view asks for are turned into text.
class LogTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    LogTableModel(const EventLog& log, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetFilter(const LogFilter& filter);
    // Takes in what the log recorded since the last call: new rows at the
    // top, the oldest dropped at the bottom.
    void Sync();
    const LogView& View() const noexcept { return view_; }

private:
    const EventLog& log_;
    LogView view_;
    int shown_ = 0;   // the rows the views were told of
};

} // namespace qozel
