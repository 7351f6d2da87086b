// The pixel table: filling from the ROI, peak, area statistics, clipboard
// texts and the 128-bin histogram.
#include "mtf/pixeltable.h"

#include "common/errors.h"
#include "mtf_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace tarven;
using namespace tarven::mtf;
using mtftest::tableOf;

namespace {
std::vector<std::uint8_t> wordsLE(const std::vector<std::uint16_t>& words, std::size_t header = 0)
{
    std::vector<std::uint8_t> bytes(header, 0xAA);
    for (auto w : words) {
        bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    return bytes;
}
} // namespace

TEST(CellTable, ResizeKeepsCellsInsideAndReadsOutsideAsEmpty)
{
    CellTable t(3, 3);
    t.setCell(1, 1, "11");
    t.setCell(2, 2, "22");
    t.setCell(2, 1, "a longer text than before");
    t.setCell(2, 1, "21"); // shorter rewrite in place
    t.resize(4, 2);
    EXPECT_EQ(t.cell(1, 1), "11");
    EXPECT_EQ(t.cell(2, 1), "21");
    EXPECT_EQ(t.cell(2, 2), "");  // dropped with the row
    EXPECT_EQ(t.cell(3, 1), "");  // new cell
    EXPECT_EQ(t.cell(-1, 0), ""); // outside
    EXPECT_EQ(t.cell(4, 0), "");
    t.setCell(9, 9, "x"); // outside: nothing
    EXPECT_EQ(t.columns(), 4);
    EXPECT_EQ(t.rows(), 2);
    t.resize(4, 3);
    EXPECT_EQ(t.cell(2, 2), "");
}

TEST(CellTable, ManyRewritesKeepEveryText)
{
    // Rewriting every cell with longer texts many times forces compaction.
    CellTable t(300, 300);
    for (int round = 0; round < 6; ++round)
        for (int r = 0; r < 300; ++r)
            for (int c = 0; c < 300; ++c)
                t.setCell(c, r, std::string(static_cast<std::size_t>(round + 1), 'x') + std::to_string(c * 1000 + r));
    EXPECT_EQ(t.cell(299, 7), "xxxxxx299007");
    EXPECT_EQ(t.cell(0, 0), "xxxxxx0");
}

TEST(PixelTable, HandOffHeadingsAndValues)
{
    // A 3 x 2 ROI at column 10, row 20 of a 16-column image.
    std::vector<std::uint16_t> img(16 * 24, 0);
    img[20 * 16 + 10] = 0x1234;
    img[20 * 16 + 11] = 0xFFFF;
    img[21 * 16 + 12] = 7;
    const auto bytes = wordsLE(img, 6);
    CellTable t(257, 257);
    fillTable(t, PixelAccess(bytes, 6, 16, false), 24, {10, 20, 3, 2}, std::nullopt, true);
    ASSERT_EQ(t.columns(), 4);
    ASSERT_EQ(t.rows(), 3);
    EXPECT_EQ(t.cell(0, 0), "");
    EXPECT_EQ(t.cell(1, 0), "10");
    EXPECT_EQ(t.cell(3, 0), "12");
    EXPECT_EQ(t.cell(0, 1), "20");
    EXPECT_EQ(t.cell(0, 2), "21");
    EXPECT_EQ(t.cell(1, 1), "4660");
    EXPECT_EQ(t.cell(2, 1), "-1");
    EXPECT_EQ(t.cell(3, 2), "7");

    fillTable(t, PixelAccess(bytes, 6, 16, true), 24, {10, 20, 3, 2}, std::nullopt, true);
    EXPECT_EQ(t.cell(1, 1), "13330");
}

TEST(PixelTable, RescaleRoundsToEvenAndWrapsTo16Bits)
{
    struct Case { std::uint16_t stored; double slope, intercept; const char* cell; };
    const Case cases[] = {
        {0, 1, -1024, "-1024"},
        {20000, 2, 0, "-25536"},
        {5, 0.5, 0, "2"},
        {7, 0.5, 0, "4"},
    };
    for (const auto& k : cases) {
        const auto bytes = wordsLE({k.stored});
        CellTable t;
        fillTable(t, PixelAccess(bytes, 0, 1, false), 1, {0, 0, 1, 1}, Rescale{k.slope, k.intercept}, true);
        EXPECT_EQ(t.cell(1, 1), k.cell) << k.stored << " " << k.slope;
    }
}

TEST(PixelTable, PixelsOutsideTheImageAndEightBitModeLeaveEmptyCells)
{
    const auto bytes = wordsLE({1, 2, 3, 4}); // a 2 x 2 image
    CellTable t;
    // The ROI reaches one column left of and one row below the image; the
    // column left of the image is not the previous row's last pixel.
    fillTable(t, PixelAccess(bytes, 0, 2, false), 2, {-1, 1, 3, 2}, std::nullopt, true);
    EXPECT_EQ(t.cell(1, 0), "-1");
    EXPECT_EQ(t.cell(1, 1), "");
    EXPECT_EQ(t.cell(2, 1), "3");
    EXPECT_EQ(t.cell(3, 1), "4");
    EXPECT_EQ(t.cell(2, 2), "");
    // A header past the end of the bytes: nothing is read.
    fillTable(t, PixelAccess(bytes, 1000, 2, false), 2, {0, 0, 2, 2}, std::nullopt, true);
    EXPECT_EQ(t.cell(1, 1), "");
    // Rows past the image's row count are not the image either.
    fillTable(t, PixelAccess(bytes, 0, 2, false), 1, {0, 0, 2, 2}, std::nullopt, true);
    EXPECT_EQ(t.cell(2, 1), "2");
    EXPECT_EQ(t.cell(1, 2), "");
    // Without data (8-bit mode) the old values do not survive.
    fillTable(t, PixelAccess(bytes, 0, 2, false), 2, {0, 0, 2, 2}, std::nullopt, true);
    EXPECT_EQ(t.cell(2, 2), "4");
    fillTable(t, PixelAccess(bytes, 0, 2, false), 2, {0, 0, 2, 2}, std::nullopt, false);
    EXPECT_EQ(t.cell(1, 0), "0");
    EXPECT_EQ(t.cell(2, 2), "");
}

TEST(PixelTable, RoiSizeOutsideOneTo2048IsRefusedBeforeTheTableChanges)
{
    const auto bytes = wordsLE({1});
    CellTable t = tableOf({{5, 6}});
    for (auto [w, h] : {std::pair{2049, 10}, {10, 2049}, {0, 5}, {5, -3}})
        EXPECT_THROW(fillTable(t, PixelAccess(bytes, 0, 1, false), 1, {0, 0, w, h}, std::nullopt, true), Error);
    EXPECT_EQ(t.columns(), 3);
    EXPECT_EQ(t.cell(2, 1), "6");
    EXPECT_NO_THROW(checkRoiSize(2048, 2048));
}

TEST(PixelTable, PeakIsTheFirstMaximumRowByRow)
{
    EXPECT_EQ(findPeak(tableOf({{1, 2, 9}, {9, 3, 9}})), (CellPos{3, 1}));
    EXPECT_EQ(findPeak(tableOf({{1, 2}, {5, 5}})), (CellPos{1, 2}));
    EXPECT_EQ(findPeak(tableOf({{7, 2}, {5, 7}})), (CellPos{1, 1}));
    CellTable bad = tableOf({{1, 2}});
    bad.setCell(2, 1, "x");
    EXPECT_THROW(findPeak(bad), ConvertError);
}

TEST(PixelTable, AreaStatisticsOfAllCells)
{
    const CellTable t = tableOf({{1, 2}, {3, 4}});
    const auto s = areaStats(t, {1, 1, 2, 2});
    EXPECT_DOUBLE_EQ(s.mean, 2.5);
    EXPECT_EQ(formatGeneral(s.sd), "1.11803398874989");
    EXPECT_EQ(s.max, 4);
    EXPECT_EQ(s.min, 1);
    EXPECT_EQ(s.peak, (CellPos{2, 2}));
    // A rectangle reaching past the table stops on its first empty cell.
    EXPECT_THROW(areaStats(t, {1, 1, 3, 2}), ConvertError);
    // The corner cell (0, 0) is never written: the untouched selection fails too.
    EXPECT_THROW(areaStats(t, {0, 0, 0, 0}), ConvertError);
}

TEST(PixelTable, ClipboardTexts)
{
    const CellTable t = tableOf({{1, 2}, {3, 4}});
    EXPECT_EQ(allText(t, false), "1\t2\r\n3\t4\r\n");
    EXPECT_EQ(allText(t, true), "1\t3\r\n2\t4\r\n");
    EXPECT_EQ(rectText(t, {2, 1, 3, 2}), "2\t\r\n4\t\r\n"); // column 3 is past the table
    EXPECT_EQ(rectText(t, {0, 0, 0, 0}), "\r\n");
    EXPECT_EQ(columnText(t, {1, 1, 2, 2}), "1\r\n2\r\n3\r\n4\r\n");
    const CellTable wide = tableOf({{1, 2, 3}});
    EXPECT_EQ(allText(wide, true), "1\r\n2\r\n3\r\n");
}

namespace {
std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
        out.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return out;
}
} // namespace

