// The Wiener spectrum engine: the transform and the fit against their
// definitions, the run against the theory of white noise, trends and
// sinusoids, the refusals of parameters that cannot work, and the tables.
#include "wiener/spectrum.h"

#include "common/errors.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <memory>
#include <numbers>
#include <random>
#include <sstream>

using namespace tarven;
using ::testing::HasSubstr;

namespace {

// A 16-bit image behind a header, little endian (or byte-swapped), and the
// source that addresses a ROI in it.
struct Image {
    std::vector<std::uint8_t> bytes;
    WsSource source(std::int64_t left, std::int64_t top, std::int64_t w, std::int64_t h) const
    {
        WsSource s;
        s.bytes = bytes;
        s.header = header;
        s.columns = columns;
        s.left = left;
        s.top = top;
        s.width = w;
        s.height = h;
        s.swap = swapped;
        return s;
    }
    std::int64_t header = 0;
    std::int64_t columns = 0;
    bool swapped = false;
};

Image makeImage(int cols, int rows, const std::function<int(int, int)>& f, int header = 0, bool swap = false)
{
    Image img;
    img.header = header;
    img.columns = cols;
    img.swapped = swap;
    img.bytes.assign(static_cast<std::size_t>(header + 2 * cols * rows), 0xAB);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            const auto w = static_cast<std::uint16_t>(f(c, r));
            const auto off = static_cast<std::size_t>(header + 2 * (r * cols + c));
            img.bytes[off] = static_cast<std::uint8_t>(swap ? w >> 8 : w & 0xFF);
            img.bytes[off + 1] = static_cast<std::uint8_t>(swap ? w & 0xFF : w >> 8);
        }
    return img;
}

// Gaussian noise of standard deviation sigma around mean, rounded to integers.
std::function<int(int, int)> noise(int cols, int rows, double mean, double sigma, unsigned seed)
{
    auto values = std::make_shared<std::vector<int>>(static_cast<std::size_t>(cols * rows));
    std::mt19937 rng(seed);
    std::normal_distribution<double> nd(mean, sigma);
    for (auto& v : *values)
        v = static_cast<int>(std::lround(nd(rng)));
    return [values, cols](int c, int r) { return (*values)[static_cast<std::size_t>(r * cols + c)]; };
}

WsParams params(int L, int W, int N, int M, int stepAlong, int stepAcross, double delta = 1.0)
{
    WsParams p;
    p.length = L;
    p.extent = W;
    p.segment = N;
    p.lines = M;
    p.stepAlong = stepAlong;
    p.stepAcross = stepAcross;
    p.maxSegments = 1000;
    p.delta = delta;
    return p;
}

double meanOver(const WsState& s, int from, int to)
{
    double sum = 0;
    for (int j = from; j <= to; ++j)
        sum += s.wsSpectrum[static_cast<std::size_t>(j)];
    return sum / (to - from + 1);
}

std::vector<std::complex<double>> directDft(const std::vector<double>& re, const std::vector<double>& im)
{
    const std::size_t n = re.size();
    std::vector<std::complex<double>> out(n);
    for (std::size_t k = 0; k < n; ++k) {
        std::complex<double> sum;
        for (std::size_t t = 0; t < n; ++t) {
            const double a = -2.0 * std::numbers::pi * static_cast<double>((k * t) % n) / static_cast<double>(n);
            sum += std::complex<double>(re[t], im[t]) * std::complex<double>(std::cos(a), std::sin(a));
        }
        out[k] = sum;
    }
    return out;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto end = text.find("\r\n", pos);
        EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
        if (end == std::string::npos)
            break;
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

} // namespace

// ---------------------------------------------------------------- FFT

TEST(WsFft, MatchesADirectTransformForEveryPowerOfTwoAndRefusesEveryOtherLength)
{
    std::mt19937 rng(20261210);
    std::uniform_real_distribution<double> u(-1000.0, 1000.0);
    for (int n = 1; n <= 1024; ++n) {
        std::vector<double> re(static_cast<std::size_t>(n)), im(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            re[static_cast<std::size_t>(i)] = u(rng);
            im[static_cast<std::size_t>(i)] = u(rng);
        }
        std::vector<double> fr = re, fi = im;
        if (!wsIsPowerOfTwo(n)) {
            // Refused before anything is touched.
            EXPECT_THROW(wsFft(fr, fi, n), Error) << n;
            EXPECT_EQ(fr, re) << n;
            EXPECT_EQ(fi, im) << n;
            continue;
        }
        wsFft(fr, fi, n);
        const auto ref = directDft(re, im);
        double err = 0, norm = 0;
        for (int k = 0; k < n; ++k) {
            err += std::norm(std::complex<double>(fr[static_cast<std::size_t>(k)], fi[static_cast<std::size_t>(k)]) -
                             ref[static_cast<std::size_t>(k)]);
            norm += std::norm(ref[static_cast<std::size_t>(k)]);
        }
        // The constant 6.283184 and the summed angles put the transform about
        // 1e-6 off a DFT; a wrong twiddle or reordering is off by order 1.
        EXPECT_LT(std::sqrt(err / norm), 2e-6) << "N = " << n;
    }
}

