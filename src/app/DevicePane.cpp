#include "app/DevicePane.h"

#include "app/AppTexts.h"
#include "devices/arkan/ZelCfgAr.h"
#include "devices/kbreader/ZelCfgKbRd.h"
#include "devices/programmer/ZelCfgPrgr.h"

#include <cstdio>

namespace qozel {
namespace {

template <class Device>
DevicePane Present(const Device& device, const char* name, const char* absentLine)
{
    DevicePane pane;
    pane.present = device.IsOpen();
    if (!pane.present) {
        pane.line = absentLine;
        pane.lineColour = Colour::Red;
        return pane;
    }
    pane.line = std::string(name) + " Nr: " + std::to_string(device.info.nr) +
                ", Soft: " + std::to_string(device.info.soft);
    pane.lineColour = Colour::WindowText;
    return pane;
}

bool Mismatch(std::uint32_t arkanSignature, std::uint32_t signature)
{
    return arkanSignature != 0 && signature != 0 && arkanSignature != signature;
}

} // namespace

std::string SignatureText(bool hasKeys, std::uint32_t signature)
{
    if (!hasKeys)
        return "--------";
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(signature));
    return text;
}

DevicePane ArkanPane(const ZelCfgAr& arkan)
{
    DevicePane pane = Present(arkan, app_texts::kArkanName, app_texts::kNoArkan);
    pane.keys = ArkanStateText(arkan.State());
    pane.signature = SignatureText(arkan.HasMasterKey(), arkan.keySignature);
    return pane;
}

DevicePane ProgrammerPane(const ZelCfgPrgr& programmer, std::uint32_t arkanSignature)
{
    DevicePane pane = Present(programmer, app_texts::kProgrammerName, app_texts::kNoProgrammer);
    pane.keys = PrgrKeyStateText(programmer.info.flags);
    pane.signature = SignatureText(programmer.HasKeys(), programmer.keySignature);
    pane.mismatch = Mismatch(arkanSignature, programmer.keySignature);
    return pane;
}

DevicePane KbReaderPane(const ZelCfgKbRd& reader, std::uint32_t arkanSignature)
{
    DevicePane pane = Present(reader, app_texts::kKbReaderName, app_texts::kNoKbReader);
    pane.keys = !reader.HasKeys()             ? app_texts::kNoKeys
                : reader.HasTemporaryKeys() ? app_texts::kTemporaryKeys
                                            : app_texts::kTargetKeys;
    pane.signature = SignatureText(reader.HasKeys(), reader.keySignature);
    pane.mismatch = Mismatch(arkanSignature, reader.keySignature);
    return pane;
}

} // namespace qozel
