#include "devices/firmware/ImageCheck.h"

#include <algorithm>
#include <cstdio>

namespace qozel {
namespace {

std::string Format(const char* format, unsigned long a, unsigned long b = 0)
{
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

} // namespace

std::string CheckImage(std::span<const std::uint8_t> bytes, const ImageSlotInfo& slot)
{
    if (bytes.size() < FirmwareImage::kHeaderSize)
        return Format("%lu bytes is shorter than the 16-byte header", bytes.size());
    if (bytes.size() > kMaxImageFileSize)
        return Format("%lu bytes is more than the %lu bytes allowed", bytes.size(), kMaxImageFileSize);
    std::array<std::uint8_t, FirmwareImage::kHeaderSize> header;
    std::copy_n(bytes.begin(), header.size(), header.begin());
    const FirmwareImage image(header);
    if (slot.typeWord != 0 && image.type() != slot.typeWord)
        return Format("type word 0x%04lX, expected 0x%04lX", image.type(), slot.typeWord);
    if (image.type() == 0 || image.type() == 0xFFFF)
        return Format("type word 0x%04lX names no device", image.type());
    if (image.version() == 0)
        return "version 0 is never offered";
    if (image.blockCount() == 0)
        return "no data blocks";
    if (image.disableWord() != 0)
        return Format("disable word 0x%04lX is not 0", image.disableWord());
    if (bytes.size() != FirmwareImage::SizeFor(image.blockCount()))
        return Format("%lu bytes, expected %lu for its block count", bytes.size(),
                      FirmwareImage::SizeFor(image.blockCount()));
    return {};
}

} // namespace qozel
