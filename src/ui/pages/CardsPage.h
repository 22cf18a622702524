#pragma once

#include "app/WindowView.h"
#include "ui/pages/DevicePaneView.h"
#include "ui/widgets/OutputRow.h"

#include <QWidget>

#include <array>
#include <memory>

namespace Ui {
class CardsPage;
}

namespace qozel {

class CoreGate;
class PollCycle;
struct CardsTabFields;

// The Cards tab: the programmer's pane with programming and reading cards,
// and the keyboard reader's pane with its output configuration. It draws the
// cycle's Cards tab model and hands the user's edits and clicks to it.
class CardsPage final : public QWidget {
    Q_OBJECT
public:
    CardsPage(PollCycle& cycle, CoreGate& gate, QWidget* parent);
    ~CardsPage() override;

    // Draws what the model changed since the last drawing, then moves the
    // focus as the model asks.
    void Sync();
    // Runs the small success bar of `bar` once.
    void Animate(WindowView::SuccessBar bar);

private:
    void SetUpControls();
    void ConnectEdits();
    void ConnectOutputRows();
    void Draw(const CardsTabFields& fields);
    void ApplyFocusRequest();

    PollCycle& cycle_;
    CoreGate& gate_;
    std::unique_ptr<Ui::CardsPage> ui_;
    DevicePaneView programmerPane_;
    DevicePaneView readerPane_;
    std::array<OutputRow, 4> outputRows_;
};

} // namespace qozel
