#include "common/errors.h"
#include "io/rawsave.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace tarven;

TEST(SaveRoiGeometry, DisplayToImagePixels)
{
    struct Case {
        double s;
        std::int64_t cx, w, view, matrix;
        std::int64_t x0, cols;
        double width;
    } cases[] = {
        {1, 256, 64, 256, 512, 224, 64, 64},     // fits the display: scaled display coordinates
        {2, 256, 64, 512, 1024, 448, 128, 128},  // larger than the display: around the view centre
        {1, 10, 64, 256, 512, 0, 64, 64},        // negative origin starts at 0
        {0.5, 256, 64, 128, 256, 112, 32, 32},   // enlarged
        {3, 100, 5, 0, 300, 292, 15, 15},        // 300 / 3 = 100 <= 512: trunc(300 - 7.5)
        {1.5, 256, 3, 0, 512, 381, 4, 4.5},      // trunc(384 - 2.25) = 381, trunc(4.5) = 4
    };
    for (const auto& c : cases) {
        const SaveRoiGeometry g = saveRoiGeometry(c.s, c.cx, c.cx, c.w, c.w, c.view, c.view, c.matrix, c.matrix);
        EXPECT_EQ(g.x0, c.x0) << c.s << " " << c.cx;
        EXPECT_EQ(g.y0, c.x0);
        EXPECT_EQ(g.cols, c.cols);
        EXPECT_EQ(g.rows, c.cols);
        EXPECT_DOUBLE_EQ(g.width, c.width);
    }
}

TEST(RegionWords, DisplayedByteOrder)
{
    // 3 x 2 words behind a 1-byte header.
    const std::vector<std::uint8_t> b = {0xEE, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const PixelRegion r{1, 0, 2, 2};
    EXPECT_EQ(regionWords(PixelAccess(b, 1, 3, false), r), (std::vector<std::uint8_t>{3, 4, 5, 6, 9, 10, 11, 12}));
    EXPECT_EQ(regionWords(PixelAccess(b, 1, 3, true), r), (std::vector<std::uint8_t>{4, 3, 6, 5, 10, 9, 12, 11}));
    EXPECT_TRUE(regionWords(PixelAccess(b, 1, 3, false), PixelRegion{}).empty());
}

TEST(WriteWholeFile, WritesAndKeepsTheOldFileOnFailure)
{
    const auto dir = std::filesystem::temp_directory_path() / "tarven_rawsave_test";
    std::filesystem::create_directories(dir);
    const auto file = (dir / "out.raw").string();
    writeWholeFile(file, {1, 2, 3});
    writeWholeFile(file, {4, 5});
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(got, (std::vector<char>{4, 5}));
    try {
        writeWholeFile((dir / "no" / "such" / "folder.raw").string(), {1});
        FAIL();
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("を作成できません"), std::string::npos);
    }
    // A folder in the way: the write fails and the folder stays.
    EXPECT_THROW(writeWholeFile(dir.string(), {1}), FileError);
    EXPECT_TRUE(std::filesystem::is_directory(dir));
    std::filesystem::remove_all(dir);
}
