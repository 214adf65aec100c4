#include "images/gif_image.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "images/bitmap_conversion.h"
#include "images/display_palette.h"
#include "images/image_log.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/gdi.h"
#include "platform/core/clock.h"
#include "platform/core/exception.h"
#include "platform/core/stream.h"

namespace lark {

namespace {

bool MaskBit(const PixelImage& mask, int x, int y) { return mask.PixelIndex(x, y) != 0; }

// `delay` x 100 / `speed` rounded, as MulDiv does; a speed below 1 counts as 1.
int ScaledDelay(int delay, int speed) {
  speed = std::max(1, speed);
  return static_cast<int>((int64_t{delay} * 100 + speed / 2) / speed);
}

// A 1-bit mask as a picture of black and white palette entries, so that
// raster operations read it as colours.
PixelImage MaskAsColors(const PixelImage& mask, int width, int height) {
  PixelImage colors(width, height, PixelDepth::k8Bit);
  colors.Palette = {{0, 0, 0}, {255, 255, 255}};
  for (int y = 0; y < height && y < mask.Height(); ++y)
    for (int x = 0; x < width && x < mask.Width(); ++x)
      if (MaskBit(mask, x, y)) colors.ScanLine(y)[x] = 1;
  return colors;
}

// Bytes of one pixel of the composed screen: an index, or B, G, R.
size_t PixelBytes(const PixelImage& screen) { return size_t(BitsPerPixel(screen.Format())) / 8; }

// One row of a frame onto the screen: each opaque pixel writes its index's
// `Bytes` bytes of `colors`.
template <size_t Bytes>
void ComposeRow(const uint8_t* source, const uint8_t* clear, const uint8_t* colors, uint8_t* target, int width) {
  if (Bytes == 1 && !clear) {  // the common case: an opaque frame in indices
    for (int x = 0; x < width; ++x) target[x] = colors[source[x]];
    return;
  }
  for (int x = 0; x < width; ++x, target += Bytes) {
    if (clear && ((clear[x >> 3] >> (7 - (x & 7))) & 1)) continue;
    const uint8_t* color = colors + size_t{source[x]} * Bytes;
    for (size_t i = 0; i < Bytes; ++i) target[i] = color[i];
  }
}

// The screen mask's bits from `left` on turn opaque where the frame's are.
void ShowOpaque(const uint8_t* clear, uint8_t* shown, int left, int width) {
  for (int x = 0; x < width; ++x)
    if (!clear || !((clear[x >> 3] >> (7 - (x & 7))) & 1)) shown[(left + x) >> 3] &= uint8_t(~(0x80 >> ((left + x) & 7)));
}

}  // namespace

TgfFrame::TgfFrame(const TgfFrame& source, TGIFImage* owner)
    : frLeft(source.frLeft),
      frTop(source.frTop),
      frWidth(source.frWidth),
      frHeight(source.frHeight),
      ColorBits(source.ColorBits),
      frDelay(source.frDelay),
      frDisposal(source.frDisposal),
      frLocalColors(source.frLocalColors),
      frInterlaced(source.frInterlaced),
      frTransparent(source.frTransparent),
      frTransIndex(source.frTransIndex),
      frTransColor(source.frTransColor),
      frColorTable(source.frColorTable),
      frOwner(owner),
      frComment(source.frComment),
      frReduce(source.frReduce),
      ImageIndex(source.ImageIndex) {
  auto copy = [](const std::unique_ptr<PixelImage>& image) {
    return image ? std::make_unique<PixelImage>(*image) : nullptr;
  };
  frBitmap = copy(source.frBitmap);
  frMask = copy(source.frMask);
}

TGIFImage::TGIFImage() : ImageList_(std::make_shared<TgfImageList>()), Screen_(std::make_shared<TGIFScreen>()) {}

TGIFImage::~TGIFImage() = default;

std::unique_ptr<TGIFImage> TGIFImage::CreateCopy(const TGIFImage& source) {
  auto copy = std::make_unique<TGIFImage>();
  TGIFImage& image = *copy;
  image.Animated = source.Animated;
  image.Empty = source.Empty;
  image.Width = source.Width;
  image.Height = source.Height;
  image.NumFrames = source.NumFrames;
  image.LoopLimit = source.LoopLimit;
  image.AnimateSpeed = source.AnimateSpeed;
  image.IsTransparent = source.IsTransparent;
  image.Visible = source.Visible;
  image.BitsPerPixel = source.BitsPerPixel;
  image.ColorTable = source.ColorTable;
  image.HeaderOnly = source.HeaderOnly;
  image.Dither = source.Dither;
  image.ImageList_ = source.ImageList_;
  image.IsCopy = true;
  for (const auto& frame : source.Frames) image.Frames.push_back(std::make_unique<TgfFrame>(*frame, &image));
  if (image.Animated && !image.Empty && !image.HeaderOnly) {
    if (source.ScreenFresh_) {
      image.Screen_ = source.Screen_;  // a copy of it waits for the first change
    } else {
      image.MakeBuffers();
      image.DrawFrame(1);
    }
    image.ScreenFresh_ = true;
  }
  return copy;
}

void TGIFImage::LoadFromMemory(const uint8_t* data, size_t size, bool headerOnly) {
  HeaderOnly = headerOnly;
  if (!ReadGIF(data, size)) throw EOutOfMemory("Out of memory");
}

void TGIFImage::LoadFromStream(TStream& stream, bool headerOnly) {
  const std::string data = stream.ReadRest();
  LoadFromMemory(reinterpret_cast<const uint8_t*>(data.data()), data.size(), headerOnly);
}

void TGIFImage::LoadFromFile(const std::string& fileName, bool headerOnly) {
  TMemoryStream stream;
  stream.LoadFromFile(fileName);
  LoadFromStream(stream, headerOnly);
}

// An animation draws its composed buffers; a still image its one frame,
// whose see-through pixels are black.
void TGIFImage::MakeDrawBitmaps() {
  if (!DrawStale_ && DrawPicture_) return;
  if (Animated) {
    DrawPicture_ = ToBitmap(Screen_->Picture);
    DrawMask_ = IsTransparent ? ToBitmap(MaskAsColors(Screen_->Mask, Width, Height)) : nullptr;
  } else {
    const TgfFrame& frame = *Frames[0];
    DrawPicture_ = ToBitmap(*frame.frBitmap);
    DrawMask_ = frame.frTransparent && frame.frMask ? ToBitmap(MaskAsColors(*frame.frMask, frame.frWidth, frame.frHeight))
                                                    : nullptr;
  }
  DrawStale_ = false;
}

void TGIFImage::Draw(TCanvas& Canvas, int X, int Y, int W, int H) {
  ScreenRect = {X, Y, W, H};
  if (!Visible || Empty || HeaderOnly || Frames.empty()) return;
  if (!Animated && !Frames[0]->frBitmap) return;
  MakeDrawBitmaps();
  SetStretchBltMode(Canvas, COLORONCOLOR);
  if (!DrawMask_) {
    StretchBlt(Canvas, X, Y, W, H, &DrawPicture_->Canvas(), 0, 0, DrawPicture_->Width(), DrawPicture_->Height(),
               SRCCOPY);
    return;
  }
  const bool keptFrames = Frame(CurrentFrame).frDisposal <= 1;
  if (keptFrames && GetDeviceCaps(Canvas, TECHNOLOGY) == DT_RASDISPLAY && W > 0 && H > 0)
    DrawOverSavedBackground(Canvas, X, Y, W, H);
  else
    ComposeOnto(Canvas, X, Y, W, H);
}

// What lies under the see-through pixels survives: (D xor P) and M or P,
// with the picture P black wherever the mask M is white.
void TGIFImage::ComposeOnto(TCanvas& canvas, int X, int Y, int W, int H) {
  const int width = DrawPicture_->Width();
  const int height = DrawPicture_->Height();
  StretchBlt(canvas, X, Y, W, H, &DrawPicture_->Canvas(), 0, 0, width, height, SRCINVERT);
  StretchBlt(canvas, X, Y, W, H, &DrawMask_->Canvas(), 0, 0, width, height, SRCAND);
  StretchBlt(canvas, X, Y, W, H, &DrawPicture_->Canvas(), 0, 0, width, height, SRCPAINT);
}

void TGIFImage::DrawOverSavedBackground(TCanvas& canvas, int X, int Y, int W, int H) {
  const TGIFRect rect{X, Y, W, H};
  const bool moved = BackgroundRect_.Left != X || BackgroundRect_.Top != Y || BackgroundRect_.Width != W ||
                     BackgroundRect_.Height != H;
  if (CurrentFrame == 1 || !Background_ || moved) {
    Background_ = std::make_unique<TBitmap>(W, H);
    BitBlt(Background_->Canvas(), 0, 0, W, H, &canvas, X, Y, SRCCOPY);
    BackgroundRect_ = rect;
  }
  TBitmap composed;
  composed.Assign(*Background_);
  SetStretchBltMode(composed.Canvas(), COLORONCOLOR);
  ComposeOnto(composed.Canvas(), 0, 0, W, H);
  BitBlt(canvas, X, Y, W, H, &composed.Canvas(), 0, 0, SRCCOPY);
}

void TGIFImage::ClearFrames() {
  Frames.clear();
  if (!IsCopy) ImageList_ = std::make_shared<TgfImageList>();
  NumFrames = 0;
  CurrentFrame = 1;
  LoopLimit = 1;
  CurrentIteration = 1;
  FirstTime = true;
  BitsPerPixel = 0;
  IsTransparent = false;
  Empty = true;
  ScreenFresh_ = false;
  Bitmap_.reset();
  MaskedBitmap_.reset();
  CurrentBitmap_.reset();
  DrawStale_ = true;
}

void TGIFImage::MakeBuffers() {
  Screen_ = std::make_shared<TGIFScreen>();
  Screen_->Picture.Resize(Width, Height, ImageList_->ScreenDepth);
  Screen_->Picture.Palette = ImageList_->ScreenPalette;
  if (!IsTransparent) return;
  PixelImage& mask = Screen_->Mask;
  mask.Resize(Width, Height, PixelDepth::k1Bit);
  mask.Palette = {{0, 0, 0}, {255, 255, 255}};
  for (int y = 0; y < Height; ++y) std::fill_n(mask.ScanLine(y), mask.RowBytes(), 0xFF);
}

// A shared screen holds frame 1 as composed on a blank one: composing that
// again costs what the frame covers, where copying the screen would write
// every page of it.
TGIFScreen& TGIFImage::OwnScreen() {
  if (Screen_.use_count() > 1) {
    MakeBuffers();
    DrawFrame(1);
  }
  return *Screen_;
}

// Composes a frame over the buffers: its opaque pixels replace what is there.
void TGIFImage::DrawFrame(int number) {
  TgfFrame& frame = Frame(number);
  DrawStale_ = true;
  if (frame.ImageIndex < 0 || frame.frWidth == 0 || frame.frHeight == 0) return;
  const PixelImage& picture = ImageList_->Pictures[frame.ImageIndex];
  const PixelImage& mask = ImageList_->Masks[frame.ImageIndex];
  if (picture.Empty()) return;
  TGIFScreen& screen = OwnScreen();
  const size_t bytes = PixelBytes(screen.Picture);
  const TGIFRect area{frame.frLeft, frame.frTop, frame.frWidth, frame.frHeight};
  if (frame.frDisposal == 3) {
    frame.frSaveBitmap = std::make_unique<PixelImage>(area.Width, area.Height, screen.Picture.Format());
    frame.frSaveMask = std::make_unique<PixelImage>(area.Width, area.Height, PixelDepth::k1Bit);
    for (int y = 0; y < area.Height; ++y) {
      std::copy_n(screen.Picture.ScanLine(area.Top + y) + area.Left * bytes, area.Width * bytes,
                  frame.frSaveBitmap->ScanLine(y));
      if (IsTransparent)
        for (int x = 0; x < area.Width; ++x)
          frame.frSaveMask->SetPixelIndex(x, y, screen.Mask.PixelIndex(area.Left + x, area.Top + y));
    }
  }
  // Row pointers and bit tests in place: a frame can cover millions of pixels.
  const bool masked = frame.frTransparent && !mask.Empty();
  const uint8_t* colors = ImageList_->ScreenColors[frame.ImageIndex].data();
  for (int y = 0; y < area.Height; ++y) {
    uint8_t* target = screen.Picture.ScanLine(area.Top + y) + area.Left * bytes;
    const uint8_t* clear = masked ? mask.ScanLine(y) : nullptr;
    if (bytes == 1) ComposeRow<1>(picture.ScanLine(y), clear, colors, target, area.Width);
    else ComposeRow<3>(picture.ScanLine(y), clear, colors, target, area.Width);
    if (IsTransparent) ShowOpaque(clear, screen.Mask.ScanLine(area.Top + y), area.Left, area.Width);
  }
}

// Takes a frame away before the next one, as its disposal says.
void TGIFImage::UndrawFrame(int number) {
  const bool fresh = ScreenFresh_;
  TGIFScreen& screen = OwnScreen();  // every change starts here
  TgfFrame& frame = Frame(number);
  DrawStale_ = true;
  ScreenFresh_ = false;
  // Frame 1 of a fresh screen lies on a blank one, which restoring gives
  // back (a copy that shared the screen saved nothing).
  const bool restored = frame.frDisposal == 3 && frame.frSaveBitmap && !fresh;
  if (frame.frDisposal != 2 && !(frame.frDisposal == 3 && fresh) && !restored) return;
  const size_t bytes = PixelBytes(screen.Picture);
  const TGIFRect area{frame.frLeft, frame.frTop, frame.frWidth, frame.frHeight};
  for (int y = 0; y < area.Height; ++y) {
    uint8_t* target = screen.Picture.ScanLine(area.Top + y) + area.Left * bytes;
    if (restored) std::copy_n(frame.frSaveBitmap->ScanLine(y), area.Width * bytes, target);
    else std::fill_n(target, area.Width * bytes, 0);  // index 0 is black, as is 24-bit 0
    if (IsTransparent)
      for (int x = 0; x < area.Width; ++x)
        screen.Mask.SetPixelIndex(area.Left + x, area.Top + y, restored ? frame.frSaveMask->PixelIndex(x, y) : 1);
  }
}

int TGIFImage::FrameInterval(int number) const { return std::max(1, ScaledDelay(Frames[number - 1]->frDelay, AnimateSpeed)); }

void TGIFImage::SetAnimate(bool value) {
  if (value == Animate) return;
  Animate = value;
  CurrentIteration = 1;
  if (value && NumFrames > 1) {
    CurrentInterval = std::max(1, Frame(CurrentFrame).frDelay * 100 / std::max(1, AnimateSpeed));
    LastTime = timeGetTime();
  }
}

void TGIFImage::SetCurrentFrame(int frame) {
  if (frame == CurrentFrame || NumFrames == 0) return;
  if (Animated && !Empty) UndrawFrame(CurrentFrame);
  CurrentFrame = frame > NumFrames ? 1 : frame < 1 ? NumFrames : frame;
  if (Animated && !Empty) DrawFrame(CurrentFrame);
}

bool TGIFImage::CheckTime() { return CheckTimeAt(timeGetTime()); }

bool TGIFImage::CheckTimeAt(uint32_t now) {
  if (!Animate || Empty || HeaderOnly || NumFrames < 2) return false;
  if (static_cast<int64_t>(now - LastTime) < CurrentInterval) return false;
  LastTime = now;
  if (LoopLimit >= 1 && CurrentFrame == NumFrames) {
    if (CurrentIteration >= LoopLimit) {
      Animate = false;  // the last frame stays
      return false;
    }
    ++CurrentIteration;
  }
  bool changed = false;
  if (FirstTime) {
    FirstTime = false;
  } else {
    UndrawFrame(CurrentFrame);
    CurrentFrame = CurrentFrame % NumFrames + 1;
    DrawFrame(CurrentFrame);
    changed = true;
  }
  CurrentInterval = FrameInterval(CurrentFrame);
  return changed;
}

const PixelImage* TGIFImage::GetBitmap() {
  if (Empty || HeaderOnly || Frames.empty() || !Frames[0]->frBitmap) return nullptr;
  if (!Bitmap_) Bitmap_ = std::make_unique<PixelImage>(*Frames[0]->frBitmap);
  return Bitmap_.get();
}

const PixelImage* TGIFImage::GetMaskedBitmap() {
  if (Empty || HeaderOnly || Frames.empty() || !Frames[0]->frMask) return nullptr;
  if (!MaskedBitmap_) MaskedBitmap_ = std::make_unique<PixelImage>(*Frames[0]->frMask);
  return MaskedBitmap_.get();
}

const PixelImage* TGIFImage::GetCurrentBitmap() {
  if (Empty || HeaderOnly || Frames.empty() || !Frames[0]->frBitmap) return nullptr;
  if (CurrentBitmap_) return CurrentBitmap_.get();
  const TgfFrame& frame = *Frames[0];
  const HPALETTE viewer = ColorBits() == 8 ? ThePalette() : nullptr;
  auto bitmap = std::make_unique<PixelImage>(frame.frWidth, frame.frHeight, viewer ? PixelDepth::k8Bit : PixelDepth::k24Bit);
  std::unordered_map<uint32_t, uint8_t> nearest;  // a frame has few colours
  auto viewerIndex = [&](const TRGB& color) {
    const TColor rgb = RGB(color.R, color.G, color.B);
    auto [entry, added] = nearest.try_emplace(rgb);
    if (added) entry->second = static_cast<uint8_t>(GetNearestPaletteIndex(viewer, rgb));
    return entry->second;
  };
  const PixelImage* mask = frame.frTransparent && frame.frMask ? frame.frMask.get() : nullptr;
  std::vector<uint8_t> row(size_t(frame.frWidth) * 3);
  for (int y = 0; y < frame.frHeight; ++y) {
    uint8_t* target = bitmap->ScanLine(y);
    uint8_t* bgr = viewer ? row.data() : target;
    frame.frBitmap->ReadRow24(y, bgr);
    const uint8_t* clear = mask ? mask->ScanLine(y) : nullptr;
    for (int x = 0; x < frame.frWidth; ++x) {
      uint8_t* pixel = bgr + x * 3;
      if (clear && ((clear[x >> 3] >> (7 - (x & 7))) & 1)) {
        pixel[0] = frame.frTransColor.B;
        pixel[1] = frame.frTransColor.G;
        pixel[2] = frame.frTransColor.R;
      }
      if (viewer) target[x] = viewerIndex(TRGB{pixel[2], pixel[1], pixel[0]});
    }
  }
  if (viewer) bitmap->Palette = PaletteColors(viewer);
  CurrentBitmap_ = std::move(bitmap);
  return CurrentBitmap_.get();
}

std::unique_ptr<TGIFImage> CreateAGifFromStream(bool& NonAnimated, const uint8_t* data, size_t size) {
  try {
    auto image = std::make_unique<TGIFImage>();
    image->LoadFromMemory(data, size, true);
    image->Animate = false;
    image->Visible = false;
    NonAnimated = !image->Animated;
    if (ColorBits() == 8 && image->BitsPerPixel >= 2) image->Dither = NonAnimated;
    image->LoadFromMemory(data, size, false);
    return image;
  } catch (const Exception& e) {
    LogImageRefused(e.Message);
  } catch (const std::bad_alloc&) {
    LogImageRefused("Out of memory");
  }
  return nullptr;
}

std::unique_ptr<TGIFImage> CreateAGif(const std::string& FileName, bool& NonAnimated) {
  TMemoryStream stream;
  try {
    stream.LoadFromFile(FileName);
  } catch (const Exception&) {
    return nullptr;
  }
  return CreateAGifFromStream(NonAnimated, static_cast<const uint8_t*>(stream.Memory()), size_t(stream.Size()));
}

}  // namespace lark
