#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "html/document_coordinates.h"
#include "html/floating_object.h"
#include "html/font_run.h"
#include "html/form_control.h"
#include "html/free_list.h"
#include "html/section_base.h"

namespace lark {

class TokenObj;

// Control characters of paragraph text.
constexpr char kMarkerChar = '\x02';  // a break opportunity without width
constexpr char kObjectChar = '\x04';  // an inline object stands here
constexpr char kNbspChar = '\x05';    // a non-breaking space until Finish
constexpr char kBreakChar = '\x08';   // a hard line break

// One laid-out line of a paragraph.
struct LineRec {
  int Start = 0;  // index of its first character in the paragraph text
  int SpaceBefore = 0, SpaceAfter = 0;
  int LineHt = 0;     // text height
  int LineImgHt = 0;  // height including objects and floats placed on it
  int Ln = 0;         // characters
  int Descent = 0;
  int LineIndent = 0;  // X of the first character relative to the section's X
  int DrawXX = 0, DrawY = 0;  // where it was last painted
  int DrawWidth = 0;  // room between the indents
  int Spaces = 0, Extra = 0;  // justification: blanks and pixels spread over them
  int Y = 0;  // top of the line in document coordinates
  [[nodiscard]] int Height() const { return SumCoordinates(SpaceBefore, LineHt, SpaceAfter); }
};

enum class TJustify : std::uint8_t { Left = 1, Centre = 2, Right = 3, FullJustify = 4 };
enum TClearAttr : std::uint8_t { ClearNothing = 0, ClearLeftSide = 1, ClearRightSide = 2, ClearBothSides = 3 };

// The values a paragraph takes from its element's style.
struct TParagraphStyle {
  TJustify Justify = TJustify::Left;
  TClearAttr ClearAttr = ClearNothing;
  int LineHeight = 0;  // pixels; 0 when unset
  int TextIndent = 0;  // pixels, or a percentage (capped at 90) of the layout width
  bool TextIndentPercent = false;
};

// True for the charsets whose text is double-byte (Shift-JIS, Hangeul,
// Johab, GB2312, Big5): their text breaks between any two characters and
// keeps its soft hyphens.
[[nodiscard]] bool IsDoubleByteCharset(int charset);
// Whether `b` can start a two-byte character in the charset: the whole
// lead-byte range of its code page (932: 81-9F and E0-FC; 936, 949, 950:
// 81-FE; Johab: 84-D3, D8-DE, E0-F9).
[[nodiscard]] bool IsLeadByte(int charset, unsigned char b);

// How many bytes of text all paragraphs of a document may keep measured
// between their width computation and their layout: 8 MiB of extents.
constexpr std::size_t kMaxKeptMeasurementBytes = std::size_t{1} << 20;

// One paragraph of running text with its font runs and inline objects.
class TSection : public TSectionBase {
 public:
  TSection(TSectionList* masterList, const TParagraphStyle& style, std::shared_ptr<const TRunFont> font,
           std::string title);
  TSection(TSectionList* masterList, const TParagraphStyle& style, const TRunFont& font, std::string title)
      : TSection(masterList, style, std::make_shared<const TRunFont>(font), std::move(title)) {}
  TSection(TSectionList* masterList, const TSection& source);
  ~TSection() override;

  [[nodiscard]] std::unique_ptr<TSectionBase> CreateCopy(TSectionList* masterList) const override;

  // Text from the parser: every character with its offset in the source.
  void AddTokenObj(const TokenObj& token);
  void AddChar(char ch, int sourcePos);
  void AddText(std::string_view text, int sourcePos);
  // A new font run from the current end of the text (replacing a run that
  // starts there), optionally a link.
  TFontObj* AddFont(const TRunFont& font, std::string title, TScript script = TScript::Normal);
  TFontObj* AddFont(std::shared_ptr<const TRunFont> font, std::string title, TScript script = TScript::Normal);
  // Makes `run` a link run drawn by `fonts` and lists it in the document.
  void SetLink(TFontObj& run, const TUrlTarget& target, const TLinkFonts& fonts);
  void SetLink(TFontObj& run, const TUrlTarget& target, std::shared_ptr<const TLinkFonts> fonts);
  // An inline object at the end of the text (an image, a panel).
  TFloatingObj* AddObject(std::unique_ptr<TFloatingObj> object, int sourcePos);
  // A form control at the end of the text; the control belongs to its form.
  void AddFormControl(TFormControlObj* control, int sourcePos);
  // Collapses white space; builds the source index. Once, before layout.
  virtual void Finish();

