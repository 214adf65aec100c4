#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "html/url_target.h"
#include "platform/graphics/canvas.h"
#include "platform/core/object.h"
#include "platform/graphics/font.h"

namespace lark {

class TSection;
class TSectionList;

// Raised or lowered text.
enum class TScript : std::uint8_t { Normal = 0, Sub = 1, Super = 2 };

// A font as a run draws it: the font and the colour painted behind its text
// (clNone: nothing painted).
struct TRunFont {
  TFont Font;
  TColor BgColor = clNone;
};

// The fonts of a link in its four states: link, visited, hover, visited + hover.
using TLinkFonts = std::array<TRunFont, 4>;

// The canvas on which runs measure their fonts: a screen-like 96-dpi
// surface, used on the GUI thread only.
[[nodiscard]] TCanvas& MeasuringCanvas();

// One font run of a paragraph: the characters from Pos up to the next run's
// start are drawn in this font.
class TFontObj : public TObject {
 public:
  TFontObj(TSection* section, int pos, TRunFont font, std::string title);
  // The same with a font that runs of like elements share.
  TFontObj(TSection* section, int pos, std::shared_ptr<const TRunFont> font, std::string title);
  // A copy for the paragraph `section` of a print copy.
  TFontObj(TSection* section, const TFontObj& source);
  ~TFontObj() override;
  // Starts the run afresh at its position, as if just made with `font` and
  // `title`: a run replaced before any text came reuses its place.
  void Restart(std::shared_ptr<const TRunFont> font, std::string title);

  // Replaces the font (and recomputes the metrics).
  void SetFont(const TRunFont& font);
  void SetFont(std::shared_ptr<const TRunFont> font);
  // Makes the run a link drawn by `fonts` in its states.
  void SetLink(const TUrlTarget& target, const TLinkFonts& fonts);
  // The same with fonts that runs of like links share.
  void SetLink(const TUrlTarget& target, std::shared_ptr<const TLinkFonts> fonts);
  [[nodiscard]] bool IsLink() const { return extras_ && extras_->LinkFonts && !extras_->UrlTarget.URL.empty(); }
  // Whether SetLink made it a link, the only way the document lists a run.
  [[nodiscard]] bool WasMadeLink() const { return extras_ && extras_->LinkFonts; }
  void SetVisited(bool visited);
  void SetHover(bool hover);
  // The code page in which the run's text is decoded: its font's.
  [[nodiscard]] int CodePage() const { return codePage_; }
  [[nodiscard]] const TFont& Font() const { return font_->Font; }
  [[nodiscard]] TColor BgColor() const { return font_->BgColor; }
  // Selects the run's font into a canvas.
  void Select(TCanvas& canvas) const { canvas.SetFont(font_->Font); }

  // The TITLE hint and the link target; most runs have neither.
  [[nodiscard]] const std::string& Title() const;
  [[nodiscard]] const TUrlTarget& UrlTarget() const;

  TSection* Section;
  int Pos;
  TScript SScript = TScript::Normal;
  bool Visited = false;
  bool Hover = false;
  // Metrics of the current font.
  int FontHeight = 0;  // tmHeight + tmExternalLeading
  int tmHeight = 0;
  int tmMaxCharWidth = 0;
  int Overhang = 0;  // italic text leans this far to the right
  int Descent = 0;

 private:
  int codePage_ = 0;  // beside the metrics, where it takes no room of its own

  void ApplyLinkState();

  // Never null; shared with like runs (and, for a link, with its fonts).
  std::shared_ptr<const TRunFont> font_;
  // Held apart so that the many runs without them stay small.
  struct TExtras {
    std::string Title;
    TUrlTarget UrlTarget;
    std::shared_ptr<const TLinkFonts> LinkFonts;  // a link's fonts, shared with like links
  };
  std::unique_ptr<TExtras> extras_;
};

// How many of the ascending text indices `removed` stand before `pos`: how
// far a position moves back when the characters there are deleted.
[[nodiscard]] inline int RemovedBefore(const std::vector<int>& removed, int pos) {
  return static_cast<int>(std::lower_bound(removed.begin(), removed.end(), pos) - removed.begin());
}

// A paragraph's runs, ordered by start; the first starts at 0. The runs
// live inside the list (most paragraphs hold three or fewer) or in blocks
// it owns, and never move while they live: the document's lists point at
// them.
class TFontList {
 public:
  TFontList() = default;
  TFontList(const TFontList&) = delete;
  TFontList& operator=(const TFontList&) = delete;
  ~TFontList() { Clear(); }

  [[nodiscard]] std::size_t Count() const { return count_; }
  [[nodiscard]] bool Empty() const { return count_ == 0; }
  [[nodiscard]] TFontObj* Items(std::size_t index) const;
  [[nodiscard]] TFontObj* operator[](std::size_t index) const { return Items(index); }
  [[nodiscard]] TFontObj* Last() const { return count_ == 0 ? nullptr : Order()[count_ - 1]; }
  [[nodiscard]] TFontObj* const* begin() const { return Order(); }
  [[nodiscard]] TFontObj* const* end() const { return Order() + count_; }

  // Makes a run after the last one, from TFontObj's constructor arguments.
  template <typename... Args>
  TFontObj* Add(Args&&... args) {
    void* slot = NewSlot();
    return Append(new (slot) TFontObj(std::forward<Args>(args)...));
  }
  // Frees every run, from the first to the last.
  void Clear();

  // The run covering pos (the last whose start is at or before it).
  [[nodiscard]] TFontObj* GetFontObjAt(int pos, int& index) const;
  [[nodiscard]] TFontObj* GetFontObjAt(int pos) const {
    int index = 0;
    return GetFontObjAt(pos, index);
  }
  // Characters from pos to the next run's start, or to `len`.
  [[nodiscard]] int GetFontCountAt(int pos, int len) const;
  // The characters at the old indices `removed` (ascending) were deleted
  // from the text. Runs move back over them; a run that then starts where
  // its predecessor starts replaces it.
  void RemoveCharacters(const std::vector<int>& removed);

 private:
  struct TSlot {
    alignas(TFontObj) std::byte Bytes[sizeof(TFontObj)];
  };
  static constexpr std::size_t kInlineRuns = 3;
  static constexpr std::size_t kFirstBlockRuns = 4;

  // What a list of more than kInlineRuns runs needs: the order of the runs
  // and the blocks that hold the runs past the list's own.
  struct TSpill {
    std::vector<TFontObj*> Order;
    std::vector<std::unique_ptr<TSlot[]>> Blocks;
  };

  [[nodiscard]] TFontObj* const* Order() const { return spill_ ? spill_->Order.data() : inlineOrder_.data(); }
  [[nodiscard]] TFontObj** Order() { return spill_ ? spill_->Order.data() : inlineOrder_.data(); }
  // Room for one more run in the order and a slot for it; a freed run's
  // slot is not handed out again.
  void* NewSlot();
  TFontObj* Append(TFontObj* run);

  std::uint32_t count_ = 0;
  // Slots handed out: the list's own first, then the blocks', whose sizes
  // double from kFirstBlockRuns.
  std::uint32_t slotsUsed_ = 0;
  // The runs in text order: within the list while it holds its runs, then
  // in the spill for good.
  std::array<TFontObj*, kInlineRuns> inlineOrder_{};
  std::unique_ptr<TSpill> spill_;
  std::array<TSlot, kInlineRuns> inlineSlots_;
};

}  // namespace lark
