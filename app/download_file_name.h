#pragma once

// The file name proposed when a page, its source or a download is saved.
// What it is made from (a page title, the last part of an address) comes
// from a server, so it is made into one harmless path component before a
// save dialog or a folder ever sees it.

#include <cstddef>
#include <string>
#include <string_view>

namespace lark {

// Longest file name the file systems here take, in bytes.
inline constexpr std::size_t kMaxFileNameBytes = 255;

// One path component: "/" and control characters become "_", bytes that are
// not UTF-8 are read as Windows-1252 and written as UTF-8, leading dots go
// (so never "." or ".." nor a hidden file), at most kMaxFileNameBytes bytes
// of whole characters; nothing left gives "download".
[[nodiscard]] std::string SafeFileName(std::string_view proposed);

// The proposal for a URL: the text after its last "/" up to any "?" or "#",
// with "%hh" escapes decoded, made safe as above.
[[nodiscard]] std::string URLFileNameProposal(std::string_view URL);

// The name a saved page or source gets from the name the user chose:
// ".html" added unless it already ends in ".htm" or ".html" (any case).
[[nodiscard]] std::string HtmlFileName(std::string_view chosen);

}  // namespace lark
