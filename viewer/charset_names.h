#pragma once

#include <optional>
#include <string_view>

namespace lark {

// What a character-set name (META content-type, FONT CHARSET) stands for:
// the Windows charset that chooses the font and, for the ISO-8859, KOI8 and
// 866 names, the code page the text reads in (0: the charset's own).
struct TCharSetName {
  int CharSet = 0;
  int CodePage = 0;
  bool EucJp = false;  // the rest of the document is EUC-JP (read as Shift-JIS)
};

// The first key of the table that the lower-cased text contains decides;
// nullopt when none does.
[[nodiscard]] std::optional<TCharSetName> FindCharSetName(std::string_view text);

}  // namespace lark
