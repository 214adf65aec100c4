// Painting the viewer: the border, the background tiles and the document.
#include "html/form_control.h"
#include "html/section_list.h"
#include "platform/windows/panel.h"
#include "platform/windows/scroll_bar.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"
#include "viewer/scroll_bar_32.h"

namespace lark {

void THTMLViewer::RefreshBorder() {
  const bool show = borderStyle_ == THTMLBorderStyle::htSingle || HasState(csDesigning) ||
                    (borderStyle_ == THTMLBorderStyle::htFocused && Focused());
  const TBorderStyle wanted = show ? TBorderStyle::bsSingle : TBorderStyle::bsNone;
  if (borderPanel_->BorderStyle() != wanted) borderPanel_->SetBorderStyle(wanted);
}

void THTMLViewer::PaintSurface(TCanvas& canvas) {
  RefreshBorder();
  canvas.SetFont(paintPanel_->Font());
  canvas.Brush().Color = Color();
  canvas.Brush().Style = bsSolid;
  // The layer's retained surface is the off-screen picture: whatever is
  // drawn here shows at once and whole, so nothing flickers and no bitmap
  // is made per paint.
  const TRect clip = canvas.ClipRect();
  const TBitmap* picture = sectionList_->ShowImages ? sectionList_->GetBackgroundBitmap() : nullptr;
  try {
    background_.Draw(canvas, clip, picture, sectionList_->BackgroundMask(), Color(), hScrollBar_->Position(),
                     vScrollBar_->Position32());
  } catch (const std::exception&) {
    background_.Draw(canvas, clip, nullptr, nullptr, Color(), 0, 0);
  }
  HTMLPaint(canvas, clip);
}

void THTMLViewer::HTMLPaint(TCanvas& canvas, const TRect& rect) {
  if (inLayout_) return;
  sectionList_->Draw(canvas, rect, paintPanel_->Width(), -hScrollBar_->Position(), 0, 0, 0);
}

void THTMLViewer::Repaint() {
  if (!sectionList_) return;
  // Each control comes back where the next paint draws it.
  for (TFormControlObj* control : sectionList_->FormControlList) control->HideWindow(control->HasFocus());
  borderPanel_->SetBorderStyle(TBorderStyle::bsNone);
  TWinControl::Repaint();
}

void THTMLViewer::Invalidate() {
  if (!paintPanel_ || !hScrollBar_) {  // still being made
    TWinControl::Invalidate();
    return;
  }
  paintPanel_->Invalidate();
  vScrollBar_->Invalidate();
  hScrollBar_->Invalidate();
  TWinControl::Invalidate();
}

}  // namespace lark
