#include "common/errors.h"
#include "common/memo.h"
#include "common/numeric.h"
#include "common/pixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace tarven;

TEST(FormatGeneral, Table)
{
    struct Case { double value; const char* text; };
    const Case cases[] = {
        {0.0, "0"},
        {1.0, "1"},
        {-1.0, "-1"},
        {0.5, "0.5"},
        {100.0, "100"},
        {1.25, "1.25"},
        {-2.5, "-2.5"},
        {0.1 + 0.2, "0.3"},                  // 15 significant digits hide the binary tail
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {123456789012345.0, "123456789012345"},
        {1234567890123456.0, "1.23456789012346E15"},
        {1e15, "1E15"},
        {1.5e20, "1.5E20"},
        {0.00001, "0.00001"},
        {0.000012345, "0.000012345"},
        {1.234e-6, "1.234E-6"},
        {-1.234e-6, "-1.234E-6"},
        {9.9999999999999999e-6, "0.00001"}, // rounding to 15 digits lifts it into fixed notation
        {0.0033, "0.0033"},
        {3.14159265358979, "3.14159265358979"},
        {1e100, "1E100"},
        {1e-100, "1E-100"},
        {-0.0, "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatGeneral(c.value), c.text) << c.value;
}

TEST(RoundEven, TiesGoToTheEvenNeighbour)
{
    const std::pair<double, double> cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {2.4999999, 2}, {2.5000001, 3}, {-3.5, -4}, {1e15 + 0.5, 1e15},
    };
    for (auto [x, r] : cases)
        EXPECT_EQ(roundEven(x), r) << x;
    EXPECT_EQ(roundToInt64(-2.5), -2);
    EXPECT_THROW(roundToInt64(1e300), MathError);
    EXPECT_THROW(roundToInt64(std::nan("")), MathError);
    EXPECT_EQ(truncToInt64(-2.7), -2);
}

TEST(ParseInt, AcceptsDecimalWithLeadingBlanks)
{
    const std::pair<const char*, int> good[] = {
        {"0", 0}, {"600", 600}, {"  42", 42}, {"-10000", -10000}, {"+7", 7},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}, {"007", 7},
    };
    for (auto [t, v] : good)
        EXPECT_EQ(parseInt(t), v) << t;
}

TEST(ParseInt, RejectsWithTheFrameworkMessage)
{
    for (const char* t : {"", " ", "12 ", "1.5", "abc", "2147483648", "-2147483649", "1e3", "0x10", "-", "99999999999999999999"}) {
        try {
            parseInt(t);
            ADD_FAILURE() << "accepted '" << t << "'";
        } catch (const ConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(t) + "' は整数ではありません");
        }
    }
}

TEST(ParseFloat, Table)
{
    const std::pair<const char*, double> good[] = {
        {"1", 1}, {"0.5", 0.5}, {" 2.25 ", 2.25}, {"-3", -3}, {"1E3", 1000}, {"1.5e-2", 0.015},
        {".5", 0.5}, {"5.", 5}, {"+4", 4},
    };
    for (auto [t, v] : good)
        EXPECT_DOUBLE_EQ(parseFloat(t), v) << t;
    for (const char* t : {"", "abc", "1,5", "inf", "nan", "1e", "1e400", ".", "--1", "1 2"}) {
        try {
            parseFloat(t);
            ADD_FAILURE() << "accepted '" << t << "'";
        } catch (const ConvertError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(t) + "' は浮動小数点数ではありません");
        }
    }
}

TEST(CheckedArithmetic, RaisesTheFrameworkErrors)
{
    auto message = [](auto f) {
        try {
            f();
        } catch (const MathError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message([] { floatDiv(1, 0); }), "0 による浮動小数点数除算");
    EXPECT_EQ(message([] { intDiv(1, 0); }), "ゼロによる除算");
    EXPECT_EQ(message([] { checkedLn(0); }), "不正な浮動小数点数演算命令");
    EXPECT_EQ(message([] { checkedSqrt(-1); }), "不正な浮動小数点数演算命令");
    EXPECT_EQ(intDiv(-7, 2), -3); // truncates toward zero
    EXPECT_EQ(formatMessage(msg::cannotOpenFile, "a.raw"), "ファイル a.raw は開けません");
}

TEST(MemoLines, LineRule)
{
    MemoLines m;
    EXPECT_EQ(m.lines(), std::vector<std::string>{""});
    m.setLine(0, "a\r\nb\r\n");
    EXPECT_EQ(m.lines(), (std::vector<std::string>{"a", "b", ""}));
    m.setLine(1, "x\r\ny");
    EXPECT_EQ(m.lines(), (std::vector<std::string>{"a", "x", "y", ""}));
    m.setLine(7, "ignored");
    m.setLine(-1, "ignored");
    EXPECT_EQ(m.lines().size(), 4u);
    m.clear();
    EXPECT_EQ(m.lines(), std::vector<std::string>{""});
}

TEST(PixelAccess, ByteOrderSignAndBounds)
{
    const std::vector<std::uint8_t> bytes = {0x01, 0x02, 0xFF, 0xFF, 0x00, 0x80, 0x07};
    const PixelAccess plain(bytes, 0, 3, false), swapped(bytes, 0, 3, true);
    EXPECT_EQ(*plain.word(0, 0), 0x0201);
    EXPECT_EQ(*swapped.word(0, 0), 0x0102);
    EXPECT_EQ(*plain.value(1, 0), -1);
    EXPECT_EQ(*plain.value(2, 0), -32768);
    EXPECT_FALSE(plain.value(3, 0)); // only one byte left
    EXPECT_FALSE(plain.value(0, 1));
    EXPECT_FALSE(PixelAccess(bytes, -2, 3, false).value(0, 0)); // negative header
    EXPECT_EQ(*PixelAccess(bytes, -2, 3, false).value(1, 0), 0x0201);
    EXPECT_FALSE(PixelAccess(bytes, 1LL << 40, 3, false).value(0, 0));
}

TEST(Rescale, RoundsTiesToEvenAndWrapsTo16Bits)
{
    EXPECT_EQ(rescaleValue(0, 1, -1024), -1024);
    EXPECT_EQ(rescaleValue(3, 0.5, 0), 2);
    EXPECT_EQ(rescaleValue(5, 0.5, 0), 2);
    EXPECT_EQ(rescaleValue(32767, 1, 1), -32768);
    EXPECT_THROW(rescaleValue(1, 1e300, 0), MathError);
}
