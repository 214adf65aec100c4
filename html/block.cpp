#include "html/block.h"

#include <algorithm>
#include <climits>

#include "html/attribute_list.h"
#include "html/document_coordinates.h"
#include "html/image_obj.h"
#include "html/indent_manager.h"
#include "html/section_list.h"
#include "html/section_style.h"
#include "html/table_box.h"
#include "html/url_target.h"
#include "platform/core/string_routines.h"
#include "platform/graphics/gdi.h"

namespace lark {

namespace {

int Resolved(int value) { return value == AutoValue ? 0 : value; }

bool IsAbsoluteBlock(const TSectionBase* section) {
  const auto* block = dynamic_cast<const TBlock*>(section);
  return block && block->Positioning == TPositioning::Absolute;
}

}  // namespace

int TBlockCell::DoLogicX(TCanvas& canvas, int x, int y, int xRef, int yRef, int width, int aHeight,
                         IndentManager& iMgr, int& maxWidth, int& curs) {
  YValue = y;
  StartCurs = curs;
  TextureTop = 990000;
  TextureBot = 0;
  CellContentBot = y;
  int total = 0;
  std::size_t i = 0;
  while (i < Count()) {
    int sectionMax = 0;
    int height = 0;
    if (!LayOutSection(i, canvas, iMgr, x, SumCoordinates(y, total), xRef, yRef, width, aHeight, sectionMax, curs,
                       height))
      continue;
    const TSectionBase* section = Items(i);
    maxWidth = std::max(maxWidth, sectionMax);
    TextureTop = std::min(TextureTop, section->DrawTop);
    TextureBot = std::max(TextureBot, section->DrawBot);
    if (!IsAbsoluteBlock(section)) CellContentBot = std::max(CellContentBot, section->ContentBot);
    total = SumCoordinates(total, height);
    ++i;
  }
  Len = curs - StartCurs;
  return total;
}

TBlock::TBlock(TSectionList* masterList, TAttributeList* attributes, TProperties& props, TCellBasic* ownerCell,
               const std::string& tag, TMarginCollapse collapse)
    : TSectionBase(masterList),
      MyCell(std::make_unique<TBlockCell>(masterList)),
      OwnerCell(ownerCell ? ownerCell->AddTarget() : nullptr) {
  MyCell->OwnersTag = tag;
  MyCell->NestIn(ownerCell);
  marginArray_ = props.SharedVMarginArray();
  EmSize = props.EmSize();
  ExSize = props.ExSize();
  AlignmentType align = ANone;
  if (props.GetFloat(align)) Floating = align == ALeft ? TFloating::Left : align == ARight ? TFloating::Right : TFloating::None;
  if (!props.GetClear(ClearAttr)) ClearAttr = ClearNone;
  Positioning = static_cast<TPositioning>(props.GetPosition());
  ZIndex = 10 * props.GetZIndex();
  if (ZIndex == 0 && (Positioning == TPositioning::Absolute || Floating != TFloating::None)) ZIndex = 1;
  Hidden = props.IsHidden();
  DisplayNone = props.DisplayNone();
  BreakBefore = props.GetPageBreakBefore();
  BreakAfter = props.GetPageBreakAfter();
  AvoidBreakInside = props.GetPageBreakInside();
  BgColor = props.GetBackgroundColor();
  std::string image;
  if (tag != "body" && props.GetBackgroundImage(image) && !image.empty()) {
    PositionRec px, py;
    props.GetBackgroundPos(EmSize, ExSize, px, py);
    Background = std::make_unique<TBlockBackground>(image, px, py);
  }
  const int* border = AsInt(props.Props(css::BorderColor));
  BorderColor = border ? *border : clNone;
  const TColor color = props.GetColor();
  TextColor = color == NoColor ? clBlack : color;
  Title = props.PropTitle;
  TagClass = (ownerCell ? ownerCell->OwnersTag : std::string()) + "." + tag;
  if (attributes && masterList && masterList->IDNameList) {
    const std::string id = attributes->GetID();
    if (!id.empty()) masterList->IDNameList->AddObject(id, this);
  }
  if (collapse == TMarginCollapse::Now) InitMargins();
}

TBlock::TBlock(TSectionList* masterList, TAttributeList* attributes, TProperties& props, TCellBasic* ownerCell,
               const std::string& tag)
    : TBlock(masterList, attributes, props, ownerCell, tag, TMarginCollapse::Now) {}

void TBlock::SetMarginValue(int index, TPropValue value) {
  auto own = std::make_shared<TVMarginArray>(*marginArray_);
  (*own)[static_cast<std::size_t>(index)] = std::move(value);
  marginArray_ = std::move(own);
}

void TBlock::InitMargins() {
  // Converted with a provisional width: percentages of the real width are
  // not known before layout.
  const TBoxValues box = ConvMargArray(MarginArray(), 400, 0, EmSize, ExSize);
  MarginTop = box.M[css::MarginTop];
  MarginBottom = box.M[css::MarginBottom];
  CollapseBottomMargin = box.ParagraphSpaceBottom;
  if (Positioning == TPositioning::Absolute) {
    if (box.ParagraphSpaceTop) MarginTop = 0;
  } else if (Floating == TFloating::None) {
    CollapseMargins(box);
  }
}

TBlock::TBlock(TSectionList* masterList, const TBlock& source)
    : TSectionBase(masterList, source),
      MyCell(std::make_unique<TBlockCell>(masterList, *source.MyCell)),
      OwnerCell(nullptr),
      EmSize(source.EmSize),
      ExSize(source.ExSize),
      MarginTop(source.MarginTop),
      MarginBottom(source.MarginBottom),
      CollapseBottomMargin(source.CollapseBottomMargin),
      MinimumIndent(source.MinimumIndent),
      Floating(source.Floating),
      ClearAttr(source.ClearAttr),
      Positioning(source.Positioning),
      Hidden(source.Hidden),
      DisplayNone(source.DisplayNone),
      BreakBefore(source.BreakBefore),
      BreakAfter(source.BreakAfter),
      AvoidBreakInside(source.AvoidBreakInside),
      BgColor(source.BgColor),
      Background(source.Background ? std::make_unique<TBlockBackground>(*source.Background) : nullptr),
      BorderColor(source.BorderColor),
      TextColor(source.TextColor),
      Title(source.Title),
      TagClass(source.TagClass),
      marginArray_(source.marginArray_) {}

std::unique_ptr<TSectionBase> TBlock::CreateCopy(TSectionList* masterList) const {
  return std::make_unique<TBlock>(masterList, *this);
}

void TBlock::CollapseMargins(const TBoxValues& box) {
  const bool defaultTop = box.ParagraphSpaceTop;
  const std::string& ownerTag = OwnerCell ? OwnerCell->OwnersTag : std::string();
  TSectionBase* previous = nullptr;
  if (OwnerCell)
    for (std::size_t i = OwnerCell->Count(); i-- > 0;)
      if (!IsAbsoluteBlock(OwnerCell->Items(i))) {
        previous = OwnerCell->Items(i);
        break;
      }
  const auto* tableBox = dynamic_cast<const TTableBlock*>(previous);
  if (tableBox && tableBox->Floating != TFloating::None && defaultTop) {
    MarginTop = 0;  // a floating table does not push the next block's default margin down
  } else if (auto* block = dynamic_cast<TBlock*>(previous)) {
    const int b = block->MarginBottom;
    const int t = MarginTop;
    if (t >= 0 && b >= 0) MarginTop = std::max(t, b);
    else if (t < 0 && b < 0) MarginTop = std::min(t, b);
    else MarginTop = t + b;
    block->MarginBottom = 0;
  } else if (previous) {
    if (defaultTop && ownerTag == "li" && (TagClass.rfind("ul.", 0) == 0 || TagClass.rfind("ol.", 0) == 0))
      MarginTop = 0;
  } else if (defaultTop && (ownerTag == "li" || (ownerTag != "default" && ownerTag != "body"))) {
    MarginTop = 0;
  }
}

int TBlock::BorderAndPaddingWidth() const {
  const TMarginArray& m = MargArray;
  return m[css::BorderLeftWidth] + m[css::BorderRightWidth] + m[css::PaddingLeft] + m[css::PaddingRight];
}

int TBlock::FindWidth(TCanvas& canvas, int aWidth, int autoCount, int) {
  int min = 0, max = 0;
  MyCell->GetMinMaxWidth(canvas, min, max);  // the sections' widths are cached for the pass
  TMarginArray& m = MargArray;
  const bool leftAuto = m[css::MarginLeft] == AutoValue;
  const bool rightAuto = m[css::MarginRight] == AutoValue;
  const int width = m[css::Width];
  const int bpw = BorderAndPaddingWidth();
  const int room = Positioned() ? max
                                : SumCoordinates(aWidth, -static_cast<std::int64_t>(Resolved(m[css::MarginLeft])),
                                                 -static_cast<std::int64_t>(Resolved(m[css::MarginRight])),
                                                 -static_cast<std::int64_t>(bpw));
  int contentWidth = 0;
  switch (autoCount) {
    case 0: contentWidth = std::max(width, min); break;
    case 1:
      if (width != AutoValue) {
        contentWidth = std::max(width, min);
        const int spare =
            SumCoordinates(aWidth, -static_cast<std::int64_t>(contentWidth), -static_cast<std::int64_t>(bpw),
                           -static_cast<std::int64_t>(Resolved(leftAuto ? m[css::MarginRight] : m[css::MarginLeft])));
        if (leftAuto) m[css::MarginLeft] = spare;
        if (rightAuto) m[css::MarginRight] = Floating != TFloating::None ? 0 : spare;
      } else {
        contentWidth = std::max(min, room);
      }
      break;
    case 2:
      if (width != AutoValue) {
        contentWidth = std::max(width, min);
        m[css::MarginLeft] = m[css::MarginRight] =
            std::max(0, SumCoordinates(aWidth, -static_cast<std::int64_t>(width), -static_cast<std::int64_t>(bpw))) / 2;
      } else {
        contentWidth = std::max(min, room);
      }
      break;
    default:
      m[css::MarginLeft] = m[css::MarginRight] = 0;
      contentWidth = std::max(min, SumCoordinates(aWidth, -static_cast<std::int64_t>(bpw)));
      break;
  }
  m[css::MarginLeft] = Resolved(m[css::MarginLeft]);
  m[css::MarginRight] = Resolved(m[css::MarginRight]);
  return contentWidth;
}

int TBlock::DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                      int& maxWidth, int& curs) {
  YValue = ContentTop = y;
  StartCurs = curs;
  if (DisplayNone) {
    SectionHeight = DrawHeight = 0;
    DrawTop = DrawBot = ContentBot = y;
    maxWidth = 0;
    Len = 0;
    return 0;
  }
  ClearAddon = ClearSpace(iMgr, ClearAttr, y);
  const TBoxValues box = ConvMargArray(MarginArray(), aWidth, aHeight, EmSize, ExSize);
  MargArray = box.M;
  TMarginArray& m = MargArray;
  int boxX = x;
  int boxY = y;
  if (Positioning == TPositioning::Relative) {
    LeftP = Resolved(m[css::Left]);
    TopP = Resolved(m[css::Top]);
    boxX = SumCoordinates(boxX, LeftP);
    boxY = SumCoordinates(boxY, TopP);
  } else if (Positioning == TPositioning::Absolute) {
    TopP = m[css::Top] == AutoValue ? SumCoordinates(y, -static_cast<std::int64_t>(yRef)) : m[css::Top];
    LeftP = m[css::Left] == AutoValue ? SumCoordinates(x, -static_cast<std::int64_t>(xRef)) : m[css::Left];
    boxX = SumCoordinates(xRef, LeftP);
    boxY = SumCoordinates(yRef, TopP);
  }
  ContentWidth = FindWidth(canvas, aWidth, box.AutoCount, aHeight);
  const int leftSpace = m[css::MarginLeft] + m[css::BorderLeftWidth] + m[css::PaddingLeft];
  const int rightSpace = m[css::MarginRight] + m[css::BorderRightWidth] + m[css::PaddingRight];
  const int clearY = SumCoordinates(y, ClearAddon);
  int contentX = SumCoordinates(boxX, leftSpace);
  if (Floating == TFloating::Left) contentX = SumCoordinates(std::max(iMgr.LeftIndent(clearY), boxX), leftSpace);
  if (Floating == TFloating::Right)
    contentX = SumCoordinates(std::min<std::int64_t>(iMgr.RightSide(clearY), std::int64_t{boxX} + aWidth),
                              -static_cast<std::int64_t>(rightSpace), -static_cast<std::int64_t>(ContentWidth));
  if (MinimumIndent) {
    const int shift = std::max(0, SumCoordinates(iMgr.LeftIndent(y), 35, -static_cast<std::int64_t>(contentX)));
    contentX = SumCoordinates(contentX, shift);
    ContentWidth = std::max(0, ContentWidth - shift);
  }
  ContentLeft = contentX;
  ContentY = SumCoordinates(boxY, ClearAddon, MarginTop, m[css::BorderTopWidth], m[css::PaddingTop]);

  const void* savedOwner = iMgr.CurrentID;
  iMgr.CurrentID = this;
  const IndentManagerBasic::TState before = iMgr.SaveState();
  const std::size_t leftIndent = iMgr.AddLeft(contentX, ContentY);
  const std::size_t rightIndent = iMgr.AddRight(SumCoordinates(contentX, ContentWidth), ContentY);
  const bool positioned = Positioning != TPositioning::Static;
  int contentMax = 0;
  const int height = MyCell->DoLogicX(canvas, contentX, ContentY, positioned ? contentX : xRef,
                                      positioned ? ContentY : yRef, ContentWidth, aHeight, iMgr, contentMax, curs);
  maxWidth = SumCoordinates(contentMax, leftSpace, rightSpace);
  int bottom = SumCoordinates(ContentY, height);
  bottom = iMgr.FloatBottomSince(before, bottom);
  if (m[css::Height] > 0) bottom = std::max(bottom, SumCoordinates(ContentY, m[css::Height]));
  iMgr.DeleteRight(rightIndent);
  iMgr.DeleteLeft(leftIndent);
  iMgr.CurrentID = savedOwner;
  if (Background) Background->Fetch(*ParentSectionList);

  // A relatively positioned box is drawn shifted but keeps its place in the flow.
  const int shiftY = Positioning == TPositioning::Relative ? TopP : 0;
  const int full = SumCoordinates(bottom, m[css::PaddingBottom], m[css::BorderBottomWidth], MarginBottom,
                                  -static_cast<std::int64_t>(y), -static_cast<std::int64_t>(shiftY));
  SectionHeight = full;
  if (Floating != TFloating::None) {
    SectionHeight = 0;
    DrawHeight = full;
    if (Floating == TFloating::Left)
      iMgr.AddFloatBlock(y, SumCoordinates(contentX, ContentWidth, rightSpace), full, TFloatSide::Left);
    else
      iMgr.AddFloatBlock(y, SumCoordinates(contentX, -static_cast<std::int64_t>(leftSpace)), full, TFloatSide::Right);
  } else if (Positioning == TPositioning::Absolute) {
    SectionHeight = 0;
    DrawHeight = 0;
  } else {
    DrawHeight = std::max(SectionHeight, SumCoordinates(iMgr.ImageBottom(), -static_cast<std::int64_t>(y)));
  }
  DrawTop = std::min(y, MyCell->TextureTop);
  DrawBot = std::max(SumCoordinates(y, DrawHeight), MyCell->TextureBot);
  ContentBot = SumCoordinates(y, SectionHeight);
  Len = curs - StartCurs;
  // The paint order: negative z-indices first, then the flow, then the rest.
  DrawList.clear();
  for (const auto& section : *MyCell) DrawList.push_back(section.get());
  std::stable_sort(DrawList.begin(), DrawList.end(),
                   [](const TSectionBase* a, const TSectionBase* b) { return a->ZIndex < b->ZIndex; });
  layoutX_ = x;
  boxTop_ = SumCoordinates(boxY, ClearAddon, MarginTop);
  boxBottom_ = SumCoordinates(bottom, m[css::PaddingBottom], m[css::BorderBottomWidth]);
  return SectionHeight;
}

