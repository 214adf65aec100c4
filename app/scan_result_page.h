#pragma once

// The HTML page a local search writes, with the escaping that keeps a file's
// name and contents from turning into markup of the page, the entity table
// that the search dialog applies to keywords, and where the pages go.

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/date_time.h"

namespace lark {

class TFileScan;
class TOneResult;

// "file://" and the absolute path, percent-encoded: every byte but letters,
// digits, "/" and - . _ ~ ! $ & ( ) * + , ; = : @ becomes %XX, so that
// spaces, "?", "#", "%", quotes and non-ASCII bytes survive as a URL.
[[nodiscard]] std::string FileUrl(std::string_view absolutePath);

// Plain text as HTML: "&", "<", ">" and quotes become references, and so
// does every non-ASCII character (a UTF-8 sequence, or a lone byte read as
// Windows-1252), so the page reads the same whatever charset a browser
// assumes. Control characters become "?".
[[nodiscard]] std::string EscapeHtmlText(std::string_view text);

// HTML source taken from a file (a title, a summary): character and entity
// references it holds stay as they are; "<", ">" and any other "&" are
// neutralised, so nothing of it becomes an element. Non-ASCII characters and
// control characters as in EscapeHtmlText.
[[nodiscard]] std::string NeutraliseHtmlSource(std::string_view source);

// Replaces the characters of the entity table by their entity texts and cuts
// the result to 255 bytes without splitting a character.
void EncodeEntities(std::string& text);

// Orders hits; a stable sort, so equal hits keep their order.
using TResultCompare = bool (*)(const TOneResult& a, const TOneResult& b);
void SortResults(std::vector<const TOneResult*>& list, TResultCompare compare);

// Date and time as the page and the dialog show them: "yyyy-mm-dd hh:mm:ss".
[[nodiscard]] std::string ShortDateTime(TDateTime t);

// Whether the program runs from a CD-ROM ("/cdrom"): its folder is then
// read-only.
enum class CdRom { No, Yes };

// The folder the search pages go to, created when missing: "LocalScanResult/"
// beside the program, or in the temporary directory under "/cdrom" or when
// the program's folder cannot be written. Raises EInOutError when neither
// can be created.
[[nodiscard]] std::string ScanResultFolder(const std::string& programDir, CdRom cdrom);
// The page of the counter-th search of this run: "FileScanResult<n>.html".
[[nodiscard]] std::string ScanResultFileName(const std::string& folder, int counter);

// The whole page for the hits of a search, CR LF where lines end.
[[nodiscard]] std::string BuildResultPage(const TFileScan& scan);

}  // namespace lark
