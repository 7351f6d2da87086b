#include "viewer/flip.h"

#include "common/pixels.h"

#include <utility>

namespace tarven {

namespace {
void exchangeWords(std::span<std::uint8_t> bytes, const PixelAccess& px, std::int64_t a, std::int64_t b)
{
    if (a < 0 || b < 0 || !px.containsOffset(a) || !px.containsOffset(b))
        return;
    std::swap(bytes[static_cast<std::size_t>(a)], bytes[static_cast<std::size_t>(b)]);
    std::swap(bytes[static_cast<std::size_t>(a) + 1], bytes[static_cast<std::size_t>(b) + 1]);
}
} // namespace

void mirrorLeftRight(std::span<std::uint8_t> bytes, std::int64_t header, std::int64_t matrixX, std::int64_t matrixY)
{
    const PixelAccess px(bytes, header, matrixX, false);
    for (std::int64_t y = 0; y < matrixY; ++y) {
        // Rows wholly beyond the bytes have nothing to exchange.
        if (px.offset(0, y) > static_cast<std::int64_t>(bytes.size()))
            break;
        for (std::int64_t i = 0; i < matrixX / 2; ++i)
            exchangeWords(bytes, px, px.offset(i, y), px.offset(matrixX - 1 - i, y));
    }
}

void mirrorTopBottom(std::span<std::uint8_t> bytes, std::int64_t header, std::int64_t matrixX, std::int64_t matrixY)
{
    const PixelAccess px(bytes, header, matrixX, false);
    for (std::int64_t r = 0; r < matrixY / 2; ++r) {
        if (px.offset(0, r) > static_cast<std::int64_t>(bytes.size()))
            break;
        for (std::int64_t x = 0; x < matrixX; ++x)
            exchangeWords(bytes, px, px.offset(x, r), px.offset(x, matrixY - 1 - r));
    }
}

} // namespace tarven
