#include "platform/windows/bars.h"

#include <algorithm>
#include <string>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/gdi.h"
#include "platform/windows/action.h"
#include "platform/windows/menus.h"
#include "platform/core/exception.h"

namespace lark {

TStatusBar::TStatusBar(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  SetBounds(0, 0, 200, 19);
  SetAlign(TAlign::alBottom);
}

void TStatusBar::SetSimpleText(const std::string& text) {
  simple_text_ = text;
  Invalidate();
}

TRect TStatusBar::PanelRect(int index) const {
  int left = 0;
  for (int i = 0; i < index; ++i) left += panels_.at(static_cast<size_t>(i)).Width;
  bool last = index == static_cast<int>(panels_.size()) - 1;
  int right = last ? ClientWidth() : left + panels_.at(static_cast<size_t>(index)).Width;
  return Rect(left, 0, std::max(left, right), ClientHeight());
}

void TStatusBar::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Brush().Color = Color();
  canvas.FillRect(ClientRect());
  canvas.SetFont(Font());
  canvas.Brush().Style = bsClear;
  if (SimplePanel) {
    TRect r = ClientRect();
    DrawEdge(canvas, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    DrawText(canvas, simple_text_, r, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    return;
  }
  for (int i = 0; i < static_cast<int>(panels_.size()); ++i) {
    TRect r = PanelRect(i);
    DrawEdge(canvas, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    const TStatusPanel& panel = panels_[static_cast<size_t>(i)];
    unsigned align = panel.Alignment == TAlignment::taCenter ? DT_CENTER
                     : panel.Alignment == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT;
    DrawText(canvas, panel.Text, r, align | DT_VCENTER | DT_SINGLELINE);
  }
}

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 23, 22); }

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetImageIndex(int index) {
  if (index == image_index_) return;
  image_index_ = index;
  Invalidate();
}

void TToolButton::SetStyle(TToolButtonStyle style) {
  if (style == style_) return;
  style_ = style;
  if (IsSeparator()) SetWidth(8);
  if (TToolBar* bar = ToolBar()) bar->ButtonsChanged();
  Invalidate();
}

void TToolButton::SetDown(bool down) {
  if (down == down_) return;
  down_ = down;
  Invalidate();
}

void TToolButton::Click() {
  if (style_ == TToolButtonStyle::tbsCheck) SetDown(!down_);
  TGraphicControl::Click();
}

void TToolButton::ActionChange(TBasicAction* sender, bool checkDefaults) {
  TGraphicControl::ActionChange(sender, checkDefaults);
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (!checkDefaults || image_index_ == -1) SetImageIndex(action->ImageIndex());
  if (!checkDefaults || !down_) SetDown(action->Checked());
  if (TToolBar* bar = ToolBar()) bar->ButtonsChanged();
}

void TToolButton::SetPressed(bool pressed) {
  if (pressed == pressed_) return;
  pressed_ = pressed;
  Invalidate();
}

void TToolButton::SetDropdownMenu(TPopupMenu* menu) {
  if (menu == dropdown_menu_) return;
  if (dropdown_menu_) RemoveFreeNotification(dropdown_menu_);
  dropdown_menu_ = menu;
  if (menu) FreeNotification(menu);
  Invalidate();
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == dropdown_menu_) dropdown_menu_ = nullptr;
}

bool TToolButton::OnArrowPart(int x) const {
  return style_ == TToolButtonStyle::tbsDropDown && x >= Width() - kDropdownArrowWidth;
}

// The menu opens under the button's left edge; the press that opened it
// clicks nothing.
void TToolButton::DropDown() {
  ControlState &= ~(csLButtonDown | csClicked);
  SetMouseCapture(false);
  if (!dropdown_menu_) return;
  dropdown_menu_->PopupComponent = this;
  TPoint below = ClientToScreen(Point(0, Height()));
  dropdown_menu_->Popup(below.X, below.Y);
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft && OnArrowPart(x)) {
    DropDown();
    return;
  }
  if (button == TMouseButton::mbLeft && !IsSeparator()) SetPressed(true);
  TGraphicControl::MouseDown(button, shift, x, y);
}