bool TBlock::HandlePageBreaks(TSectionList& list, int pageHeight) {
  if (!list.IsCopy || Positioning == TPositioning::Absolute) return false;
  const int top = boxTop_;
  const int pageTop = SumCoordinates(list.PageBottom, -static_cast<std::int64_t>(pageHeight));
  if (BreakBefore && top > pageTop) {
    list.PageBottom = std::min(list.PageBottom, top);
    return true;
  }
  if (AvoidBreakInside && top > pageTop && top < list.PageBottom && boxBottom_ > list.PageBottom &&
      std::int64_t{boxBottom_} - top < pageHeight) {
    list.PageBottom = top;
    return true;
  }
  if (BreakAfter && boxBottom_ > pageTop && boxBottom_ < list.PageBottom) list.PageBottom = boxBottom_;
  return false;
}

void TBlock::DrawBox(TCanvas& canvas, const TRect& aRect, int dx, int yOff) {
  const TMarginArray& m = MargArray;
  const std::int64_t up = -static_cast<std::int64_t>(yOff);
  TRect padding = Rect(SumCoordinates(ContentLeft, -static_cast<std::int64_t>(m[css::PaddingLeft]), dx),
                       SumCoordinates(boxTop_, m[css::BorderTopWidth], up),
                       SumCoordinates(ContentLeft, ContentWidth, m[css::PaddingRight], dx),
                       SumCoordinates(boxBottom_, -static_cast<std::int64_t>(m[css::BorderBottomWidth]), up));
  const TRect border = Rect(SumCoordinates(padding.Left, -static_cast<std::int64_t>(m[css::BorderLeftWidth])),
                            SumCoordinates(padding.Top, -static_cast<std::int64_t>(m[css::BorderTopWidth])),
                            SumCoordinates(padding.Right, m[css::BorderRightWidth]),
                            SumCoordinates(padding.Bottom, m[css::BorderBottomWidth]));
  BoxRect = border;
  BoxRect.Top = SumCoordinates(BoxRect.Top, yOff);
  BoxRect.Bottom = SumCoordinates(BoxRect.Bottom, yOff);
  TRect visible;
  if (!IntersectRect(visible, border, aRect)) return;
  const TSectionList& list = *ParentSectionList;
  const TBrush oldBrush = canvas.Brush();
  canvas.Brush().Style = bsSolid;
  const bool backgrounds = !list.IsCopy || list.PrintTableBackground;
  if (BgColor != clNone && backgrounds) {
    canvas.Brush().Color = BgColor;
    canvas.FillRect(padding);
  }
  if (Background && backgrounds) Background->Draw(canvas, padding, aRect, list.IsCopy, BgColor == clNone);
  if (SumCoordinates(m[css::BorderLeftWidth], m[css::BorderTopWidth], m[css::BorderRightWidth],
                     m[css::BorderBottomWidth]) > 0) {
    canvas.Brush().Color = BorderColor != clNone ? BorderColor : TextColor;
    canvas.FillRect(Rect(border.Left, border.Top, border.Right, padding.Top));
    canvas.FillRect(Rect(border.Left, padding.Bottom, border.Right, border.Bottom));
    canvas.FillRect(Rect(border.Left, padding.Top, padding.Left, padding.Bottom));
    canvas.FillRect(Rect(padding.Right, padding.Top, border.Right, padding.Bottom));
  }
  canvas.SetBrush(oldBrush);
}

