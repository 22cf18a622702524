#include "devices/DevInfo.h"

#include <array>
#include <cstdio>

namespace qozel {
namespace {

constexpr std::array<const char*, 8> kModelPrefix = {"QO", "WYR", "Nuna", "OSK", "", "", "", "FEJ"};
constexpr char kModelLetter[] = "VJNHFHSLYYY";

struct ModelParts {
    const char* prefix;
    char letter;
    unsigned number;
};

ModelParts Decode(std::uint16_t type)
{
    const unsigned value = type & 0x3FF;
    const unsigned family = (type >> 12) & 7;
    // Families 1 and 3 (bit 12 set, bit 14 clear) number their models from 100.
    const unsigned number = value % 100 + (((type >> 12) & 5) == 1 ? 100 : 0);
    return {kModelPrefix[family], kModelLetter[value / 100], number};
}

} // namespace

std::string ShortName(const DevInfo& info)
{
    const ModelParts m = Decode(info.type);
    char text[32];
    std::snprintf(text, sizeof text, "%s-%c%02u", m.prefix, m.letter, m.number);
    return text;
}

std::string LongName(const DevInfo& info)
{
    if (!info.HasDevice())
        return kLongNamePlaceholder;
    const ModelParts m = Decode(info.type);
    char text[64];
    std::snprintf(text, sizeof text, "%s-%c%02u Nr: %u, Soft: %u", m.prefix, m.letter, m.number,
                  static_cast<unsigned>(info.nr), static_cast<unsigned>(info.soft));
    return text;
}

bool CopyDevInfo(DevInfo& destination, const DevInfo& source) noexcept
{
    const bool changed = !(destination == source);
    destination = source;
    return changed;
}

} // namespace qozel
