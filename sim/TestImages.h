#pragma once

#include "devices/firmware/BuiltInImages.h"

#include <cstdint>
#include <span>

namespace qozel::sim {

// The test firmware images as the build compiled them in from the files that
// qozel_make_test_images wrote (the same path the product's images take).
std::span<std::uint8_t> TestImageData(ImageSlot slot);

// Points every built-in image slot at a fresh writable copy of its test
// image, undoing any earlier disabling. The product's slots are untouched
// until this is called.
void UseTestImages();

} // namespace qozel::sim
