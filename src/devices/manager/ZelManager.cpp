#include "devices/manager/ZelManager.h"

#include "devices/firmware/BuiltInImages.h"
#include "link/DeviceErrors.h"
#include "platform/SecureMemory.h"

#include <algorithm>

namespace qozel {

ZelManager::ZelManager(UsbHost& host, Clock& clock) : QoWUsbBulkD(host, clock, kManagerGuid) {}

int ZelManager::ImageVersion()
{
    image = &BuiltInImage(ImageSlot::Manager);
    return QoWUsbBulkD::ImageVersion();
}

std::size_t ZelManager::ReadReaderList(std::span<std::uint8_t, kReaderListMax> list)
{
    const std::size_t n = Exchange(kCmdReaderList, {}, list, timeouts::kShort);
    if (n < kReaderListEntrySize || n > kReaderListMax || n % kReaderListEntrySize != 0)
        throw WUsbErr{WUsbErr::BadLength, kCmdReaderList};
    return n / kReaderListEntrySize;
}

void ZelManager::SetBusRate(std::uint32_t rate)
{
    std::array<std::uint8_t, 2> request;
    PutLe16(request.data(), static_cast<std::uint16_t>(rate / 100));
    ExchangeOk(kCmdSetBusRate, request, timeouts::kShort);
    ReadState(timeouts::kReadState);
}

void ZelManager::SetKeySignature(std::uint32_t signature)
{
    std::array<std::uint8_t, 4> request;
    PutLe32(request.data(), signature);
    ExchangeOk(kCmdSetKeySignature, request, timeouts::kShort);
    sentKeySignature = signature;
    keySignatureChanged = true;
}

void ZelManager::SetTime(std::uint32_t utcSeconds)
{
    std::array<std::uint8_t, 4> request;
    PutLe32(request.data(), utcSeconds);
    ExchangeOk(kCmdSetTime, request, timeouts::kShort);
}

bool ZelManager::ReadEvent(ReaderEvent& event)
{
    SetTimeout(timeouts::kEventPoll);
    std::array<std::uint8_t, 4 + ReaderEvent::kMaxBytes> payload{};
    // A reader that reads a backup card reports the card's certificate in its
    // event; only the caller's copy of it stays.
    ScopedWipe wipe(payload, 0);
    const std::size_t n = std::min(ReceiveReply(kCmdEvent, payload), payload.size());
    wipe.Cover(n);
    if (n < 4)
        return false;
    event.readerId = GetLe32(payload.data());
    event.length = n - 4;
    event.bytes.fill(0);
    std::copy_n(payload.begin() + 4, event.length, event.bytes.begin());
    return true;
}

std::uint8_t ZelManager::SetReaderAddress(int index, std::uint8_t address)
{
    const std::array<std::uint8_t, 1> request{address};
    return RelayExchangeStatus(index, kCmdSetReaderAddress, request);
}

bool ZelManager::WriteReaderConfig(int index, ConfigKind kind, const ConfigBytes& config)
{
    std::array<std::uint8_t, 1 + 8> request;
    request[0] = kind;
    std::copy(config.begin(), config.end(), request.begin() + 1);
    return RelayExchangeStatus(index, kCmdWriteReaderConfig, request) == 0;
}

int ZelManager::SignResetCertificate(int index, std::span<const std::uint8_t, kCertificateSize> certificate,
                                     std::span<std::uint8_t, kCertificateSize> signedCertificate)
{
    return RelayExchangeData(index, kCmdSignResetCertificate, certificate, signedCertificate);
}

std::uint8_t ZelManager::WriteReaderKeyCertificate(int index, std::span<const std::uint8_t, kCertificateSize> certificate)
{
    return RelayExchangeStatus(index, kCmdWriteReaderKeyCertificate, certificate);
}

void ZelManager::IdentifyReader(int index)
{
    // The reader signals itself (value 5) so the installer can find it.
    const std::array<std::uint8_t, 1> request{5};
    RelayExchangeOk(index, kCmdIdentifyReader, request);
}

int ZelManager::ReadModuleData(int index, ModuleData subCode, std::span<std::uint8_t, 8> data)
{
    const std::array<std::uint8_t, 1> request{subCode};
    return RelayExchangeData(index, kCmdReadModuleData, request, data);
}

void ZelManager::SetReadingMode(ReadingMode mode, std::uint32_t value)
{
    std::array<std::uint8_t, 5> request;
    request[0] = mode;
    PutLe32(request.data() + 1, value);
    RelayExchangeOk(-1, kCmdSetReadingMode, request);
}

std::uint32_t ZelManager::RefreshReaders()
{
    const std::int32_t countBefore = readerCount;
    maxReaderAddress = 0;
    anyReaderOnline = false;
    std::array<std::uint8_t, kReaderListMax> list;
    readerCount = static_cast<std::int32_t>(ReadReaderList(list));
    std::uint32_t mask = 0;
    for (std::int32_t i = 0; i < readerCount; ++i) {
        ReaderRecord& record = readers[static_cast<std::size_t>(i)];
        const auto entry = std::span(list).subspan(static_cast<std::size_t>(i) * kReaderListEntrySize)
                               .first<kReaderListEntrySize>();
        if (CopyReaderListEntry(record, entry))
            mask |= 1u << i;
        if (record.readerId() == 0) {
            readerCount = i;
            break;
        }
        anyReaderOnline |= record.online;
        maxReaderAddress = std::max<std::int32_t>(maxReaderAddress, record.address());
    }
    // Rows the list no longer reaches forget their reader and count as
    // changed, so that they are drawn as unlisted, and a reader that comes
    // back later is seen as new.
    for (std::int32_t i = readerCount; i < countBefore; ++i) {
        readers[static_cast<std::size_t>(i)].info = {};
        readers[static_cast<std::size_t>(i)].online = false;
        mask |= 1u << i;
    }
    if (keySignatureChanged) {
        // Every row's key state is judged against the new signature; the rows
        // that just lost their reader stay reported too.
        mask |= readerCount >= 32 ? 0xFFFFFFFFu : (1u << readerCount) - 1;
        keySignatureChanged = false;
    }
    return mask;
}

int ZelManager::NextEvent(ReaderEvent& event)
{
    if (!ReadEvent(event))
        return kNoEvent;
    for (std::int32_t i = 0; i < readerCount; ++i)
        if (readers[static_cast<std::size_t>(i)].readerId() == event.readerId)
            return i;
    return kNoEvent;
}

void ZelManager::ResetReaderList()
{
    for (std::int32_t i = 0; i < readerCount; ++i)
        readers[static_cast<std::size_t>(i)].info = {};
    readerCount = 0;
    anyReaderOnline = false;
}

bool ZelManager::AddressInUse(int index, std::uint8_t address) const
{
    for (std::int32_t i = 0; i < readerCount; ++i)
        if (i != index && readers[static_cast<std::size_t>(i)].address() == address)
            return true;
    return false;
}

int ZelManager::FindReaderWithKeySignature() const
{
    for (std::int32_t i = 0; i < readerCount; ++i) {
        const ReaderRecord& r = readers[static_cast<std::size_t>(i)];
        if (r.online && r.HasKeyBits(ReaderRecord::kKeyBit1 | ReaderRecord::kKeyMatchesSignature))
            return i;
    }
    return -1;
}

bool ZelManager::AnyReaderWithBackupKeys() const
{
    return std::any_of(readers.begin(), readers.begin() + readerCount, [](const ReaderRecord& r) {
        return r.online && r.HasKeyBits(ReaderRecord::kKeyBit0 | ReaderRecord::kKeyBit1);
    });
}

bool ZelManager::WriteReaderConfigToAll(const ConfigBytes& config)
{
    bool all = true;
    for (std::int32_t i = 0; i < readerCount; ++i)
        if (readers[static_cast<std::size_t>(i)].online && !WriteReaderConfig(i, ReaderConfigKind, config))
            all = false;
    return all;
}

void ZelManager::CloseManager()
{
    readerImage = nullptr;
    Close();
    // A Manager opened later, this one again or another, has to be sent the
    // Arkan's signature afresh.
    sentKeySignature = 0;
    info = {};
    image = nullptr;
    blockCounter = 0;
}

} // namespace qozel
