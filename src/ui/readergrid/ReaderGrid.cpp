#include "ui/readergrid/ReaderGrid.h"

#include "ui/widgets/Colours.h"
#include "ui/widgets/Utf8.h"
#include "ui/readergrid/ReaderColumns.h"
#include "ui/readergrid/ReaderGridAccessible.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>

namespace qozel {
namespace {

using namespace reader_columns;

// The margins a line edit keeps around its text.
constexpr int kTextMarginX = 2;
constexpr int kTextMarginY = 1;

// The options a read-only line edit draws its panel with.
QStyleOptionFrame FieldOption(const QWidget& grid)
{
    QStyleOptionFrame option;
    option.initFrom(&grid);
    option.lineWidth = grid.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &grid);
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken | QStyle::State_ReadOnly;
    option.features = QStyleOptionFrame::None;
    return option;
}

// The state a cell is drawn in: enabled or not, and whether it has the focus.
void SetCellState(QStyleOption& option, bool enabled, bool focused)
{
    option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    if (focused)
        option.state |= QStyle::State_HasFocus;
    if (!enabled) {
        option.state &= ~QStyle::State_Enabled;
        option.palette.setCurrentColorGroup(QPalette::Disabled);
    }
}

enum DrawingKind { FieldPanel, IdentifyButton };

DrawingCache::Key KeyOf(DrawingKind kind, const QStyleOption& option, QRgb colour)
{
    return {kind, option.rect.size(), colour, static_cast<int>(option.state), option.palette.currentColorGroup()};
}

QFont Bold(QFont font)
{
    font.setBold(true);
    return font;
}

} // namespace

ReaderGrid::ReaderGrid(QWidget* parent) : QWidget(parent), header_(*this)
{
    InstallReaderGridAccessibility();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Czytniki"));
    const QColor window = ToQColor(Colour::Window, QApplication::palette());
    for (auto& row : looks_) {
        for (int c = 0; c < ReaderRowCells::kColumns; ++c) {
            // By name, so that a field added to the look cannot shift them.
            ReaderCellLook& look = row[static_cast<std::size_t>(c)];
            look.background = window;
            look.bold = AlwaysBold(c);
            look.enabled = !EnabledAsRow(c);
        }
    }
    // The box's frame and title take more room in a larger font.
    header_.Events().installEventFilter(this);
    Relayout();
}

void ReaderGrid::DrawRow(int row, const ReaderRowCells& cells, Colour rateColour)
{
    const QPalette system = QApplication::palette();
    for (int c = 0; c < ReaderRowCells::kColumns; ++c) {
        const auto column = static_cast<std::size_t>(c);
        ReaderCellLook look = Look(row, c);
        if (EnabledAsRow(c))
            look.enabled = cells.enabled;
        if (c != ReaderRowCells::Show) {
            look.text = FromUtf8(cells.text[column]);
            look.fill = cells.background[column];
            look.background = ToQColor(look.fill, system);
        }
        if (BoldAsRow(c))
            look.bold = cells.bold;
        if (c == ReaderRowCells::Addr)
            look.textColour = ToQColor(cells.addressColour, system);
        if (c == ReaderRowCells::Baud)
            look.textColour = ToQColor(rateColour, system);
        SetLook(row, c, look);
    }
}

void ReaderGrid::SetLook(int row, int column, const ReaderCellLook& look)
{
    ReaderCellLook& shown = looks_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    if (shown == look)
        return;
    const ReaderCellLook before = shown;
    shown = look;
    UpdateCell({row, column});
    NotifyReaderCellChanged(*this, row, column, before);
}

void ReaderGrid::SetHeaderEnabled(bool enabled)
{
    header_.SetEnabled(enabled);
}

const ReaderCellLook& ReaderGrid::Look(int row, int column) const
{
    return looks_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

QRect ReaderGrid::CellRect(int row, int column) const
{
    return geometry_.CellRect(row, column);
}

void ReaderGrid::UpdateCell(ReaderGridGeometry::Cell cell)
{
    update(CellRect(cell.row, cell.column));
}

void ReaderGrid::Press(int row, int column)
{
    if (!EnabledAsRow(column) || !Look(row, column).enabled)
        return;
    if (column == ReaderRowCells::Show)
        emit identifyClicked(row);
    else
        emit dataCellPressed(row);
}

QSize ReaderGrid::FieldSize(int column) const
{
    // As a line edit sizes itself, with room for the column's widest text in bold.
    const QFontMetrics metrics = fontMetrics();
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    const QSize text(QFontMetrics(Bold(font())).horizontalAdvance(FromUtf8(kInfo[static_cast<std::size_t>(column)].widestText)) +
                         2 * kTextMarginX,
                     qMax(metrics.height(), qMax(14, iconSize - 2)) + 2 * kTextMarginY);
    const QStyleOptionFrame option = FieldOption(*this);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, this);
}

QSize ReaderGrid::ButtonSize(QSize field) const
{
    // Square, as high as the cells of its row (a push button would otherwise
    // be at least as wide as a dialog button).
    const int side = field.height();
    return {qMax(side, fontMetrics().horizontalAdvance(QLatin1String(kIdentifyText)) + side / 2), side};
}

