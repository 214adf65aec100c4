#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "html/char_source.h"

namespace lark {

class TStyleList;
class TProperties;

// A document's sheets add at most this many selector entries to its style
// list (each costs a full set of property values); a rule for a new selector
// past it is dropped, while rules for existing selectors still apply.
constexpr std::size_t MaxStyleRules = 10'000;
// Reads CSS rules from `GetChar` into `StyleList` until "<" or the end of
// input. `Ch` is the caller's current character (the ">" of a STYLE tag); on
// return it is the character the reader stopped at, which the HTML reader
// continues with. `Base` is a linked sheet's address (its url() values are
// resolved against its folder), empty for a STYLE element. A selector with a
// character this reader does not understand (">", "+", "~", "[", "*" ...)
// drops its whole rule.
void ParseStyleSheet(TStyleList& StyleList, int& Ch, const TCharSource& GetChar, const std::string& Base);
// A fetched sheet (LINK): its line ends read as blanks.
void ParseLinkedStyleSheet(TStyleList& StyleList, std::string_view Text, const std::string& Address);

// The declarations of a STYLE attribute into `Props`. Names and keywords are
// read without case; quoted text and url() addresses keep theirs.
void ParseStyleAttribute(const std::string& Text, TProperties& Props);
// Makes ParseStyleAttribute the reader behind TAttributeList::GetStyle.
void InstallStyleAttributeParser();

}  // namespace lark
