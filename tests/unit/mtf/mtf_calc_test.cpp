// LSF and MTF: line sum, base and FWHM, direct transform, summary row,
// plots and listings, against hand-worked cases and known answers.
#include "mtf/mtf.h"

#include "common/errors.h"
#include "common/numeric.h"
#include "mtf_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

using namespace tarven;
using namespace tarven::mtf;
using mtftest::columnTable;
using mtftest::rowTable;
using mtftest::tableOf;

namespace {

MtfInput inputX(CellPos peak, std::int32_t L, std::int32_t K, double dx)
{
    return {Direction::X, L, K, dx, peak};
}

std::vector<double> triangle(double pedestal)
{
    // Column i (1 .. 41) holds max(0, 10 - |i - 21|): the peak at index 20.
    std::vector<double> v;
    for (int i = 1; i <= 41; ++i)
        v.push_back(pedestal + std::max(0, 10 - std::abs(i - 21)));
    return v;
}

std::string messageOf(auto&& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(MtfCalc, ImpulseHasAFlatSpectrum)
{
    std::vector<double> row(128, 0.0);
    row[64] = 100; // column 65
    const auto r = computeMtf(rowTable(row), inputX({65, 1}, 1, 0, 0.5));
    EXPECT_FALSE(r.fwhm); // the end-point mean measures no width
    ASSERT_EQ(r.spectrum.mag.size(), 128u);
    for (double m : r.spectrum.mag)
        ASSERT_NEAR(m, 100.0, 1e-9);
    EXPECT_EQ(r.lsf, row);
    EXPECT_EQ(summaryRow("1", r.summary), "1\t0\t      1\t1\r\n");
}

TEST(MtfCalc, TriangleBasePointsBaseAndWidth)
{
    for (double pedestal : {0.0, 5.0}) {
        const auto r = computeMtf(rowTable(triangle(pedestal)), inputX({21, 1}, 1, 1, 0.5));
        ASSERT_TRUE(r.baseFwhm);
        EXPECT_EQ(r.baseFwhm->leftBase, 10) << pedestal;
        EXPECT_EQ(r.baseFwhm->rightBase, 30);
        EXPECT_DOUBLE_EQ(r.baseFwhm->base, pedestal);
        EXPECT_EQ(formatGeneral(*r.fwhm), "5");
        EXPECT_DOUBLE_EQ(r.lsf[20], 10.0); // pedestal removed
        EXPECT_DOUBLE_EQ(r.lsf[5], 0.0);
    }
}

TEST(MtfCalc, GaussianLsfGivesItsFwhmAndGaussianMtf)
{
    // A slit image whose LSF is a sampled Gaussian of sigma 4 samples, centred
    // between samples, at 0.2 mm per pixel, on a pedestal of 30.
    const int n = 256;
    const double sigma = 4.0, dx = 0.2, centre = 127.3, pedestal = 30;
    std::vector<double> row(n);
    for (int i = 0; i < n; ++i)
        row[static_cast<std::size_t>(i)] = pedestal + 1000.0 * std::exp(-(i - centre) * (i - centre) / (2 * sigma * sigma));
    for (Direction dir : {Direction::X, Direction::Y}) {
        const auto table = dir == Direction::X ? rowTable(row) : columnTable(row);
        const auto r = computeMtf(table, {dir, 1, 1, dx, {dir == Direction::X ? 128 : 1, dir == Direction::X ? 1 : 128}});
        const double fwhmExpected = 2.0 * std::sqrt(2.0 * std::log(2.0)) * sigma * dx; // 2.3548 sigma dx
        ASSERT_TRUE(r.fwhm);
        EXPECT_NEAR(*r.fwhm, fwhmExpected, 0.005 * fwhmExpected);
        const auto& mag = r.spectrum.mag;
        const double sigmaMm = sigma * dx;
        for (int k = 0; k < n / 2; ++k) {
            const double f = k / (n * dx);
            const double expected = std::exp(-2.0 * std::numbers::pi * std::numbers::pi * sigmaMm * sigmaMm * f * f);
            ASSERT_NEAR(mag[static_cast<std::size_t>(k)] / mag[0], expected, 1e-6) << "bin " << k;
        }
        // 0.2 c/mm lies in bin trunc(0.2 * 256 * 0.2) = 10.
        EXPECT_EQ(r.summary.bin02, 10);
        const double f02 = 10 / (n * dx);
        EXPECT_NEAR(*r.summary.mtf02, std::exp(-2.0 * std::numbers::pi * std::numbers::pi * sigmaMm * sigmaMm * f02 * f02), 1e-6);
        EXPECT_EQ(r.summary.maxFrequency, 0.0);
        EXPECT_EQ(r.summary.maxRatio, 1.0);
    }
}

TEST(MtfCalc, RectangularSlitGivesAbsSinc)
{
    // A slit 16 pixels wide at 0.1 mm per pixel (a = 1.6 mm): |sinc(a f)|,
    // within the difference of the sampled (Dirichlet) kernel over the first
    // two lobes.
    const int n = 512, width = 16;
    const double dx = 0.1, a = width * dx;
    std::vector<double> row(n, 0.0);
    for (int i = 200; i < 200 + width; ++i)
        row[static_cast<std::size_t>(i)] = 100;
    const auto r = computeMtf(rowTable(row), inputX({201, 1}, 1, 0, dx));
    const auto& mag = r.spectrum.mag;
    for (int k = 1; k / (n * dx) * a <= 2.0; ++k) {
        const double x = std::numbers::pi * a * (k / (n * dx));
        ASSERT_NEAR(mag[static_cast<std::size_t>(k)] / mag[0], std::abs(std::sin(x) / x), 0.01) << "bin " << k;
    }
    // The first zero of the MTF lies at f = 1 / a.
    const int firstZero = static_cast<int>(std::lround(n * dx / a));
    EXPECT_NEAR(mag[static_cast<std::size_t>(firstZero)] / mag[0], 0.0, 1e-9);
}

TEST(MtfCalc, LineCountSumsAdjacentLinesAroundThePeak)
{
    struct Case { Direction dir; std::int32_t L; std::int32_t first, last; };
    const Case cases[] = {
        {Direction::X, 1, 5, 5}, {Direction::X, 2, 4, 5}, {Direction::X, 3, 4, 6}, {Direction::X, 4, 3, 6},
        {Direction::Y, 1, 5, 5}, {Direction::Y, 2, 5, 6}, {Direction::Y, 3, 4, 6}, {Direction::Y, 4, 4, 7},
    };
    for (const auto& k : cases) {
        const auto s = chosenLines(k.dir, 5, k.L);
        EXPECT_EQ(s.first, k.first) << static_cast<int>(k.dir) << " L=" << k.L;
        EXPECT_EQ(s.last, k.last) << static_cast<int>(k.dir) << " L=" << k.L;
    }
    // Rows 1 .. 5 hold 1, 10, 100, 1000, 10000 in both columns; peak row 3.
    const CellTable t = tableOf({{1, 1}, {10, 10}, {100, 100}, {1000, 1000}, {10000, 10000}});
    const double sums[] = {100, 110, 1110, 1111, 11111};
    for (std::int32_t L = 1; L <= 5; ++L)
        EXPECT_EQ(lineSum(t, Direction::X, {1, 3}, L)[1], sums[L - 1]) << L;
    // In Y with L = 1 the profile is the peak column itself.
    const CellTable u = tableOf({{1, 2, 3}, {4, 5, 6}});
    EXPECT_EQ(lineSum(u, Direction::Y, {2, 1}, 1), (std::vector<double>{2, 5}));
    EXPECT_EQ(lineSum(u, Direction::X, {2, 2}, 1), (std::vector<double>{4, 5, 6}));
    EXPECT_EQ(lineSum(u, Direction::Y, {2, 1}, 2), (std::vector<double>{5, 11}));
}

TEST(MtfCalc, LineCountsOneTwoThreeGiveDifferentMtfs)
{
    // Three rows of different widths: each line count must change the MTF.
    std::vector<std::vector<double>> rows;
    for (double s : {2.0, 3.0, 5.0}) {
        std::vector<double> r(64);
        for (int i = 0; i < 64; ++i)
            r[static_cast<std::size_t>(i)] = 1000 * std::exp(-(i - 31.5) * (i - 31.5) / (2 * s * s));
        rows.push_back(r);
    }
    const CellTable t = tableOf(rows);
    std::vector<double> at4;
    for (std::int32_t L = 1; L <= 3; ++L) {
        const auto r = computeMtf(t, inputX({32, 2}, L, 1, 0.1));
        at4.push_back(r.spectrum.mag[4] / r.spectrum.mag[0]);
    }
    EXPECT_GT(std::abs(at4[0] - at4[1]), 1e-3);
    EXPECT_GT(std::abs(at4[1] - at4[2]), 1e-3);
}

TEST(MtfCalc, LinesOutsideTheDataAreRefused)
{
    const CellTable t = tableOf({{1, 2}, {3, 4}, {5, 6}});
    EXPECT_THROW(lineSum(t, Direction::X, {1, 1}, 2), Error);  // row 0 is the heading
    EXPECT_THROW(lineSum(t, Direction::X, {1, 3}, 3), Error);  // row 4 does not exist
    EXPECT_THROW(lineSum(t, Direction::Y, {2, 1}, 2), Error);  // column 3 does not exist
    EXPECT_THROW(lineSum(t, Direction::X, {0, 0}, 1), Error);  // peak never searched
    EXPECT_NO_THROW(lineSum(t, Direction::X, {1, 2}, 3));
    CellTable bad = t;
    bad.setCell(2, 2, "");
    EXPECT_THROW(lineSum(bad, Direction::X, {1, 2}, 1), ConvertError);
}

TEST(MtfCalc, BaseSearchStepsOverBumpsAndStopsAtTheFeetForZero)
{
    // Bumps on both tails; a valley at 6 and 14 between them and the peak at 10.
    const std::vector<double> y0 = {0, 1, 2, 3, 2, 1, 0.5, 2, 5, 9, 10, 9, 5, 2, 0.5, 1, 2, 3, 2, 1, 0};
    struct Case { std::int32_t K; std::int32_t lb, rb; };
    // A second round finds no further bump: both walks stay at the ends.
    const Case cases[] = {{0, 6, 14}, {-2, 6, 14}, {1, 1, 18}, {2, 0, 20}, {2000000000, 0, 20}};
    for (const auto& k : cases) {
        auto y = y0;
        const auto r = baseAndFwhm(y, k.K);
        EXPECT_EQ(r.leftBase, k.lb) << k.K;
        EXPECT_EQ(r.rightBase, k.rb) << k.K;
    }
    // K = 0 in Y still measures: the base at the feet, here 0.5.
    const auto r = computeMtf(columnTable(y0), {Direction::Y, 1, 0, 1.0, {1, 11}});
    ASSERT_TRUE(r.baseFwhm);
    EXPECT_DOUBLE_EQ(r.baseFwhm->base, 0.5);
    EXPECT_TRUE(r.fwhm);
}

TEST(MtfCalc, WalksStayInsideTheProfile)
{
    // The maximum at an end: no crossing on that side, an error and no read past it.
    std::vector<double> y = {10, 8, 5, 3, 1, 0, 0, 0, 0, 0};
    EXPECT_THROW(baseAndFwhm(y, 1), Error);
    y = {0, 0, 0, 0, 0, 1, 3, 5, 8, 10};
    EXPECT_THROW(baseAndFwhm(y, 3), Error);
    // Flanks falling to both ends: the base points are the ends.
    y = {1, 2, 4, 7, 12, 20, 12, 7, 4, 2, 1.5};
    const auto r = baseAndFwhm(y, 1);
    EXPECT_EQ(r.leftBase, 0);
    EXPECT_EQ(r.rightBase, 10);
    // Maxima one and two points from an end, one- and two-point profiles: no reads outside.
    for (const std::vector<double>& v : std::vector<std::vector<double>>{
             {0, 9, 4, 2, 1, 0.5}, {0.5, 1, 2, 4, 9, 0}, {5}, {1, 5}, {5, 1}, {0, 0, 0}}) {
        auto w = v;
        try {
            baseAndFwhm(w, 1);
        } catch (const Error&) {
        }
    }
}

TEST(MtfCalc, ArithmeticFaultsGiveTheFrameworkMessages)
{
    // A single non-zero point: the crossing lies between two equal zeros.
    std::vector<double> row(20, 0.0);
    row[10] = 100;
    EXPECT_EQ(messageOf([&] { computeMtf(rowTable(row), inputX({11, 1}, 1, 1, 0.5)); }), "0 による浮動小数点数除算");
    // A pixel size of 0: the frequency of the first bin.
    EXPECT_EQ(messageOf([&] { computeMtf(rowTable(triangle(0)), inputX({21, 1}, 1, 1, 0.0)); }),
              "0 による浮動小数点数除算");
    // A zero-frequency modulus of 0.
    std::vector<double> alternating;
    for (int i = 0; i < 64; ++i)
        alternating.push_back(i % 2 ? -1.0 : 1.0);
    EXPECT_EQ(messageOf([&] { computeMtf(rowTable(alternating), inputX({1, 1}, 1, 0, 0.5)); }),
              "0 による浮動小数点数除算");
    // A table without data cells.
    EXPECT_THROW(computeMtf(CellTable(1, 1), inputX({1, 1}, 1, 0, 0.5)), Error);
}

TEST(MtfCalc, EndPointMean)
{
    std::vector<double> y;
    for (int i = 0; i < 64; ++i)
        y.push_back(i);
    y[20] = 1000; // inside the 32 end points: counts
    subtractEndPointMean(y);
    EXPECT_DOUBLE_EQ(y[0], -(2016.0 - 20 + 1000) / 64);
    // Fewer than 32 points: the base is the mean of the profile.
    std::vector<double> s = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    subtractEndPointMean(s);
    EXPECT_DOUBLE_EQ(s[0], -4.5);
    EXPECT_DOUBLE_EQ(s[9], 4.5);
}

TEST(MtfCalc, SummaryBinsAndFrequencies)
{
    const std::vector<double> flat256(256, 1.0);
    EXPECT_EQ(summaryValues(flat256, 0.5).bin02, 25); // 0.1953125 c/mm
    std::vector<double> m300(300, 1.0);
    m300[1] = 2.0;
    const auto s = summaryValues(m300, 1.0);
    EXPECT_EQ(formatGeneral(s.maxFrequency), "0.0033");
    EXPECT_EQ(s.maxRatio, 2.0);
    EXPECT_EQ(summaryRow("3", s), "3\t0.0033\t      2\t1\r\n");
    // A pixel size of 5 mm puts 0.2 c/mm past the 16 bins: the column stays empty.
    const std::vector<double> m16(16, 1.0);
    const auto far = summaryValues(m16, 5.0);
    EXPECT_EQ(far.bin02, 16);
    EXPECT_FALSE(far.mtf02);
    EXPECT_EQ(summaryRow("1", far), "1\t0\t      1\t\r\n");
    EXPECT_EQ(kSummaryHeader, "No\tMax c/mm \tMax MTF            \t0.2c/mm MTF\r\n");
}

TEST(MtfCalc, PlotsHoldToTheComputedPoints)
{
    std::vector<double> row(256, 0.0);
    row[100] = 50;
    const auto r = computeMtf(rowTable(row), inputX({101, 1}, 1, 0, 0.5));
    const auto lsf = lsfPlot(r.lsf, 256, 0.5);
    ASSERT_EQ(lsf.count, 256);
    EXPECT_EQ(lsf.x[1], 0.5);
    EXPECT_EQ(lsf.x[255], 127.5);
    const auto mtf = mtfPlot(r.spectrum.mag, 256, 0.5);
    ASSERT_EQ(mtf.count, 128);
    EXPECT_EQ(mtf.x[0], 0.0);
    EXPECT_DOUBLE_EQ(mtf.x[127], 127.0 / 128);
    EXPECT_EQ(mtf.y[0], 1.0);
    EXPECT_EQ(lsfPlot(r.lsf, 5000, 0.5).count, 256);
    EXPECT_EQ(mtfPlot(r.spectrum.mag, 5000, 0.5).count, 128);
    EXPECT_EQ(lsfPlot(r.lsf, -3, 0.5).count, 0);
    EXPECT_THROW(mtfPlot(r.spectrum.mag, 256, 0.0), MathError);
}

TEST(MtfCalc, Listings)
{
    const std::vector<double> lsf = {1.25, 2, 3, 4, 5};
    const auto l = lsfListing("slit.dcm", lsf, 0.3);
    ASSERT_EQ(l.size(), 7u);
    EXPECT_EQ(l[0], "mm\tslit.dcm");
    EXPECT_EQ(l[1], "0\t1.25");
    EXPECT_EQ(l[2], "0.3\t2");
    EXPECT_EQ(l[3], "0.6\t3");
    EXPECT_EQ(l[4], "0.9\t4");
    EXPECT_EQ(l[5], "1.2\t5");
    EXPECT_EQ(l[6], "");

    const std::vector<double> impulse(256, 100.0);
    const auto m = mtfListing("x", impulse, 0.5);
    ASSERT_EQ(m.size(), 258u);
    EXPECT_EQ(m[0], "c/mm\tx");
    EXPECT_EQ(m[1], "0\t1");
    EXPECT_EQ(m[2], "0.0078\t1"); // 1/128 to four decimals
    EXPECT_EQ(m[256], "1.9922\t1");
    EXPECT_THROW(mtfListing("x", impulse, 0.0), MathError);
    EXPECT_THROW(mtfListing("x", std::vector<double>{0.0, 1.0}, 0.5), MathError);
}
