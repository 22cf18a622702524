#include "ui/upgrade/UpgradeBoxOnDemand.h"

#include "ui/upgrade/TUpgradeInfoBx.h"

namespace qozel {

void UpgradeBoxOnDemand::Show(std::string_view deviceText, std::string_view newSoftText, int maximum)
{
    view_.Redraw();
    if (box_ == nullptr)
        box_ = new TUpgradeInfoBx(&mainWindow_);
    box_->Show(deviceText, newSoftText, maximum);
}

void UpgradeBoxOnDemand::SetProgress(int position)
{
    if (box_ != nullptr)
        box_->SetProgress(position);
}

void UpgradeBoxOnDemand::Close()
{
    if (box_ != nullptr)
        box_->Close();
}

} // namespace qozel
