#include "mtf/mtf.h"

#include "common/errors.h"
#include "common/numeric.h"

#include <algorithm>
#include <cmath>

namespace tarven::mtf {

namespace {

std::int32_t firstMaximum(std::span<const double> y)
{
    std::int32_t imax = 0;
    for (std::size_t i = 1; i < y.size(); ++i)
        if (y[i] > y[static_cast<std::size_t>(imax)])
            imax = static_cast<std::int32_t>(i);
    return imax;
}

// Four decimals, halves to even, as the summary and listings show frequencies.
double fourDecimals(double x) { return roundEven(x * 10000.0) / 10000.0; }

[[noreturn]] void throwNoCrossing(const char* side)
{
    throw Error(std::string("FWHM: the profile does not fall to half its maximum on the ") + side +
                    " side of the peak; place the ROI so that the whole LSF lies inside it");
}

} // namespace

LineSpan chosenLines(Direction direction, std::int32_t peakLine, std::int32_t lineCount)
{
    // L adjacent lines around the peak line, the peak line counted once. An
    // even L cannot be centred: in X its extra line is the row above the
    // peak row, in Y the column right of the peak column, the sides on which
    // the line count has always put the larger half.
    const std::int32_t half = lineCount / 2;
    const std::int32_t rest = lineCount - half - 1; // ceil(L/2) - 1
    if (direction == Direction::X)
        return {peakLine - half, peakLine + rest};
    return {peakLine - rest, peakLine + half};
}

std::vector<double> lineSum(const CellTable& table, Direction direction, CellPos peak, std::int32_t lineCount)
{
    if (lineCount < 1 || lineCount > kMaxProfile)
        throw Error("Line# " + formatInt(lineCount) + " is not a line count of 1 to 2048");
    const bool x = direction == Direction::X;
    const std::int32_t dataLines = x ? table.rows() - 1 : table.columns() - 1;
    const std::int32_t n = x ? table.columns() - 1 : table.rows() - 1;
    if (n < 1 || dataLines < 1)
        throw Error("The pixel table holds no data cells");
    if (n > kMaxProfile)
        throw Error("The profile has " + formatInt(n) + " points; at most 2048 can be analysed");
    const LineSpan span = chosenLines(direction, x ? peak.row : peak.col, lineCount);
    // Lines outside the data would sum the heading coordinates or empty
    // cells: such a line count is refused, and the row of the summary table
    // is never labelled with more lines than were summed.
    if (span.first < 1 || span.last > dataLines)
        throw Error("Line# " + formatInt(lineCount) + " around the peak " + (x ? "row " : "column ") +
                    formatInt(x ? peak.row : peak.col) + " reaches outside the data " + (x ? "rows" : "columns") +
                    " 1 .. " + formatInt(dataLines));
    std::vector<double> sum(static_cast<std::size_t>(n), 0.0);
    for (std::int32_t line = span.first; line <= span.last; ++line)
        for (std::int32_t i = 1; i <= n; ++i)
            sum[static_cast<std::size_t>(i - 1)] += x ? table.number(i, line) : table.number(line, i);
    return sum;
}

void subtractEndPointMean(std::span<double> y)
{
    // 32 points from each end; a profile shorter than 32 points takes all of
    // its points from each end, so the base is then the profile's mean.
    const std::size_t n = y.size();
    const std::size_t m = std::min<std::size_t>(32, n);
    if (m == 0)
        return;
    double sum = 0;
    for (std::size_t c = 0; c < m; ++c)
        sum += y[c] + y[n - 1 - c];
    const double base = sum / static_cast<double>(2 * m);
    for (double& v : y)
        v -= base;
}

BaseFwhm baseAndFwhm(std::span<double> y, std::int32_t baseCount)
{
    const auto n = static_cast<std::int32_t>(y.size());
    if (n < 1)
        throw Error("The profile is empty");
    auto at = [&](std::int32_t i) -> double& { return y[static_cast<std::size_t>(i)]; };
    BaseFwhm out;

    // Every walk is held inside 0 .. n-1: a start three points out that would
    // lie outside begins at the end point, and a walk that reaches an end
    // stops there, so a flank falling to the end puts its base point at the
    // end. With no bump to step over (a base count of 0 or less) the base
    // points are the feet of the two flanks.
    std::int32_t imax = firstMaximum(y);
    std::int32_t b = std::max(imax - 3, 0);
    while (b > 0 && at(b - 1) < at(b))
        --b;
    std::int32_t l1 = b, l2 = b;
    for (std::int32_t k = 0; k < baseCount; ++k) {
        const std::int32_t before = b;
        while (b > 0 && at(b - 1) > at(b))
            --b;
        l1 = b;
        while (b > 0 && at(b - 1) < at(b))
            --b;
        l2 = b;
        if (b == before)
            break; // nothing left to step over: further rounds would stay here
    }
    out.leftBase = (l1 + l2) / 2;

    std::int32_t r = std::min(imax + 3, n - 1);
    while (r < n - 1 && at(r + 1) < at(r))
        ++r;
    std::int32_t r1 = r, r2 = r;
    for (std::int32_t k = 0; k < baseCount; ++k) {
        const std::int32_t before = r;
        while (r < n - 2 && at(r + 1) > at(r))
            ++r;
        r1 = r;
        while (r < n - 1 && at(r + 1) < at(r))
            ++r;
        r2 = r;
        if (r == before)
            break;
    }
    out.rightBase = (r1 + r2) / 2;

    const std::int32_t lb = out.leftBase, rb = out.rightBase;
    for (std::int32_t i = 0; i < lb; ++i)
        at(i) = 0;
    out.base = (at(lb) + at(rb)) / 2;
    for (std::int32_t i = lb; i <= rb; ++i)
        at(i) -= out.base;
    for (std::int32_t i = rb + 1; i < n; ++i)
        at(i) = 0;

    // Half-maximum crossings, linearly interpolated between the samples that
    // enclose them; a profile that stays above half maximum up to an end has
    // no crossing there and no width can be given.
    imax = firstMaximum(y);
    const double h = at(imax) / 2;
    b = std::max(imax - 3, 0);
    while (b > 0 && h < at(b))
        --b;
    if (h < at(b) || b + 1 > n - 1)
        throwNoCrossing("left");
    out.left = b + floatDiv(h - at(b), at(b + 1) - at(b));
    r = std::min(imax + 3, n - 1);
    while (r < n - 1 && h < at(r))
        ++r;
    if (h < at(r) || r < 1)
        throwNoCrossing("right");
    out.right = (r - 1) + floatDiv(h - at(r - 1), at(r) - at(r - 1));
    return out;
}

Spectrum directTransform(std::span<const double> profile)
{
    // The direct sum over j of y[j] at the angle (k * 2 pi / M) * j. The
    // angle only matters modulo 2 pi, so the cosines and sines of the M
    // angles 2 pi m / M are taken once, in extended precision, and the
    // products are summed in extended precision: O(M * n) multiply-adds
    // instead of as many trigonometric calls.
    const std::size_t m = profile.size();
    Spectrum s;
    s.re.assign(m, 0.0);
    s.im.assign(m, 0.0);
    s.mag.assign(m, 0.0);
    if (m == 0)
        return s;
    constexpr long double twoPi = 6.283185307179586476925286766559005768L;
    std::vector<long double> cosT(m), sinT(m);
    for (std::size_t i = 0; i < m; ++i) {
        const long double theta = twoPi * static_cast<long double>(i) / static_cast<long double>(m);
        cosT[i] = std::cos(theta);
        sinT[i] = std::sin(theta);
    }
    for (std::size_t k = 0; k < m; ++k) {
        long double re = 0, im = 0;
        std::size_t idx = 0; // (k * j) mod M
        for (std::size_t j = 0; j < m; ++j) {
            const long double v = profile[j];
            re += v * cosT[idx];
            im += v * sinT[idx];
            idx += k;
            if (idx >= m)
                idx -= m;
        }
        s.re[k] = static_cast<double>(re);
        s.im[k] = static_cast<double>(im);
        s.mag[k] = std::sqrt(s.re[k] * s.re[k] + s.im[k] * s.im[k]);
    }
    return s;
}

SummaryValues summaryValues(std::span<const double> mag, double dx)
{
    const auto m = static_cast<std::int64_t>(mag.size());
    const double span = static_cast<double>(m) * dx; // M * dx: the frequency of bin i is i / (M * dx)
    SummaryValues s;
    double maxMag = 0;
    for (std::int64_t i = 0; i < m / 2; ++i)
        if (mag[static_cast<std::size_t>(i)] > maxMag) {
            maxMag = mag[static_cast<std::size_t>(i)];
            s.maxFrequency = fourDecimals(floatDiv(static_cast<double>(i), span));
        }
    s.bin02 = truncToInt64(floatDiv(0.2, floatDiv(1.0, span)));
    const double zero = m > 0 ? mag[0] : 0.0;
    s.maxRatio = floatDiv(maxMag, zero);
    // A pixel size of 5 mm or more puts 0.2 c/mm past the last bin: that
    // column of the row is left empty rather than read past the spectrum.
    if (s.bin02 >= 0 && s.bin02 < m)
        s.mtf02 = floatDiv(mag[static_cast<std::size_t>(s.bin02)], zero);
    return s;
}

std::string summaryRow(std::string_view label, const SummaryValues& s)
{
    std::string row(label);
    row += '\t';
    row += formatGeneral(s.maxFrequency);
    row += "\t      ";
    row += formatGeneral(s.maxRatio);
    row += '\t';
    if (s.mtf02)
        row += formatGeneral(*s.mtf02);
    row += "\r\n";
    return row;
}

MtfResult computeMtf(const CellTable& table, const MtfInput& in)
{
    MtfResult out;
    out.lineSum = lineSum(table, in.direction, in.peak, in.lineCount);
    out.lsf = out.lineSum;
    if (in.direction == Direction::X && in.baseCount <= 0) {
        subtractEndPointMean(out.lsf);
    } else {
        out.baseFwhm = baseAndFwhm(out.lsf, in.baseCount);
        out.fwhm = in.dx * out.baseFwhm->widthSamples();
    }
    out.spectrum = directTransform(out.lsf);
    out.summary = summaryValues(out.spectrum.mag, in.dx);
    return out;
}

namespace {
// A "Disp#" beyond the computed points would plot values no computation made
// (zeros, or what a longer, earlier run left): the count is held to the
// computed points, and a negative one to none.
std::size_t boundedPoints(std::int32_t points, std::size_t computed)
{
    return points <= 0 ? 0 : std::min(static_cast<std::size_t>(points), computed);
}
} // namespace

PlotData lsfPlot(std::span<const double> lsf, std::int32_t points, double dx)
{
    const std::size_t n = boundedPoints(points, lsf.size());
    PlotData p;
    p.x.resize(n);
    p.y.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        p.x[i] = static_cast<double>(i) * dx;
        p.y[i] = lsf[i];
    }
    p.count = static_cast<std::int32_t>(n);
    return p;
}

