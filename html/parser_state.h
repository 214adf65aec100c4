#pragma once

#include <array>

namespace lark {

// What the parser shares with the sections it builds while a document is
// read (one parse at a time, on the GUI thread): the sections read the
// no-break and sub/superscript state as text and font runs are added.
enum class TScriptState { Normal, Subscript, Superscript };
struct TParserState {
  bool NoBreak = false;  // inside NOBR, or a table cell with NOWRAP
  TScriptState SScript = TScriptState::Normal;
};
[[nodiscard]] TParserState& ParserState();

// Point sizes of the HTML font sizes 1..7 (FONT SIZE=, the heading-like
// sizes), proportional and fixed-pitch, made for a document default size.
void SetFontSizeTables(double BaseSize);
[[nodiscard]] double FontConv(int htmlSize);     // htmlSize limited to 1..7
[[nodiscard]] double PreFontConv(int htmlSize);  // the same for fixed pitch

}  // namespace lark
