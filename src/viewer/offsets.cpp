#include "viewer/offsets.h"

#include <limits>

namespace tarven {

std::optional<std::int64_t> offsetStep(OffsetButton button, int mode, std::int64_t n)
{
    if (button == OffsetButton::PixelBack)
        return -2; // in every mode, " 8bit" included
    if (mode != 1 && mode != 2)
        return std::nullopt;
    const std::int64_t unit = mode == 2 ? 4 : 2; // "DICOM" steps twice as far as "16bit"
    switch (button) {
    case OffsetButton::FrameUp:
    case OffsetButton::FrameDown: {
        // A frame of a huge matrix may not fit 64 bits; such a step cannot
        // give a valid header anyway, so it saturates.
        std::int64_t frame = 0;
        if (__builtin_mul_overflow(n, n, &frame) || __builtin_mul_overflow(frame, unit, &frame))
            frame = std::numeric_limits<std::int64_t>::max();
        return button == OffsetButton::FrameUp ? frame : -frame;
    }
    case OffsetButton::RowUp:
        return unit * n;
    case OffsetButton::RowDown:
        return -unit * n;
    case OffsetButton::PixelUp:
        return unit;
    case OffsetButton::PixelBack:
        break;
    }
    return std::nullopt;
}

std::optional<std::int32_t> steppedHeader(std::int64_t header, std::int64_t step)
{
    std::int64_t r = 0;
    if (__builtin_add_overflow(header, step, &r) || r > std::numeric_limits<std::int32_t>::max() ||
        r < std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return static_cast<std::int32_t>(r);
}

} // namespace tarven
