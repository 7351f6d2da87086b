#include "viewer/render.h"

#include "common/numeric.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tarven {

namespace {

void clampAxisReduce(std::int64_t size, std::int64_t block, std::int64_t& centre, std::int64_t& origin)
{
    const std::int64_t half = block / 2;
    origin = std::max<std::int64_t>(centre - half, 0);
    if (half + centre > size - 1)
        origin = size - block;
    centre = half + origin;
}

// At the far edge the enlarged block narrows instead of moving. A block at
// least as large as the image shows the whole image from its first pixel:
// otherwise a narrow image enlarged from its middle (the centre every load
// sets) would lose its first column and row.
void clampAxisEnlarge(std::int64_t size, std::int64_t& block, std::int64_t& centre, std::int64_t& origin)
{
    if (size > 0 && block >= size) {
        origin = 0;
        block = size;
        centre = block / 2 - 1;
        return;
    }
    const std::int64_t half = block / 2;
    origin = std::max<std::int64_t>(centre - (half - 1), 0);
    if (half + centre > size - 2)
        block = size - origin;
    centre = block / 2 - 1 + origin;
}

} // namespace

ViewGeometry computeView(const ViewRequest& r)
{
    ViewGeometry g;
    std::int64_t z = r.zoom;
    if (z == 0)
        z = 1;
    if (z == -1 && intDiv(r.displayWidth, r.matrixX) <= 1)
        z = 1; // images of at least 257 columns: -1 shows them unscaled
    g.scale = z;
    g.centreX = r.centreX;
    g.centreY = r.centreY;

    if (z > 0) {
        // 512 * z cannot overflow for a 32-bit code held in 64 bits.
        g.w = std::min(r.displayWidth * z, r.matrixX);
        g.h = std::min(r.displayHeight * z, r.matrixY);
        clampAxisReduce(r.matrixX, g.w, g.centreX, g.x0);
        clampAxisReduce(r.matrixY, g.h, g.centreY, g.y0);
        g.step = z;
        g.cols = std::max<std::int64_t>(g.w / z, 0);
        g.rows = std::max<std::int64_t>(g.h / z, 0);
        g.left = (r.displayWidth - g.cols) / 2;
        g.top = (r.displayHeight - g.rows) / 2;
        return g;
    }

    g.enlarge = true;
    const std::int64_t e = -z;
    std::int64_t k = intDiv(r.displayWidth, r.matrixX);
    std::int64_t base = r.displayWidth;
    if (k >= 2) {
        base = r.matrixX;
        g.percent = std::llabs(r.zoom * k * 100);
    } else {
        k = 1;
    }
    g.w = roundToInt64(static_cast<double>(base) / static_cast<double>(e));
    g.h = g.w; // the same base for rows, also for non-square images
    clampAxisEnlarge(r.matrixX, g.w, g.centreX, g.x0);
    clampAxisEnlarge(r.matrixY, g.h, g.centreY, g.y0);
    g.step = 1;
    g.cols = std::max<std::int64_t>(g.w, 0);
    g.rows = std::max<std::int64_t>(g.h, 0);
    g.factor = e * k;
    g.right = roundToInt64(static_cast<double>(g.w) * static_cast<double>(g.factor) - 1);
    g.bottom = roundToInt64(static_cast<double>(g.h) * static_cast<double>(g.factor) - 1);
    return g;
}

std::uint8_t greyOf(std::uint16_t word, const GreyWindow& window)
{
    const float c = static_cast<float>(floatDiv(256.0, window.width)); // the window factor in single precision
    const auto d = static_cast<std::int16_t>(static_cast<std::uint16_t>(word - static_cast<std::uint16_t>(window.level)));
    std::int64_t g = roundToInt64(static_cast<double>(d) * static_cast<double>(c)) + 128;
    g = std::clamp<std::int64_t>(g, 0, 255);
    if (window.invert)
        g = 255 - g;
    return static_cast<std::uint8_t>(g);
}

void buildGreyTable(const GreyWindow& window, bool swap, GreyTable& table)
{
    const float c = static_cast<float>(floatDiv(256.0, window.width));
    const double cd = static_cast<double>(c);
    auto grey = [&](std::int32_t d) {
        // |d * c| <= 32768 * 256: no range check needed here.
        auto g = static_cast<std::int64_t>(std::nearbyint(static_cast<double>(d) * cd)) + 128;
        g = std::clamp<std::int64_t>(g, 0, 255);
        return static_cast<std::uint8_t>(window.invert ? 255 - g : g);
    };
    // The grey is monotone in the difference d = word - level and saturates
    // outside a window of about |W| values: round only inside it.
    std::array<std::uint8_t, 65536> byDifference; // index d + 32768
    const double a = -129.0 / cd, b = 129.0 / cd;
    const auto lo = static_cast<std::int32_t>(std::clamp(std::floor(std::min(a, b)) - 2, -32768.0, 32767.0));
    const auto hi = static_cast<std::int32_t>(std::clamp(std::ceil(std::max(a, b)) + 2, -32768.0, 32767.0));
    std::memset(byDifference.data(), grey(-32768), static_cast<std::size_t>(lo + 32768));
    for (std::int32_t d = lo; d <= hi; ++d)
        byDifference[static_cast<std::size_t>(d + 32768)] = grey(d);
    std::memset(byDifference.data() + hi + 32768 + 1, grey(32767), static_cast<std::size_t>(32767 - hi));

    const auto level = static_cast<std::uint16_t>(window.level);
    for (std::uint32_t raw = 0; raw < 65536; ++raw) {
        const auto word = static_cast<std::uint16_t>(swap ? swapWord(static_cast<std::uint16_t>(raw)) : raw);
        const auto d = static_cast<std::int16_t>(static_cast<std::uint16_t>(word - level));
        table[raw] = byDifference[static_cast<std::size_t>(d + 32768)];
    }
}

