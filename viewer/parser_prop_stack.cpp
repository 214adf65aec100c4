#include "viewer/parser_prop_stack.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>

#include "html/attribute_list.h"
#include "html/style_list.h"

namespace lark {

namespace {

// The tags whose entries may be dropped when the stack is full: elements
// that only style text and never hold a block of their own.
bool IsTextLevelTag(std::string_view tag) {
  static constexpr std::array<std::string_view, 22> kTags = {
      "b", "i", "em", "strong", "u", "cite", "var", "s", "strike", "tt", "code",
      "kbd", "samp", "span", "sub", "sup", "big", "small", "font", "a", "nobr", "img"};
  return std::find(kTags.begin(), kTags.end(), tag) != kTags.end();
}

}  // namespace

std::size_t TParserProps::SharedKeyHash::operator()(const SharedKey& key) const {
  std::size_t hash = std::hash<std::uint64_t>()(key.ParentStamp) ^ (std::hash<std::uint64_t>()(key.SheetVersion) << 1);
  for (const std::string* text : {&key.Tag, &key.Class, &key.Pseudo})
    hash = hash * 31 + std::hash<std::string>()(*text);
  return hash;
}

void TParserProps::Reset(const TProperties& defaults, const TStyleList& styles) {
  stack_.Clear();
  shared_.clear();
  styles_ = &styles;
  auto bottom = std::make_unique<TProperties>();
  bottom->Copy(defaults);
  stack_.Add(std::move(bottom));
}

TProperties& TParserProps::PushNewProps(const std::string& tag, TAttributeList* attributes,
                                        const std::string& pseudo) {
  MakeRoom();
  std::string cls, id, title;
  TProperties* styleAttr = nullptr;
  if (attributes) {
    cls = attributes->GetClass();
    id = attributes->GetID();
    title = attributes->GetTitle();
    styleAttr = attributes->GetStyle();
  }
  if (id.empty() && !styleAttr) {
    TProperties& props = PushShared(tag, cls, pseudo);
    props.PropTitle = title;
    return props;
  }
  auto props = NewEntry();
  props->Inherit(Top());
  TProperties* raw = stack_.Add(std::move(props));
  raw->CombineStyle(*styles_, stack_, tag, cls, id, pseudo, title, styleAttr);
  return *raw;
}

std::unique_ptr<TProperties> TParserProps::NewEntry() {
  if (spare_.empty()) return std::make_unique<TProperties>();
  std::unique_ptr<TProperties> entry = std::move(spare_.back());
  spare_.pop_back();
  return entry;
}

void TParserProps::Recycle(std::size_t index) { spare_.push_back(stack_.Extract(index)); }

TProperties& TParserProps::PushShared(const std::string& tag, const std::string& cls, const std::string& pseudo) {
  SharedKey key{Top().StyleStamp(), styles_->Version(), tag, cls, pseudo};
  auto props = NewEntry();
  if (const auto found = shared_.find(key); found != shared_.end()) {
    props->TakeComputed(*found->second);
    ++sharedPushes_;
    return *stack_.Add(std::move(props));
  }
  props->Inherit(Top());
  TProperties* raw = stack_.Add(std::move(props));
  raw->CombineStyle(*styles_, stack_, tag, cls, {}, pseudo, {}, nullptr);
  if (shared_.size() >= kMaxSharedStyles) shared_.clear();
  auto kept = std::make_unique<TProperties>();
  kept->TakeComputed(*raw);
  shared_.emplace(std::move(key), std::move(kept));
  return *raw;
}

void TParserProps::MakeRoom() {
  if (stack_.Count() < kMaxPropEntries) return;
  for (std::size_t i = stack_.Count(); i-- > 1;) {
    if (IsTextLevelTag(stack_.Items(i)->PropTag)) {
      DeleteAndRefill(i);
      return;
    }
  }
  DeleteAndRefill(stack_.Count() - 1);
}

void TParserProps::PopProps() {
  if (stack_.Count() > 1) Recycle(stack_.Count() - 1);
}

void TParserProps::PopAProp(const std::string& tag) {
  for (std::size_t i = stack_.Count(); i-- > 1;) {
    if (stack_.Items(i)->PropTag == tag) {
      DeleteAndRefill(i);
      return;
    }
  }
}

void TParserProps::DeleteAndRefill(std::size_t index) {
  Recycle(index);
  for (std::size_t i = index; i < stack_.Count(); ++i)
    stack_.Items(i)->FillUnset(*stack_.Items(i - 1), *styles_, stack_, i);
}

}  // namespace lark
