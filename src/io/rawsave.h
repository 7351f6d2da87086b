#pragma once
// "SaveROI" and "Save": headerless 16-bit raw files of the ROI or of the
// whole pixel matrix, and writing a buffer to a file without losing the file
// that was there when the write fails.
#include "common/pixels.h"
#include "viewer/roi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarven {

// Where "SaveROI" takes its pixels: origin and size in image pixels from the
// ROI frame of w x h display pixels around the centre (cx, cy), at s image
// pixels per display pixel, all truncated toward zero; a negative origin
// starts at 0.
struct SaveRoiGeometry {
    std::int64_t x0 = 0, y0 = 0, cols = 0, rows = 0;
    double width = 0, height = 0; // w * s and h * s, for the proposed file name
};
SaveRoiGeometry saveRoiGeometry(double s, std::int64_t cx, std::int64_t cy, std::int64_t w, std::int64_t h,
                                std::int64_t viewX, std::int64_t viewY, std::int64_t matrixX, std::int64_t matrixY);

// The words of a region row by row, each as read by the pixel-access rule
// (bytes exchanged when the access swaps), written low byte first. The
// region must lie in the pixel data (clip it first).
std::vector<std::uint8_t> regionWords(const PixelAccess& pixels, const PixelRegion& region);

// Writes the bytes to a temporary file beside the target and renames it over
// the target, so a failed write leaves the old file as it was.
// FileError "ファイル <name> を作成できません" when it cannot be written.
void writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace tarven
