#pragma once
// Background clearing (double click on the image): dark pixels around the
// ROI centre are set to 0, walking out along each row until the first pixel
// brighter than 160 (after adding the intercept). The walks stay inside the
// image matrix and the loaded bytes: the border ends a walk like a bright
// pixel does.
#include <cstdint>
#include <span>

namespace tarven {

struct BackgroundRequest {
    std::int64_t header = 0;
    std::int64_t matrixX = 0, matrixY = 0;
    bool swap = false;
    std::int64_t intercept = 0;      // b, added to the word before the test
    std::int64_t centreX = 0, centreY = 0; // ROI centre boxes, taken as image column and row
    std::int64_t width = 0, height = 0;    // zoom code times the ROI frame's size
};

// Returns the number of pixels set to 0.
std::int64_t clearBackground(std::span<std::uint8_t> bytes, const BackgroundRequest& request);

} // namespace tarven
