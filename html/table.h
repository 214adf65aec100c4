#pragma once

#include "html/section_base.h"
#include "platform/graphics/color.h"

namespace lark {

// The section of a TABLE element. Declared here with what the table's box
// sets on it; the table subject builds on this class the grid, its layout,
// drawing and queries (it has no behaviour of its own yet).
class ThtmlTable : public TSectionBase {
 public:
  using TSectionBase::TSectionBase;

  int Width = 0;           // pixels, or tenths of a percent when AsPercent
  bool AsPercent = false;
  int Height = 0;          // the table's specified height in pixels, 0 for none
  TColor BgColor = clNone;  // handed to cells without a colour of their own
};

}  // namespace lark
