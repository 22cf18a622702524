#include "devices/manager/ReaderRecord.h"

#include "link/Frame.h"

namespace qozel {
namespace {

// Status byte values above this mean the reader answers on the bus.
constexpr std::uint8_t kOnlineAbove = 2;

template <typename T>
bool Assign(T& field, T value) noexcept
{
    const bool changed = field != value;
    field = value;
    return changed;
}

} // namespace

bool CopyReaderListEntry(ReaderRecord& record, std::span<const std::uint8_t, kReaderListEntrySize> entry) noexcept
{
    const std::uint8_t* e = entry.data();
    if (GetLe32(e) == 0 && record.readerId() == 0)
        return false;
    bool changed = CopyDevInfo(record.info, DevInfo::FromBytes(entry.first<DevInfo::kSize>()));
    changed |= Assign(record.options, GetLe32(e + 8));
    changed |= Assign(record.baud100, std::uint32_t{GetLe16(e + 12)});
    changed |= Assign(record.config0, e[14]);
    changed |= Assign(record.config1, e[15]);
    changed |= Assign(record.config2, e[16]);
    changed |= Assign(record.online, e[17] > kOnlineAbove);
    // Supply values move all the time; they alone do not redraw a row.
    record.supplyU = GetLe16(e + 18);
    record.supplyUpp = e[20];
    record.supplyMaxUpp = e[21];
    return changed;
}

} // namespace qozel
