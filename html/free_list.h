#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace lark {

// A list that owns its items. Clearing or destroying it frees the items from
// index 0 upward, so items that refer to earlier ones (a section to the
// section before it) still find them while they are freed.
template <typename T>
class TFreeList {
 public:
  TFreeList() = default;
  TFreeList(const TFreeList&) = delete;
  TFreeList& operator=(const TFreeList&) = delete;
  virtual ~TFreeList() { FreeAll(); }

  [[nodiscard]] std::size_t Count() const { return items_.size(); }
  [[nodiscard]] bool Empty() const { return items_.empty(); }
  [[nodiscard]] T* Items(std::size_t index) const { return items_.at(index).get(); }
  [[nodiscard]] T* operator[](std::size_t index) const { return Items(index); }
  [[nodiscard]] T* Last() const { return items_.empty() ? nullptr : items_.back().get(); }

  void Reserve(std::size_t count) { items_.reserve(count); }

  // Takes ownership; returns the item for the caller's convenience.
  template <typename U>
  U* Add(std::unique_ptr<U> item) {
    U* raw = item.get();
    items_.push_back(std::move(item));
    return raw;
  }
  template <typename U>
  U* Insert(std::size_t index, std::unique_ptr<U> item) {
    U* raw = item.get();
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(std::min(index, items_.size())),
                  std::move(item));
    return raw;
  }
  // Frees the item at `index`.
  void Delete(std::size_t index) { items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index)); }
  // Hands the item at `index` back to the caller, who then owns it.
  [[nodiscard]] std::unique_ptr<T> Extract(std::size_t index) {
    std::unique_ptr<T> item = std::move(items_.at(index));
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    return item;
  }
  // Frees, in one pass and from index 0 upward, every item whose index (in
  // the list as it stood before the call) satisfies `remove`.
  template <typename Predicate>
  void RemoveIf(Predicate remove) {
    std::size_t kept = 0;
    const std::size_t count = items_.size();
    for (std::size_t i = 0; i < count; ++i) {
      if (remove(i)) {
        items_[i].reset();
      } else {
        if (kept != i) items_[kept] = std::move(items_[i]);
        ++kept;
      }
    }
    items_.resize(kept);
  }
  // Index of `item`, or -1.
  [[nodiscard]] std::ptrdiff_t IndexOf(const T* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (items_[i].get() == item) return static_cast<std::ptrdiff_t>(i);
    return -1;
  }

  virtual void Clear() { FreeAll(); }
  // Hands every item to the caller, in order, and leaves the list empty.
  [[nodiscard]] std::vector<std::unique_ptr<T>> TakeAll() { return std::exchange(items_, {}); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  void FreeAll() {
    for (auto& item : items_) item.reset();
    items_.clear();
  }

  std::vector<std::unique_ptr<T>> items_;
};

}  // namespace lark
