// The painted reader table on its own: which cells a drawing repaints, which
// presses it reports, that its columns hold their widest texts in bold under
// their labels at any font, and what assistive technology finds in it.
#include "QtTestSupport.h"

#include "ui/widgets/WindowFont.h"
#include "ui/readergrid/ReaderGrid.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

#include <functional>
#include <vector>

namespace qozel::test {
namespace {

using Cells = ReaderRowCells;

constexpr int kListedRow = 3;  // enabled, showing a reader
constexpr int kEmptyRow = 5;   // disabled

Cells ListedRow()
{
    Cells cells;
    cells.text = {"QO-V70", "257", "2", "9600", "1", kTickMark, "", "", "", "", "", "", "", ""};
    cells.bold = true;
    cells.enabled = true;
    return cells;
}

// The regions the grid itself is asked to paint.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(QWidget& widget) : widget_(widget) { widget.installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &widget_ && event->type() == QEvent::Paint)
            regions.push_back(static_cast<QPaintEvent*>(event)->region());
        return false;
    }
    std::vector<QRegion> regions;

private:
    QWidget& widget_;
};

class ReaderGridTest : public ::testing::Test {
protected:
    ReaderGridTest()
    {
        grid.setFont(WindowFont(8));
        grid.DrawRow(kListedRow, ListedRow(), Colour::WindowText);
        // Its full size, whatever the screen's: cells out of view are not painted.
        grid.resize(grid.sizeHint());
        grid.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    ReaderGrid grid;
};

struct Change {
    const char* what;
    std::function<void(Cells&, Colour&)> change;
    std::vector<int> repainted;  // columns
};

TEST_F(ReaderGridTest, RepaintsOnlyTheCellsADrawingChanges)
{
    const Change changes[] = {
        {"nothing", [](Cells&, Colour&) {}, {}},
        {"a text", [](Cells& c, Colour&) { c.text[Cells::Pin] = "1234"; }, {Cells::Pin}},
        {"a background", [](Cells& c, Colour&) { c.background[Cells::Uid] = Colour::Lime; }, {Cells::Uid}},
        {"the address colour", [](Cells& c, Colour&) { c.addressColour = Colour::Red; }, {Cells::Addr}},
        {"the rate colour", [](Cells&, Colour& rate) { rate = Colour::Red; }, {Cells::Baud}},
        {"the style", [](Cells& c, Colour&) { c.bold = false; },
         {Cells::Type, Cells::Nr, Cells::Soft, Cells::Baud, Cells::Key}},
        {"the enabling", [](Cells& c, Colour&) { c.enabled = false; },
         {Cells::Type, Cells::Nr, Cells::Soft, Cells::Baud, Cells::Addr, Cells::Key, Cells::Show}},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        Cells cells = ListedRow();
        Colour rate = Colour::WindowText;
        change.change(cells, rate);
        grid.DrawRow(kListedRow, ListedRow(), Colour::WindowText);
        QApplication::processEvents();
        PaintWatch watch(grid);
        grid.DrawRow(kListedRow, cells, rate);
        QApplication::processEvents();
        QRegion expected;
        for (int column : change.repainted)
            expected += grid.CellRect(kListedRow, column);
        QRegion painted;
        for (const QRegion& region : watch.regions)
            painted += region;
        EXPECT_EQ(painted, expected);
    }
}

TEST_F(ReaderGridTest, ARowNotYetDrawnIsBoldAndEnabledAsItsColumnsSay)
{
    // The address and the event marks are bold; the event cells and the PIN
    // do not follow the row's enabling; the text takes the palette's colour.
    const bool bold[Cells::kColumns] = {false, false, false, false, true, false, false,
                                        true, true, true, true, true, true, false};
    const bool enabled[Cells::kColumns] = {false, false, false, false, false, false, false,
                                           true, true, true, true, true, true, true};
    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(&grid)->tableInterface();
    for (int column = 0; column < Cells::kColumns; ++column) {
        SCOPED_TRACE(column);
        const ReaderCellLook& look = grid.Look(kEmptyRow, column);
        EXPECT_EQ(look.bold, bold[column]);
        EXPECT_EQ(look.enabled, enabled[column]);
        EXPECT_FALSE(look.textColour.isValid());
        EXPECT_EQ(table->cellAt(kEmptyRow, column)->state().disabled, !enabled[column]);
    }
}

struct Presses {
    const char* what;
    int row;
    int column;
    int dataPresses;
    int identifyClicks;
};

TEST_F(ReaderGridTest, ReportsPressesOnlyOnEnabledDataCellsAndIdentifyButtons)
{
    const Presses cases[] = {
        {"data cell of a listed reader", kListedRow, Cells::Soft, 1, 0},
        {"data cell of an empty row", kEmptyRow, Cells::Soft, 0, 0},
        {"event cell", kListedRow, Cells::Uid, 0, 0},
        {"identify button of a listed reader", kListedRow, Cells::Show, 0, 1},
        {"identify button of an empty row", kEmptyRow, Cells::Show, 0, 0},
    };
    for (const Presses& press : cases) {
        SCOPED_TRACE(press.what);
        QSignalSpy data(&grid, &ReaderGrid::dataCellPressed);
        QSignalSpy identify(&grid, &ReaderGrid::identifyClicked);
        QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(press.row, press.column).center());
        // The keyboard presses the clicked cell again.
        QTest::keyClick(&grid, Qt::Key_Space);
        ASSERT_EQ(data.count(), 2 * press.dataPresses);
        ASSERT_EQ(identify.count(), 2 * press.identifyClicks);
        for (const auto& signal : data + identify)
            EXPECT_EQ(signal.at(0).toInt(), press.row);
    }
}

