#include "app/scan_result_page.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "app/file_scan.h"
#include "platform/core/atomic_file.h"
#include "platform/core/code_page.h"
#include "platform/core/file_routines.h"
#include "platform/core/file_stream.h"
#include "platform/core/format.h"
#include "platform/core/path_routines.h"
#include "platform/core/private_temp_dir.h"
#include "platform/core/string_routines.h"

namespace lark {
namespace {

struct EntityRow {
  char32_t Char;
  const char* Text;
};

// The keyword conversion of the search dialog, so that a keyword with accents
// matches pages that write them as entities. The texts are the system's own,
// "&igrave" without its semicolon included.
constexpr EntityRow kEntityTable[] = {
    {0xC0, "&Agrave;"}, {0xE0, "&agrave;"}, {0xE1, "&aacute;"}, {0xC1, "&Aacute;"}, {0xE2, "&acirc;"},
    {0xE3, "&atilde;"}, {0xE5, "&aring;"},  {0xE4, "&auml;"},   {0xC4, "&Auml;"},   {0xE9, "&eacute;"},
    {0xEA, "&ecirc;"},  {0xE8, "&egrave;"}, {0xEB, "&euml;"},   {0xF0, "&eth;"},    {0xE7, "&ccedil;"},
    {0xEC, "&igrave"},  {0xED, "&iacute;"}, {0xEE, "&icirc;"},  {0xEF, "&iuml;"},   {0xF2, "&ograve;"},
    {0xF3, "&oacute;"}, {0xF4, "&ocirc;"},  {0xF5, "&otilde;"}, {0xF6, "&ouml;"},   {0xD6, "&Ouml;"},
    {0xF9, "&ugrave;"}, {0xFA, "&uacute;"}, {0xFB, "&ucirc;"},  {0xFC, "&uuml;"},   {0xDC, "&Uuml;"},
    {0xFD, "&yacute;"}, {0xFF, "&yuml;"},   {0xE6, "&aelig;"},  {0xFE, "&thorn;"},  {0xF8, "&oslash;"},
    {0xDF, "&szlig;"},  {0xA9, "&copy;"},   {0xA7, "&#167;"},
};

constexpr std::size_t kMaxEncodedKeyword = 255;

const char* EntityFor(char32_t c) {
  for (const EntityRow& row : kEntityTable)
    if (row.Char == c) return row.Text;
  return nullptr;
}

bool IsUrlSafe(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("/-._~!$&()*+,;=:@").find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Length of the character or entity reference at text[pos] ("&"), or 0 when
// the "&" starts none.
std::size_t ReferenceLength(std::string_view text, std::size_t pos) {
  std::size_t i = pos + 1;
  if (i < text.size() && text[i] == '#') {
    ++i;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) ++i;
    const std::size_t digits = i;
    while (i < text.size() && i - digits < 8 && (hex ? IsHexDigit(text[i]) : IsDigit(text[i]))) ++i;
    if (i == digits) return 0;
  } else {
    if (i >= text.size() || !IsAsciiLetter(text[i])) return 0;
    while (i < text.size() && i - pos < 33 && (IsAsciiLetter(text[i]) || IsDigit(text[i]))) ++i;
  }
  return i < text.size() && text[i] == ';' ? i + 1 - pos : 0;
}

enum class HtmlInput { Text, Source };

std::string ToHtml(std::string_view text, HtmlInput input) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      const DecodedChar ch = DecodeChar(text, pos, CP_UTF8);
      out += "&#" + IntToStr(static_cast<std::int64_t>(ch.CodePoint)) + ";";
      pos += std::max<std::size_t>(ch.Length, 1);
      continue;
    }
    if (c == '&' && input == HtmlInput::Source) {
      if (const std::size_t length = ReferenceLength(text, pos)) {
        out.append(text.substr(pos, length));
        pos += length;
        continue;
      }
    }
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += input == HtmlInput::Text ? "&quot;" : "\""; break;
      case '\'': out += input == HtmlInput::Text ? "&#39;" : "'"; break;
      case '\t': case '\r': case '\n': out += c; break;
      default: out += byte < 0x20 || byte == 0x7F ? '?' : c;
    }
    ++pos;
  }
  return out;
}

void AddLine(std::string& page, std::string_view line) {
  page += line;
  page += "\r\n";
}

bool ByTitle(const TOneResult& a, const TOneResult& b) { return a.Title < b.Title; }
bool ByDate(const TOneResult& a, const TOneResult& b) { return a.Date < b.Date; }
bool BySize(const TOneResult& a, const TOneResult& b) { return a.Size < b.Size; }

std::string PageSize(std::int64_t size) {
  return size > 1000 ? IntToStr(size / 1000) + "K" : IntToStr(size) + " bytes";
}

void AddHitEntry(std::string& page, const TFileScan& scan, const TOneResult& hit, std::size_t number) {
  const std::string url = EscapeHtmlText(hit.URL);
  const std::string title = hit.TitleIsPath ? EscapeHtmlText(hit.Title) : NeutraliseHtmlSource(hit.Title);
  page += "<BR><dl><dt><b>" + IntToStr(static_cast<std::int64_t>(number)) + "</b>.";
  page += "<a href=\"" + url + "\"><b>" + title + "</b></a><dd>";
  page += NeutraliseHtmlSource(hit.Summary) + "<br>";
  page += "<b>URL</b>:<font color=gray>" + url + "<br>";
  if (scan.SWFileDate) page += "Last modified " + ShortDateTime(hit.Date);
  if (scan.SWFileSize) page += "- page size:" + PageSize(hit.Size);
  AddLine(page, "</font></dl><br>");
}

