#include "app/CardsTab.h"

#include "app/AppTexts.h"
#include "app/DecimalText.h"
#include "app/HexText.h"
#include "app/WindowView.h"
#include "devset/ZelDevSet.h"

#include <utility>

namespace qozel {
void CardsTab::PollCardsTab()
{
    if (StateChanged({devices_.ar.IsOpen(), devices_.prgr.IsOpen(), devices_.kbRd.IsOpen()}))
        RefreshCardsTab();
}

void CardsTab::RefreshCardsTab()
{
    if (view_.ShownTab() != WindowView::Tab::Cards)
        return;
    const ZelDevSet& devices = devices_;
    fields_.programmer = ProgrammerPane(devices.prgr, devices.ar.keySignature);
    fields_.kbReader = KbReaderPane(devices.kbRd, devices.ar.keySignature);
    focusRequest_ = true;
}

template <class Operation>
bool CardsTab::RunCardOperation(Operation&& operation)
{
    if (!devices_.CheckPrgrHasKeys())
        return false;
    return devices_.Guarded(DevKind::Programmer, [&] {
        const int result = operation(devices_.prgr);
        if (result != CardOk)
            prompts_.ShowErrorMsg(CardResultText(result));
        return result == CardOk;
    });
}

void CardsTab::TagProgrTagBtnClick()
{
    RunAction([&] {
        const std::int32_t department = DecimalOrZero<std::int32_t>(fields_.department);
        const std::int32_t index = DecimalOrZero<std::int32_t>(fields_.index);
        if (!devices_.EnsurePrgrLogin() ||
            !RunCardOperation([&](ZelCfgPrgr& prgr) { return prgr.ProgramCard(department, index); }))
            return;
        view_.AnimateProgress(WindowView::SuccessBar::CardProgrammed);
        fields_.programmedUid = HexText(devices_.prgr.cardStatus.uid);
    });
}

void CardsTab::TagClearTagBtnClick()
{
    RunAction([&] {
        if (!devices_.EnsurePrgrLogin() || !RunCardOperation([](ZelCfgPrgr& prgr) { return prgr.ClearCard(); }))
            return;
        fields_.programmedUid = HexText(devices_.prgr.cardStatus.uid);
        prompts_.ShowInfoMsg(app_texts::kCardCleared);
    });
}

void CardsTab::TagReadTagBtnClick()
{
    RunAction([&] {
        fields_.readUid.clear();
        fields_.readDepartment.clear();
        fields_.readIndex.clear();
        std::int32_t department = 0;
        std::int32_t index = 0;
        if (!devices_.EnsurePresent(DevKind::Programmer) ||
            !RunCardOperation([&](ZelCfgPrgr& prgr) { return prgr.ReadCard(department, index); }))
            return;
        fields_.readUid = HexText(devices_.prgr.cardStatus.uid);
        fields_.readDepartment = std::to_string(department);
        fields_.readIndex = std::to_string(index);
    });
}

void CardsTab::TagKeysToPrgrBtnClick()
{
    RunAction([&] { devices_.LoadKeysToPrgr(); });
}

void CardsTab::TagSetUsrPassBtnClick()
{
    RunAction([&] { devices_.SetPrgrUserPassword(); });
}

void CardsTab::TagKeysToKbRdBtnClick()
{
    RunAction([&] { devices_.LoadKeysToKbRd(); });
}

KbRdConfig CardsTab::OutputConfig() const noexcept
{
    return BuildKbRdConfig(fields_.outputFields, fields_.endItem, fields_.enterAtEnd);
}

void CardsTab::TagWrCfgBtnClick()
{
    RunAction([&] {
        const KbRdConfig config = OutputConfig();
        if (!devices_.EnsurePresent(DevKind::KbReader))
            return;
        if (devices_.kbRd.WriteConfig(config, prompts_))
            view_.AnimateProgress(WindowView::SuccessBar::ConfigWritten);
    });
}

void CardsTab::TagFieldChkBx0Click()
{
    RefreshCardsTab();
}

bool CardsTab::TakeFocusRequest() noexcept
{
    return std::exchange(focusRequest_, false);
}

} // namespace qozel
