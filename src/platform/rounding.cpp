#include "platform/rounding.h"

#include <cmath>
#include <limits>

namespace vimbrel {

namespace {

double halfEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0))
        return lower + 1.0;
    return lower;
}

} // namespace

int roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = halfEven(value);
    if (rounded > double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (rounded < double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(rounded);
}

std::optional<int> roundHalfEvenChecked(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = halfEven(value);
    if (rounded > double(std::numeric_limits<int>::max()) ||
        rounded < double(std::numeric_limits<int>::min()))
        return std::nullopt;
    return int(rounded);
}

} // namespace vimbrel