int TBlock::Draw(TCanvas& canvas, const TRect& aRect, IndentManager& iMgr, int x, int xRef, int yRef) {
  if (DisplayNone) return 0;
  TSectionList& list = *ParentSectionList;
  const int result = SumCoordinates(ContentTop, SectionHeight);
  if (HandlePageBreaks(list, aRect.Bottom - aRect.Top)) return result;
  if (Hidden) return result;
  const int dx = SumCoordinates(x, -static_cast<std::int64_t>(layoutX_));
  DrawBox(canvas, aRect, dx, list.YOff);
  for (TSectionBase* section : DrawList)
    section->Draw(canvas, aRect, iMgr, SumCoordinates(ContentLeft, dx), xRef, yRef);
  return result;
}

void TBlock::MinMaxWidth(TCanvas& canvas, int& min, int& max) {
  if (DisplayNone) {
    min = max = 0;
    return;
  }
  const TBoxValues box = ConvMargArray(MarginArray(), 0, 0, EmSize, ExSize);
  const TMarginArray& m = box.M;
  const int sides = Resolved(m[css::MarginLeft]) + Resolved(m[css::MarginRight]) + m[css::BorderLeftWidth] +
                    m[css::BorderRightWidth] + m[css::PaddingLeft] + m[css::PaddingRight];
  MyCell->GetMinMaxWidth(canvas, min, max);
  if (m[css::Width] != AutoValue && m[css::Width] > 0) min = max = std::max(min, m[css::Width]);
  min = SumCoordinates(min, sides);
  max = SumCoordinates(max, sides);
}

