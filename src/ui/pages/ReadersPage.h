#pragma once

#include "ui/pages/ReaderPaneView.h"

#include <QWidget>

#include <memory>

namespace Ui {
class ReadersPage;
}

namespace qozel {

class CoreGate;
class PollCycle;
struct CardDataBox;
struct ReadersHeader;

// The Readers tab: the header with the Manager and the bus rate, the reader
// table, the card data box and the selected reader's pane. It draws what the
// poll cycle's table and pane report as changed, and hands the user's actions
// to the pane through the gate.
class ReadersPage final : public QWidget {
    Q_OBJECT
public:
    ReadersPage(PollCycle& cycle, CoreGate& gate, QWidget* parent);
    ~ReadersPage() override;

    // Draws what changed since the last drawing. The pane's focus request is
    // applied only while the tab is `shown`.
    void DrawChanges(bool shown);
    // Draws what the user's action on the tab changed; the tab is shown.
    void Sync() { DrawChanges(true); }

private:
    void ConnectActions();
    void DrawHeader(const ReadersHeader& header);
    void DrawCardData(const CardDataBox& box);
    void ApplyFocusRequest(bool shown);

    PollCycle& cycle_;
    CoreGate& gate_;
    std::unique_ptr<Ui::ReadersPage> ui_;
    ReaderPaneView pane_;
};

} // namespace qozel
