#pragma once

#include "devices/DevInfo.h"
#include "devices/FirmwareImage.h"
#include "platform/HidHost.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace qozel {

class TraceSet;

// Compiled-in USB identifiers of the device family.
inline constexpr std::uint16_t DeviceVendorId = QOZEL_DEVICE_VENDOR_ID;
inline constexpr std::uint16_t KbRdProductId = QOZEL_KBRD_PRODUCT_ID;

// HID report packing of a command frame: report ID 0x41 + k, k = (L + 1) / 64,
// the frame from byte 1, zeros to the report length 64k + 63.
inline constexpr std::size_t kHidReportBuffer = 576;
inline constexpr std::size_t kHidMaxFrame = 574;
inline constexpr std::uint8_t kHidReplyReportId = 0x41;
inline constexpr std::size_t kHidReplyReportSize = 63;

constexpr std::size_t HidReportIndex(std::size_t frameLength) noexcept { return (frameLength + 1) / 64; }
constexpr std::size_t HidReportLength(std::size_t frameLength) noexcept
{
    return 64 * HidReportIndex(frameLength) + 63;
}

// The keyboard reader's channel: one Set Feature with the request, one Get
// Feature with the reply; no time-out and no resend.
class QoHID {
public:
    QoHID(HidHost& host, std::uint16_t productId);
    QoHID(const QoHID&) = delete;
    QoHID& operator=(const QoHID&) = delete;
    virtual ~QoHID();

    virtual int ImageVersion();

    // Opens the first free HID interface with DeviceVendorId and this object's
    // product id. Called only while closed.
    bool Open();
    // Closes the device and clears the identity and the image reference.
    void Close();
    bool IsOpen() const noexcept { return handle_ != nullptr; }

    // Payload length of the reply; its first bytes (up to reply.size()) are
    // copied into `reply`. Throws QoHIDErr 0, 1, 2 or 3.
    std::size_t Exchange(std::uint8_t command, std::span<const std::uint8_t> request,
                         std::span<std::uint8_t> reply);
    // The one status byte; throws QoHIDErr 4 (with the command) for any other length.
    std::uint8_t ExchangeStatus(std::uint8_t command, std::span<const std::uint8_t> request);
    // Command 77: stores the first 8 bytes of the reply as `info`; throws
    // QoHIDErr 4 (cmd 77) for a shorter reply, leaving `info` as it was.
    void ReadState();

    // Upgrade engine, as for the bulk devices (over ExchangeStatus); QoHIDErr 9
    // when there is nothing to send.
    int UpgradeStep();
    std::uint8_t SendBlock(std::uint16_t blockNumber, std::span<const std::uint8_t, FirmwareImage::kBlockSize> block);

    std::uint16_t productId() const noexcept { return productId_; }
    std::uint16_t release() const noexcept { return release_; }

    TraceSet* trace;
    DevInfo info{};
    FirmwareImage* image = nullptr;
    std::int32_t blockCounter = 0;

private:
    HidHost& host_;
    std::unique_ptr<HidHandle> handle_;
    std::uint16_t productId_;
    std::uint16_t release_ = 0;
};

} // namespace qozel