TEST_F(ReaderGridTest, IdentifyButtonLetGoElsewhereDoesNotClick)
{
    QSignalSpy identify(&grid, &ReaderGrid::identifyClicked);
    QTest::mousePress(&grid, Qt::LeftButton, {}, grid.CellRect(kListedRow, Cells::Show).center());
    QTest::mouseRelease(&grid, Qt::LeftButton, {}, grid.CellRect(kListedRow, Cells::Pwr).center());
    EXPECT_EQ(identify.count(), 0);
}

TEST_F(ReaderGridTest, ArrowsMoveTheCurrentCellAndStopAtTheEdges)
{
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Up);
    QTest::keyClick(&grid, Qt::Key_Left);
    EXPECT_EQ(grid.CurrentCell(), (ReaderGridGeometry::Cell{0, 0}));
    for (int i = 0; i < 2 * ReaderTable::kRows; ++i) {
        QTest::keyClick(&grid, Qt::Key_Down);
        QTest::keyClick(&grid, Qt::Key_Right);
    }
    EXPECT_EQ(grid.CurrentCell(), (ReaderGridGeometry::Cell{ReaderTable::kRows - 1, Cells::Pin}));
}

TEST(ReaderGridGeometryTest, FindsTheCellUnderAPointAndNoneBetweenCells)
{
    std::array<QSize, Cells::kColumns> sizes;
    sizes.fill(QSize(20, 10));
    const ReaderGridGeometry geometry(sizes, {}, QMargins(3, 12, 4, 5));
    using Cell = std::optional<ReaderGridGeometry::Cell>;
    const struct {
        QPoint point;
        Cell cell;
    } cases[] = {
        {geometry.CellRect(0, Cells::Type).topLeft(), ReaderGridGeometry::Cell{0, Cells::Type}},
        {geometry.CellRect(31, Cells::Pin).bottomRight(), ReaderGridGeometry::Cell{31, Cells::Pin}},
        {geometry.CellRect(7, Cells::Pwr).center(), ReaderGridGeometry::Cell{7, Cells::Pwr}},
        {geometry.CellRect(7, Cells::Show).topRight() + QPoint(1, 0), std::nullopt},
        {geometry.CellRect(7, Cells::Show).bottomLeft() + QPoint(0, 1), std::nullopt},
        {QPoint(0, 0), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(geometry.CellAt(c.point), c.cell) << c.point.x() << "," << c.point.y();
}

TEST(ReaderGridGeometryTest, ALabelWiderThanItsColumnsWidensThemEvenly)
{
    std::array<QSize, Cells::kColumns> sizes;
    sizes.fill(QSize(20, 10));
    const ReaderGridGeometry::Label tamper{Cells::Tamp1, Cells::Tamp2, 0, 0, QSize(100, 15)};
    const ReaderGridGeometry::Label type{Cells::Type, Cells::Type, 1, 1, QSize(5, 15)};
    const ReaderGridGeometry geometry(sizes, {tamper, type}, QMargins());
    EXPECT_EQ(geometry.LabelRect(tamper).width(), 100);
    EXPECT_EQ(geometry.CellRect(0, Cells::Tamp1).center().x() - geometry.LabelRect(tamper).left(),
              geometry.LabelRect(tamper).right() - geometry.CellRect(0, Cells::Tamp2).center().x());
    EXPECT_EQ(geometry.LabelRect(type).width(), 20);
    EXPECT_GE(geometry.CellRect(0, Cells::Type).top(), geometry.LabelRect(type).bottom());
}

struct ColumnLabel {
    const char* name;
    int column;
};

const ColumnLabel kColumnLabels[] = {
    {"TabTypeLbl", Cells::Type}, {"TabNrLbl", Cells::Nr}, {"TabSoftLbl", Cells::Soft},
    {"TabBaudLbl", Cells::Baud}, {"TabAddrLbl", Cells::Addr}, {"TabKeyLbl", Cells::Key},
    {"TabShowLbl", Cells::Show}, {"TabPwrLbl", Cells::Pwr}, {"Tab1Lbl", Cells::Tamp1},
    {"Tab2Lbl", Cells::Tamp2}, {"TabUidLbl", Cells::Uid}, {"TabDataLbl", Cells::Data},
    {"TabTelLbl", Cells::Tel}, {"TabPinLbl", Cells::Pin},
};

TEST_F(ReaderGridTest, ColumnsHoldTheirWidestTextsInBoldUnderTheirLabelsAtAnyFont)
{
    Cells widest = ListedRow();
    widest.text = {"QO-W774", "65535", "65535", "230400", "255", kTickMark, "", kTickMark, kTickMark,
                   kTickMark, kTickMark, kTickMark, kTickMark, "88888888"};
    grid.DrawRow(kListedRow, widest, Colour::WindowText);
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        grid.setFont(WindowFont(8 * scale));
        QFont bold = grid.font();
        bold.setBold(true);
        const int frame = grid.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        for (int column = 0; column < Cells::kColumns; ++column)
            EXPECT_LE(QFontMetrics(bold).horizontalAdvance(grid.Look(kListedRow, column).text),
                      grid.CellRect(kListedRow, column).width() - 2 * frame)
                << column;
        for (const ColumnLabel& label : kColumnLabels) {
            const QRect placed = grid.findChild<QLabel*>(QString::fromLatin1(label.name))->geometry();
            EXPECT_LE(qAbs(placed.center().x() - grid.CellRect(0, label.column).center().x()), 1) << label.name;
            EXPECT_LT(placed.bottom(), grid.CellRect(0, label.column).top()) << label.name;
        }
        const QRect events = grid.findChild<QWidget*>(QStringLiteral("GroupBox2"))->geometry();
        EXPECT_FALSE(events.intersects(grid.CellRect(kListedRow, Cells::Show)));
        EXPECT_TRUE(events.contains(grid.CellRect(0, Cells::Pwr)));
        EXPECT_TRUE(events.contains(grid.CellRect(ReaderTable::kRows - 1, Cells::Pin)));
    }
}

TEST_F(ReaderGridTest, AssistiveTechnologyReadsWhatCellsShowUnderTheirHeadersAndPressesButtons)
{
    // The reader selected, a card's UID just read.
    Cells cells = ListedRow();
    for (int column = 0; column < Cells::kDataCells; ++column)
        cells.background[static_cast<std::size_t>(column)] = Colour::Lime;
    cells.text[Cells::Uid] = kTickMark;
    cells.background[Cells::Uid] = Colour::Lime;
    grid.DrawRow(kListedRow, cells, Colour::WindowText);

    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(&grid)->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), ReaderTable::kRows);
    EXPECT_EQ(table->columnCount(), Cells::kColumns);
    const QString shown[Cells::kColumns] = {"QO-V70", "257", "2", "9600", "1", kTickMark, "?",
                                            "", "", "", kTickMark, "", "", ""};
    const QString headers[Cells::kColumns] = {"Typ", "Nr", "Soft", "Baud", "Adr.", "Key", "Pokaż",
                                              "Pwr", "Tamper 1", "Tamper 2", "UID", "Dane", "RoRe", "PIN"};
    for (int column = 0; column < Cells::kColumns; ++column) {
        SCOPED_TRACE(column);
        QAccessibleInterface* cell = table->cellAt(kListedRow, column);
        EXPECT_EQ(cell->text(QAccessible::Name), shown[column]);
        const QList<QAccessibleInterface*> header = cell->tableCellInterface()->columnHeaderCells();
        ASSERT_EQ(header.size(), 1);
        EXPECT_EQ(header[0]->text(QAccessible::Name), headers[column]);
        EXPECT_EQ(header[0]->role(), QAccessible::ColumnHeader);
        EXPECT_EQ(cell->state().selected, column < Cells::kDataCells);
        EXPECT_EQ(cell->state().checked, column == Cells::Key || column == Cells::Uid);
    }
    EXPECT_EQ(table->selectedRows(), QList<int>{kListedRow});
    EXPECT_EQ(table->cellAt(kListedRow, Cells::Nr)->text(QAccessible::Description), "NrEdit03");
    EXPECT_EQ(table->cellAt(ReaderTable::kRows - 1, Cells::Show)->text(QAccessible::Description), "ShowBtn31");
    EXPECT_TRUE(table->cellAt(kEmptyRow, Cells::Nr)->state().disabled);
    EXPECT_TRUE(table->cellAt(kEmptyRow, Cells::Show)->actionInterface()->actionNames().isEmpty());

    QSignalSpy identify(&grid, &ReaderGrid::identifyClicked);
    QAccessibleInterface* button = table->cellAt(kListedRow, Cells::Show);
    EXPECT_EQ(button->role(), QAccessible::Button);
    button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_EQ(identify.count(), 1);
    EXPECT_EQ(identify.at(0).at(0).toInt(), kListedRow);
}

} // namespace
} // namespace qozel::test
