// The viewer under the user's hands: mouse, keys, selection, find, copy and
// links followed inside the viewer.
#include <algorithm>
#include <locale>
#include <memory>

#include "html/form_control.h"
#include "html/form_control_image.h"
#include "html/font_run.h"
#include "html/paragraph_section.h"
#include "html/section_list.h"
#include "html/text_collector.h"
#include "html/url_target.h"
#include "platform/core/clock.h"
#include "platform/core/code_page.h"
#include "platform/core/path_routines.h"
#include "platform/core/string_routines.h"
#include "platform/windows/application.h"
#include "platform/windows/desktop.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/scroll_bar.h"
#include "platform/windows/timer.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"
#include "viewer/scroll_bar_32.h"

namespace lark {

namespace {

constexpr TCursor kLinkCursor = 1;
constexpr TCursor kPanCursor = 3;
constexpr TCursor kPanUpCursor = 4;
constexpr TCursor kPanDownCursor = 5;
constexpr UINT kAutoScrollMessage = WM_USER + 102;
constexpr std::uint32_t kAutoScrollTick = 100;
// Panning starts scrolling this far from where the middle click was.
constexpr int kPanDeadZone = 20;
// A match or a focused control this close to the bottom counts as out of view.
constexpr int kBottomBand = 20;

// Letters and digits of any script: the ASCII ones and U+00C0..U+00FF always,
// the others as the C.UTF-8 character classes know them.
bool IsWordChar(char32_t c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  if (c >= 0xC0 && c <= 0xFF) return true;
  if (c < 0x100 || c > 0x10FFFF) return false;
  static const std::ctype<wchar_t>* const classes = []() -> const std::ctype<wchar_t>* {
    try {
      static const std::locale utf8("C.UTF-8");
      return &std::use_facet<std::ctype<wchar_t>>(utf8);
    } catch (const std::exception&) {
      return nullptr;
    }
  }();
  if (classes) return classes->is(std::ctype_base::alnum, static_cast<wchar_t>(c));
  return (c >= 0x370 && c <= 0x3FF) || (c >= 0x400 && c <= 0x52F);  // Greek, Cyrillic
}

// A text position inside its paragraph, read by whole characters of each
// run's code page (positions are bytes of those code pages).
struct TextAt {
  TSection* Section = nullptr;
  int Index = 0;  // the start of the character that holds the position

