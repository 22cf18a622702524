#include "ui/pages/RecoveryPage.h"

#include "app/PollCycle.h"
#include "ui/widgets/Utf8.h"
#include "ui/widgets/EnableAll.h"
#include "ui/widgets/PageActions.h"
#include "ui/widgets/PageFonts.h"
#include "ui/widgets/SetUpForm.h"
#include "ui_RecoveryPage.h"

namespace qozel {
namespace {

constexpr int kTitlePoints = 12;

} // namespace

RecoveryPage::RecoveryPage(PollCycle& cycle, CoreGate& gate, QWidget* parent)
    : QWidget(parent), cycle_(cycle), gate_(gate), ui_(SetUpForm<Ui::RecoveryPage>(*this))
{
    ui_->OdzPrgrResetLbl->setText(FromUtf8(app_texts::kPrgrResetInfo));
    ui_->OdzArPassResetLbl->setText(FromUtf8(app_texts::kArPassResetInfo));
    ui_->OdzPassChngLbl->setText(FromUtf8(app_texts::kPassChangeInfo));
    ui_->OdzKeyMiFromTagLbl->setText(FromUtf8(app_texts::kKeyFromCardInfo));
    for (QLabel* title :
         {ui_->OdzPrgrResetTitle, ui_->OdzArPassResetTitle, ui_->OdzPassChngTitle, ui_->OdzKeyMiFromTagTitle})
        title->setFont(MsSansSerifFont(kTitlePoints, true));

    RecoveryTab& tab = cycle_.recoveryTab;
    OnClick(*this, gate_, *ui_->OdzPrgrResetBtn, tab, &RecoveryTab::OdzPrgrResetBtnClick);
    OnClick(*this, gate_, *ui_->OdzArPassSetBtn, tab, &RecoveryTab::OdzArPassSetBtnClick);
    OnClick(*this, gate_, *ui_->OdzArPassChngBtn, tab, &RecoveryTab::OdzArPassChngBtnClick);
    OnClick(*this, gate_, *ui_->OdzPrgrPassChngBtn, tab, &RecoveryTab::OdzPrgrPassChngBtnClick);
    OnClick(*this, gate_, *ui_->OdzKeyMiFromTagBtn, tab, &RecoveryTab::OdzKeyMiFromTagBtnClick);
    Sync();
}

RecoveryPage::~RecoveryPage() = default;

void RecoveryPage::Sync()
{
    RecoveryTab& tab = cycle_.recoveryTab;
    if (tab.TakeChanged())
        Draw(tab.Fields());
}

void RecoveryPage::Draw(const RecoveryTabFields& fields)
{
    const bool arkan = fields.arkanPresent;
    const bool programmer = fields.programmerPresent;
    EnableAll({ui_->OdzPrgrResetTitle, ui_->OdzPrgrResetLbl, ui_->OdzPrgrResetBtn}, programmer);
    EnableAll({ui_->OdzArPassResetTitle, ui_->OdzArPassResetLbl, ui_->OdzArPassSetBtn}, arkan);
    EnableAll({ui_->OdzPassChngTitle, ui_->OdzPassChngLbl}, arkan || programmer);
    ui_->OdzArPassChngBtn->setEnabled(arkan);
    ui_->OdzPrgrPassChngBtn->setEnabled(programmer);
    EnableAll({ui_->OdzKeyMiFromTagTitle, ui_->OdzKeyMiFromTagLbl, ui_->OdzKeyMiFromTagBtn}, arkan);
}

} // namespace qozel
