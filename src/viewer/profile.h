#pragma once
// The line profile: the line is a diagonal of its box (left L, top T, width
// W, height H in display pixels); "-" runs from the top-left to the
// bottom-right corner, "+" from the bottom-left to the top-right corner.
// Here: how the mouse reshapes the box, and which pixels the line takes.
#include "common/pixels.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarven {

struct LineBox {
    std::int64_t left = 0, top = 0, width = 0, height = 0;
    bool operator==(const LineBox&) const = default;
};

struct DrawnLine {
    char dir = 0; // '-' or '+'
    LineBox box;
};

// State "draw1": the quadrant of the mouse around the start point decides the
// box and the direction; on the start point's row or column nothing changes.
std::optional<DrawnLine> lineFromDrag(std::int64_t startX, std::int64_t startY, std::int64_t x, std::int64_t y);
// State "draw2", a left press: a "-" line's end beyond a corner moves there.
LineBox pressOnLine(const LineBox& box, char dir, std::int64_t x, std::int64_t y);
// State "draw2", a move with the button held: the end in the mouse's quadrant
// (around the box centre) follows the mouse.
LineBox dragLineEnd(const LineBox& box, char dir, std::int64_t x, std::int64_t y);
// The two ends of the line in display pixels: (x1, y1, x2, y2).
std::array<std::int64_t, 4> lineEnds(const LineBox& box, char dir);

struct ProfilePoint {
    std::int64_t j = 0, k = 0; // column and row inside the image box
    bool operator==(const ProfilePoint&) const = default;
};

// The pixels of a box of wi x (hi + 1) image pixels that the line takes, in
// scanning order (rows from the top, each row from the left).
std::vector<ProfilePoint> profilePoints(std::int64_t wi, std::int64_t hi, char dir);
// The same points, only those with jLo <= j <= jHi and kLo <= k <= kHi; only
// that window is walked, so a box far larger than the image costs no more
// than the part of it inside.
std::vector<ProfilePoint> profilePoints(std::int64_t wi, std::int64_t hi, char dir, std::int64_t jLo, std::int64_t jHi,
                                        std::int64_t kLo, std::int64_t kHi);

struct ProfileRequest {
    std::int64_t x0 = 0, y0 = 0, wi = 0, hi = 0; // the box in image pixels
    char dir = '-';
    std::int64_t matrixX = 0, matrixY = 0;
    bool rescale = false;
    double slope = 1, intercept = 0;
};

struct Profile {
    std::vector<std::int32_t> values; // in scanning order
    std::string text;                 // "PixelValue" and one value per line, from the line's first end
};

// Pixels of the line outside the image matrix or the loaded bytes are not
// taken (see viewer/roi.h): the profile is the part of the line in the image.
Profile takeProfile(const PixelAccess& pixels, const ProfileRequest& request);

} // namespace tarven
