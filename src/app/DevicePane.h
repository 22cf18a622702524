#pragma once

#include "app/Colour.h"

#include <cstdint>
#include <string>

namespace qozel {

class ZelCfgAr;
class ZelCfgPrgr;
class ZelCfgKbRd;

// What a pane shows of one device: its line, the state of its keys and their
// signature, and whether it is present (enabling the pane's captions and
// showing the key state and signature).
struct DevicePane {
    std::string line;
    Colour lineColour = Colour::Red;
    std::string keys;         // "brak", "tymczasowe"/"docelowe" or "tymczasowy"/"docelowy"
    std::string signature;    // "%08X", or "--------" without keys
    bool mismatch = false;    // signature in red and the mismatch label shown
    bool present = false;

    friend bool operator==(const DevicePane&, const DevicePane&) = default;
};

DevicePane ArkanPane(const ZelCfgAr& arkan);
// `arkanSignature` is the Arkan's, 0 without one; a mismatch needs both.
DevicePane ProgrammerPane(const ZelCfgPrgr& programmer, std::uint32_t arkanSignature);
DevicePane KbReaderPane(const ZelCfgKbRd& reader, std::uint32_t arkanSignature);

// "%08X", or "--------" for a device without keys.
std::string SignatureText(bool hasKeys, std::uint32_t signature);

} // namespace qozel
