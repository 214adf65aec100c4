#include "platform/core/chunked_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace lark {
namespace {

// An element that counts how often elements are moved or copied: the work a
// sequence does to make room.
struct Counted {
  static inline long Moves = 0;
  int Value;
  explicit Counted(int value) : Value(value) {}
  Counted(const Counted& other) : Value(other.Value) { ++Moves; }
  Counted(Counted&& other) noexcept : Value(other.Value) { ++Moves; }
  Counted& operator=(const Counted& other) {
    Value = other.Value;
    ++Moves;
    return *this;
  }
  Counted& operator=(Counted&& other) noexcept {
    Value = other.Value;
    ++Moves;
    return *this;
  }
};

std::vector<int> Values(const ChunkedSequence<Counted>& sequence) {
  std::vector<int> values;
  for (std::size_t i = 0; i < sequence.size(); ++i) values.push_back(sequence[i].Value);
  return values;
}

TEST(ChunkedSequence, InsertsAndErasesAnywhereWithBoundedWork) {
  constexpr int n = 50'000;
  // Inserting at the front n times: a vector would move n^2/2 elements.
  ChunkedSequence<Counted> front;
  Counted::Moves = 0;
  for (int i = 0; i < n; ++i) front.insert(0, Counted(i));
  EXPECT_LT(Counted::Moves, 1100L * n);
  const std::vector<int> values = Values(front);
  for (int i = 0; i < n; ++i) ASSERT_EQ(values[static_cast<std::size_t>(i)], n - 1 - i);

  // Random places, checked against a vector doing the same.
  std::mt19937 rng(7);
  ChunkedSequence<Counted> sequence;
  std::vector<int> reference;
  for (int i = 0; i < 5000; ++i) {
    const std::size_t at = rng() % (reference.size() + 1);
    sequence.insert(at, Counted(i));
    reference.insert(reference.begin() + static_cast<std::ptrdiff_t>(at), i);
  }
  for (int i = 0; i < 4000; ++i) {
    const std::size_t at = rng() % reference.size();
    sequence.erase(at);
    reference.erase(reference.begin() + static_cast<std::ptrdiff_t>(at));
  }
  EXPECT_EQ(Values(sequence), reference);
  sequence.clear();
  EXPECT_TRUE(sequence.empty());
}

TEST(ChunkedSequence, PartitionPointOfASortedSequence) {
  ChunkedSequence<Counted> sorted;
  for (int i = 0; i < 3000; ++i) sorted.insert(sorted.size(), Counted(2 * i));
  for (int key : {-1, 0, 1, 1023, 1024, 5998, 5999, 7000})
    EXPECT_EQ(sorted.PartitionPoint([key](const Counted& c) { return c.Value < key; }),
              static_cast<std::size_t>(std::clamp((key + 1) / 2, 0, 3000)))
        << key;
}

// The search reads a copy of each chunk's last element: inserting, erasing and
// changing elements anywhere, chunk ends included, must keep it true.
TEST(ChunkedSequence, PartitionPointFollowsEveryChange) {
  std::mt19937 rng(11);
  ChunkedSequence<Counted> sorted;
  std::vector<int> reference;
  const auto lowerBound = [&](int key) {
    return static_cast<std::size_t>(std::lower_bound(reference.begin(), reference.end(), key) - reference.begin());
  };
  for (int step = 0; step < 20'000; ++step) {
    const int value = static_cast<int>(rng() % 100'000) * 4;
    if (step % 3 == 2 && !reference.empty()) {
      const std::size_t at = rng() % reference.size();
      sorted.erase(at);
      reference.erase(reference.begin() + static_cast<std::ptrdiff_t>(at));
    } else if (step % 5 == 4 && !reference.empty()) {
      const std::size_t at = rng() % reference.size();
      if (at + 1 < reference.size() && reference[at] + 1 >= reference[at + 1]) continue;  // would leave the order
      sorted.Modify(at, [](Counted& c) { c.Value += 1; });
      reference[at] += 1;
    } else {
      const std::size_t at = lowerBound(value);
      sorted.insert(at, Counted(value));
      reference.insert(reference.begin() + static_cast<std::ptrdiff_t>(at), value);
    }
    const int probe = reference.empty() ? 0 : reference[rng() % reference.size()] + static_cast<int>(rng() % 3) - 1;
    ASSERT_EQ(sorted.PartitionPoint([probe](const Counted& c) { return c.Value < probe; }), lowerBound(probe))
        << "step " << step;
  }
}

}  // namespace
}  // namespace lark
