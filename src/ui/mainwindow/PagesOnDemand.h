#pragma once

#include "app/WindowView.h"

class QTabWidget;
class QWidget;

namespace qozel {

class CardsPage;
class CoreGate;
class KeyPage;
class LogPage;
class PollCycle;
class RecoveryPage;

// The Cards, Installation key, Recovery and Dziennik pages, each built when its tab is
// first shown or once the window is up, whichever comes first: the window
// starts on the Readers tab, and building and sizing pages not yet looked at
// took most of its start-up. Until then the tab holds
// an empty sheet of the page's name. The tab widget owns the pages built.
class PagesOnDemand {
public:
    // The pages call into the core through `gate`, the window's one gate.
    PagesOnDemand(QTabWidget& tabs, PollCycle& cycle, CoreGate& gate) noexcept : tabs_(tabs), cycle_(cycle), gate_(gate) {}

    // Puts the page of `tab` in place of its empty sheet unless it is there
    // already; true when it built the page. The Readers tab has no page here.
    bool Build(WindowView::Tab tab);
    // Draws what the models of the pages built changed; a page built later
    // draws its model whole.
    void Sync();
    CardsPage& Cards();

private:
    template <class Page>
    bool BuildOnce(Page*& page, WindowView::Tab tab);
    void Replace(WindowView::Tab tab, QWidget& page);

    QTabWidget& tabs_;
    PollCycle& cycle_;
    CoreGate& gate_;
    CardsPage* cards_ = nullptr;
    KeyPage* key_ = nullptr;
    RecoveryPage* recovery_ = nullptr;
    LogPage* log_ = nullptr;
};

} // namespace qozel
