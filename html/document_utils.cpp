#include "html/document_utils.h"

#include <vector>

#include "platform/core/exception.h"
#include "platform/core/string_routines.h"
#include "platform/graphics/gdi.h"

namespace lark {

std::string TrimBlanks(std::string_view s) {
  std::size_t begin = 0;
  std::size_t end = s.size();
  while (begin < end && static_cast<unsigned char>(s[begin]) < 33) ++begin;
  while (end > begin && static_cast<unsigned char>(s[end - 1]) < 33) --end;
  return std::string(s.substr(begin, end - begin));
}

void DecodePercent(std::string& s) {
  const std::size_t first = s.find('%');
  if (first == std::string::npos || first == 0) return;
  // One pass, left to right: a decoded "%" is text, never a new escape.
  std::string decoded(s, 0, first);
  std::size_t i = first;
  for (; i < s.size(); ++i) {
    if (s[i] != '%') {
      decoded += s[i];
      continue;
    }
    if (i + 2 >= s.size()) break;
    const int high = HexDigitValue(s[i + 1]);
    const int low = HexDigitValue(s[i + 2]);
    if (high < 0 || low < 0) throw EConvertError("'" + s.substr(i + 1, 2) + "' is not a valid hexadecimal value");
    decoded += static_cast<char>(high * 16 + low);
    i += 2;
  }
  decoded.append(s, i, std::string::npos);
  s = std::move(decoded);
}

void ReplaceCharInString(char oldChar, char newChar, std::string& s) {
  for (char& c : s)
    if (c == oldChar) c = newChar;
}

std::string FileURLToPath(const std::string& url) {
  std::string s = url;
  DecodePercent(s);
  if (s.find('/') == std::string::npos) return s;
  const std::size_t scheme = PosText("file://", s);
  if (scheme != std::string::npos) s.erase(scheme, 7);
  return s;
}

std::string CombinePath(const std::string& name, const std::string& base) {
  std::string s = FileURLToPath(name);
  if (!s.empty() && s[0] == '/') return s;
  if (base.empty()) return s;
  if (base.back() == '/') return base + s;
  return base + "/" + s;
}

int TextExtentWidth(TCanvas& canvas, std::string_view text, int count) {
  TSize size;
  const int n = IntMax(0, IntMin(count, static_cast<int>(text.size())));
  GetTextExtentPoint32(canvas, text.data(), n, &size);
  return size.cx;
}

namespace {

std::vector<std::string> BlankSeparatedWords(std::string_view text) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t blank = text.find(' ', start);
    if (blank == std::string_view::npos) blank = text.size();
    std::string word = TrimBlanks(text.substr(start, blank - start));
    if (!word.empty()) words.push_back(std::move(word));
    start = blank + 1;
  }
  return words;
}

}  // namespace

void WrapTextRect(TCanvas& canvas, int left, int top, std::string_view text, int bottom, int right) {
  const TBrushStyle oldStyle = canvas.Brush().Style;
  canvas.Brush().Style = bsClear;
  SetTextAlign(canvas, TA_LEFT | TA_TOP);
  const int lineHeight = canvas.TextHeight("A");
  const TRect box = Rect(left, top, right, bottom);
  int y = top;
  std::string line;
  auto flush = [&]() {
    canvas.TextRect(box, left, y, line);
    y += lineHeight;
  };
  for (const std::string& word : BlankSeparatedWords(text)) {
    const std::string longer = line.empty() ? word : line + " " + word;
    if (line.empty() || canvas.TextWidth(longer) <= right - left) {
      line = longer;
      continue;
    }
    if (y + lineHeight > bottom) break;
    flush();
    line = word;
  }
  if (!line.empty() && y + lineHeight <= bottom) flush();
  canvas.Brush().Style = oldStyle;
}

bool IsMonochromeDevice(TCanvas& canvas) {
  return GetDeviceCaps(canvas, BITSPIXEL) * GetDeviceCaps(canvas, PLANES) <= 1;
}

namespace {

bool OnWhitePage(const TPageLook& look) {
  if (look.Printing) return true;
  if (look.Background == clWindow) return (ColorToRGB(clWindow) & 0xFFFFFF) == 0xFFFFFF;
  return (look.Background & 0xFFFFFF) >= 0xFFFFFF;
}

}  // namespace

void DrawRaisedBoxColors(TCanvas& canvas, int left, int top, int right, int bottom, TColor light, TColor dark,
                         bool raised) {
  top = IntMax(top, -200);
  bottom = IntMin(bottom, 3000);
  const TBrushStyle oldStyle = canvas.Brush().Style;
  const TColor oldPen = canvas.Pen().Color;
  canvas.Brush().Style = bsSolid;
  canvas.Pen().Color = raised ? light : dark;
  canvas.MoveTo(left, bottom);
  canvas.LineTo(left, top);
  canvas.LineTo(right, top);
  canvas.Pen().Color = raised ? dark : light;
  canvas.LineTo(right, bottom);
  canvas.LineTo(left, bottom);
  canvas.Pen().Color = oldPen;
  canvas.Brush().Style = oldStyle;
}

