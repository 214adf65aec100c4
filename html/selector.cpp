#include "html/selector.h"

#include <algorithm>

namespace lark {

namespace {

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ') ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

}  // namespace

bool TSimpleSelector::Matches(const std::string& tag, const std::string& cls, const std::string& id,
                              const std::string& pseudo) const {
  return (Tag.empty() || Tag == tag) && (Class.empty() || Class == cls) && (ID.empty() || ID == id) &&
         (Pseudo.empty() || Pseudo == pseudo);
}

TSimpleSelector ParseSimpleSelector(std::string_view text) {
  TSimpleSelector selector;
  std::string* part = &selector.Tag;
  for (char c : text) {
    if (c == '.') part = &selector.Class;
    else if (c == '#') part = &selector.ID;
    else if (c == ':') part = &selector.Pseudo;
    else part->push_back(c);
  }
  return selector;
}

std::vector<TSimpleSelector> SplitDescendantKey(std::string_view key) {
  std::vector<std::string_view> words = Words(key);
  if (words.size() > MaxDescendantSelectors) words.resize(MaxDescendantSelectors);
  std::vector<TSimpleSelector> selectors;
  for (std::size_t i = 0; i < words.size(); ++i) {
    std::string_view word = words[i];
    if (i == 1)
      while (!word.empty() && word.front() >= '0' && word.front() <= '9') word.remove_prefix(1);
    selectors.push_back(ParseSimpleSelector(word));
  }
  return selectors;
}

std::string MakeDescendantKey(std::string_view selector, const std::string& sequence) {
  const std::vector<std::string_view> words = Words(selector);
  if (words.empty()) return {};
  std::string key(words.back());
  if (words.size() == 1) return key;
  const std::size_t ancestors = std::min(words.size() - 1, MaxDescendantSelectors - 1);
  key += ' ' + std::to_string(ancestors) + sequence;
  for (std::size_t i = 0; i < ancestors; ++i) {
    key += words[words.size() - 2 - i];
    key += ' ';
  }
  return key;
}

}  // namespace lark
