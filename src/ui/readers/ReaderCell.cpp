#include "ui/readers/ReaderCell.h"

#include <QMouseEvent>

namespace qozel {

ReaderCell::ReaderCell(QString widestText, QWidget* parent)
    : QLineEdit(parent), widestText_(std::move(widestText))
{
    setReadOnly(true);
    setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ReaderCell::sizeHint() const
{
    // QLineEdit makes room for 17 'x'; the cell needs room for its text.
    QFont bold = font();
    bold.setBold(true);
    QSize hint = QLineEdit::sizeHint();
    hint.rwidth() += QFontMetrics(bold).horizontalAdvance(widestText_) -
                     17 * fontMetrics().horizontalAdvance(QLatin1Char('x'));
    return hint;
}

QSize ReaderCell::minimumSizeHint() const
{
    return sizeHint();
}

void ReaderCell::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit pressed();
}

} // namespace qozel
