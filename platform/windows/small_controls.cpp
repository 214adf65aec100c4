#include "platform/windows/small_controls.h"

#include <QSignalBlocker>
#include <QSpinBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTreeWidget>
#include <algorithm>
#include <climits>

#include "platform/graphics/gdi.h"
#include "platform/windows/button.h"
#include "platform/windows/native_widget.h"
#include "platform/windows/qt_bridge.h"
#include "platform/windows/system_metrics.h"

namespace lark {
namespace {

QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

Qt::Alignment QtAlignment(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return Qt::AlignRight | Qt::AlignVCenter;
    case TAlignment::taCenter: return Qt::AlignCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

}  // namespace

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), TButtonGlyph(this) { SetBounds(0, 0, 23, 22); }

void TSpeedButton::SetDown(bool down) {
  if (GroupIndex == 0) down = false;
  if (down == down_) return;
  if (!down && !AllowAllUp && GroupIndex != 0) {
    // The last latched button of a group stays down unless all may be up.
    bool another = false;
    if (Parent())
      for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i)); b && b != this && b->GroupIndex == GroupIndex && b->down_)
          another = true;
    if (!another) return;
  }
  down_ = down;
  if (down && Parent())
    for (int i = 0; i < Parent()->ControlCount(); ++i)
      if (auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i)); b && b != this && b->GroupIndex == GroupIndex) {
        b->down_ = false;
        b->Invalidate();
      }
  Invalidate();
}

void TSpeedButton::Click() {
  if (GroupIndex != 0) {
    if (!down_) SetDown(true);
    else if (AllowAllUp) {
      down_ = false;
      Invalidate();
    }
  }
  TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == TMouseButton::mbLeft) {
    pressed_ = true;
    Invalidate();
  }
  TGraphicControl::MouseDown(button, shift, x, y);
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  if (ControlState & csLButtonDown) {
    // Pushed while the held pointer is on it, up while it is off.
    bool inside = ClientRect().Contains(Point(x, y));
    if (inside != pressed_) {
      pressed_ = inside;
      Invalidate();
    }
  }
  TGraphicControl::MouseMove(shift, x, y);
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  pressed_ = false;
  Invalidate();
  TGraphicControl::MouseUp(button, shift, x, y);
}

void TSpeedButton::WndProc(TMessage& message) {
  if (message.Msg == CM_MOUSEENTER || message.Msg == CM_MOUSELEAVE) {
    hot_ = message.Msg == CM_MOUSEENTER;
    if (Flat) Invalidate();
  }
  if (message.Msg == CM_DIALOGCHAR) {
    if (IsAccel(static_cast<unsigned>(message.WParam), Caption()) && Enabled() && Visible()) {
      Click();
      message.Result = 1;
    }
    return;
  }
  TGraphicControl::WndProc(message);
}

TButtonState TSpeedButton::State() const {
  if (!Enabled()) return TButtonState::bsDisabled;
  if (down_) return TButtonState::bsExclusive;
  return pressed_ ? TButtonState::bsDown : TButtonState::bsUp;
}

