#include "mtf/pixeltable.h"

#include "common/errors.h"
#include "common/numeric.h"

#include <array>
#include <cmath>

namespace tarven::mtf {

void checkRoiSize(std::int64_t width, std::int64_t height)
{
    if (width < 1 || height < 1 || width > kMaxProfile || height > kMaxProfile)
        throw Error("The ROI (" + formatInt(width) + " x " + formatInt(height) +
                    " pixels) does not fit the MTF table: width and height must be 1 to 2048 pixels");
}

void fillTable(CellTable& table, const PixelAccess& pixels, std::int64_t imageRows, const RoiBox& roi,
               const std::optional<Rescale>& rescale, bool withData)
{
    checkRoiSize(roi.width, roi.height);
    const auto w = static_cast<std::int32_t>(roi.width);
    const auto h = static_cast<std::int32_t>(roi.height);
    table.resize(w + 1, h + 1);
    for (std::int32_t c = 1; c <= w; ++c)
        table.setCell(c, 0, formatInt(roi.left + c - 1));
    for (std::int32_t r = 1; r <= h; ++r)
        table.setCell(0, r, formatInt(roi.top + r - 1));
    for (std::int32_t r = 1; r <= h; ++r)
        for (std::int32_t c = 1; c <= w; ++c) {
            const std::int64_t x = roi.left + c - 1, y = roi.top + r - 1;
            std::optional<std::int16_t> v;
            if (withData && x >= 0 && x < pixels.columns() && y >= 0 && y < imageRows)
                v = pixels.value(x, y);
            if (!v) {
                table.setCell(c, r, {});
                continue;
            }
            std::int16_t value = *v;
            if (rescale)
                value = rescaleValue(value, rescale->slope, rescale->intercept);
            table.setCell(c, r, formatInt(value));
        }
}

CellPos findPeak(const CellTable& table)
{
    CellPos peak{1, 1};
    double max = table.number(1, 1);
    for (std::int32_t r = 1; r < table.rows(); ++r)
        for (std::int32_t c = 1; c < table.columns(); ++c) {
            const double v = table.number(c, r);
            if (v > max) {
                max = v;
                peak = {c, r};
            }
        }
    return peak;
}

AreaStatistics areaStats(const CellTable& table, const GridRect& rect)
{
    const std::int64_t count =
        (std::int64_t{rect.right} - rect.left + 1) * (std::int64_t{rect.bottom} - rect.top + 1);
    double sum = 0;
    for (std::int64_t r = rect.top; r <= rect.bottom; ++r)
        for (std::int64_t c = rect.left; c <= rect.right; ++c)
            sum += table.number(static_cast<std::int32_t>(c), static_cast<std::int32_t>(r));
    // An empty rectangle has no mean: the division by a count of 0 fails.
    AreaStatistics s;
    s.mean = floatDiv(sum, rect.right < rect.left || rect.bottom < rect.top ? 0.0 : static_cast<double>(count));
    s.max = s.min = table.number(rect.left, rect.top);
    s.peak = {rect.left, rect.top};
    double ss = 0;
    for (std::int64_t r = rect.top; r <= rect.bottom; ++r)
        for (std::int64_t c = rect.left; c <= rect.right; ++c) {
            const double v = table.number(static_cast<std::int32_t>(c), static_cast<std::int32_t>(r));
            if (v > s.max) {
                s.max = v;
                s.peak = {static_cast<std::int32_t>(c), static_cast<std::int32_t>(r)};
            }
            if (v < s.min)
                s.min = v;
            ss += (v - s.mean) * (v - s.mean);
        }
    s.sd = checkedSqrt(ss / static_cast<double>(count));
    return s;
}

namespace {
void appendRow(std::string& out, const CellTable& table, std::int64_t r, std::int64_t c0, std::int64_t c1)
{
    for (std::int64_t c = c0; c <= c1; ++c) {
        if (c > c0)
            out += '\t';
        out += table.cell(static_cast<std::int32_t>(c), static_cast<std::int32_t>(r));
    }
    out += "\r\n";
}
} // namespace

std::string allText(const CellTable& table, bool transpose)
{
    const std::int32_t w = table.columns() - 1;
    const std::int32_t h = table.rows() - 1;
    std::string out;
    if (!transpose) {
        for (std::int32_t r = 1; r <= h; ++r)
            appendRow(out, table, r, 1, w);
        return out;
    }
    for (std::int32_t c = 1; c <= w; ++c) {
        for (std::int32_t r = 1; r <= h; ++r) {
            if (r > 1)
                out += '\t';
            out += table.cell(static_cast<std::int32_t>(c), static_cast<std::int32_t>(r));
        }
        out += "\r\n";
    }
    return out;
}

std::string rectText(const CellTable& table, const GridRect& rect)
{
    std::string out;
    for (std::int64_t r = rect.top; r <= rect.bottom; ++r)
        appendRow(out, table, r, rect.left, rect.right);
    return out;
}

std::string columnText(const CellTable& table, const GridRect& rect)
{
    std::string out;
    for (std::int64_t r = rect.top; r <= rect.bottom; ++r)
        for (std::int64_t c = rect.left; c <= rect.right; ++c) {
            out += table.cell(static_cast<std::int32_t>(c), static_cast<std::int32_t>(r));
            out += "\r\n";
        }
    return out;
}

std::string histogramText(const CellTable& table, double bits)
{
    const std::int64_t binWidth = roundToInt64(std::pow(2.0, bits) / 128.0);
    // 6 bits or fewer give a bin width of 0: the division fails before anything is counted.
    if (binWidth == 0)
        throwIntDivByZero();
    const std::int32_t w = table.columns() - 1;
    const std::int32_t h = table.rows() - 1;
    std::array<std::int32_t, 128> counts{};
    for (std::int32_t r = 1; r <= h; ++r)
        for (std::int32_t c = 2; c <= w; ++c) {
            const std::int64_t v = table.integer(c, r);
            // A value below 0 or at 128 bin widths and above has no bin: it is
            // left out of the bins (piling it into an end bin would make a
            // false peak) but still counts in the divisor, so the 128 shares
            // then add up to the share of cells inside the range.
            const std::int64_t bin = intDiv(v, binWidth);
            if (v >= 0 && bin >= 0 && bin < 128)
                ++counts[static_cast<std::size_t>(bin)];
        }
    const double cellsCounted = static_cast<double>(std::int64_t{h} * (w - 1 > 0 ? w - 1 : 0));
    std::string out;
    for (const std::int32_t n : counts) {
        out += formatGeneral(floatDiv(n, cellsCounted));
        out += "\r\n";
    }
    return out;
}

} // namespace tarven::mtf
