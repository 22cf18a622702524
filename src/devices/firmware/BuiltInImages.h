#pragma once

#include "devices/FirmwareImage.h"

#include <cstddef>
#include <cstdint>

namespace qozel {

// The firmware images carried in the program, one slot per device kind and
// reader type. They come from the image files supplied to the build
// (QOZEL_FIRMWARE_DIR); a slot without a supplied image holds an empty header
// (type 0, version 0), so no upgrade is offered for it.
enum class ImageSlot {
    Arkan,
    Programmer,
    Manager,
    Reader70,
    Reader72,
    Reader75,
    Reader76,
    Reader78,
    Reader774,
    KbReader,
};
inline constexpr std::size_t kImageSlotCount = 10;

// The writable in-memory copy of a slot's image (disabled in place after a
// failed upgrade).
FirmwareImage& BuiltInImage(ImageSlot slot);

// The reader image for a reader type word (70, 72, 75, 76, 78, 774), or null.
FirmwareImage* ReaderImageForType(std::uint16_t readerType);

} // namespace qozel