void TSpeedButton::Paint() {
  TCanvas& canvas = Canvas();
  TRect r = ClientRect();
  canvas.Brush().Color = Color();
  canvas.FillRect(r);
  const TButtonState state = State();
  const bool sunken = state == TButtonState::bsDown || state == TButtonState::bsExclusive;
  TRect edge = r;
  if (!Flat || hot_ || sunken) DrawEdge(canvas, edge, sunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  canvas.SetFont(Font());
  DrawGlyphAndCaption(canvas, ButtonFaceRect(r, sunken), Caption(), state);
}

TSpinEdit::TSpinEdit(TComponent* owner) : TNativeControl(owner) {
  TabStop = true;
  SetColor(clWindow);
  SetBounds(0, 0, 121, 22);
}

int TSpinEdit::Clamp(int value) const {
  if (min_ == 0 && max_ == 0) return value;
  return std::clamp(value, min_, std::max(min_, max_));
}

int TSpinEdit::Value() const {
  if (auto* spin = NativeWidget<QSpinBox>(const_cast<TSpinEdit*>(this))) return spin->value();
  return value_;
}

void TSpinEdit::SetValue(int value) {
  value = Clamp(value);
  if (value == Value()) return;
  value_ = value;
  PushState();
  if (OnChange) OnChange(this);
}

void TSpinEdit::SetMinValue(int value) {
  min_ = value;
  SetValue(Value());
  PushState();
}

void TSpinEdit::SetMaxValue(int value) {
  max_ = value;
  SetValue(Value());
  PushState();
}

void TSpinEdit::WndProc(TMessage& message) {
  if (message.Msg == WM_GETDLGCODE) {
    message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  TNativeControl::WndProc(message);
}

void TSpinEdit::CreateNativeWidget() {
  auto* spin = new QSpinBox;
  spin->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(spin, &QSpinBox::valueChanged, [this](int value) {
    value_ = value;
    if (OnChange) OnChange(this);
  });
  AttachNativeWidget(this, spin);
}

void TSpinEdit::PushState() {
  auto* spin = NativeWidget<QSpinBox>(this);
  if (!spin) return;
  QSignalBlocker quiet(spin);
  bool limited = min_ != 0 || max_ != 0;
  spin->setRange(limited ? min_ : INT_MIN, limited ? std::max(min_, max_) : INT_MAX);
  spin->setSingleStep(std::max(1, Increment));
  spin->setValue(value_);
}

void TSpinEdit::PullState() { value_ = Value(); }

void TSpinEdit::SelectAll() {
  if (auto* spin = NativeWidget<QSpinBox>(this)) spin->selectAll();
}

int TSpinEdit::SelLength() const {
  auto* spin = NativeWidget<QSpinBox>(const_cast<TSpinEdit*>(this));
  auto* text = spin ? spin->findChild<QLineEdit*>() : nullptr;
  return text ? static_cast<int>(text->selectedText().size()) : 0;
}

TListView::TListView(TComponent* owner) : TNativeControl(owner) {
  ControlStyle &= ~csClickEvents;
  TabStop = true;
  SetColor(clWindow);
  SetBounds(0, 0, 250, 150);
}

std::vector<TListItem>& TListView::Items() {
  PullState();
  return items_;
}

void TListView::SetSmallImages(TCustomImageList* images) {
  if (images == small_images_) return;
  small_images_link_.OnChange = [this](TObject*) { PushState(); };
  ChangeImageList(*this, small_images_, &small_images_link_, images);
  PushState();
}

void TListView::Notification(TComponent* component, TOperation operation) {
  TNativeControl::Notification(component, operation);
  // A list being freed is forgotten, never called.
  if (operation != TOperation::opRemove || component != small_images_) return;
  small_images_ = nullptr;
  PushState();
}

void TListView::SetCheckboxes(bool value) {
  checkboxes_ = value;
  PushState();
}

int TListView::ItemIndex() const {
  auto* tree = NativeWidget<QTreeWidget>(const_cast<TListView*>(this));
  if (!tree) return item_index_;
  QTreeWidgetItem* current = tree->currentItem();
  return current ? tree->indexOfTopLevelItem(current) : -1;
}

void TListView::CreateNativeWidget() {
  auto* tree = new QTreeWidget;
  tree->setRootIsDecorated(false);
  tree->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(tree, &QTreeWidget::itemChanged, [this](QTreeWidgetItem*, int) {
    PullState();
    if (OnChange) OnChange(this);
  });
  QObject::connect(tree, &QTreeWidget::currentItemChanged, [this](QTreeWidgetItem*, QTreeWidgetItem*) {
    PullState();
    Click();
  });
  AttachNativeWidget(this, tree);
}

void TListView::PushState() {
  auto* tree = NativeWidget<QTreeWidget>(this);
  if (!tree) return;
  QSignalBlocker quiet(tree);
  tree->clear();
  QStringList headers;
  for (const TListColumn& column : columns_) headers << ToQ(column.Caption);
  tree->setColumnCount(std::max(1, static_cast<int>(headers.size())));
  tree->setHeaderLabels(headers);
  tree->setHeaderHidden(headers.isEmpty());
  for (int i = 0; i < static_cast<int>(columns_.size()); ++i) {
    tree->header()->resizeSection(i, columns_[static_cast<size_t>(i)].Width);
    tree->headerItem()->setTextAlignment(i, QtAlignment(columns_[static_cast<size_t>(i)].Alignment));
  }
  for (const TListItem& item : items_) {
    QStringList texts{ToQ(item.Caption)};
    for (const std::string& sub : item.SubItems) texts << ToQ(sub);
    auto* row = new QTreeWidgetItem(tree, texts);
    for (int i = 0; i < static_cast<int>(columns_.size()); ++i)
      row->setTextAlignment(i, QtAlignment(columns_[static_cast<size_t>(i)].Alignment));
    if (checkboxes_) row->setCheckState(0, item.Checked ? Qt::Checked : Qt::Unchecked);
    row->setIcon(0, ImageListIcon(small_images_, item.ImageIndex));
  }
  if (item_index_ >= 0 && item_index_ < tree->topLevelItemCount()) tree->setCurrentItem(tree->topLevelItem(item_index_));
}

void TListView::PullState() {
  auto* tree = NativeWidget<QTreeWidget>(this);
  if (!tree) return;
  for (int i = 0; i < tree->topLevelItemCount() && i < static_cast<int>(items_.size()); ++i)
    items_[static_cast<size_t>(i)].Checked = tree->topLevelItem(i)->checkState(0) == Qt::Checked;
  item_index_ = ItemIndex();
}

void TControlScrollBar::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  box_->UpdateScrollBars();
}

int TControlScrollBar::Position() const { return vertical_ ? box_->vert_ : box_->horz_; }

void TControlScrollBar::SetPosition(int position) {
  if (vertical_) box_->SetPositions(box_->horz_, position);
  else box_->SetPositions(position, box_->vert_);
}

int TControlScrollBar::Range() const {
  TSize range = box_->ScrollRange();
  return vertical_ ? range.cy : range.cx;
}

TScrollBox::TScrollBox(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csAcceptsControls;
  SetBounds(0, 0, 185, 41);
}

// A child aligned to fill a direction follows the client area in it, so it
// never needs scrolling that way and does not count there; counting it would
// let a bar that narrows the client area make the child overflow.
TSize TScrollBox::ContentExtent() const {
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible()) continue;
    TAlign align = c->Align();
    if (align != TAlign::alTop && align != TAlign::alBottom && align != TAlign::alClient)
      right = std::max(right, c->Left() + c->Width() + horz_);
    if (align != TAlign::alLeft && align != TAlign::alRight && align != TAlign::alClient)
      bottom = std::max(bottom, c->Top() + c->Height() + vert_);
  }
  // A hidden bar's direction never scrolls: nothing reaches beyond it.
  return TSize{horz_bar_.Visible() ? right : 0, vert_bar_.Visible() ? bottom : 0};
}

