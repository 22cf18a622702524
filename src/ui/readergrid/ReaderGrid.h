#pragma once

#include "app/ReaderTable.h"
#include "ui/readergrid/DrawingCache.h"
#include "ui/readergrid/ReaderGridGeometry.h"
#include "ui/readergrid/ReaderGridHeader.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <array>
#include <optional>

namespace qozel {

// What one cell of the reader table shows.
struct ReaderCellLook {
    QString text;
    QColor background;
    Colour fill = Colour::Window;  // what the background means: selection, a mark's state
    QColor textColour;  // invalid: the palette's text colour for the cell's state
    bool bold = false;
    bool enabled = false;
    friend bool operator==(const ReaderCellLook&, const ReaderCellLook&) = default;
};

// The reader table: 32 rows of 14 cells painted by one widget under its
// column labels, the identify buttons among them, each column as wide as its
// widest expected text in bold whatever the font. A drawing repaints only the
// cells it changes. Presses reach only enabled cells; the keyboard moves a
// current cell with the arrows and presses it with Space or Enter.
class ReaderGrid final : public QWidget {
    Q_OBJECT
public:
    explicit ReaderGrid(QWidget* parent = nullptr);

    // Sets what differs from what the row shows; the rate cells take the
    // header's rate colour.
    void DrawRow(int row, const ReaderRowCells& cells, Colour rateColour);
    // The column labels are enabled while the Manager is open.
    void SetHeaderEnabled(bool enabled);

    const ReaderCellLook& Look(int row, int column) const;
    QRect CellRect(int row, int column) const;
    std::optional<ReaderGridGeometry::Cell> CellAt(QPoint point) const { return geometry_.CellAt(point); }
    ReaderGridGeometry::Cell CurrentCell() const noexcept { return current_; }
    // A press on the cell as the mouse or the keyboard gives it.
    void Press(int row, int column);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void dataCellPressed(int row);
    void identifyClicked(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Relayout();
    QSize FieldSize(int column) const;
    QSize ButtonSize(QSize field) const;
    void PaintField(QPainter& painter, int row, int column) const;
    void PaintButton(QPainter& painter, int row) const;
    void SetLook(int row, int column, const ReaderCellLook& look);
    void MoveCurrent(int rows, int columns);
    void UpdateCell(ReaderGridGeometry::Cell cell);

    ReaderGridHeader header_;
    ReaderGridGeometry geometry_;
    std::array<std::array<ReaderCellLook, ReaderRowCells::kColumns>, ReaderTable::kRows> looks_{};
    ReaderGridGeometry::Cell current_{0, 0};
    // Panels and buttons drawn by the style, for the cells alike.
    mutable DrawingCache drawings_;
    // The identify button held down by the mouse.
    std::optional<int> pressedButtonRow_;
};

} // namespace qozel
