#include "devices/firmware/BuiltInImages.h"

#include <array>

namespace qozel {
namespace {

constexpr std::size_t kSlots = 10;

// Until images are supplied every slot holds an empty header.
std::array<std::array<std::uint8_t, FirmwareImage::kHeaderSize>, kSlots> emptyHeaders{};

} // namespace

FirmwareImage& BuiltInImage(ImageSlot slot)
{
    static std::array<FirmwareImage, kSlots> images = [] {
        std::array<FirmwareImage, kSlots> views;
        for (std::size_t i = 0; i < kSlots; ++i)
            views[i] = FirmwareImage(emptyHeaders[i]);
        return views;
    }();
    return images[static_cast<std::size_t>(slot)];
}

FirmwareImage* ReaderImageForType(std::uint16_t readerType)
{
    switch (readerType) {
    case 70: return &BuiltInImage(ImageSlot::Reader70);
    case 72: return &BuiltInImage(ImageSlot::Reader72);
    case 75: return &BuiltInImage(ImageSlot::Reader75);
    case 76: return &BuiltInImage(ImageSlot::Reader76);
    case 78: return &BuiltInImage(ImageSlot::Reader78);
    case 774: return &BuiltInImage(ImageSlot::Reader774);
    default: return nullptr;
    }
}

} // namespace qozel
