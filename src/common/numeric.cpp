#include "common/numeric.h"

#include "common/errors.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace tarven {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
} // namespace

std::int32_t parseInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        throwNotInteger(text);
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i]))
            throwNotInteger(text);
        value = value * 10 + (text[i] - '0');
        if (value > std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1)
            throwNotInteger(text);
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min())
        throwNotInteger(text);
    return static_cast<std::int32_t>(value);
}

double parseFloat(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    std::string_view t = text.substr(b, e - b);
    // Validate the shape ourselves: from_chars would accept "inf" and "nan".
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < t.size() && isDigit(t[i]))
        ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isDigit(t[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        throwNotFloat(text);
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < t.size() && isDigit(t[i]))
            ++i, ++expDigits;
        if (expDigits == 0)
            throwNotFloat(text);
    }
    if (i != t.size())
        throwNotFloat(text);
    std::string_view body = t;
    if (!body.empty() && body.front() == '+')
        body.remove_prefix(1);
    double value = 0;
    auto [ptr, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (ec != std::errc() || ptr != body.data() + body.size() || !std::isfinite(value))
        throwNotFloat(text);
    return value;
}

double roundEven(double x)
{
    // The default floating-point environment rounds to nearest, ties to even.
    return std::nearbyint(x);
}

std::int64_t roundToInt64(double x)
{
    double r = roundEven(x);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        throwInvalidFloatOp();
    return static_cast<std::int64_t>(r);
}

std::int64_t truncToInt64(double x)
{
    double r = std::trunc(x);
    if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
        throwInvalidFloatOp();
    return static_cast<std::int64_t>(r);
}

double floatDiv(double a, double b)
{
    if (b == 0.0)
        throwFloatDivByZero();
    return a / b;
}

std::int64_t intDiv(std::int64_t a, std::int64_t b)
{
    if (b == 0)
        throwIntDivByZero();
    if (b == -1)
        return -a; // avoids the one overflowing quotient of INT64_MIN / -1 trapping
    return a / b;
}

double checkedLn(double x)
{
    if (!(x > 0.0))
        throwInvalidFloatOp();
    return std::log(x);
}

double checkedSqrt(double x)
{
    if (!(x >= 0.0))
        throwInvalidFloatOp();
    return std::sqrt(x);
}

std::string formatGeneral(double x)
{
    if (std::isnan(x))
        return "NAN";
    if (std::isinf(x))
        return x > 0 ? "INF" : "-INF";
    if (x == 0.0)
        return "0";
    // Round to 15 significant digits first; the notation follows the exponent
    // of the rounded value (9.999999999999999E-6 becomes 0.00001).
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", x);
    std::string s(buf);
    const bool negative = s[0] == '-';
    if (negative)
        s.erase(0, 1);
    const auto ePos = s.find('e');
    const int exponent = std::stoi(s.substr(ePos + 1));
    std::string digits = s.substr(0, 1) + s.substr(2, ePos - 2);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= -5 && exponent < 15) {
        if (exponent < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        } else {
            const auto intDigits = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= intDigits) {
                out += digits;
                out.append(intDigits - digits.size(), '0');
            } else {
                out += digits.substr(0, intDigits);
                out += '.';
                out += digits.substr(intDigits);
            }
        }
    } else {
        out += digits.substr(0, 1);
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'E';
        out += std::to_string(exponent);
    }
    return out;
}

std::string formatInt(std::int64_t x) { return std::to_string(x); }

} // namespace tarven
