#pragma once

#include <memory>
#include <string>

#include "platform/graphics/graphic.h"

namespace lark {

class TBitmap;

// A graphic class as the picture registry knows it: what makes an empty
// graphic of that class.
using TGraphicClass = std::unique_ptr<TGraphic> (*)();
template <class Graphic>
std::unique_ptr<TGraphic> MakeGraphic() {
  return std::make_unique<Graphic>();
}

// Holds one graphic of any kind, chosen by file extension or content.
class TPicture {
 public:
  // Makes files with the extension (without the dot; any case) load as the
  // class; a later registration of the extension replaces an earlier one.
  static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                 TGraphicClass graphic_class);
  // Forgets every extension registered for the class.
  static void UnregisterGraphicClass(TGraphicClass graphic_class);
  // The description registered with the extension; empty when none is.
  [[nodiscard]] static std::string FileFormatDescription(const std::string& extension);

  TPicture();
  ~TPicture();

  [[nodiscard]] TGraphic* Graphic() const { return graphic_.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> graphic) { graphic_ = std::move(graphic); }
  // The graphic as a bitmap; an empty bitmap replaces any other graphic.
  TBitmap& Bitmap();
  [[nodiscard]] int Width() const { return graphic_ ? graphic_->Width() : 0; }
  [[nodiscard]] int Height() const { return graphic_ ? graphic_->Height() : 0; }

  // Registered extensions load as their class, ".bmp" files as bitmaps and
  // ".jpg"/".jpeg" as JPEG images; other bitmap and JPEG files are
  // recognised by their first bytes. Raises EInvalidGraphic "Unknown picture
  // file extension (.xyz)" when nothing tells.
  void LoadFromFile(const std::string& file_name);
  void SaveToFile(const std::string& file_name) const;

 private:
  std::unique_ptr<TGraphic> graphic_;
};

}  // namespace lark
