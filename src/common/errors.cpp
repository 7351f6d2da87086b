#include "common/errors.h"

namespace tarven {

std::string formatMessage(std::string_view pattern, std::string_view arg)
{
    std::string out(pattern);
    if (auto at = out.find("%s"); at != std::string::npos)
        out.replace(at, 2, arg);
    return out;
}

void throwNotInteger(std::string_view text) { throw ConvertError(formatMessage(msg::notInteger, text)); }
void throwNotFloat(std::string_view text) { throw ConvertError(formatMessage(msg::notFloat, text)); }
void throwFloatDivByZero() { throw MathError(std::string(msg::floatDivByZero)); }
void throwInvalidFloatOp() { throw MathError(std::string(msg::invalidFloatOp)); }
void throwIntDivByZero() { throw MathError(std::string(msg::intDivByZero)); }
void throwCannotOpen(std::string_view fileName) { throw FileError(formatMessage(msg::cannotOpenFile, fileName)); }

} // namespace tarven
