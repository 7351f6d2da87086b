#include "common/errors.h"
#include "common/numeric.h"
#include "viewer/stats.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tarven;

namespace {
std::vector<std::uint8_t> words(std::initializer_list<int> v)
{
    std::vector<std::uint8_t> b;
    for (int x : v) {
        const auto w = static_cast<std::uint16_t>(x);
        b.push_back(static_cast<std::uint8_t>(w & 0xFF));
        b.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    return b;
}
} // namespace

TEST(RoiStatistics, TwoByTwoTablesAndHistogram)
{
    // A 3 x 3 image; the ROI is its bottom-right 2 x 2 block.
    const auto b = words({0, 0, 0, 0, 10, 20, 0, 30, 40});
    const PixelAccess px(b, 0, 3, false);
    StatsRequest q;
    q.region = {1, 1, 2, 2};
    q.pixelTable = true;
    RoiStatistics r = roiStatistics(px, q);
    EXPECT_EQ(r.mean, 25);
    EXPECT_EQ(formatGeneral(r.sd), "11.1803398874989");
    EXPECT_EQ(r.text, "10\t20\r\n30\t40\r\n");

    q.pixelTable = false;
    q.histogram = true;
    r = roiStatistics(px, q);
    EXPECT_EQ(r.text, "PixelValue\tCount\r\n10\t1\r\n20\t1\r\n30\t1\r\n40\t1\r\n");
    EXPECT_EQ(r.minimum, 10);
    EXPECT_EQ(r.last, 30);
}

TEST(RoiStatistics, FlatRoiRescaleAndWideRange)
{
    std::vector<std::uint8_t> seven;
    for (int i = 0; i < 16; ++i) {
        seven.push_back(7);
        seven.push_back(0);
    }
    StatsRequest q;
    q.region = {0, 0, 4, 4};
    q.histogram = true;
    RoiStatistics r = roiStatistics(PixelAccess(seven, 0, 4, false), q);
    EXPECT_EQ(r.mean, 7);
    EXPECT_EQ(r.sd, 0);
    EXPECT_EQ(r.text, "PixelValue\tCount\r\n7\t16\r\n");
    EXPECT_EQ(r.minimum, 7);
    EXPECT_EQ(r.last, 0);

    // "Res.On", slope 1, intercept -1024: a stored 1000 counts as -24.
    const auto b = words({1000});
    q.region = {0, 0, 1, 1};
    q.rescale = true;
    q.intercept = -1024;
    r = roiStatistics(PixelAccess(b, 0, 1, false), q);
    EXPECT_EQ(r.mean, -24);
    EXPECT_EQ(r.text, "PixelValue\tCount\r\n-24\t1\r\n");

    // A value range beyond the graph buffer's 50001 entries: the table keeps
    // every value.
    const auto wide = words({-30000, 30000});
    q = {};
    q.region = {0, 0, 2, 1};
    q.histogram = true;
    r = roiStatistics(PixelAccess(wide, 0, 2, false), q);
    EXPECT_EQ(r.last, 60000);
    EXPECT_EQ(r.text, "PixelValue\tCount\r\n-30000\t1\r\n30000\t1\r\n");
}

TEST(RoiStatistics, EmptyRoiIsTheDivisionError)
{
    const auto b = words({1, 2});
    StatsRequest q;
    q.region = {0, 0, 0, 1};
    try {
        roiStatistics(PixelAccess(b, 0, 2, false), q);
        FAIL();
    } catch (const MathError& e) {
        EXPECT_STREQ(e.what(), "0 による浮動小数点数除算");
    }
}
