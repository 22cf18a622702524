// Feeds arbitrary symbols, signatures and keys to the record that stores a
// master key in the Arkan, and arbitrary device answers to storing it and to
// the Arkan's refresh that follows. The record must keep its layout (fixed
// bytes, symbol cut at 8 and zero-filled, the signature and key in place, a
// CRC the device's own computation agrees with), reach the device unchanged,
// and no answer may leave the Arkan with a signature while it holds no key.
#include "devices/BulkKeyCommands.h"
#include "devices/arkan/ZelArkan.h"
#include "link/DeviceErrors.h"

#include "FuzzTransfers.h"
#include "ScriptedModel.h"
#include "SimCrc32.h"
#include "VirtualClock.h"

#include <algorithm>
#include <cstdlib>

namespace {

using namespace qozel;
using fuzz::Bytes;
using fuzz::Input;

void CheckLayout(const MasterKeyRecord& record, bool temporary, const Bytes& symbol, std::uint32_t signature,
                 const Bytes& key)
{
    const std::uint8_t* b = record.bytes.data();
    if (b[0] != 1 || b[1] != (temporary ? MasterKeyRecord::kTemporary : MasterKeyRecord::kTarget) || b[2] != 1 ||
        b[3] != 0)
        std::abort();
    for (std::size_t i = 0; i < MasterKeyRecord::kSymbolSize; ++i)
        if (b[4 + i] != (i < symbol.size() ? symbol[i] : 0))
            std::abort();
    if (GetLe32(b + 12) != signature || !std::equal(key.begin(), key.end(), b + 16) ||
        GetLe32(b + 48) != sim::Mpeg2Crc32(record.bytes.span().first(48)))
        std::abort();
}

// Every request frame of command 75 the device received carries the record.
void CheckSent(sim::SimUsbDevice& device, const MasterKeyRecord& record)
{
    for (const sim::Request& request : device.model().requests())
        if (request.code == ZelArkan::kCmdStore &&
            !std::equal(request.payload.begin(), request.payload.end(), record.bytes.span().begin(),
                        record.bytes.span().end()))
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in{data, size};
    const bool temporary = (in.Byte() & 1) != 0;
    const Bytes symbol = in.Take(in.Byte() % 16);
    const std::uint32_t signature = in.Le32();
    Bytes key = in.Take(MasterKeyRecord::kKeySize);
    key.resize(MasterKeyRecord::kKeySize);
    const MasterKeyRecord record =
        MasterKeyRecord::Make(temporary, symbol, signature, std::span<const std::uint8_t, 32>(key.data(), 32));
    CheckLayout(record, temporary, Bytes(symbol.begin(), symbol.begin() + std::min<std::size_t>(symbol.size(), 8)),
                signature, key);

    sim::VirtualClock clock;
    sim::SimUsbHost host(clock);
    auto device = std::make_shared<sim::SimUsbDevice>(kArkanGuid, std::make_shared<sim::ScriptedModel>());
    host.Attach(device);
    ZelArkan arkan(host, clock);
    if (!arkan.Open())
        std::abort();
    arkan.ReadState(); // drains; from here on only the queued transfers answer
    while (!in.empty()) {
        try {
            if (in.Byte() % 2 == 0) {
                fuzz::QueueTransfers(in, *device, in.Byte() % 4, ZelArkan::kCmdStore | kReplyBit);
                arkan.StoreMasterKey(record);
            } else {
                fuzz::QueueTransfers(in, *device, in.Byte() % 3, kCmdReadState | kReplyBit);
                fuzz::QueueTransfers(in, *device, in.Byte() % 3, kCmdReadKeySignature | kReplyBit);
                arkan.Refresh();
                if (!arkan.HasMasterKey() && arkan.keySignature != 0)
                    std::abort();
            }
        } catch (const WUsbErr&) {
        }
    }
    CheckSent(*device, record);
    return 0;
}
