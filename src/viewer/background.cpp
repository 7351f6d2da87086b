#include "viewer/background.h"

#include "common/pixels.h"

#include <algorithm>

namespace tarven {

std::int64_t clearBackground(std::span<std::uint8_t> bytes, const BackgroundRequest& q)
{
    const PixelAccess px(bytes, q.header, q.matrixX, q.swap);
    std::int64_t cleared = 0;
    // One walk along row y from column x in direction dx, at most n pixels.
    auto walk = [&](std::int64_t y, std::int64_t x, std::int64_t dx, std::int64_t n) {
        for (std::int64_t i = 0; i < n; ++i, x += dx) {
            if (x < 0 || x >= q.matrixX || y < 0 || y >= q.matrixY)
                return;
            const std::int64_t off = px.offset(x, y);
            const auto w = px.wordAt(off);
            if (!w)
                return;
            const auto t = static_cast<std::int16_t>(static_cast<std::uint16_t>((*w + q.intercept) & 0xFFFF));
            if (t > 160)
                return;
            bytes[static_cast<std::size_t>(off)] = 0;
            bytes[static_cast<std::size_t>(off) + 1] = 0;
            ++cleared;
        }
    };
    const std::int64_t ox = q.centreX <= 0 ? 0 : q.centreX;
    const std::int64_t oy = q.centreY <= 0 ? 0 : q.centreY + 1;
    const std::int64_t right = q.width - q.width / 2, left = q.width / 2 - 1;
    const std::int64_t down = q.height - q.height / 2, up = q.height / 2 - 1;
    // Rows beyond the image end the sets early; they have nothing to walk.
    for (std::int64_t i = 0; i < down && oy + i < q.matrixY; ++i) {
        walk(oy + i, ox, +1, right);
        walk(oy + i, ox - 1, -1, left);
    }
    for (std::int64_t i = 0; i < up && oy - 1 - i >= 0; ++i) {
        walk(oy - 1 - i, ox, +1, right);
        walk(oy - 1 - i, ox - 1, -1, left);
    }
    return cleared;
}

} // namespace tarven
