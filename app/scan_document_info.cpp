#include "app/scan_document_info.h"

#include <optional>

#include "platform/core/code_page.h"
#include "platform/core/string_routines.h"

namespace lark {
namespace {

constexpr std::size_t kCollectLimit = 200;

std::string CutAtChar(std::string_view text, std::size_t limit) {
  return std::string(text.substr(0, FloorCharBoundary(text, limit, CP_UTF8)));
}

// A quoted attribute value stands for what is inside its quotes.
std::string_view Unquote(std::string_view value) {
  if (value.empty() || (value[0] != '"' && value[0] != '\'')) return value;
  const std::size_t close = value.find(value[0], 1);
  return value.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
}

// The CONTENT of the first META tag named `quotedName` (with its opening
// quote) or, failing that, `bareName`. `upper` is head upper-cased.
std::optional<std::string> MetaContent(std::string_view head, std::string_view upper, std::string_view quotedName,
                                       std::string_view bareName) {
  std::size_t start = upper.find("<META NAME=" + std::string(quotedName));
  if (start == std::string_view::npos) start = upper.find("<META NAME=" + std::string(bareName));
  if (start == std::string_view::npos) return std::nullopt;
  const std::size_t close = upper.find('>', start);
  if (close == std::string_view::npos) return std::nullopt;
  const std::size_t content = upper.substr(start, close - start).find("CONTENT");
  if (content == std::string_view::npos) return std::nullopt;
  const std::size_t valueStart = std::min(start + content + 8, close);
  return std::string(Unquote(head.substr(valueStart, close - valueStart)));
}

void AppendCollapsed(std::string& out, std::string_view piece) {
  for (char c : piece) {
    if (c == '\r' || c == '\n') c = ' ';
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
}

// The text between tags, from each ">" to the next "<"; a file without tags
// gives its first characters.
std::string TextSummary(std::string_view head) {
  const std::size_t firstOpen = head.find('<');
  std::size_t close = firstOpen == std::string_view::npos ? firstOpen : head.find('>', firstOpen);
  if (close == std::string_view::npos) return CutAtChar(head, kSummaryLimit);
  std::string collected;
  while (close != std::string_view::npos && collected.size() <= kCollectLimit) {
    const std::size_t open = head.find('<', close + 1);
    const std::size_t end = open == std::string_view::npos ? head.size() : open;
    AppendCollapsed(collected, head.substr(close + 1, end - close - 1));
    if (open == std::string_view::npos) break;
    close = head.find('>', open + 1);
  }
  return CutAtChar(collected, kSummaryLimit);
}

std::string TitleOf(std::string_view head, std::string_view upper) {
  const std::size_t open = upper.find("<TITLE>");
  if (open == std::string_view::npos) return {};
  const std::size_t textStart = open + 7;
  const std::size_t close = upper.find("</TITLE>", textStart);
  if (close == std::string_view::npos) return {};
  std::string_view title = head.substr(textStart, close - textStart);
  title = title.substr(0, title.find('<'));
  // A blank title would leave the hit without a visible link.
  return Trim(title).empty() ? std::string() : std::string(title);
}

}  // namespace

bool IsDocumentFile(std::string_view name) {
  const std::size_t slash = name.rfind('/');
  if (slash != std::string_view::npos) name = name.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string ext = UpperCase(name.substr(dot));
  return ext == ".HTML" || ext == ".HTM" || ext == ".TXT";
}

TDocumentInfo ReadDocumentInfo(std::string_view head, TDocumentParts parts) {
  head = head.substr(0, kDocumentHeadSize);
  const std::string upper = UpperCase(head);
  TDocumentInfo info;
  if (parts.Title) info.Title = TitleOf(head, upper);
  if (parts.Summary || parts.Meta) {
    if (auto description = MetaContent(head, upper, "\"DESCRIPTION\"", "DESCRIPTION")) {
      info.MetaText = *description;
      info.HasMeta = true;
      info.Summary = info.MetaText;
    }
    if (auto keywords = MetaContent(head, upper, "\"KEYWORD", "KEYWORD")) {
      // A space keeps the last word of the description and the first
      // keyword from running together into a word that neither holds.
      if (!info.MetaText.empty() && !keywords->empty()) info.MetaText += ' ';
      info.MetaText += *keywords;
      info.HasMeta = true;
    }
    if (!info.HasMeta && parts.Summary) info.Summary = TextSummary(head);
  }
  if (!parts.Summary) info.Summary.clear();
  if (parts.Summary && info.Summary.empty()) info.Summary = info.MetaText;
  info.Summary = CutAtChar(info.Summary, kSummaryLimit);
  return info;
}

}  // namespace lark
