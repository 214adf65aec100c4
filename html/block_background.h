#pragma once

#include <memory>
#include <string>

#include "html/properties.h"
#include "html/section_list.h"
#include "platform/graphics/bitmap.h"

namespace lark {

// A block's background picture: where it sits in the padding box and how
// it repeats. The picture comes from the document's image cache once, is
// held until the block goes, and is tiled when painted: only the tiles that
// meet the painted area are drawn, clipped to the box, so nothing the size
// of the whole box is ever made.
class TBlockBackground {
 public:
  TBlockBackground(std::string name, PositionRec x, PositionRec y) : Name(std::move(name)), X(x), Y(y) {}
  TBlockBackground(const TBlockBackground& source) : Name(source.Name), X(source.X), Y(source.Y) {}
  TBlockBackground& operator=(const TBlockBackground&) = delete;
  ~TBlockBackground();

  // Obtains the picture (once) when the document shows images.
  void Fetch(TSectionList& list);
  // Paints it into `box` (the padding box on the canvas), within `clip`.
  // On a print copy the picture is printed, through its mask when the box
  // has no background colour.
  void Draw(TCanvas& canvas, const TRect& box, const TRect& clip, bool printing, bool transparentPrint);
  [[nodiscard]] bool HasPicture() const { return picture_ != nullptr; }

  const std::string Name;
  const PositionRec X, Y;

 private:
  void DrawTile(TCanvas& canvas, int x, int y, bool printing, bool transparentPrint);

  TSectionList* list_ = nullptr;
  bool fetched_ = false;
  std::string key_;
  TBitmap* picture_ = nullptr;
  TBitmap* mask_ = nullptr;
  std::unique_ptr<TBitmap> frame_;       // frame 1 of an animated GIF
  std::unique_ptr<TBitmap> frameMask_;
  std::unique_ptr<TBitmap> screenCopy_;  // an indexed picture in the screen's format
  std::unique_ptr<TBitmap> blackened_;   // the picture with its see-through pixels black
};

}  // namespace lark