TEST(WsFft, ImpulseConstantAndCosine)
{
    for (int n : {2, 8, 64, 1024}) {
        SCOPED_TRACE(n);
        std::vector<double> re(static_cast<std::size_t>(n), 0.0), im(static_cast<std::size_t>(n), 0.0);
        re[0] = 1.0;
        wsFft(re, im, n);
        for (int k = 0; k < n; ++k) {
            EXPECT_NEAR(re[static_cast<std::size_t>(k)], 1.0, 1e-12);
            EXPECT_NEAR(im[static_cast<std::size_t>(k)], 0.0, 1e-12);
        }

        std::fill(re.begin(), re.end(), 1.0);
        std::fill(im.begin(), im.end(), 0.0);
        wsFft(re, im, n);
        EXPECT_NEAR(re[0], n, 1e-9);
        for (int k = 1; k < n; ++k)
            EXPECT_NEAR(std::hypot(re[static_cast<std::size_t>(k)], im[static_cast<std::size_t>(k)]), 0.0, 1e-9);

        if (n < 8)
            continue;
        const int k0 = n / 8 + 1;
        for (int t = 0; t < n; ++t)
            re[static_cast<std::size_t>(t)] = std::cos(2 * std::numbers::pi * k0 * t / n);
        std::fill(im.begin(), im.end(), 0.0);
        wsFft(re, im, n);
        for (int k = 0; k < n; ++k) {
            const double mag = std::hypot(re[static_cast<std::size_t>(k)], im[static_cast<std::size_t>(k)]);
            const double expected = (k == k0 || k == n - k0) ? n / 2.0 : 0.0;
            EXPECT_NEAR(mag, expected, 1e-5 * n) << "k = " << k;
        }
    }
}

TEST(WsFft, LengthOneLeavesTheDataAndLengthsBeyondTheArraysAreRefused)
{
    std::vector<double> re{3.5}, im{-2.0};
    wsFft(re, im, 1);
    EXPECT_EQ(re[0], 3.5);
    EXPECT_EQ(im[0], -2.0);

    std::vector<double> big(2048, 1.0), bigIm(2048, 0.0);
    EXPECT_THROW(wsFft(big, bigIm, 2048), Error);
    EXPECT_THROW(wsFft(re, im, 0), Error);
    EXPECT_THROW(wsFft(re, im, -4), Error);
    std::vector<double> shortRe(4), shortIm(8);
    EXPECT_THROW(wsFft(shortRe, shortIm, 8), Error);
}

// ---------------------------------------------------------------- LSM

TEST(WsLsm, RecoversPolynomialsAndTheMean)
{
    struct Case {
        int order;
        std::vector<double> coef;
    };
    const Case cases[] = {
        {0, {7.25}},
        {1, {-3.0, 0.5}},
        {2, {100.0, -0.25, 0.001}},
        {3, {1.0, 2.0, -0.03, 0.0004}},
    };
    std::array<double, wsCapacity> x{}, y{}, c{};
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.order);
        const int count = 200;
        for (int i = 0; i < count; ++i) {
            x[static_cast<std::size_t>(i)] = i;
            y[static_cast<std::size_t>(i)] = wsFitted(tc.coef, tc.order, i);
        }
        wsLsm(tc.order, count, x, y, c);
        for (int i = 0; i < count; i += 17)
            EXPECT_NEAR(wsFitted(c, tc.order, i), y[static_cast<std::size_t>(i)], 1e-6 * (1 + std::abs(y[static_cast<std::size_t>(i)])));
    }

    // Order 0 on scattered data is their mean.
    const double data[] = {1, 4, 9, 16};
    for (int i = 0; i < 4; ++i) {
        x[static_cast<std::size_t>(i)] = i;
        y[static_cast<std::size_t>(i)] = data[i];
    }
    wsLsm(0, 4, x, y, c);
    EXPECT_DOUBLE_EQ(c[0], 7.5);
    EXPECT_DOUBLE_EQ(wsFitted(c, 0, 0.0), 7.5); // x^0 = 1 also at x = 0
}