  static TextAt Of(TSectionList& list, int pos) {
    char32_t ch = 0;
    TObject* object = nullptr;
    if (pos < 0 || !list.GetChAtPos(pos, ch, object)) return {};
    auto* section = dynamic_cast<TSection*>(object);
    if (!section) return {};
    TextAt at{section, 0};
    at.Index = at.CharStart(pos - section->StartCurs);
    return at;
  }
  explicit operator bool() const { return Section != nullptr; }
  [[nodiscard]] int Length() const { return static_cast<int>(Section->Text().size()); }
  [[nodiscard]] int CodePage(int index) const {
    const TFontObj* run = Section->Fonts.GetFontObjAt(index);
    return run ? run->CodePage() : CP_UTF8;
  }
  [[nodiscard]] int CharStart(int index) const {
    return static_cast<int>(FloorCharBoundary(Section->Text(), static_cast<std::size_t>(index), CodePage(index)));
  }
  [[nodiscard]] int NextChar(int index) const {
    return static_cast<int>(NextCharBoundary(Section->Text(), static_cast<std::size_t>(index), CodePage(index)));
  }
  [[nodiscard]] char32_t CharAt(int index) const {
    return DecodeChar(Section->Text(), static_cast<std::size_t>(index), CodePage(index)).CodePoint;
  }
};

}  // namespace

// ---- helpers -------------------------------------------------------------------

TPoint THTMLViewer::PanelPointer() const { return paintPanel_->ScreenToClient(Mouse()->CursorPos()); }

void THTMLViewer::SetPanelCursor(TCursor cursor) {
  if (paintPanel_->Cursor() != cursor) paintPanel_->SetCursor(cursor);
}

void THTMLViewer::EndPanning() {
  panning_ = false;
  autoScrollPosted_ = false;
  SetPanelCursor(Cursor());
}

// ---- mouse -----------------------------------------------------------------------

void THTMLViewer::PanelMouseDown(TMouseButton button, TShiftState, int x, int y) {
  if (CanFocus() && !Focused()) SetFocus();
  linkClicked_ = false;
  if (panning_) {
    EndPanning();
    return;
  }
  if (button == TMouseButton::mbMiddle) {
    panning_ = true;
    panStartY_ = y;
    SetPanelCursor(kPanCursor);
    return;
  }
  if (button != TMouseButton::mbLeft) return;
  leftButtonDown_ = selecting_ = mouseDownInPanel_ = true;
  int xr = 0, yr = 0, caretHeight = 0;
  bool inText = false;
  selectionAnchor_ = sectionList_->FindCursor(paintPanel_->Canvas(), x + hScrollBar_->Position(),
                                              y + sectionList_->YOff, xr, yr, caretHeight, inText);
  if (selectionAnchor_ >= 0) {
    if (sectionList_->SelE > sectionList_->SelB) paintPanel_->Invalidate();
    sectionList_->SelB = sectionList_->SelE = selectionAnchor_;
    caretPos_ = selectionAnchor_;
  }
  sectionList_->SetActiveImageDown(true);
}

void THTMLViewer::PanelMouseMove(TShiftState shift, int x, int y) {
  if (panning_) {
    if (!autoScrollPosted_ && std::abs(y - panStartY_) > kPanDeadZone) {
      autoScrollPosted_ = true;
      PostMessage(this, kAutoScrollMessage);
    }
    return;
  }
  linkTitle_.clear();
  TCursor cursor = crArrow;
  const int docX = x + hScrollBar_->Position(), docY = y + sectionList_->YOff;
  std::unique_ptr<TUrlTarget> urlTarget;
  TFormControlObj* control = nullptr;
  std::string title;
  const TGuResultType hit = sectionList_->GetURL(paintPanel_->Canvas(), docX, docY, urlTarget, control, title);
  std::string url, target;
  if ((hit & guUrl) && urlTarget) {
    cursor = kLinkCursor;
    url = urlTarget->URL;
    target = urlTarget->Target;
  }
  if (hit & guTitle) linkTitle_ = title;
  TObject* image = nullptr;
  int imageX = 0, imageY = 0;
  if ((OnImageClick || OnImageOver) && sectionList_->PtInObject(docX, docY, image, imageX, imageY)) {
    if (cursor != kLinkCursor) cursor = crArrow;
    if (OnImageOver) OnImageOver(this, image, shift, imageX, imageY);
  } else if (cursor != kLinkCursor) {
    int xr = 0, yr = 0, caretHeight = 0;
    bool inText = false;
    if (sectionList_->FindCursor(paintPanel_->Canvas(), docX, docY, xr, yr, caretHeight, inText) >= 0 && inText)
      cursor = Cursor();
  }
  SetPanelCursor(cursor);
  hoverTimer_->SetEnabled(cursor == kLinkCursor || sectionList_->ActiveLink != nullptr);
  if (url != linkURL_ || target != linkTarget_) {
    linkURL_ = url;
    linkTarget_ = target;
    if (OnHotSpotCovered) OnHotSpotCovered(this, url);
  }
  if (!leftButtonDown_) return;
  if ((y < 1 || y >= paintPanel_->Height()) && !autoScrollPosted_) {
    autoScrollPosted_ = true;
    PostMessage(this, kAutoScrollMessage);
  }
  if (!noSelect_) ExtendSelectionTo(x, y);
}

void THTMLViewer::HoverTimerTick() {
  if (WindowFromPoint(Mouse()->CursorPos()) == paintPanel_) return;
  sectionList_->CancelActives();
  hoverTimer_->SetEnabled(false);
  if (linkURL_.empty()) return;
  linkURL_.clear();
  linkTarget_.clear();
  if (OnHotSpotCovered) OnHotSpotCovered(this, "");
}

void THTMLViewer::ExtendSelectionTo(int x, int y) {
  if (!selecting_ || selectionAnchor_ < 0) return;
  y = std::clamp(y, 0, paintPanel_->Height());
  int xr = 0, yr = 0, caretHeight = 0;
  bool inText = false;
  const int at = sectionList_->FindCursor(paintPanel_->Canvas(), x + hScrollBar_->Position(),
                                          y + sectionList_->YOff, xr, yr, caretHeight, inText);
  if (at >= 0 && !noSelect_) {
    sectionList_->SelB = std::min(selectionAnchor_, at);
    sectionList_->SelE = std::max(selectionAnchor_, at);
    paintPanel_->Invalidate();
  }
  if (at >= 0) caretPos_ = at;
}

void THTMLViewer::PanelMouseWheel(TShiftState, int wheelDelta, TPoint, bool& handled) {
  SetVScrollBarPosition(VScrollBarPosition() - wheelDelta / 2);
  handled = true;
}

void THTMLViewer::PanelMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (panning_) {
    if (!(button == TMouseButton::mbMiddle && y == panStartY_)) EndPanning();
    return;
  }
  const int docX = x + hScrollBar_->Position(), docY = y + sectionList_->YOff;
  if (OnImageClick || OnRightClick) {
    TObject* image = nullptr;
    int imageX = 0, imageY = 0;
    const bool overImage = sectionList_->PtInObject(docX, docY, image, imageX, imageY);
    if (overImage && OnImageClick) OnImageClick(this, image, button, shift, imageX, imageY);
    if (button == TMouseButton::mbRight && OnRightClick) {
      TRightClickParameters parameters;  // freed on every way out, a raised handler included
      if (overImage) {
        parameters.Image = image;
        parameters.ImageX = imageX;
        parameters.ImageY = imageY;
      }
      std::unique_ptr<TUrlTarget> urlTarget;
      TFormControlObj* control = nullptr;
      std::string title;
      if ((sectionList_->GetURL(paintPanel_->Canvas(), docX, docY, urlTarget, control, title) & guUrl) &&
          urlTarget) {
        parameters.URL = urlTarget->URL;
        parameters.Target = urlTarget->Target;
      }
      parameters.ClickWord = ClickWord(x, y);
      const bool wasHovering = hoverTimer_->Enabled();
      hoverTimer_->SetEnabled(false);
      struct RestartTimer {
        TTimer* timer;
        bool on;
        ~RestartTimer() { timer->SetEnabled(on); }
      } restart{hoverTimer_, wasHovering};
      OnRightClick(this, parameters);
    }
  }
  if (button != TMouseButton::mbLeft) return;
  autoScrollPosted_ = false;
  ExtendSelectionTo(x, y);
  selecting_ = leftButtonDown_ = false;
  sectionList_->SetActiveImageDown(false);
  const bool downHere = mouseDownInPanel_;
  mouseDownInPanel_ = false;
  if (!downHere || sectionList_->SelE > sectionList_->SelB) return;
  std::unique_ptr<TUrlTarget> urlTarget;
  TFormControlObj* control = nullptr;
  std::string title;
  const TGuResultType hit = sectionList_->GetURL(paintPanel_->Canvas(), docX, docY, urlTarget, control, title);
  if ((hit & guControl) && control) {
    if (auto* imageInput = dynamic_cast<TImageFormControlObj*>(control)) imageInput->ImageClick();
  } else if ((hit & guUrl) && urlTarget) {
    linkURL_ = urlTarget->URL;
    linkTarget_ = urlTarget->Target;
    linkClicked_ = true;
    FollowLink();
  }
}

