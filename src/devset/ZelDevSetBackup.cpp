#include "devset/DevSetTexts.h"
#include "devset/ZelDevSet.h"

namespace qozel {

namespace texts = devset_texts;

bool ZelDevSet::MakeBackupCard()
{
    if (!EnsureBothLogin())
        return false;
    // Only a target key is backed up, and only through a programmer keyed from it.
    if (!CheckHasMasterKey() || !CheckHasTargetKey() || !CheckPrgrHasKeys() || !CheckSignaturesMatch())
        return false;

    QoG30::Uid uid{};
    const bool blank = Guarded(DevKind::Programmer, [&] {
        if (const int result = prgr.CheckBlankCard(); result != CardOk) {
            prompts_.ShowErrorMsg(CardResultText(result));
            return false;
        }
        uid = prgr.cardStatus.uid;
        return true;
    });
    if (!blank)
        return false;

    SecretBytes<ZelArkan::kBackupCertificateSize> certificate;
    const bool issued = Guarded(DevKind::Arkan, [&] {
        if (ar.IssueBackupCertificate(prgr.info.DeviceId(), uid, certificate.bytes))
            return true;
        prompts_.ShowErrorMsg(texts::kArRefusesBackupCertificate);
        return false;
    });
    if (!issued)
        return false;

    // The programmer checks that the card in its field is still the one the
    // certificate was issued for.
    return Guarded(DevKind::Programmer, [&] {
        if (const int result = prgr.WriteBackupCard(uid, certificate.span()); result != CardOk) {
            prompts_.ShowErrorMsg(CardResultText(result));
            return false;
        }
        prompts_.ShowInfoMsg(texts::kBackupCardWritten);
        return true;
    });
}

bool ZelDevSet::StoreBackupCertificate(std::span<const std::uint8_t, ZelArkan::kBackupCardDataSize> certificate)
{
    if (!EnsureArLogin() || !CheckNoTargetKey())
        return false;
    return Guarded(DevKind::Arkan, [&] {
        if (!ar.StoreBackupCertificate(certificate)) {
            prompts_.ShowErrorMsg(texts::kBackupRefused);
            return false;
        }
        // The restored key's signature, for the tabs and the Manager.
        ar.Refresh();
        prompts_.ShowInfoMsg(texts::kBackupStored);
        return true;
    });
}

bool ZelDevSet::ResetProgrammer()
{
    if (!EnsurePresent(DevKind::Programmer))
        return false;
    if (!(prgr.HasTargetKeys() ? ResetPrgrWithArkan() : ResetPrgrAlone()))
        return false;
    prompts_.ShowInfoMsg(texts::kPrgrResetDone);
    return true;
}

// Without target keys the programmer resets itself with its own certificate.
bool ZelDevSet::ResetPrgrAlone()
{
    return Guarded(DevKind::Programmer, [&] {
        SecretBytes<QoG30::kCertificateSize> certificate;
        if (!prgr.IssueResetCertificate(prgr.info.DeviceId(), certificate.bytes)) {
            prompts_.ShowErrorMsg(texts::kPrgrRefusesResetCertificate);
            return false;
        }
        if (prgr.ResetWithCertificate(certificate.span()) != 0) {
            prompts_.ShowErrorMsg(texts::kPrgrRefusesReset);
            return false;
        }
        prgr.Refresh();
        return true;
    });
}

// With target keys the Arkan holding the same master key countersigns the
// programmer's reset certificate.
bool ZelDevSet::ResetPrgrWithArkan()
{
    // The Arkan's login dialog may come between the programmer's state query
    // and its reset: a programmer unplugged or replaced meanwhile ends the
    // operation before it is sent anything.
    MarkContinuity(DevKind::Programmer);
    if (!EnsureArOnlyLogin())
        return false;
    if (!EnsurePresent(DevKind::Programmer) || !CheckContinuity(DevKind::Programmer))
        return false;
    if (!CheckHasMasterKey() || !CheckSignaturesMatch())
        return false;

    SecretBytes<QoG30::kCertificateSize> certificate;
    const bool issued = Guarded(DevKind::Programmer, [&] {
        if (prgr.IssueResetCertificate(ar.info.DeviceId(), certificate.bytes))
            return true;
        prompts_.ShowErrorMsg(texts::kPrgrRefusesResetCertificate);
        return false;
    });
    if (!issued)
        return false;

    SecretBytes<ZelArkan::kCertificateSize> signedCertificate;
    const bool countersigned = Guarded(DevKind::Arkan, [&] {
        if (ar.SignCertificate(certificate.span(), signedCertificate.bytes))
            return true;
        prompts_.ShowErrorMsg(texts::kArRefusesSigning);
        return false;
    });
    if (!countersigned)
        return false;

    return Guarded(DevKind::Programmer, [&] {
        if (prgr.ResetWithCertificate(signedCertificate.span()) != 0) {
            prompts_.ShowErrorMsg(texts::kPrgrRefusesReset);
            return false;
        }
        prgr.Refresh();
        return true;
    });
}

} // namespace qozel
