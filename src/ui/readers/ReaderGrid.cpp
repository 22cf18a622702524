#include "ui/readers/ReaderGrid.h"

#include "ui/Colours.h"
#include "ui/Utf8.h"
#include "ui/WidgetSync.h"
#include "ui/readers/ReaderCell.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>

namespace qozel {
namespace {

using Cells = ReaderRowCells;

// Layout of the grid in ReadersPage.ui: rows 0..2 hold the events box's title
// and the two rows of column labels, the readers follow; the events box
// spans one empty column on either side of the event columns and one empty
// row below the last reader, which keep its frame clear of the cells.
constexpr int kFirstReaderRow = 3;
constexpr int kEventsBoxLeftColumn = Cells::Show + 1;
constexpr int kEventsBoxRightColumn = Cells::kColumns + 1;
constexpr int kEventsBoxBottomRow = kFirstReaderRow + ReaderTable::kRows;

int GridColumn(int column)
{
    return column < kEventsBoxLeftColumn ? column : column + 1;
}

struct Column {
    const char* spokenName;  // with the reader's number, the cell's accessible name
    const char* widestText;  // the longest text the cell is expected to show
};

constexpr std::array<Column, Cells::kColumns> kColumnInfo = {{
    {"Typ", "QO-W774"}, {"Nr", "65535"}, {"Soft", "65535"}, {"Baud", "230400"}, {"Adr.", "255"},
    {"Key", kTickMark}, {"Pokaż", "?"}, {"Pwr", kTickMark}, {"Tamper 1", kTickMark},
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

// The identify button: square, as high as the cells of its row (a push
// button would otherwise be at least as wide as a dialog button).
class IdentifyButton final : public QPushButton {
public:
    IdentifyButton(const QWidget& rowCell, QWidget* parent)
        : QPushButton(QStringLiteral("?"), parent), rowCell_(rowCell)
    {
        setAutoDefault(false);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override
    {
        const int side = rowCell_.sizeHint().height();
        return {qMax(side, fontMetrics().horizontalAdvance(text()) + side / 2), side};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    const QWidget& rowCell_;
};

} // namespace

ReaderGrid::ReaderGrid(QGridLayout& grid, QGroupBox& events)
    : QObject(&events), grid_(grid), events_(events)
{
    QWidget* parent = events.parentWidget();
    for (int row = 0; row < ReaderTable::kRows; ++row) {
        const QString name = QStringLiteral("%1").arg(row, 2, 10, QLatin1Char('0'));
        for (int c = 0; c < Cells::kColumns; ++c) {
            QWidget* cell = nullptr;
            if (c == Cells::Show) {
                auto* button = new IdentifyButton(*cells_[row][Cells::Type], parent);
                connect(button, &QPushButton::clicked, this, [this, row] { emit identifyClicked(row); });
                cell = button;
            } else {
                auto* edit = new ReaderCell(FromUtf8(kColumnInfo[c].widestText), parent);
                if (IsDataCell(c))
                    connect(edit, &ReaderCell::pressed, this, [this, row] { emit dataCellPressed(row); });
                SyncBold(*edit, AlwaysBold(c));
                cell = edit;
            }
            cell->setObjectName(QLatin1String(Cells::kNamePrefixes[c]) + name);
            cell->setAccessibleName(QStringLiteral("Czytnik %1: %2").arg(row + 1).arg(FromUtf8(kColumnInfo[c].spokenName)));
            cell->setEnabled(!EnabledAsRow(c));
            grid.addWidget(cell, kFirstReaderRow + row, GridColumn(c), Qt::AlignCenter);
            cells_[row][c] = cell;
        }
    }
    events.installEventFilter(this);
    FitEventsBox();
}

bool ReaderGrid::eventFilter(QObject* watched, QEvent* event)
{
    // The box's frame and title take more room in a larger font.
    if (watched == &events_ && event->type() == QEvent::ContentsRectChange)
        FitEventsBox();
    return QObject::eventFilter(watched, event);
}

void ReaderGrid::FitEventsBox()
{
    const QMargins frame = events_.contentsMargins();
    grid_.setRowMinimumHeight(0, frame.top());
    grid_.setColumnMinimumWidth(kEventsBoxLeftColumn, frame.left());
    grid_.setColumnMinimumWidth(kEventsBoxRightColumn, frame.right());
    grid_.setRowMinimumHeight(kEventsBoxBottomRow, frame.bottom());
}

void ReaderGrid::DrawRow(int row, const ReaderRowCells& cells, Colour rateColour)
{
    const QPalette system = QApplication::palette();
    for (int c = 0; c < Cells::kColumns; ++c) {
        QWidget& cell = *cells_[row][c];
        if (EnabledAsRow(c))
            cell.setEnabled(cells.enabled);
        if (c == Cells::Show)
            continue;
        auto& edit = static_cast<ReaderCell&>(cell);
        SyncText(edit, FromUtf8(cells.text[c]));
        SyncColour(edit, QPalette::Base, ToQColor(cells.background[c], system));
        if (BoldAsRow(c))
            SyncBold(edit, cells.bold);
    }
    SyncColour(*cells_[row][Cells::Addr], QPalette::Text, ToQColor(cells.addressColour, system));
    SyncColour(*cells_[row][Cells::Baud], QPalette::Text, ToQColor(rateColour, system));
}

} // namespace qozel
