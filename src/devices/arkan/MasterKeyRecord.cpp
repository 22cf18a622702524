#include "devices/arkan/MasterKeyRecord.h"

#include "link/Frame.h"

#include <algorithm>

namespace qozel {

MasterKeyRecord MasterKeyRecord::Make(bool temporary, std::span<const std::uint8_t> symbol,
                                      std::uint32_t keySignature, std::span<const std::uint8_t, kKeySize> masterKey)
{
    MasterKeyRecord record;
    std::uint8_t* b = record.bytes.data();
    b[0] = 1;
    b[1] = temporary ? kTemporary : kTarget;
    b[2] = 1;
    b[3] = 0;
    std::copy_n(symbol.begin(), std::min(symbol.size(), kSymbolSize), b + 4);
    PutLe32(b + 12, keySignature);
    std::copy(masterKey.begin(), masterKey.end(), b + 16);
    PutLe32(b + 48, Crc32(record.bytes.span().first<48>()));
    return record;
}

} // namespace qozel