TGuResultType TBlock::GetURL(TCanvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& urlTarget,
                             TFormControlObj*& formControl, std::string& title) {
  if (DisplayNone) return 0;
  TGuResultType result = MyCell->GetURL(canvas, x, y, urlTarget, formControl, title);
  if (!(result & guTitle) && !Title.empty() && BoxRect.Contains(Point(x, y))) {
    title = Title;
    result |= guTitle;
  }
  return result;
}

bool TBlock::PtInObject(int x, int y, TObject*& obj, int& ix, int& iy) {
  return !DisplayNone && MyCell->PtInObject(x, y, obj, ix, iy);
}

int TBlock::FindCursor(TCanvas& canvas, int x, int y, int& xr, int& yr, int& caretHt, bool& inText) {
  return DisplayNone ? -1 : MyCell->FindCursor(canvas, x, y, xr, yr, caretHt, inText);
}

int TBlock::FindString(int from, const std::string& toFind, bool matchCase, int& matchEnd) {
  return DisplayNone ? -1 : MyCell->FindString(from, toFind, matchCase, matchEnd);
}

int TBlock::FindSourcePos(int docPos) { return DisplayNone ? -1 : MyCell->FindSourcePos(docPos); }

int TBlock::FindDocPos(int sourcePos, bool prev) { return DisplayNone ? -1 : MyCell->FindDocPos(sourcePos, prev); }