void TToolButton::MouseMove(TShiftState shift, int x, int y) {
  if (ControlState & csLButtonDown) SetPressed(!IsSeparator() && ClientRect().Contains(Point(x, y)));
  TGraphicControl::MouseMove(shift, x, y);
}

void TToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  SetPressed(false);
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TToolButton::WndProc(TMessage& message) {
  if (message.Msg == CM_MOUSEENTER || message.Msg == CM_MOUSELEAVE) {
    hot_ = message.Msg == CM_MOUSEENTER;
    Invalidate();
  }
  TGraphicControl::WndProc(message);
}

void TToolButton::Paint() {
  TCanvas& canvas = Canvas();
  TRect face = ClientRect();
  if (style_ == TToolButtonStyle::tbsDivider) {
    TRect line = Rect(face.Width() / 2 - 1, face.Top, face.Width() / 2 + 1, face.Bottom);
    DrawEdge(canvas, line, EDGE_ETCHED, BF_LEFT);
    return;
  }
  if (IsSeparator()) return;
  TToolBar* bar = ToolBar();
  bool pushed = pressed_ || down_;
  bool flat = !bar || bar->Flat;
  bool edged = pushed || !flat || (hot_ && Enabled());
  if (style_ == TToolButtonStyle::tbsDropDown) {
    TRect arrow = Rect(face.Right - kDropdownArrowWidth, face.Top, face.Right, face.Bottom);
    face.Right = arrow.Left;
    if (edged) DrawEdge(canvas, arrow, flat ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
    PaintArrow(canvas, arrow, 0);
  }
  if (pushed) DrawEdge(canvas, face, BDR_SUNKENOUTER, BF_RECT);
  else if (edged) DrawEdge(canvas, face, flat ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
  PaintPicture(canvas, face, pushed ? 1 : 0);
}

// A small downward triangle in the middle of the part, in the font colour
// (the shadow colour while disabled).
void TToolButton::PaintArrow(TCanvas& canvas, TRect part, int offset) {
  int x = (part.Left + part.Right) / 2 + offset, y = (part.Top + part.Bottom) / 2 - 1 + offset;
  TColor colour = Enabled() ? Font().Color() : clBtnShadow;
  canvas.Pen().Color = colour;
  canvas.Brush().Color = colour;
  canvas.Brush().Style = bsSolid;
  canvas.Polygon({Point(x - 2, y), Point(x + 2, y), Point(x, y + 2)});
}

// The picture centred across the face (at the top when a caption follows),
// the caption centred below it; both one pixel right and down while pushed.
void TToolButton::PaintPicture(TCanvas& canvas, TRect face, int offset) {
  TToolBar* bar = ToolBar();
  TCustomImageList* images = bar ? bar->Images() : nullptr;
  if (bar && hot_ && Enabled() && bar->HotImages()) images = bar->HotImages();
  bool showCaption = bar && bar->ShowCaptions();
  int textTop = face.Top + 3;
  if (images && image_index_ >= 0 && image_index_ < images->Count()) {
    int x = (face.Width() - images->Width()) / 2 + offset;
    int y = (showCaption ? face.Top + 3 : (face.Height() - images->Height()) / 2) + offset;
    images->Draw(canvas, x, y, image_index_, Enabled());
    textTop = y + images->Height() + 1;
  }
  if (!showCaption) return;
  canvas.SetFont(Font());
  canvas.Brush().Style = bsClear;
  TRect text = Rect(face.Left + offset, textTop, face.Right + offset, face.Bottom);
  unsigned format = DT_CENTER | DT_SINGLELINE | (images ? DT_TOP : DT_VCENTER);
  if (!Enabled()) {
    TRect highlight = Rect(text.Left + 1, text.Top + 1, text.Right + 1, text.Bottom + 1);
    canvas.Font().SetColor(clBtnHighlight);
    DrawText(canvas, Caption(), highlight, format);
    canvas.Font().SetColor(clBtnShadow);
  }
  DrawText(canvas, Caption(), text, format);
}

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  SetBounds(0, 0, 150, 29);
  images_link_.OnChange = [this](TObject*) { ButtonsChanged(); };
  hot_images_link_.OnChange = [this](TObject*) { ButtonsChanged(); };
}

void TToolBar::SetButtonWidth(int width) {
  if (width == button_width_) return;
  button_width_ = width;
  ButtonsChanged();
}

void TToolBar::SetButtonHeight(int height) {
  if (height == button_height_) return;
  button_height_ = height;
  ButtonsChanged();
}

TSize TToolBar::ButtonSize() const {
  TSize size{button_width_, button_height_};
  if (!show_captions_) return size;
  TBitmap scratch(1, 1);
  TCanvas& canvas = scratch.Canvas();
  canvas.SetFont(Font());
  int textHeight = canvas.TextHeight("Ag");
  for (int i = 0; i < ControlCount(); ++i)
    if (auto* button = dynamic_cast<TToolButton*>(Controls(i)); button && !button->IsSeparator())
      size.cx = std::max(size.cx, canvas.TextWidth(button->Caption()) + 8);
  int pictureHeight = images_ ? images_->Height() : 0;
  size.cy = std::max(size.cy, pictureHeight + textHeight + 7);
  return size;
}

void TToolBar::SetImages(TCustomImageList* images) {
  if (images == images_) return;
  ChangeImageList(*this, images_, &images_link_, images);
  ButtonsChanged();
}

void TToolBar::SetHotImages(TCustomImageList* images) {
  if (images == hot_images_) return;
  ChangeImageList(*this, hot_images_, &hot_images_link_, images);
  ButtonsChanged();
}

void TToolBar::SetShowCaptions(bool show) {
  if (show == show_captions_) return;
  show_captions_ = show;
  ButtonsChanged();
}

void TToolBar::SetEdgeBorders(TEdgeBorders borders) {
  if (borders == edge_borders_) return;
  edge_borders_ = borders;
  Realign();
  Invalidate();
}

void TToolBar::ButtonsChanged() {
  if (HasState(csDestroying)) return;
  Realign();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Invalidate();
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  // A list being freed is forgotten, never called.
  if (component == images_) images_ = nullptr;
  else if (component == hot_images_) hot_images_ = nullptr;
  else return;
  ButtonsChanged();
}

void TToolBar::AdjustClientRect(TRect& rect) const {
  TCustomControl::AdjustClientRect(rect);
  // Each etched edge takes two pixels.
  if (edge_borders_ & ebLeft) rect.Left += 2;
  if (edge_borders_ & ebTop) rect.Top += 2;
  if (edge_borders_ & ebRight) rect.Right -= 2;
  if (edge_borders_ & ebBottom) rect.Bottom -= 2;
}

void TToolBar::Paint() {
  TCanvas& canvas = Canvas();
  unsigned sides = ((edge_borders_ & ebLeft) ? BF_LEFT : 0) | ((edge_borders_ & ebTop) ? BF_TOP : 0) |
                   ((edge_borders_ & ebRight) ? BF_RIGHT : 0) | ((edge_borders_ & ebBottom) ? BF_BOTTOM : 0);
  TRect r = ClientRect();
  if (sides) DrawEdge(canvas, r, EDGE_ETCHED, sides);
  TCustomControl::Paint();
}

// Left to right in z order (the order the controls were added), wrapping to
// a new row of the button height when Wrapable; aligned children keep the
// usual rules.
void TToolBar::AlignControls(TControl* control, TRect& rect) {
  TCustomControl::AlignControls(control, rect);
  TSize button = ButtonSize();
  int x = rect.Left, y = rect.Top;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible() || c->Align() != TAlign::alNone) continue;
    int width = c->Width(), height = c->Height();
    if (auto* tool = dynamic_cast<TToolButton*>(c)) {
      width = tool->IsSeparator() ? tool->Width() : button.cx;
      if (tool->Style() == TToolButtonStyle::tbsDropDown) width += TToolButton::kDropdownArrowWidth;
      height = button.cy;
    }
    if (Wrapable && x > rect.Left && x + width > rect.Right) {
      x = rect.Left;
      y += button.cy;
    }
    c->SetBounds(x, y, width, height);
    x += width;
  }
}

