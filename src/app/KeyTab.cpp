#include "app/KeyTab.h"

#include "app/HexText.h"
#include "app/PollCycle.h"
#include "app/WindowView.h"

#include <exception>

namespace qozel {

template <class F>
void KeyTab::RunAction(F&& action)
{
    UserFunction bracket(cycle_);
    action();
    RefreshKeyTab();
}

void KeyTab::PollKeyTab()
{
    const ZelCfgAr& ar = cycle_.devices.ar;
    const ZelCfgPrgr& prgr = cycle_.devices.prgr;
    const bool arPresent = ar.IsOpen();
    const bool prgrPresent = prgr.IsOpen();
    const unsigned state = (arPresent ? 1u : 0u) | (prgrPresent ? 2u : 0u) |
                           (arPresent && ar.HasMasterKey() ? 4u : 0u) |
                           (arPresent && ar.State() == ArkanState::Temporary ? 8u : 0u) |
                           (prgrPresent && prgr.HasKeys() ? 16u : 0u) |
                           (prgrPresent && prgr.HasKeys() && !prgr.HasTargetKeys() ? 32u : 0u);
    if (state == lastState_)
        return;
    lastState_ = state;
    RefreshKeyTab();
}

void KeyTab::RefreshKeyTab()
{
    if (cycle_.view().ShownTab() != WindowView::Tab::Key)
        return;
    const ZelDevSet& devices = cycle_.devices;
    fields_.editable = !devices.ar.IsOpen() || devices.ar.State() != ArkanState::Target;
    // A key generated for an installation whose Arkan already holds its
    // target key could never be stored.
    if (!fields_.editable)
        ClearGeneratedKey();
    fields_.arkan = ArkanPane(devices.ar);
    fields_.programmer = ProgrammerPane(devices.prgr, devices.ar.keySignature);
}

void KeyTab::KeyGrainMemoMouseDown(int x, int y)
{
    const GrainFieldUpdate update = cycle_.grain.ClickInField(x, y);
    fields_.grainFirstHalf = update.grainFirstHalf;
    fields_.grainSecondHalf = update.grainSecondHalf;
    if (update.indicatorPosition)
        fields_.level = *update.indicatorPosition;
    if (update.showSufficientLabel)
        fields_.grainSufficient = true;
}

void KeyTab::KeyGenKeyMiBtnClick()
{
    RunAction([&] {
        KeyGrain& grain = cycle_.grain;
        bool generated = false;
        try {
            generated = grain.GenerateKey(cycle_.prompts());
        } catch (const std::exception&) {
            // Without the system's random bytes the key would rest on the
            // mouse clicks alone.
            cycle_.prompts().ShowErrorMsg(kNoRandomness);
        }
        if (!generated)
            return;
        fields_.signature = SignatureText(true, grain.signature());
        fields_.key = HexText(grain.key().span());
    });
}

void KeyTab::ArkamKeyMIBtnClick()
{
    RunAction([&] {
        if (cycle_.devices.SaveMasterKey(cycle_.grain, !fields_.target, fields_.symbol))
            ClearGeneratedKey();
    });
}

void KeyTab::ClearGeneratedKey()
{
    cycle_.grain.ForgetKey();
    fields_.symbol.clear();
    fields_.signature.clear();
    fields_.key.clear();
}

void KeyTab::KeySetInstPassBtnClick()
{
    RunAction([&] { cycle_.devices.SetArInstallerPassword(); });
}

void KeyTab::KeyKeysToPrgrBtnClick()
{
    RunAction([&] { cycle_.devices.LoadKeysToPrgr(); });
}

void KeyTab::KeyGenKeyMiTagBtnClick()
{
    RunAction([&] { cycle_.devices.MakeBackupCard(); });
}

bool KeyTab::TakeChanged()
{
    return drawn_.Changed(fields_);
}

} // namespace qozel
