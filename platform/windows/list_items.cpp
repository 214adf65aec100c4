#include "platform/windows/list_items.h"

#include <algorithm>
#include <numeric>

#include "platform/core/exception.h"

namespace lark {

size_t TListItems::Index(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
  return static_cast<size_t>(index);
}

void TListItems::Put(int index, const std::string& s) {
  strings_.at(Index(index)) = s;
  changed_();
}

void TListItems::Insert(int index, const std::string& s) {
  auto at = static_cast<long>(std::clamp(index, 0, Count()));
  strings_.insert(strings_.begin() + at, s);
  objects_.insert(objects_.begin() + at, nullptr);
  changed_();
}

int TListItems::Add(const std::string& s) {
  if (!sorted_) return TStrings::Add(s);
  auto after = std::upper_bound(strings_.begin(), strings_.end(), s, [this](const std::string& a, const std::string& b) {
    return CompareStrings(a, b) < 0;
  });
  int index = static_cast<int>(after - strings_.begin());
  Insert(index, s);
  return index;
}

void TListItems::Delete(int index) {
  auto at = static_cast<long>(Index(index));
  strings_.erase(strings_.begin() + at);
  objects_.erase(objects_.begin() + at);
  changed_();
}

void TListItems::SetStrings(std::vector<std::string> strings) {
  strings_ = std::move(strings);
  objects_.assign(strings_.size(), nullptr);
  changed_();
}

void TListItems::Clear() {
  strings_.clear();
  objects_.clear();
  changed_();
}

int TListItems::SetSorted(bool sorted, int follow) {
  sorted_ = sorted;
  if (!sorted) return follow;
  std::vector<size_t> order(strings_.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [this](size_t a, size_t b) { return CompareStrings(strings_[a], strings_[b]) < 0; });
  std::vector<std::string> strings;
  std::vector<TObject*> objects;
  int followed = -1;
  for (size_t i = 0; i < order.size(); ++i) {
    strings.push_back(strings_[order[i]]);
    objects.push_back(objects_[order[i]]);
    if (static_cast<int>(order[i]) == follow) followed = static_cast<int>(i);
  }
  strings_ = std::move(strings);
  objects_ = std::move(objects);
  changed_();
  return followed;
}

}  // namespace lark
