#include "ui/readergrid/DrawingCache.h"

#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace qozel {

size_t qHash(const DrawingCache::Entry& entry, size_t seed)
{
    const DrawingCache::Key& key = entry.key;
    return qHashMulti(seed, key.kind, key.size.width(), key.size.height(), key.colour, key.state, key.colourGroup,
                      entry.ratioPercent);
}

void DrawingCache::Draw(QPainter& painter, const QRect& target, const Key& key,
                        const std::function<void(QPainter&, const QRect&)>& draw)
{
    const qreal ratio = painter.device()->devicePixelRatioF();
    const Entry entry{key, static_cast<int>(std::lround(ratio * 100))};
    auto found = drawings_.constFind(entry);
    if (found == drawings_.constEnd()) {
        QPixmap pixmap(target.size() * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter onPixmap(&pixmap);
        onPixmap.setFont(painter.font());
        draw(onPixmap, QRect(QPoint(), target.size()));
        onPixmap.end();
        found = drawings_.insert(entry, pixmap);
    }
    painter.drawPixmap(target.topLeft(), *found);
}

} // namespace qozel
