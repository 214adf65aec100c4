#pragma once

// A document list of back references (sections by position, link runs,
// windows, waiting images...) that keeps the order entries were added in and
// takes out the entries of one object in time proportional to their number:
// an index from object to place sits beside the entries, a removal leaves a
// hole, and the holes are squeezed out once, at the next read. Freeing many
// objects one after another therefore costs what they have listed, not the
// length of the list each time.

#include <algorithm>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace lark {

// The object an entry refers to.
template <typename T>
const void* ListedObject(T* const& entry) {
  return entry;
}
template <typename T>
const void* ListedObject(const std::pair<std::string, T*>& entry) {
  return entry.second;
}

template <typename Entry>
class TRefList {
 public:
  void push_back(Entry entry) {
    at_.emplace(ListedObject(entry), entries_.size());
    entries_.push_back(std::move(entry));
    hole_.push_back(0);
    ++live_;
  }

  // Takes out every entry of `object`; nothing when it has none.
  void Remove(const void* object) {
    if (at_.empty()) return;  // every object of a page being freed asks
    const auto [first, last] = at_.equal_range(object);
    for (auto it = first; it != last; ++it) {
      hole_[it->second] = 1;
      ++holes_;
      --live_;
    }
    at_.erase(first, last);
  }

  // Takes out, in one pass, every entry for which `remove` holds.
  template <typename Predicate>
  void RemoveIf(Predicate remove) {
    Squeeze();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i)
      if (!remove(std::as_const(entries_[i]))) {
        if (kept != i) entries_[kept] = std::move(entries_[i]);
        ++kept;
      }
    entries_.resize(kept);
    hole_.assign(kept, 0);
    live_ = kept;
    RebuildIndex();
  }

  void clear() {
    entries_.clear();
    hole_.clear();
    at_.clear();
    holes_ = live_ = 0;
  }

  [[nodiscard]] bool empty() const { return live_ == 0; }
  [[nodiscard]] std::size_t size() const { return live_; }
  [[nodiscard]] const Entry& operator[](std::size_t index) const { return Entries()[index]; }
  [[nodiscard]] auto begin() const { return Entries().begin(); }
  [[nodiscard]] auto end() const { return Entries().end(); }
  // The first entry of `object`, or end().
  [[nodiscard]] auto Find(const void* object) const {
    const std::vector<Entry>& entries = Entries();
    const auto [first, last] = at_.equal_range(object);
    std::size_t place = entries.size();
    for (auto it = first; it != last; ++it) place = std::min(place, it->second);
    return entries.begin() + static_cast<std::ptrdiff_t>(place);
  }

 private:
  const std::vector<Entry>& Entries() const {
    Squeeze();
    return entries_;
  }

  void Squeeze() const {
    if (holes_ == 0) return;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i)
      if (!hole_[i]) {
        if (kept != i) entries_[kept] = std::move(entries_[i]);
        ++kept;
      }
    entries_.resize(kept);
    hole_.assign(kept, 0);
    holes_ = 0;
    RebuildIndex();
  }

  void RebuildIndex() const {
    at_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i) at_.emplace(ListedObject(entries_[i]), i);
  }

  // Squeezing on a read changes no entry that is still listed, so reads stay
  // const.
  mutable std::vector<Entry> entries_;
  mutable std::vector<char> hole_;
  mutable std::unordered_multimap<const void*, std::size_t> at_;
  mutable std::size_t holes_ = 0;
  std::size_t live_ = 0;
};

}  // namespace lark
