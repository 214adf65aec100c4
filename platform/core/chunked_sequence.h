#pragma once

// A sequence kept in chunks of at most kMaxChunk elements, with a Fenwick
// tree over the chunk sizes. Reaching, inserting and erasing the element at an
// index cost O(log n) plus a shift inside one chunk, where a plain vector
// shifts everything after the place: a sorted list that takes n strings in
// any order takes O(n log n), not O(n^2). A chunk that splits (once per
// kMaxChunk / 2 insertions into it) re-indexes the chunks, O(n / kMaxChunk);
// up to a few hundred thousand elements that costs less than the searches.
// Reads change nothing, so a const sequence may be read from several threads.
//
// Beside the chunks it keeps a copy of each chunk's last key (KeyOf of its
// last element) in one array, so that a search first bisects that compact
// array and then touches a single chunk: bisecting the chunks themselves
// would miss the cache at every step once the sequence outgrows it.

#include <algorithm>
#include <cstddef>
#include <type_traits>
#include <utility>
#include <vector>

namespace lark {

template <typename T>
struct WholeElement {
  const T& operator()(const T& element) const { return element; }
};

template <typename T, typename KeyOf = WholeElement<T>>
class ChunkedSequence {
 public:
  using Key = std::decay_t<std::invoke_result_t<KeyOf, const T&>>;

  [[nodiscard]] std::size_t size() const { return size_; }
  [[nodiscard]] bool empty() const { return size_ == 0; }

  [[nodiscard]] const T& operator[](std::size_t index) const {
    const Place place = Locate(index);
    return chunks_[place.Chunk][place.Offset];
  }

  // Changes the element at index in place through change(T&).
  template <typename Change>
  void Modify(std::size_t index, Change change) {
    const Place place = Locate(index);
    change(chunks_[place.Chunk][place.Offset]);
    if (place.Offset + 1 == chunks_[place.Chunk].size()) RefreshLastKey(place.Chunk);
  }

  // index may be size(): the element goes last.
  void insert(std::size_t index, T value) {
    if (chunks_.empty()) {
      StartFirstChunk(std::move(value));
      return;
    }
    const Place place = index >= size_ ? Place{chunks_.size() - 1, chunks_.back().size()} : Locate(index);
    std::vector<T>& chunk = chunks_[place.Chunk];
    chunk.insert(chunk.begin() + static_cast<std::ptrdiff_t>(place.Offset), std::move(value));
    ++size_;
    if (chunk.size() > kMaxChunk) {
      Overflow(place.Chunk);
    } else {
      if (place.Offset + 1 == chunk.size()) RefreshLastKey(place.Chunk);
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
      lastKeys_.erase(lastKeys_.begin() + static_cast<std::ptrdiff_t>(place.Chunk));
      RebuildTree();
    } else {
      if (place.Offset == chunk.size()) RefreshLastKey(place.Chunk);
      AddToTree(place.Chunk, -1);
    }
  }

  // For a sequence ordered so that `before(KeyOf(element))` holds for a
  // prefix of it: the length of that prefix.
  template <typename Before>
  [[nodiscard]] std::size_t PartitionPoint(Before before) const {
    const auto last = std::partition_point(lastKeys_.begin(), lastKeys_.end(), before);
    if (last == lastKeys_.end()) return size_;
    const auto chunkIndex = static_cast<std::size_t>(last - lastKeys_.begin());
    const std::vector<T>& chunk = chunks_[chunkIndex];
    Prefetch(chunk);
    const auto at = std::partition_point(chunk.begin(), chunk.end(),
                                         [&](const T& element) { return before(KeyOf{}(element)); });
    return ChunkStart(chunkIndex) + static_cast<std::size_t>(at - chunk.begin());
  }

  // Every element, in order; the sequence is left empty.
  [[nodiscard]] std::vector<T> TakeAll() {
    std::vector<T> all;
    all.reserve(size_);
    for (std::vector<T>& chunk : chunks_)
      for (T& element : chunk) all.push_back(std::move(element));
    chunks_.clear();
    lastKeys_.clear();
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
    lastKeys_.clear();
    for (const std::vector<T>& chunk : chunks_) lastKeys_.push_back(KeyOf{}(chunk.back()));
    RebuildTree();
  }

