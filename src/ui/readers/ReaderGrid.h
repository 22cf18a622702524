#pragma once

#include "app/ReaderTable.h"

#include <QObject>

#include <array>

class QGridLayout;
class QGroupBox;
class QPushButton;
class QWidget;

namespace qozel {

// The 32 rows of the reader table, 14 controls a row, placed into the
// table's grid layout under the column labels of ReadersPage.ui and inside
// its events box, and drawn from the rows the core keeps.
class ReaderGrid final : public QObject {
    Q_OBJECT
public:
    // `grid` holds the column labels; `events` is the box drawn around the
    // event columns, spanning every row of the grid.
    ReaderGrid(QGridLayout& grid, QGroupBox& events);

    // Sets what differs from what the row shows; the rate cells take the
    // header's rate colour.
    void DrawRow(int row, const ReaderRowCells& cells, Colour rateColour);

signals:
    void dataCellPressed(int row);
    void identifyClicked(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitEventsBox();

    QGridLayout& grid_;
    QGroupBox& events_;
    std::array<std::array<QWidget*, ReaderRowCells::kColumns>, ReaderTable::kRows> cells_{};
};

} // namespace qozel
