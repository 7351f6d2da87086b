#pragma once
// The grey-scale renderer: which block of the image the 512 x 512 display
// shows (reduce or enlarge by the zoom code, view centre kept inside the
// image), and the linear grey window that maps each 16-bit word to a grey.
#include "common/pixels.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tarven {

struct ViewRequest {
    std::int64_t matrixX = 0;
    std::int64_t matrixY = 0;
    std::int64_t centreX = 0;
    std::int64_t centreY = 0;
    std::int64_t zoom = 1; // the zoom code as typed
    std::int64_t displayWidth = 512;
    std::int64_t displayHeight = 512;
};

struct ViewGeometry {
    bool enlarge = false;
    std::int64_t scale = 1;   // normalised zoom code (viewScale)
    std::int64_t x0 = 0, y0 = 0; // image pixel shown at view (0, 0)
    std::int64_t w = 0, h = 0;   // image block in pixels
    std::int64_t step = 1;       // image pixels per view pixel (reduce path)
    std::int64_t cols = 0, rows = 0; // view bitmap size
    std::int64_t centreX = 0, centreY = 0; // clamped view centre
    std::int64_t factor = 1;     // display pixels per view pixel (enlarge path: e * k)
    std::optional<std::int64_t> percent; // zoom in percent, written for narrow images when enlarging
    // Where the view lands on the display: reduce path top-left corner,
    // enlarge path exclusive right and bottom of the stretched rectangle.
    std::int64_t left = 0, top = 0;
    std::int64_t right = 0, bottom = 0;
};

// The view block for a request. An image 0 columns wide makes the
// enlargement factor an integer division by zero (the framework's error).
ViewGeometry computeView(const ViewRequest& request);

struct GreyWindow {
    std::int32_t width = 600;
    std::int32_t level = 600;
    bool invert = false;
};

// Grey for every raw little-endian word b0 + 256 * b1 of the file, with the
// byte exchange of "Swap" folded in. Width 0 is a floating-point division by
// zero (the framework's error).
using GreyTable = std::array<std::uint8_t, 65536>;
void buildGreyTable(const GreyWindow& window, bool swap, GreyTable& table);
std::uint8_t greyOf(std::uint16_t word, const GreyWindow& window); // one word, after any swap

// A display pixel with no image byte under it keeps the white background,
// the same as the display area around a small image: missing data never
// passes for a measured grey.
inline constexpr std::uint8_t kMissingGrey = 255;

// 24-bit display bitmap (equal R, G, B), rows top to bottom.
struct Bitmap24 {
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t stride = 0; // bytes per row
    std::uint8_t* bits = nullptr;
};

// Renders the view into a 512 x 512 (displayWidth x displayHeight) display:
// white everywhere, the view placed (reduce) or stretched by pixel
// replication (enlarge). Reads only bytes inside pixels.bytes().
void renderDisplay(const ViewGeometry& view, std::span<const std::uint8_t> bytes, std::int64_t header,
                   std::int64_t matrixX, const GreyTable& table, Bitmap24 display);

// The view bitmap alone (cols x rows), as "SaveBMP" writes it.
void renderViewBitmap(const ViewGeometry& view, std::span<const std::uint8_t> bytes, std::int64_t header,
                      std::int64_t matrixX, const GreyTable& table, Bitmap24 out);

} // namespace tarven
