#pragma once

// What the local file search shows of an HTML or text file besides its name:
// the title, the META description and keywords, and a short summary, all
// taken from the first bytes of the file as HTML source.

#include <cstddef>
#include <string>
#include <string_view>

namespace lark {

// Only so much of a file is looked at for its title and summary.
constexpr std::size_t kDocumentHeadSize = 30000;
constexpr std::size_t kSummaryLimit = 250;

struct TDocumentInfo {
  std::string Title;     // empty when the file has none
  std::string Summary;
  std::string MetaText;  // the META description followed by the keywords
  bool HasMeta = false;
};

// True for the names (or paths) whose upper-cased extension is ".HTML",
// ".HTM" or ".TXT".
[[nodiscard]] bool IsDocumentFile(std::string_view name);

// What to take from a file. The META text is read for the summary and for
// a search of META text only.
struct TDocumentParts {
  bool Title = false;
  bool Summary = false;
  bool Meta = false;
};

// Reads the document information from the first bytes of a file. Texts are
// cut at character boundaries, never inside a UTF-8 sequence.
[[nodiscard]] TDocumentInfo ReadDocumentInfo(std::string_view head, TDocumentParts parts);

}  // namespace lark
