// Untrusted file bytes through everything the search does with them: the
// title and summary extraction, the page's escaping, and block-wise keyword
// matching with every rule. The first input byte picks a needle length.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "app/scan_document_info.h"
#include "app/scan_matcher.h"
#include "app/scan_result_page.h"
#include "platform/core/code_page.h"

namespace {

// Scans block by block; for a plain search without regard to case the
// answer must be what folding the whole text at once and looking for the
// folded needle at a character start gives.
void ScanInBlocks(std::string_view bytes, std::string_view needle, lark::TSearchStringType type, bool caseSense) {
  constexpr std::size_t kBlock = 64;  // small blocks: many boundaries
  const lark::MatchRules rules{type, lark::MakeDelimiterSet(" ,."), lark::MakeDelimiterSet(" ,.")};
  const lark::TNeedle prepared(needle, caseSense);
  lark::WindowBuilder windows(kBlock, needle.size());
  std::size_t pos = 0;
  bool found = false;
  do {
    const std::size_t count = std::min(kBlock, bytes.size() - pos);
    std::memcpy(windows.BlockSpace(), bytes.data() + pos, count);
    pos += count;
    const lark::ScanWindow window = windows.Commit(count, pos == bytes.size());
    if (window.Text.size() > kBlock + needle.size() + 7) __builtin_trap();
    found = lark::ScanBuffer(window, prepared, rules) == lark::BufferScan::Found;
  } while (!found && pos < bytes.size());
  if (caseSense || type != lark::TSearchStringType::sst_Normal || needle.empty()) return;
  const std::string folded = lark::UpperCaseChars(bytes);
  bool expected = false;
  for (std::size_t at = folded.find(prepared.Folded()); at != std::string::npos && !expected;
       at = folded.find(prepared.Folded(), at + 1))
    expected = lark::IsCharBoundary(bytes, at, lark::CP_UTF8);
  if (found != expected) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const lark::TDocumentInfo info = lark::ReadDocumentInfo(bytes, {.Title = true, .Summary = true, .Meta = true});
  (void)lark::NeutraliseHtmlSource(info.Title);
  (void)lark::NeutraliseHtmlSource(info.Summary);
  (void)lark::EscapeHtmlText(bytes);
  (void)lark::FileUrl(bytes);
  std::string keyword(bytes.substr(0, 300));
  lark::EncodeEntities(keyword);
  std::string_view needle = bytes.substr(0, data[0] % 16);
  if (needle.find('\0') != std::string_view::npos) needle = needle.substr(0, needle.find('\0'));
  const auto type = static_cast<lark::TSearchStringType>(data[0] >> 6);
  ScanInBlocks(bytes, needle, type, (data[0] & 0x10) != 0);
  return 0;
}