bool TBlock::CursorToXY(TCanvas& canvas, int cursor, int& x, int& y) {
  return !DisplayNone && MyCell->CursorToXY(canvas, cursor, x, y);
}

bool TBlock::GetChAtPos(int pos, char32_t& ch, TObject*& obj) {
  return !DisplayNone && MyCell->GetChAtPos(pos, ch, obj);
}

void TBlock::CopyToClipboard() {
  if (!DisplayNone) MyCell->CopyToClipboard();
}

void TBlock::AddSectionsToList() {
  for (const auto& section : *MyCell) section->AddSectionsToList();
}

std::unique_ptr<TSectionBase> TBodyBlock::CreateCopy(TSectionList* masterList) const {
  auto copy = std::make_unique<TBodyBlock>(masterList, *this);
  copy->DocumentTitle = DocumentTitle;
  return copy;
}

int TBodyBlock::FindWidth(TCanvas&, int aWidth, int, int) {
  TMarginArray& m = MargArray;
  m[css::MarginLeft] = Resolved(m[css::MarginLeft]);
  m[css::MarginRight] = Resolved(m[css::MarginRight]);
  return std::max(0, aWidth - m[css::MarginLeft] - m[css::MarginRight] - BorderAndPaddingWidth());
}

int TBodyBlock::DrawLogic(TCanvas& canvas, int x, int y, int, int, int aWidth, int aHeight, IndentManager& iMgr,
                          int& maxWidth, int& curs) {
  // Absolutely positioned boxes inside the body are placed from its origin.
  return TBlock::DrawLogic(canvas, x, y, 0, 0, aWidth, aHeight, iMgr, maxWidth, curs);
}

