#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lark {

// String routines on URLs shared by the frames and the browser. They never
// touch the network or the file system, never raise, and take time linear in
// their input however the text is made.

// The parts of a URL; each is empty when the URL has none.
struct TURLParts {
  std::string Protocol, User, Password, Host, Port, Path;
};

// The URL without its query, fragment and the text after its last "/": the
// folder that relative references start from. A URL with a host and no path
// gets a trailing "/".
[[nodiscard]] std::string GetBase(std::string_view URL);
// `Ref` resolved against `Base` (a folder, as GetBase gives). A reference
// starting with "//" takes the base's scheme; one starting with "/" the
// base's host. "seg/../" and "/./" in the path are resolved; the host is
// never climbed above, and the query and fragment are left as written.
[[nodiscard]] std::string Combine(std::string_view Base, std::string_view Ref);
// A typed address made complete: "http://" when it names no scheme, "/./"
// folded, "/" after a bare host. A "file://" URL is already in URL form and
// comes back only trimmed.
[[nodiscard]] std::string Normalize(std::string_view URL);
// True when the URL names a scheme ("x://" with no "/" before it) or is a
// mail address.
[[nodiscard]] bool IsFullURL(std::string_view URL);
// The scheme, lower-cased ("http" for "/path" and "http:path").
[[nodiscard]] std::string GetProtocol(std::string_view URL);
// The extension after the last "." among the last six characters before the
// query, without the "."; empty when there is none.
[[nodiscard]] std::string GetURLExtension(std::string_view URL);
// The text after the last "/" (at most MaxURLFileName bytes), or the whole
// URL when it has no "/".
constexpr std::size_t MaxURLFileName = 255;
[[nodiscard]] std::string GetURLFileName(std::string_view URL);
// The 0-based position of the last occurrence of `Find` in `Text`, npos when
// there is none (or `Find` is empty).
[[nodiscard]] std::size_t LastPos(std::string_view Find, std::string_view Text);
// Takes a URL apart. The host keeps an IPv6 literal whole with its brackets
// ("[::1]"); the port is the text after the ":" that follows the host.
[[nodiscard]] TURLParts ParseURL(std::string_view URL);
// Every `Find` in `Text` becomes `Replacement`.
void ReplaceChar(char Find, char Replacement, std::string& Text);
// A local path as the path of a file URL: blanks and other control bytes,
// "%", "#", "?", DEL and every non-ASCII byte percent-encoded, so that
// FileURLToPath("file://" + FileNameToURL(path)) gives the path back.
[[nodiscard]] std::string FileNameToURL(std::string_view FileName);

}  // namespace lark
