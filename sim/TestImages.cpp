#include "TestImages.h"

#include <array>
#include <vector>

namespace qozel::sim {

void UseTestImages()
{
    static std::array<std::vector<std::uint8_t>, kImageSlotCount> copies;
    for (std::size_t i = 0; i < kImageSlotCount; ++i) {
        const auto slot = static_cast<ImageSlot>(i);
        const auto data = TestImageData(slot);
        std::vector<std::uint8_t> fresh(data.begin(), data.end());
        BuiltInImage(slot) = FirmwareImage(fresh);
        copies[i] = std::move(fresh);  // the view stays valid: moving keeps the buffer
    }
}

} // namespace qozel::sim