int NextListNumber(int n) { return n == INT_MAX ? n : n + 1; }

std::string ListMarkerText(ListBulletType style, int n) {
  static const char* const kRoman[] = {"i",   "ii",   "iii",  "iv", "v",   "vi",  "vii",  "viii", "ix",  "x",
                                       "xi",  "xii",  "xiii", "xiv", "xv",  "xvi", "xvii", "xviii", "xix", "xx"};
  if (n < 1) return IntToStr(n) + ".";
  switch (style) {
    case lbLowerAlpha: return std::string(1, static_cast<char>('a' + std::min(n, 26) - 1)) + ".";
    case lbUpperAlpha: return std::string(1, static_cast<char>('A' + std::min(n, 26) - 1)) + ".";
    case lbLowerRoman: return std::string(kRoman[std::min(n, 20) - 1]) + ".";
    case lbUpperRoman: return UpperCase(kRoman[std::min(n, 20) - 1]) + ".";
    default: return IntToStr(n) + ".";
  }
}

namespace {

ListBulletType OrderedStyle(char typeChar) {
  switch (typeChar) {
    case 'A': return lbUpperAlpha;
    case 'I': return lbUpperRoman;
    case 'a': return lbLowerAlpha;
    case 'i': return lbLowerRoman;
    default: return lbDecimal;
  }
}

ListBulletType BulletOfLevel(int level) {
  switch (level % 3) {
    case 1: return lbDisc;
    case 2: return lbCircle;
    default: return lbSquare;
  }
}

}  // namespace

