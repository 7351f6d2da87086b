#include "io/rawsave.h"

#include "common/errors.h"
#include "common/numeric.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace tarven {

SaveRoiGeometry saveRoiGeometry(double s, std::int64_t cx, std::int64_t cy, std::int64_t w, std::int64_t h,
                                std::int64_t viewX, std::int64_t viewY, std::int64_t matrixX, std::int64_t matrixY)
{
    SaveRoiGeometry g;
    const double ws = static_cast<double>(w) * s, hs = static_cast<double>(h) * s;
    // Larger than the display at this zoom: the display shows a part around
    // the view centre; otherwise display coordinates scale to the image.
    g.x0 = static_cast<double>(matrixX) / s > 512
               ? truncToInt64(static_cast<double>(cx - 256) * s + static_cast<double>(viewX) - ws / 2)
               : truncToInt64(static_cast<double>(cx) * s - ws / 2);
    g.y0 = static_cast<double>(matrixY) / s > 512
               ? truncToInt64(static_cast<double>(cy - 256) * s + static_cast<double>(viewY) - hs / 2)
               : truncToInt64(static_cast<double>(cy) * s - hs / 2);
    g.cols = truncToInt64(ws);
    g.rows = truncToInt64(hs);
    if (g.x0 < 0)
        g.x0 = 0;
    if (g.y0 < 0)
        g.y0 = 0;
    g.width = ws;
    g.height = hs;
    return g;
}

std::vector<std::uint8_t> regionWords(const PixelAccess& pixels, const PixelRegion& region)
{
    std::vector<std::uint8_t> out;
    if (region.empty())
        return out;
    out.reserve(static_cast<std::size_t>(region.width * region.height * 2));
    for (std::int64_t y = region.top; y < region.top + region.height; ++y)
        for (std::int64_t x = region.left; x < region.left + region.width; ++x) {
            const std::uint16_t w = pixels.word(x, y).value_or(0); // inside by contract
            out.push_back(static_cast<std::uint8_t>(w & 0xFF));
            out.push_back(static_cast<std::uint8_t>(w >> 8));
        }
    return out;
}

void writeWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    const auto fail = [&] { throw FileError(formatMessage("ファイル %s を作成できません", path)); };
    const std::string temp = path + ".part";
    {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(temp.c_str(), "wb"), &std::fclose);
        if (!f)
            fail();
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
            f.reset();
            std::remove(temp.c_str());
            fail();
        }
        if (std::fclose(f.release()) != 0) {
            std::remove(temp.c_str());
            fail();
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::remove(temp.c_str());
        fail();
    }
}

} // namespace tarven
