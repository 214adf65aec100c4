#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/core/string_list.h"

namespace lark {

// The items of a list or combo box: strings with their objects, kept by the
// control (so they outlive its window); every change of the strings is
// shown through `changed`. Sorted, Add and AddObject put a string after the
// ones that compare equal or lower; Insert keeps the place it is given, as
// the desktop's lists do.
class TListItems : public TStrings {
 public:
  TListItems(std::vector<std::string>& strings, std::vector<TObject*>& objects, std::function<void()> changed)
      : strings_(strings), objects_(objects), changed_(std::move(changed)) {}
  int Count() const override { return static_cast<int>(strings_.size()); }
  std::string Get(int index) const override { return strings_.at(Index(index)); }
  void Put(int index, const std::string& s) override;
  TObject* GetObject(int index) const override { return objects_.at(Index(index)); }
  void PutObject(int index, TObject* object) override { objects_.at(Index(index)) = object; }
  void Insert(int index, const std::string& s) override;
  int Add(const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  // Replaces every item at once (no objects), with one change.
  void SetStrings(std::vector<std::string> strings);
  bool Sorted() const { return sorted_; }
  // Turning sorting on sorts the items there are (objects go along);
  // returns where the item at `follow` went.
  int SetSorted(bool sorted, int follow);

 private:
  size_t Index(int index) const;
  std::vector<std::string>& strings_;
  std::vector<TObject*>& objects_;
  std::function<void()> changed_;
  bool sorted_ = false;
};

}  // namespace lark
