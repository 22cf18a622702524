#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class RecoveryPage;
}

namespace qozel {

class CoreGate;
class PollCycle;
struct RecoveryTabFields;

// The Recovery tab: resetting the programmer, regaining access to the Arkan,
// changing the administrator password and restoring the master key from a
// backup card, each box enabled by the device it acts on.
class RecoveryPage final : public QWidget {
    Q_OBJECT
public:
    RecoveryPage(PollCycle& cycle, CoreGate& gate, QWidget* parent);
    ~RecoveryPage() override;

    // Draws what the model changed since the last drawing.
    void Sync();

private:
    void Draw(const RecoveryTabFields& fields);

    PollCycle& cycle_;
    CoreGate& gate_;
    std::unique_ptr<Ui::RecoveryPage> ui_;
};

} // namespace qozel
