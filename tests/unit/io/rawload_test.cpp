#include "common/errors.h"
#include "io/rawload.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace tarven;

TEST(ProposeMatrix, KnownSizesAndTheGuess)
{
    struct Case { std::int64_t size; int bpp; std::int64_t x, y; };
    const Case cases[] = {
        {526336, 2, 512, 512},     // 512 x 512 behind 2048 bytes
        {10040000, 2, 2000, 2510},
        {15105150, 2, 2505, 3015},
        {10040000, 1, 2000, 2510}, // the known sizes win in every mode
        {0, 2, 32, 32},
        {63 * 63 * 2, 2, 32, 32},
        {64 * 64 * 2, 2, 64, 64},
        {127 * 127 * 2, 2, 64, 64},
        {1023 * 1023 * 2, 2, 512, 512},
        {2048 * 2048 * 2, 2, 2048, 2048},
        {4095 * 4095 * 2, 2, 2048, 2048},
        {512 * 512, 1, 512, 512},
        {18000000, 2, 2048, 2048},
    };
    for (const auto& c : cases) {
        const Matrix m = proposeMatrix(c.size, c.bpp);
        EXPECT_EQ(m.x, c.x) << c.size;
        EXPECT_EQ(m.y, c.y) << c.size;
    }
}

TEST(ParseMatrixAnswer, TwoNumbersOrOne)
{
    EXPECT_EQ(parseMatrixAnswer("512 512", 526336, 2).y, 512);
    const Matrix cut = parseMatrixAnswer("1024", 1048576, 2); // rows cut to what the file holds
    EXPECT_EQ(cut.x, 1024);
    EXPECT_EQ(cut.y, 512);
    EXPECT_EQ(rawHeader(1048576, cut, 2), 0);
    const Matrix big = parseMatrixAnswer("600 400", 1000, 2); // taken as typed even if the file is small
    EXPECT_EQ(big.x, 600);
    EXPECT_EQ(big.y, 400);
    EXPECT_EQ(rawHeader(1000, big, 2), 1000 - 480000);
    EXPECT_EQ(rawHeader(526336, {512, 512}, 2), 2048);
    const Matrix second = parseMatrixAnswer("256  256", 200000, 2); // everything after the first blank
    EXPECT_EQ(second.y, 256);
}

TEST(ParseMatrixAnswer, BadAnswersRaiseTheFrameworkErrors)
{
    struct Case { const char* answer; const char* message; };
    const Case cases[] = {
        {"abc", "'abc' は整数ではありません"},
        {"512 x", "'x' は整数ではありません"},
        {" 512", "'' は整数ではありません"}, // the text before the first blank
        {"", "'' は整数ではありません"},
        {"0", "ゼロによる除算"},
    };
    for (const auto& c : cases) {
        try {
            parseMatrixAnswer(c.answer, 1000, 2);
            ADD_FAILURE() << c.answer;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

TEST(ReadWholeFile, ReadsEveryByteOrNamesTheFile)
{
    const auto dir = std::filesystem::temp_directory_path() / "tarven_rawload_test";
    std::filesystem::create_directories(dir);
    const auto path = (dir / "three.raw").string();
    {
        std::ofstream(path, std::ios::binary) << std::string("\x01\x00\xFF", 3);
    }
    EXPECT_EQ(readWholeFile(path), (std::vector<std::uint8_t>{1, 0, 255}));
    const auto empty = (dir / "empty.raw").string();
    std::ofstream(empty, std::ios::binary).close();
    EXPECT_TRUE(readWholeFile(empty).empty());
    const auto missing = (dir / "missing.raw").string();
    try {
        readWholeFile(missing);
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "ファイル " + missing + " は開けません");
    }
    EXPECT_THROW(readWholeFile(dir.string()), FileError); // a folder is no image
}
