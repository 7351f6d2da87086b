#include "wiener/spectrum.h"

#include "common/errors.h"
#include "common/numeric.h"
#include "common/pixels.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarven {

namespace {

[[noreturn]] void refuse(const std::string& message) { throw Error(message); }

std::string num(std::int64_t v) { return formatInt(v); }

// A value as a drawing coordinate. Points far outside the image (a later
// overlay on the first run's scale) are held at a distance that every
// painter handles; a finite value is never wrapped around.
int coordinate(double v)
{
    constexpr double limit = 1.0e6;
    const double r = roundEven(v);
    if (!(r == r))
        throwInvalidFloatOp();
    return static_cast<int>(std::clamp(r, -limit, limit));
}

} // namespace

WsState::WsState() : stripData(static_cast<std::size_t>(wsCapacity) * wsCapacity, 0.0) {}

// ---------------------------------------------------------------- LSM

void wsLsm(int order, int count, std::span<const double> x, std::span<const double> y, std::span<double> coef)
{
    if (order < 0)
        return;
    if (order > wsMaxOrder || count < 0 || static_cast<std::size_t>(count) > x.size() ||
        static_cast<std::size_t>(count) > y.size() || static_cast<std::size_t>(order) >= coef.size())
        refuse("LSM: order " + num(order) + " or count " + num(count) + " exceeds the arrays");

    const int n = order;
    std::array<double, 2 * wsMaxOrder + 1> s{};
    std::array<double, wsMaxOrder + 1> b{};
    // Power sums and right-hand side in one pass; x^k by repeated
    // multiplication, so x^0 = 1 also for x = 0.
    for (int i = 0; i < count; ++i) {
        const double xi = x[static_cast<std::size_t>(i)];
        const double yi = y[static_cast<std::size_t>(i)];
        double p = 1.0;
        for (int k = 0; k <= 2 * n; ++k) {
            s[static_cast<std::size_t>(k)] += p;
            if (k <= n)
                b[static_cast<std::size_t>(k)] += p * yi;
            p *= xi;
        }
    }
    std::array<std::array<double, wsMaxOrder + 1>, wsMaxOrder + 1> a{};
    for (int r = 0; r <= n; ++r)
        for (int c = 0; c <= n; ++c)
            a[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = s[static_cast<std::size_t>(r + c)];

    auto pivot = [&](int k) {
        const double v = a[static_cast<std::size_t>(k)][static_cast<std::size_t>(k)];
        if (v == 0.0)
            throwFloatDivByZero();
        return v;
    };
    // Forward elimination.
    for (int k = 0; k < n; ++k) {
        auto& rk = a[static_cast<std::size_t>(k)];
        const double d = pivot(k);
        for (int c = k; c <= n; ++c)
            rk[static_cast<std::size_t>(c)] /= d;
        b[static_cast<std::size_t>(k)] /= d;
        for (int i = k + 1; i <= n; ++i) {
            auto& ri = a[static_cast<std::size_t>(i)];
            const double f = ri[static_cast<std::size_t>(k)];
            for (int c = k; c <= n; ++c)
                ri[static_cast<std::size_t>(c)] -= f * rk[static_cast<std::size_t>(c)];
            b[static_cast<std::size_t>(i)] -= f * b[static_cast<std::size_t>(k)];
        }
    }
    // Backward elimination.
    for (int k = n; k >= 1; --k) {
        auto& rk = a[static_cast<std::size_t>(k)];
        const double d = pivot(k);
        for (int c = 0; c <= k; ++c)
            rk[static_cast<std::size_t>(c)] /= d;
        b[static_cast<std::size_t>(k)] /= d;
        for (int i = k - 1; i >= 0; --i) {
            auto& ri = a[static_cast<std::size_t>(i)];
            const double f = ri[static_cast<std::size_t>(k)];
            for (int c = 0; c <= k; ++c)
                ri[static_cast<std::size_t>(c)] -= f * rk[static_cast<std::size_t>(c)];
            b[static_cast<std::size_t>(i)] -= f * b[static_cast<std::size_t>(k)];
        }
    }
    // The single equation of order 0: the constant is the mean of the ordinates.
    if (n == 0)
        b[0] /= pivot(0);
    for (int j = 0; j <= n; ++j)
        coef[static_cast<std::size_t>(j)] = b[static_cast<std::size_t>(j)];
}

double wsFitted(std::span<const double> coef, int order, double x)
{
    double sum = 0.0, p = 1.0;
    for (int j = 0; j <= order && static_cast<std::size_t>(j) < coef.size(); ++j) {
        sum += coef[static_cast<std::size_t>(j)] * p;
        p *= x;
    }
    return sum;
}

// ---------------------------------------------------------------- FFT

bool wsIsPowerOfTwo(std::int64_t n) { return n > 0 && (n & (n - 1)) == 0; }

void wsFft(std::span<double> re, std::span<double> im, int n)
{
    if (!wsIsPowerOfTwo(n) || n > wsMaxLength || static_cast<std::size_t>(n) > re.size() ||
        static_cast<std::size_t>(n) > im.size())
        refuse("FFT: the length " + num(n) + " is not a power of two from 1 to 1024");

    int stages = 0;
    for (int m = n; m > 1; m /= 2)
        ++stages;

    // Twiddle tables: the angle runs from 0 in steps of 6.283184 / n, summed
    // rather than multiplied out.
    std::array<double, wsMaxLength / 2 + 1> sinT{}, cosT{};
    const double dTheta = 6.283184 / n;
    double theta = 0.0;
    for (int t = 0; t <= n / 2; ++t) {
        sinT[static_cast<std::size_t>(t)] = std::sin(theta);
        cosT[static_cast<std::size_t>(t)] = std::cos(theta);
        theta += dTheta;
    }

    int half = n, step = 1;
    for (int stage = 0; stage < stages; ++stage) {
        half /= 2;
        for (int g = 0; g < step; ++g) {
            const int base = 2 * g * half;
            for (int i = base; i < base + half; ++i) {
                const auto t = static_cast<std::size_t>((i - base) * step);
                const auto ii = static_cast<std::size_t>(i);
                const auto j = static_cast<std::size_t>(i + half);
                const double tr = re[ii] - re[j];
                const double ti = im[ii] - im[j];
                re[ii] += re[j];
                im[ii] += im[j];
                if (t == 0) {
                    re[j] = tr;
                    im[j] = ti;
                } else {
                    re[j] = tr * cosT[t] + ti * sinT[t];
                    im[j] = ti * cosT[t] - tr * sinT[t];
                }
            }
        }
        step *= 2;
    }

    // Bit-reversal reordering.
    int j = n / 2;
    for (int i = 1; i < n; ++i) {
        if (j < i) {
            std::swap(re[static_cast<std::size_t>(i)], re[static_cast<std::size_t>(j)]);
            std::swap(im[static_cast<std::size_t>(i)], im[static_cast<std::size_t>(j)]);
        }
        int k = n / 2;
        while (k <= j && j >= 0 && k > 0) {
            j -= k;
            k /= 2;
        }
        j += k;
    }
}

// ---------------------------------------------------------------- the run

double wsPixel(const WsSource& src, std::int64_t c, std::int64_t r)
{
    const PixelAccess access(src.bytes, src.header, src.columns, src.swap);
    const auto w = access.word(src.left + c, src.top + r);
    if (!w)
        refuse("The ROI pixel (" + num(c) + ", " + num(r) + ") lies outside the loaded image.");
    const auto shifted = static_cast<std::uint16_t>(*w + static_cast<std::uint16_t>(src.intercept));
    return static_cast<double>(static_cast<std::int16_t>(shifted));
}

std::string wsCheckParams(const WsParams& p)
{
    const char* along = p.directionY ? "Y" : "X";
    const char* across = p.directionY ? "X" : "Y";
    auto inRange = [](std::int64_t v) { return v >= 1 && v <= wsMaxLength; };
    if (!inRange(p.length) || !inRange(p.extent))
        return "ROISize must be from 1 to 1024 in X and in Y (now " + num(p.directionY ? p.extent : p.length) +
               " x " + num(p.directionY ? p.length : p.extent) + ").";
    if (!wsIsPowerOfTwo(p.segment) || p.segment > wsMaxLength)
        return std::string("SegmentSize ") + along +
               " is the segment length and must be a power of two from 1 to 1024 (now " + num(p.segment) + ").";
    if (!inRange(p.lines))
        return std::string("SegmentSize ") + across + " is the number of lines per strip and must be from 1 to 1024 (now " +
               num(p.lines) + ").";
    if (p.stepAlong < 1)
        return std::string("Shift ") + along + " must be at least 1 (now " + num(p.stepAlong) + ").";
    if (p.stepAcross < 1)
        return std::string("Shift ") + across + " must be at least 1 (now " + num(p.stepAcross) + ").";
    // An order below 0 fits the empty polynomial and so removes nothing; it
    // needs no room in the arrays.
    auto orderOk = [&](int order) { return order <= wsMaxOrder && order < p.length; };
    if (p.trend && !orderOk(p.trendOrder))
        return "The Trnd order must be at most 16 and below the ROI length " + num(p.length) + " (now " +
               num(p.trendOrder) + ").";
    if (p.trendAverage && !orderOk(p.trendAverageOrder))
        return "The Trnd1 order must be at most 16 and below the ROI length " + num(p.length) + " (now " +
               num(p.trendAverageOrder) + ").";
    return {};
}

std::string wsCheckSource(const WsSource& src)
{
    if (src.width < 1 || src.height < 1)
        return {}; // nothing is read
    const PixelAccess access(src.bytes, src.header, src.columns, src.swap);
    const bool inside = src.columns > 0 && src.left >= 0 && src.top >= 0 && src.header >= 0 &&
                        src.left + src.width <= src.columns && access.contains(src.left, src.top) &&
                        access.contains(src.left + src.width - 1, src.top + src.height - 1);
    if (inside)
        return {};
    return "The ROI (left " + num(src.left) + ", top " + num(src.top) + ", " + num(src.width) + " x " +
           num(src.height) + ") does not lie inside the loaded image (" + num(src.columns) +
           " columns, header " + num(src.header) + ", " + num(static_cast<std::int64_t>(src.bytes.size())) +
           " bytes); nothing was computed.";
}

namespace {

// Reads strip lines [across, across + M) into stripData, for both directions.
void readStrip(WsState& s, const WsParams& p, const WsSource& src, std::int64_t across)
{
    const PixelAccess access(src.bytes, src.header, src.columns, src.swap);
    const auto icpt = static_cast<std::uint16_t>(src.intercept);
    for (std::int64_t k = 0; k < p.lines; ++k) {
        for (std::int64_t i = 0; i < p.length; ++i) {
            const std::int64_t c = p.directionY ? across + k : i;
            const std::int64_t r = p.directionY ? i : across + k;
            const auto w = access.word(src.left + c, src.top + r);
            if (!w) // cannot happen after wsCheckSource; never read past the bytes regardless
                refuse("The ROI pixel (" + num(c) + ", " + num(r) + ") lies outside the loaded image.");
            s.strip(i, k) = static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(*w + icpt)));
        }
    }
}