void ReaderGrid::Relayout()
{
    std::array<QSize, ReaderRowCells::kColumns> sizes{};
    for (int c = 0; c < ReaderRowCells::kColumns; ++c)
        if (c != ReaderRowCells::Show)
            sizes[static_cast<std::size_t>(c)] = FieldSize(c);
    sizes[ReaderRowCells::Show] = ButtonSize(sizes[ReaderRowCells::Type]);
    geometry_ = ReaderGridGeometry(sizes, header_.Labels(), header_.EventsFrame());
    drawings_.Clear();
    header_.Place(geometry_);
    updateGeometry();
    update();
}

QSize ReaderGrid::sizeHint() const
{
    return geometry_.Size();
}

QSize ReaderGrid::minimumSizeHint() const
{
    return sizeHint();
}

void ReaderGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    header_.PaintEvents(painter);
    for (int row = 0; row < ReaderTable::kRows; ++row) {
        for (int c = 0; c < ReaderRowCells::kColumns; ++c) {
            if (!event->region().intersects(CellRect(row, c)))
                continue;
            if (c == ReaderRowCells::Show)
                PaintButton(painter, row);
            else
                PaintField(painter, row, c);
        }
    }
}

void ReaderGrid::PaintField(QPainter& painter, int row, int column) const
{
    const ReaderCellLook& look = Look(row, column);
    QStyleOptionFrame option = FieldOption(*this);
    option.rect = CellRect(row, column);
    SetCellState(option, look.enabled, hasFocus() && current_ == ReaderGridGeometry::Cell{row, column});
    option.palette.setColor(QPalette::Base, look.background);
    if (look.textColour.isValid())
        option.palette.setColor(QPalette::Text, look.textColour);
    drawings_.Draw(painter, option.rect, KeyOf(FieldPanel, option, look.background.rgba()),
                   [this, option](QPainter& onPixmap, const QRect& rect) mutable {
                       option.rect = rect;
                       style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &onPixmap, this);
                   });

    if (look.text.isEmpty())
        return;
    // Centred as a line edit centres its text.
    const QFont font = look.bold ? Bold(this->font()) : this->font();
    const QFontMetrics metrics(font);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const QRect line(contents.x() + kTextMarginX, contents.y() + (contents.height() - metrics.height() + 1) / 2,
                     contents.width() - 2 * kTextMarginX, metrics.height());
    painter.setFont(font);
    painter.setPen(option.palette.color(QPalette::Text));
    painter.drawText(line, Qt::AlignCenter, look.text);
}

void ReaderGrid::PaintButton(QPainter& painter, int row) const
{
    QStyleOptionButton option;
    option.initFrom(this);
    option.rect = CellRect(row, ReaderRowCells::Show);
    option.text = QLatin1String(kIdentifyText);
    option.features = QStyleOptionButton::None;
    SetCellState(option, Look(row, ReaderRowCells::Show).enabled,
                 hasFocus() && current_ == ReaderGridGeometry::Cell{row, ReaderRowCells::Show});
    option.state |= pressedButtonRow_ == row ? QStyle::State_Sunken : QStyle::State_Raised;
    painter.setFont(font());
    drawings_.Draw(painter, option.rect, KeyOf(IdentifyButton, option, 0),
                   [this, option](QPainter& onPixmap, const QRect& rect) mutable {
                       option.rect = rect;
                       style()->drawControl(QStyle::CE_PushButton, &option, &onPixmap, this);
                   });
}

void ReaderGrid::mousePressEvent(QMouseEvent* event)
{
    const auto cell = geometry_.CellAt(event->position().toPoint());
    if (!cell) {
        QWidget::mousePressEvent(event);
        return;
    }
    UpdateCell(current_);
    current_ = *cell;
    UpdateCell(current_);
    NotifyReaderGridFocus(*this);
    if (cell->column != ReaderRowCells::Show) {
        Press(cell->row, cell->column);
    } else if (event->button() == Qt::LeftButton && Look(cell->row, cell->column).enabled) {
        // A button acts when it is let go over it.
        pressedButtonRow_ = cell->row;
        UpdateCell(*cell);
    }
}

void ReaderGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (!pressedButtonRow_ || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const int row = *pressedButtonRow_;
    pressedButtonRow_.reset();
    UpdateCell({row, ReaderRowCells::Show});
    if (geometry_.CellAt(event->position().toPoint()) == ReaderGridGeometry::Cell{row, ReaderRowCells::Show})
        Press(row, ReaderRowCells::Show);
}

void ReaderGrid::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up: MoveCurrent(-1, 0); break;
    case Qt::Key_Down: MoveCurrent(1, 0); break;
    case Qt::Key_Left: MoveCurrent(0, -1); break;
    case Qt::Key_Right: MoveCurrent(0, 1); break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: Press(current_.row, current_.column); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void ReaderGrid::MoveCurrent(int rows, int columns)
{
    UpdateCell(current_);
    current_.row = qBound(0, current_.row + rows, ReaderTable::kRows - 1);
    current_.column = qBound(0, current_.column + columns, ReaderRowCells::kColumns - 1);
    UpdateCell(current_);
    NotifyReaderGridFocus(*this);
}

void ReaderGrid::focusInEvent(QFocusEvent* event)
{
    UpdateCell(current_);
    QWidget::focusInEvent(event);
}

void ReaderGrid::focusOutEvent(QFocusEvent* event)
{
    UpdateCell(current_);
    QWidget::focusOutEvent(event);
}

void ReaderGrid::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        drawings_.Clear();
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        Relayout();
    QWidget::changeEvent(event);
}

bool ReaderGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &header_.Events() && event->type() == QEvent::ContentsRectChange)
        Relayout();
    return QWidget::eventFilter(watched, event);
}

} // namespace qozel
