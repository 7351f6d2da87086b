#pragma once
// "R/L" and "U/D": mirror the 16-bit words of the pixel matrix in place,
// unchanged (no byte exchange, no sign). A pair of words is exchanged only
// when both lie inside the bytes, so a flip never touches anything outside
// and flipping twice always gives the bytes back.
#include <cstdint>
#include <span>

namespace tarven {

void mirrorLeftRight(std::span<std::uint8_t> bytes, std::int64_t header, std::int64_t matrixX, std::int64_t matrixY);
void mirrorTopBottom(std::span<std::uint8_t> bytes, std::int64_t header, std::int64_t matrixX, std::int64_t matrixY);

} // namespace tarven
