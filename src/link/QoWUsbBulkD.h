#pragma once

#include "devices/DevInfo.h"
#include "devices/FirmwareImage.h"
#include "link/Frame.h"
#include "link/WUsbBulkD.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace qozel {

// Read time-outs of the bulk commands, in ms per read.
namespace timeouts {
inline constexpr std::int32_t kReadState = 20;
inline constexpr std::int32_t kShort = 50;
inline constexpr std::int32_t kLoginAnswer = 500;
inline constexpr std::int32_t kKeyCommand = 1000;
inline constexpr std::int32_t kLong = 2000;
inline constexpr std::int32_t kEventPoll = 5;
} // namespace timeouts

// The bulk command channel: request/reply exchanges with one resend, typed
// device errors, and the device's last identity record.
class QoWUsbBulkD : public WUsbBulkD {
public:
    // What ExchangeData returns for a one-byte answer of 0: the device sent a
    // status where data was asked for, so nothing usable arrived.
    static constexpr int kRefusedWithoutReason = 0x100;

    using WUsbBulkD::WUsbBulkD;
    virtual ~QoWUsbBulkD() = default;

    // Version of the attached image when it fits this device, else 0; resets
    // the block counter. Device classes attach their own image first.
    virtual int ImageVersion();

    // Frame layer.
    // Sends one request frame; a payload over 1027 bytes sends nothing.
    void SendFrame(std::uint8_t command, std::span<const std::uint8_t> payload);
    // Length of the next valid frame in `frame`, or 0 when a read returned
    // nothing or the attempt outlasted the read time-out while dropping
    // invalid transfers. Dropped transfers are cleared, so only the returned
    // length of `frame` holds received bytes.
    std::size_t ReceiveFrame(FrameBuffer& frame);
    // Payload length of the first valid frame carrying `replyCode`, its
    // payload copied into `reply` (at most reply.size() bytes); 0 when none came.
    std::size_t ReceiveReply(std::uint8_t replyCode, std::span<std::uint8_t> reply);

    // Command channel.
    // Payload length of the reply (at least 1). Throws WUsbErr 3.
    std::size_t Exchange(std::uint8_t command, std::span<const std::uint8_t> request,
                         std::span<std::uint8_t> reply, std::int32_t timeoutMs);
    // Asks for exactly reply.size() (2 to kMaxPayload) bytes. Returns 0 when
    // they came, or the device's refusal when it answered with a single status
    // byte instead (kRefusedWithoutReason for a 0 byte). Throws WUsbErr 6, or
    // 11 or 12 without sending for a size outside that range.
    int ExchangeData(std::uint8_t command, std::span<const std::uint8_t> request,
                     std::span<std::uint8_t> reply, std::int32_t timeoutMs);
    // Throws WUsbErr 6 unless the reply is one byte, WUsbErr 4 unless it is 0.
    void ExchangeOk(std::uint8_t command, std::span<const std::uint8_t> request, std::int32_t timeoutMs);
    // The one status byte (0 = success). Throws WUsbErr 6 unless the reply is one byte.
    std::uint8_t ExchangeStatus(std::uint8_t command, std::span<const std::uint8_t> request,
                                std::int32_t timeoutMs);
    // What an answer of `received` bytes to a request for reply.size() bytes of
    // data means, the answer being in `scratch`: 0 after copying a complete
    // answer into `reply`, the refusal for a single byte (kRefusedWithoutReason
    // for a 0 byte); any other length throws WUsbErr 6.
    static int TakeDataReply(std::uint8_t command, std::size_t received, std::span<const std::uint8_t> scratch,
                             std::span<std::uint8_t> reply);

    // Command 77: stores the 8-byte reply as `info`. Throws WUsbErr 6 (cmd 77) otherwise.
    void ReadState(std::int32_t timeoutMs = timeouts::kReadState);

    // Upgrade engine: one step of sending the attached image (see ImageVersion).
    // Progress 0..100 after a successful step, -1 when the device refused (the
    // image is then disabled). Throws WUsbErr 13 when there is nothing to send:
    // no image, an incomplete one (an empty slot), or all its blocks sent.
    int UpgradeStep();
    // Command 89 with one block; returns its status.
    std::uint8_t SendBlock(std::uint16_t blockNumber, std::span<const std::uint8_t, FirmwareImage::kBlockSize> block);

    DevInfo info{};
    FirmwareImage* image = nullptr;
    std::int32_t blockCounter = 0;
};

} // namespace qozel