TEST(WsLsm, NegativeOrderLeavesTheCoefficientsAndTooHighOrdersAreRefused)
{
    std::array<double, wsCapacity> x{}, y{}, c{};
    c.fill(42.0);
    wsLsm(-1, 10, x, y, c);
    EXPECT_EQ(c[0], 42.0);
    EXPECT_EQ(wsFitted(c, -1, 3.0), 0.0);
    EXPECT_THROW(wsLsm(17, 100, x, y, c), Error);
    EXPECT_THROW(wsLsm(1, 2000, x, y, c), Error);
    // Two coefficients from one point: a zero pivot.
    x[0] = 0;
    EXPECT_THROW(wsLsm(1, 1, x, y, c), MathError);
}

// ---------------------------------------------------------------- pixels

TEST(WsPixel, InterceptIsAddedModulo65536AndReadSigned)
{
    struct Case {
        int stored;
        int intercept;
        bool swap;
        double expected;
    };
    const Case cases[] = {
        {1000, -1024, false, -24},
        {40000, -1024, false, 38976 - 65536},
        {0x0102, 0, true, 0x0102},
        {0xFFFF, 0, false, -1},
        {100, 70000, false, static_cast<std::int16_t>(static_cast<std::uint16_t>(100 + 70000))},
    };
    for (const auto& tc : cases) {
        auto img = makeImage(2, 1, [&](int c, int) { return c == 1 ? tc.stored : 0; }, 3, tc.swap);
        auto src = img.source(0, 0, 2, 1);
        src.intercept = tc.intercept;
        EXPECT_EQ(wsPixel(src, 1, 0), tc.expected) << tc.stored << " " << tc.intercept;
    }
}

// ---------------------------------------------------------------- refusals

TEST(WsCheck, ParametersThatCannotWorkAreRefusedWithAReason)
{
    struct Case {
        const char* name;
        std::function<void(WsParams&)> change;
        const char* says;
    };
    const Case cases[] = {
        {"shift along 0", [](WsParams& p) { p.stepAlong = 0; }, "Shift X must be at least 1"},
        {"shift across 0", [](WsParams& p) { p.stepAcross = 0; }, "Shift Y must be at least 1"},
        {"negative shift", [](WsParams& p) { p.stepAlong = -8; }, "Shift X"},
        {"N not a power of two", [](WsParams& p) { p.segment = 100; }, "power of two"},
        {"N 0", [](WsParams& p) { p.segment = 0; }, "power of two"},
        {"N 2048", [](WsParams& p) { p.segment = 2048; }, "power of two from 1 to 1024"},
        {"L 1025", [](WsParams& p) { p.length = 1025; }, "ROISize"},
        {"W 0", [](WsParams& p) { p.extent = 0; }, "ROISize"},
        {"M 0", [](WsParams& p) { p.lines = 0; }, "lines per strip"},
        {"M 1025", [](WsParams& p) { p.lines = 1025; }, "lines per strip"},
        {"Trnd order 17", [](WsParams& p) { p.trend = true; p.trendOrder = 17; }, "Trnd order"},
        {"Trnd1 order 64 >= L", [](WsParams& p) { p.length = 64; p.segment = 64; p.trendAverage = true; p.trendAverageOrder = 64; }, "Trnd1 order"},
        {"Y direction names Y fields", [](WsParams& p) { p.directionY = true; p.segment = 3; }, "SegmentSize Y"},
    };
    for (const auto& tc : cases) {
        WsParams p = params(128, 128, 64, 16, 16, 16);
        EXPECT_EQ(wsCheckParams(p), "");
        tc.change(p);
        EXPECT_THAT(wsCheckParams(p), HasSubstr(tc.says)) << tc.name;
        WsState s;
        s.wsSpectrum[3] = 5.0;
        auto img = makeImage(200, 200, [](int, int) { return 1; });
        EXPECT_THROW(wsRun(s, p, img.source(0, 0, 128, 128)), Error) << tc.name;
        EXPECT_EQ(s.wsSpectrum[3], 5.0) << tc.name << ": refused before any work";
    }
    // Orders off are not checked.
    WsParams p = params(128, 128, 64, 16, 16, 16);
    p.trendOrder = 99;
    EXPECT_EQ(wsCheckParams(p), "");
}

