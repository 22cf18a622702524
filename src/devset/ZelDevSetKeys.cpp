#include "devset/DevSetTexts.h"
#include "devset/ZelDevSet.h"

#include <array>

namespace qozel {

namespace texts = devset_texts;

namespace {

// Certificate class and numbers the Arkan issues for each receiving device.
constexpr std::uint8_t kPrgrCertClass = 0;
constexpr std::array<std::uint8_t, 3> kPrgrCertNumbers = {18, 19, 20};
constexpr std::uint8_t kReaderCertClass = 1;
constexpr std::array<std::uint8_t, 2> kReaderCertNumbers = {21, 22};

// Key certificates on their way from the Arkan to a device; each wipes itself.
template <std::size_t N>
using Certificates = std::array<SecretBytes<ZelArkan::kCertificateSize>, N>;

// Fetches one certificate per number for `targetId`; false at the first
// refusal. Throws the Arkan's device error.
template <std::size_t N>
bool IssueAll(ZelArkan& arkan, std::uint8_t certClass, const std::array<std::uint8_t, N>& numbers,
              std::uint32_t targetId, Certificates<N>& certificates)
{
    for (std::size_t i = 0; i < N; ++i)
        if (!arkan.IssueCertificate(certClass, numbers[i], targetId, certificates[i].bytes))
            return false;
    return true;
}

} // namespace

bool ZelDevSet::LoadKeysToPrgr()
{
    if (!EnsurePresent(DevKind::Programmer) || !CheckPrgrNoTargetKeys())
        return false;
    if (!EnsureBothLogin() || !CheckHasMasterKey())
        return false;

    Certificates<kPrgrCertNumbers.size()> certificates;
    const bool issued = Guarded(DevKind::Arkan, [&] {
        if (IssueAll(ar, kPrgrCertClass, kPrgrCertNumbers, prgr.info.DeviceId(), certificates))
            return true;
        prompts_.ShowErrorMsg(texts::kArRefusesPrgrCertificates);
        return false;
    });
    if (!issued)
        return false;

    return Guarded(DevKind::Programmer, [&] {
        for (const auto& certificate : certificates) {
            if (prgr.LoadKeyCertificate(certificate.span()) != 0) {
                prompts_.ShowErrorMsg(texts::kPrgrRefusesCertificates);
                return false;
            }
        }
        prgr.Refresh();
        prompts_.ShowInfoMsg(texts::kPrgrKeysLoaded);
        return true;
    });
}

bool ZelDevSet::LoadKeysToKbRd()
{
    if (!EnsurePresent(DevKind::KbReader))
        return false;
    if (!EnsureArLogin() || !CheckHasMasterKey())
        return false;

    Certificates<kReaderCertNumbers.size()> certificates;
    const bool issued = Guarded(DevKind::Arkan, [&] {
        if (IssueAll(ar, kReaderCertClass, kReaderCertNumbers, kbRd.info.DeviceId(), certificates))
            return true;
        prompts_.ShowErrorMsg(texts::kArRefusesKbRdCertificates);
        return false;
    });
    if (!issued)
        return false;

    return Guarded(DevKind::KbReader, [&] {
        for (const auto& certificate : certificates) {
            if (!kbRd.LoadKeyCertificate(certificate.span())) {
                prompts_.ShowErrorMsg(texts::kKbRdRefusesCertificates);
                return false;
            }
        }
        kbRd.Refresh();
        prompts_.ShowInfoMsg(texts::kKbRdKeysLoaded);
        return true;
    });
}

} // namespace qozel
