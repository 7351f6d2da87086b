#include "common/errors.h"
#include "viewer/roi.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tarven;

TEST(DisplayScale, ZoomCodes)
{
    struct Case {
        double zoom;
        std::int64_t matrixX;
        double scale;
    } cases[] = {
        {1, 512, 1}, {2, 1024, 2}, {0, 512, 0}, {-2, 512, 0.5}, {-1, 256, 0.5}, {-2, 256, 0.25}, {-1, 1024, 1},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(displayScale(c.zoom, c.matrixX), c.scale) << c.zoom << " " << c.matrixX;
}

TEST(RoiToImage, ReaderCases)
{
    struct Case {
        std::int64_t cx, cy, w, h;
        double s;
        std::int64_t vx, vy;
        RoiImage want;
    } cases[] = {
        // 512 x 512 image, code 1, centre (256, 256), default ROI.
        {256, 256, 256, 256, 1, 256, 256, {128, 128, 256, 256}},
        // 256 x 256 image, code 1, centre (128, 128).
        {256, 256, 256, 256, 1, 128, 128, {0, 0, 256, 256}},
        // code -2 on 512 wide: a 256-pixel ROI covers 128 image pixels.
        {256, 256, 256, 256, 0.5, 256, 256, {192, 192, 128, 128}},
        // halves round to the even neighbour: (101 - 256) * 0.5 = -77.5 -> -78, 5 * 0.5 = 2.5 -> 2
        {103, 103, 5, 5, 0.5, 0, 0, {-78, -78, 2, 2}},
        // zoom 2: a 64 ROI is 128 image pixels, from (224 - 256) * 2 + 512
        {256, 256, 64, 64, 2, 512, 512, {448, 448, 128, 128}},
    };
    for (const auto& c : cases) {
        const RoiImage r = roiToImage(c.cx, c.cy, c.w, c.h, c.s, c.vx, c.vy);
        EXPECT_EQ(r.left, c.want.left);
        EXPECT_EQ(r.top, c.want.top);
        EXPECT_EQ(r.width, c.want.width);
        EXPECT_EQ(r.height, c.want.height);
    }
}

TEST(RoiRect, FromBoxesMoveAndGrip)
{
    EXPECT_EQ(rectFromBoxes(256, 256, 256, 256), (DisplayRect{128, 128, 383, 383}));
    // Moving a ROI 10 wide to X = 100: 95 .. 104; 11 wide: 95 .. 105.
    const DisplayRect even = moveRectTo(DisplayRect{0, 0, 9, 9}, 100, 100);
    EXPECT_EQ(even.left, 95);
    EXPECT_EQ(even.right, 104);
    const DisplayRect odd = moveRectTo(DisplayRect{0, 0, 10, 10}, 100, 100);
    EXPECT_EQ(odd.left, 95);
    EXPECT_EQ(odd.right, 105);

    const DisplayRect r{10, 10, 20, 20};
    EXPECT_TRUE(gripAt(r, 5, 5).topLeft);
    EXPECT_TRUE(gripAt(r, 25, 25).bottomRight);
    EXPECT_TRUE(gripAt(r, 15, 15).move);
    EXPECT_FALSE(gripAt(r, 10, 15).any()); // on the frame itself: nothing
    EXPECT_FALSE(gripAt(r, 5, 15).any());
}

TEST(FocusFrame, DrawingTwiceRestoresTheBitmap)
{
    std::vector<std::uint8_t> px(8 * 6 * 3, 100);
    const Bitmap24 bmp{8, 6, 8 * 3, px.data()};
    const auto before = px;
    for (const DisplayRect r : {DisplayRect{1, 1, 5, 4}, DisplayRect{-3, 2, 20, 20}, DisplayRect{2, 2, 2, 2},
                                DisplayRect{0, 3, 7, 3}}) {
        invertFocusFrame(bmp, r);
        EXPECT_NE(px, before);
        invertFocusFrame(bmp, r);
        EXPECT_EQ(px, before);
    }
    invertFocusFrame(bmp, DisplayRect{1, 1, 5, 4});
    EXPECT_EQ(px[(1 * 8 + 1) * 3], 155);  // a corner of the frame is inverted
    EXPECT_EQ(px[(2 * 8 + 2) * 3], 100);  // the inside is not
}

TEST(ClipToPixelData, KeepsReadsInsideTheImageAndTheBytes)
{
    // 4 x 3 image behind a 2-byte header: 2 + 24 bytes.
    std::vector<std::uint8_t> bytes(26);
    const PixelAccess px(bytes, 2, 4, false);
    struct Case {
        PixelRegion wanted, want;
    } cases[] = {
        {{0, 0, 4, 3}, {0, 0, 4, 3}},
        {{-2, -1, 4, 3}, {0, 0, 2, 2}}, // beyond the top-left edge
        {{3, 1, 5, 5}, {3, 1, 1, 2}},   // beyond the right edge: never the next row
        {{5, 0, 2, 2}, {}},             // wholly outside
        {{1, 1, 0, 2}, {}},             // zero width
        {{1, 1, -3, 2}, {}},            // corner dragged past the other one
    };
    for (const auto& c : cases)
        EXPECT_EQ(clipToPixelData(c.wanted, 4, 3, px), c.want) << c.wanted.left << "," << c.wanted.top;

    // A file shorter than the matrix: only the rows that are wholly there.
    std::vector<std::uint8_t> shortBytes(2 + 8 + 5);
    EXPECT_EQ(clipToPixelData({0, 0, 4, 3}, 4, 3, PixelAccess(shortBytes, 2, 4, false)), (PixelRegion{0, 0, 4, 1}));
    EXPECT_EQ(clipToPixelData({0, 0, 2, 3}, 4, 3, PixelAccess(shortBytes, 2, 4, false)), (PixelRegion{0, 0, 2, 2}));
    // A negative header: the leading rows are not in the file.
    EXPECT_EQ(clipToPixelData({0, 0, 4, 3}, 4, 3, PixelAccess(bytes, -8, 4, false)), (PixelRegion{0, 1, 4, 2}));
    // A header far beyond the file.
    EXPECT_TRUE(clipToPixelData({0, 0, 4, 3}, 4, 3, PixelAccess(bytes, 1 << 30, 4, false)).empty());
    // Offsets that would overflow 64 bits.
    EXPECT_TRUE(clipToPixelData({0, 0, 1, 1 << 30}, 0x7fffffff, 0x7fffffff, PixelAccess(bytes, 0, 0x7fffffff, false))
                    .width == 1);
    EXPECT_THROW(requirePixels({5, 0, 2, 2}, 4, 3, px), MathError);
}
