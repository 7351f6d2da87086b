#pragma once
// Raw image loading: the matrix proposal, the answer of the matrix dialog and
// the header arithmetic (header = file size - X * Y * bytes per pixel).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarven {

struct Matrix {
    std::int64_t x = 0;
    std::int64_t y = 0;
};

// Two file sizes of headerless 16-bit detectors have fixed matrices; any other
// size gets the largest power of two not above sqrt(size / bytesPerPixel),
// but never less than 32.
Matrix proposeMatrix(std::int64_t fileSize, std::int32_t bytesPerPixel);
std::string matrixText(std::int64_t x, std::int64_t y); // "X Y"

// The matrix dialog's answer: "X Y" (the integer before the first blank and
// the integer formed by everything after it), or one number N for N x N with
// the rows cut to what the file holds. Non-integers raise the conversion
// error; a single 0 the integer division error.
Matrix parseMatrixAnswer(std::string_view answer, std::int64_t fileSize, std::int32_t bytesPerPixel);

std::int64_t rawHeader(std::int64_t fileSize, const Matrix& m, std::int32_t bytesPerPixel);

// The whole file, or FileError "ファイル <name> は開けません".
std::vector<std::uint8_t> readWholeFile(const std::string& path);

} // namespace tarven
