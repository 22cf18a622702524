#include "link/QoWUsbBulkD.h"

#include "link/DeviceErrors.h"
#include "platform/SecureMemory.h"

#include <algorithm>
#include <array>

namespace qozel {

int QoWUsbBulkD::ImageVersion()
{
    blockCounter = 0;
    return image ? image->VersionFor(info.type) : 0;
}

void QoWUsbBulkD::SendFrame(std::uint8_t command, std::span<const std::uint8_t> payload)
{
    FrameBuffer frame;
    const std::size_t length = BuildFrame(command, payload, frame);
    if (length == 0)
        return;
    // Requests carry keys, certificates and master-key records: the copy does
    // not outlive the write.
    const ScopedWipe wipe{std::span(frame).first(length)};
    // A lost request shows up as a missing reply; the write result adds nothing.
    Write(std::span(frame).first(length));
}

std::size_t QoWUsbBulkD::ReceiveFrame(FrameBuffer& frame)
{
    const std::uint64_t start = clock().Microseconds();
    const std::uint64_t limitUs = static_cast<std::uint64_t>(std::max(timeout(), 1)) * 1000;
    for (;;) {
        const std::size_t m = Read(frame);
        if (m == 0)
            return 0;
        if (IsValidFrame(std::span(frame).first(m)))
            return m;
        // Dropped a transfer; a damaged reply may still hold most of a
        // certificate. Give up once this attempt has outlasted its
        // time-out, so a babbling device cannot hold the application.
        SecureWipe(std::span(frame).first(m));
        if (clock().Microseconds() - start > limitUs)
            return 0;
    }
}

std::size_t QoWUsbBulkD::ReceiveReply(std::uint8_t replyCode, std::span<std::uint8_t> reply)
{
    FrameBuffer frame;
    // Replies carry certificates; the frames read here are cleared on the way out.
    ScopedWipe wipe(frame, 0);
    const std::uint64_t start = clock().Microseconds();
    const std::uint64_t limitUs = static_cast<std::uint64_t>(std::max(timeout(), 1)) * 1000;
    for (;;) {
        const std::size_t m = ReceiveFrame(frame);
        wipe.Cover(m);
        if (m == 0)
            return 0;
        if (frame[2] == replyCode) {
            const std::size_t payload = m - kFrameOverhead;
            std::copy_n(frame.begin() + 3, std::min(payload, reply.size()), reply.begin());
            return payload;
        }
        // A late reply or an unsolicited frame: skip it, within the same bound.
        if (clock().Microseconds() - start > limitUs)
            return 0;
    }
}

std::size_t QoWUsbBulkD::Exchange(std::uint8_t command, std::span<const std::uint8_t> request,
                                  std::span<std::uint8_t> reply, std::int32_t timeoutMs)
{
    SetTimeout(timeoutMs);
    const std::uint8_t replyCode = command | kReplyBit;
    for (int attempt = 0; attempt < 2; ++attempt) {
        SendFrame(command, request);
        if (const std::size_t n = ReceiveReply(replyCode, reply); n > 0)
            return n;
    }
    throw WUsbErr{WUsbErr::NoReply, command};
}

int QoWUsbBulkD::ExchangeData(std::uint8_t command, std::span<const std::uint8_t> request,
                              std::span<std::uint8_t> reply, std::int32_t timeoutMs)
{
    // A caller's mistake, not the device's: nothing is sent.
    if (reply.size() < 2)
        throw WUsbErr{WUsbErr::ReplyTooShort, command};
    if (reply.size() > kMaxPayload)
        throw WUsbErr{WUsbErr::ReplyTooLong, command};
    // Received into a scratch buffer so that the caller's buffer holds either
    // the complete answer or what it held before.
    FrameBuffer scratch;
    const auto received = std::span(scratch).first(reply.size());
    const ScopedWipe wipe(received);
    const std::size_t n = Exchange(command, request, received, timeoutMs);
    return TakeDataReply(command, n, scratch, reply);
}

int QoWUsbBulkD::TakeDataReply(std::uint8_t command, std::size_t received, std::span<const std::uint8_t> scratch,
                               std::span<std::uint8_t> reply)
{
    if (received == reply.size()) {
        std::copy_n(scratch.begin(), received, reply.begin());
        return 0;
    }
    // A single byte is the device's refusal, also when it is 0: no data came.
    if (received == 1)
        return scratch[0] != 0 ? scratch[0] : kRefusedWithoutReason;
    throw WUsbErr{WUsbErr::BadLength, command};
}

std::uint8_t QoWUsbBulkD::ExchangeStatus(std::uint8_t command, std::span<const std::uint8_t> request,
                                         std::int32_t timeoutMs)
{
    std::array<std::uint8_t, 1> status{};
    if (Exchange(command, request, status, timeoutMs) != 1)
        throw WUsbErr{WUsbErr::BadLength, command};
    return status[0];
}

void QoWUsbBulkD::ExchangeOk(std::uint8_t command, std::span<const std::uint8_t> request, std::int32_t timeoutMs)
{
    if (ExchangeStatus(command, request, timeoutMs) != 0)
        throw WUsbErr{WUsbErr::StatusNotOk, command};
}

void QoWUsbBulkD::ReadState(std::int32_t timeoutMs)
{
    std::array<std::uint8_t, DevInfo::kSize> reply{};
    if (Exchange(kCmdReadState, {}, reply, timeoutMs) != DevInfo::kSize)
        throw WUsbErr{WUsbErr::BadLength, kCmdReadState};
    info = DevInfo::FromBytes(reply);
}

} // namespace qozel
