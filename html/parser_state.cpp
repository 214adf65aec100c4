#include "html/parser_state.h"

#include <algorithm>

namespace lark {

namespace {

// The sizes for a 12-point default.
constexpr std::array<double, 7> kProportional = {8, 10, 12, 14, 18, 24, 36};
constexpr std::array<double, 7> kFixed = {7, 8, 10, 12, 15, 20, 30};

struct FontSizeTables {
  std::array<double, 7> Proportional = kProportional;
  std::array<double, 7> Fixed = kFixed;
};

FontSizeTables& Tables() {
  static FontSizeTables tables;
  return tables;
}

std::size_t TableIndex(int htmlSize) { return static_cast<std::size_t>(std::clamp(htmlSize, 1, 7) - 1); }

}  // namespace

TParserState& ParserState() {
  static TParserState state;
  return state;
}

void SetFontSizeTables(double BaseSize) {
  FontSizeTables& tables = Tables();
  for (std::size_t i = 0; i < tables.Proportional.size(); ++i) {
    tables.Proportional[i] = BaseSize * kProportional[i] / 12;
    tables.Fixed[i] = BaseSize * kFixed[i] / 12;
  }
}

double FontConv(int htmlSize) { return Tables().Proportional[TableIndex(htmlSize)]; }

double PreFontConv(int htmlSize) { return Tables().Fixed[TableIndex(htmlSize)]; }

}  // namespace lark
