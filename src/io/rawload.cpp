#include "io/rawload.h"

#include "common/errors.h"
#include "common/numeric.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace tarven {

Matrix proposeMatrix(std::int64_t fileSize, std::int32_t bytesPerPixel)
{
    if (fileSize == 10040000)
        return {2000, 2510};
    if (fileSize == 15105150)
        return {2505, 3015};
    const double perPixel = bytesPerPixel > 0 ? bytesPerPixel : 1;
    const double n = roundEven(std::sqrt(std::max(0.0, static_cast<double>(fileSize) / perPixel)));
    std::int64_t g = 64;
    while (n >= static_cast<double>(g))
        g *= 2;
    return {g / 2, g / 2};
}

std::string matrixText(std::int64_t x, std::int64_t y) { return std::to_string(x) + " " + std::to_string(y); }

Matrix parseMatrixAnswer(std::string_view answer, std::int64_t fileSize, std::int32_t bytesPerPixel)
{
    if (auto blank = answer.find(' '); blank != std::string_view::npos)
        return {parseInt(answer.substr(0, blank)), parseInt(answer.substr(blank + 1))};
    Matrix m;
    m.x = m.y = parseInt(answer);
    const std::int64_t rowsInFile = intDiv(intDiv(fileSize, bytesPerPixel), m.x);
    if (m.y > rowsInFile)
        m.y = rowsInFile;
    return m;
}

std::int64_t rawHeader(std::int64_t fileSize, const Matrix& m, std::int32_t bytesPerPixel)
{
    return fileSize - m.x * m.y * bytesPerPixel;
}

std::vector<std::uint8_t> readWholeFile(const std::string& path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
    std::error_code ec;
    if (!f || !std::filesystem::is_regular_file(path, ec)) // a folder or a device is no image file
        throwCannotOpen(path);
    if (std::fseek(f.get(), 0, SEEK_END) != 0)
        throwCannotOpen(path);
    const long size = std::ftell(f.get());
    if (size < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0)
        throwCannotOpen(path); // a directory or a stream with no size
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size())
        throwCannotOpen(path);
    return bytes;
}

} // namespace tarven
