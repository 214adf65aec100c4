#pragma once

#include <vector>

#include "platform/graphics/canvas.h"

#include "platform/windows/control.h"
#include "platform/windows/scroll_info.h"

namespace lark {

// A control with a window of its own: it holds children, takes the focus and
// keys, and lays out its aligned children.
class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(const TControl* control) const;
  // The child (windowless first, topmost first) under a client point.
  TControl* ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls = false) const;

  // The window. It is made on demand: asking for the handle, showing the
  // control on a shown parent, or posting to it.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded();
  // Drops the window and makes a new one; every property survives.
  void RecreateWnd();
  static TWinControl* FindControl(HWND handle);

  // Focus and tab order.
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop = false;
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                               bool checkParent) const;
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

  // Layout of the aligned and anchored children.
  void DisableAlign() { ++align_disabled_; }
  void EnableAlign();
  // Lays out the aligned children again; `control` (when given) is the one
  // whose change asks for it.
  void Realign(TControl* control = nullptr);
  virtual void AlignControls(TControl* control, TRect& rect);
  // The part of the client area the aligned children share.
  virtual void AdjustClientRect(TRect& rect) const;

  void ScrollBy(int deltaX, int deltaY);
  // Moves what the window shows by (dx, dy) (within `rect` when given) and
  // invalidates the part uncovered; the window's children move along when
  // the whole window scrolls.
  void ScrollWindow(int dx, int dy, const TRect* rect = nullptr);
  // The window's own horizontal (SB_HORZ) or vertical (SB_VERT) scroll bar.
  TScrollBarState& WindowScrollBar(int bar) { return window_bars_[bar == SB_VERT ? 1 : 0]; }
  const TScrollBarState& WindowScrollBar(int bar) const { return window_bars_[bar == SB_VERT ? 1 : 0]; }
  // SetScrollInfo on an own bar. A bar that appears or goes takes its room
  // from the client area or gives it back, and the window hears WM_SIZE.
  int SetWindowScrollInfo(int bar, const TScrollInfo& info);
  // The window inside its frame: the client area and its own scroll bars.
  virtual TRect InteriorRect() const { return TControl::ClientRect(); }
  // The interior less the shown scroll bars (the right and bottom edges).
  TRect ClientRect() const override;
  // WM_NCHITTEST's answer at a point of the interior (client coordinates):
  // a shown own bar, nothing on the square between two, else the client.
  LRESULT InteriorHitTest(TPoint p) const;

  void Invalidate() override;
  void InvalidateRect(const TRect& r, bool erase) override;
  void Update() override;
  bool Showing() const override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetEnabled(bool enabled) override;
  TPoint ClientOrigin() const override;

  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

 protected:
  void WndProc(TMessage& message) override;
  virtual void CreateWnd();
  virtual void DestroyWnd();
  void DestroyHandle();
  // Paints the client area into the window's retained surface: erase (unless
  // WM_ERASEBKGND answers non-zero), WM_PAINT, then the windowless children.
  virtual void PaintWindow();
  // The default answer to WM_ERASEBKGND (WPARAM: the canvas): fill with Color.
  virtual void EraseBackground(TCanvas& canvas);
  virtual void KeyDown(unsigned short& key, TShiftState shift);
  virtual void KeyPress(char& key);
  virtual void KeyUp(unsigned short& key, TShiftState shift);
  virtual void DoEnter();
  virtual void DoExit();
  void VisibleChanging() override;
  void BoundsChanged() override;
  void Loaded() override;

 private:
  friend class TControl;
  friend class TWindowHost;
  friend class TCustomForm;
  friend void PaintInvalidPart(TWindowHandle* handle);
  friend void SetNewHandle(TWinControl* control, TWindowHandle* handle);
  bool RouteMouseToChild(TMessage& message);
  void OrderChanged(TControl* control);
  void ApplyAnchors(TSize oldClientSize);
  // Anchors, alignment and WM_SIZE after the client area changed size.
  void ClientResized(TSize oldClientSize);
  void SyncWindowGeometry();
  // Asks this window and those inside it (unless their own redrawing is
  // off) to show what waited while redrawing was off.
  void ShowHeldBackPaints();
  void ShowOrHideWindow();
  void DoKeyMessage(TMessage& message);

  std::vector<TControl*> controls_;  // z order, bottom first
  HWND handle_ = nullptr;
  int align_disabled_ = 0;
  // A window has nothing to scroll until its program sets a range.
  TScrollBarState window_bars_[2] = {TScrollBarState{.Max = 0}, TScrollBarState{.Max = 0}};
};

// The form (or other top-level window) that a control sits on.
class TCustomForm;
TCustomForm* GetParentForm(const TControl* control);

}  // namespace lark
