#pragma once

#include "ui/readergrid/ReaderGridGeometry.h"

#include <QMargins>

#include <vector>

class QGroupBox;
class QLabel;
class QPainter;
class QWidget;

namespace qozel {

class EventsBox;

// The column labels of the reader table and the "events" box drawn around
// the event columns: child widgets of the table, which places them. The box
// is drawn by the table beneath its cells, which its translucent frame
// would otherwise dim.
class ReaderGridHeader {
public:
    explicit ReaderGridHeader(QWidget& table);

    // The labels' spans with the sizes they ask for now.
    std::vector<ReaderGridGeometry::Label> Labels() const;
    QMargins EventsFrame() const;
    QGroupBox& Events();
    void PaintEvents(QPainter& painter) const;
    void Place(const ReaderGridGeometry& geometry);
    void SetEnabled(bool enabled);

private:
    EventsBox* events_;
    std::vector<QLabel*> labels_;
};

} // namespace qozel