TEST(WsCheck, ARoiOutsideTheLoadedImageIsRefusedAndNeverRead)
{
    auto img = makeImage(64, 32, [](int, int) { return 1; }, 10);
    struct Case {
        const char* name;
        std::int64_t left, top, w, h, header;
        bool ok;
    };
    const Case cases[] = {
        {"whole image", 0, 0, 64, 32, 10, true},
        {"left of the image", -1, 0, 16, 16, 10, false},
        {"above the image", 0, -1, 16, 16, 10, false},
        {"past the right edge (would wrap)", 50, 0, 16, 16, 10, false},
        {"below the last row", 0, 20, 16, 16, 10, false},
        {"header too large", 0, 0, 64, 32, 12, false},
        {"negative header", 0, 0, 16, 16, -2, false},
        {"header overflowing", 0, 0, 16, 16, INT64_MAX - 4, false},
    };
    for (const auto& tc : cases) {
        auto src = img.source(tc.left, tc.top, tc.w, tc.h);
        src.header = tc.header;
        EXPECT_EQ(wsCheckSource(src).empty(), tc.ok) << tc.name;
        if (!tc.ok) {
            EXPECT_THAT(wsCheckSource(src), HasSubstr("does not lie inside the loaded image")) << tc.name;
            WsState s;
            EXPECT_THROW(wsRun(s, params(static_cast<int>(tc.w), static_cast<int>(tc.h), 16, 4, 4, 4), src), Error)
                << tc.name;
        }
    }
    // No image at all.
    WsSource empty;
    empty.width = 8;
    empty.height = 8;
    EXPECT_FALSE(wsCheckSource(empty).empty());
}

TEST(WsRun, NoSegmentOrAnExtentBelowTwoFailsWithTheDivisionErrors)
{
    auto img = makeImage(64, 64, [](int c, int r) { return (c * 7 + r * 3) % 11; });
    WsState s;
    // N > L: strips are read but no segment fits.
    auto p = params(32, 64, 64, 8, 8, 8);
    try {
        wsRun(s, p, img.source(0, 0, 32, 64));
        ADD_FAILURE() << "no segment must fail";
    } catch (const MathError& e) {
        EXPECT_STREQ(e.what(), std::string(msg::floatDivByZero).c_str());
    }
    p = params(64, 64, 32, 8, 8, 8);
    p.maxSegments = 0;
    EXPECT_THROW(wsRun(s, p, img.source(0, 0, 64, 64)), MathError);
    // W = 1 with M = 1: the middle-strip test has no divisor.
    p = params(64, 1, 32, 1, 8, 1);
    try {
        wsRun(s, p, img.source(0, 0, 64, 1));
        ADD_FAILURE() << "W = 1 must fail";
    } catch (const MathError& e) {
        EXPECT_STREQ(e.what(), std::string(msg::intDivByZero).c_str());
    }
}

// ---------------------------------------------------------------- run: segment counting

TEST(WsRun, CountsSegmentsAndStrips)
{
    auto img = makeImage(256, 256, noise(256, 256, 500, 20, 1));
    struct Case {
        const char* name;
        WsParams p;
        int segments;
        int profiles;
    };
    auto limited = params(256, 256, 64, 16, 16, 16);
    limited.maxSegments = 23;
    const Case cases[] = {
        // Recommended defaults: N = L/2, shift L/8 -> 5 segments per strip; M = 16, shift W/2 -> strips at 0 and 128.
        {"recommended", params(256, 256, 128, 16, 32, 128), 10, 2},
        // N = L: exactly one segment per strip; strips at 0, 16, ..., 240.
        {"N = L", params(256, 256, 256, 16, 1, 16), 16, 2},
        // The limit stops in the middle of the second strip.
        {"max segments", limited, 23, 1},
        // M = W: one strip.
        {"M = W", params(256, 256, 64, 256, 64, 1), 4, 1},
    };
    for (const auto& tc : cases) {
        WsState s;
        int profiles = 0, strips = 0;
        WsHooks hooks;
        hooks.drawProfile = [&] {
            ++profiles;
            EXPECT_EQ(s.dataLength, tc.p.length);
        };
        hooks.stripStarted = [&](int n) {
            ++strips;
            EXPECT_EQ(n, tc.p.segment);
        };
        EXPECT_EQ(wsRun(s, tc.p, img.source(0, 0, 256, 256), hooks), tc.segments) << tc.name;
        EXPECT_EQ(profiles, tc.profiles) << tc.name;
        EXPECT_EQ(s.specLength, tc.p.segment);
        EXPECT_EQ(s.dataLength, tc.p.segment);
        EXPECT_GT(strips, 0);
    }
}