namespace {

// Fills out[0 .. count) with the greys of image row `y`, columns x0, x0 + step, ...
void sampleRow(std::span<const std::uint8_t> bytes, std::int64_t header, std::int64_t matrixX, std::int64_t x0,
               std::int64_t y, std::int64_t step, std::int64_t count, const GreyTable& table, std::uint8_t* out)
{
    if (count <= 0)
        return;
    const std::int64_t size = static_cast<std::int64_t>(bytes.size());
    const std::uint8_t* data = bytes.data();
    const std::int64_t first = pixelOffset(header, matrixX, x0, y);
    const std::int64_t last = pixelOffset(header, matrixX, x0 + step * (count - 1), y);
    const std::int64_t stepBytes = 2 * step;
    // Whole row inside the bytes (and evenly spaced): no check per pixel.
    if (first >= 0 && first <= size - 2 && last >= 0 && last <= size - 2 && last - first == stepBytes * (count - 1)) {
        const std::uint8_t* p = data + first;
        for (std::int64_t q = 0; q < count; ++q, p += stepBytes) {
            const std::uint8_t g = table[static_cast<std::uint32_t>(p[0] | (p[1] << 8))];
            out[0] = out[1] = out[2] = g;
            out += 3;
        }
        return;
    }
    for (std::int64_t q = 0; q < count; ++q, out += 3) {
        const std::int64_t off = pixelOffset(header, matrixX, x0 + step * q, y);
        std::uint8_t g = kMissingGrey;
        if (off >= 0 && off <= size - 2)
            g = table[static_cast<std::uint32_t>(data[off] | (data[off + 1] << 8))];
        out[0] = out[1] = out[2] = g;
    }
}

void fillWhite(Bitmap24 bmp)
{
    for (std::int64_t y = 0; y < bmp.height; ++y)
        std::memset(bmp.bits + y * bmp.stride, 255, static_cast<std::size_t>(bmp.width * 3));
}

} // namespace

void renderViewBitmap(const ViewGeometry& v, std::span<const std::uint8_t> bytes, std::int64_t header,
                      std::int64_t matrixX, const GreyTable& table, Bitmap24 out)
{
    const std::int64_t cols = std::min(v.cols, out.width);
    const std::int64_t rows = std::min(v.rows, out.height);
    for (std::int64_t r = 0; r < rows; ++r)
        sampleRow(bytes, header, matrixX, v.x0, v.y0 + r * v.step, v.step, cols, table, out.bits + r * out.stride);
}

void renderDisplay(const ViewGeometry& v, std::span<const std::uint8_t> bytes, std::int64_t header,
                   std::int64_t matrixX, const GreyTable& table, Bitmap24 display)
{
    fillWhite(display);
    if (!v.enlarge) {
        // Unscaled, centred; only the part that falls on the display is drawn.
        const std::int64_t qFrom = std::max<std::int64_t>(0, -v.left);
        const std::int64_t qTo = std::min(v.cols, display.width - v.left);
        const std::int64_t rFrom = std::max<std::int64_t>(0, -v.top);
        const std::int64_t rTo = std::min(v.rows, display.height - v.top);
        if (qTo <= qFrom)
            return;
        for (std::int64_t r = rFrom; r < rTo; ++r)
            sampleRow(bytes, header, matrixX, v.x0 + qFrom * v.step, v.y0 + r * v.step, v.step, qTo - qFrom, table,
                      display.bits + (v.top + r) * display.stride + (v.left + qFrom) * 3);
        return;
    }
    // Stretch by pixel replication into [0, right) x [0, bottom).
    const std::int64_t right = std::min(v.right, display.width);
    const std::int64_t bottom = std::min(v.bottom, display.height);
    if (right <= 0 || bottom <= 0 || v.cols <= 0 || v.rows <= 0 || v.factor <= 0)
        return;
    const std::int64_t srcCols = std::min(v.cols, (right - 1) / v.factor + 1);
    std::vector<std::uint8_t> line(static_cast<std::size_t>(srcCols * 3));
    std::int64_t cachedRow = -1;
    for (std::int64_t Y = 0; Y < bottom; ++Y) {
        const std::int64_t r = std::min(Y / v.factor, v.rows - 1);
        if (r != cachedRow) {
            sampleRow(bytes, header, matrixX, v.x0, v.y0 + r, 1, srcCols, table, line.data());
            cachedRow = r;
        }
        std::uint8_t* out = display.bits + Y * display.stride;
        for (std::int64_t X = 0; X < right; ++X) {
            const std::int64_t q = std::min(X / v.factor, srcCols - 1);
            std::memcpy(out + X * 3, line.data() + q * 3, 3);
        }
    }
}

} // namespace tarven
