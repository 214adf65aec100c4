#include "platform/graphics/arithmetic.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace lark {

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  int64_t product = int64_t(a) * b;
  int64_t divisor = c;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  const int64_t half = divisor / 2;
  const int64_t result = product >= 0 ? (product + half) / divisor : -((-product + half) / divisor);
  if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min()) return -1;
  return int(result);
}

int Round(double value) {
  // The default floating-point rounding mode is round-half-to-even.
  return int(std::nearbyint(value));
}

}  // namespace lark