void removeTrend(WsState& s, int order, int count, std::span<double> values)
{
    for (int i = 0; i < count; ++i) {
        s.fitX[static_cast<std::size_t>(i)] = i;
        s.fitY[static_cast<std::size_t>(i)] = values[static_cast<std::size_t>(i)];
    }
    wsLsm(order, count, s.fitX, s.fitY, s.fitCoef);
    for (int i = 0; i < count; ++i)
        values[static_cast<std::size_t>(i)] -= wsFitted(s.fitCoef, order, i);
}

} // namespace

int wsRun(WsState& s, const WsParams& p, const WsSource& src, const WsHooks& hooks)
{
    if (auto why = wsCheckParams(p); !why.empty())
        refuse(why);
    if (auto why = wsCheckSource(src); !why.empty())
        refuse(why);
    // The source must cover the run's rectangle: L x W in the analysis direction.
    if ((p.directionY ? src.height : src.width) < p.length || (p.directionY ? src.width : src.height) < p.extent)
        refuse("The ROI is smaller than the run's sizes.");

    const int L = p.length, W = p.extent, N = p.segment, M = p.lines;
    s.wsSpectrum.fill(0.0);
    int segCount = 0;
    std::array<double, wsCapacity> line{};

    for (std::int64_t across = 0; across + M - 1 < W && segCount < p.maxSegments; across += p.stepAcross) {
        readStrip(s, p, src, across);
        s.specLength = N;
        if (hooks.stripStarted)
            hooks.stripStarted(N);

        std::fill_n(s.lineProfile.begin(), L, 0.0);
        if (p.trend) {
            // Each line gets its own polynomial over the full strip length.
            for (int k = 0; k < M; ++k) {
                for (int i = 0; i < L; ++i)
                    line[static_cast<std::size_t>(i)] = s.strip(i, k);
                removeTrend(s, p.trendOrder, L, line);
                for (int i = 0; i < L; ++i)
                    s.lineProfile[static_cast<std::size_t>(i)] += line[static_cast<std::size_t>(i)];
            }
        } else {
            for (int i = 0; i < L; ++i) {
                double sum = 0.0;
                for (int k = 0; k < M; ++k)
                    sum += s.strip(i, k);
                s.lineProfile[static_cast<std::size_t>(i)] = sum;
            }
            double mean = 0.0;
            for (int i = 0; i < L; ++i)
                mean += s.lineProfile[static_cast<std::size_t>(i)];
            mean /= L;
            for (int i = 0; i < L; ++i)
                s.lineProfile[static_cast<std::size_t>(i)] -= mean;
        }
        for (int i = 0; i < L; ++i)
            s.lineProfile[static_cast<std::size_t>(i)] /= M;
        if (p.trendAverage)
            removeTrend(s, p.trendAverageOrder, L, s.lineProfile);
        std::copy_n(s.lineProfile.begin(), L, s.fftRe.begin());

        // The first strip and the one that starts at the middle of the ROI
        // are drawn; an extent below 2 has no middle.
        const std::int64_t middle = W / 2;
        if (middle == 0)
            throwIntDivByZero();
        if (across % middle == 0) {
            s.dataLength = L;
            if (hooks.drawProfile)
                hooks.drawProfile();
        }

        for (std::int64_t along = 0; along + N - 1 < L && segCount < p.maxSegments; along += p.stepAlong) {
            std::copy_n(s.lineProfile.begin() + along, N, s.fftRe.begin());
            std::fill_n(s.fftIm.begin(), N, 0.0);
            s.dataLength = N;
            wsFft(s.fftRe, s.fftIm, N);
            for (int j = 0; j < N; ++j) {
                const auto jj = static_cast<std::size_t>(j);
                s.wsSpectrum[jj] += (s.fftRe[jj] * s.fftRe[jj] + s.fftIm[jj] * s.fftIm[jj]) * p.delta * (M * p.delta) / N;
            }
            ++segCount;
        }
    }

    if (segCount == 0)
        throwFloatDivByZero(); // no segment fits: the average has no divisor
    for (int j = 0; j < s.specLength; ++j)
        s.wsSpectrum[static_cast<std::size_t>(j)] /= segCount;
    s.dataLength = s.specLength;
    return segCount;
}

