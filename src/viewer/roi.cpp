#include "viewer/roi.h"

#include "common/errors.h"
#include "common/numeric.h"

#include <algorithm>
#include <limits>

namespace tarven {

namespace {
std::int32_t saturate32(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::int64_t addSat(std::int64_t a, std::int64_t b)
{
    std::int64_t r = 0;
    if (__builtin_add_overflow(a, b, &r))
        return b > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
    return r;
}
} // namespace

double displayScale(double zoomCode, std::int64_t matrixX)
{
    double s = zoomCode;
    if (s < 0) {
        s = 1 / -s;
        if (matrixX < 512)
            s = static_cast<double>(matrixX) / 512 * s;
    }
    return s;
}

RoiImage roiToImage(std::int64_t cx, std::int64_t cy, std::int64_t w, std::int64_t h, double scale,
                    std::int64_t viewX, std::int64_t viewY)
{
    RoiImage r;
    r.left = saturate32(addSat(roundToInt64(static_cast<double>(cx - w / 2 - 256) * scale), viewX));
    r.top = saturate32(addSat(roundToInt64(static_cast<double>(cy - h / 2 - 256) * scale), viewY));
    r.width = saturate32(roundToInt64(static_cast<double>(w) * scale));
    r.height = saturate32(roundToInt64(static_cast<double>(h) * scale));
    return r;
}

DisplayRect rectFromBoxes(std::int64_t cx, std::int64_t cy, std::int64_t w, std::int64_t h)
{
    DisplayRect r;
    r.left = cx - w / 2;
    r.top = cy - h / 2;
    r.right = r.left + w - 1;
    r.bottom = r.top + h - 1;
    return r;
}

DisplayRect moveRectTo(const DisplayRect& r, std::int64_t x, std::int64_t y)
{
    const std::int64_t w = r.width(), h = r.height();
    DisplayRect m;
    m.left = x - w / 2;
    m.right = x + w / 2 - (w % 2 == 0 ? 1 : 0);
    m.top = y - h / 2;
    m.bottom = y + h / 2 - (h % 2 == 0 ? 1 : 0);
    return m;
}

RoiGrip gripAt(const DisplayRect& r, std::int64_t x, std::int64_t y)
{
    RoiGrip g;
    g.topLeft = x < r.left && y < r.top;
    g.bottomRight = x > r.right && y > r.bottom;
    g.move = r.left < x && x < r.right && r.top < y && y < r.bottom;
    return g;
}

void invertFocusFrame(Bitmap24 bitmap, const DisplayRect& r)
{
    if (!bitmap.bits || r.right < r.left || r.bottom < r.top)
        return;
    auto flip = [&](std::int64_t x, std::int64_t y) {
        if (x < 0 || y < 0 || x >= bitmap.width || y >= bitmap.height)
            return;
        if ((x + y) % 2 != 0) // dotted: every other pixel
            return;
        std::uint8_t* p = bitmap.bits + y * bitmap.stride + x * 3;
        p[0] = static_cast<std::uint8_t>(~p[0]);
        p[1] = static_cast<std::uint8_t>(~p[1]);
        p[2] = static_cast<std::uint8_t>(~p[2]);
    };
    // Only the part of the frame that can be on the bitmap is walked.
    const std::int64_t x0 = std::max<std::int64_t>(r.left, -1), x1 = std::min<std::int64_t>(r.right, bitmap.width);
    const std::int64_t y0 = std::max<std::int64_t>(r.top, -1), y1 = std::min<std::int64_t>(r.bottom, bitmap.height);
    // Each border pixel exactly once, so that the inversion undoes itself.
    for (std::int64_t x = x0; x <= x1; ++x) {
        flip(x, r.top);
        if (r.bottom != r.top)
            flip(x, r.bottom);
    }
    for (std::int64_t y = std::max(y0, r.top + 1); y <= std::min(y1, r.bottom - 1); ++y) {
        flip(r.left, y);
        if (r.right != r.left)
            flip(r.right, y);
    }
}

PixelRegion clipToPixelData(const PixelRegion& wanted, std::int64_t matrixX, std::int64_t matrixY,
                            const PixelAccess& pixels)
{
    if (wanted.empty() || matrixX <= 0 || matrixY <= 0)
        return {};
    const std::int64_t c0 = std::max<std::int64_t>(wanted.left, 0);
    const std::int64_t c1 = std::min(addSat(wanted.left, wanted.width), matrixX); // exclusive
    std::int64_t r0 = std::max<std::int64_t>(wanted.top, 0);
    std::int64_t r1 = std::min(addSat(wanted.top, wanted.height), matrixY); // exclusive
    if (c0 >= c1 || r0 >= r1)
        return {};
    // Rows grow in the file: the first word of a row falls below the buffer
    // only for the leading rows, the last word beyond it only for the
    // trailing rows. Find both ends by bisection.
    auto rowStartsInside = [&](std::int64_t r) { return pixels.offset(c0, r) >= 0; };
    auto rowEndsInside = [&](std::int64_t r) {
        const std::int64_t off = pixels.offset(c1 - 1, r);
        return off >= 0 && pixels.containsOffset(off);
    };
    {
        std::int64_t lo = r0, hi = r1; // first row in [r0, r1) that starts inside, or r1
        while (lo < hi) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            if (rowStartsInside(mid))
                hi = mid;
            else
                lo = mid + 1;
        }
        r0 = lo;
    }
    {
        std::int64_t lo = r0, hi = r1; // first row in [r0, r1) that ends outside, or r1
        while (lo < hi) {
            const std::int64_t mid = lo + (hi - lo) / 2;
            if (!rowEndsInside(mid))
                hi = mid;
            else
                lo = mid + 1;
        }
        r1 = lo;
    }
    // Offsets are linear in the row, so a first and a last row that both lie
    // wholly inside vouch for every row between them (this also rejects what
    // an overflowing offset might have confused).
    if (r0 >= r1 || !rowStartsInside(r0) || !rowEndsInside(r0) || !rowStartsInside(r1 - 1) || !rowEndsInside(r1 - 1))
        return {};
    return PixelRegion{c0, r0, c1 - c0, r1 - r0};
}

PixelRegion requirePixels(const PixelRegion& wanted, std::int64_t matrixX, std::int64_t matrixY,
                          const PixelAccess& pixels)
{
    const PixelRegion r = clipToPixelData(wanted, matrixX, matrixY, pixels);
    if (r.empty())
        throwFloatDivByZero();
    return r;
}

} // namespace tarven
