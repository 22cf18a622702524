#include "devset/DevSetTexts.h"
#include "devset/ZelDevSet.h"
#include "platform/Win1250.h"
#include "security/KeyGrain.h"

namespace qozel {

namespace texts = devset_texts;

bool ZelDevSet::SaveMasterKey(KeyGrain& grain, bool temporary, std::string_view symbolText)
{
    if (!grain.generated()) {
        prompts_.ShowErrorMsg(texts::kKeyNotGenerated);
        return false;
    }
    if (!EnsurePresent(DevKind::Arkan) || !CheckNoTargetKey())
        return false;
    if (symbolText.empty()) {
        prompts_.ShowInfoMsg(texts::kFillSymbol);
        return false;
    }
    if (!temporary) {
        // The installer may close the warning to copy the key down instead.
        // The key goes only to the Arkan that was checked before the warning:
        // one unplugged or swapped meanwhile ends the operation.
        MarkContinuity(DevKind::Arkan);
        if (!prompts_.ShowWarningMsg(texts::kTargetKeyWarning))
            return false;
        if (!EnsurePresent(DevKind::Arkan) || !CheckContinuity(DevKind::Arkan))
            return false;
    }
    if (!EnsureArLogin())
        return false;

    const std::string symbol = Utf8ToWin1250(symbolText);
    const MasterKeyRecord record = MasterKeyRecord::Make(
        temporary, std::span(reinterpret_cast<const std::uint8_t*>(symbol.data()), symbol.size()), grain.signature(),
        grain.key().span());
    const bool stored = Guarded(DevKind::Arkan, [&] {
        if (!ar.StoreMasterKey(record)) {
            prompts_.ShowErrorMsg(texts::kStoreKeyFailed);
            return false;
        }
        ar.Refresh();
        return true;
    });
    if (!stored)
        return false;
    prompts_.ShowInfoMsg(texts::kKeyStored);
    grain.ForgetKey();
    return true;
}

} // namespace qozel
