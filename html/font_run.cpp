#include "html/font_run.h"

#include "html/paragraph_section.h"
#include "html/section_list.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/gdi.h"

namespace lark {

TCanvas& MeasuringCanvas() {
  static TBitmap surface(1, 1);
  return surface.Canvas();
}

TFontObj::TFontObj(TSection* section, int pos, TRunFont font, std::string title)
    : Section(section), Pos(pos), Title(std::move(title)) {
  SetFont(font);
}

TFontObj::TFontObj(TSection* section, const TFontObj& source)
    : Section(section), Pos(source.Pos), Title(source.Title), SScript(source.SScript), Visited(source.Visited) {
  UrlTarget.Assign(source.UrlTarget);
  if (source.linkFonts_) linkFonts_ = std::make_unique<TLinkFonts>(*source.linkFonts_);
  SetFont(source.font_);
}

TFontObj::~TFontObj() {
  if (Section && Section->ParentSectionList) Section->ParentSectionList->ForgetObject(this);
}

void TFontObj::SetFont(const TRunFont& font) {
  font_ = font;
  codePage_ = CharsetToCodePage(font.Font.Charset());
  TCanvas& canvas = MeasuringCanvas();
  canvas.SetFont(font.Font);
  TEXTMETRIC tm;
  GetTextMetrics(canvas, tm);
  FontHeight = tm.tmHeight + tm.tmExternalLeading;
  tmHeight = tm.tmHeight;
  tmMaxCharWidth = tm.tmMaxCharWidth;
  Overhang = (font.Font.Style() & fsItalic) ? tm.tmHeight / 10 : 0;
  Descent = tm.tmDescent;
}

void TFontObj::SetLink(const TUrlTarget& target, const TLinkFonts& fonts) {
  UrlTarget.Assign(target);
  linkFonts_ = std::make_unique<TLinkFonts>(fonts);
  ApplyLinkState();
}

void TFontObj::ApplyLinkState() {
  if (!linkFonts_) return;
  const int state = (Visited ? 1 : 0) + (Hover ? 2 : 0);
  SetFont((*linkFonts_)[static_cast<std::size_t>(state)]);
}

void TFontObj::SetVisited(bool visited) {
  Visited = visited;
  ApplyLinkState();
}

void TFontObj::SetHover(bool hover) {
  Hover = hover;
  ApplyLinkState();
}

TFontObj* TFontList::GetFontObjAt(int pos, int& index) const {
  // Runs are few per paragraph; a binary search would gain nothing.
  TFontObj* found = nullptr;
  for (std::size_t i = 0; i < Count(); ++i) {
    if (Items(i)->Pos > pos) break;
    found = Items(i);
    index = static_cast<int>(i);
  }
  return found;
}

int TFontList::GetFontCountAt(int pos, int len) const {
  for (const auto& run : *this)
    if (run->Pos > pos) return run->Pos - pos;
  return len - pos;
}

void TFontList::Decrement(int n) {
  for (std::size_t i = 0; i < Count(); ++i) {
    TFontObj* run = Items(i);
    if (run->Pos <= n) continue;
    --run->Pos;
    if (i > 0 && Items(i - 1)->Pos == run->Pos) {
      Delete(i - 1);
      --i;
    }
  }
}

}  // namespace lark
