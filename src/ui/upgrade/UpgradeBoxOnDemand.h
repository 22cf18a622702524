#pragma once

#include "app/WindowView.h"

class QWidget;

namespace qozel {

class TUpgradeInfoBx;

// The upgrade box as the poll cycle holds it, built on its first showing:
// most runs upgrade nothing, and the window comes up sooner without it.
// The box built is the main window's child and goes with it. Before an
// upgrade run the window draws what the models changed, as it stands still
// while the run holds the thread.
class UpgradeBoxOnDemand final : public UpgradeBox {
public:
    UpgradeBoxOnDemand(QWidget& mainWindow, WindowView& view) noexcept : mainWindow_(mainWindow), view_(view) {}

    void Show(std::string_view deviceText, std::string_view newSoftText, int maximum) override;
    // Before the first showing there is no box to set or close.
    void SetProgress(int position) override;
    void Close() override;

private:
    QWidget& mainWindow_;
    WindowView& view_;
    TUpgradeInfoBx* box_ = nullptr;
};

} // namespace qozel
