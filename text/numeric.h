// Number conversions shared by the text code: truncation of layout arithmetic
// to 32-bit integers without undefined behaviour for values out of range.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace skyloom {

// Truncates toward zero like a C cast, but clamps to the int32 range (and
// gives 0 for NaN) so that absurd widths from a damaged font cannot overflow.
inline int32_t TruncateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace skyloom
