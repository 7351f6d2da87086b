// The operations that change the loaded bytes in place (flips, background
// clearing) and the header steps.
#include "viewer/background.h"
#include "viewer/flip.h"
#include "viewer/offsets.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tarven;

namespace {
std::vector<std::uint8_t> rowOfWords(std::initializer_list<int> v, std::size_t header = 0)
{
    std::vector<std::uint8_t> b(header, 0xEE);
    for (int x : v) {
        b.push_back(static_cast<std::uint8_t>(x & 0xFF));
        b.push_back(static_cast<std::uint8_t>((x >> 8) & 0xFF));
    }
    return b;
}
} // namespace

TEST(Mirror, LeftRightAndTopBottomInPlace)
{
    auto b = rowOfWords({1, 2, 3, 4, 5}, 3);
    mirrorLeftRight(b, 3, 5, 1);
    EXPECT_EQ(b, rowOfWords({5, 4, 3, 2, 1}, 3));

    const auto grid = rowOfWords({1, 2, 3, 4, 5, 6, 0x1234, 8, 9}); // 3 x 3
    auto g = grid;
    mirrorTopBottom(g, 0, 3, 3);
    EXPECT_EQ(g, rowOfWords({0x1234, 8, 9, 4, 5, 6, 1, 2, 3}));
    mirrorTopBottom(g, 0, 3, 3);
    EXPECT_EQ(g, grid);
}

TEST(Mirror, StaysInsideTheBytesAndTwiceRestores)
{
    // Matrix 4 x 4 over 11 words, negative and odd headers: never outside
    // (ASan watches), and two flips give the bytes back.
    const auto original = rowOfWords({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    for (std::int64_t header : std::vector<std::int64_t>{-6, 0, 1, 5, 30, std::int64_t{1} << 40}) {
        auto b = original;
        mirrorLeftRight(b, header, 4, 4);
        mirrorLeftRight(b, header, 4, 4);
        EXPECT_EQ(b, original) << header;
        mirrorTopBottom(b, header, 4, 4);
        mirrorTopBottom(b, header, 4, 4);
        EXPECT_EQ(b, original) << header;
    }
}

TEST(OffsetSteps, PerButtonAndMode)
{
    using B = OffsetButton;
    struct Case {
        B button;
        int mode;
        std::int64_t n;
        std::optional<std::int64_t> step;
    } cases[] = {
        {B::FrameUp, 1, 512, 524288}, {B::FrameDown, 1, 512, -524288}, {B::RowUp, 2, 256, 1024},
        {B::PixelUp, 2, 256, 4},      {B::RowDown, 1, 100, -200},      {B::FrameUp, 2, 10, 400},
        {B::PixelUp, 0, 256, {}},     {B::RowUp, 0, 256, {}},          {B::FrameDown, 0, 256, {}},
        {B::PixelBack, 0, 256, -2},   {B::PixelBack, 1, 256, -2},      {B::PixelBack, 2, 256, -2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(offsetStep(c.button, c.mode, c.n), c.step) << int(c.button) << " mode " << c.mode;
    EXPECT_EQ(steppedHeader(0, -2), -2);
    EXPECT_FALSE(steppedHeader(2147483647, 2));
    EXPECT_FALSE(steppedHeader(0, *offsetStep(B::FrameUp, 2, 2147483647)));
}

TEST(BackgroundClearing, ThresholdWithInterceptAndBorders)
{
    // 6 x 3 image; with intercept -1024 a word of 1184 (t = 160) is cleared,
    // 1185 ends the walk.
    auto b = rowOfWords({1184, 1184, 1184, 1185, 1000, 1000, //
                         1184, 1184, 1184, 1184, 1184, 1184, //
                         5000, 5000, 5000, 5000, 5000, 5000});
    BackgroundRequest q;
    q.matrixX = 6;
    q.matrixY = 3;
    q.intercept = -1024;
    q.centreX = 1;
    q.centreY = 0; // origin row 0 (cy <= 0), column 1
    q.width = 100;
    q.height = 4; // rows 0 and 1 walk down (h - h div 2 = 2), one row up (none here)
    const std::int64_t n = clearBackground(b, q);
    EXPECT_EQ(b, rowOfWords({0, 0, 0, 1185, 1000, 1000, //
                             0, 0, 0, 0, 0, 0,          //
                             5000, 5000, 5000, 5000, 5000, 5000}));
    EXPECT_EQ(n, 9);

    // A ROI centre far outside and a header past the data: nothing happens.
    auto c = rowOfWords({0, 0, 0, 0});
    const auto before = c;
    q = {};
    q.matrixX = 2;
    q.matrixY = 2;
    q.centreX = 50;
    q.centreY = 50;
    q.width = q.height = 1000;
    EXPECT_EQ(clearBackground(c, q), 0);
    q.centreX = q.centreY = 0;
    q.header = 100;
    EXPECT_EQ(clearBackground(c, q), 0);
    EXPECT_EQ(c, before);
}
