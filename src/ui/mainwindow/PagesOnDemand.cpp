#include "ui/mainwindow/PagesOnDemand.h"

#include "app/WindowView.h"
#include "ui/pages/LogPage.h"
#include "ui/pages/CardsPage.h"
#include "ui/pages/KeyPage.h"
#include "ui/pages/RecoveryPage.h"

#include <QSignalBlocker>
#include <QTabWidget>

namespace qozel {

bool PagesOnDemand::Build(WindowView::Tab tab)
{
    switch (tab) {
    case WindowView::Tab::Cards: return BuildOnce(cards_, tab);
    case WindowView::Tab::Key: return BuildOnce(key_, tab);
    case WindowView::Tab::Recovery: return BuildOnce(recovery_, tab);
    case WindowView::Tab::Log: return BuildOnce(log_, tab);
    default: return false;
    }
}

template <class Page>
bool PagesOnDemand::BuildOnce(Page*& page, WindowView::Tab tab)
{
    if (page != nullptr)
        return false;
    page = new Page(cycle_, gate_, nullptr);
    Replace(tab, *page);
    return true;
}

// The tab keeps its place, caption and the tab shown; the swap tells no one
// that the shown tab changed.
void PagesOnDemand::Replace(WindowView::Tab tab, QWidget& page)
{
    const int index = static_cast<int>(tab);
    const QSignalBlocker quiet(&tabs_);
    const int shown = tabs_.currentIndex();
    QWidget* sheet = tabs_.widget(index);
    const QString caption = tabs_.tabText(index);
    tabs_.removeTab(index);
    tabs_.insertTab(index, &page, caption);
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
    Build(WindowView::Tab::Cards);
    return *cards_;
}

} // namespace qozel
