#include <algorithm>

#include "html/form_control_image.h"
#include "html/image_obj.h"
#include "html/indent_manager.h"
#include "html/paragraph_section.h"
#include "html/section_list.h"
#include "html/text_collector.h"
#include "platform/core/code_page.h"
#include "platform/graphics/gdi.h"

namespace lark {

namespace {

// Characters at the end of a line that are neither drawn nor measured.
int VisibleLength(const std::string& buff, const std::string* brk, const LineRec& line) {
  int visible = line.Ln;
  while (visible > 0) {
    const int i = line.Start + visible - 1;
    if (buff[i] != kBreakChar && !(buff[i] == ' ' && (!brk || (*brk)[i] != 'n'))) break;
    --visible;
  }
  return visible;
}

}  // namespace

std::vector<int> TSection::LineXs(TCanvas& canvas, const LineRec& line) {
  std::vector<int> xs(static_cast<std::size_t>(line.Ln) + 1, 0);
  int x = 0;
  int i = line.Start;
  const int end = line.Start + line.Ln;
  std::vector<int> dx;
  while (i < end) {
    xs[i - line.Start] = x;
    if (Buff[i] == kObjectChar) {
      x += ObjectWidth(i);
      ++i;
      continue;
    }
    const int n = PieceEnd(i, end) - i;
    Fonts.GetFontObjAt(i)->Select(canvas);
    dx.assign(static_cast<std::size_t>(n), 0);
    TSize size;
    GetTextExtentExPoint(canvas, Buff.data() + i, n, 0, nullptr, dx.data(), &size);
    for (int k = 1; k < n; ++k) xs[i - line.Start + k] = x + dx[static_cast<std::size_t>(k - 1)];
    x += dx[static_cast<std::size_t>(n - 1)];
    i += n;
  }
  xs[static_cast<std::size_t>(line.Ln)] = x;
  if (line.Spaces > 0 && line.Extra > 0) {
    // The same spread as the device's text justification: each blank gets
    // Extra div Spaces, the first Extra mod Spaces one pixel more.
    int shift = 0;
    int blank = 0;
    const int visible = VisibleLength(Buff, Brk.get(), line);
    for (int k = 0; k <= line.Ln; ++k) {
      xs[static_cast<std::size_t>(k)] += shift;
      if (k < visible && Buff[line.Start + k] == ' ' && blank < line.Spaces) {
        shift += line.Extra / line.Spaces + (blank < line.Extra % line.Spaces ? 1 : 0);
        ++blank;
      }
    }
  }
  return xs;
}

int TSection::LineAt(int y) const {
  for (std::size_t k = 0; k < lines_.size(); ++k)
    if (y >= lines_[k].Y && y < lines_[k].Y + std::max(lines_[k].Height(), 1)) return static_cast<int>(k);
  return -1;
}

void TSection::DrawPiece(TCanvas& canvas, const TFontObj& run, int start, int end, int x, int baseline,
                         const std::vector<int>& xs, const LineRec& line, bool selected) {
  TSectionList& list = *ParentSectionList;
  run.Select(canvas);
  TColor textColor = run.Font().Color();
  if (list.IsCopy && list.PrintMonochromeBlack && GetDeviceCaps(canvas, NUMCOLORS) < 3 &&
      IsMonochromeDevice(canvas) && (ColorToRGB(textColor) & 0xFFFFFF) != 0xFFFFFF)
    textColor = clBlack;
  if (selected) {
    SetBkMode(canvas, OPAQUE);
    SetBkColor(canvas, textColor);
    canvas.Font().SetColor(run.BgColor() != clNone ? run.BgColor()
                                                   : TColor((ColorToRGB(textColor) & 0xFFFFFF) ^ 0xFFFFFF));
  } else if (run.BgColor() != clNone) {
    SetBkMode(canvas, OPAQUE);
    SetBkColor(canvas, run.BgColor());
    canvas.Font().SetColor(textColor);
  } else {
    SetBkMode(canvas, TRANSPARENT);
    canvas.Font().SetColor(textColor);
  }
  int shift = 0;
  if (run.SScript == TScript::Super) shift = -(run.FontHeight / 3);
  if (run.SScript == TScript::Sub) shift = run.Descent / 2 + 1;
  const bool justified = line.Spaces > 0 && line.Extra > 0;
  int i = start;
  while (i < end) {
    // Justified text is drawn word by word at the positions LineXs gave.
    int stop = end;
    if (justified) {
      const auto blank = Buff.find(' ', static_cast<std::size_t>(i));
      if (blank != std::string::npos && static_cast<int>(blank) < end) stop = static_cast<int>(blank) + 1;
    }
    TextOut(canvas, x + xs[static_cast<std::size_t>(i - line.Start)], baseline + shift, Buff.data() + i, stop - i);
    i = stop;
  }
}

void TSection::DrawControl(TCanvas& canvas, TFormControlObj& control, int x, const LineRec& line, int baseline) {
  TSectionList& list = *ParentSectionList;
  int y = baseline - control.Height();  // baseline and bottom
  if (control.FormAlign == aTop) y = line.Y + line.SpaceBefore;
  if (control.FormAlign == aMiddle) y = line.Y + (line.Height() - control.Height()) / 2;
  if (list.IsCopy) {
    control.Draw(canvas, x, y - list.YOff);
  } else {
    control.PlaceControl(x, y - list.YOff);
    control.ShowIt = true;
  }
}

void TSection::DrawLine(TCanvas& canvas, LineRec& line, int x, int y) {
  TSectionList& list = *ParentSectionList;
  const int lineX = x + line.LineIndent;
  line.DrawXX = lineX;
  line.DrawY = y;
  const int baseline = y + line.SpaceBefore + line.LineHt - line.Descent;
  const std::vector<int> xs = LineXs(canvas, line);
  const int visible = VisibleLength(Buff, Brk.get(), line);
  const int selB = list.IsCopy ? 0 : list.SelB - StartCurs;
  const int selE = list.IsCopy ? 0 : list.SelE - StartCurs;
  int i = line.Start;
  const int end = line.Start + visible;
  while (i < end) {
    if (Buff[i] == kObjectChar) {
      const int objectX = lineX + xs[static_cast<std::size_t>(i - line.Start)];
      const int docBaseline = line.Y + line.SpaceBefore + line.LineHt - line.Descent;
      if (TFormControlObj* control = ControlAt(i)) {
        DrawControl(canvas, *control, objectX + control->HSpaceL, line, docBaseline);
      } else if (TFloatingObj* object = ObjectAt(i); object && !object->Floats()) {
        object->Draw(canvas, objectX + object->HSpaceL, line.Y, docBaseline, Fonts.GetFontObjAt(i));
      }
      ++i;
      continue;
    }
    const TFontObj* run = Fonts.GetFontObjAt(i);
    int stop = PieceEnd(i, end);
    const bool selected = i >= selB && i < selE;
    if (selected) stop = std::min(stop, selE);
    else if (selB > i && selB < stop) stop = selB;
    DrawPiece(canvas, *run, i, stop, lineX, baseline, xs, line, selected);
    i = stop;
  }
}

int TSection::Draw(TCanvas& canvas, const TRect& aRect, IndentManager& iMgr, int x, int, int) {
  TSectionList& list = *ParentSectionList;
  drawX_ = x;
  const int top = ContentTop - list.YOff;
  if (Len == 0 || top > aRect.Bottom || top + DrawHeight < aRect.Top) return ContentTop + SectionHeight;
  const unsigned oldAlign = SetTextAlign(canvas, TA_BASELINE | TA_LEFT);
  const TFont oldFont = canvas.Font();
  const int oldBkMode = GetBkMode(canvas);
  auto first = lines_.begin();
  if (list.IsCopy) {
    // A page draws its own lines only: those of earlier pages would stay in
    // a PDF's text under the clip, and a long section would cost each page
    // all its lines. Lines stack, so their bottoms rise in order.
    const std::int64_t pageTop = std::int64_t{list.YOff} + aRect.Top;
    first = std::partition_point(lines_.begin(), lines_.end(), [pageTop](const LineRec& line) {
      return std::int64_t{line.Y} + line.Height() <= pageTop;
    });
  }
  for (auto it = first; it != lines_.end(); ++it) {
    LineRec& line = *it;
    const int lineTop = line.Y - list.YOff;
    const int height = line.Height();
    if (list.IsCopy) {
      if (line.Y >= list.PageBottom) break;  // the next page's
      const int pageHeight = aRect.Bottom - aRect.Top;
      if (line.Y < list.PageBottom && line.Y + height > list.PageBottom && height < pageHeight &&
          !list.PageBottomFixed) {
        list.PageBottom = line.Y;
        break;
      }
    } else if (lineTop + std::max(height, line.LineImgHt) < aRect.Top || lineTop > aRect.Bottom) {
      continue;
    }
    if (line.Ln > 0) DrawLine(canvas, line, x, lineTop);
  }
  for (const auto& object : Images)
    if (object->Floats() && object->YValue != kNotLaidOut)
      list.DrawList.push_back({object.get(), iMgr.LfEdge + object->Indent, object->YValue, Fonts.GetFontObjAt(object->Pos)});
  SetTextAlign(canvas, oldAlign);
  SetBkMode(canvas, oldBkMode);
  canvas.SetFont(oldFont);
  return ContentTop + SectionHeight;
}

TGuResultType TSection::GetURL(TCanvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& urlTarget,
                               TFormControlObj*& formControl, std::string& title) {
  TSectionList& list = *ParentSectionList;
  TGuResultType result = 0;
  auto takeLink = [&](TFontObj* run) {
    if (!run || !run->IsLink()) return;
    urlTarget = std::make_unique<TUrlTarget>();
    urlTarget->Assign(run->UrlTarget());
    list.ActiveLink = run;
    result |= guUrl;
  };
  for (const auto& object : Images) {
    if (!object->HitArea().Contains(Point(x, y))) continue;
    title = !object->Title.empty() ? object->Title : object->Alt;
    if (!title.empty()) result |= guTitle;
    list.ActiveImage = object.get();
    TFontObj* run = Fonts.GetFontObjAt(object->Pos);
    if (const auto* image = dynamic_cast<const TImageObj*>(object.get()); image && image->MyFormControl) {
      formControl = image->MyFormControl;
      image->MyFormControl->XTmp = x - image->DrawXX;
      image->MyFormControl->YTmp = y - image->DrawYY;
    } else if (image) {
      if (image->GetURL(x - image->DrawXX, y - image->DrawYY, run, urlTarget)) {
        result |= guUrl;
        if (run && run->IsLink()) list.ActiveLink = run;
      }
    } else {
      takeLink(run);
    }
    return result;
  }
  const int k = LineAt(y);
  if (k < 0) return 0;
  const LineRec& line = lines_[static_cast<std::size_t>(k)];
  const int lineX = drawX_ + line.LineIndent;
  if (x < lineX) return 0;
  const std::vector<int> xs = LineXs(canvas, line);
  int i = -1;
  for (int c = 0; c < line.Ln; ++c)
    if (x - lineX >= xs[static_cast<std::size_t>(c)] && x - lineX < xs[static_cast<std::size_t>(c) + 1]) i = c;
  if (i < 0 || Buff[line.Start + i] == kObjectChar) return 0;
  TFontObj* run = Fonts.GetFontObjAt(line.Start + i);
  takeLink(run);
  if (run && !run->Title().empty()) {
    title = run->Title();
    result |= guTitle;
  }
  return result;
}

bool TSection::PtInObject(int x, int y, TObject*& obj, int& ix, int& iy) {
  for (const auto& object : Images)
    if (object->HitArea().Contains(Point(x, y))) {
      obj = object.get();
      ix = x - object->DrawXX;
      iy = y - object->DrawYY;
      return true;
    }
  return false;
}

int TSection::FindCursor(TCanvas& canvas, int x, int y, int& xr, int& yr, int& caretHt, bool& inText) {
  if (lines_.empty()) return -1;
  int k = LineAt(y);
  if (k < 0) k = static_cast<int>(lines_.size()) - 1;
  while (k > 0 && lines_[static_cast<std::size_t>(k)].Ln == 0) --k;  // not a clearing spacer
  const LineRec& line = lines_[static_cast<std::size_t>(k)];
  const int lineX = drawX_ + line.LineIndent;
  const std::vector<int> xs = LineXs(canvas, line);
  const int visible = VisibleLength(Buff, Brk.get(), line);
  yr = line.Y + line.SpaceBefore;
  caretHt = line.LineHt;
  inText = x >= lineX && x < lineX + xs[static_cast<std::size_t>(visible)];
  int i = 0;
  if (x >= lineX) {
    while (i < visible) {
      const int next = std::min(NextCharStart(line.Start + i), line.Start + visible) - line.Start;
      const int middle = (xs[static_cast<std::size_t>(i)] + xs[static_cast<std::size_t>(next)]) / 2;
      if (x - lineX < middle) break;
      i = next;
    }
  }
  xr = lineX + xs[static_cast<std::size_t>(i)];
  return StartCurs + line.Start + i;
}

bool TSection::CursorToXY(TCanvas& canvas, int cursor, int& x, int& y) {
  const int i = cursor - StartCurs;
  if (i < 0 || i > Len || lines_.empty()) return false;
  for (const LineRec& line : lines_) {
    if (line.Ln == 0 || i < line.Start || i > line.Start + line.Ln) continue;
    if (i == line.Start + line.Ln && i < Len) continue;  // the next line's start
    const std::vector<int> xs = LineXs(canvas, line);
    x = drawX_ + line.LineIndent + xs[static_cast<std::size_t>(i - line.Start)];
    y = line.Y + line.SpaceBefore;
    return true;
  }
  return false;
}

void TSection::CopyToClipboard() {
  TSectionList& list = *ParentSectionList;
  SelTextCount* collector = list.ClipBuf;
  if (!collector) return;
  for (const LineRec& line : lines_) {
    if (line.Ln == 0) continue;
    const int lineStart = StartCurs + line.Start;
    const int lineEnd = lineStart + line.Ln;
    if (lineEnd <= list.SelB || lineStart >= list.SelE) continue;
    if (list.SelB <= lineStart)
      for (int blanks = line.LineIndent / 35; blanks > 0; --blanks) collector->AddText("   ", CP_UTF8);
    int i = std::max(list.SelB, lineStart) - StartCurs;
    const int end = std::min(list.SelE, lineEnd) - StartCurs;
    while (i < end) {
      const TFontObj* run = Fonts.GetFontObjAt(i);
      const int stop = std::min(end, i + Fonts.GetFontCountAt(i, Len));
      collector->AddText(std::string_view(Buff).substr(static_cast<std::size_t>(i), static_cast<std::size_t>(stop - i)),
                         run->CodePage());
      i = stop;
    }
    if (list.SelE >= lineEnd) collector->AddText("\r\n", CP_UTF8);
  }
}

}  // namespace lark
