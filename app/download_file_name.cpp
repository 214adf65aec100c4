#include "app/download_file_name.h"

#include "platform/core/code_page.h"
#include "platform/core/string_routines.h"

namespace lark {
namespace {

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

std::string DecodeEscapes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
        HexDigitValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string SafeFileName(std::string_view proposed) {
  std::string name;
  for (std::size_t pos = 0; pos < proposed.size();) {
    const DecodedChar c = DecodeChar(proposed, pos, CP_UTF8);
    pos += c.Length;
    if (name.empty() && c.CodePoint == '.') continue;
    const std::string bytes = c.CodePoint == '/' || IsControl(c.CodePoint) ? "_" : EncodeChar(c.CodePoint, CP_UTF8);
    if (name.size() + bytes.size() > kMaxFileNameBytes) break;
    name += bytes;
  }
  return name.empty() ? "download" : name;
}

std::string URLFileNameProposal(std::string_view URL) {
  URL = URL.substr(0, URL.find_first_of("?#"));
  const std::size_t slash = URL.rfind('/');
  if (slash != std::string_view::npos) URL.remove_prefix(slash + 1);
  return SafeFileName(DecodeEscapes(URL));
}

std::string HtmlFileName(std::string_view chosen) {
  for (const std::string_view extension : {std::string_view(".htm"), std::string_view(".html")}) {
    if (chosen.size() >= extension.size() && SameText(chosen.substr(chosen.size() - extension.size()), extension))
      return std::string(chosen);
  }
  return std::string(chosen) + ".html";
}

}  // namespace lark
