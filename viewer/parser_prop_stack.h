#pragma once

#include <cstddef>
#include <string>

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
class TParserProps {
 public:
  static constexpr std::size_t kMaxPropEntries = 2 * kMaxNestingDepth;

  // Empties the stack and puts a copy of `defaults` at its bottom.
  void Reset(const TProperties& defaults, const TStyleList& styles);
  void Clear() { stack_.Clear(); }

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

 private:
  void DeleteAndRefill(std::size_t index);
  void MakeRoom();

  TPropStack stack_;
  const TStyleList* styles_ = nullptr;
};

}  // namespace lark
