#include "devset/DevSetTexts.h"
#include "devset/ZelDevSet.h"

namespace qozel {

namespace texts = devset_texts;

namespace {

bool Check(Prompts& prompts, bool passes, const char* message)
{
    if (!passes)
        prompts.ShowErrorMsg(message);
    return passes;
}

} // namespace

bool ZelDevSet::CheckArHasAdminPassword()
{
    return Check(prompts_, (ar.info.flags & ZelArkan::kNoAdminPassword) == 0, texts::kArNoAdminPassword);
}

bool ZelDevSet::CheckPrgrHasAdminPassword()
{
    return Check(prompts_, (prgr.info.flags & QoG30::kNoAdminPassword) == 0, texts::kPrgrNoAdminPassword);
}

bool ZelDevSet::CheckHasMasterKey()
{
    return Check(prompts_, ar.HasMasterKey(), texts::kNoMasterKey);
}

bool ZelDevSet::CheckHasTargetKey()
{
    return Check(prompts_, ar.HasTargetKey(), texts::kNoTargetKey);
}

bool ZelDevSet::CheckNoTargetKey()
{
    // A temporary key may be replaced; a target key may not.
    return Check(prompts_, !ar.HasTargetKey(), texts::kHasTargetKey);
}

bool ZelDevSet::CheckPrgrNoTargetKeys()
{
    return Check(prompts_, !prgr.HasTargetKeys(), texts::kPrgrHasTargetKeys);
}

bool ZelDevSet::CheckPrgrHasKeys()
{
    return Check(prompts_, prgr.HasKeys(), texts::kPrgrNoKeys);
}

bool ZelDevSet::CheckSignaturesMatch()
{
    return Check(prompts_, prgr.keySignature == ar.keySignature, texts::kSignaturesDiffer);
}

} // namespace qozel
