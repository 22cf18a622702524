// Feeds arbitrary device answers to the bulk and HID command channels. The
// channels must turn every answer into a reply of a sane length or a device
// error: never read or write past a buffer, and give up within their time
// bounds however much a device sends.
#include "link/DeviceErrors.h"
#include "link/QoHID.h"
#include "link/QoWUsbBulkD.h"

#include "FuzzTransfers.h"
#include "ScriptedModel.h"
#include "SimHidHost.h"
#include "VirtualClock.h"

#include <cstdlib>

namespace {

using namespace qozel;
using fuzz::Bytes;
using fuzz::Input;

constexpr std::int32_t kTimeouts[] = {timeouts::kEventPoll, timeouts::kReadState, timeouts::kShort,
                                      timeouts::kLong};

// One bulk call per step, answered by the transfers queued before it; what
// a call leaves unread answers the next one, as a late reply would.
void BulkStep(Input& in, QoWUsbBulkD& bulk, sim::SimUsbDevice& device, sim::VirtualClock& clock)
{
    const std::uint8_t op = in.Byte();
    const std::uint8_t command = in.Byte() & 0x7F;
    const std::int32_t timeout = kTimeouts[op % 4];
    // Exact-size buffers, so that a write past the asked length is caught.
    Bytes reply(in.Byte() * 4u);
    fuzz::QueueTransfers(in, device, in.Byte() % 8, command | kReplyBit);
    const std::uint64_t start = clock.Microseconds();
    try {
        switch (op / 4 % 4) {
        case 0:
            if (const std::size_t n = bulk.Exchange(command, {}, reply, timeout); n == 0 || n > kMaxPayload)
                std::abort();
            break;
        case 1:
            if (const int r = bulk.ExchangeData(command, {}, reply, timeout); r < 0 || r > 0x100)
                std::abort();
            break;
        case 2:
            bulk.ExchangeStatus(command, {}, timeout);
            break;
        default:
            bulk.ReadState(timeout);
        }
    } catch (const WUsbErr&) {
    }
    // Request and resend, each waiting at most three time-outs: its own
    // bound, a read begun just before it, and a frame wait begun then.
    const std::uint64_t boundUs = 2 * 3 * static_cast<std::uint64_t>(timeout) * 1000 + 10'000;
    if (clock.Microseconds() - start > boundUs)
        std::abort();
}

void Bulk(Input& in)
{
    sim::VirtualClock clock;
    sim::SimUsbHost host(clock);
    auto device = std::make_shared<sim::SimUsbDevice>(kArkanGuid, std::make_shared<sim::ScriptedModel>());
    host.Attach(device);
    QoWUsbBulkD bulk(host, clock, kArkanGuid);
    if (!bulk.Open())
        std::abort();
    bulk.ReadState(); // drains; from here on only the queued transfers answer
    while (!in.empty())
        BulkStep(in, bulk, *device, clock);
}

void Hid(Input& in)
{
    sim::SimHidHost host;
    auto device = std::make_shared<sim::SimHidDevice>(std::make_shared<sim::ScriptedModel>(),
                                                      HidAttributes{DeviceVendorId, KbRdProductId, 1});
    const std::uint8_t op = in.Byte();
    const std::uint8_t command = in.Byte() & 0x7F;
    const Bytes request(in.Byte() * 3u, 0x5A); // past the longest frame a report holds
    Bytes reply(in.Byte() % 64);
    Bytes raw = in.Take(in.size);
    if (op & 1)
        raw = sim::MakeFrame(command | kReplyBit, raw);
    device->faults.rawReply = raw;
    host.Attach(device);
    QoHID hid(host, KbRdProductId);
    if (!hid.Open())
        std::abort();
    try {
        switch (op / 2 % 3) {
        case 0:
            if (hid.Exchange(command, request, reply) > kHidReplyReportSize - 1 - kFrameOverhead)
                std::abort();
            break;
        case 1:
            hid.ExchangeStatus(command, request);
            break;
        default:
            hid.ReadState();
        }
    } catch (const QoHIDErr&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    Input in{data + 1, size - 1};
    if (data[0] & 1)
        Hid(in);
    else
        Bulk(in);
    return 0;
}
