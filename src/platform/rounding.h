#pragma once

#include <optional>

namespace vimbrel {

// Nearest integer, halves to the even neighbour: the rounding of numbers typed into boxes and of
// every width computed from twips. Values beyond the 32-bit range are clamped to it.
[[nodiscard]] int roundHalfEven(double value);
// The same, but std::nullopt when the value is not finite or lies outside the 32-bit range.
[[nodiscard]] std::optional<int> roundHalfEvenChecked(double value);

} // namespace vimbrel
