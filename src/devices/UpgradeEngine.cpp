// Sends an attached firmware image to a USB device block by block: the header
// with command 90, each data block with command 89, and the device's own final
// entry with command 121. A refusal disables the image for the rest of the run.
#include "link/DeviceErrors.h"
#include "link/Frame.h"
#include "link/QoHID.h"
#include "link/QoWUsbBulkD.h"

#include <array>

namespace qozel {
namespace {

constexpr std::uint8_t kCmdUpgradeBlock = 89;
constexpr std::uint8_t kCmdUpgradeHeader = 90;
constexpr std::uint8_t kCmdUpgradeFinal = 121;

// An image can be stepped through only when it holds all the blocks its
// header counts and not all of them were sent yet; anything else (no image,
// an empty slot, a step after the last) would send bytes from outside it.
bool CanStep(const FirmwareImage* image, std::int32_t counter)
{
    return image && image->complete() && counter >= 0 && counter < image->blockCount();
}

// The steps common to both channels; `send(command, request)` returns the status.
template <typename Device, typename Send>
int RunUpgradeStep(Device& device, Send send)
{
    FirmwareImage& image = *device.image;
    const int blocks = image.blockCount();
    auto fail = [&] {
        image.Disable();
        return -1;
    };
    if (device.blockCounter == 0 && send(kCmdUpgradeHeader, image.header()) != 0)
        return fail();
    const auto counter = static_cast<std::uint16_t>(device.blockCounter);
    if (send(kCmdUpgradeBlock, MakeUpgradeBlockRequest(counter, image.block(counter))) != 0)
        return fail();
    ++device.blockCounter;
    if (device.blockCounter < blocks)
        return device.blockCounter * 100 / blocks;
    const auto entry = image.finalEntry(static_cast<std::uint8_t>(device.info.nr & 0xFF));
    if (send(kCmdUpgradeFinal, entry) != 0)
        return fail();
    return 100;
}

std::int32_t UpgradeTimeout(std::uint8_t command)
{
    return command == kCmdUpgradeHeader ? timeouts::kKeyCommand : timeouts::kLong;
}

} // namespace

int QoWUsbBulkD::UpgradeStep()
{
    if (!CanStep(image, blockCounter))
        throw WUsbErr{WUsbErr::NoImage, 0};
    return RunUpgradeStep(*this, [this](std::uint8_t command, std::span<const std::uint8_t> request) {
        return ExchangeStatus(command, request, UpgradeTimeout(command));
    });
}

std::uint8_t QoWUsbBulkD::SendBlock(std::uint16_t blockNumber,
                                    std::span<const std::uint8_t, FirmwareImage::kBlockSize> block)
{
    return ExchangeStatus(kCmdUpgradeBlock, MakeUpgradeBlockRequest(blockNumber, block), timeouts::kLong);
}

int QoHID::UpgradeStep()
{
    if (!CanStep(image, blockCounter))
        throw QoHIDErr{QoHIDErr::NoImage, 0};
    return RunUpgradeStep(*this, [this](std::uint8_t command, std::span<const std::uint8_t> request) {
        return ExchangeStatus(command, request);
    });
}

std::uint8_t QoHID::SendBlock(std::uint16_t blockNumber, std::span<const std::uint8_t, FirmwareImage::kBlockSize> block)
{
    return ExchangeStatus(kCmdUpgradeBlock, MakeUpgradeBlockRequest(blockNumber, block));
}

} // namespace qozel
