#include "html/my_font.h"

namespace lark {

std::array<int, 8> CharSetValuesFor(int charset) {
  constexpr int kWide = 0x7FFFFFFF;
  switch (charset) {
    case SHIFTJIS_CHARSET: return {0, 0, 0, 0, -2, 0, 0, 0};
    case HANGEUL_CHARSET:
    case GB2312_CHARSET: return {0, 0, 0, 0, 0, -2, -1, kWide};
    case JOHAB_CHARSET:
    case CHINESEBIG5_CHARSET: return {0, 0, 0, 0, -2, -1, -1, kWide};
    default: return {};
  }
}

}  // namespace lark
