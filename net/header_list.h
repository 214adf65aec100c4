#pragma once

// Header lines "Name: value", looked up by name without regard to case, with
// continuation lines joined on reading and long lines folded on writing.

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/string_list.h"

namespace lark {

class TNetHeaderList : public TStringList {
 public:
  // Index of the first line of that name; -1 when there is none. A line
  // without a colon has no name and is never found.
  [[nodiscard]] int IndexOfName(std::string_view name) const;
  // The value of a line with its continuation lines joined; "" for index < 0.
  [[nodiscard]] std::string GetValueFromLine(int index) const;
  [[nodiscard]] std::string Values(std::string_view name) const { return GetValueFromLine(IndexOfName(name)); }
  // An empty value deletes the first line of that name (with its
  // continuations); any other replaces it, or is appended, folded.
  void SetValue(std::string_view name, const std::string& value);
  [[nodiscard]] std::vector<std::string> FoldLine(const std::string& line) const;
  // The name of a line: the text before its first colon.
  [[nodiscard]] static std::string NameOfLine(const std::string& line);

  std::string NameValueSeparator = ": ";
  bool UnfoldLines = true;
  bool FoldLines = true;
  int FoldLength = 78;

 private:
  [[nodiscard]] static bool IsContinuation(const std::string& line);
  // Deletes the continuation lines after index.
  void DeleteContinuations(int index);
};

}  // namespace lark
