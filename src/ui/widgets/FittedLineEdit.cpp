#include "ui/widgets/FittedLineEdit.h"

#include <QStyle>
#include <QStyleOptionFrame>

namespace qozel {
namespace {

// The inner margin QLineEdit keeps on either side of its text.
constexpr int kTextMargin = 2;

} // namespace

QSize FittedLineEdit::sizeHint() const
{
    const QMargins margins = textMargins() + contentsMargins();
    const int textWidth = fontMetrics().horizontalAdvance(QString(maxLength(), QLatin1Char('0'))) +
                          2 * kTextMargin + margins.left() + margins.right() + 1;  // + the cursor
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QSize contents(textWidth, QLineEdit::sizeHint().height());
    return {style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, this).width(), contents.height()};
}

QSize FittedLineEdit::minimumSizeHint() const
{
    return {sizeHint().width(), QLineEdit::minimumSizeHint().height()};
}

} // namespace qozel
