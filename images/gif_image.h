#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "images/pixel_image.h"

namespace lark {

class TBitmap;
class TCanvas;
class TGIFImage;
class TStream;

// Every frame's picture and mask of an animated image. Copies of the image
// share it, so it lives as long as the last of them.
struct TgfImageList {
  std::vector<PixelImage> Pictures;
  std::vector<PixelImage> Masks;  // empty images for opaque frames
  // How the animation is composed: in indices of ScreenPalette (8-bit) when
  // the frames' colours and black, the blank screen, are 256 at most, else
  // in B, G, R. Per picture, what each of its indices writes on the screen
  // (256 entries of one byte, or of three).
  PixelDepth ScreenDepth = PixelDepth::k24Bit;
  std::vector<TRGB> ScreenPalette;
  std::vector<std::vector<uint8_t>> ScreenColors;
};

// An animation's composed picture and its mask (1 = see-through). An image
// and its copies share it until one of them changes it.
struct TGIFScreen {
  PixelImage Picture, Mask;
};

// A rectangle as left, top, width, height.
struct TGIFRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
};

// One image of the file.
class TgfFrame {
 public:
  explicit TgfFrame(TGIFImage* owner) : frOwner(owner) {}
  TgfFrame(const TgfFrame& source, TGIFImage* owner);
  TgfFrame& operator=(const TgfFrame&) = delete;

  int frLeft = 0, frTop = 0, frWidth = 0, frHeight = 0;
  int ColorBits = 0;
  int frDelay = 0;
  uint8_t frDisposal = 0;
  bool frLocalColors = false;
  bool frInterlaced = false;
  bool frTransparent = false;
  uint8_t frTransIndex = 0;
  TRGB frTransColor;
  // The local table or the image's global one, always 256 entries (unused
  // ones black) so that any pixel value is safe.
  std::vector<TRGB> frColorTable;
  // Transparent pixels are black in the picture; the mask is 1 where they are.
  std::unique_ptr<PixelImage> frBitmap, frMask, frSaveBitmap, frSaveMask;
  TGIFImage* frOwner;
  std::string frComment;
  bool frReduce = false;
  int ImageIndex = -1;  // in the owner's image list
};

// A GIF87a or GIF89a file held in memory: every frame decoded with its mask,
// and the animation composed into a frame buffer (palette indices, or 24-bit
// when the frames have more colours) and a mask buffer (1 = see-through).
class TGIFImage {
 public:
  TGIFImage();
  ~TGIFImage();
  TGIFImage(const TGIFImage&) = delete;
  TGIFImage& operator=(const TGIFImage&) = delete;
  // The copy shares the frames' image list, and the composed buffers while
  // both show the first frame as composed at loading.
  [[nodiscard]] static std::unique_ptr<TGIFImage> CreateCopy(const TGIFImage& source);

  // The GIF file from the stream's position, or from the file; a header-only
  // load counts the frames and skips their pixels. Raises EOutOfMemory when
  // the reader fails (and the file stream's error when the file cannot be
  // opened).
  void LoadFromMemory(const uint8_t* data, size_t size, bool headerOnly = false);
  void LoadFromStream(TStream& stream, bool headerOnly = false);
  void LoadFromFile(const std::string& fileName, bool headerOnly = false);

  // Draws the current picture scaled into (X, Y, W, H); see-through pixels
  // show what lay there. While frames are kept (disposal 0 or 1) that is
  // the canvas area saved at frame 1 (or at the first draw, or when the
  // rectangle moved), so areas that an earlier frame's disposal cleared show
  // the background again even when nothing repainted the canvas in between;
  // other frames, and canvases that cannot be read back (printers,
  // metafiles), keep what the canvas shows.
  void Draw(TCanvas& Canvas, int X, int Y, int W, int H);

  void SetAnimate(bool value);
  void SetCurrentFrame(int frame);
  void SetVisible(bool value) { Visible = value; }
  // The timer tick: true when a new frame was composed and `ScreenRect`
  // needs repainting.
  bool CheckTime();
  bool CheckTimeAt(uint32_t now);

  // Frame 1's picture and mask, made once and kept; null when there is none.
  [[nodiscard]] const PixelImage* GetBitmap();
  [[nodiscard]] const PixelImage* GetMaskedBitmap();
  // Frame 1 with its see-through pixels in their file colour: 24-bit, or on
  // an 8-bit screen the viewer palette's nearest colours, with that palette.
  [[nodiscard]] const PixelImage* GetCurrentBitmap();

  [[nodiscard]] const PixelImage& FrameBuffer() const { return Screen_->Picture; }
  [[nodiscard]] const PixelImage& MaskBuffer() const { return Screen_->Mask; }
  [[nodiscard]] TgfFrame& Frame(int number) { return *Frames[number - 1]; }
  [[nodiscard]] const std::shared_ptr<TgfImageList>& ImageList() const { return ImageList_; }

  bool Animated = false;
  int CurrentFrame = 1;
  bool Empty = true;
  int Width = 0, Height = 0;
  int NumFrames = 0;
  int LoopLimit = 1;
  int AnimateSpeed = 100;
  bool IsTransparent = false;
  bool Visible = true;
  int BitsPerPixel = 0;
  std::vector<TRGB> ColorTable;  // 256 entries, black when the file has none
  bool Animate = false;
  TGIFRect ScreenRect;
  std::vector<std::unique_ptr<TgfFrame>> Frames;
  int CurrentIteration = 1;
  bool FirstTime = true;
  bool HeaderOnly = false;
  bool Dither = false;
  uint32_t LastTime = 0;
  int CurrentInterval = 0;
  bool Drawn = false;
  bool IsCopy = false;

 private:
  bool ReadGIF(const uint8_t* data, size_t size);
  void ClearFrames();
  void MakeBuffers();
  // The composed buffers to write to: a copy of them first while shared.
  TGIFScreen& OwnScreen();
  void DrawFrame(int number);
  void UndrawFrame(int number);
  [[nodiscard]] int FrameInterval(int number) const;
  void MakeDrawBitmaps();
  void ComposeOnto(TCanvas& canvas, int X, int Y, int W, int H);
  void DrawOverSavedBackground(TCanvas& canvas, int X, int Y, int W, int H);

  std::shared_ptr<TgfImageList> ImageList_;
  std::shared_ptr<TGIFScreen> Screen_;
  // The screen holds frame 1 composed on a blank one, as a copy starts.
  bool ScreenFresh_ = false;
  std::unique_ptr<PixelImage> Bitmap_, MaskedBitmap_, CurrentBitmap_;
  // The buffers as bitmaps for drawing, remade after a frame changes them.
  std::unique_ptr<TBitmap> DrawPicture_, DrawMask_;
  bool DrawStale_ = true;
  // The canvas area under the image, and where it was taken.
  std::unique_ptr<TBitmap> Background_;
  TGIFRect BackgroundRect_;
};

// The factories: nil when the data is not a readable GIF. `NonAnimated` says
// whether it has a single frame.
[[nodiscard]] std::unique_ptr<TGIFImage> CreateAGifFromStream(bool& NonAnimated, const uint8_t* data, size_t size);
[[nodiscard]] std::unique_ptr<TGIFImage> CreateAGif(const std::string& FileName, bool& NonAnimated);

}  // namespace lark
