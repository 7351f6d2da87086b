#pragma once
// The one rule by which every pixel is read: a 16-bit word at
// header + 2 * (row * columns + column) of the loaded bytes, its two bytes
// exchanged when "Swap" is on, read as signed; optionally rescaled.
//
// A pixel whose two bytes do not both lie inside the loaded bytes is never
// read: word() reports it as missing, and each caller decides what a missing
// pixel means for its result (the renderer paints it as the white display
// background; readers that need a number treat it as stated where they call).
#include <cstdint>
#include <optional>
#include <span>

namespace tarven {

// Byte offset header + 2 * (y * columns + x), or -1 (outside any buffer) when
// the arithmetic would not fit 64 bits.
inline std::int64_t pixelOffset(std::int64_t header, std::int64_t columns, std::int64_t x, std::int64_t y)
{
    std::int64_t index = 0, off = 0;
    if (__builtin_mul_overflow(y, columns, &index) || __builtin_add_overflow(index, x, &index) ||
        __builtin_mul_overflow(index, std::int64_t{2}, &off) || __builtin_add_overflow(off, header, &off))
        return -1;
    return off;
}

inline std::uint16_t swapWord(std::uint16_t w) { return static_cast<std::uint16_t>((w >> 8) | (w << 8)); }

// Rescaled value: round(v * slope + intercept) with ties to even, reduced to
// its low 16 bits and read as signed again. A product that no integer can
// hold is an invalid floating-point operation.
std::int16_t rescaleValue(std::int16_t v, double slope, double intercept);

class PixelAccess {
public:
    PixelAccess(std::span<const std::uint8_t> bytes, std::int64_t header, std::int64_t columns, bool swap)
        : bytes_(bytes), header_(header), columns_(columns), swap_(swap) {}

    // Byte offset of pixel (x, y); may lie outside the bytes.
    std::int64_t offset(std::int64_t x, std::int64_t y) const { return pixelOffset(header_, columns_, x, y); }

    bool contains(std::int64_t x, std::int64_t y) const { return containsOffset(offset(x, y)); }
    bool containsOffset(std::int64_t off) const
    {
        return off >= 0 && off <= static_cast<std::int64_t>(bytes_.size()) - 2;
    }

    // Raw word after the optional byte exchange, or nothing when outside.
    std::optional<std::uint16_t> word(std::int64_t x, std::int64_t y) const { return wordAt(offset(x, y)); }
    std::optional<std::uint16_t> wordAt(std::int64_t off) const
    {
        if (!containsOffset(off))
            return std::nullopt;
        const auto b0 = bytes_[static_cast<std::size_t>(off)];
        const auto b1 = bytes_[static_cast<std::size_t>(off) + 1];
        const auto w = static_cast<std::uint16_t>(swap_ ? (b1 | (b0 << 8)) : (b0 | (b1 << 8)));
        return w;
    }
    // Stored value (signed), or nothing when outside.
    std::optional<std::int16_t> value(std::int64_t x, std::int64_t y) const
    {
        if (auto w = word(x, y))
            return static_cast<std::int16_t>(*w);
        return std::nullopt;
    }

    std::span<const std::uint8_t> bytes() const { return bytes_; }
    std::int64_t header() const { return header_; }
    std::int64_t columns() const { return columns_; }
    bool swapped() const { return swap_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::int64_t header_;
    std::int64_t columns_;
    bool swap_;
};

} // namespace tarven
