#include "app/CardsTab.h"

#include "app/DecimalText.h"
#include "app/HexText.h"
#include "app/PollCycle.h"
#include "app/WindowView.h"
#include "link/DeviceErrors.h"

#include <utility>

namespace qozel {
namespace {

constexpr const char* kCardCleared = "Karta skasowana.";

} // namespace

template <class F>
void CardsTab::RunAction(F&& action)
{
    UserFunction bracket(cycle_);
    action();
    RefreshCardsTab();
}

void CardsTab::PollCardsTab()
{
    const ZelDevSet& devices = cycle_.devices;
    const unsigned state = (devices.ar.IsOpen() ? 1u : 0u) | (devices.prgr.IsOpen() ? 2u : 0u) |
                           (devices.kbRd.IsOpen() ? 4u : 0u);
    if (state == lastState_)
        return;
    lastState_ = state;
    RefreshCardsTab();
}

void CardsTab::RefreshCardsTab()
{
    if (cycle_.view().ShownTab() != WindowView::Tab::Cards)
        return;
    const ZelDevSet& devices = cycle_.devices;
    fields_.programmer = ProgrammerPane(devices.prgr, devices.ar.keySignature);
    fields_.kbReader = KbReaderPane(devices.kbRd, devices.ar.keySignature);
    focusRequest_ = true;
}

template <class Operation>
bool CardsTab::RunCardOperation(Operation&& operation)
{
    ZelDevSet& devices = cycle_.devices;
    if (!devices.CheckPrgrHasKeys())
        return false;
    int result = 0;
    try {
        result = operation(devices.prgr);
    } catch (const WUsbErr&) {
        devices.DropDevice(DevKind::Programmer);
        return false;
    }
    if (result != CardOk)
        cycle_.prompts().ShowErrorMsg(CardResultText(result));
    return result == CardOk;
}

void CardsTab::TagProgrTagBtnClick()
{
    RunAction([&] {
        const std::int32_t department = DecimalOrZero<std::int32_t>(fields_.department);
        const std::int32_t index = DecimalOrZero<std::int32_t>(fields_.index);
        if (!cycle_.devices.EnsurePrgrLogin() ||
            !RunCardOperation([&](ZelCfgPrgr& prgr) { return prgr.ProgramCard(department, index); }))
            return;
        cycle_.view().AnimateProgress(WindowView::SuccessBar::CardProgrammed);
        fields_.programmedUid = HexText(cycle_.devices.prgr.cardStatus.uid);
    });
}

void CardsTab::TagClearTagBtnClick()
{
    RunAction([&] {
        if (!cycle_.devices.EnsurePrgrLogin() || !RunCardOperation([](ZelCfgPrgr& prgr) { return prgr.ClearCard(); }))
            return;
        fields_.programmedUid = HexText(cycle_.devices.prgr.cardStatus.uid);
        cycle_.prompts().ShowInfoMsg(kCardCleared);
    });
}

void CardsTab::TagReadTagBtnClick()
{
    RunAction([&] {
        fields_.readUid.clear();
        fields_.readDepartment.clear();
        fields_.readIndex.clear();
        ZelDevSet& devices = cycle_.devices;
        std::int32_t department = 0;
        std::int32_t index = 0;
        if (!devices.EnsurePresent(DevKind::Programmer) ||
            !RunCardOperation([&](ZelCfgPrgr& prgr) { return prgr.ReadCard(department, index); }))
            return;
        fields_.readUid = HexText(devices.prgr.cardStatus.uid);
        fields_.readDepartment = std::to_string(department);
        fields_.readIndex = std::to_string(index);
    });
}

void CardsTab::TagKeysToPrgrBtnClick()
{
    RunAction([&] { cycle_.devices.LoadKeysToPrgr(); });
}

void CardsTab::TagSetUsrPassBtnClick()
{
    RunAction([&] { cycle_.devices.SetPrgrUserPassword(); });
}

void CardsTab::TagKeysToKbRdBtnClick()
{
    RunAction([&] { cycle_.devices.LoadKeysToKbRd(); });
}

KbRdConfig CardsTab::OutputConfig() const noexcept
{
    return BuildKbRdConfig(fields_.outputFields, fields_.endItem, fields_.enterAtEnd);
}

void CardsTab::TagWrCfgBtnClick()
{
    RunAction([&] {
        const KbRdConfig config = OutputConfig();
        if (!cycle_.devices.EnsurePresent(DevKind::KbReader))
            return;
        if (cycle_.devices.kbRd.WriteConfig(config, cycle_.prompts()))
            cycle_.view().AnimateProgress(WindowView::SuccessBar::ConfigWritten);
    });
}

void CardsTab::TagFieldChkBx0Click()
{
    RefreshCardsTab();
}

bool CardsTab::TakeChanged()
{
    return drawn_.Changed(fields_);
}

bool CardsTab::TakeFocusRequest() noexcept
{
    return std::exchange(focusRequest_, false);
}

} // namespace qozel
