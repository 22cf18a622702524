// Feeds arbitrary answers to what the ZEL Manager parses: its reader list
// (RefreshReaders), the replies to relayed commands, and the event frames of
// its readers. Whatever arrives, the reader table must list only readers with
// an id, report exactly the rows that changed, and name only listed readers
// as the source of an event.
#include "devices/manager/ZelManager.h"
#include "link/DeviceErrors.h"

#include "FuzzTransfers.h"
#include "ScriptedModel.h"
#include "VirtualClock.h"

#include <cstdlib>

namespace {

using namespace qozel;
using fuzz::Bytes;
using fuzz::Input;

void Refresh(Input& in, ZelManager& manager, sim::SimUsbDevice& device)
{
    fuzz::QueueTransfers(in, device, in.Byte() % 4, ZelManager::kCmdReaderList | kReplyBit);
    const std::int32_t countBefore = manager.readerCount;
    const std::uint32_t mask = manager.RefreshReaders();
    const std::int32_t count = manager.readerCount;
    if (count < 0 || count > static_cast<std::int32_t>(kMaxReaders))
        std::abort();
    bool online = false;
    for (std::int32_t i = 0; i < count; ++i) {
        const ReaderRecord& reader = manager.readers[static_cast<std::size_t>(i)];
        if (reader.readerId() == 0)
            std::abort();
        online |= reader.online;
    }
    if (online != manager.anyReaderOnline)
        std::abort();
    // Rows the list no longer reaches are reported, and none past either list.
    const std::int32_t reach = std::max(count, countBefore);
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(kMaxReaders); ++i)
        if (((mask >> i) & 1) != 0 ? i >= reach : (i >= count && i < countBefore))
            std::abort();
}

// A listed reader, all readers (-1) or an index past the list.
int ReaderIndex(Input& in, const ZelManager& manager)
{
    return static_cast<int>(in.Byte() % (manager.readerCount + 2)) - 1;
}

void Relay(Input& in, ZelManager& manager, sim::SimUsbDevice& device, std::uint8_t op)
{
    const int index = ReaderIndex(in, manager);
    const std::uint8_t command = in.Byte() & 0x7F;
    Bytes reply(in.Byte() * 4u);
    Bytes id(4);
    PutLe32(id.data(), index < 0 ? ZelManager::kAllReaders
                                 : manager.readers[static_cast<std::size_t>(index)].readerId());
    fuzz::QueueTransfers(in, device, in.Byte() % 4, command | kReplyBit, id);
    if (op % 2 == 0) {
        if (const std::size_t n = manager.RelayExchange(index, command, {}, reply); n > kMaxPayload)
            std::abort();
    } else if (const int r = manager.RelayExchangeData(index, command, {}, reply); r < 0 || r > 0x100) {
        std::abort();
    }
}

void Event(Input& in, ZelManager& manager, sim::SimUsbDevice& device)
{
    const int source = ReaderIndex(in, manager);
    Bytes id(4);
    PutLe32(id.data(), source < 0 ? in.Le32() : manager.readers[static_cast<std::size_t>(source)].readerId());
    fuzz::QueueTransfers(in, device, in.Byte() % 4, ZelManager::kCmdEvent, id);
    ReaderEvent event;
    const int index = manager.NextEvent(event);
    if (index == ZelManager::kNoEvent)
        return;
    if (index < 0 || index >= manager.readerCount ||
        manager.readers[static_cast<std::size_t>(index)].readerId() != event.readerId ||
        event.length > ReaderEvent::kMaxBytes)
        std::abort();
    for (std::size_t i = event.length; i < ReaderEvent::kMaxBytes; ++i)
        if (event.bytes[i] != 0)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    sim::VirtualClock clock;
    sim::SimUsbHost host(clock);
    auto device = std::make_shared<sim::SimUsbDevice>(kManagerGuid, std::make_shared<sim::ScriptedModel>());
    host.Attach(device);
    ZelManager manager(host, clock);
    if (!manager.Open())
        std::abort();
    manager.ReadState(); // drains; from here on only the queued transfers answer
    Input in{data, size};
    while (!in.empty()) {
        const std::uint8_t op = in.Byte();
        try {
            switch (op % 4) {
            case 0: Refresh(in, manager, *device); break;
            case 1: Relay(in, manager, *device, op / 4); break;
            case 2: Event(in, manager, *device); break;
            default: // every row is reported at the next refresh
                fuzz::QueueTransfers(in, *device, in.Byte() % 4, ZelManager::kCmdSetKeySignature | kReplyBit);
                manager.SetKeySignature(in.Le32());
            }
        } catch (const WUsbErr&) {
        }
    }
    return 0;
}