  void clear() { (void)TakeAll(); }

 private:
  static constexpr std::size_t kMaxChunk = 128;

  struct Place {
    std::size_t Chunk;
    std::size_t Offset;
  };

  // Asks for every cache line of a chunk at once, so that the bisection and
  // the shift that follow wait for memory about once instead of at each of
  // their dependent steps.
  static void Prefetch(const std::vector<T>& chunk) {
    constexpr std::size_t kCacheLine = 64;
    const char* bytes = reinterpret_cast<const char*>(chunk.data());
    for (std::size_t at = 0; at < chunk.size() * sizeof(T); at += kCacheLine) __builtin_prefetch(bytes + at);
  }

  void StartFirstChunk(T value) {
    chunks_.emplace_back().push_back(std::move(value));
    lastKeys_.push_back(KeyOf{}(chunks_.back().back()));
    size_ = 1;
    RebuildTree();
  }

  // A chunk past kMaxChunk gives its upper elements to the next chunk when
  // that one has room: a split inserts a chunk, which moves every later
  // chunk key and rebuilds the tree, O(n / kMaxChunk) each time.
  void Overflow(std::size_t index) {
    const bool nextHasRoom = index + 1 < chunks_.size() && chunks_[index + 1].size() < kMaxChunk * 3 / 4;
    if (nextHasRoom) {
      ShiftIntoNext(index);
    } else {
      Split(index);
    }
  }

  // Evens out a chunk and the next one; the next one's last key stays.
  void ShiftIntoNext(std::size_t index) {
    std::vector<T>& chunk = chunks_[index];
    std::vector<T>& next = chunks_[index + 1];
    const std::size_t moved = (chunk.size() - next.size()) / 2;
    const auto from = chunk.end() - static_cast<std::ptrdiff_t>(moved);
    next.insert(next.begin(), std::make_move_iterator(from), std::make_move_iterator(chunk.end()));
    chunk.erase(from, chunk.end());
    RefreshLastKey(index);
    AddToTree(index, 1 - static_cast<int>(moved));  // the element inserted was not counted yet
    AddToTree(index + 1, static_cast<int>(moved));
  }

  // Moves the upper half of a chunk that has outgrown kMaxChunk into a new
  // chunk after it.
  void Split(std::size_t index) {
    std::vector<T>& chunk = chunks_[index];
    std::vector<T> upper(std::make_move_iterator(chunk.begin() + kMaxChunk / 2),
                         std::make_move_iterator(chunk.end()));
    chunk.erase(chunk.begin() + kMaxChunk / 2, chunk.end());
    const auto after = static_cast<std::ptrdiff_t>(index + 1);
    lastKeys_.insert(lastKeys_.begin() + after, KeyOf{}(upper.back()));
    const std::size_t moved = upper.size();
    chunks_.insert(chunks_.begin() + after, std::move(upper));
    RefreshLastKey(index);
    if (index + 2 == chunks_.size()) {
      // Names arriving in order split the last chunk only: the tree grows
      // by one node instead of being rebuilt.
      AddToTree(index, 1 - static_cast<int>(moved));  // the element inserted was not counted yet
      AppendToTree(moved);
    } else {
      RebuildTree();
    }
  }

  // Adds the node of the last chunk, of `size` elements, to the tree.
  void AppendToTree(std::size_t size) {
    const std::size_t node = tree_.size();
    const std::size_t first = node - (node & (~node + 1));  // the node sums chunks first .. node-1
    tree_.push_back(ChunkStart(node - 1) - ChunkStart(first) + size);
    while (topStep_ * 2 < tree_.size()) topStep_ *= 2;
  }

  void RefreshLastKey(std::size_t chunk) { lastKeys_[chunk] = KeyOf{}(chunks_[chunk].back()); }

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
  std::vector<Key> lastKeys_;  // lastKeys_[i] is KeyOf(chunks_[i].back())
  std::vector<std::size_t> tree_{0};  // 1-based Fenwick tree of chunk sizes
  std::size_t topStep_ = 1;
  std::size_t size_ = 0;
};

}  // namespace lark