bool THTMLViewer::WordAt(int x, int y, int& first, int& end) {
  int xr = 0, yr = 0, caretHeight = 0;
  bool inText = false;
  const int at = sectionList_->FindCursor(paintPanel_->Canvas(), x + hScrollBar_->Position(),
                                          y + sectionList_->YOff, xr, yr, caretHeight, inText);
  const TextAt text = TextAt::Of(*sectionList_, at);
  if (!text || !IsWordChar(text.CharAt(text.Index))) return false;
  int start = text.Index;
  while (start > 0 && IsWordChar(text.CharAt(text.CharStart(start - 1)))) start = text.CharStart(start - 1);
  int after = text.NextChar(text.Index);
  while (after < text.Length() && IsWordChar(text.CharAt(after))) after = text.NextChar(after);
  first = text.Section->StartCurs + start;
  end = text.Section->StartCurs + after;
  return true;
}

std::string THTMLViewer::ClickWord(int x, int y) {
  int first = 0, end = 0;
  if (!WordAt(x, y, first, end)) return {};
  const int oldB = sectionList_->SelB, oldE = sectionList_->SelE;
  sectionList_->SelB = first;
  sectionList_->SelE = end;
  std::string word;
  struct Capture : SelTextBuf {
    explicit Capture(std::string& storage) : SelTextBuf(storage.data(), static_cast<int>(storage.size())) {}
  };
  std::string storage(static_cast<std::size_t>(std::min(end - first, 4096)) * 4 + 1, '\0');
  Capture capture(storage);
  sectionList_->ClipBuf = &capture;
  sectionList_->TCell::CopyToClipboard();
  sectionList_->ClipBuf = nullptr;
  word.assign(storage.data(), static_cast<std::size_t>(capture.Leng()));
  if (word.ends_with("\r\n")) word.resize(word.size() - 2);  // a paragraph's last word brings its line end
  sectionList_->SelB = oldB;
  sectionList_->SelE = oldE;
  return word;
}