// The hits in page order; the lines that end a stopped search have no hit.
std::vector<const TOneResult*> OrderedHits(const TFileScan& scan) {
  std::vector<const TOneResult*> hits;
  for (int i = 0; i < scan.Results.Count(); ++i)
    if (const auto* hit = dynamic_cast<const TOneResult*>(scan.Results.Objects(i))) hits.push_back(hit);
  return hits;
}

void SortForPage(const TFileScan& scan, std::vector<const TOneResult*>& hits, std::string& page) {
  switch (scan.Sort) {
    case TSortType::stNone: break;
    case TSortType::stTitle:
      AddLine(page, "[sort by title]");
      SortResults(hits, ByTitle);
      break;
    case TSortType::stDate:
      AddLine(page, "[sort by date]");
      SortResults(hits, ByDate);
      break;
    case TSortType::stSize:
      AddLine(page, "[sort by size]");
      SortResults(hits, BySize);
      break;
  }
  if (scan.Reverse) std::reverse(hits.begin(), hits.end());
}

}  // namespace

std::string FileUrl(std::string_view absolutePath) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (char c : absolutePath) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsUrlSafe(byte)) {
      url += c;
    } else {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 15];
    }
  }
  return url;
}

std::string EscapeHtmlText(std::string_view text) { return ToHtml(text, HtmlInput::Text); }
std::string NeutraliseHtmlSource(std::string_view source) { return ToHtml(source, HtmlInput::Source); }

void EncodeEntities(std::string& text) {
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const DecodedChar ch = DecodeChar(text, pos, CP_UTF8);
    const std::size_t length = std::max<std::size_t>(ch.Length, 1);
    if (const char* entity = EntityFor(ch.CodePoint)) {
      out += entity;
    } else {
      out.append(text, pos, length);
    }
    pos += length;
  }
  out.resize(FloorCharBoundary(out, kMaxEncodedKeyword, CP_UTF8));
  text = std::move(out);
}

void SortResults(std::vector<const TOneResult*>& list, TResultCompare compare) {
  std::stable_sort(list.begin(), list.end(),
                   [compare](const TOneResult* a, const TOneResult* b) { return compare(*a, *b); });
}

std::string ShortDateTime(TDateTime t) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
  DecodeDate(t, year, month, day);
  DecodeTime(t, hour, minute, second, millisecond);
  return Format("%4.4d-%2.2d-%2.2d %2.2d:%2.2d:%2.2d", year, month, day, hour, minute, second);
}

std::string ScanResultFolder(const std::string& programDir, CdRom cdrom) {
  if (cdrom == CdRom::No) {
    const std::string beside = IncludeTrailingPathDelimiter(programDir) + "LocalScanResult/";
    if (ForceDirectories(beside) && access(beside.c_str(), W_OK) == 0) return beside;
  }
  // Never a fixed name in the shared temporary directory: another user
  // could make it first or plant links in it.
  const std::string own = PrivateTempDirectory();
  if (own.empty()) throw EInOutError("There is no private folder for the search results");
  const std::string folder = own + "LocalScanResult/";
  if (!ForceDirectories(folder))
    throw EInOutError("Cannot create the folder " + folder + ": " + std::strerror(errno));
  return folder;
}

std::string ScanResultFileName(const std::string& folder, int counter) {
  return folder + "FileScanResult" + IntToStr(counter) + ".html";
}

std::string BuildResultPage(const TFileScan& scan) {
  std::string page;
  std::vector<const TOneResult*> hits = OrderedHits(scan);
  AddLine(page, scan.Title);
  AddLine(page, "<body bgcolor=" + scan.BGColor + " width=70%>");
  AddLine(page, scan.Header);
  AddLine(page, "<b><font face=arial size=-1><b><br>The search found " + IntToStr(static_cast<std::int64_t>(hits.size())));
  AddLine(page, " files contains the keyword(s) <I> ");
  for (int i = 0; i < scan.SearchStrings.Count(); ++i) AddLine(page, EscapeHtmlText(scan.SearchStrings.At(i)));
  AddLine(page, "</I><font color=0000ff>");
  SortForPage(scan, hits, page);
  if (scan.METASearch) page += "<font color=ff0000>[MetaSearch]</font>";
  page += "<P></font>";
  for (std::size_t i = 0; i < hits.size(); ++i) {
    if (scan.MatchLimit > 0 && i >= static_cast<std::size_t>(scan.MatchLimit)) break;
    AddHitEntry(page, scan, *hits[i], i + 1);
  }
  AddLine(page, "</td></tr></table>");
  AddLine(page, scan.Footer + "</body>");
  return page;
}

void TFileScan::WriteResultPage() {
  if (OutputFile.empty()) return;
  const std::string page = BuildResultPage(*this);
  // A link planted at the page's name is replaced, never written through;
  // a device or folder there is refused by the atomic write.
  struct stat st {};
  if (lstat(OutputFile.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && unlink(OutputFile.c_str()) != 0)
    throw EFCreateError("Cannot replace the link " + OutputFile + ": " + std::strerror(errno));
  AtomicWriteFile(OutputFile, page);
}

}  // namespace lark
