#include "viewer/autowindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace tarven;

namespace {
std::vector<std::uint8_t> image(int cols, int rows, const std::function<int(int, int)>& v)
{
    std::vector<std::uint8_t> b(static_cast<std::size_t>(cols) * rows * 2);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x) {
            const auto w = static_cast<std::uint16_t>(v(x, y));
            b[2 * (std::size_t(y) * cols + x)] = static_cast<std::uint8_t>(w & 0xFF);
            b[2 * (std::size_t(y) * cols + x) + 1] = static_cast<std::uint8_t>(w >> 8);
        }
    return b;
}

// A 512 x 512 image, 0 outside a bright 100 x 100 block whose values run
// through `n` values from 1000 on, 1000 twice as often as the others.
AutoWindow brightBlock(int n)
{
    const auto b = image(512, 512, [n](int x, int y) {
        if (x < 200 || x >= 300 || y < 200 || y >= 300)
            return 0;
        const int k = (x * 7 + y) % (n + 1);
        return k == n ? 1000 : 1000 + k;
    });
    return autoWindow(PixelAccess(b, 0, 512, false), 512, 512, false);
}
} // namespace

TEST(AutoWindow, FlatImageGivesWidthFourAtItsValue)
{
    for (int v : {0, 1000, -300}) {
        const auto b = image(64, 48, [v](int, int) { return v; });
        const AutoWindow w = autoWindow(PixelAccess(b, 0, 64, false), 64, 48, false);
        EXPECT_TRUE(w.found);
        EXPECT_EQ(w.width, 4);
        EXPECT_EQ(w.level, v);
    }
}

TEST(AutoWindow, HistogramEstimateOfTheBrightBlock)
{
    // The background (0) sets the image minimum but is not counted.
    struct Case {
        int values;
        std::int64_t width;
    } cases[] = {{11, 44}, {25, 75}, {45, 90}, {50, 50}, {120, 120}};
    for (const auto& c : cases) {
        const AutoWindow w = brightBlock(c.values);
        EXPECT_EQ(w.minimum, 0);
        EXPECT_EQ(w.low, 1000);
        EXPECT_EQ(w.high, 1000 + c.values - 1);
        EXPECT_EQ(w.width, c.width) << c.values;
        EXPECT_EQ(w.level, 1000) << c.values;
    }
}

TEST(AutoWindow, RareValuesBelowATwentiethOfThePeakAreCut)
{
    // 990 pixels of 500, 10 of 600 (10 <= 990 / 20 = 49), in the counted block.
    const auto b = image(100, 100, [](int x, int y) {
        if (x < 50 || y < 50)
            return 0;
        return (x == 60 && y < 60) ? 600 : 500;
    });
    const AutoWindow w = autoWindow(PixelAccess(b, 0, 100, false), 100, 100, false);
    EXPECT_EQ(w.low, 500);
    EXPECT_EQ(w.high, 500);
    EXPECT_EQ(w.width, 4);
    EXPECT_EQ(w.level, 500);
}

TEST(AutoWindow, LargeImagesAndMonochrome1UseTheExtremes)
{
    const auto big = image(1024, 1024, [](int x, int y) { return (x * 4 + y) % 4096; });
    const AutoWindow w = autoWindow(PixelAccess(big, 0, 1024, false), 1024, 1024, false);
    EXPECT_EQ(w.width, 4095);
    EXPECT_EQ(w.level, 2047);

    // Larger than 512 in one direction only: the full range, level 0.
    const auto wide = image(600, 100, [](int x, int) { return 100 + x; });
    const AutoWindow w2 = autoWindow(PixelAccess(wide, 0, 600, false), 600, 100, false);
    EXPECT_EQ(w2.width, 600);
    EXPECT_EQ(w2.level, 0);

    // MONOCHROME1 on a small image: width = high, level = (high + low) div 2.
    const auto small = image(100, 100, [](int x, int y) { return x < 50 || y < 50 ? 0 : 1000 + (x + y) % 30; });
    const AutoWindow w3 = autoWindow(PixelAccess(small, 0, 100, false), 100, 100, true);
    EXPECT_EQ(w3.width, w3.high);
    EXPECT_EQ(w3.level, (w3.high + w3.low) / 2);
    EXPECT_EQ(w3.low, 1000);
    EXPECT_EQ(w3.high, 1029);
}

TEST(AutoWindow, SwapAndMissingBytes)
{
    // Big-endian 0x0100 = 256 when swapped, 1 when not.
    std::vector<std::uint8_t> b(2 * 16, 0);
    for (std::size_t i = 0; i < b.size(); i += 2)
        b[i] = 1;
    EXPECT_EQ(autoWindow(PixelAccess(b, 0, 4, false), 4, 4, false).level, 1);
    EXPECT_EQ(autoWindow(PixelAccess(b, 0, 4, true), 4, 4, false).level, 256);
    // Matrix larger than the data, header beyond the file: nothing is read outside.
    EXPECT_TRUE(autoWindow(PixelAccess(b, 0, 8, false), 8, 8, false).found);
    EXPECT_FALSE(autoWindow(PixelAccess(b, 1000, 4, false), 4, 4, false).found);
    EXPECT_FALSE(autoWindow(PixelAccess(b, 0, 0, false), 0, 0, false).found);
}

TEST(AutoWindow, NoLimitOnTheMatrix)
{
    // Wider than the 6001 entries of the original sum tables.
    const auto b = image(7000, 2, [](int x, int) { return x % 1000; });
    const AutoWindow w = autoWindow(PixelAccess(b, 0, 7000, false), 7000, 2, false);
    EXPECT_EQ(w.width, 1000);
    EXPECT_EQ(w.level, 0);
}

TEST(AutoWindow, Widening)
{
    struct Case {
        std::int64_t in, out;
    } cases[] = {{1, 4}, {19, 76}, {20, 60}, {29, 87}, {30, 60}, {49, 98}, {50, 50}, {10, 40}, {-5, -20}};
    for (const auto& c : cases)
        EXPECT_EQ(widenWindow(c.in), c.out) << c.in;
}
