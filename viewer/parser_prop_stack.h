#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "html/nesting_limit.h"
#include "html/prop_stack.h"

namespace lark {

class TAttributeList;
class TStyleList;

// The properties of the open elements while one document is parsed: the
// document defaults at the bottom, the innermost element on top.
//
// Blocks nest at most kMaxNestingDepth deep, but text-level elements pile up
// without nesting (old pages leave hundreds of FONTs open), so the stack
// holds at most kMaxPropEntries entries: a push beyond that first drops the
// topmost text-level entry, so the new element still styles its text.
//
// Pages repeat the same elements under the same parents: an element styled
// exactly like one before it (same parent state, tag, class and pseudo
// class, no ID and no STYLE attribute, the same sheet) takes the styles
// computed then instead of running the cascade again. At most
// kMaxSharedStyles are kept; past that the table starts again.
class TParserProps {
 public:
  static constexpr std::size_t kMaxPropEntries = 2 * kMaxNestingDepth;
  static constexpr std::size_t kMaxSharedStyles = 1024;

  // Empties the stack and puts a copy of `defaults` at its bottom.
  void Reset(const TProperties& defaults, const TStyleList& styles);
  void Clear() {
    stack_.Clear();
    spare_.clear();
    shared_.clear();
  }

  // A new entry for `tag`, inheriting from the top and combined with the
  // style sheet: the element's class, ID, title and STYLE attribute come
  // from `attributes` (none: only the tag and the pseudo class).
  TProperties& PushNewProps(const std::string& tag, TAttributeList* attributes, const std::string& pseudo = {});
  void PopProps();
  // Removes the topmost entry of `tag` (nothing when none is open) and
  // refills the entries that stayed open above it.
  void PopAProp(const std::string& tag);

  [[nodiscard]] TProperties& Top() const { return *stack_.Last(); }
  [[nodiscard]] std::size_t Count() const { return stack_.Count(); }
  [[nodiscard]] const TPropStack& Stack() const { return stack_; }
  // Pushes that took styles computed before (for tests).
  [[nodiscard]] std::size_t SharedPushes() const { return sharedPushes_; }
  [[nodiscard]] std::size_t SharedStyleCount() const { return shared_.size(); }

 private:
  struct SharedKey {
    std::uint64_t ParentStamp;
    std::uint64_t SheetVersion;
    std::string Tag, Class, Pseudo;
    bool operator==(const SharedKey&) const = default;
  };
  struct SharedKeyHash {
    std::size_t operator()(const SharedKey& key) const;
  };

  void DeleteAndRefill(std::size_t index);
  void MakeRoom();
  // Entries are large and pushed and popped for every element: popped ones
  // are kept for the next pushes (at most as many as were open at once),
  // each wholly overwritten by Inherit or TakeComputed before use.
  std::unique_ptr<TProperties> NewEntry();
  void Recycle(std::size_t index);
  // The entry for an element without ID or STYLE attribute.
  TProperties& PushShared(const std::string& tag, const std::string& cls, const std::string& pseudo);

  TPropStack stack_;
  const TStyleList* styles_ = nullptr;
  std::unordered_map<SharedKey, std::unique_ptr<TProperties>, SharedKeyHash> shared_;
  std::size_t sharedPushes_ = 0;
  std::vector<std::unique_ptr<TProperties>> spare_;
};

}  // namespace lark
