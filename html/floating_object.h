#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "html/id_object.h"
#include "platform/core/string_routines.h"
#include "platform/graphics/canvas.h"

namespace lark {

class TFontObj;
class TSectionList;

// How an inline object sits on its line; left and right float.
enum TAlignmentKind : std::uint8_t { aTop = 1, aMiddle = 2, aBottom = 3, aBaseline = 4, aLeft = 5, aRight = 6 };

// An image's or panel's ALIGN value, in any case; a value it does not know
// leaves `current`.
[[nodiscard]] inline TAlignmentKind ObjectAlignment(std::string_view value, TAlignmentKind current) {
  const std::string align = UpperCase(value);
  if (align == "TOP") return aTop;
  if (align == "MIDDLE" || align == "ABSMIDDLE") return aMiddle;
  if (align == "LEFT") return aLeft;
  if (align == "RIGHT") return aRight;
  return current;
}

// The placement part of an object that stands in a paragraph's text: an
// inline image or an object panel. Layout reads its size and spaces and
// records where the line put it; the picture and the panel arrive with the
// inline-image and panel subjects, which derive from it.
class TFloatingObj : public TIDObject {
 public:
  [[nodiscard]] std::int32_t GetYPosition() override { return YValue; }
  [[nodiscard]] bool Floats() const { return ObjAlign == aLeft || ObjAlign == aRight; }
  // The same object for a print copy of the document.
  [[nodiscard]] virtual std::unique_ptr<TFloatingObj> CreateCopy(TSectionList& list) const = 0;
  // Obtains and sizes the object for a line `availableWidth` wide; `run` is
  // the font run it stands in.
  virtual void DrawLogic(TSectionList& list, TCanvas& canvas, const TFontObj* run, int availableWidth) = 0;
  // The look under the mouse: 0 normal, 1 hover, 2 pressed. Only a rollover
  // image has one; other objects keep their look.
  virtual void SetHover(int value) { (void)value; }
  // Paints it at x; topY is the top of its line, yBaseline the line's baseline.
  virtual void Draw(TCanvas& canvas, int x, int topY, int yBaseline, const TFontObj* run) = 0;
  // What a click on the object hits, in document coordinates; an image's
  // link border lies outside it.
  [[nodiscard]] virtual TRect HitArea() const {
    return {DrawXX, DrawYY, DrawXX + ImageWidth, DrawYY + ImageHeight};
  }

  std::int32_t Pos = 0;  // character position in the owning section's text
  std::int32_t ImageHeight = 0, ImageWidth = 0;  // border included
  TAlignmentKind ObjAlign = aBaseline;
  std::int32_t HSpaceL = 0, HSpaceR = 0, VSpaceT = 0, VSpaceB = 0;
  std::int32_t SpecWidth = 0;
  bool PercentWidth = false;
  std::string Title;
  std::string Alt;
  std::int32_t DrawXX = 0, DrawYY = 0;  // where it was last drawn
  // Set by layout: the X of a floating object relative to the cell's left
  // edge (spaces included), and the Y of the line that holds it.
  std::int32_t Indent = 0;
  std::int32_t YValue = 0;
};

}  // namespace lark