void THTMLViewer::PanelDoubleClick(int x, int y) {
  sectionList_->SetActiveImageDown(true);
  if (processing_ || linkClicked_) return;
  int first = 0, end = 0;
  if (!noSelect_ && WordAt(x, y, first, end)) {
    sectionList_->SelB = first;
    sectionList_->SelE = end;
    caretPos_ = end;
    paintPanel_->Invalidate();
  }
  if (OnMouseDouble) OnMouseDouble(this, TMouseButton::mbLeft, 0, x, y);
}

// ---- the auto-scroll loop --------------------------------------------------------

bool THTMLViewer::AutoScrollWanted(TPoint pointer) const {
  if (autoScrollPosted_ && leftButtonDown_ && (pointer.Y < 1 || pointer.Y >= paintPanel_->Height())) return true;
  return panning_ && std::abs(pointer.Y - panStartY_) > kPanDeadZone;
}

void THTMLViewer::AutoScrollStep(TPoint pointer) {
  const int small = vScrollBar_->SmallChange;
  int move = 0;
  if (panning_) {
    const int d = pointer.Y - panStartY_;
    move = d < -60 ? -32 : d < -kPanDeadZone ? -8 : d > 60 ? 32 : d > kPanDeadZone ? 8 : 0;
    SetPanelCursor(move < 0 ? kPanUpCursor : kPanDownCursor);
  } else {
    const int y = pointer.Y, height = paintPanel_->Height();
    move = y < -15 ? -8 * small : y < 1 ? -small : y <= height + 15 ? small : 8 * small;
  }
  const int pos = std::clamp(VScrollBarPosition() + move, 0, MaxScrollPosition());
  ScrollTo(pos);
  ExtendSelectionTo(pointer.X, pointer.Y);
  paintPanel_->Update();
}

void THTMLViewer::AutoScrollLoop() {
  // The loop runs the message queue: a message may free the viewer or
  // change its document, and then the loop ends touching nothing.
  const std::shared_ptr<bool> alive = alive_;
  std::uint32_t lastPass = timeGetTime() - kAutoScrollTick;
  while (*alive && AutoScrollWanted(PanelPointer())) {
    const std::uint32_t now = timeGetTime();
    if (now - lastPass >= kAutoScrollTick) {
      lastPass = now;
      AutoScrollStep(PanelPointer());
    }
    WaitMessageTimeout(kAutoScrollTick - std::min(kAutoScrollTick, timeGetTime() - lastPass));
    Application()->ProcessMessages();
  }
  if (!*alive) return;
  autoScrollPosted_ = false;
  if (panning_) SetPanelCursor(kPanCursor);
}

// ---- keys ------------------------------------------------------------------------

void THTMLViewer::KeyDownScroll(unsigned short key) {
  if (panning_) {
    EndPanning();
    return;
  }
  const int old = VScrollBarPosition();
  int pos = old;
  switch (key) {
    case VK_PRIOR: pos -= vScrollBar_->LargeChange; break;
    case VK_NEXT: pos += vScrollBar_->LargeChange; break;
    case VK_UP: pos -= vScrollBar_->SmallChange; break;
    case VK_DOWN: pos += vScrollBar_->SmallChange; break;
    case VK_HOME: pos = 0; break;
    case VK_END: pos = scrollHeight_; break;
    case VK_LEFT:
    case VK_RIGHT: {
      const int step = key == VK_LEFT ? -hScrollBar_->SmallChange : hScrollBar_->SmallChange;
      hScrollBar_->SetPosition(
          std::clamp(hScrollBar_->Position() + step, 0, std::max(0, hScrollBar_->Max() - paintPanel_->Width())));
      paintPanel_->Invalidate();
      return;
    }
    default: return;
  }
  pos = std::clamp(pos, 0, MaxScrollPosition());
  if (pos == old) return;
  vScrollBar_->SetPosition32(pos);
  sectionList_->SetYOffset(pos);
  if (std::abs(pos - old) == vScrollBar_->SmallChange) {
    paintPanel_->ScrollWindow(0, old - pos);
    paintPanel_->Update();
  } else {
    paintPanel_->Invalidate();
  }
}

