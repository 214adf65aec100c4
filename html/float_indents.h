#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

namespace lark {

// The floats standing on one side of a cell: for each, the band [YT, YB)
// it covers and the X its edge facing the text stands at. A line asks for
// the outermost edge of the floats that cover its Y; layout asks which
// float ends next and where the lowest ends.
//
// Every such question costs O(log) of the document's height, whatever the
// number of floats and in whatever order the Ys come (positioned boxes and
// negative margins move layout back up): the bands are kept in a segment
// tree over the document's Y range, each band at the O(log) nodes that
// tile it, so the floats covering a Y are those on one root-to-leaf path.
// Floats are only added at the end and taken back from the end (a layout
// that fails part-way), so each node keeps its floats as a stack with the
// running outermost edge.
class TFloatIndents {
 public:
  // On the left side the outermost edge is the largest X, on the right the
  // smallest.
  explicit TFloatIndents(bool leftSide) : leftSide_(leftSide) {}

  struct TFloat {
    int X, YT, YB;
  };

  [[nodiscard]] std::size_t Count() const { return floats_.size(); }
  [[nodiscard]] const TFloat& operator[](std::size_t index) const { return floats_[index]; }
  void Add(const TFloat& band);
  // Keeps only the first `count` floats.
  void Truncate(std::size_t count);
  void Clear();

  // The outermost edge of the floats covering y; false when none does.
  [[nodiscard]] bool EdgeAt(int y, int& x) const;
  // The lowest bottom of all floats, or `none` without floats.
  [[nodiscard]] int LowestBottom(int none) const { return bottoms_.empty() ? none : *bottoms_.rbegin(); }
  // The nearest bottom below y, or `none` when no float ends lower.
  [[nodiscard]] int NextBottomBelow(int y, int none) const;

 private:
  struct TNode {
    std::int32_t Children[2] = {-1, -1};
    std::int32_t Top = -1;  // the last entry placed here, or -1
  };
  struct TEntry {
    int Edge;  // the outermost edge of this entry and those below it on its node
    std::int32_t Node;
    std::int32_t Below;  // the entry placed on the node before it
    std::size_t Float;
  };

  [[nodiscard]] bool Outer(int a, int b) const { return leftSide_ ? a > b : a < b; }
  void Place(std::int32_t node, std::int64_t low, std::int64_t high, std::int64_t from, std::int64_t to, int x,
             std::size_t index);
  std::int32_t Child(std::int32_t node, int side);

  bool leftSide_;
  std::vector<TFloat> floats_;
  std::vector<TNode> nodes_;  // the root first, made with the first float
  std::vector<TEntry> entries_;
  std::multiset<int> bottoms_;
};

}  // namespace lark