TEST(PixelTable, HistogramOfTheTableSkipsTheFirstColumn)
{
    const CellTable t = tableOf({{0, 8, 16}, {7, 15, 1023}});
    const auto l = lines(histogramText(t, 10));
    ASSERT_EQ(l.size(), 128u);
    EXPECT_EQ(l[0], "0");
    EXPECT_EQ(l[1], "0.5");
    EXPECT_EQ(l[2], "0.25");
    for (std::size_t i = 3; i < 127; ++i)
        ASSERT_EQ(l[i], "0") << i;
    EXPECT_EQ(l[127], "0.25");
}

TEST(PixelTable, HistogramBinWidthFollowsTheDepth)
{
    // 12 bits: w = 32, so 31 is bin 0 and 32 bin 1; 7 bits: w = 1.
    const CellTable t = tableOf({{0, 31, 32}});
    auto l = lines(histogramText(t, 12));
    EXPECT_EQ(l[0], "0.5");
    EXPECT_EQ(l[1], "0.5");
    const CellTable u = tableOf({{0, 1, 127}});
    l = lines(histogramText(u, 7));
    EXPECT_EQ(l[1], "0.5");
    EXPECT_EQ(l[127], "0.5");
}

TEST(PixelTable, HistogramValuesOutsideTheBinsCountOnlyInTheDivisor)
{
    // -5 would truncate into bin 0 and 1024 lies past bin 127 (10 bits):
    // neither has a bin; the two in-range values are a quarter each.
    const CellTable t = tableOf({{0, -5, 1024, 3, 9}});
    const auto l = lines(histogramText(t, 10));
    EXPECT_EQ(l[0], "0.25");
    EXPECT_EQ(l[1], "0.25");
    EXPECT_EQ(l[127], "0");
}

TEST(PixelTable, HistogramErrors)
{
    const CellTable t = tableOf({{0, 8}});
    try {
        histogramText(t, 6); // 64 / 128 rounds to 0
        FAIL();
    } catch (const MathError& e) {
        EXPECT_STREQ(e.what(), "ゼロによる除算");
    }
    CellTable bad = tableOf({{0, 8}});
    bad.setCell(2, 1, "");
    EXPECT_THROW(histogramText(bad, 10), ConvertError);
    bad.setCell(2, 1, "1.5");
    EXPECT_THROW(histogramText(bad, 10), ConvertError);
    // A single data column counts no cell: nothing to divide by.
    EXPECT_THROW(histogramText(tableOf({{3}}), 10), MathError);
}
