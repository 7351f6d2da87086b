#include "viewer/stats.h"

#include "common/numeric.h"

#include <algorithm>
#include <charconv>

namespace tarven {

namespace {
void appendInt(std::string& s, std::int64_t v)
{
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    s.append(buf, res.ptr);
}
} // namespace

RoiStatistics roiStatistics(const PixelAccess& pixels, const StatsRequest& q)
{
    const PixelRegion& g = q.region;
    if (g.empty())
        floatDiv(0, 0); // a ROI without pixels: the division of the mean fails
    auto valueAt = [&](std::int64_t x, std::int64_t y) -> std::int32_t {
        // The region lies inside the bytes (clipped by the caller); a pixel
        // that does not would be a caller's fault and counts as missing.
        const std::int16_t v = pixels.value(x, y).value_or(0);
        return q.rescale ? rescaleValue(v, q.slope, q.intercept) : v;
    };

    RoiStatistics r;
    double sum = 0;
    bool firstPixel = true;
    std::int32_t lo = 0, hi = 0;
    if (q.pixelTable)
        r.text.reserve(static_cast<std::size_t>(std::min<std::int64_t>(g.width * g.height * 6, std::int64_t{1} << 26)));
    for (std::int64_t y = g.top; y < g.top + g.height; ++y) {
        for (std::int64_t x = g.left; x < g.left + g.width; ++x) {
            const std::int32_t v = valueAt(x, y);
            sum += v;
            if (firstPixel || v < lo)
                lo = v;
            if (firstPixel || v > hi)
                hi = v;
            firstPixel = false;
            if (q.pixelTable) {
                if (x != g.left)
                    r.text += '\t';
                appendInt(r.text, v);
            }
        }
        if (q.pixelTable)
            r.text += "\r\n";
    }
    r.mean = floatDiv(floatDiv(sum, static_cast<double>(g.width)), static_cast<double>(g.height));
    r.minimum = lo;
    if (q.histogram)
        r.counts.assign(static_cast<std::size_t>(hi - lo + 1), 0);

    double sq = 0;
    for (std::int64_t y = g.top; y < g.top + g.height; ++y)
        for (std::int64_t x = g.left; x < g.left + g.width; ++x) {
            const std::int32_t v = valueAt(x, y);
            sq += (v - r.mean) * (v - r.mean);
            if (q.histogram) {
                const std::int64_t d = v - lo;
                ++r.counts[static_cast<std::size_t>(d)];
                if (d > r.last)
                    r.last = d;
            }
        }
    r.sd = checkedSqrt(sq / static_cast<double>(g.width) / static_cast<double>(g.height));

    if (q.histogram) {
        r.text = "PixelValue\tCount\r\n";
        for (std::int64_t i = 0; i <= r.last; ++i)
            if (const auto c = r.counts[static_cast<std::size_t>(i)]; c > 0) {
                appendInt(r.text, lo + i);
                r.text += '\t';
                appendInt(r.text, c);
                r.text += "\r\n";
            }
    }
    return r;
}

} // namespace tarven
