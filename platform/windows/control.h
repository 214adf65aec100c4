#pragma once

#include <functional>
#include <string>

#include "platform/graphics/color.h"
#include "platform/graphics/font.h"
#include "platform/windows/component.h"
#include "platform/windows/drag.h"
#include "platform/windows/control_types.h"
#include "platform/graphics/geometry.h"
#include "platform/windows/messages.h"

namespace lark {

class TWinControl;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;

// The wheel turned over a window: WheelDelta in 120ths of a notch, positive
// away from the user; MousePos on the screen. Handled stops it going on.
using TMouseWheelEvent =
    std::function<void(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled)>;

// Size limits a control keeps whatever its parent's layout asks; 0 means none.
class TSizeConstraints : public TObject {
 public:
  int MinWidth = 0;
  int MinHeight = 0;
  int MaxWidth = 0;
  int MaxHeight = 0;
  void Apply(int& width, int& height) const;
};

// A visible element of a window: bounds inside its parent, alignment, visibility,
// mouse input and the chainable message procedure through which every message
// reaches it.
class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  // Bounds, in the parent's client coordinates.
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect() const { return Rect(0, 0, width_, height_); }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  void SetClientSize(int width, int height);
  void SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }
  void SetClientHeight(int height) { SetClientSize(ClientWidth(), height); }
  // Where this control's client area starts on the screen.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors anchors);
  TSizeConstraints Constraints;

  bool Visible() const { return visible_; }
  // Sends CM_VISIBLECHANGING first (a handler may refuse by throwing), then
  // changes, realigns the parent and sends CM_VISIBLECHANGED.
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible itself and through every parent up to a shown form.
  virtual bool Showing() const;

  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  virtual std::string GetText() const { return text_; }
  virtual void SetText(const std::string& text);
  std::string Caption() const { return GetText(); }
  void SetCaption(const std::string& caption) { SetText(caption); }

  std::string Hint;
  bool ShowHint() const { return show_hint_; }
  // An own choice: the parent's no longer counts.
  void SetShowHint(bool show);
  bool ParentShowHint = true;
  // Shown by a right click (WM_CONTEXTMENU) when its AutoPopup is on; a
  // control without one leaves the click to its parent's.
  TPopupMenu* PopupMenu() const { return popup_menu_; }
  void SetPopupMenu(TPopupMenu* menu);

  // Background colour and font; with ParentColor / ParentFont they follow
  // the parent's whenever it changes.
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool ParentColor() const { return parent_color_; }
  void SetParentColor(bool value);
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  bool ParentFont() const { return parent_font_; }
  void SetParentFont(bool value);

  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);

  TControlStyle ControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState ControlState = 0;

  // Actions: the control follows the action's caption, enabled state, hint,
  // visibility and click while linked.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* action);
  virtual void ActionChange(TBasicAction* sender, bool checkDefaults);

  // Mouse capture: all mouse input goes to this control until released.
  bool MouseCapture() const;
  void SetMouseCapture(bool capture);

  // Painting.
  virtual void Invalidate();
  virtual void InvalidateRect(const TRect& r, bool erase);
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }

  // Z order among the parent's children.
  void BringToFront();
  void SendToBack();

  // Messages. WindowProc starts out as WndProc; a hook saves the old value and
  // calls it from its replacement.
  std::function<void(TMessage&)> WindowProc;
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

  // The screen point is over this control (for windowless controls the parent
  // asks each child in turn, topmost first).
  virtual bool HitTest(TPoint clientPoint);

  // Drag and drop within the program (drag.h).
  TDragMode DragMode = TDragMode::dmManual;
  void BeginDrag(bool immediate);
  bool Dragging() const { return drag::Active(this); }
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TNotifyEvent OnStartDrag;
  TEndDragEvent OnEndDrag;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnResize;
  // WM_MOUSEWHEEL. A wheel nobody handles goes on to the parent window, as
  // the desktop's default window procedure passes it.
  TMouseWheelEvent OnMouseWheel;

  virtual void Click();

 protected:
  virtual void WndProc(TMessage& message);
  // Whatever WndProc does not handle itself.
  virtual void DefaultHandler(TMessage& message);
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DblClick();
  // WM_CONTEXTMENU at a screen point: the pop-up menu, or the parent's turn.
  void ContextMenu(TMessage& message);
  // OnMouseWheel; true when handled.
  virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
  // Decodes WM_MOUSEWHEEL for DoMouseWheel.
  bool WheelHandled(const TMessage& wheel);
  virtual void Resize();
  virtual void VisibleChanging() {}
  virtual void BoundsChanged() {}
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

  // The parent's windowed ancestor that paints and receives input for us.
  TWinControl* parent_ = nullptr;
  // Remembered at the last explicit placement so anchors can keep distances.
  TPoint anchor_origin_;
  TSize anchor_size_;
  TSize anchor_parent_size_;
  void UpdateAnchorRules();
  // Sets the flag without any of the notifications (construction).
  void InitVisible(bool visible) { visible_ = visible; }

 private:
  bool show_hint_ = false;
  friend class TWinControl;
  void HandleMouseMessage(TMessage& message);
  void SetBoundsInternal(int left, int top, int width, int height);
  void NotifyWindowPosChanged();
  // Moves by an offset as part of the parent's scrolling (no layout).
  void SetBoundsInternalMove(int dx, int dy);
  void RequestAlign();

  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  TAlign align_ = TAlign::alNone;
  TAnchors anchors_ = akLeft | akTop;
  bool visible_ = true;
  bool enabled_ = true;
  std::string text_;
  TPopupMenu* popup_menu_ = nullptr;
  TCursor cursor_ = crDefault;
  TControlActionLink* action_link_ = nullptr;
  TColor color_ = clBtnFace;
  bool parent_color_ = false;
  TFont font_;
  bool parent_font_ = true;
  void FollowParent();
};

// The control that holds the mouse, or null.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);

// "short|long": the part before the first "|" and the part after it. A hint
// without "|" is both.
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);

}  // namespace lark
