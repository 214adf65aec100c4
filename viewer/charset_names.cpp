#include "viewer/charset_names.h"

#include "platform/core/code_page.h"
#include "platform/core/string_routines.h"
#include "platform/graphics/font.h"

namespace lark {

namespace {

struct CharSetKey {
  std::string_view Key;
  int CharSet;
};

// In order: the first key the name contains wins.
constexpr CharSetKey kKeys[] = {
    {"1252", ANSI_CHARSET}, {"8859-1", ANSI_CHARSET}, {"1253", GREEK_CHARSET}, {"8859-7", GREEK_CHARSET},
    {"1250", EASTEUROPE_CHARSET}, {"8859-2", EASTEUROPE_CHARSET}, {"1251", RUSSIAN_CHARSET},
    {"8859-5", RUSSIAN_CHARSET}, {"koi", RUSSIAN_CHARSET}, {"866", RUSSIAN_CHARSET},
    {"1254", TURKISH_CHARSET}, {"8859-3", TURKISH_CHARSET}, {"8859-9", TURKISH_CHARSET},
    {"1257", BALTIC_CHARSET}, {"8859-4", BALTIC_CHARSET}, {"932", SHIFTJIS_CHARSET},
    {"949", HANGEUL_CHARSET}, {"936", GB2312_CHARSET}, {"950", CHINESEBIG5_CHARSET},
    {"1255", HEBREW_CHARSET}, {"1256", ARABIC_CHARSET}, {"1258", VIETNAMESE_CHARSET},
    {"874", THAI_CHARSET}, {"ansi", ANSI_CHARSET}, {"default", DEFAULT_CHARSET},
    {"symbol", SYMBOL_CHARSET}, {"shiftjis", SHIFTJIS_CHARSET}, {"shift_jis", SHIFTJIS_CHARSET},
    {"x-sjis", SHIFTJIS_CHARSET}, {"hangeul", HANGEUL_CHARSET}, {"gb2312", GB2312_CHARSET},
    {"big5", CHINESEBIG5_CHARSET}, {"oem", OEM_CHARSET}, {"johab", JOHAB_CHARSET},
    {"hebrew", HEBREW_CHARSET}, {"arabic", ARABIC_CHARSET}, {"greek", GREEK_CHARSET},
    {"turkish", TURKISH_CHARSET}, {"vietnamese", VIETNAMESE_CHARSET}, {"thai", THAI_CHARSET},
    {"easteurope", EASTEUROPE_CHARSET}, {"russian", RUSSIAN_CHARSET}, {"euc-kr", HANGEUL_CHARSET},
    {"5601", HANGEUL_CHARSET}, {"euc-jp", SHIFTJIS_CHARSET},
};

// The ISO-8859 part the name gives after "8859-" (one or two digits), as
// its code page; 0 when the part is not one iconv reads.
int Iso8859CodePage(std::string_view name) {
  const std::size_t at = name.find("8859-");
  if (at == std::string_view::npos) return 0;
  int part = 0;
  for (std::size_t i = at + 5; i < name.size() && i < at + 7 && name[i] >= '0' && name[i] <= '9'; ++i)
    part = part * 10 + (name[i] - '0');
  return part >= 1 && part <= 16 && part != 12 ? CodePageOfIso8859(part) : 0;
}

int NamedCodePage(std::string_view key, std::string_view name) {
  if (key.starts_with("8859-")) return Iso8859CodePage(name);
  if (key == "koi") return name.find("koi8-u") != std::string_view::npos ? CP_KOI8_U : CP_KOI8_R;
  if (key == "866") return 866;
  return 0;
}

}  // namespace

std::optional<TCharSetName> FindCharSetName(std::string_view text) {
  const std::string name = LowerCase(text);
  for (const CharSetKey& key : kKeys) {
    if (name.find(key.Key) == std::string::npos) continue;
    return TCharSetName{key.CharSet, NamedCodePage(key.Key, name), key.Key == "euc-jp"};
  }
  return std::nullopt;
}

}  // namespace lark