TBlockLI::TBlockLI(TSectionList* masterList, TAttributeList* attributes, TProperties& props, TCellBasic* ownerCell,
                   const std::string& tag, TListType listType, char listTypeChar, bool plain, int listNumber,
                   int level)
    : TBlock(masterList, attributes, props, ownerCell, tag), ListType(listType), ListNumber(listNumber) {
  switch (listType) {
    case TListType::Ordered: ListStyle = OrderedStyle(listTypeChar); break;
    case TListType::Unordered: ListStyle = plain ? lbNone : BulletOfLevel(level); break;
    case TListType::Definition: ListStyle = lbNone; break;
    case TListType::Outside: {
      ListStyle = lbDisc;
      const TPropValue& left = MarginArray()[css::MarginLeft];
      const int* value = AsInt(left);
      if (IsEmpty(left) || (value && (*value == 0 || *value == NullValue))) SetMarginValue(css::MarginLeft, 16);
      break;
    }
  }
  const ListBulletType styled = props.GetListStyleType();
  if (styled != lbBlank) ListStyle = styled;
  BulletFont = RunFontOf(props).Font;
  if (const std::string image = props.GetListStyleImage(); !image.empty() && masterList)
    Image = TImageObj::SimpleCreate(*masterList, image);
}

TBlockLI::TBlockLI(TSectionList* masterList, const TBlockLI& source)
    : TBlock(masterList, source),
      ListType(source.ListType),
      ListStyle(source.ListStyle),
      ListNumber(source.ListNumber),
      BulletFont(source.BulletFont) {
  if (source.Image)
    Image.reset(static_cast<TImageObj*>(source.Image->CreateCopy(*masterList).release()));
}

