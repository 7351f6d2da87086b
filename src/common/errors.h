#pragma once
// Error types of the measurement engines. Each carries the exact message the
// user sees (UTF-8); a window's handler guard shows it in a message box and
// ends the handler, keeping whatever the handler had written before.
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarven {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that does not convert to a number.
class ConvertError : public Error {
public:
    using Error::Error;
};

// Integer division by zero, floating-point division by zero, an invalid
// floating-point operation (logarithm of 0 or less, square root of a negative).
class MathError : public Error {
public:
    using Error::Error;
};

// A file that cannot be opened, read or written.
class FileError : public Error {
public:
    using Error::Error;
};

namespace msg {
inline constexpr std::string_view notInteger = "'%s' は整数ではありません";
inline constexpr std::string_view notFloat = "'%s' は浮動小数点数ではありません";
inline constexpr std::string_view floatDivByZero = "0 による浮動小数点数除算";
inline constexpr std::string_view invalidFloatOp = "不正な浮動小数点数演算命令";
inline constexpr std::string_view intDivByZero = "ゼロによる除算";
inline constexpr std::string_view cannotOpenFile = "ファイル %s は開けません";
} // namespace msg

// Replaces the first "%s" of pattern with arg.
std::string formatMessage(std::string_view pattern, std::string_view arg);

[[noreturn]] void throwNotInteger(std::string_view text);
[[noreturn]] void throwNotFloat(std::string_view text);
[[noreturn]] void throwFloatDivByZero();
[[noreturn]] void throwInvalidFloatOp();
[[noreturn]] void throwIntDivByZero();
[[noreturn]] void throwCannotOpen(std::string_view fileName);

} // namespace tarven
