#include "viewer/script_text.h"

#include <string_view>

namespace lark {

void ReadScriptText(THtmlReader& reader, std::string* text) {
  static constexpr std::string_view kEnd = "</SCRIPT>";
  // Characters that may begin the end tag wait here until they do or not.
  std::string pending;
  while (reader.Ch() != EofChar) {
    const int ch = reader.Ch();
    const int upper = ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch;
    if (upper == kEnd[pending.size()]) {
      pending += static_cast<char>(ch);
      reader.ReadChar();
      if (pending.size() == kEnd.size()) break;
      continue;
    }
    if (text) *text += pending;
    pending.clear();
    if (ch == '<') continue;  // may begin the end tag itself
    if (text) *text += ch == '\r' ? std::string("\r\n") : std::string(1, static_cast<char>(ch));
    reader.ReadChar();
  }
  if (text && pending.size() < kEnd.size()) *text += pending;
  reader.NextSymbol();
}

}  // namespace lark