  bool KeepInCell() override;
  int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                int& maxWidth, int& curs) override;
  int Draw(TCanvas& canvas, const TRect& aRect, IndentManager& iMgr, int x, int xRef, int yRef) override;
  void MinMaxWidth(TCanvas& canvas, int& min, int& max) override;
  TGuResultType GetURL(TCanvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& urlTarget,
                       TFormControlObj*& formControl, std::string& title) override;
  bool PtInObject(int x, int y, TObject*& obj, int& ix, int& iy) override;
  int FindCursor(TCanvas& canvas, int x, int y, int& xr, int& yr, int& caretHt, bool& inText) override;
  bool CursorToXY(TCanvas& canvas, int cursor, int& x, int& y) override;
  bool GetChAtPos(int pos, char32_t& ch, TObject*& obj) override;
  int FindString(int from, const std::string& toFind, bool matchCase, int& matchEnd) override;
  int FindSourcePos(int docPos) override;
  int FindDocPos(int sourcePos, bool prev) override;
  void CopyToClipboard() override;

  [[nodiscard]] const std::string& Text() const { return Buff; }
  // 'n' where a line may not break after the character, else 'y'.
  [[nodiscard]] std::string BreakFlags() const { return Brk ? *Brk : std::string(Buff.size(), 'y'); }
  [[nodiscard]] const std::vector<LineRec>& Lines() const { return lines_; }
  // Bytes of text handed to the measuring calls since the section was made:
  // the work layout costs, for tests and benches.
  [[nodiscard]] std::size_t MeasuredBytes() const { return measuredBytes_; }

  TFontList Fonts;
  TFreeList<TFloatingObj> Images;
  std::vector<TFormControlObj*> FormControls;  // owned by their forms
  TParagraphStyle Style;
  bool DoubleByte = false;
  bool HasAnchor = false;  // an anchor name or ID points into it
  bool Preformatted = false;

 protected:
  struct IndexEntry {
    int TextIndex;
    int SourcePos;
  };

