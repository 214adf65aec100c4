#include "net/header_list.h"

#include "platform/core/string_routines.h"

namespace lark {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanksLeft(const std::string& text) {
  size_t start = text.find_first_not_of(" \t");
  return start == std::string::npos ? std::string() : text.substr(start);
}

std::string TrimBlanksRight(const std::string& text) {
  size_t end = text.find_last_not_of(" \t");
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

}  // namespace

bool TNetHeaderList::IsContinuation(const std::string& line) { return !line.empty() && IsBlank(line[0]); }

std::string TNetHeaderList::NameOfLine(const std::string& line) {
  size_t colon = line.find(':');
  return colon == std::string::npos ? std::string() : line.substr(0, colon);
}

int TNetHeaderList::IndexOfName(std::string_view name) const {
  if (name.empty()) return -1;
  for (int i = 0; i < Count(); ++i) {
    if (SameText(NameOfLine(At(i)), name)) return i;
  }
  return -1;
}

std::string TNetHeaderList::GetValueFromLine(int index) const {
  if (index < 0 || index >= Count()) return {};
  const std::string& line = At(index);
  size_t colon = line.find(':');
  std::string value = colon == std::string::npos ? std::string() : line.substr(colon + 1);
  if (UnfoldLines) {
    for (int i = index + 1; i < Count() && IsContinuation(At(i)); ++i) {
      if (value.empty() || !IsBlank(value.back())) value += ' ';
      value += TrimBlanksLeft(At(i));
    }
  }
  return TrimBlanksLeft(value);
}

void TNetHeaderList::DeleteContinuations(int index) {
  while (index + 1 < Count() && IsContinuation(At(index + 1))) Delete(index + 1);
}

void TNetHeaderList::SetValue(std::string_view name, const std::string& value) {
  int index = IndexOfName(name);
  if (value.empty()) {
    if (index < 0) return;
    if (FoldLines) DeleteContinuations(index);
    Delete(index);
    return;
  }
  if (index < 0) {
    index = Count();
  } else {
    if (FoldLines) DeleteContinuations(index);
    Delete(index);
  }
  std::string line = std::string(name) + (FoldLines ? std::string(": ") : NameValueSeparator) + value;
  std::vector<std::string> pieces = FoldLines ? FoldLine(line) : std::vector<std::string>{line};
  for (const std::string& piece : pieces) Insert(index++, piece);
}

std::vector<std::string> TNetHeaderList::FoldLine(const std::string& line) const {
  std::vector<std::string> pieces;
  std::string rest = line;
  while (static_cast<int>(rest.size()) > FoldLength) {
    // The last blank before the fold column outside a quoted stretch; the
    // first character is never a break, so a continuation always moves on.
    size_t breakAt = std::string::npos;
    bool quoted = false;
    for (size_t i = 0; i < rest.size() && static_cast<int>(i) <= FoldLength; ++i) {
      if (rest[i] == '"') quoted = !quoted;
      if (!quoted && IsBlank(rest[i]) && i > 0 && !TrimBlanksRight(rest.substr(0, i)).empty()) breakAt = i;
    }
    if (breakAt == std::string::npos) break;
    pieces.push_back(TrimBlanksRight(rest.substr(0, breakAt)));
    rest = " " + TrimBlanksLeft(rest.substr(breakAt));
  }
  pieces.push_back(TrimBlanksRight(rest));
  return pieces;
}

}  // namespace lark
