#pragma once
// The automatic window ("AutoW"): the extremes of the image and, for images
// of at most 512 x 512, a histogram estimate over the pixels of the bright
// rows and columns; then the widening of narrow windows.
#include "common/pixels.h"

#include <cstdint>

namespace tarven {

struct AutoWindow {
    bool found = false; // false: no pixel of the matrix lies in the loaded bytes
    std::int32_t minimum = 0, maximum = 0;
    std::int32_t low = 0, high = 0, centre = 0;
    std::int64_t width = 0;
    std::int64_t level = 0;
};

// monochrome1: the photometric interpretation is "MONOCHROME1 ". Pixels are
// read without rescale; pixels whose bytes are outside the buffer do not take
// part (see viewer/roi.h).
AutoWindow autoWindow(const PixelAccess& pixels, std::int64_t matrixX, std::int64_t matrixY, bool monochrome1);

// The widening of a narrow width: 30..49 twice, then 20..29 three times, then
// below 20 four times, each test on the value left by the one before.
std::int64_t widenWindow(std::int64_t w);

} // namespace tarven
