#include "viewer/char_references.h"

#include <array>
#include <unordered_map>

namespace lark {

namespace {

struct NamedReference {
  std::string_view Name;
  char32_t Value;
};

constexpr std::array<NamedReference, 34> kSpecialReferences = {{
    {"amp", 38},       {"lt", 60},        {"gt", 62},        {"quot", 34},      {"rsquo", 39},
    {"ndash", 45},     {"trade", 8482},   {"nbsp", 5},       {"OElig", 338},    {"oelig", 339},
    {"Scaron", 352},   {"scaron", 353},   {"Yuml", 376},     {"circ", 710},     {"tilde", 732},
    {"ensp", 8194},    {"emsp", 8195},    {"thinsp", 8201},  {"zwnj", 8204},    {"zwj", 8205},
    {"lrm", 8206},     {"rlm", 8207},     {"mdash", 8212},   {"lsquo", 8216},   {"sbquo", 8218},
    {"ldquo", 8220},   {"rdquo", 8221},   {"bdquo", 8222},   {"dagger", 8224},  {"Dagger", 8225},
    {"permil", 8240},  {"lsaquo", 8249},  {"rsaquo", 8250},  {"euro", 8364},
}};

// The Latin-1 upper half in code order: the name at index i stands for 161 + i.
constexpr std::array<std::string_view, 95> kLatin1References = {
    "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",
    "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",
    "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",
    "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute",
    "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave",
    "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",    "ntilde",
    "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave", "uacute",
    "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

// Both tables in one index; the first table wins should a name repeat.
std::unordered_map<std::string_view, char32_t> BuildIndex() {
  std::unordered_map<std::string_view, char32_t> index;
  for (const NamedReference& reference : kSpecialReferences) index.emplace(reference.Name, reference.Value);
  for (std::size_t i = 0; i < kLatin1References.size(); ++i)
    index.emplace(kLatin1References[i], static_cast<char32_t>(161 + i));
  return index;
}

// Windows-1252 in 0x80..0x9F; "?" where it names no character.
constexpr std::array<char32_t, 32> kWindows1252C1 = {
    0x20AC, '?',    0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, '?',    0x017D, '?',
    '?',    0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, '?',    0x017E, 0x0178};

}  // namespace

char32_t NumericReferenceValue(char32_t number) {
  return number >= 0x80 && number < 0xA0 ? kWindows1252C1[number - 0x80] : number;
}

std::optional<char32_t> LookupNamedReference(std::string_view name) {
  static const auto index = BuildIndex();
  const auto found = index.find(name);
  if (found == index.end()) return std::nullopt;
  return found->second;
}

}  // namespace lark
