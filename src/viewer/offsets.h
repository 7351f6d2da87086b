#pragma once
// The six header-stepping buttons: by a frame (n x n pixels), a row or a
// pixel, the step depending on the file mode.
#include <cstdint>
#include <optional>

namespace tarven {

enum class OffsetButton { FrameUp, FrameDown, RowUp, RowDown, PixelUp, PixelBack };

// Mode: 0 " 8bit", 1 "16bit", 2 "DICOM". Nothing when the button does not
// move the offset in that mode.
std::optional<std::int64_t> offsetStep(OffsetButton button, int mode, std::int64_t columns);

// header + step, or nothing when the result does not fit the 32-bit header
// box (it then keeps its value).
std::optional<std::int32_t> steppedHeader(std::int64_t header, std::int64_t step);

} // namespace tarven
