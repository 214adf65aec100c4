#include "html/id_object.h"

namespace lark {

std::int32_t TChPosObj::GetYPosition() {
  std::int32_t y = 0;
  if (List && List->FindYOfTextPosition(ChPos, y)) return y;
  return 0;
}

}  // namespace lark
