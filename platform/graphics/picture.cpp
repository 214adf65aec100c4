#include "platform/graphics/picture.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "platform/core/stream.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/graphics/jpeg_image.h"

namespace lark {
namespace {

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

// With the dot, in lower case.
std::string Extension(const std::string& file_name) {
  const size_t dot = file_name.find_last_of('.');
  const size_t slash = file_name.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return LowerCase(file_name.substr(dot));
}

struct FileFormat {
  std::string description;
  TGraphicClass graphic_class;
};

// Keyed by the extension with its dot, in lower case.
std::map<std::string, FileFormat>& FileFormats() {
  static std::map<std::string, FileFormat> formats;
  return formats;
}

std::unique_ptr<TGraphic> GraphicFor(const std::string& extension, std::string_view head) {
  const auto registered = FileFormats().find(extension);
  if (registered != FileFormats().end()) return registered->second.graphic_class();
  if (extension == ".bmp" || head.substr(0, 2) == "BM") return std::make_unique<TBitmap>();
  if (extension == ".jpg" || extension == ".jpeg" || head.substr(0, 3) == "\xFF\xD8\xFF")
    return std::make_unique<TJPEGImage>();
  throw EInvalidGraphic("Unknown picture file extension (" + extension + ")");
}

}  // namespace

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  TGraphicClass graphic_class) {
  FileFormats()["." + LowerCase(extension)] = FileFormat{description, graphic_class};
}

void TPicture::UnregisterGraphicClass(TGraphicClass graphic_class) {
  std::erase_if(FileFormats(), [&](const auto& entry) { return entry.second.graphic_class == graphic_class; });
}

std::string TPicture::FileFormatDescription(const std::string& extension) {
  const auto registered = FileFormats().find("." + LowerCase(extension));
  return registered == FileFormats().end() ? "" : registered->second.description;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

TBitmap& TPicture::Bitmap() {
  auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get());
  if (!bitmap) {
    graphic_ = std::make_unique<TBitmap>();
    bitmap = static_cast<TBitmap*>(graphic_.get());
  }
  return *bitmap;
}

void TPicture::LoadFromFile(const std::string& file_name) {
  TMemoryStream stream;
  stream.LoadFromFile(file_name);
  std::unique_ptr<TGraphic> graphic = GraphicFor(Extension(file_name), stream.Bytes().substr(0, 3));
  graphic->LoadFromStream(stream);
  graphic_ = std::move(graphic);
}

void TPicture::SaveToFile(const std::string& file_name) const {
  if (graphic_) graphic_->SaveToFile(file_name);
}

}  // namespace lark
