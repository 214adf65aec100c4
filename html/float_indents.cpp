#include "html/float_indents.h"

#include <algorithm>

#include "html/document_coordinates.h"

namespace lark {

namespace {

// The tree spans every Y a document can hold, in half-open bands.
constexpr std::int64_t kLowest = -static_cast<std::int64_t>(kMaxDocumentCoordinate);
constexpr std::int64_t kHighest = static_cast<std::int64_t>(kMaxDocumentCoordinate) + 1;

}  // namespace

std::int32_t TFloatIndents::Child(std::int32_t node, int side) {
  if (nodes_[static_cast<std::size_t>(node)].Children[side] < 0) {
    nodes_.push_back(TNode{});
    nodes_[static_cast<std::size_t>(node)].Children[side] = static_cast<std::int32_t>(nodes_.size() - 1);
  }
  return nodes_[static_cast<std::size_t>(node)].Children[side];
}

void TFloatIndents::Place(std::int32_t node, std::int64_t low, std::int64_t high, std::int64_t from,
                          std::int64_t to, int x, std::size_t index) {
  // Recursion as deep as the tree is high (32 levels), never deeper.
  if (to <= low || high <= from) return;
  if (from <= low && high <= to) {
    TNode& target = nodes_[static_cast<std::size_t>(node)];
    int edge = x;
    if (target.Top >= 0 && Outer(entries_[static_cast<std::size_t>(target.Top)].Edge, edge))
      edge = entries_[static_cast<std::size_t>(target.Top)].Edge;
    entries_.push_back({edge, node, target.Top, index});
    target.Top = static_cast<std::int32_t>(entries_.size() - 1);
    return;
  }
  const std::int64_t middle = low + (high - low) / 2;
  Place(Child(node, 0), low, middle, from, to, x, index);
  Place(Child(node, 1), middle, high, from, to, x, index);
}

void TFloatIndents::Add(const TFloat& band) {
  floats_.push_back(band);
  bottoms_.insert(band.YB);
  const std::int64_t from = std::clamp<std::int64_t>(band.YT, kLowest, kHighest);
  const std::int64_t to = std::clamp<std::int64_t>(band.YB, kLowest, kHighest);
  if (nodes_.empty()) nodes_.emplace_back();
  if (from < to) Place(0, kLowest, kHighest, from, to, band.X, floats_.size() - 1);
}

void TFloatIndents::Truncate(std::size_t count) {
  // Entries were made in the floats' order, so those of the dropped floats
  // are the last ones, each on top of its node.
  while (!entries_.empty() && entries_.back().Float >= count) {
    nodes_[static_cast<std::size_t>(entries_.back().Node)].Top = entries_.back().Below;
    entries_.pop_back();
  }
  while (floats_.size() > count) {
    bottoms_.erase(bottoms_.find(floats_.back().YB));
    floats_.pop_back();
  }
}

void TFloatIndents::Clear() {
  floats_.clear();
  nodes_.clear();
  entries_.clear();
  bottoms_.clear();
}

bool TFloatIndents::EdgeAt(int y, int& x) const {
  bool found = false;
  std::int32_t node = nodes_.empty() ? -1 : 0;
  std::int64_t low = kLowest, high = kHighest;
  const std::int64_t at = std::clamp<std::int64_t>(y, kLowest, kHighest - 1);
  while (node >= 0) {
    const TNode& here = nodes_[static_cast<std::size_t>(node)];
    if (here.Top >= 0) {
      const int edge = entries_[static_cast<std::size_t>(here.Top)].Edge;
      if (!found || Outer(edge, x)) x = edge;
      found = true;
    }
    const std::int64_t middle = low + (high - low) / 2;
    const int side = at < middle ? 0 : 1;
    (side == 0 ? high : low) = middle;
    node = here.Children[side];
  }
  return found;
}

int TFloatIndents::NextBottomBelow(int y, int none) const {
  const auto next = bottoms_.upper_bound(y);
  return next == bottoms_.end() ? none : *next;
}

}  // namespace lark