void TCoolBand::SetVisible(bool visible) {
  visible_ = visible;
  Changed();
}

void TCoolBand::SetBreak(bool value) {
  break_ = value;
  Changed();
}

void TCoolBand::SetWidth(int width) {
  width_ = std::max(0, width);
  Changed();
}

void TCoolBand::Changed() {
  if (bar_) bar_->Realign();
}

TCoolBar::TCoolBar(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  SetBounds(0, 0, 150, 75);
}

TCoolBand& TCoolBar::Bands(int index) {
  if (index < 0) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  while (static_cast<int>(bands_.size()) <= index) {
    bands_.emplace_back();
    bands_.back().bar_ = this;
  }
  return bands_[static_cast<size_t>(index)];
}

void TCoolBar::SetBands(const std::vector<TCoolBand>& bands) {
  for (size_t i = 0; i < bands.size(); ++i) {
    TCoolBand& band = Bands(static_cast<int>(i));
    band.visible_ = bands[i].visible_;
    band.break_ = bands[i].break_;
    band.width_ = bands[i].width_;
  }
  Realign();
}

std::vector<std::pair<TControl*, TCoolBand>> TCoolBar::ShownBands() {
  std::vector<std::pair<TControl*, TCoolBand>> shown;
  for (int i = 0; i < ControlCount(); ++i) {
    const TCoolBand& band = Bands(i);
    if (Controls(i)->Visible() && band.Visible()) shown.emplace_back(Controls(i), band);
  }
  return shown;
}

