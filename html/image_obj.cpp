// Inline images: attributes, obtaining the picture, sizing, drawing the
// visible part, late arrival and rollover looks.
#include "html/image_obj.h"

#include <algorithm>
#include <cstdlib>

#include "html/attribute_list.h"
#include "html/document_utils.h"
#include "html/font_run.h"
#include "html/form_control_image.h"
#include "html/id_name_list.h"
#include "html/image_loader.h"
#include "html/properties.h"
#include "html/url_target.h"
#include "images/bitmap_conversion.h"
#include "images/gif_image.h"
#include "platform/core/string_routines.h"
#include "platform/graphics/gdi.h"
#include "platform/windows/control.h"

namespace lark {

namespace {

constexpr int kPlaceholderInset = 4;
constexpr int kPlaceholderMinimum = 24;
constexpr int kFloatSpace = 3;
constexpr int kMaxImageSpace = 40;

int ClampSide(std::int64_t value) { return static_cast<int>(std::clamp<std::int64_t>(value, 0, kMaxImageSide)); }

// a x b / c rounded half away from zero, in 64 bits, held to an image side.
int ScaleSide(std::int64_t a, std::int64_t b, std::int64_t c) {
  if (c <= 0) return 0;
  return ClampSide((a * b + c / 2) / c);
}

int ImageSpace(std::int32_t value) {
  return static_cast<int>(std::min<std::int64_t>(kMaxImageSpace, std::llabs(std::int64_t{value})));
}

// The columns (or rows) of the source that each visible target pixel shows.
std::vector<int> SourceIndex(int visibleStart, int targetStart, int count, int sourceSize, int targetSize) {
  std::vector<int> index(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const std::int64_t offset = std::int64_t{visibleStart} - targetStart + i;
    index[static_cast<std::size_t>(i)] = static_cast<int>(offset * sourceSize / targetSize);
  }
  return index;
}

void PutPixel(std::uint8_t* row, int x, TColor color) {
  std::uint8_t* pixel = row + static_cast<std::ptrdiff_t>(x) * 4;
  pixel[0] = static_cast<std::uint8_t>(color >> 16);
  pixel[1] = static_cast<std::uint8_t>(color >> 8);
  pixel[2] = static_cast<std::uint8_t>(color);
  pixel[3] = 0xFF;
}

// The visible part of `image` scaled to (x, y, w, h), drawn through `mask`
// when there is one. Memory is taken for the visible part only.
void DrawScaledPart(TCanvas& canvas, const TBitmap& image, const TBitmap* mask, int x, int y, int w, int h) {
  if (w <= 0 || h <= 0 || image.Width() <= 0 || image.Height() <= 0) return;
  const TRect clip = canvas.ClipRect();
  const TRect visible{std::max(x, clip.Left), std::max(y, clip.Top),
                      static_cast<int>(std::min<std::int64_t>(std::int64_t{x} + w, clip.Right)),
                      static_cast<int>(std::min<std::int64_t>(std::int64_t{y} + h, clip.Bottom))};
  if (visible.IsEmpty()) return;
  const int vw = visible.Width(), vh = visible.Height();
  const std::vector<int> columns = SourceIndex(visible.Left, x, vw, image.Width(), w);
  const std::vector<int> rows = SourceIndex(visible.Top, y, vh, image.Height(), h);
  TBitmap piece(vw, vh);
  piece.SetPixelFormat(pf32bit);
  TBitmap pieceMask(vw, vh);
  pieceMask.SetPixelFormat(pf32bit);
  const bool masked = mask && mask->Width() >= image.Width() && mask->Height() >= image.Height();
  // A source row is read once however many target rows show it.
  std::vector<TColor> colors(static_cast<std::size_t>(vw)), see(static_cast<std::size_t>(vw));
  int lastRow = -1;
  for (int j = 0; j < vh; ++j) {
    const int sy = rows[static_cast<std::size_t>(j)];
    if (sy != lastRow)
      for (std::size_t i = 0; i < colors.size(); ++i) {
        colors[i] = image.Pixel(columns[i], sy);
        if (masked) see[i] = (mask->Pixel(columns[i], sy) & 0xFFFFFF) == clWhite ? clWhite : clBlack;
      }
    lastRow = sy;
    auto* row = static_cast<std::uint8_t*>(piece.ScanLine(j));
    auto* maskRow = static_cast<std::uint8_t*>(pieceMask.ScanLine(j));
    for (int i = 0; i < vw; ++i) {
      PutPixel(row, i, colors[static_cast<std::size_t>(i)]);
      if (masked) PutPixel(maskRow, i, see[static_cast<std::size_t>(i)]);
    }
  }
  if (masked)
    PrintTransparentBitmap(canvas, visible.Left, visible.Top, vw, vh, piece, pieceMask);
  else
    canvas.Draw(visible.Left, visible.Top, piece);
}

bool IsPlaceholderBitmap(const TBitmap* bitmap) { return bitmap == &DefBitmap() || bitmap == &ErrorBitmap(); }

}  // namespace

void DrawTransparentBitmap(TCanvas& canvas, const TBitmap& image, const TBitmap& mask, int x, int y, int w, int h) {
  DrawScaledPart(canvas, image, &mask, x, y, w, h);
}

TImageObj::TImageObj(TSectionList& masterList) : MasterList(&masterList) {}

TImageObj::TImageObj(TSectionList& masterList, int position, const TAttributeList& attributes)
    : MasterList(&masterList) {
  Pos = position;
  ReadAttributes(attributes);
}

void TImageObj::ReadAttributes(const TAttributeList& attributes) {
  bool hSpaceGiven = false;
  for (const auto& attribute : attributes) {
    const std::int32_t value = attribute->Value;
    switch (attribute->Which) {
      case AlignSy: ObjAlign = ObjectAlignment(attribute->Name, ObjAlign); break;
      case SrcSy: Source = Trim(attribute->Name); break;
      case AltSy: Alt = Title = attribute->Name; break;
      case WidthSy:
        if (attribute->Name.find('%') == std::string::npos) {
          SpecWidth = ClampSide(value);
        } else if (value >= 1 && value <= 100) {
          SpecWidth = value;
          PercentWidth = true;
        }
        break;
      case HeightSy: SpecHeight = std::max(1, ClampSide(value)); break;
      case HSpaceSy:
        HSpaceL = ImageSpace(value);
        hSpaceGiven = true;
        break;
      case VSpaceSy: VSpaceT = ImageSpace(value); break;
      case BorderSy: NoBorder = value == 0; break;
      case TranspSy: Transparent = trCorner; break;
      case IsMapSy: IsMap = true; break;
      case UseMapSy: {
        UseMap = true;
        std::string name = UpperCase(Trim(attribute->Name));
        if (!name.empty() && name[0] == '#') name.erase(0, 1);
        MapName = name;
        break;
      }
      case ActiveSy: Active = true; break;
      case NameSy:
        if (MasterList->IDNameList) MasterList->IDNameList->AddObject(attribute->Name, this);
        break;
      default: break;
    }
  }
  if (const TAttribute* title = attributes.Find(TitleSy)) Title = title->Name;
  if (const TAttribute* id = attributes.Find(IDSy); id && MasterList->IDNameList)
    MasterList->IDNameList->AddObject(LowerCase(id->Name), this);
  if (!hSpaceGiven) HSpaceL = Floats() ? kFloatSpace : 0;
  HSpaceR = HSpaceL;
  VSpaceB = VSpaceT;
}

std::unique_ptr<TImageObj> TImageObj::SimpleCreate(TSectionList& masterList, const std::string& url) {
  std::unique_ptr<TImageObj> image(new TImageObj(masterList));
  image->Source = url;
  image->NoBorder = true;
  return image;
}

TImageObj::~TImageObj() {
  if (MyFormControl) MyFormControl->MyImage = nullptr;
  if (gif_) MasterList->ForgetGif(gif_.get());
  MasterList->ForgetObject(this);
  if (!IsCopy() && !heldKey_.empty()) MasterList->ReleaseImage(heldKey_);
}

void TImageObj::ProcessProperties(const TProperties& prop) {
  auto applyAlignment = [&] {
    AlignmentType align = ANone;
    if (prop.GetVertAlign(align)) {
      if (align == ATop) ObjAlign = aTop;
      else if (align == AMiddle) ObjAlign = aMiddle;
      else if (align == ABottom) ObjAlign = aBottom;
      else if (align == ABaseline) ObjAlign = aBaseline;
    }
    if (prop.GetFloat(align) && (align == ALeft || align == ARight)) {
      ObjAlign = align == ALeft ? aLeft : aRight;
      if (HSpaceR == 0) HSpaceL = HSpaceR = kFloatSpace;
    }
  };
  applyAlignment();
  if (Title.empty()) Title = prop.PropTitle;
  const TBoxValues box = prop.GetBoxValues(200, 200);
  // The converted box reads an unset length as auto or 0, which would wipe
  // HSPACE, VSPACE, WIDTH and HEIGHT of every image without a style.
  TVMarginArray styled;
  prop.GetVMarginArray(styled);
  auto isStyled = [&](int index) {
    const TPropValue& value = styled[static_cast<std::size_t>(index)];
    const int* number = AsInt(value);
    return !IsEmpty(value) && !(number && *number == NullValue);
  };
  auto margin = [&](int index, std::int32_t& field) {
    const int value = box.M[static_cast<std::size_t>(index)];
    if (isStyled(index) && value != NullValue && value != AutoValue && value != ParagraphSpace) field = value;
  };
  margin(css::MarginLeft, HSpaceL);
  margin(css::MarginRight, HSpaceR);
  margin(css::MarginTop, VSpaceT);
  margin(css::MarginBottom, VSpaceB);
  const int width = box.M[css::Width], height = box.M[css::Height];
  if (isStyled(css::Width)) {
    SpecWidth = width == AutoValue ? 0 : ClampSide(width);
    PercentWidth = false;
  }
  if (isStyled(css::Height)) SpecHeight = height == AutoValue ? 0 : ClampSide(height);
  applyAlignment();
}

std::unique_ptr<TFloatingObj> TImageObj::CreateCopy(TSectionList& list) const {
  std::unique_ptr<TImageObj> copy(new TImageObj(list));
  copy->Pos = Pos;
  copy->ImageHeight = ImageHeight;
  copy->ImageWidth = ImageWidth;
  copy->ObjAlign = ObjAlign;
  copy->HSpaceL = HSpaceL;
  copy->HSpaceR = HSpaceR;
  copy->VSpaceT = VSpaceT;
  copy->VSpaceB = VSpaceB;
  copy->Title = Title;
  copy->Source = Source;
  copy->ImageKnown = ImageKnown;
  copy->ObjHeight = ObjHeight;
  copy->ObjWidth = ObjWidth;
  copy->SpecHeight = SpecHeight;
  copy->SpecWidth = SpecWidth;
  copy->PercentWidth = PercentWidth;
  copy->NoBorder = NoBorder;
  copy->HasBorder = HasBorder;
  copy->Alt = Alt;
  copy->IsMap = IsMap;
  copy->Transparent = Transparent;
  copy->bitmap_ = bitmap_;
  copy->mask_ = mask_;
  if (gif_) copy->gif_ = TGIFImage::CreateCopy(*gif_);
  copy->tried_ = tried_;
  return copy;
}

bool TImageObj::ShowsPlaceholder() const {
  return !MasterList->ShowImages || (!gif_ && (!bitmap_ || IsPlaceholderBitmap(bitmap_)));
}

void TImageObj::TakeCached(const TCachedImage& cached) {
  if (cached.Gif) {
    gif_ = TGIFImage::CreateCopy(*cached.Gif);
    bitmap_ = mask_ = nullptr;
    if (Active) {
      gif_->SetAnimate(false);
    } else {
      MasterList->AGifList.push_back(gif_.get());
      gif_->SetAnimate(true);
    }
  } else {
    bitmap_ = cached.Bitmap;
    mask_ = cached.Mask;
  }
}

void TImageObj::Obtain(TSectionList& list) {
  if (!list.ShowImages || tried_) return;
  tried_ = true;
  std::string name = Source;
  if (list.OnExpandName) list.OnExpandName(list.TheOwner, Source, name);
  const std::string key = ImageCacheKey(name);
  Missing = !key.empty() && list.MissingImages.Waits(key);
  if (!Missing) {
    TTransparency transparent = Transparent;
    bool fromCache = false;
    const TCachedImage cached = list.GetTheBitmap(name, transparent, fromCache, Missing);
    if (cached) {
      heldKey_ = key;
      Transparent = transparent;
      TakeCached(cached);
      return;
    }
  }
  if (Missing) {
    bitmap_ = &DefBitmap();
    list.MissingImages.Add(key, this);
  } else {
    bitmap_ = &ErrorBitmap();
    mask_ = &ErrorBitmapMask();
    Transparent = trCorner;
  }
}

void TImageObj::SizeFor(TCanvas& canvas, int availableWidth) {
  const bool placeholder = ShowsPlaceholder();
  const int givenWidth = PercentWidth ? ScaleSide(std::max(0, availableWidth), SpecWidth, 100) : SpecWidth;
  if (!ImageKnown) {
    if (placeholder) {
      const TBitmap& picture = bitmap_ && MasterList->ShowImages ? *bitmap_ : DefBitmap();
      ImageKnown = givenWidth > 0 && SpecHeight > 0 && !PercentWidth;
      ObjWidth = givenWidth > 0 && SpecHeight > 0 ? givenWidth : picture.Width();
      ObjHeight = givenWidth > 0 && SpecHeight > 0 ? SpecHeight : picture.Height();
    } else {
      const int w = gif_ ? gif_->Width : bitmap_->Width();
      const int h = gif_ ? gif_->Height : bitmap_->Height();
      ImageKnown = !PercentWidth;
      if (givenWidth > 0 && SpecHeight > 0) {
        ObjWidth = givenWidth;
        ObjHeight = SpecHeight;
      } else if (givenWidth > 0) {
        ObjWidth = givenWidth;
        ObjHeight = ScaleSide(givenWidth, h, w);
      } else if (SpecHeight > 0) {
        ObjHeight = SpecHeight;
        ObjWidth = ScaleSide(SpecHeight, w, h);
      } else {
        ObjWidth = w;
        ObjHeight = h;
      }
    }
  }
  if (placeholder && !ImageKnown) {
    const TFont oldFont = canvas.Font();
    canvas.Font().SetName("Arial");
    canvas.Font().SetSize(8);
    const TSize text = canvas.TextExtent(Alt);
    canvas.SetFont(oldFont);
    ObjWidth = std::max(ObjWidth, ClampSide(std::int64_t{text.cx} + 2 + kPlaceholderMinimum));
    ObjHeight = std::max({ObjHeight, kPlaceholderMinimum, text.cy});
  }
}

void TImageObj::DrawLogic(TSectionList& list, TCanvas& canvas, const TFontObj* run, int availableWidth) {
  Obtain(list);
  SizeFor(canvas, availableWidth);
  HasBorder = !NoBorder && run && run->IsLink();
  const int border = HasBorder ? 2 : 0;
  ImageWidth = ObjWidth + border;
  ImageHeight = ObjHeight + border;
}

void TImageObj::DoDraw(TCanvas& canvas, int x, int y) {
  const bool placeholder = ShowsPlaceholder();
  const TBitmap* picture = MasterList->ShowImages ? bitmap_ : &DefBitmap();
  const int w = placeholder && picture ? picture->Width() : ObjWidth;
  const int h = placeholder && picture ? picture->Height() : ObjHeight;
  std::unique_ptr<TBitmap> frame, frameMask;
  const TBitmap* mask = placeholder && picture != &ErrorBitmap() ? nullptr : mask_;
  if (gif_ && !placeholder) {
    if (!IsCopy()) {
      gif_->Drawn = true;
      gif_->SetVisible(true);
      const TRect clip = canvas.ClipRect();
      // Wholly in sight: the GIF draws itself, keeping what lies beneath for
      // its disposal. Only partly: the composed frame's visible part alone.
      if (x >= clip.Left && y >= clip.Top && std::int64_t{x} + w <= clip.Right && std::int64_t{y} + h <= clip.Bottom) {
        gif_->Draw(canvas, x, y, w, h);
        return;
      }
      frame = ToBitmap(gif_->FrameBuffer());
      if (gif_->IsTransparent && gif_->MaskBuffer().Width() > 0) frameMask = ToBitmap(gif_->MaskBuffer());
    } else {
      if (const PixelImage* first = gif_->GetBitmap()) frame = ToBitmap(*first);
      if (const PixelImage* firstMask = gif_->GetMaskedBitmap(); firstMask && gif_->IsTransparent)
        frameMask = ToBitmap(*firstMask);
    }
    picture = frame.get();
    mask = frameMask.get();
  }
  if (!picture) return;
  if (IsCopy()) {
    if (mask) PrintTransparentBitmap(canvas, x, y, w, h, *picture, *mask);
    else PrintBitmap(canvas, x, y, *picture, w, h);
    return;
  }
  DrawScaledPart(canvas, *picture, mask, x, y, w, h);
}

void TImageObj::DrawPlaceholderText(TCanvas& canvas, int x, int y, TColor color) {
  if (Alt.empty()) return;
  const TFont oldFont = canvas.Font();
  canvas.Font().SetName("Arial");
  canvas.Font().SetSize(8);
  canvas.Font().SetColor(color);
  const int oldMode = SetBkMode(canvas, TRANSPARENT);
  const unsigned oldAlign = SetTextAlign(canvas, TA_TOP | TA_LEFT);
  WrapTextRect(canvas, x + kPlaceholderMinimum, y + kPlaceholderInset, Alt, y + ObjHeight, x + ObjWidth - 2);
  SetTextAlign(canvas, oldAlign);
  SetBkMode(canvas, oldMode);
  canvas.SetFont(oldFont);
}

void TImageObj::Draw(TCanvas& canvas, int x, int topY, int yBaseline, const TFontObj* run) {
  DrawXX = x;
  switch (ObjAlign) {
    case aTop:
    case aLeft:
    case aRight: DrawYY = topY + VSpaceT; break;
    case aMiddle: {
      const int descent = run ? run->Descent : 0, textHeight = run ? run->tmHeight : 0;
      DrawYY = yBaseline + descent - textHeight / 2 - (ImageHeight - VSpaceT + VSpaceB) / 2;
      break;
    }
    default: DrawYY = yBaseline - ImageHeight - VSpaceB; break;
  }
  if (HasBorder) {
    ++DrawXX;
    ++DrawYY;
  }
  const int y = DrawYY - MasterList->YOff;
  const bool placeholder = ShowsPlaceholder();
  if (!placeholder) {
    DoDraw(canvas, DrawXX, y);
  } else if (ObjWidth >= kPlaceholderMinimum && ObjHeight >= kPlaceholderMinimum) {
    DoDraw(canvas, DrawXX + kPlaceholderInset, y + kPlaceholderInset);
  }
  const TColor textColor = run ? run->Font().Color() : clBlack;
  if (placeholder && !HasBorder) {
    DrawPlaceholderText(canvas, DrawXX, y, textColor);
    DrawRaisedBox(MasterList->PageLook(), canvas, DrawXX, y, DrawXX + ObjWidth - 1, y + ObjHeight - 1, false);
  }
  if (HasBorder) {
    if (placeholder) DrawPlaceholderText(canvas, DrawXX, y, textColor);
    const TPen oldPen = canvas.Pen();
    const TBrush oldBrush = canvas.Brush();
    canvas.Pen().Color = textColor;
    canvas.Brush().Style = bsClear;
    canvas.Rectangle(DrawXX - 1, y - 1, DrawXX - 1 + ImageWidth, y - 1 + ImageHeight);
    canvas.SetPen(oldPen);
    canvas.SetBrush(oldBrush);
  }
}

void TImageObj::InsertImage(const std::string& key, bool& reformat) {
  reformat = false;
  if (bitmap_ != &DefBitmap()) return;
  TTransparency transparent = Transparent;
  bool fromCache = false, delay = false;
  const TCachedImage cached = MasterList->GetTheBitmap(key, transparent, fromCache, delay);
  Missing = false;
  if (!cached) return;  // nothing came: the placeholder stays, and counts as handled
  heldKey_ = key;
  Transparent = transparent;
  TakeCached(cached);
  reformat = !ImageKnown;
}

void TImageObj::SetHover(int value) {
  if (!Active || !gif_ || value == Hover) return;
  if (value == 0) {
    gif_->SetAnimate(false);
    gif_->SetCurrentFrame(1);
    MasterList->AGifList.Remove(gif_.get());
  } else if (gif_->NumFrames == 2) {
    gif_->SetCurrentFrame(2);
  } else if (gif_->NumFrames == 3) {
    gif_->SetCurrentFrame(value == 2 ? 3 : 2);
  } else {
    gif_->SetAnimate(true);
    MasterList->AGifList.Remove(gif_.get());
    MasterList->AGifList.push_back(gif_.get());
  }
  Hover = value;
  if (MasterList->PPanel) MasterList->PPanel->Invalidate();
}

TRect TImageObj::HitArea() const {
  const int border = HasBorder ? 2 : 0;
  return {DrawXX, DrawYY, DrawXX + ImageWidth - border, DrawYY + ImageHeight - border};
}

bool TImageObj::GetURL(int ix, int iy, const TFontObj* run, std::unique_ptr<TUrlTarget>& urlTarget) const {
  if (UseMap)
    for (const auto& map : MasterList->MapList)
      if (UpperCase(map->MapName) == MapName) return map->GetURL(ix, iy, urlTarget);
  if (!run || !run->IsLink()) return false;
  urlTarget = std::make_unique<TUrlTarget>();
  urlTarget->Assign(run->UrlTarget());
  if (IsMap) urlTarget->URL += "?" + std::to_string(ix) + "," + std::to_string(iy);
  return true;
}

const TBitmap* TImageObj::GetBitmap() {
  if (bitmap_ == &ErrorBitmap()) return nullptr;
  if (gif_) {
    fBitmap_ = ToBitmap(gif_->FrameBuffer());
    return fBitmap_.get();
  }
  if (!bitmap_) return nullptr;
  if (!fBitmap_) {
    fBitmap_ = std::make_unique<TBitmap>();
    fBitmap_->Assign(*bitmap_);
  }
  return fBitmap_.get();
}

}  // namespace lark
