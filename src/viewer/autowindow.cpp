#include "viewer/autowindow.h"

#include "viewer/roi.h"

#include <algorithm>
#include <vector>

namespace tarven {

std::int64_t widenWindow(std::int64_t w)
{
    if (w >= 30 && w < 50)
        w *= 2;
    if (w >= 20 && w < 30)
        w *= 3;
    if (w < 20)
        w *= 4;
    return w;
}

namespace {
// Calls fn(x, y, v) for every pixel of the region, row by row, reading the
// words straight from the bytes (the region lies wholly inside them).
template <class Fn>
void forEachPixel(const PixelAccess& pixels, const PixelRegion& region, Fn&& fn)
{
    const std::uint8_t* base = pixels.bytes().data();
    const bool swap = pixels.swapped();
    for (std::int64_t y = region.top; y < region.top + region.height; ++y) {
        const std::uint8_t* p = base + pixels.offset(region.left, y);
        for (std::int64_t x = region.left; x < region.left + region.width; ++x, p += 2) {
            const auto w = static_cast<std::uint16_t>(swap ? (p[1] | (p[0] << 8)) : (p[0] | (p[1] << 8)));
            fn(x, y, static_cast<std::int16_t>(w));
        }
    }
}
// Minimum and maximum of one row of words: the single pass over a large
// image, kept simple enough for the compiler to vectorise.
template <bool Swap>
void rowExtremes(const std::uint8_t* p, std::int64_t n, std::int32_t& lo, std::int32_t& hi)
{
    auto value = [](const std::uint8_t* q) -> std::int32_t {
        const unsigned b0 = q[0], b1 = q[1];
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(Swap ? (b1 | (b0 << 8)) : (b0 | (b1 << 8))));
    };
    std::int32_t l = lo, h = hi;
    // Blocks of a fixed length let the compiler vectorise the inner loop.
    constexpr std::int64_t block = 64;
    std::int64_t i = 0;
    for (; i + block <= n; i += block) {
        const std::uint8_t* q = p + 2 * i;
        std::int32_t bl = l, bh = h;
        for (int k = 0; k < block; ++k) {
            const std::int32_t v = value(q + 2 * k);
            bl = v < bl ? v : bl;
            bh = v > bh ? v : bh;
        }
        l = bl;
        h = bh;
    }
    for (; i < n; ++i) {
        const std::int32_t v = value(p + 2 * i);
        l = v < l ? v : l;
        h = v > h ? v : h;
    }
    lo = l;
    hi = h;
}
} // namespace

AutoWindow autoWindow(const PixelAccess& pixels, std::int64_t matrixX, std::int64_t matrixY, bool monochrome1)
{
    AutoWindow r;
    const PixelRegion region = clipToPixelData({0, 0, matrixX, matrixY}, matrixX, matrixY, pixels);
    if (region.empty())
        return r; // nothing to measure: the caller keeps the window
    r.found = true;

    // Only the histogram estimate needs the row and column sums, and it runs
    // only for images of at most 512 x 512; a large image takes one pass for
    // its extremes. The sums are 64-bit: there is no limit on the matrix.
    const bool estimate = matrixX <= 512 && matrixY <= 512;
    std::int32_t lo = *pixels.value(region.left, region.top), hi = lo;
    std::vector<std::int64_t> colSum, rowSum;
    if (estimate) {
        colSum.assign(static_cast<std::size_t>(matrixX), 0);
        rowSum.assign(static_cast<std::size_t>(matrixY), 0);
        forEachPixel(pixels, region, [&](std::int64_t x, std::int64_t y, std::int16_t v) {
            colSum[static_cast<std::size_t>(x)] += v;
            rowSum[static_cast<std::size_t>(y)] += v;
            lo = std::min<std::int32_t>(lo, v);
            hi = std::max<std::int32_t>(hi, v);
        });
    } else {
        const std::uint8_t* base = pixels.bytes().data();
        for (std::int64_t y = region.top; y < region.top + region.height; ++y) {
            const std::uint8_t* p = base + pixels.offset(region.left, y);
            if (pixels.swapped())
                rowExtremes<true>(p, region.width, lo, hi);
            else
                rowExtremes<false>(p, region.width, lo, hi);
        }
    }
    r.minimum = lo;
    r.maximum = hi;
    r.low = lo;
    r.high = hi;
    r.centre = 0;

    if (estimate) {
        const auto [cMin, cMax] = std::minmax_element(colSum.begin(), colSum.end());
        const auto [rMin, rMax] = std::minmax_element(rowSum.begin(), rowSum.end());
        const std::int64_t cThr = *cMin + ((*cMax - *cMin) * 90) / 100;
        const std::int64_t rThr = *rMin + ((*rMax - *rMin) * 90) / 100;
        std::vector<std::int32_t> count(static_cast<std::size_t>(hi - lo + 1), 0);
        bool counted = false;
        std::int64_t dLo = 0, dHi = 0;
        forEachPixel(pixels, region, [&](std::int64_t x, std::int64_t y, std::int16_t v) {
            if (colSum[static_cast<std::size_t>(x)] <= cThr || rowSum[static_cast<std::size_t>(y)] <= rThr)
                return;
            const std::int64_t d = v - lo;
            ++count[static_cast<std::size_t>(d)];
            dLo = counted ? std::min(dLo, d) : d;
            dHi = std::max(dHi, d);
            counted = true;
        });
        std::int64_t peak = 0;
        std::int32_t best = 0;
        for (std::int64_t d = 0; d <= dHi; ++d)
            if (count[static_cast<std::size_t>(d)] > best) {
                best = count[static_cast<std::size_t>(d)];
                peak = d;
            }
        const std::int32_t t = best / 20;
        std::int64_t first = 0, last = 0;
        bool any = false;
        if (counted)
            for (std::int64_t d = dLo; d <= dHi; ++d)
                if (count[static_cast<std::size_t>(d)] > t) {
                    if (!any)
                        first = d;
                    last = d;
                    any = true;
                }
        r.low = static_cast<std::int32_t>(first + lo);
        r.high = static_cast<std::int32_t>(last + lo);
        r.centre = static_cast<std::int32_t>(peak + lo);
    }

    const bool m = monochrome1 || (matrixX > 512 && matrixY > 512);
    r.width = widenWindow(m ? r.high : std::int64_t{r.high} - r.low + 1);
    r.level = m ? (std::int64_t{r.high} + r.low) / 2 : r.centre;
    return r;
}

} // namespace tarven
