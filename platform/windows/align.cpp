#include <algorithm>
#include <vector>

#include "platform/windows/win_control.h"

namespace lark {
namespace {

// Which of two controls with the same alignment sits nearer the edge they
// share, and is therefore placed first.
bool NearerEdge(TAlign align, const TControl* a, const TControl* b) {
  switch (align) {
    case TAlign::alTop:
      return a->Top() < b->Top();
    case TAlign::alBottom:
      return a->Top() + a->Height() > b->Top() + b->Height();
    case TAlign::alLeft:
      return a->Left() < b->Left();
    case TAlign::alRight:
      return a->Left() + a->Width() > b->Left() + b->Width();
    default:
      return false;
  }
}

void Place(TControl* c, TAlign align, TRect& rect) {
  switch (align) {
    case TAlign::alTop:
      c->SetBounds(rect.Left, rect.Top, rect.Width(), c->Height());
      rect.Top += c->Height();
      break;
    case TAlign::alBottom:
      c->SetBounds(rect.Left, rect.Bottom - c->Height(), rect.Width(), c->Height());
      rect.Bottom -= c->Height();
      break;
    case TAlign::alLeft:
      c->SetBounds(rect.Left, rect.Top, c->Width(), rect.Height());
      rect.Left += c->Width();
      break;
    case TAlign::alRight:
      c->SetBounds(rect.Right - c->Width(), rect.Top, c->Width(), rect.Height());
      rect.Right -= c->Width();
      break;
    case TAlign::alClient:
      c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
      break;
    default:
      break;
  }
  // A constraint may have kept the size from following; the rest of the
  // area never goes negative.
  if (rect.Bottom < rect.Top) rect.Bottom = rect.Top;
  if (rect.Right < rect.Left) rect.Right = rect.Left;
}

}  // namespace

// Top, bottom, left, right, then client: each group in order of nearness to
// its edge, hidden controls skipped. The control whose change started the
// layout goes first among equals, so it lands where it was put.
void TWinControl::AlignControls(TControl* control, TRect& rect) {
  AdjustClientRect(rect);
  for (TAlign align : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    std::vector<TControl*> group;
    if (control && control->Align() == align && control->Visible()) group.push_back(control);
    for (TControl* c : controls_) {
      if (c == control || c->Align() != align || !c->Visible()) continue;
      auto at = std::find_if(group.begin(), group.end(),
                             [&](const TControl* placed) { return NearerEdge(align, c, placed); });
      group.insert(at, c);
    }
    for (TControl* c : group) Place(c, align, rect);
  }
}

}  // namespace lark