void TCoolBar::PlaceRow(const std::vector<std::pair<TControl*, TCoolBand>>& row, const TRect& rect, int top,
                        int height) {
  int fixed = 0, shared = 0;
  for (const auto& [control, band] : row) {
    fixed += band.Width();
    if (band.Width() == 0) ++shared;
  }
  int share = shared ? std::max(0, rect.Width() - fixed) / shared : 0;
  int x = rect.Left;
  for (size_t i = 0; i < row.size(); ++i) {
    const auto& [control, band] = row[i];
    int width = i + 1 == row.size() ? rect.Right - x : (band.Width() ? band.Width() : share);
    control->SetBounds(x + BandBorder, top + BandBorder, std::max(0, width - 2 * BandBorder),
                       std::min(control->Height(), height));
    x += width;
  }
}

void TCoolBar::AlignControls(TControl*, TRect& rect) {
  AdjustClientRect(rect);
  auto shown = ShownBands();
  int y = rect.Top;
  for (size_t first = 0; first < shown.size();) {
    size_t end = first + 1;
    while (end < shown.size() && !shown[end].second.Break()) ++end;
    std::vector<std::pair<TControl*, TCoolBand>> row(shown.begin() + first, shown.begin() + end);
    int height = 0;
    for (const auto& entry : row) height = std::max(height, entry.first->Height());
    PlaceRow(row, rect, y, height);
    y += height + 2 * BandBorder;
    first = end;
  }
  if (AutoSize && y - rect.Top != ClientHeight()) {
    int height = Height() - ClientHeight() + (y - rect.Top);
    SetBounds(Left(), Top(), Width(), height);
  }
}

}  // namespace lark
