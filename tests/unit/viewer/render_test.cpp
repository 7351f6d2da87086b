#include "common/errors.h"
#include "viewer/render.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tarven;

namespace {

std::vector<std::uint8_t> words(const std::vector<std::uint16_t>& px, std::size_t header = 0)
{
    std::vector<std::uint8_t> b(header, 0xEE);
    for (auto v : px) {
        b.push_back(static_cast<std::uint8_t>(v & 0xFF));
        b.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    return b;
}

struct Display {
    std::vector<std::uint8_t> bits = std::vector<std::uint8_t>(512 * 512 * 3, 7);
    Bitmap24 bmp() { return {512, 512, 512 * 3, bits.data()}; }
    int at(int x, int y) const { return bits[static_cast<std::size_t>(y * 512 + x) * 3]; }
};

// Image whose pixel (x, y) holds x + 1000 * y, so a display grey tells which
// pixel was drawn when the window is the identity-like W = 256, L = 128 + v0.
std::vector<std::uint16_t> ramp(int w, int h)
{
    std::vector<std::uint16_t> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px.push_back(static_cast<std::uint16_t>(x + 1000 * y));
    return px;
}

} // namespace

TEST(GreyWindow, Table)
{
    struct Case { int width, level; int raw; bool invert; int grey; };
    const Case cases[] = {
        {600, 600, 600, false, 128},
        {600, 600, 900, false, 255},   // 256 clamped
        {600, 600, 300, false, 0},
        {512, 0, 1, false, 128},       // round(0.5) = 0
        {512, 0, 3, false, 130},       // round(1.5) = 2
        {512, 0, 5, false, 130},       // round(2.5) = 2
        {-600, 600, 900, false, 0},    // reversed scale
        {600, -10000, 30000, false, 0}, // 16-bit difference wraps to -25536
        {600, 600, 600, true, 127},
        {600, 600, 0xFFFF, false, 0},  // -1 is far below the level
        {1, 0, 0, false, 128},
        {600, 70136, 4600, false, 128}, // only the low 16 bits of the level count
    };
    GreyTable table;
    for (const auto& c : cases) {
        const GreyWindow w{c.width, c.level, c.invert};
        EXPECT_EQ(greyOf(static_cast<std::uint16_t>(c.raw), w), c.grey) << c.width << " " << c.level << " " << c.raw;
        buildGreyTable(w, false, table);
        EXPECT_EQ(table[static_cast<std::uint16_t>(c.raw)], c.grey);
    }
}

TEST(GreyWindow, TableAgreesWithThePerPixelRuleForEveryWord)
{
    // The table rounds only where the grey is not saturated: check that
    // shortcut against the plain rule over every word, for narrow, wide,
    // reversed and extreme windows.
    GreyTable table;
    for (int width : {1, -1, 2, 3, 600, -600, 4095, 65536, -2147483647 - 1, 2147483647})
        for (int level : {0, 600, -10000, 32767, 70136})
            for (bool invert : {false, true}) {
                const GreyWindow w{width, level, invert};
                buildGreyTable(w, false, table);
                int mismatches = 0;
                for (std::uint32_t raw = 0; raw < 65536; ++raw)
                    mismatches += table[raw] != greyOf(static_cast<std::uint16_t>(raw), w);
                EXPECT_EQ(mismatches, 0) << width << " " << level << " " << invert;
            }
}

TEST(GreyWindow, TableFoldsTheByteExchangeIn)
{
    GreyTable plain, swapped;
    const GreyWindow w{700, 300, false};
    buildGreyTable(w, false, plain);
    buildGreyTable(w, true, swapped);
    for (std::uint32_t raw = 0; raw < 65536; raw += 97)
        EXPECT_EQ(swapped[raw], plain[swapWord(static_cast<std::uint16_t>(raw))]);
}

TEST(GreyWindow, ZeroWidthIsAFloatingPointDivisionByZero)
{
    GreyTable table;
    try {
        buildGreyTable({0, 600, false}, false, table);
        FAIL();
    } catch (const MathError& e) {
        EXPECT_STREQ(e.what(), "0 による浮動小数点数除算");
    }
}

TEST(ViewGeometry, Table)
{
    struct Case {
        const char* what;
        ViewRequest req;
        bool enlarge;
        std::int64_t x0, y0, cols, rows, cx, cy, left, top, right, bottom, percent;
    };
    const Case cases[] = {
        {"256 square, code 1: unscaled in the middle", {256, 256, 128, 128, 1}, false, 0, 0, 256, 256, 128, 128, 128, 128, 0, 0, -1},
        {"256 square, code -1: stretched twice", {256, 256, 128, 128, -1}, true, 0, 0, 256, 256, 127, 127, 0, 0, 511, 511, 200},
        {"1024 square, code 2, centre (0,0)", {1024, 1024, 0, 0, 2}, false, 0, 0, 512, 512, 512, 512, 0, 0, 0, 0, -1},
        {"300 square, code -1 acts as 1", {300, 300, 150, 150, -1}, false, 0, 0, 300, 300, 150, 150, 106, 106, 0, 0, -1},
        {"511 rows, centre on row 256", {512, 511, 256, 256, 1}, false, 0, 0, 512, 511, 256, 255, 0, 0, 0, 0, -1},
        {"code 0 acts as 1", {512, 512, 256, 256, 0}, false, 0, 0, 512, 512, 256, 256, 0, 0, 0, 0, -1},
        {"3000 square, centre far right", {3000, 3000, 2999, 10, 1}, false, 2488, 0, 512, 512, 2744, 256, 0, 0, 0, 0, -1},
        {"1024 square, code -2, right edge narrows", {1024, 1024, 1020, 500, -2}, true, 893, 373, 131, 256, 957, 500, 0, 0, 261, 511, -1},
        {"128 square, code -2: factor 8", {128, 128, 64, 64, -2}, true, 33, 33, 64, 64, 64, 64, 0, 0, 511, 511, 800},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ViewGeometry g = computeView(c.req);
        EXPECT_EQ(g.enlarge, c.enlarge);
        EXPECT_EQ(g.x0, c.x0);
        EXPECT_EQ(g.y0, c.y0);
        EXPECT_EQ(g.cols, c.cols);
        EXPECT_EQ(g.rows, c.rows);
        EXPECT_EQ(g.centreX, c.cx);
        EXPECT_EQ(g.centreY, c.cy);
        if (!c.enlarge) {
            EXPECT_EQ(g.left, c.left);
            EXPECT_EQ(g.top, c.top);
        } else {
            EXPECT_EQ(g.right, c.right);
            EXPECT_EQ(g.bottom, c.bottom);
        }
        EXPECT_EQ(g.percent.value_or(-1), c.percent);
    }
}

TEST(ViewGeometry, ZeroColumnsAndEnlargeIsAnIntegerDivisionByZero)
{
    EXPECT_THROW(computeView({0, 0, 0, 0, -1}), MathError);
    EXPECT_THROW(computeView({0, 0, 0, 0, -3}), MathError);
    const ViewGeometry g = computeView({0, 0, 0, 0, 1}); // nothing to show, no error
    EXPECT_EQ(g.cols, 0);
    EXPECT_EQ(g.rows, 0);
}

TEST(RenderDisplay, ReducePathPlacesTheViewUnscaled)
{
    const auto bytes = words(ramp(256, 256));
    const ViewGeometry g = computeView({256, 256, 128, 128, 1});
    GreyTable t;
    buildGreyTable({256, 128, false}, false, t); // grey = raw along row 0
    Display d;
    renderDisplay(g, bytes, 0, 256, t, d.bmp());
    EXPECT_EQ(d.at(0, 0), 255);     // outside the image: white
    EXPECT_EQ(d.at(127, 128), 255);
    EXPECT_EQ(d.at(128, 128), 0);   // pixel (0,0) = 0 -> grey 0 at level 128
    EXPECT_EQ(d.at(128 + 200, 128), 200);
    EXPECT_EQ(d.at(384, 384), 255);
}

TEST(RenderDisplay, EnlargePathReplicatesAndLeavesTheLastColumnWhite)
{
    const auto bytes = words(ramp(256, 256));
    const ViewGeometry g = computeView({256, 256, 128, 128, -1});
    GreyTable t;
    buildGreyTable({256, 128, false}, false, t);
    Display d;
    renderDisplay(g, bytes, 0, 256, t, d.bmp());
    EXPECT_EQ(d.at(0, 0), 0);
    EXPECT_EQ(d.at(1, 0), 0);
    EXPECT_EQ(d.at(2, 0), 1);
    EXPECT_EQ(d.at(3, 1), 1);
    EXPECT_EQ(d.at(4, 1), 2); // display row 1 still shows image row 0
    EXPECT_EQ(d.at(510, 0), 255); // column 255 holds 255
    EXPECT_EQ(d.at(200, 0), 100);
    for (int y = 0; y < 512; y += 37)
        EXPECT_EQ(d.at(511, y), 255);
    for (int x = 0; x < 512; x += 37)
        EXPECT_EQ(d.at(x, 511), 255);
}

TEST(RenderDisplay, PixelsOutsideTheBytesShowWhiteAndAreNeverRead)
{
    // 4 x 4 image whose file lacks the last row and a half; header negative
    // in a second pass. AddressSanitizer guards the reads.
    auto px = std::vector<std::uint16_t>(16, 128);
    auto full = words(px);
    std::vector<std::uint8_t> cut(full.begin(), full.begin() + 2 * 10 + 1); // 10 words and one stray byte
    GreyTable t;
    buildGreyTable({256, 128, false}, false, t); // raw 128 -> grey 128
    const ViewGeometry g = computeView({4, 4, 2, 2, 1});
    Display d;
    renderDisplay(g, cut, 0, 4, t, d.bmp());
    const int l = 254, top = 254;
    EXPECT_EQ(d.at(l + 0, top + 0), 128);
    EXPECT_EQ(d.at(l + 1, top + 2), 128); // word 9
    EXPECT_EQ(d.at(l + 2, top + 2), 255); // word 10 has one byte only
    EXPECT_EQ(d.at(l + 3, top + 3), 255);

    Display neg;
    renderDisplay(g, full, -4, 4, t, neg.bmp()); // the first two words lie before the buffer
    EXPECT_EQ(neg.at(l + 0, top), 255);
    EXPECT_EQ(neg.at(l + 1, top), 255);
    EXPECT_EQ(neg.at(l + 2, top), 128);

    Display empty;
    renderDisplay(g, {}, 0, 4, t, empty.bmp());
    EXPECT_EQ(empty.at(l, top), 255);

    Display huge;
    renderDisplay(computeView({2147483647, 2147483647, 5, 5, 2147483647}), full, 2147483647, 2147483647, t, huge.bmp());
    EXPECT_EQ(huge.at(256, 256), 255);
}

TEST(RenderViewBitmap, MatchesTheDisplayBlock)
{
    const auto bytes = words(ramp(300, 200), 100);
    const ViewGeometry g = computeView({300, 200, 150, 100, 1});
    GreyTable t;
    buildGreyTable({600, 300, false}, false, t);
    Display d;
    renderDisplay(g, bytes, 100, 300, t, d.bmp());
    std::vector<std::uint8_t> vb(static_cast<std::size_t>(g.cols * g.rows * 3));
    renderViewBitmap(g, bytes, 100, 300, t, {g.cols, g.rows, g.cols * 3, vb.data()});
    for (int r = 0; r < g.rows; r += 13)
        for (int q = 0; q < g.cols; q += 17)
            EXPECT_EQ(vb[static_cast<std::size_t>(r * g.cols + q) * 3], d.at(static_cast<int>(g.left + q), static_cast<int>(g.top + r)));
}
