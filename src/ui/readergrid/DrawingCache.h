#pragma once

#include <QHash>
#include <QPixmap>
#include <QRect>
#include <QRgb>

#include <functional>

class QPainter;

namespace qozel {

// Drawings of the style kept for reuse: the style's panels are costly to
// draw, and most cells of a table look alike. The owner clears the cache
// whenever its style, palette or font changes.
class DrawingCache {
public:
    // Everything a drawing depends on besides the owner's style, palette and font.
    struct Key {
        int kind;
        QSize size;
        QRgb colour;
        int state;
        int colourGroup;
        friend bool operator==(const Key&, const Key&) = default;
    };

    // Paints at target what `draw` draws into a rect of target's size,
    // drawing it only the first time for the key and pixel ratio.
    void Draw(QPainter& painter, const QRect& target, const Key& key,
              const std::function<void(QPainter&, const QRect&)>& draw);
    void Clear() { drawings_.clear(); }

private:
    struct Entry {
        Key key;
        int ratioPercent;
        friend bool operator==(const Entry&, const Entry&) = default;
    };
    friend size_t qHash(const Entry& entry, size_t seed);

    QHash<Entry, QPixmap> drawings_;
};

} // namespace qozel
