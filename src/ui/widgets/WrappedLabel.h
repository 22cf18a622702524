#pragma once

#include <QFont>
#include <QLabel>
#include <QMargins>
#include <QString>

#include <utility>
#include <vector>

namespace qozel {

// A word-wrapped label that remembers its heights for the last widths asked
// while its text and all else that shapes its lines stay the same. While a
// window or page sizes itself, its layouts ask a wrapped label for its height
// dozens of times at a handful of widths, and QLabel lays the whole text out
// for each answer.
class WrappedLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    int heightForWidth(int width) const override;

private:
    // Everything but the width that decides where the lines break.
    struct Shape {
        QString text;
        QFont font;
        QMargins margins;
        int margin = 0;
        int indent = 0;
        Qt::TextFormat format = Qt::AutoText;
        bool wrap = false;

        bool operator==(const Shape&) const = default;
    };
    Shape CurrentShape() const;

    // Enough for the widths one sizing of a page asks about.
    static constexpr std::size_t kRemembered = 16;
    mutable Shape shape_;
    mutable std::vector<std::pair<int, int>> heights_;  // width and height, the oldest first
};

} // namespace qozel
