// Feeds arbitrary device answers to the bulk and HID command channels. The
// channels must turn every answer into a reply of a sane length or a device
// error: never read or write past a buffer, never hang.
#include "link/DeviceErrors.h"
#include "link/QoHID.h"
#include "link/QoWUsbBulkD.h"

#include "ScriptedModel.h"
#include "SimHidHost.h"
#include "SimUsbHost.h"

#include <array>
#include <cstdlib>

namespace {

using namespace qozel;

// Splits the input into transfers: each starts with a length byte.
std::vector<sim::Bytes> Transfers(const std::uint8_t* data, std::size_t size)
{
    std::vector<sim::Bytes> out;
    std::size_t i = 0;
    while (i < size) {
        const std::size_t n = std::min<std::size_t>(data[i] * 5u, size - i - 1);
        out.emplace_back(data + i + 1, data + i + 1 + n);
        i += 1 + n;
    }
    return out;
}

void Bulk(const std::uint8_t* data, std::size_t size)
{
    sim::VirtualClock clock;
    sim::SimUsbHost host(clock);
    auto model = std::make_shared<sim::ScriptedModel>();
    auto device = std::make_shared<sim::SimUsbDevice>(kArkanGuid, model);
    host.Attach(device);
    QoWUsbBulkD bulk(host, clock, kArkanGuid);
    if (!bulk.Open())
        std::abort();
    bulk.ReadState(); // drains; from here on only the queued transfers answer
    for (auto& t : Transfers(data, size)) {
        // Some transfers are wrapped into well-formed frames so that the
        // accepting paths are reached as well as the dropping ones.
        if (t.size() >= 2 && t[0] % 3 == 0)
            t = sim::MakeFrame(t[1] % 2 ? 0xC5 : t[1], std::span(t).subspan(2));
        device->QueueTransfer(std::move(t));
    }
    std::array<std::uint8_t, 80> reply{};
    try {
        if (bulk.ExchangeData(69, {}, reply, 50) < 0)
            std::abort();
    } catch (const WUsbErr&) {
    }
}

void Hid(const std::uint8_t* data, std::size_t size)
{
    sim::SimHidHost host;
    auto model = std::make_shared<sim::ScriptedModel>();
    auto device = std::make_shared<sim::SimHidDevice>(model, HidAttributes{DeviceVendorId, KbRdProductId, 1});
    sim::Bytes raw(data, data + size);
    if (size >= 2 && data[0] % 3 == 0)
        raw = sim::MakeFrame(data[1] % 2 ? 0xCD : data[1], std::span(raw).subspan(2));
    device->faults.rawReply = raw;
    host.Attach(device);
    QoHID hid(host, KbRdProductId);
    if (!hid.Open())
        std::abort();
    std::array<std::uint8_t, 8> reply{};
    try {
        if (hid.Exchange(77, {}, reply) > 57)
            std::abort();
    } catch (const QoHIDErr&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] & 1)
        Hid(data + 1, size - 1);
    else
        Bulk(data + 1, size - 1);
    return 0;
}
