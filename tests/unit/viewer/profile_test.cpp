#include "viewer/profile.h"

#include "common/numeric.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <vector>

using namespace tarven;

namespace {
// The scan as the rule states it: every pixel of the (hi + 1) x wi box, rows
// first, taken when it lies on the line.
std::vector<ProfilePoint> scan(std::int64_t wi, std::int64_t hi, char dir)
{
    std::vector<ProfilePoint> out;
    for (std::int64_t k = 0; k <= hi; ++k)
        for (std::int64_t j = 0; j < wi; ++j) {
            bool take = false;
            if (wi <= hi)
                take = j == roundToInt64(static_cast<double>(wi) / hi * (dir == '-' ? k : hi - k));
            else
                take = k == roundToInt64(static_cast<double>(hi) / wi * (dir == '-' ? j : wi - j));
            if (take)
                out.push_back({j, k});
        }
    return out;
}
} // namespace

TEST(ProfilePoints, MatchTheFullScan)
{
    for (std::int64_t wi = 0; wi <= 13; ++wi)
        for (std::int64_t hi = 0; hi <= 13; ++hi)
            for (char dir : {'-', '+'})
                EXPECT_EQ(profilePoints(wi, hi, dir), scan(wi, hi, dir)) << wi << "x" << hi << dir;
}

TEST(ProfilePoints, AWindowKeepsJustItsPoints)
{
    for (std::int64_t wi = 1; wi <= 9; ++wi)
        for (std::int64_t hi = 0; hi <= 9; ++hi)
            for (char dir : {'-', '+'})
                for (const auto& [jLo, jHi, kLo, kHi] : {std::array<std::int64_t, 4>{2, 5, 1, 3},
                                                          std::array<std::int64_t, 4>{-4, 3, 4, 40},
                                                          std::array<std::int64_t, 4>{6, 2, 0, 9}}) {
                    std::vector<ProfilePoint> want;
                    for (const ProfilePoint& p : scan(wi, hi, dir))
                        if (p.j >= jLo && p.j <= jHi && p.k >= kLo && p.k <= kHi)
                            want.push_back(p);
                    EXPECT_EQ(profilePoints(wi, hi, dir, jLo, jHi, kLo, kHi), want) << wi << "x" << hi << dir << jLo;
                }
}

TEST(ProfilePoints, DiagonalsAndTies)
{
    using P = std::vector<ProfilePoint>;
    EXPECT_EQ(profilePoints(5, 5, '-'), (P{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}));
    EXPECT_EQ(profilePoints(5, 5, '+'), (P{{4, 1}, {3, 2}, {2, 3}, {1, 4}, {0, 5}}));
    EXPECT_EQ(profilePoints(4, 2, '-'), (P{{0, 0}, {1, 0}, {2, 1}, {3, 2}})); // rnd(0.5) = 0, rnd(1.5) = 2
    EXPECT_EQ(profilePoints(3, 0, '-').size(), 3u);                           // a horizontal line
    EXPECT_TRUE(profilePoints(0, 7, '-').empty());
}

TEST(TakeProfile, TextOrderAndPixelsOutsideTheImage)
{
    // 6 x 6 image, value 10 * row + column.
    std::vector<std::uint8_t> b;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            b.push_back(static_cast<std::uint8_t>(10 * y + x));
            b.push_back(0);
        }
    const PixelAccess px(b, 0, 6, false);
    ProfileRequest q;
    q.wi = 5;
    q.hi = 5;
    q.matrixX = 6;
    q.matrixY = 6;
    q.dir = '+';
    Profile p = takeProfile(px, q);
    EXPECT_EQ(p.values, (std::vector<std::int32_t>{14, 23, 32, 41, 50}));
    EXPECT_EQ(p.text, "PixelValue\r\n50\r\n41\r\n32\r\n23\r\n14\r\n");
    q.dir = '-';
    p = takeProfile(px, q);
    EXPECT_EQ(p.text, "PixelValue\r\n0\r\n11\r\n22\r\n33\r\n44\r\n");

    // Shifted so that part of the line leaves the image: only the inside part.
    q.x0 = 3;
    q.y0 = -1;
    p = takeProfile(px, q);
    EXPECT_EQ(p.values, (std::vector<std::int32_t>{4, 15}));
    // A box wholly outside the bytes: the heading alone.
    q.x0 = 100;
    EXPECT_EQ(takeProfile(px, q).text, "PixelValue\r\n");

    // A box far larger than the image (a large zoom code): only the part
    // over the image is walked, and it gives that part's pixels.
    q.dir = '-';
    q.x0 = -3;
    q.y0 = 2;
    q.wi = std::int64_t{4} << 40;
    q.hi = 0;
    EXPECT_EQ(takeProfile(px, q).values, (std::vector<std::int32_t>{20, 21, 22, 23, 24, 25}));
    q.x0 = 1;
    q.y0 = std::numeric_limits<std::int64_t>::min() + 5;
    q.wi = 1;
    q.hi = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(takeProfile(px, q).values, (std::vector<std::int32_t>{}));
}

TEST(LineBoxMouse, DragPressAndEnds)
{
    struct Case {
        std::int64_t x, y;
        char dir;
        LineBox box;
    } cases[] = {
        {40, 30, '-', {40, 30, 61, 71}},
        {120, 30, '+', {100, 30, 21, 71}},
        {120, 130, '-', {100, 100, 21, 31}},
        {40, 130, '+', {40, 100, 61, 31}},
    };
    for (const auto& c : cases) {
        const auto d = lineFromDrag(100, 100, c.x, c.y);
        ASSERT_TRUE(d);
        EXPECT_EQ(d->dir, c.dir);
        EXPECT_EQ(d->box, c.box);
    }
    EXPECT_FALSE(lineFromDrag(100, 100, 100, 130));
    EXPECT_FALSE(lineFromDrag(100, 100, 40, 100));

    const LineBox b{10, 10, 20, 20};
    EXPECT_EQ(pressOnLine(b, '-', 40, 50), (LineBox{10, 10, 31, 41}));
    EXPECT_EQ(pressOnLine(b, '-', 5, 6), (LineBox{5, 6, 26, 25}));
    EXPECT_EQ(pressOnLine(b, '+', 40, 50), b);
    EXPECT_EQ(dragLineEnd(b, '-', 40, 50), (LineBox{10, 10, 30, 40}));
    EXPECT_EQ(dragLineEnd(b, '-', 5, 6), (LineBox{5, 6, 25, 24}));
    EXPECT_EQ(dragLineEnd(b, '-', 40, 6), b);
    EXPECT_EQ(dragLineEnd(b, '+', 40, 6), (LineBox{10, 6, 31, 24}));
    EXPECT_EQ(dragLineEnd(b, '+', 5, 50), (LineBox{5, 10, 25, 40}));
    EXPECT_EQ(lineEnds(b, '+'), (std::array<std::int64_t, 4>{10, 30, 30, 10}));
}
