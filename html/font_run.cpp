#include "html/font_run.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

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
    : TFontObj(section, pos, std::make_shared<const TRunFont>(std::move(font)), std::move(title)) {}

TFontObj::TFontObj(TSection* section, int pos, std::shared_ptr<const TRunFont> font, std::string title)
    : Section(section), Pos(pos) {
  if (!title.empty()) extras_ = std::make_unique<TExtras>(TExtras{std::move(title), {}, {}});
  SetFont(std::move(font));
}

TFontObj::TFontObj(TSection* section, const TFontObj& source)
    : Section(section), Pos(source.Pos), SScript(source.SScript), Visited(source.Visited) {
  if (source.extras_) extras_ = std::make_unique<TExtras>(*source.extras_);
  SetFont(source.font_);
}

void TFontObj::Restart(std::shared_ptr<const TRunFont> font, std::string title) {
  SScript = TScript::Normal;
  Visited = Hover = false;
  if (title.empty()) extras_.reset();
  else extras_ = std::make_unique<TExtras>(TExtras{std::move(title), {}, {}});
  if (font != font_) SetFont(std::move(font));  // the same font has the same metrics
}

TFontObj::~TFontObj() {
  if (Section && Section->ParentSectionList) Section->ParentSectionList->ForgetObject(this);
}

const std::string& TFontObj::Title() const {
  static const std::string none;
  return extras_ ? extras_->Title : none;
}

const TUrlTarget& TFontObj::UrlTarget() const {
  static const TUrlTarget none;
  return extras_ ? extras_->UrlTarget : none;
}

void TFontObj::SetFont(const TRunFont& font) { SetFont(std::make_shared<const TRunFont>(font)); }

void TFontObj::SetFont(std::shared_ptr<const TRunFont> font) {
  font_ = std::move(font);
  const TFont& chosen = font_->Font;
  codePage_ = chosen.CodePage();
  TEXTMETRIC tm;
  GetFontMetrics(chosen, tm);  // realizes the font here once, not in each canvas it is selected into
  FontHeight = tm.tmHeight + tm.tmExternalLeading;
  tmHeight = tm.tmHeight;
  tmMaxCharWidth = tm.tmMaxCharWidth;
  Overhang = (chosen.Style() & fsItalic) ? tm.tmHeight / 10 : 0;
  Descent = tm.tmDescent;
}

void TFontObj::SetLink(const TUrlTarget& target, const TLinkFonts& fonts) {
  SetLink(target, std::make_shared<const TLinkFonts>(fonts));
}

void TFontObj::SetLink(const TUrlTarget& target, std::shared_ptr<const TLinkFonts> fonts) {
  if (!extras_) extras_ = std::make_unique<TExtras>();
  extras_->UrlTarget.Assign(target);
  extras_->LinkFonts = std::move(fonts);
  ApplyLinkState();
}

void TFontObj::ApplyLinkState() {
  if (!extras_ || !extras_->LinkFonts) return;
  const std::shared_ptr<const TLinkFonts>& fonts = extras_->LinkFonts;
  const int state = (Visited ? 1 : 0) + (Hover ? 2 : 0);
  // Points into the shared link fonts, which it keeps alive.
  SetFont(std::shared_ptr<const TRunFont>(fonts, &(*fonts)[static_cast<std::size_t>(state)]));
}

void TFontObj::SetVisited(bool visited) {
  Visited = visited;
  ApplyLinkState();
}

void TFontObj::SetHover(bool hover) {
  Hover = hover;
  ApplyLinkState();
}

TFontObj* TFontList::Items(std::size_t index) const {
  if (index >= count_) throw std::out_of_range("TFontList::Items");
  return Order()[index];
}

void* TFontList::NewSlot() {
  if (!spill_ && (count_ == kInlineRuns || slotsUsed_ == kInlineRuns)) {
    auto spill = std::make_unique<TSpill>();
    spill->Order.reserve(2 * kInlineRuns);
    spill->Order.assign(inlineOrder_.begin(), inlineOrder_.begin() + count_);
    spill_ = std::move(spill);
  }
  if (spill_ && spill_->Order.size() == spill_->Order.capacity()) spill_->Order.reserve(2 * spill_->Order.size());
  std::size_t slot = slotsUsed_;
  if (slot < kInlineRuns) {
    ++slotsUsed_;
    return &inlineSlots_[slot];
  }
  // Block b holds kFirstBlockRuns << b slots.
  slot -= kInlineRuns;
  std::size_t block = 0, first = 0;
  while (slot >= first + (kFirstBlockRuns << block)) first += kFirstBlockRuns << block++;
  std::vector<std::unique_ptr<TSlot[]>>& blocks = spill_->Blocks;
  if (block == blocks.size()) blocks.push_back(std::make_unique_for_overwrite<TSlot[]>(kFirstBlockRuns << block));
  ++slotsUsed_;
  return &blocks[block][slot - first];
}

TFontObj* TFontList::Append(TFontObj* run) {
  if (spill_) spill_->Order.push_back(run);  // never grows here: NewSlot made room
  else inlineOrder_[count_] = run;
  ++count_;
  return run;
}

void TFontList::Clear() {
  for (std::size_t i = 0; i < count_; ++i) Order()[i]->~TFontObj();
  count_ = 0;
  slotsUsed_ = 0;
  spill_.reset();
}

TFontObj* TFontList::GetFontObjAt(int pos, int& index) const {
  // A paragraph that is a long list of links holds thousands of runs.
  const auto after = std::upper_bound(begin(), end(), pos, [](int p, const TFontObj* run) { return p < run->Pos; });
  if (after == begin()) return nullptr;
  index = static_cast<int>(after - begin()) - 1;
  return *std::prev(after);
}

int TFontList::GetFontCountAt(int pos, int len) const {
  const auto after = std::upper_bound(begin(), end(), pos, [](int p, const TFontObj* run) { return p < run->Pos; });
  return (after == end() ? len : (*after)->Pos) - pos;
}

void TFontList::RemoveCharacters(const std::vector<int>& removed) {
  TFontObj** runs = Order();
  for (std::size_t i = 0; i < count_; ++i) runs[i]->Pos -= RemovedBefore(removed, runs[i]->Pos);
  // Of runs that now start at one place, the last one stays; the others are
  // freed in order, and their slots stay unused.
  std::size_t kept = 0;
  for (std::size_t i = 0; i < count_; ++i) {
    if (i + 1 < count_ && runs[i + 1]->Pos == runs[i]->Pos) runs[i]->~TFontObj();
    else runs[kept++] = runs[i];
  }
  count_ = static_cast<std::uint32_t>(kept);
  if (spill_) spill_->Order.resize(kept);
}

}  // namespace lark