TEST(WsRun, AFlatRoiGivesAZeroProfileAndAZeroSpectrum)
{
    auto img = makeImage(128, 128, [](int, int) { return 1234; });
    for (bool trend : {false, true}) {
        WsState s;
        s.wsSpectrum.fill(9.0);
        auto p = params(128, 128, 64, 16, 16, 16, 0.5);
        p.trend = trend;
        p.trendOrder = 1;
        wsRun(s, p, img.source(0, 0, 128, 128));
        for (int j = 0; j < wsCapacity; ++j)
            ASSERT_NEAR(s.wsSpectrum[static_cast<std::size_t>(j)], 0.0, 1e-12) << j;
        for (int i = 0; i < 128; ++i)
            ASSERT_NEAR(s.lineProfile[static_cast<std::size_t>(i)], 0.0, 1e-9);
    }
}

// ---------------------------------------------------------------- run: trends

TEST(WsRun, TrendOrdersRemoveEachLinesOwnPolynomial)
{
    // Every line has its own level and slope: a per-line order 1 fit removes
    // everything; order 0 (each line's mean) leaves the average slope.
    auto img = makeImage(128, 64, [](int c, int r) { return 100 + 13 * r + ((r % 5) + 1) * c; });
    auto p = params(128, 64, 64, 8, 32, 8);
    p.trend = true;

    p.trendOrder = 1;
    WsState s1;
    wsRun(s1, p, img.source(0, 0, 128, 64));
    EXPECT_LT(meanOver(s1, 0, 63), 1e-12);

    p.trendOrder = 0;
    WsState s0;
    wsRun(s0, p, img.source(0, 0, 128, 64));
    EXPECT_GT(s0.wsSpectrum[1], 1e3);

    // Order 0 per line equals removing the strip's mean when lines differ
    // only in level.
    auto levels = makeImage(128, 64, [](int c, int r) { return 1000 + 37 * (r % 7) + (c * c) % 17; });
    WsState a, b;
    wsRun(a, p, levels.source(0, 0, 128, 64));
    auto plain = p;
    plain.trend = false;
    wsRun(b, plain, levels.source(0, 0, 128, 64));
    for (int j = 1; j < 64; ++j)
        EXPECT_NEAR(a.wsSpectrum[static_cast<std::size_t>(j)], b.wsSpectrum[static_cast<std::size_t>(j)],
                    1e-9 * (1 + b.wsSpectrum[static_cast<std::size_t>(j)]));
}

TEST(WsRun, ANegativeTrendOrderRemovesNothing)
{
    // The fitted polynomial of an order below 0 is the empty sum: with "Trnd"
    // on, the lines keep their levels and the profile is their plain average,
    // mean included; "Trnd1" then leaves the profile as it is.
    auto img = makeImage(64, 16, [](int c, int r) { return 1000 + r + (c * 7) % 5; });
    auto p = params(64, 16, 32, 8, 32, 8);
    p.trend = true;
    p.trendOrder = -1;
    p.trendAverage = true;
    p.trendAverageOrder = -1;
    EXPECT_EQ(wsCheckParams(p), "");
    WsState s;
    wsRun(s, p, img.source(0, 0, 64, 16));
    // The last strip (rows 8 .. 15): 1011.5 + (7c mod 5) at column c.
    for (int c = 0; c < 64; ++c)
        EXPECT_DOUBLE_EQ(s.lineProfile[static_cast<std::size_t>(c)], 1011.5 + (c * 7) % 5) << c;
}

TEST(WsRun, AverageTrendOfOrderOneOnAStraightProfileLeavesZeros)
{
    auto img = makeImage(128, 32, [](int c, int r) { return 50 + 3 * r + 2 * c; });
    auto p = params(128, 32, 64, 8, 32, 8);
    WsState off;
    wsRun(off, p, img.source(0, 0, 128, 32));
    EXPECT_GT(off.wsSpectrum[1], 1e3);
    p.trendAverage = true;
    p.trendAverageOrder = 1;
    WsState on;
    wsRun(on, p, img.source(0, 0, 128, 32));
    for (int i = 0; i < 128; ++i)
        EXPECT_NEAR(on.lineProfile[static_cast<std::size_t>(i)], 0.0, 1e-9);
    EXPECT_LT(meanOver(on, 0, 63), 1e-15);
}

