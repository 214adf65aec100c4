#pragma once

#include <functional>
#include <memory>
#include <string>

#include "controls/toolbar_glyph.h"
#include "platform/windows/button_glyph.h"
#include "platform/windows/custom_control.h"

namespace lark {

class TCustomAction;
class TPopupMenu;
class TTimer;

enum class TButtonDisplayMode { dmBoth, dmGlyphOnly, dmTextOnly };
using TButtonDropdownEvent = std::function<void(TObject* sender, bool& showMenu, bool& removeClicks)>;

// A windowless push button for toolbars: flat or raised, with a glyph (a
// strip or an image list) and a caption, an optional drop-down menu (on the
// whole button or on a separate arrow part), toggle groups, auto-repeat and
// hot tracking (the button under the pointer shows its border; one across
// the program).
class TToolbarButton : public TGraphicControl {
 public:
  explicit TToolbarButton(TComponent* owner);
  ~TToolbarButton() override;

  [[nodiscard]] static std::string Version() { return "Toolbar button version 1.76a"; }

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value) { Set(alignment_, value); }
  bool AllowAllUp() const { return allow_all_up_; }
  void SetAllowAllUp(bool value);
  bool Cancel = false;
  bool Default = false;
  TButtonDisplayMode DisplayMode() const { return display_mode_; }
  void SetDisplayMode(TButtonDisplayMode value) { Set(display_mode_, value); }
  // True only in a group (GroupIndex not 0); a down button of a group that
  // does not AllowAllUp stays down.
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool DropdownAlways() const { return dropdown_always_; }
  void SetDropdownAlways(bool value) { Set(dropdown_always_, value); }
  bool DropdownArrow() const { return dropdown_arrow_; }
  void SetDropdownArrow(bool value) { Set(dropdown_arrow_, value); }
  // Never below 7.
  int DropdownArrowWidth() const { return dropdown_arrow_width_; }
  void SetDropdownArrowWidth(int value);
  bool DropdownCombo() const { return dropdown_combo_; }
  void SetDropdownCombo(bool value);
  TPopupMenu* DropdownMenu() const { return dropdown_menu_; }
  void SetDropdownMenu(TPopupMenu* menu);
  bool Flat() const { return flat_; }
  void SetFlat(bool value) { Set(flat_, value); }
  const TBitmap& Glyph() const { return glyph_.Glyph(); }
  void SetGlyph(const TBitmap& glyph) { glyph_.SetGlyph(glyph); }
  const TBitmap& GlyphMask() const { return glyph_.GlyphMask(); }
  void SetGlyphMask(const TBitmap& mask) { glyph_.SetGlyphMask(mask); }
  int GroupIndex() const { return group_index_; }
  void SetGroupIndex(int value);
  int HelpContext = 0;
  bool HighlightWhenDown() const { return highlight_when_down_; }
  void SetHighlightWhenDown(bool value) { Set(highlight_when_down_, value); }
  int ImageIndex() const { return glyph_.ImageIndex(); }
  void SetImageIndex(int value) { glyph_.SetImageIndex(value); }
  TCustomImageList* Images() const { return glyph_.Images(); }
  void SetImages(TCustomImageList* images);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value) { Set(layout_, value); }
  // -1 centres; values below -1 are ignored.
  int Margin() const { return margin_; }
  void SetMargin(int value);
  TModalResult ModalResult = mrNone;
  bool NoBorder() const { return no_border_; }
  void SetNoBorder(bool value) { Set(no_border_, value); }
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int value) { glyph_.SetNumGlyphs(value); }
  bool OldDisabledStyle() const { return glyph_.OldDisabledStyle(); }
  void SetOldDisabledStyle(bool value) { glyph_.SetOldDisabledStyle(value); }
  // False lets a flat button show its parent through.
  bool Opaque() const { return opaque_; }
  void SetOpaque(bool value) { Set(opaque_, value); }
  bool Repeating = false;
  int RepeatDelay = 400;
  int RepeatInterval = 100;
  bool ShowBorderWhenInactive = false;
  int Spacing() const { return spacing_; }
  void SetSpacing(int value) { Set(spacing_, value); }
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool value) { Set(word_wrap_, value); }
  TButtonDropdownEvent OnDropdown;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseExit;

  [[nodiscard]] TToolbarButtonState State() const { return state_; }
  [[nodiscard]] bool MouseInControl() const { return mouse_in_control_; }
  // The button the pointer is over (hot tracking), if any.
  [[nodiscard]] static TToolbarButton* HotButton();

  void Click() override;
  void SetEnabled(bool enabled) override;
  void ActionChange(TBasicAction* sender, bool checkDefaults) override;
  // Copies the button's state into an action: its Checked becomes Down.
  void AssignTo(TCustomAction& action) const;
  void Loaded() override;

 protected:
  void WndProc(TMessage& message) override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  // Only a button that is down takes double clicks (the second press of a
  // button that is up is a click of its own).
  void DblClick() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend struct HotTracking;
  template <typename T>
  void Set(T& field, T value) {
    if (field == value) return;
    field = value;
    Redraw(true);
  }
  void Redraw(bool erase);
  [[nodiscard]] bool UsesDropdown() const { return dropdown_always_ || dropdown_menu_ != nullptr; }
  [[nodiscard]] bool Combo() const { return dropdown_combo_ && UsesDropdown(); }
  [[nodiscard]] int ArrowPartWidth() const { return Combo() ? dropdown_arrow_width_ + 2 : 0; }
  [[nodiscard]] bool InsideMainPart(int x, int y) const;
  void MouseEntered();
  void MouseLeft();
  void UpdateExclusive();
  void ShowDropdown();
  void RemoveQueuedClicks();
  void RepeatTimerTick();
  void StopRepeat();
  void PaintFace(TCanvas& canvas);
  // The shared pattern of latched faces.
  static const TBitmap& DitherPattern();
  void DrawArrow(TCanvas& canvas, int x, int y) const;
  void DrawCaption(TCanvas& canvas, TRect bounds) const;

  toolbar::TButtonGlyph glyph_;
  TAlignment alignment_ = TAlignment::taCenter;
  bool allow_all_up_ = false;
  TButtonDisplayMode display_mode_ = TButtonDisplayMode::dmBoth;
  bool down_ = false;
  bool dropdown_always_ = false;
  bool dropdown_arrow_ = true;
  int dropdown_arrow_width_ = 9;
  bool dropdown_combo_ = false;
  TPopupMenu* dropdown_menu_ = nullptr;
  bool flat_ = true;
  int group_index_ = 0;
  bool highlight_when_down_ = true;
  TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
  int margin_ = -1;
  bool no_border_ = false;
  bool opaque_ = true;
  int spacing_ = 4;
  bool word_wrap_ = false;

  TToolbarButtonState state_ = TToolbarButtonState::bsUp;
  bool mouse_in_control_ = false;
  bool mouse_is_down_ = false;
  bool menu_is_down_ = false;
  bool arrow_hit_ = false;
  bool releasing_ = false;
  std::unique_ptr<TTimer> repeat_timer_;
  // The action's Checked as last passed on, to tell whether Down still
  // follows it.
  bool action_checked_ = false;
};

}  // namespace lark
