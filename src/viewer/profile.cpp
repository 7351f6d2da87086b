#include "viewer/profile.h"

#include "common/numeric.h"

#include <algorithm>
#include <array>
#include <limits>

namespace tarven {

std::optional<DrawnLine> lineFromDrag(std::int64_t x0, std::int64_t y0, std::int64_t x, std::int64_t y)
{
    if (x == x0 || y == y0)
        return std::nullopt;
    DrawnLine d;
    if (x < x0 && y < y0)
        d = {'-', {x, y, x0 - x + 1, y0 - y + 1}};
    else if (x > x0 && y < y0)
        d = {'+', {x0, y, x - x0 + 1, y0 - y + 1}};
    else if (x > x0 && y > y0)
        d = {'-', {x0, y0, x - x0 + 1, y - y0 + 1}};
    else
        d = {'+', {x, y0, x0 - x + 1, y - y0 + 1}};
    return d;
}

LineBox pressOnLine(const LineBox& b, char dir, std::int64_t x, std::int64_t y)
{
    LineBox r = b;
    if (dir != '-')
        return r;
    if (x > b.left + b.width - 1 && y > b.top + b.height - 1) {
        r.width = x - b.left + 1;
        r.height = y - b.top + 1;
    } else if (x < b.left && y < b.top) {
        r.width = b.left + b.width - x + 1;
        r.height = b.top + b.height - y + 1;
        r.left = x;
        r.top = y;
    }
    return r;
}

LineBox dragLineEnd(const LineBox& b, char dir, std::int64_t x, std::int64_t y)
{
    LineBox r = b;
    const std::int64_t cx = b.left + b.width / 2, cy = b.top + b.height / 2;
    if (dir == '-') {
        if (x > cx && y > cy) {
            r.width = x - b.left;
            r.height = y - b.top;
        } else if (x < cx && y < cy) {
            r.width = b.left + b.width - x;
            r.height = b.top + b.height - y;
            r.left = x;
            r.top = y;
        }
    } else if (dir == '+') {
        if (x > cx && y < cy) {
            r.width = x - b.left + 1;
            r.height = b.top + b.height - y;
            r.top = y;
        } else if (x < cx && y > cy) {
            r.width = b.left + b.width - x;
            r.height = y - b.top;
            r.left = x;
        }
    }
    return r;
}

std::array<std::int64_t, 4> lineEnds(const LineBox& b, char dir)
{
    if (dir == '+')
        return {b.left, b.top + b.height, b.left + b.width, b.top};
    return {b.left, b.top, b.left + b.width, b.top + b.height};
}

std::vector<ProfilePoint> profilePoints(std::int64_t wi, std::int64_t hi, char dir)
{
    return profilePoints(wi, hi, dir, 0, wi - 1, 0, hi);
}

std::vector<ProfilePoint> profilePoints(std::int64_t wi, std::int64_t hi, char dir, std::int64_t jLo, std::int64_t jHi,
                                        std::int64_t kLo, std::int64_t kHi)
{
    std::vector<ProfilePoint> pts;
    if (wi <= 0 || hi < 0)
        return pts;
    jLo = std::max<std::int64_t>(jLo, 0);
    jHi = std::min(jHi, wi - 1);
    kLo = std::max<std::int64_t>(kLo, 0);
    kHi = std::min(kHi, hi);
    if (jLo > jHi || kLo > kHi)
        return pts;
    const bool minus = dir == '-';
    if (wi <= hi) {
        // One column per row at most: walk the rows.
        const double slope = static_cast<double>(wi) / static_cast<double>(hi);
        for (std::int64_t k = kLo;; ++k) { // ends at kHi, which may be the largest value
            const std::int64_t j = roundToInt64(slope * static_cast<double>(minus ? k : hi - k));
            if (j >= jLo && j <= jHi)
                pts.push_back({j, k});
            if (k == kHi)
                break;
        }
    } else {
        // Several columns per row: walk the columns, then put the points in
        // scanning order (rows first; the sort is stable, so columns stay
        // ascending within a row).
        const double slope = static_cast<double>(hi) / static_cast<double>(wi);
        for (std::int64_t j = jLo; j <= jHi; ++j) { // jHi < wi, so j + 1 fits
            const std::int64_t k = roundToInt64(slope * static_cast<double>(minus ? j : wi - j));
            if (k >= kLo && k <= kHi)
                pts.push_back({j, k});
        }
        std::stable_sort(pts.begin(), pts.end(), [](const ProfilePoint& a, const ProfilePoint& b) { return a.k < b.k; });
    }
    return pts;
}

namespace {
// The offsets t >= 0 with 0 <= origin + t < size, as lo .. hi; false when
// there are none.
bool insideOffsets(std::int64_t origin, std::int64_t size, std::int64_t& lo, std::int64_t& hi)
{
    if (size <= 0 || __builtin_sub_overflow(std::int64_t{0}, origin, &lo))
        return false;
    if (__builtin_sub_overflow(size - 1, origin, &hi))
        hi = std::numeric_limits<std::int64_t>::max(); // origin far to the left: every t up to the box's end
    return lo <= hi;
}
} // namespace

Profile takeProfile(const PixelAccess& pixels, const ProfileRequest& q)
{
    Profile p;
    // Only the part of the box over the image is walked.
    std::int64_t jLo = 0, jHi = 0, kLo = 0, kHi = 0;
    const bool any = insideOffsets(q.x0, q.matrixX, jLo, jHi) && insideOffsets(q.y0, q.matrixY, kLo, kHi);
    const auto points = any ? profilePoints(q.wi, q.hi, q.dir, jLo, jHi, kLo, kHi) : std::vector<ProfilePoint>{};
    for (const ProfilePoint& pt : points) {
        const std::int64_t x = q.x0 + pt.j, y = q.y0 + pt.k;
        if (x < 0 || y < 0 || x >= q.matrixX || y >= q.matrixY)
            continue;
        const auto v0 = pixels.value(x, y);
        if (!v0)
            continue;
        const std::int32_t v = q.rescale ? rescaleValue(*v0, q.slope, q.intercept) : *v0;
        p.values.push_back(v);
    }
    p.text = "PixelValue\r\n";
    // "-" lists from the top-left end, "+" from its bottom row upward: each
    // new line goes right after the heading.
    auto add = [&](std::int32_t v) {
        p.text += formatInt(v);
        p.text += "\r\n";
    };
    if (q.dir == '+')
        std::for_each(p.values.rbegin(), p.values.rend(), add);
    else
        std::for_each(p.values.begin(), p.values.end(), add);
    return p;
}

} // namespace tarven