PlotData mtfPlot(std::span<const double> mag, std::int32_t points, double dx)
{
    const std::size_t n = boundedPoints(points, mag.size());
    const double span = static_cast<double>(mag.size()) * dx;
    PlotData p;
    p.x.resize(n);
    p.y.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        p.x[i] = floatDiv(static_cast<double>(i), span);
        p.y[i] = floatDiv(mag[i], mag[0]);
    }
    // The upper half of the bins mirrors the lower: only the lower half is shown.
    p.count = static_cast<std::int32_t>(n / 2);
    return p;
}

std::vector<std::string> lsfListing(std::string_view fileName, std::span<const double> lsf, double pixelSize)
{
    std::vector<std::string> lines;
    lines.reserve(lsf.size() + 2);
    lines.push_back("mm\t" + std::string(fileName));
    for (std::size_t i = 0; i < lsf.size(); ++i)
        lines.push_back(formatGeneral(fourDecimals(static_cast<double>(i) * pixelSize)) + '\t' +
                        formatGeneral(lsf[i]));
    lines.emplace_back();
    return lines;
}

std::vector<std::string> mtfListing(std::string_view fileName, std::span<const double> mag, double pixelSize)
{
    const double span = static_cast<double>(mag.size()) * pixelSize;
    std::vector<std::string> lines;
    lines.reserve(mag.size() + 2);
    lines.push_back("c/mm\t" + std::string(fileName));
    for (std::size_t i = 0; i < mag.size(); ++i)
        lines.push_back(formatGeneral(fourDecimals(floatDiv(static_cast<double>(i), span))) + '\t' +
                        formatGeneral(fourDecimals(floatDiv(mag[i], mag[0]))));
    lines.emplace_back();
    return lines;
}

} // namespace tarven::mtf