  // Deletes the characters at the ascending indices `removed` in one pass,
  // moving the objects and runs that stand after them.
  void RemoveCharacters(const std::vector<int>& removed);
  // The indices, ascending, of what each white-space rule of Finish
  // deletes. Only deleted characters are listed, so a long paragraph
  // needs no scratch memory the size of its text.
  [[nodiscard]] std::vector<int> LeadingBlanks() const;
  [[nodiscard]] std::vector<int> DoubledBlanks() const;
  [[nodiscard]] std::vector<int> BlanksAfterFloats() const;
  [[nodiscard]] std::vector<int> SoftHyphens() const;
  [[nodiscard]] std::vector<int> BlanksBesideBreaks() const;
  void BuildIndex();
  void AddSourcePosition(int textIndex, int sourcePos);
  [[nodiscard]] TFloatingObj* ObjectAt(int pos) const;
  [[nodiscard]] TFormControlObj* ControlAt(int pos) const;
  // The width an object at pos takes on its line (0 for a float or none).
  [[nodiscard]] int ObjectWidth(int pos) const;
  // Bytes from `start` that fit in `width` pixels: pieces of one font
  // without objects are measured; an object adds its width (a float
  // nothing). Never ends inside a character.
  [[nodiscard]] int FindCountThatFits(TCanvas& canvas, int width, int start, int limit);
  // The X of each character of a line (and of its end) relative to the
  // line's start, with the justification spread over its blanks.
  [[nodiscard]] std::vector<int> LineXs(TCanvas& canvas, const LineRec& line);
  // The width of `count` bytes from `start` (objects by their width).
  [[nodiscard]] int TextWidth(TCanvas& canvas, int start, int count);
  // Layout measures each byte of the text once, forward, and only as far
  // as the lines reach: extents_[i] is the width of the text before byte i
  // (with kerning off, widths add up, so any stretch between character
  // starts is a difference of two entries). Emptied whenever the text, its
  // fonts or its objects' sizes may have changed: at each layout and each
  // width computation.
  void ForgetMeasurements();
  // The same, also giving back the memory: the extents cost eight bytes a
  // byte of text, so a section keeps them only while it is laid out, or
  // from its width computation to its layout in the same pass (a table
  // measures every cell before laying any out) within the document's
  // budget, kMaxKeptMeasurementBytes.
  void ReleaseMeasurements();
  void KeepMeasurementsForLayout();
  void ForgetKeptMeasurements();
  // Whether the extents kept by the width computation serve this layout:
  // same pass, the whole text measured, no object whose size layout sets.
  [[nodiscard]] bool KeptMeasurementsValid() const;
  void MeasureUpTo(TCanvas& canvas, int end);
  // Measures the next stretch of at most `maxBytes` (whole characters,
  // one font, no object; an object alone).
  void MeasureNextPiece(TCanvas& canvas, int maxBytes);
  [[nodiscard]] int LineAt(int y) const;
  [[nodiscard]] int CharStartAtOrBefore(int index) const;
  [[nodiscard]] int NextCharStart(int index) const;
  // The end of the stretch from i (before limit) that shares one font run
  // and holds no object: what one measuring call takes.
  [[nodiscard]] int PieceEnd(int i, int limit) const;
  void ConvertNonBreakingSpaces();
  [[nodiscard]] bool NoBreakAt(std::size_t i) const { return Brk && (*Brk)[i] == 'n'; }
  // Appends the flags of `count` new characters, all breaking or not.
  void AppendBreakFlags(std::size_t count, bool noBreak);
  void SetNoBreak(std::size_t i);

  std::string Buff;
  // 'n' for each character after which a line may not break, 'y' for the
  // others; none while every character allows a break, as in most
  // paragraphs, which then need no second string.
  std::unique_ptr<std::string> Brk;
  // Where the text came from, built as it comes and final after Finish: a
  // run starts wherever a byte's source position does not follow the
  // byte's before it.
  std::vector<IndexEntry> sourceRuns_;
  std::vector<LineRec> lines_;
  int minWidth_ = -1, maxWidth_ = -1;  // cached by MinMaxWidth
  int drawX_ = 0;  // X of the section at the last Draw
  bool finished_ = false;
  std::vector<std::int64_t> extents_;  // empty: nothing measured
  unsigned keptPass_ = 0;               // the pass extents_ were kept for; 0: none
  std::size_t keptBytes_ = 0;           // what they count in the document's budget
  std::size_t measuredBytes_ = 0;
  // The fit test's one-entry cache.
  int fitStart_ = -1, fitWidth_ = -1, fitLimit_ = -1, fitResult_ = 0;

 private:
  friend class TSectionLayout;
  void DrawLine(TCanvas& canvas, LineRec& line, int x, int y);
  void DrawControl(TCanvas& canvas, TFormControlObj& control, int x, const LineRec& line, int baseline);
  void DrawPiece(TCanvas& canvas, const TFontObj& run, int start, int end, int x, int baseline,
                 const std::vector<int>& xs, const LineRec& line, bool selected);
};

// Preformatted text: nothing collapses and a line never wraps.
class TPreFormated : public TSection {
 public:
  TPreFormated(TSectionList* masterList, const TParagraphStyle& style, std::shared_ptr<const TRunFont> font,
               std::string title);
  using TSection::TSection;
  [[nodiscard]] std::unique_ptr<TSectionBase> CreateCopy(TSectionList* masterList) const override;
  void Finish() override;
  bool KeepInCell() override;
  int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                int& maxWidth, int& curs) override;
  void MinMaxWidth(TCanvas& canvas, int& min, int& max) override;
};

}  // namespace lark
