#include "app/KeyTab.h"

#include "app/AppTexts.h"
#include "app/HexText.h"
#include "app/WindowView.h"
#include "devset/ZelDevSet.h"
#include "security/KeyGrain.h"

#include <exception>

namespace qozel {

void KeyTab::PollKeyTab()
{
    const ZelCfgAr& ar = devices_.ar;
    const ZelCfgPrgr& prgr = devices_.prgr;
    const bool arPresent = ar.IsOpen();
    const bool prgrPresent = prgr.IsOpen();
    if (StateChanged({arPresent, prgrPresent, arPresent && ar.HasMasterKey(),
                      arPresent && ar.State() == ArkanState::Temporary, prgrPresent && prgr.HasKeys(),
                      prgrPresent && prgr.HasKeys() && !prgr.HasTargetKeys()}))
        RefreshKeyTab();
}

void KeyTab::RefreshKeyTab()
{
    if (view_.ShownTab() != WindowView::Tab::Key)
        return;
    const ZelDevSet& devices = devices_;
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
    const GrainFieldUpdate update = grain_.ClickInField(x, y);
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
        KeyGrain& grain = grain_;
        bool generated = false;
        try {
            generated = grain.GenerateKey(prompts_);
        } catch (const std::exception&) {
            // Without the system's random bytes the key would rest on the
            // mouse clicks alone.
            prompts_.ShowErrorMsg(app_texts::kNoRandomness);
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
        if (devices_.SaveMasterKey(grain_, !fields_.target, fields_.symbol))
            ClearGeneratedKey();
    });
}

void KeyTab::ClearGeneratedKey()
{
    grain_.ForgetKey();
    fields_.symbol.clear();
    fields_.signature.clear();
    fields_.key.clear();
}

void KeyTab::KeySetInstPassBtnClick()
{
    RunAction([&] { devices_.SetArInstallerPassword(); });
}

void KeyTab::KeyKeysToPrgrBtnClick()
{
    RunAction([&] { devices_.LoadKeysToPrgr(); });
}

void KeyTab::KeyGenKeyMiTagBtnClick()
{
    RunAction([&] { devices_.MakeBackupCard(); });
}

} // namespace qozel
