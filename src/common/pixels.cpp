#include "common/pixels.h"

#include "common/numeric.h"

namespace tarven {

std::int16_t rescaleValue(std::int16_t v, double slope, double intercept)
{
    const std::int64_t r = roundToInt64(static_cast<double>(v) * slope + intercept);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint64_t>(r) & 0xFFFFu));
}

} // namespace tarven
