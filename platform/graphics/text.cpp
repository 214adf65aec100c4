// Measuring and drawing text: the canvas's text calls and the text
// functions of gdi.h share this one path, so what is measured is drawn.

#include <QGlyphRun>
#include <algorithm>
#include <map>

#include "platform/graphics/canvas.h"
#include "platform/graphics/canvas_device_qt.h"
#include "platform/graphics/font_engine_qt.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/region_data_qt.h"

namespace lark {

using detail::DrawCommand;
using detail::RealizedFont;
using detail::TextChar;

namespace {

struct LaidOutText {
  std::vector<TextChar> chars;
  std::vector<int> advances;  // per character
  int width = 0;
};

// The extra pixels of the next break character under SetTextJustification.
int TakeJustification(detail::GdiState& state) {
  if (state.JustifyBreaks <= 0 || state.JustifyUsed >= state.JustifyBreaks) return 0;
  const int extra = state.JustifyExtra / state.JustifyBreaks +
                    (state.JustifyUsed < state.JustifyExtra % state.JustifyBreaks ? 1 : 0);
  ++state.JustifyUsed;
  return extra;
}

LaidOutText LayOut(TCanvas& dc, const RealizedFont& font, std::string_view text, const int* dx) {
  LaidOutText result;
  result.chars = detail::SplitCharacters(text, font.CodePage());
  result.advances.reserve(result.chars.size());
  for (const TextChar& c : result.chars) {
    int advance = 0;
    if (dx) {
      for (size_t i = 0; i < c.length; ++i) advance += dx[c.offset + i];
    } else {
      advance = font.GlyphFor(c.code_point).advance;
      if (c.code_point == font.Metrics().tmBreakChar) advance += TakeJustification(dc.State());
    }
    result.advances.push_back(advance);
    result.width += advance;
  }
  return result;
}

// Narrows a command's clip to a logical rectangle, when one is given.
void NarrowClip(DrawCommand& command, const std::optional<QRect>& clip_to) {
  if (!clip_to) return;
  const QRegion area = detail::MapToDevice(command.transform, *clip_to);
  command.clip = command.clip ? command.clip->intersected(area) : area;
}

// Builds and runs the command that draws laid-out text with its left end at
// start_x and its baseline at baseline.
void DrawLaidOut(TCanvas& dc, const RealizedFont& font, std::string_view bytes, const LaidOutText& text,
                 int start_x, int baseline, std::optional<QRect> opaque, std::optional<QRect> clip_to) {
  DrawCommand command = detail::NewCommand(dc, DrawCommand::Kind::Text);
  command.text = std::string(bytes);
  command.textColor = detail::ToQColor(dc.State().TextColor);
  command.background = detail::ToQColor(dc.State().BkColor);
  command.opaqueRect = opaque;
  NarrowClip(command, clip_to);
  std::map<int, std::pair<QList<quint32>, QList<QPointF>>> runs;
  int x = start_x;
  command.baseline = baseline;
  for (size_t i = 0; i < text.chars.size(); ++i) {
    command.charX.push_back(x);
    const RealizedFont::Glyph& glyph = font.GlyphFor(text.chars[i].code_point);
    if (glyph.index != 0) {
      auto& run = runs[glyph.font];
      run.first.push_back(glyph.index);
      run.second.push_back(QPointF(x, baseline));
    }
    x += text.advances[i];
  }
  for (auto& [index, run] : runs) {
    QGlyphRun glyphs;
    glyphs.setRawFont(font.RawFont(index));
    glyphs.setGlyphIndexes(run.first);
    glyphs.setPositions(run.second);
    command.glyphs.push_back(glyphs);
  }
  const int line = font.LineWidth();
  if (font.Underline())
    command.rects.push_back(QRect(start_x, baseline + font.UnderlinePosition() - line / 2, text.width, line));
  if (font.StrikeOut())
    command.rects.push_back(QRect(start_x, baseline - font.StrikeOutPosition() - line / 2, text.width, line));
  dc.Device().Execute(command);
}

// Measures the leading ASCII characters whose advances the font already
// knows, writing each one's running extent plus base to dx when given;
// returns the bytes measured.
template <typename Extent>
size_t MeasureKnownAscii(const RealizedFont& font, std::string_view bytes, Extent* dx, Extent base, int& extent) {
  const std::array<int, 256>& advances = font.AsciiAdvances();
  size_t pos = 0;
  for (; pos < bytes.size(); ++pos) {
    const int advance = advances[static_cast<unsigned char>(bytes[pos])];
    if (advance < 0) break;
    extent += advance;
    if (dx) dx[pos] = base + extent;
  }
  return pos;
}

// Measures bytes in the font, writing to dx (when given) each byte's running
// extent plus base, and to fit (when given) the bytes that fit in
// max_extent; returns the whole width.
template <typename Extent>
int MeasureExtents(const RealizedFont& font, std::string_view bytes, int max_extent, int* fit, Extent* dx,
                   Extent base) {
  int extent = 0, fitting = 0;
  bool fits = true;
  for (size_t pos = 0; pos < bytes.size();) {
    // Runs of ASCII the font knows go one table read a byte; the rest one
    // character at a time.
    if (!fit) {
      pos += MeasureKnownAscii(font, bytes.substr(pos), dx ? dx + pos : nullptr, base, extent);
      if (pos == bytes.size()) break;
    }
    const TextChar c = detail::CharacterAt(bytes, pos, font.CodePage());
    // The whole width lands on the character's last byte: a cut inside a
    // character shows only the characters before it.
    if (dx)
      for (size_t i = 0; i + 1 < c.length; ++i) dx[c.offset + i] = base + extent;
    extent += font.GlyphFor(c.code_point).advance;
    if (dx) dx[c.offset + c.length - 1] = base + extent;
    fits = fits && extent <= max_extent;
    if (fits) fitting = int(c.offset + c.length);
    pos += c.length;
  }
  if (fit) *fit = fitting;
  return extent;
}

}  // namespace

bool GetTextMetrics(TCanvas& dc, TEXTMETRIC& metrics) {
  GetFontMetrics(dc.Font(), metrics);
  return true;
}

void GetFontMetrics(const TFont& font, TEXTMETRIC& metrics) { metrics = font.Realized().Metrics(); }

bool GetTextExtentExPoint(TCanvas& dc, const char* text, int count, int max_extent, int* fit, int* dx,
                          TSize* size) {
  if (count < 0 || (!text && count > 0)) return false;
  const RealizedFont& font = dc.Font().Realized();
  const int extent = MeasureExtents(font, std::string_view(text ? text : "", size_t(count)), max_extent, fit, dx, 0);
  if (size) *size = {extent, font.Metrics().tmHeight};
  return true;
}

int MeasureTextExtents(TCanvas& dc, const char* text, int count, std::int64_t start, std::int64_t* extents) {
  if (count <= 0 || !text) return 0;
  return MeasureExtents(dc.Font().Realized(), std::string_view(text, size_t(count)), 0, nullptr, extents, start);
}

bool GetTextExtentPoint32(TCanvas& dc, const char* text, int count, TSize* size) {
  return GetTextExtentExPoint(dc, text, count, 0, nullptr, nullptr, size);
}

namespace {

// Draws text by the canvas's alignment and returns the width it took.
int OutputText(TCanvas& dc, int x, int y, unsigned options, const TRect* rect, std::string_view bytes,
               const int* dx) {
  dc.SyncTextColors();
  const RealizedFont& font = dc.Font().Realized();
  const detail::GdiState& state = dc.State();
  const LaidOutText laid = LayOut(dc, font, bytes, dx);
  const bool update_cp = state.TextAlign & TA_UPDATECP;
  if (update_cp) {
    x = dc.PenPos().X;
    y = dc.PenPos().Y;
  }
  int start_x = x;
  switch (state.TextAlign & TA_CENTER) {
    case TA_RIGHT: start_x = x - laid.width; break;
    case TA_CENTER: start_x = x - laid.width / 2; break;
    default: break;
  }
  const TEXTMETRIC& tm = font.Metrics();
  int baseline = y + tm.tmAscent;
  if ((state.TextAlign & TA_BASELINE) == TA_BASELINE) baseline = y;
  else if (state.TextAlign & TA_BOTTOM) baseline = y - tm.tmDescent;
  std::optional<QRect> opaque;
  if ((options & ETO_OPAQUE) && rect) opaque = detail::ToQRect(*rect);
  else if (state.BkMode == OPAQUE) opaque = QRect(start_x, baseline - tm.tmAscent, laid.width, tm.tmHeight);
  std::optional<QRect> clip;
  if ((options & ETO_CLIPPED) && rect) clip = detail::ToQRect(*rect);
  DrawLaidOut(dc, font, bytes, laid, start_x, baseline, opaque, clip);
  if (update_cp) {
    const unsigned horizontal = state.TextAlign & TA_CENTER;
    const int cp_x = horizontal == TA_RIGHT ? start_x : horizontal == TA_CENTER ? x : start_x + laid.width;
    dc.SetPenPos({cp_x, y});
  }
  return laid.width;
}

}  // namespace

bool ExtTextOut(TCanvas& dc, int x, int y, unsigned options, const TRect* rect, const char* text, int count,
                const int* dx) {
  if (count < 0 || (!text && count > 0)) return false;
  OutputText(dc, x, y, options, rect, std::string_view(text ? text : "", size_t(count)), dx);
  return true;
}

bool TextOut(TCanvas& dc, int x, int y, const char* text, int count) {
  return ExtTextOut(dc, x, y, 0, nullptr, text, count, nullptr);
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  const int width = OutputText(*this, x, y, 0, nullptr, text, nullptr);
  if (!(state_.TextAlign & TA_UPDATECP)) MoveTo(x + width, y);
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text) {
  OutputText(*this, x, y, ETO_CLIPPED | (brush_.Style != bsClear ? ETO_OPAQUE : 0), &rect, text, nullptr);
}

TSize TCanvas::TextExtent(std::string_view text) {
  TSize size;
  GetTextExtentPoint32(*this, text.data(), int(text.size()), &size);
  return size;
}

// ---- DrawText -------------------------------------------------------------

namespace {

struct TextLine {
  std::string text;
  int prefix_char = -1;  // byte offset of the character to underline, -1 none
  int width = 0;
};

// Drops single "&" (underlining the character after it) and turns "&&" into "&".
TextLine StripPrefixes(std::string_view line, bool no_prefix) {
  TextLine result;
  for (size_t i = 0; i < line.size(); ++i) {
    if (!no_prefix && line[i] == '&' && i + 1 < line.size()) {
      ++i;
      if (line[i] != '&' && result.prefix_char < 0) result.prefix_char = int(result.text.size());
    }
    result.text += line[i];
  }
  return result;
}

int Width(TCanvas& dc, std::string_view text) {
  TSize size;
  GetTextExtentPoint32(dc, text.data(), int(text.size()), &size);
  return size.cx;
}

// Word wrapping at blanks; a word wider than the line stands on its own.
std::vector<std::string> Wrap(TCanvas& dc, std::string_view paragraph, int width) {
  std::vector<std::string> lines;
  std::string current;
  size_t pos = 0;
  while (pos < paragraph.size()) {
    const size_t end = std::min(paragraph.find(' ', pos), paragraph.size());
    const std::string_view word = paragraph.substr(pos, end - pos);
    const std::string candidate = current.empty() ? std::string(word) : current + " " + std::string(word);
    if (!current.empty() && Width(dc, candidate) > width) {
      lines.push_back(current);
      current = std::string(word);
    } else {
      current = candidate;
    }
    pos = end + 1;
  }
  lines.push_back(current);
  return lines;
}

std::vector<TextLine> BreakLines(TCanvas& dc, std::string_view text, const TRect& rect, unsigned format) {
  std::vector<std::string> raw;
  if (format & DT_SINGLELINE) {
    std::string single(text);
    std::replace(single.begin(), single.end(), '\n', ' ');
    single.erase(std::remove(single.begin(), single.end(), '\r'), single.end());
    raw.push_back(single);
  } else {
    size_t pos = 0;
    while (pos <= text.size()) {
      size_t end = std::min(text.find('\n', pos), text.size());
      std::string_view paragraph = text.substr(pos, end - pos);
      if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
      if (format & DT_WORDBREAK) {
        for (std::string& line : Wrap(dc, paragraph, rect.Width())) raw.push_back(std::move(line));
      } else {
        raw.emplace_back(paragraph);
      }
      pos = end + 1;
    }
  }
  std::vector<TextLine> lines;
  for (const std::string& line : raw) {
    TextLine stripped = StripPrefixes(line, format & DT_NOPREFIX);
    stripped.width = Width(dc, stripped.text);
    lines.push_back(std::move(stripped));
  }
  return lines;
}

// Underlines the character an "&" marked.
void UnderlinePrefixed(TCanvas& dc, const RealizedFont& font, const TextLine& line, const LaidOutText& laid,
                       int left, int baseline, const std::optional<QRect>& clip) {
  int before = 0, through = 0;
  for (size_t i = 0; i < laid.chars.size(); ++i) {
    if (int(laid.chars[i].offset) < line.prefix_char) before += laid.advances[i];
    if (int(laid.chars[i].offset) <= line.prefix_char) through += laid.advances[i];
  }
  DrawCommand underline = detail::FillCommand(dc, QBrush(detail::ToQColor(dc.State().TextColor)));
  NarrowClip(underline, clip);
  const int y = baseline + font.UnderlinePosition();
  underline.rects.push_back(QRect(left + before, y, through - before, font.LineWidth()));
  dc.Device().Execute(underline);
}

}  // namespace

int DrawText(TCanvas& dc, std::string_view text, TRect& rect, unsigned format) {
  const std::vector<TextLine> lines = BreakLines(dc, text, rect, format);
  const RealizedFont& font = dc.Font().Realized();
  const int line_height = font.Metrics().tmHeight;
  const int height = line_height * int(lines.size());
  if (format & DT_CALCRECT) {
    int widest = 0;
    for (const TextLine& line : lines) widest = std::max(widest, line.width);
    rect.Right = rect.Left + widest;
    rect.Bottom = rect.Top + height;
    return height;
  }
  dc.SyncTextColors();
  int top = rect.Top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) top = rect.Top + (rect.Height() - line_height) / 2;
    else if (format & DT_BOTTOM) top = rect.Bottom - line_height;
  }
  const detail::GdiState& state = dc.State();
  std::optional<QRect> clip;
  if (!(format & DT_NOCLIP)) clip = detail::ToQRect(rect);
  for (const TextLine& line : lines) {
    int left = rect.Left;
    if (format & DT_CENTER) left = rect.Left + (rect.Width() - line.width) / 2;
    else if (format & DT_RIGHT) left = rect.Right - line.width;
    LaidOutText laid = LayOut(dc, font, line.text, nullptr);
    const int baseline = top + font.Metrics().tmAscent;
    std::optional<QRect> opaque;
    if (state.BkMode == OPAQUE) opaque = QRect(left, top, laid.width, line_height);
    DrawLaidOut(dc, font, line.text, laid, left, baseline, opaque, clip);
    if (line.prefix_char >= 0) UnderlinePrefixed(dc, font, line, laid, left, baseline, clip);
    top += line_height;
  }
  return height;
}

}  // namespace lark
