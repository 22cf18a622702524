#include "devices/firmware/BuiltInImages.h"

#include "devices/firmware/ImageData.h"

#include <array>

namespace qozel {

FirmwareImage& BuiltInImage(ImageSlot slot)
{
    static std::array<FirmwareImage, kImageSlotCount> images = [] {
        std::array<FirmwareImage, kImageSlotCount> views;
        for (std::size_t i = 0; i < kImageSlotCount; ++i)
            views[i] = FirmwareImage(BuiltInImageData(static_cast<ImageSlot>(i)));
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
