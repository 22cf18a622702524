#pragma once

#include "app/WalkSummary.h"

#include <QAbstractTableModel>

#include <vector>

namespace qozel {

// The walk test's summary, one row per listed reader. A reader that reported
// no card has its row in yellow and "BRAK KARTY" in bold.
class WalkTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Tells the views only of the rows that changed.
    void SetRows(std::vector<WalkRow> rows);
    const std::vector<WalkRow>& Rows() const noexcept { return rows_; }

private:
    std::vector<WalkRow> rows_;
};

} // namespace qozel