TSize TScrollBox::ScrollRange() const {
  TSize content = ContentExtent();
  return TSize{horz_bar_.Visible() ? std::max(0, content.cx - ClientWidth()) : 0,
               vert_bar_.Visible() ? std::max(0, content.cy - ClientHeight()) : 0};
}

void TScrollBox::SetPositions(int horizontal, int vertical) {
  TSize range = ScrollRange();
  horizontal = std::clamp(horizontal, 0, range.cx);
  vertical = std::clamp(vertical, 0, range.cy);
  int dx = horz_ - horizontal, dy = vert_ - vertical;
  horz_ = horizontal;
  vert_ = vertical;
  if (dx || dy) ScrollBy(dx, dy);
  UpdateScrollBars();
}

TSize TScrollBox::ClientSizeFor(TSize content) const {
  TRect interior = InteriorRect();
  int barWidth = GetSystemMetrics(SM_CXVSCROLL), barHeight = GetSystemMetrics(SM_CYHSCROLL);
  // Each bar appears only when the children do not fit beside the other:
  // starting from none, two rounds settle it.
  bool vert = content.cy > interior.Height(), horz = false;
  for (int round = 0; round < 2; ++round) {
    horz = content.cx > interior.Width() - (vert ? barWidth : 0);
    vert = content.cy > interior.Height() - (horz ? barHeight : 0);
  }
  return TSize{std::max(0, interior.Width() - (vert ? barWidth : 0)),
               std::max(0, interior.Height() - (horz ? barHeight : 0))};
}

