#include "ui/readergrid/ReaderGridHeader.h"

#include "ui/widgets/Utf8.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionGroupBox>

namespace qozel {

// A group box that leaves its drawing to the table it lies on.
class EventsBox final : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

    void PaintOnto(QPainter& painter) const
    {
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        painter.save();
        painter.translate(pos());
        painter.setFont(font());
        style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
        painter.restore();
    }

protected:
    void paintEvent(QPaintEvent*) override {}
};

namespace {

using Cells = ReaderRowCells;

struct LabelInfo {
    const char* objectName;
    const char* text;
    int firstColumn;
    int lastColumn;
    int firstRow;  // 0 upper, 1 lower header row
    int lastRow;
};

constexpr LabelInfo kLabels[] = {
    {"TabRdrLbl", "Czytniki", Cells::Type, Cells::Key, 0, 0},
    {"TabTypeLbl", "Typ", Cells::Type, Cells::Type, 1, 1},
    {"TabNrLbl", "Nr", Cells::Nr, Cells::Nr, 1, 1},
    {"TabSoftLbl", "Soft", Cells::Soft, Cells::Soft, 1, 1},
    {"TabBaudLbl", "Baud", Cells::Baud, Cells::Baud, 1, 1},
    {"TabAddrLbl", "Adr.", Cells::Addr, Cells::Addr, 1, 1},
    {"TabKeyLbl", "Key", Cells::Key, Cells::Key, 1, 1},
    {"TabShowLbl", "Pokaż", Cells::Show, Cells::Show, 1, 1},
    {"TabPwrLbl", "Pwr", Cells::Pwr, Cells::Pwr, 0, 1},
    {"TabTampLbl", "Tamper", Cells::Tamp1, Cells::Tamp2, 0, 0},
    {"Tab1Lbl", "1", Cells::Tamp1, Cells::Tamp1, 1, 1},
    {"Tab2Lbl", "2", Cells::Tamp2, Cells::Tamp2, 1, 1},
    {"TabKartLbl", "Karty", Cells::Uid, Cells::Data, 0, 0},
    {"TabUidLbl", "UID", Cells::Uid, Cells::Uid, 1, 1},
    {"TabDataLbl", "Dane", Cells::Data, Cells::Data, 1, 1},
    {"TabTelLbl", "RoRe", Cells::Tel, Cells::Tel, 0, 1},
    {"TabPinLbl", "PIN", Cells::Pin, Cells::Pin, 0, 1},
};

ReaderGridGeometry::Label Span(const LabelInfo& info, QSize hint)
{
    return {info.firstColumn, info.lastColumn, info.firstRow, info.lastRow, hint};
}

} // namespace

ReaderGridHeader::ReaderGridHeader(QWidget& table)
    : events_(new EventsBox(QStringLiteral(" Zdarzenia "), &table))
{
    events_->setObjectName(QStringLiteral("GroupBox2"));
    // Only its frame and title are drawn; the cells inside take the presses.
    events_->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (const LabelInfo& info : kLabels) {
        auto* label = new QLabel(FromUtf8(info.text), &table);
        label->setObjectName(QLatin1String(info.objectName));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignCenter);
        labels_.push_back(label);
    }
}

std::vector<ReaderGridGeometry::Label> ReaderGridHeader::Labels() const
{
    std::vector<ReaderGridGeometry::Label> spans;
    for (std::size_t i = 0; i < labels_.size(); ++i)
        spans.push_back(Span(kLabels[i], labels_[i]->sizeHint()));
    return spans;
}

QGroupBox& ReaderGridHeader::Events()
{
    return *events_;
}

void ReaderGridHeader::PaintEvents(QPainter& painter) const
{
    events_->PaintOnto(painter);
}

QMargins ReaderGridHeader::EventsFrame() const
{
    return events_->contentsMargins();
}

void ReaderGridHeader::Place(const ReaderGridGeometry& geometry)
{
    for (std::size_t i = 0; i < labels_.size(); ++i)
        labels_[i]->setGeometry(geometry.LabelRect(Span(kLabels[i], {})));
    events_->setGeometry(geometry.EventsBoxRect());
}

void ReaderGridHeader::SetEnabled(bool enabled)
{
    for (QLabel* label : labels_)
        label->setEnabled(enabled);
}

} // namespace qozel