// ---------------------------------------------------------------- run: theory

namespace {
// The mean of WS[1 .. N-1] over independent segments: the values at j and
// N - j are the same, the N/2 - 1 values below Nyquist are exponential with
// variance mean^2 and the one at Nyquist has variance 2 mean^2; so the
// standard error of that mean is mean * sqrt(2 / (segments * (N - 1))).
double standardError(double mean, int segments, int n) { return mean * std::sqrt(2.0 / (segments * (n - 1.0))); }
} // namespace

TEST(WsRun, WhiteNoiseGivesSigmaSquaredTimesPixelSizeSquared)
{
    const double sigma = 40.0, delta = 0.2;
    // Rounding to integers adds the variance 1/12 of a uniform step.
    const double expected = (sigma * sigma + 1.0 / 12.0) * delta * delta;
    auto img = makeImage(512, 512, noise(512, 512, 2000, sigma, 77));
    for (const int N : {64, 128}) {
        // Segments and strips that do not overlap are independent samples.
        auto p = params(512, 512, N, 8, N, 8, delta);
        WsState s;
        const int segs = wsRun(s, p, img.source(0, 0, 512, 512));
        EXPECT_EQ(segs, (512 / N) * 64);
        const double mean = meanOver(s, 1, N - 1);
        const double se = standardError(expected, segs, N);
        EXPECT_LT(std::abs(mean - expected), 4 * se) << "N = " << N << " mean " << mean << " expected " << expected;
        // Flat: the lowest and the highest quarter agree within their own errors.
        const double low = meanOver(s, 1, N / 4), high = meanOver(s, N / 4 + 1, N / 2);
        EXPECT_LT(std::abs(low - high), 8 * expected / std::sqrt(segs * N / 4.0)) << N;
    }
}

TEST(WsRun, RampPlusNoiseWithAndWithoutTrendRemoval)
{
    const double sigma = 30.0, delta = 0.5;
    const double expected = (sigma * sigma + 1.0 / 12.0) * delta * delta;
    auto base = noise(512, 512, 1000, sigma, 99);
    auto noiseOnly = makeImage(512, 512, base);
    auto ramp = makeImage(512, 512, [&](int c, int r) { return base(c, r) + 3 * c; });
    const int N = 128;
    auto p = params(512, 512, N, 8, N, 8, delta);

    auto trend = p;
    trend.trend = true;
    trend.trendOrder = 1;
    WsState withTrend, noiseWithTrend, without;
    const int segs = wsRun(withTrend, trend, ramp.source(0, 0, 512, 512));
    wsRun(noiseWithTrend, trend, noiseOnly.source(0, 0, 512, 512));
    wsRun(without, p, ramp.source(0, 0, 512, 512));

    // The fitted line takes the ramp exactly: the same spectrum as the noise alone.
    for (int j = 1; j < N; ++j)
        EXPECT_NEAR(withTrend.wsSpectrum[static_cast<std::size_t>(j)], noiseWithTrend.wsSpectrum[static_cast<std::size_t>(j)],
                    1e-9 * noiseWithTrend.wsSpectrum[static_cast<std::size_t>(j)]);
    // ... which is the white-noise level, less the two degrees of freedom of
    // the fit over the strip length.
    const double mean = meanOver(withTrend, 1, N - 1);
    EXPECT_LT(std::abs(mean - expected), 4 * standardError(expected, segs, N) + 2.0 / 512 * expected) << mean;
    // Without trend removal the ramp dominates the lowest frequencies.
    EXPECT_GT(without.wsSpectrum[1], 100 * withTrend.wsSpectrum[1]);
    EXPECT_GT(without.wsSpectrum[2], 30 * withTrend.wsSpectrum[2]);
}