void TScrollBox::UpdateScrollBars() {
  // Setting a bar resizes the client area, which realigns and comes back here.
  if (updating_bars_) return;
  updating_bars_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{updating_bars_};
  // Children anchored to the client area may move once it settles; one more
  // round takes that in, and no more is tried.
  TSize content = ContentExtent();
  for (int round = 0; round < 2; ++round) {
    ShowBarsFor(content);
    TSize now = ContentExtent();
    if (now == content) break;
    content = now;
  }
}

void TScrollBox::ShowBarsFor(TSize content) {
  TSize client = ClientSizeFor(content);
  int horizontal = std::clamp(horz_, 0, std::max(0, content.cx - client.cx));
  int vertical = std::clamp(vert_, 0, std::max(0, content.cy - client.cy));
  if (horizontal != horz_ || vertical != vert_) {
    ScrollBy(horz_ - horizontal, vert_ - vertical);
    horz_ = horizontal;
    vert_ = vertical;
  }
  auto show = [this](int bar, int extent, int page, int pos) {
    TScrollInfo info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = std::max(extent, page) - 1;
    info.nPage = static_cast<unsigned>(page);
    info.nPos = pos;
    SetScrollInfo(this, bar, info, true);
  };
  show(SB_HORZ, content.cx, client.cx, horz_);
  show(SB_VERT, content.cy, client.cy, vert_);
}

void TScrollBox::AlignControls(TControl* control, TRect& rect) {
  TRect client = rect;
  TCustomControl::AlignControls(control, rect);
  UpdateScrollBars();
  // The bars may have changed the client area while this layout was running,
  // which holds back a new one: lay the aligned children out in it again.
  if (ClientRect() == client) return;
  rect = ClientRect();
  TCustomControl::AlignControls(control, rect);
}

void TScrollBox::BoundsChanged() {
  TCustomControl::BoundsChanged();
  UpdateScrollBars();
}

void TScrollBox::WndProc(TMessage& message) {
  if (message.Msg != WM_HSCROLL && message.Msg != WM_VSCROLL) {
    TCustomControl::WndProc(message);
    return;
  }
  bool vertical = message.Msg == WM_VSCROLL;
  TScrollBarState& state = WindowScrollBar(vertical ? SB_VERT : SB_HORZ);
  int line = 8;
  int page = std::max(1, static_cast<int>(state.Page) - line);
  int pos = state.Pos;
  switch (LoWord(static_cast<LPARAM>(message.WParam))) {
    case SB_LINEUP: pos -= line; break;
    case SB_LINEDOWN: pos += line; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = state.TrackPos; break;
    case SB_TOP: pos = state.Min; break;
    case SB_BOTTOM: pos = state.MaxPos(); break;
    default: return;
  }
  if (vertical) SetPositions(horz_, pos);
  else SetPositions(pos, vert_);
}

void TScrollBox::ScrollInView(TControl* control) {
  int h = horz_, v = vert_;
  if (control->Left() < 0) h += control->Left();
  else if (control->Left() + control->Width() > ClientWidth()) h += control->Left() + control->Width() - ClientWidth();
  if (control->Top() < 0) v += control->Top();
  else if (control->Top() + control->Height() > ClientHeight()) v += control->Top() + control->Height() - ClientHeight();
  SetPositions(h, v);
}

}  // namespace lark
