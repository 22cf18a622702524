// Upgrade of a reader on the bus through relayed command 117: the image
// header, the data blocks and then the four final-entry groups as four more
// blocks; the reader picks its own final entry. A refusal disables the image
// for the rest of the run.
#include "devices/firmware/BuiltInImages.h"
#include "devices/manager/ZelManager.h"
#include "link/DeviceErrors.h"

#include <algorithm>

namespace qozel {

int ZelManager::ReaderImageVersion(int index)
{
    readerImage = nullptr;
    const ReaderRecord& reader = readers[static_cast<std::size_t>(index) & (kMaxReaders - 1)];
    FirmwareImage* candidate = ReaderImageForType(reader.info.type);
    const int version = candidate ? candidate->VersionFor(reader.info.type) : 0;
    if (version == 0)
        return 0;
    // Attached only when it fits, so a later step cannot send a wrong image.
    readerImage = candidate;
    readerBlockCounter = 0;
    return version;
}

int ZelManager::UpgradeReaderStep(int index)
{
    FirmwareImage* attached = readerImage;
    const int total = attached ? attached->blockCount() + static_cast<int>(FirmwareImage::kFinalGroups) : 0;
    // Nothing to send: no image, or all its blocks sent (never read past it).
    // The same device error as the USB devices' step.
    if (!attached || readerBlockCounter < 0 || readerBlockCounter >= total)
        throw WUsbErr{WUsbErr::NoImage, 0};
    FirmwareImage& image = *attached;
    auto fail = [&] {
        image.Disable();
        return -1;
    };
    if (readerBlockCounter == 0 && RelayExchangeStatus(index, kCmdReaderUpgrade, image.header()) != 0)
        return fail();
    const auto counter = static_cast<std::uint16_t>(readerBlockCounter);
    if (SendReaderBlock(index, counter, image.block(counter)) != 0)
        return fail();
    ++readerBlockCounter;
    return readerBlockCounter * 100 / total;
}

std::uint8_t ZelManager::SendReaderBlock(int index, std::uint16_t blockNumber,
                                         std::span<const std::uint8_t, FirmwareImage::kBlockSize> block)
{
    return RelayExchangeStatus(index, kCmdReaderUpgrade, MakeUpgradeBlockRequest(blockNumber, block));
}

} // namespace qozel