TEST(WsRun, ASinusoidPeaksAtItsFrequencyInTheResultTable)
{
    // 8 cycles per 128 pixels with pixel size 320 mm / 512 = 0.625 mm:
    // 8 / (128 * 0.625) = 0.1 cycles per mm.
    auto img = makeImage(512, 64, [](int c, int r) {
        return 1000 + static_cast<int>(std::lround(200 * std::cos(2 * std::numbers::pi * 8 * c / 128.0))) + (c * 31 + r * 17) % 3;
    });
    auto p = params(512, 64, 128, 16, 64, 16, 0.625);
    WsState s;
    wsRun(s, p, img.source(0, 0, 512, 64));
    const auto lines = splitLines(wsResultRows(s.wsSpectrum, s.specLength, 320.0 / 512));
    ASSERT_EQ(lines.size(), 127u);
    // The peak up to Nyquist; the table's mirrored half repeats it at 128 - 8.
    std::string peakFreq;
    double peak = -1;
    std::vector<double> values;
    for (const auto& l : lines) {
        const auto tab = l.find('\t');
        values.push_back(std::stod(l.substr(tab + 1)));
        if (values.size() <= 64 && values.back() > peak) {
            peak = values.back();
            peakFreq = l.substr(0, tab);
        }
    }
    EXPECT_NEAR(values[119], peak, 1e-6 * peak);
    EXPECT_EQ(lines[119].substr(0, 4), "1.5\t");
    EXPECT_GT(peak, 1e4 * values[20]);
    EXPECT_EQ(peakFreq, "0.1");
}

TEST(WsRun, DirectionYOnATransposedImageGivesTheSameSpectrum)
{
    auto f = noise(256, 128, 300, 25, 5);
    auto a = makeImage(256, 128, f);
    auto t = makeImage(128, 256, [&](int c, int r) { return f(r, c); });
    for (bool trend : {false, true}) {
        auto px = params(256, 128, 64, 16, 32, 24, 0.3);
        px.trend = trend;
        px.trendOrder = 2;
        px.trendAverage = trend;
        px.trendAverageOrder = 1;
        auto py = px;
        py.directionY = true;
        WsState sx, sy;
        const int nx = wsRun(sx, px, a.source(0, 0, 256, 128));
        const int ny = wsRun(sy, py, t.source(0, 0, 128, 256));
        EXPECT_EQ(nx, ny);
        EXPECT_EQ(sx.wsSpectrum, sy.wsSpectrum);
    }
}

TEST(WsRun, ReadsFromTheRoiOriginWithHeaderAndSwap)
{
    // The ROI sits in the middle of a larger byte-swapped image behind a
    // header; outside the ROI everything is wildly different.
    auto inner = noise(64, 32, 500, 10, 3);
    auto big = makeImage(
        200, 100, [&](int c, int r) { return c >= 40 && c < 104 && r >= 20 && r < 52 ? inner(c - 40, r - 20) : 30000; }, 77,
        true);
    auto alone = makeImage(64, 32, inner);
    auto p = params(64, 32, 32, 8, 16, 8);
    WsState a, b;
    wsRun(a, p, big.source(40, 20, 64, 32));
    wsRun(b, p, alone.source(0, 0, 64, 32));
    EXPECT_EQ(a.wsSpectrum, b.wsSpectrum);
}

// ---------------------------------------------------------------- tables

TEST(WsTables, ResultListsEveryIndexButZeroAndTheFrequencyScale)
{
    std::array<double, wsCapacity> ws{};
    for (int k = 0; k < 256; ++k)
        ws[static_cast<std::size_t>(k)] = 1000.0 / std::max(k, 1);
    // FOV 320 mm over 512 columns: index 1 of 256 points is 0.00625 cycles per mm.
    const auto lines = splitLines(wsResultRows(ws, 256, 320.0 / 512));
    ASSERT_EQ(lines.size(), 255u);
    EXPECT_EQ(lines.front(), "0.00625\t1000");
    EXPECT_EQ(lines[127], "0.8\t7.8125");                   // index 128: Nyquist
    EXPECT_EQ(lines.back(), "1.59375\t3.92156862745098"); // index 255, the mirrored half
    EXPECT_EQ(wsTableHeader("slice.dcm"), "c/mm\tslice.dcm");
    EXPECT_THROW(wsResultRows(ws, 16, 0.0), MathError);
    EXPECT_EQ(wsResultRows(ws, 0, 0.5), "");
}