// ---------------------------------------------------------------- tables

std::string wsTableHeader(std::string_view fileName) { return "c/mm\t" + std::string(fileName); }

namespace {
void checkTable(std::span<const double> ws, int n)
{
    if (n < 0 || static_cast<std::size_t>(n) > ws.size() || ws.size() < 7)
        refuse("The spectrum holds " + num(static_cast<std::int64_t>(ws.size())) + " entries, not " + num(n) + ".");
}

std::string row(int k, int n, double p, double value)
{
    return formatGeneral(floatDiv(k, n * p)) + "\t" + formatGeneral(value) + "\r\n";
}
} // namespace

std::string wsResultRows(std::span<const double> ws, int n, double p)
{
    checkTable(ws, n);
    std::string out;
    for (int k = 1; k < n; ++k)
        out += row(k, n, p, ws[static_cast<std::size_t>(k)]);
    return out;
}

double wsSmoothed(std::span<const double> ws, int n, int k)
{
    checkTable(ws, n);
    auto mean = [&](int from, int to) {
        double sum = 0.0;
        for (int i = from; i <= to; ++i)
            sum += ws[static_cast<std::size_t>(i)];
        return sum / (to - from + 1);
    };
    switch (k) {
    case 1:
        return 0.7 * ws[1] + 0.3 * ws[2];
    case 2:
        return mean(1, 4);
    case 3:
        return mean(1, 6);
    default:
        if (k < 1 || k >= std::max(n, 4))
            refuse("Smoothing: no line " + num(k) + " for " + num(n) + " points.");
        return k <= n / 2 - 3 ? mean(k - 3, k + 4) : ws[static_cast<std::size_t>(k)];
    }
}