TBlockLI::~TBlockLI() = default;

std::unique_ptr<TSectionBase> TBlockLI::CreateCopy(TSectionList* masterList) const {
  return std::make_unique<TBlockLI>(masterList, *this);
}

int TBlockLI::DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight,
                        IndentManager& iMgr, int& maxWidth, int& curs) {
  TSectionList& list = *ParentSectionList;
  int* previous = list.FirstLineBaseline;
  FirstLineY = 0;
  list.FirstLineBaseline = &FirstLineY;
  if (Image) {
    Image->DrawLogic(list, canvas, nullptr, 0);
    if (Image->Broken()) Image.reset();  // the style's marker instead
  }
  const int height = TBlock::DrawLogic(canvas, x, y, xRef, yRef, aWidth, aHeight, iMgr, maxWidth, curs);
  list.FirstLineBaseline = previous;
  return height;
}

int TBlockLI::Draw(TCanvas& canvas, const TRect& aRect, IndentManager& iMgr, int x, int xRef, int yRef) {
  const int result = TBlock::Draw(canvas, aRect, iMgr, x, xRef, yRef);
  if (DisplayNone || Hidden || FirstLineY <= 0 || ListType == TListType::Definition) return result;
  const int baseline = SumCoordinates(FirstLineY, -static_cast<std::int64_t>(ParentSectionList->YOff));
  if (baseline < aRect.Top - 50 || baseline > aRect.Bottom + 50) return result;
  DrawMarker(canvas, SumCoordinates(ContentLeft, x, -static_cast<std::int64_t>(layoutX_)), baseline);
  return result;
}

void TBlockLI::DrawMarker(TCanvas& canvas, int contentX, int baseline) {
  if (Image && !Image->ShowsPlaceholder()) {
    // Bottom on the baseline, 5 pixels left of the content.
    Image->Draw(canvas, contentX - Image->ImageWidth - 5, 0, baseline + ParentSectionList->YOff, nullptr);
    return;
  }
  const TFont oldFont = canvas.Font();
  const TBrush oldBrush = canvas.Brush();
  const TPen oldPen = canvas.Pen();
  const TColor color = BulletFont.Color();
  switch (ListStyle) {
    case lbNone:
    case lbBlank: break;
    case lbCircle:
      canvas.Pen().Color = color;
      canvas.Brush().Style = bsClear;
      canvas.Ellipse(contentX - 16, baseline - 7, contentX - 9, baseline);
      break;
    case lbDisc:
      canvas.Pen().Color = color;
      canvas.Brush().Color = color;
      canvas.Brush().Style = bsSolid;
      canvas.Ellipse(contentX - 15, baseline - 6, contentX - 10, baseline - 1);
      break;
    case lbSquare:
      canvas.Brush().Color = color;
      canvas.Brush().Style = bsSolid;
      canvas.FillRect(Rect(contentX - 15, baseline - 6, contentX - 10, baseline - 1));
      break;
    default: {
      canvas.SetFont(BulletFont);
      const unsigned oldAlign = SetTextAlign(canvas, TA_BASELINE | TA_RIGHT);
      const int oldMode = SetBkMode(canvas, TRANSPARENT);
      const std::string text = ListMarkerText(ListStyle, ListNumber);
      TextOut(canvas, contentX - 10, baseline, text.data(), static_cast<int>(text.size()));
      SetBkMode(canvas, oldMode);
      SetTextAlign(canvas, oldAlign);
      break;
    }
  }
  canvas.SetFont(oldFont);
  canvas.SetBrush(oldBrush);
  canvas.SetPen(oldPen);
}

}  // namespace lark
