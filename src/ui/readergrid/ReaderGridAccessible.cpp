#include "ui/readergrid/ReaderGridAccessible.h"

#include "ui/widgets/Utf8.h"
#include "ui/readergrid/ReaderColumns.h"
#include "ui/readergrid/ReaderGrid.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

namespace qozel {
namespace {

using namespace reader_columns;

constexpr int kCells = ReaderTable::kRows * Cells::kColumns;

// Columns whose cells mark what happened by a tick or a colour.
constexpr bool IsMarkColumn(int column)
{
    return column == Cells::Key || (column >= Cells::Pwr && column <= Cells::Tel);
}

QString ColumnName(int column)
{
    return FromUtf8(kInfo[static_cast<std::size_t>(column)].spokenName);
}

QAccessibleInterface* HeaderOf(const QAccessibleInterface* table, int column);

// A painted part of the table: no object, no children, read-only texts.
class GridPart : public QAccessibleInterface {
public:
    explicit GridPart(ReaderGrid& grid) : grid_(&grid) {}

    bool isValid() const override { return grid_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(grid_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

protected:
    QPointer<ReaderGrid> grid_;
};

// A column's header: its label's text, to be read with each cell of it.
class HeaderAccessible final : public GridPart {
public:
    HeaderAccessible(ReaderGrid& grid, int column) : GridPart(grid), column_(column) {}

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name ? ColumnName(column_) : QString();
    }
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QAccessible::State state() const override { return {}; }

private:
    int column_;
};

class CellAccessible final : public GridPart,
                             public QAccessibleTableCellInterface,
                             public QAccessibleActionInterface {
public:
    CellAccessible(ReaderGrid& grid, int row, int column) : GridPart(grid), row_(row), column_(column) {}

    QString text(QAccessible::Text kind) const override
    {
        if (!grid_)
            return {};
        switch (kind) {
        case QAccessible::Name:
        case QAccessible::Value:
            // What the cell shows; the column header says what it is.
            return column_ == Cells::Show ? QString::fromLatin1(kIdentifyText) : grid_->Look(row_, column_).text;
        case QAccessible::Description:
            // The cell's own name, prefix and two-digit row, as tools that
            // address the table's controls by name know it.
            return QStringLiteral("%1%2")
                .arg(QLatin1String(Cells::kNamePrefixes[static_cast<std::size_t>(column_)]))
                .arg(row_, 2, 10, QLatin1Char('0'));
        default:
            return {};
        }
    }

    QRect rect() const override
    {
        if (!grid_)
            return {};
        const QRect cell = grid_->CellRect(row_, column_);
        return {grid_->mapToGlobal(cell.topLeft()), cell.size()};
    }

    QAccessible::Role role() const override { return column_ == Cells::Show ? QAccessible::Button : QAccessible::Cell; }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!grid_)
            return state;
        const ReaderCellLook& look = grid_->Look(row_, column_);
        state.disabled = !look.enabled;
        state.focusable = true;
        state.focused = grid_->hasFocus() && grid_->CurrentCell() == ReaderGridGeometry::Cell{row_, column_};
        state.readOnly = column_ != Cells::Show;
        // The selected reader's cells and a lit mark are green.
        state.selectable = IsDataCell(column_);
        state.selected = IsDataCell(column_) && look.fill == Colour::Lime;
        state.checkable = IsMarkColumn(column_);
        state.checked = IsMarkColumn(column_) && (look.text == FromUtf8(kTickMark) || look.fill == Colour::Lime);
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override { return state().selected; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {HeaderOf(parent(), column_)}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    QStringList actionNames() const override
    {
        if (grid_ && EnabledAsRow(column_) && grid_->Look(row_, column_).enabled)
            return {pressAction()};
        return {};
    }
    void doAction(const QString& name) override
    {
        if (grid_ && name == pressAction())
            grid_->Press(row_, column_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    int row_;
    int column_;
};

// The table's own children (the column labels and the events box) come
// first, then the cells row by row.
class GridAccessible final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridAccessible(ReaderGrid& grid) : QAccessibleWidget(&grid, QAccessible::Table) {}
    ~GridAccessible() override
    {
        for (QAccessible::Id id : cellIds_)
            if (id != 0)
                QAccessible::deleteAccessibleInterface(id);
        for (QAccessible::Id id : headerIds_)
            if (id != 0)
                QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return QAccessibleWidget::childCount() + kCells; }

    QAccessibleInterface* child(int index) const override
    {
        const int widgets = QAccessibleWidget::childCount();
        if (index < widgets)
            return QAccessibleWidget::child(index);
        index -= widgets;
        return cellAt(index / Cells::kColumns, index % Cells::kColumns);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (auto* cell = dynamic_cast<const CellAccessible*>(child))
            return QAccessibleWidget::childCount() + cell->rowIndex() * Cells::kColumns + cell->columnIndex();
        return QAccessibleWidget::indexOfChild(child);
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        if (const auto cell = Grid().CellAt(Grid().mapFromGlobal(QPoint(x, y))))
            return cellAt(cell->row, cell->column);
        return QAccessibleWidget::childAt(x, y);
    }

    QAccessibleInterface* focusChild() const override
    {
        if (!Grid().hasFocus())
            return nullptr;
        return cellAt(Grid().CurrentCell().row, Grid().CurrentCell().column);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (row < 0 || row >= ReaderTable::kRows || column < 0 || column >= Cells::kColumns)
            return nullptr;
        QAccessible::Id& id = cellIds_[static_cast<std::size_t>(row * Cells::kColumns + column)];
        if (id == 0)
            id = QAccessible::registerAccessibleInterface(new CellAccessible(Grid(), row, column));
        return QAccessible::accessibleInterface(id);
    }
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QString columnDescription(int column) const override { return ColumnName(column); }

    QAccessibleInterface* headerAt(int column) const
    {
        QAccessible::Id& id = headerIds_[static_cast<std::size_t>(column)];
        if (id == 0)
            id = QAccessible::registerAccessibleInterface(new HeaderAccessible(Grid(), column));
        return QAccessible::accessibleInterface(id);
    }
    QString rowDescription(int row) const override { return QStringLiteral("Czytnik %1").arg(row + 1); }
    int columnCount() const override { return Cells::kColumns; }
    int rowCount() const override { return ReaderTable::kRows; }
    int selectedCellCount() const override { return static_cast<int>(selectedCells().size()); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> cells;
        for (int row : selectedRows())
            for (int column = 0; column < Cells::kDataCells; ++column)
                cells << cellAt(row, column);
        return cells;
    }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override
    {
        QList<int> rows;
        for (int row = 0; row < ReaderTable::kRows; ++row)
            if (isRowSelected(row))
                rows << row;
        return rows;
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override { return Grid().Look(row, Cells::Type).fill == Colour::Lime; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    ReaderGrid& Grid() const { return *static_cast<ReaderGrid*>(widget()); }

    // The cells' and headers' interfaces, made on first request; the cache owns them.
    mutable std::array<QAccessible::Id, kCells> cellIds_{};
    mutable std::array<QAccessible::Id, Cells::kColumns> headerIds_{};
};

QAccessibleInterface* HeaderOf(const QAccessibleInterface* table, int column)
{
    return static_cast<const GridAccessible*>(table)->headerAt(column);
}

QAccessibleInterface* MakeAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String(ReaderGrid::staticMetaObject.className()) && object != nullptr)
        return new GridAccessible(*static_cast<ReaderGrid*>(object));
    return nullptr;
}

} // namespace

void InstallReaderGridAccessibility()
{
    static const bool installed = (QAccessible::installFactory(MakeAccessible), true);
    Q_UNUSED(installed);
}

void NotifyReaderCellChanged(ReaderGrid& grid, int row, int column, const ReaderCellLook& before)
{
    if (!QAccessible::isActive())
        return;
    const ReaderCellLook& now = grid.Look(row, column);
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
    const int child = table->indexOfChild(table->tableInterface()->cellAt(row, column));
    if (now.text != before.text) {
        QAccessibleEvent event(&grid, QAccessible::NameChanged);
        event.setChild(child);
        QAccessible::updateAccessibility(&event);
    }
    QAccessible::State changed;
    changed.disabled = now.enabled != before.enabled;
    changed.selected = changed.checked = now.fill != before.fill || now.text != before.text;
    if (changed.disabled || changed.selected) {
        QAccessibleStateChangeEvent event(&grid, changed);
        event.setChild(child);
        QAccessible::updateAccessibility(&event);
    }
}

void NotifyReaderGridFocus(ReaderGrid& grid)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
    const ReaderGridGeometry::Cell current = grid.CurrentCell();
    QAccessibleEvent event(&grid, QAccessible::Focus);
    event.setChild(table->indexOfChild(table->tableInterface()->cellAt(current.row, current.column)));
    QAccessible::updateAccessibility(&event);
}

} // namespace qozel