std::string wsSmoothRows(std::span<const double> ws, int n, double p)
{
    checkTable(ws, n);
    std::string out;
    for (int k = 1; k <= 3; ++k)
        out += row(k, n, p, wsSmoothed(ws, n, k));
    for (int k = 4; k < n; ++k)
        out += row(k, n, p, wsSmoothed(ws, n, k));
    return out;
}

std::vector<std::pair<double, double>> wsChartPoints(std::span<const double> ws, int n, double p)
{
    checkTable(ws, n);
    std::vector<std::pair<double, double>> points;
    for (int j = 1; j <= n / 2; ++j)
        points.emplace_back(floatDiv(j, n * p), ws[static_cast<std::size_t>(j)]);
    return points;
}

// ---------------------------------------------------------------- drawings

WsPolyline wsProfilePolyline(std::span<const double> v, int n, int width, int height, double low, double high)
{
    WsPolyline line;
    if (n <= 0)
        return line;
    if (static_cast<std::size_t>(n) > v.size())
        refuse("The profile holds fewer than " + num(n) + " values.");
    line.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double x = width * (i + 0.5) / n;
        const double y = height - floatDiv((v[static_cast<std::size_t>(i)] - low) * height, high - low);
        line.emplace_back(coordinate(x), coordinate(y));
    }
    return line;
}

std::vector<double> wsLogSpectrum(std::span<const double> ws, int count)
{
    std::vector<double> logs;
    for (int k = 1; k < count && static_cast<std::size_t>(k) < ws.size(); ++k) {
        const double v = ws[static_cast<std::size_t>(k)];
        if (!(v > 0.0))
            throwInvalidFloatOp();
        logs.push_back(std::log10(v));
    }
    return logs;
}

WsPolyline wsSpectrumPolyline(std::span<const double> logs, int n, int width, int height, double low, double high)
{
    WsPolyline line;
    line.reserve(logs.size());
    for (std::size_t idx = 0; idx < logs.size(); ++idx) {
        const auto k = static_cast<double>(idx + 1);
        const double x = floatDiv(2.0 * k, n) * width;
        const double y = height - (floatDiv(0.8 * height * (logs[idx] - low), high - low) + height / 10.0);
        line.emplace_back(coordinate(x), coordinate(y));
    }
    return line;
}

} // namespace tarven
