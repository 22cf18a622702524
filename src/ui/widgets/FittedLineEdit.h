#pragma once

#include <QLineEdit>

namespace qozel {

// A line edit at least as wide as its maximum length in digits of its own
// font, so that a key, a grain half or a signature shows whole at any font
// size.
class FittedLineEdit final : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};

} // namespace qozel
