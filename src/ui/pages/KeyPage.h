#pragma once

#include "ui/pages/DevicePaneView.h"

#include <QWidget>

#include <memory>

namespace Ui {
class KeyPage;
}

namespace qozel {

class CoreGate;
class PollCycle;
struct KeyTabFields;

// The Installation key tab: the Arkan's and the programmer's panes, the
// backup card, generating the master key and the grain field the user
// clicks into. It draws the cycle's key tab model and hands the user's
// edits, clicks and grain clicks to it.
class KeyPage final : public QWidget {
    Q_OBJECT
public:
    KeyPage(PollCycle& cycle, CoreGate& gate, QWidget* parent);
    ~KeyPage() override;

    // Draws what the model changed since the last drawing.
    void Sync();

protected:
    // Mouse presses in the grain field feed the grain.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpControls();
    void ConnectEdits();
    void Draw(const KeyTabFields& fields);

    PollCycle& cycle_;
    CoreGate& gate_;
    std::unique_ptr<Ui::KeyPage> ui_;
    DevicePaneView arkanPane_;
    DevicePaneView programmerPane_;
};

} // namespace qozel
