// Relayed commands: the request frame carries the addressed reader's id after
// the command code, and the Manager returns the reader's answer in a frame
// that carries the same id. Frames of other commands or other readers, and
// event frames, are skipped while the answer is awaited.
#include "devices/manager/ZelManager.h"

#include "link/DeviceErrors.h"
#include "platform/SecureMemory.h"

#include <algorithm>

namespace qozel {
namespace {

constexpr std::size_t kRelayOverhead = kFrameOverhead + 4;

} // namespace

void ZelManager::SendRelayFrame(std::uint8_t command, std::uint32_t id, std::span<const std::uint8_t> request)
{
    std::array<std::uint8_t, kMaxPayload> buffer;
    const auto payload = std::span(buffer).first(4 + request.size());
    // Readers are sent key and reset certificates: the copy does not outlive the send.
    const ScopedWipe wipe(payload);
    PutLe32(payload.data(), id);
    std::copy(request.begin(), request.end(), payload.begin() + 4);
    SendFrame(command, payload);
}

std::size_t ZelManager::ReceiveRelayReply(std::uint8_t command, std::uint32_t id, std::span<std::uint8_t> reply)
{
    FrameBuffer frame;
    // A reader's answer may be a signed certificate; the frames read here are
    // cleared on the way out.
    ScopedWipe wipe(frame, 0);
    const std::uint8_t replyCode = command | kReplyBit;
    const std::uint64_t start = clock().Microseconds();
    const std::uint64_t limitUs = static_cast<std::uint64_t>(std::max(timeout(), 1)) * 1000;
    for (;;) {
        const std::size_t m = ReceiveFrame(frame);
        wipe.Cover(m);
        if (m == 0)
            return 0;
        if (m >= kRelayOverhead && frame[2] == replyCode && GetLe32(&frame[3]) == id) {
            const std::size_t payload = m - kRelayOverhead;
            std::copy_n(frame.begin() + 7, std::min(payload, reply.size()), reply.begin());
            return payload;
        }
        // Bounded like the direct channel, so stray traffic cannot hold the wait.
        if (clock().Microseconds() - start > limitUs)
            return 0;
    }
}

std::size_t ZelManager::RelayExchange(int index, std::uint8_t command, std::span<const std::uint8_t> request,
                                      std::span<std::uint8_t> reply)
{
    if (index != -1 && !IsListed(index))
        return 0;
    // Such a request is never sent; no answer can come to it.
    if (request.size() > kMaxRelayPayload)
        throw WUsbErr{WUsbErr::NoReply, command};
    SetTimeout(timeouts::kLong);
    const std::uint32_t id = index < 0 ? kAllReaders : readers[static_cast<std::size_t>(index)].readerId();
    for (int attempt = 0; attempt < 2; ++attempt) {
        SendRelayFrame(command, id, request);
        if (const std::size_t n = ReceiveRelayReply(command, id, reply); n > 0)
            return n;
    }
    throw WUsbErr{WUsbErr::NoReply, command};
}

int ZelManager::RelayExchangeData(int index, std::uint8_t command, std::span<const std::uint8_t> request,
                                  std::span<std::uint8_t> reply)
{
    // A caller's mistake, not the device's: nothing is sent.
    if (reply.size() < 2)
        throw WUsbErr{WUsbErr::ReplyTooShort, command};
    if (reply.size() > kMaxRelayPayload)
        throw WUsbErr{WUsbErr::ReplyTooLong, command};
    // The caller's buffer receives a complete answer or nothing.
    FrameBuffer scratch;
    const auto received = std::span(scratch).first(reply.size());
    const ScopedWipe wipe(received);
    const std::size_t n = RelayExchange(index, command, request, received);
    if (n == 0)
        throw WUsbErr{WUsbErr::NoReply, command};
    return TakeDataReply(command, n, scratch, reply);
}

std::uint8_t ZelManager::RelayExchangeStatus(int index, std::uint8_t command, std::span<const std::uint8_t> request)
{
    std::array<std::uint8_t, 1> status{};
    if (RelayExchange(index, command, request, status) != 1)
        throw WUsbErr{WUsbErr::NoReply, command};
    return status[0];
}

void ZelManager::RelayExchangeOk(int index, std::uint8_t command, std::span<const std::uint8_t> request)
{
    if (RelayExchangeStatus(index, command, request) != 0)
        throw WUsbErr{WUsbErr::StatusNotOk, command};
}

} // namespace qozel
