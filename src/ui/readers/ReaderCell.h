#pragma once

#include <QLineEdit>

namespace qozel {

// One read-only cell of the reader table. It is as wide as its column's
// widest expected text in bold, whatever the font, and reports a mouse
// press instead of starting a selection (a disabled cell gets no press).
class ReaderCell final : public QLineEdit {
    Q_OBJECT
public:
    ReaderCell(QString widestText, QWidget* parent);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString widestText_;
};

} // namespace qozel
