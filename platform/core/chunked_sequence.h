#pragma once

// A sequence kept in chunks of at most kMaxChunk elements, with a Fenwick
// tree over the chunk sizes. Reaching, inserting and erasing the element at an
// index cost O(log n) plus a shift inside one chunk, where a plain vector
// shifts everything after the place: a sorted list that takes n strings in
// any order takes O(n log n), not O(n^2). A chunk that splits (once per
// kMaxChunk / 2 insertions into it) re-indexes the chunks, O(n / kMaxChunk);
// up to a few hundred thousand elements that costs less than the searches.
// Reads change nothing, so a const sequence may be read from several threads.

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace lark {

template <typename T>
class ChunkedSequence {
 public:
  [[nodiscard]] std::size_t size() const { return size_; }
  [[nodiscard]] bool empty() const { return size_ == 0; }

  [[nodiscard]] T& operator[](std::size_t index) {
    const Place place = Locate(index);
    return chunks_[place.Chunk][place.Offset];
  }
  [[nodiscard]] const T& operator[](std::size_t index) const {
    const Place place = Locate(index);
    return chunks_[place.Chunk][place.Offset];
  }

  // index may be size(): the element goes last.
  void insert(std::size_t index, T value) {
    if (chunks_.empty()) {
      chunks_.emplace_back();
      RebuildTree();
    }
    const Place place = index >= size_ ? Place{chunks_.size() - 1, chunks_.back().size()} : Locate(index);
    std::vector<T>& chunk = chunks_[place.Chunk];
    chunk.insert(chunk.begin() + static_cast<std::ptrdiff_t>(place.Offset), std::move(value));
    ++size_;
    if (chunk.size() > kMaxChunk) {
      std::vector<T> upper(std::make_move_iterator(chunk.begin() + kMaxChunk / 2),
                           std::make_move_iterator(chunk.end()));
      chunk.erase(chunk.begin() + kMaxChunk / 2, chunk.end());
      chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(place.Chunk + 1), std::move(upper));
      RebuildTree();
    } else {
      AddToTree(place.Chunk, 1);
    }
  }

  void erase(std::size_t index) {
    const Place place = Locate(index);
    std::vector<T>& chunk = chunks_[place.Chunk];
    chunk.erase(chunk.begin() + static_cast<std::ptrdiff_t>(place.Offset));
    --size_;
    if (chunk.empty()) {
      chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(place.Chunk));
      RebuildTree();
    } else {
      AddToTree(place.Chunk, -1);
    }
  }

  // For a sequence ordered so that `before(element)` holds for a prefix of
  // it: the length of that prefix.
  template <typename Before>
  [[nodiscard]] std::size_t PartitionPoint(Before before) const {
    const auto chunk = std::partition_point(chunks_.begin(), chunks_.end(),
                                            [&](const std::vector<T>& c) { return before(c.back()); });
    if (chunk == chunks_.end()) return size_;
    const auto at = std::partition_point(chunk->begin(), chunk->end(), before);
    const auto chunkIndex = static_cast<std::size_t>(chunk - chunks_.begin());
    return ChunkStart(chunkIndex) + static_cast<std::size_t>(at - chunk->begin());
  }

  // Every element, in order; the sequence is left empty.
  [[nodiscard]] std::vector<T> TakeAll() {
    std::vector<T> all;
    all.reserve(size_);
    for (std::vector<T>& chunk : chunks_)
      for (T& element : chunk) all.push_back(std::move(element));
    chunks_.clear();
    RebuildTree();
    size_ = 0;
    return all;
  }

  void Assign(std::vector<T> all) {
    chunks_.clear();
    for (std::size_t start = 0; start < all.size(); start += kMaxChunk / 2) {
      const std::size_t end = std::min(all.size(), start + kMaxChunk / 2);
      chunks_.emplace_back(std::make_move_iterator(all.begin() + static_cast<std::ptrdiff_t>(start)),
                           std::make_move_iterator(all.begin() + static_cast<std::ptrdiff_t>(end)));
    }
    size_ = all.size();
    RebuildTree();
  }

  void clear() { (void)TakeAll(); }

 private:
  static constexpr std::size_t kMaxChunk = 128;

  struct Place {
    std::size_t Chunk;
    std::size_t Offset;
  };

  // The chunk holding `index` (index < size()) and the offset in it.
  Place Locate(std::size_t index) const {
    std::size_t chunk = 0;
    std::size_t remaining = index;
    for (std::size_t step = topStep_; step > 0; step >>= 1)
      if (chunk + step < tree_.size() && tree_[chunk + step] <= remaining) {
        chunk += step;
        remaining -= tree_[chunk];
      }
    return {chunk, remaining};
  }

  // Elements in the chunks before `chunk`.
  std::size_t ChunkStart(std::size_t chunk) const {
    std::size_t sum = 0;
    for (std::size_t i = chunk; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }

  void AddToTree(std::size_t chunk, int delta) {
    for (std::size_t i = chunk + 1; i < tree_.size(); i += i & (~i + 1))
      tree_[i] = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(tree_[i]) + delta);
  }

  void RebuildTree() {
    tree_.assign(chunks_.size() + 1, 0);
    for (std::size_t i = 1; i < tree_.size(); ++i) {
      tree_[i] += chunks_[i - 1].size();
      const std::size_t parent = i + (i & (~i + 1));
      if (parent < tree_.size()) tree_[parent] += tree_[i];
    }
    topStep_ = 1;
    while (topStep_ * 2 < tree_.size()) topStep_ *= 2;
  }

  std::vector<std::vector<T>> chunks_;
  std::vector<std::size_t> tree_{0};  // 1-based Fenwick tree of chunk sizes
  std::size_t topStep_ = 1;
  std::size_t size_ = 0;
};

}  // namespace lark
