#include "ui/mainwindow/PagesOnDemand.h"

#include "app/WindowView.h"
#include "ui/log/LogPage.h"
#include "ui/tabs/CardsPage.h"
#include "ui/tabs/KeyPage.h"
#include "ui/tabs/RecoveryPage.h"

#include <QSignalBlocker>
#include <QTabWidget>

namespace qozel {

bool PagesOnDemand::Build(int tab)
{
    switch (tab) {
    case WindowView::CardsTab: return BuildOnce(cards_, tab);
    case WindowView::KeyTab: return BuildOnce(key_, tab);
    case WindowView::RecoveryTab: return BuildOnce(recovery_, tab);
    case WindowView::LogTab: return BuildOnce(log_, tab);
    default: return false;
    }
}

template <class Page>
bool PagesOnDemand::BuildOnce(Page*& page, int tab)
{
    if (page != nullptr)
        return false;
    page = new Page(cycle_, gate_, nullptr);
    Replace(tab, *page);
    return true;
}

// The tab keeps its place, caption and the tab shown; the swap tells no one
// that the shown tab changed.
void PagesOnDemand::Replace(int tab, QWidget& page)
{
    const QSignalBlocker quiet(&tabs_);
    const int shown = tabs_.currentIndex();
    QWidget* sheet = tabs_.widget(tab);
    const QString caption = tabs_.tabText(tab);
    tabs_.removeTab(tab);
    tabs_.insertTab(tab, &page, caption);
    tabs_.setCurrentIndex(shown);
    delete sheet;
}

void PagesOnDemand::Sync()
{
    if (cards_ != nullptr)
        cards_->Sync();
    if (key_ != nullptr)
        key_->Sync();
    if (recovery_ != nullptr)
        recovery_->Sync();
    if (log_ != nullptr)
        log_->Sync();
}

CardsPage& PagesOnDemand::Cards()
{
    Build(WindowView::CardsTab);
    return *cards_;
}

} // namespace qozel