// ---- selection, find and copy ----------------------------------------------------

bool THTMLViewer::Find(const std::string& text, bool matchCase) {
  if (text.empty()) return false;
  int end = 0;
  const int at = sectionList_->FindString(caretPos_, text, matchCase, end);
  if (at < 0) return false;
  const TextAt match = TextAt::Of(*sectionList_, at);
  sectionList_->SelB = at;
  sectionList_->SelE = end;
  caretPos_ = end;
  // Asked of the match's own paragraph: the one before it also answers for
  // this position (as its end), a line above the match.
  int x = 0, y = 0;
  TCanvas& canvas = paintPanel_->Canvas();
  if (match ? match.Section->CursorToXY(canvas, at, x, y) : sectionList_->CursorToXY(canvas, at, x, y)) {
    const int top = VScrollBarPosition();
    if (y < top || y >= top + PaintHeight() - kBottomBand) SetVScrollBarPosition(y - PaintHeight() / 2);
  }
  Invalidate();
  return true;
}

void THTMLViewer::SelectAll() {
  if (sectionList_->Count() == 0 || noSelect_) return;
  const TSectionBase* last = sectionList_->Items(sectionList_->Count() - 1);
  sectionList_->SelB = 0;
  sectionList_->SelE = last->StartCurs + last->Len;
  Invalidate();
}

int THTMLViewer::SelStart() const { return sectionList_->SelB; }

int THTMLViewer::GetSelLength() const {
  const TSectionList& list = *sectionList_;
  return list.SelB != caretPos_ ? list.SelB - list.SelE : list.SelE - list.SelB;
}

void THTMLViewer::CopyToClipboard() {
  if (sectionList_->SelE <= sectionList_->SelB) return;
  // Measured first: a selection that would not fit is refused, never cut.
  // Room for one more character than the buffer holds tells "fits" from
  // "does not" whatever the length of the character at the edge.
  std::string measure(ClipBuffer::kSize + 4, '\0');
  SelTextBuf counter(measure.data(), static_cast<int>(measure.size()));
  sectionList_->ClipBuf = &counter;
  try {
    sectionList_->TCell::CopyToClipboard();
  } catch (...) {
    sectionList_->ClipBuf = nullptr;
    throw;
  }
  sectionList_->ClipBuf = nullptr;
  if (counter.Leng() > ClipBuffer::kSize - 1) throw EBufferTooSmall("Selected text exceeds buffer size");
  sectionList_->CopyToClipboard();
}

// ---- links -----------------------------------------------------------------------

void THTMLViewer::JumpAndRecord(const std::string& anchor, TViewerPosition oldPos) {
  if (!JumpToAnchor(anchor)) return;
  RecordHistory(currentFile_, documentTitle_, currentFileType_, GetFormData(), oldPos);
}

void THTMLViewer::FollowLink() {
  bool handled = false;
  if (OnHotSpotClick) OnHotSpotClick(this, linkURL_, handled);
  if (handled || processing_) return;
  const TViewerPosition oldPos = GetPosition();
  const std::string link = linkURL_;
  if (link.starts_with("#")) {
    JumpAndRecord(link, oldPos);
    return;
  }
  const std::size_t hash = link.find('#');
  const std::string anchor = hash == std::string::npos ? std::string() : link.substr(hash);
  const std::string name = ExpandLinkName(link.substr(0, hash));
  const std::string extension = UpperCase(ExtractFileExt(name));
  if (extension == ".HTM" || extension == ".HTML") {
    if (name != currentFile_) {
      LoadFromFile(name + anchor);
      AddVisitedLink(name + anchor);
    } else {
      JumpAndRecord(anchor, oldPos);
    }
  } else if (extension == ".BMP" || extension == ".GIF" || extension == ".JPG" || extension == ".JPEG" ||
             extension == ".PNG") {
    LoadImageFromFile(name);
  }
}

}  // namespace lark
