#pragma once

#include <memory>
#include <string>

#include "platform/graphics/graphic.h"

namespace lark {

class TBitmap;

// Holds one graphic of any kind, chosen by file extension or content.
class TPicture {
 public:
  TPicture();
  ~TPicture();

  [[nodiscard]] TGraphic* Graphic() const { return graphic_.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> graphic) { graphic_ = std::move(graphic); }
  // The graphic as a bitmap; an empty bitmap replaces any other graphic.
  TBitmap& Bitmap();
  [[nodiscard]] int Width() const { return graphic_ ? graphic_->Width() : 0; }
  [[nodiscard]] int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // ".bmp" files become bitmaps and ".jpg"/".jpeg" JPEG images; other
  // extensions are recognised by their first bytes. Raises EInvalidGraphic
  // "Unknown picture file extension (.xyz)" when neither tells.
  void LoadFromFile(const std::string& file_name);
  void SaveToFile(const std::string& file_name) const;

 private:
  std::unique_ptr<TGraphic> graphic_;
};

}  // namespace lark
