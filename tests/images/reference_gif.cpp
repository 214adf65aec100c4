#include "tests/images/reference_gif.h"

#include <gif_lib.h>

#include <cstring>

namespace lark::test {

namespace {

struct Reader {
  const std::string* Bytes;
  size_t Pos;
};

int ReadData(GifFileType* gif, GifByteType* out, int count) {
  auto* reader = static_cast<Reader*>(gif->UserData);
  const size_t n = std::min<size_t>(count, reader->Bytes->size() - reader->Pos);
  std::memcpy(out, reader->Bytes->data() + reader->Pos, n);
  reader->Pos += n;
  return static_cast<int>(n);
}

}  // namespace

bool DecodeWithGiflib(const std::string& bytes, ReferenceGIF& out) {
  Reader reader{&bytes, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, ReadData, &error);
  if (!gif) return false;
  if (DGifSlurp(gif) != GIF_OK) {
    DGifCloseFile(gif, &error);
    return false;
  }
  out.Width = gif->SWidth;
  out.Height = gif->SHeight;
  out.Frames.clear();
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    ReferenceGIFFrame frame;
    frame.Left = image.ImageDesc.Left;
    frame.Top = image.ImageDesc.Top;
    frame.Width = image.ImageDesc.Width;
    frame.Height = image.ImageDesc.Height;
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif, i, &gcb);
    frame.Disposal = gcb.DisposalMode;
    frame.Delay = gcb.DelayTime;
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    for (int p = 0; p < frame.Width * frame.Height; ++p) {
      const int index = image.RasterBits[p];
      const bool clear = index == gcb.TransparentColor;
      frame.Clear.push_back(clear);
      GifColorType color{0, 0, 0};
      if (!clear && map && index < map->ColorCount) color = map->Colors[index];
      frame.RGB.insert(frame.RGB.end(), {color.Red, color.Green, color.Blue});
    }
    out.Frames.push_back(std::move(frame));
  }
  DGifCloseFile(gif, &error);
  return true;
}

}  // namespace lark::test
