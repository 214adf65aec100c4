#pragma once
// The arithmetic of column sizing: 64-bit products and sums, no division by
// zero, results held within an int.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace lark {

// a * b / c rounded to the nearest, through 64 bits; 0 when c is 0.
[[nodiscard]] inline int MulDiv(std::int64_t a, std::int64_t b, std::int64_t c) {
  if (c == 0) return 0;
  const bool negative = ((a < 0) != (b < 0)) != (c < 0);
  const std::int64_t product = (a < 0 ? -a : a) * (b < 0 ? -b : b);  // operands are within 2^31
  const std::int64_t divisor = c < 0 ? -c : c;
  const std::int64_t quotient = (product + divisor / 2) / divisor;
  const std::int64_t result = negative ? -quotient : quotient;
  return static_cast<int>(std::clamp<std::int64_t>(result, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

// The columns a cell spans.
struct TColumnSpan {
  int First, Count;
};

// What a share in proportion to zero weights goes to.
enum class TZeroSum { ToFirst, Equal };

[[nodiscard]] inline std::int64_t SumPositive(const std::vector<int>& values, TColumnSpan span) {
  std::int64_t sum = 0;
  for (int i = span.First; i < span.First + span.Count; ++i) sum += std::max(0, values[static_cast<std::size_t>(i)]);
  return sum;
}

[[nodiscard]] inline int CountZero(const std::vector<int>& values, TColumnSpan span) {
  int count = 0;
  for (int i = span.First; i < span.First + span.Count; ++i) count += values[static_cast<std::size_t>(i)] <= 0;
  return count;
}

// Adds `amount` to the spanned values in proportion to `weights` (the last
// spanned column takes the rounding), so that they gain exactly `amount`.
inline void Spread(std::vector<int>& values, TColumnSpan span, std::int64_t amount, const std::vector<int>& weights,
                   TZeroSum zeroSum) {
  const std::int64_t weightSum = SumPositive(weights, span);
  std::int64_t given = 0;
  for (int i = span.First; i < span.First + span.Count; ++i) {
    const auto c = static_cast<std::size_t>(i);
    std::int64_t share = 0;
    if (i == span.First + span.Count - 1) share = amount - given;
    else if (weightSum > 0) share = MulDiv(amount, std::max(0, weights[c]), weightSum);
    else if (zeroSum == TZeroSum::Equal) share = amount / span.Count;
    else if (i == span.First) share = amount;
    given += share;
    values[c] = static_cast<int>(std::min<std::int64_t>(values[c] + share, std::numeric_limits<int>::max() / 2));
  }
}

// The spanned values grow, in proportion to `weights`, until they add up to
// at least `target`.
inline void GrowToAtLeast(std::vector<int>& values, TColumnSpan span, int target, const std::vector<int>& weights,
                          TZeroSum zeroSum) {
  const std::int64_t sum = SumPositive(values, span);
  if (sum < target) Spread(values, span, target - sum, weights, zeroSum);
}

// The spanned minima grow to `target` in equal shares to the columns
// without a percentage.
inline void GrowUnsetToAtLeast(std::vector<int>& mins, TColumnSpan span, int target,
                               const std::vector<int>& percents) {
  const std::int64_t excess = target - SumPositive(mins, span);
  const int unset = CountZero(percents, span);
  if (excess < 1 || unset == 0) return;
  int seen = 0;
  for (int i = span.First; i < span.First + span.Count; ++i) {
    const auto c = static_cast<std::size_t>(i);
    if (percents[c] > 0) continue;
    ++seen;
    mins[c] += static_cast<int>(seen == unset ? excess - excess / unset * (unset - 1) : excess / unset);
  }
}

// The spanned percentages scaled to add up to `target`.
inline void ScaleTo(std::vector<int>& percents, TColumnSpan span, int target) {
  const std::int64_t sum = SumPositive(percents, span);
  if (sum < 1) return;
  const std::vector<int> weights = percents;
  for (int i = span.First; i < span.First + span.Count; ++i) percents[static_cast<std::size_t>(i)] = 0;
  Spread(percents, span, target, weights, TZeroSum::Equal);
}

// Widths between the minima and maxima: each column gets its minimum plus
// its share of the room above the minimum total.
[[nodiscard]] inline std::vector<int> Interpolate(const std::vector<int>& mins, const std::vector<int>& maxs,
                                                  std::int64_t minTotal, std::int64_t maxTotal, int width) {
  std::vector<int> widths(mins.size());
  for (std::size_t c = 0; c < mins.size(); ++c)
    widths[c] = maxTotal == minTotal ? mins[c] + MulDiv(mins[c], width - minTotal, minTotal)
                                     : mins[c] + MulDiv(maxs[c] - mins[c], width - minTotal, maxTotal - minTotal);
  return widths;
}

}  // namespace lark