void DrawRaisedBox(const TPageLook& look, TCanvas& canvas, int left, int top, int right, int bottom,
                   bool raised) {
  TColor light = OnWhitePage(look) ? clSilver : clBtnHighlight;
  TColor dark = clBtnShadow;
  if (look.Printing && IsMonochromeDevice(canvas)) light = dark = clBlack;
  DrawRaisedBoxColors(canvas, left, top, right, bottom, light, dark, raised);
}

void DrawControlFrame(TCanvas& canvas, int left, int top, int right, int bottom, bool raised, bool printing) {
  const TBrush oldBrush = canvas.Brush();
  canvas.Brush().Color = clWhite;
  canvas.Brush().Style = bsSolid;
  canvas.FillRect(Rect(left, top, right - 1, bottom - 1));
  canvas.SetBrush(oldBrush);

  const TPen oldPen = canvas.Pen();
  canvas.Pen().Style = psInsideFrame;
  if (printing && IsMonochromeDevice(canvas)) {
    canvas.Pen().Width = 1;
    canvas.Pen().Color = clBlack;
    canvas.MoveTo(left, bottom - 1);
    canvas.LineTo(left, top);
    canvas.LineTo(right - 1, top);
    canvas.LineTo(right - 1, bottom - 1);
    canvas.LineTo(left, bottom - 1);
  } else {
    const TColor topLeft = raised ? clSilver : clBtnShadow;
    const TColor bottomRight = raised ? clBtnShadow : clSilver;
    canvas.Pen().Width = 2;
    canvas.Pen().Color = topLeft;
    canvas.MoveTo(left, bottom - 1);
    canvas.LineTo(left, top);
    canvas.LineTo(right - 1, top);
    canvas.Pen().Color = bottomRight;
    canvas.LineTo(right - 1, bottom - 1);
    canvas.LineTo(left, bottom - 1);
  }
  canvas.SetPen(oldPen);
}

void PrintBitmap(TCanvas& canvas, int x, int y, const TBitmap& bitmap, int w, int h) {
  canvas.StretchDraw(Rect(x, y, x + w, y + h), bitmap);
}

TRegion BitmapToRegion(const TBitmap& bitmap, TColor transparentColor) {
  // Regions are joined every 2000 runs so that no single rectangle list
  // grows with the picture's size.
  constexpr std::size_t kBatch = 2000;
  const TColor key = transparentColor & 0xFFFFFF;
  TRegion result;
  std::vector<TRect> runs;
  auto flushRuns = [&]() {
    if (runs.empty()) return;
    CombineRgn(result, result, ExtCreateRegion(runs), RGN_OR);
    runs.clear();
  };
  for (int y = 0; y < bitmap.Height(); ++y) {
    int x = 0;
    while (x < bitmap.Width()) {
      while (x < bitmap.Width() && (ColorToRGB(bitmap.Pixel(x, y)) & 0xFFFFFF) == key) ++x;
      const int start = x;
      while (x < bitmap.Width() && (ColorToRGB(bitmap.Pixel(x, y)) & 0xFFFFFF) != key) ++x;
      if (x > start) runs.push_back(Rect(start, y, x, y + 1));
      if (runs.size() >= kBatch) flushRuns();
    }
  }
  flushRuns();
  return result;
}

void PrintTransparentBitmap(TCanvas& canvas, int x, int y, int w, int h, const TBitmap& bitmap,
                            const TBitmap& mask) {
  if (w <= 0 || h <= 0) return;
  TPoint corners[2] = {Point(x, y), Point(x + w, y + h)};
  LPtoDP(canvas, corners, 2);
  const int deviceW = corners[1].X - corners[0].X;
  const int deviceH = corners[1].Y - corners[0].Y;
  if (deviceW <= 0 || deviceH <= 0) return;

  TBitmap scaledMask(deviceW, deviceH);
  scaledMask.Canvas().StretchDraw(Rect(0, 0, deviceW, deviceH), mask);
  TRegion clip = BitmapToRegion(scaledMask, clWhite);
  OffsetRgn(clip, corners[0].X, corners[0].Y);

  TRegion previous;
  const bool hadClip = GetClipRgn(canvas, previous) == HAS_CLIP_REGION;
  if (hadClip) CombineRgn(clip, clip, previous, RGN_AND);
  SelectClipRgn(canvas, &clip);
  canvas.StretchDraw(Rect(x, y, x + w, y + h), bitmap);
  SelectClipRgn(canvas, hadClip ? &previous : nullptr);
}

}  // namespace lark