TEST(WsTables, SmoothingLinesForSixteenPoints)
{
    std::array<double, wsCapacity> ws{};
    for (int k = 0; k < 16; ++k)
        ws[static_cast<std::size_t>(k)] = k * k + 1.0;
    auto mean = [&](int a, int b) {
        double s = 0;
        for (int i = a; i <= b; ++i)
            s += ws[static_cast<std::size_t>(i)];
        return s / (b - a + 1);
    };
    EXPECT_DOUBLE_EQ(wsSmoothed(ws, 16, 1), 0.7 * ws[1] + 0.3 * ws[2]);
    EXPECT_DOUBLE_EQ(wsSmoothed(ws, 16, 2), mean(1, 4));
    EXPECT_DOUBLE_EQ(wsSmoothed(ws, 16, 3), mean(1, 6));
    EXPECT_DOUBLE_EQ(wsSmoothed(ws, 16, 4), mean(1, 8));
    EXPECT_DOUBLE_EQ(wsSmoothed(ws, 16, 5), mean(2, 9));
    for (int k = 6; k < 16; ++k)
        EXPECT_EQ(wsSmoothed(ws, 16, k), ws[static_cast<std::size_t>(k)]) << k; // 6 > 16 div 2 - 3
    const auto lines = splitLines(wsSmoothRows(ws, 16, 1.0));
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], "0.0625\t2.9"); // 0.7 * 2 + 0.3 * 5
    EXPECT_EQ(lines[14], "0.9375\t226");
}

TEST(WsTables, SmoothingWritesThreeLinesForAnyLength)
{
    std::array<double, wsCapacity> ws{};
    ws[1] = 10;
    ws[2] = 20;
    for (int n : {1, 2, 4}) {
        const auto lines = splitLines(wsSmoothRows(ws, n, 1.0));
        EXPECT_EQ(lines.size(), 3u) << n;
    }
    EXPECT_EQ(splitLines(wsSmoothRows(ws, 5, 1.0)).size(), 4u);
}

TEST(WsTables, ChartPointsRunFromTheLowestFrequencyToNyquist)
{
    std::array<double, wsCapacity> ws{};
    for (int k = 0; k < 256; ++k)
        ws[static_cast<std::size_t>(k)] = k + 0.5;
    const auto pts = wsChartPoints(ws, 256, 0.625);
    ASSERT_EQ(pts.size(), 128u);
    EXPECT_DOUBLE_EQ(pts.front().first, 0.00625);
    EXPECT_DOUBLE_EQ(pts.front().second, 1.5);
    EXPECT_DOUBLE_EQ(pts.back().first, 0.8);
    EXPECT_DOUBLE_EQ(pts.back().second, 128.5);
}

// ---------------------------------------------------------------- drawings

TEST(WsDrawing, SpectrumPolylineScaleAndOverlaysOfOtherLengths)
{
    // Largest value at a tenth of the height from the top, a value of 1 at a
    // tenth from the bottom; index k of N at k / (N/2) of the width.
    std::array<double, wsCapacity> ws{};
    for (int k = 0; k < 16; ++k)
        ws[static_cast<std::size_t>(k)] = std::pow(10.0, 16 - k);
    const auto logs = wsLogSpectrum(ws, 8);
    ASSERT_EQ(logs.size(), 7u);
    const auto line = wsSpectrumPolyline(logs, 16, 400, 200, 0.0, logs.front());
    EXPECT_EQ(line.front(), std::make_pair(50, 20));
    EXPECT_EQ(line.back().first, 350);
    // A run with half the segment length puts its index k at the place of
    // index 2k of the first: the same frequency.
    const auto halfRun = wsSpectrumPolyline(logs, 8, 400, 200, 0.0, logs.front());
    EXPECT_EQ(halfRun[0].first, line[1].first);
    EXPECT_EQ(halfRun[2].first, line[5].first);

    ws[3] = 0.0;
    EXPECT_THROW(wsLogSpectrum(ws, 8), MathError);
    EXPECT_THROW(wsSpectrumPolyline(logs, 16, 400, 200, 0.0, 0.0), MathError);
}

TEST(WsDrawing, ProfileFillsTheMiddleHalfWithItsFirstScale)
{
    const double v[] = {-2.0, 0.0, 2.0, 0.0};
    // Scale of the first profile: max + r/2 = 4, min - r/2 = -4.
    const auto line = wsProfilePolyline(v, 4, 400, 200, -4.0, 4.0);
    ASSERT_EQ(line.size(), 4u);
    EXPECT_EQ(line[0], std::make_pair(50, 150));
    EXPECT_EQ(line[1], std::make_pair(150, 100));
    EXPECT_EQ(line[2], std::make_pair(250, 50));
    EXPECT_EQ(line[3], std::make_pair(350, 100));
    EXPECT_THROW(wsProfilePolyline(v, 4, 400, 200, 1.0, 1.0), MathError);
}
