#pragma once
// The region of interest: display scale, the ROI reader's mapping from
// display pixels to image pixels, the rectangle the user drags, and the one
// rule for ROIs (and line boxes, saves, hand-offs) that reach beyond the
// image.
//
// Beyond the image: every reader that takes pixels from a region clips the
// region to the pixel data, i.e. to the image matrix (columns 0 .. X - 1,
// rows 0 .. Y - 1) and to the rows whose words all lie inside the loaded
// bytes. Pixels outside are not part of the result: a mean, a pixel table or
// a saved file covers only the part of the ROI that lies in the image, never
// a made-up value and never the next image row. A region left empty by the
// clip (width or height 0 or less, or wholly outside) is treated as the
// zero-sized ROI it amounts to: the floating-point division error, nothing
// written.
#include "common/pixels.h"
#include "viewer/render.h"

#include <cstdint>
#include <span>

namespace tarven {

// Image pixels per display pixel for the zoom code z (a number): z itself when
// z >= 0; 1 / -z when enlarged, times matrixX / 512 for images narrower than
// the display (they are stretched to its width).
double displayScale(double zoomCode, std::int64_t matrixX);

struct RoiImage {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
};

// ROI reader: centre (cx, cy) and size (w, h) in display pixels, display point
// (256, 256) at the view centre, to image pixels, halves rounded to even.
// Not clipped. Values beyond 32 bits saturate (such a ROI is outside any
// image). A product no integer can hold is an invalid floating-point operation.
RoiImage roiToImage(std::int64_t cx, std::int64_t cy, std::int64_t w, std::int64_t h, double scale,
                    std::int64_t viewX, std::int64_t viewY);

// The ROI frame in display pixels; right and bottom belong to it.
struct DisplayRect {
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;
    std::int64_t width() const { return right - left + 1; }
    std::int64_t height() const { return bottom - top + 1; }
    bool operator==(const DisplayRect&) const = default;
};

DisplayRect rectFromBoxes(std::int64_t cx, std::int64_t cy, std::int64_t w, std::int64_t h);
// Moving keeps the size: the centre jumps to (x, y).
DisplayRect moveRectTo(const DisplayRect& r, std::int64_t x, std::int64_t y);

// Which part of a press selects: a corner beyond the frame or its inside.
struct RoiGrip {
    bool topLeft = false, bottomRight = false, move = false;
    bool any() const { return topLeft || bottomRight || move; }
};
RoiGrip gripAt(const DisplayRect& r, std::int64_t x, std::int64_t y);

// The dotted focus frame, drawn by inverting every other pixel of the
// rectangle's border (inside the bitmap only): drawing it twice restores the
// bitmap, which is how the frame is removed.
void invertFocusFrame(Bitmap24 bitmap, const DisplayRect& r);

// A region of image pixels.
struct PixelRegion {
    std::int64_t left = 0, top = 0, width = 0, height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    bool operator==(const PixelRegion&) const = default;
};

// The region clipped to the pixel data (see the top of this file).
PixelRegion clipToPixelData(const PixelRegion& wanted, std::int64_t matrixX, std::int64_t matrixY,
                            const PixelAccess& pixels);
// The same, for readers that need at least one pixel: an empty result is the
// floating-point division error of a zero-sized ROI.
PixelRegion requirePixels(const PixelRegion& wanted, std::int64_t matrixX, std::int64_t matrixY,
                          const PixelAccess& pixels);

} // namespace tarven
