#pragma once

#include <string>
#include <vector>

#include "platform/windows/custom_control.h"
#include "platform/windows/custom_image_list.h"

namespace lark {

struct TStatusPanel {
  std::string Text;
  int Width = 50;
  TAlignment Alignment = TAlignment::taLeftJustify;
};

// The status line at the bottom of a window: panels of text, or one simple
// text; it also holds controls placed on it.
class TStatusBar : public TCustomControl {
 public:
  explicit TStatusBar(TComponent* owner);
  std::vector<TStatusPanel>& Panels() { return panels_; }
  void PanelsChanged() { Invalidate(); }
  bool SimplePanel = false;
  const std::string& SimpleText() const { return simple_text_; }
  void SetSimpleText(const std::string& text);
  // The rectangle of panel `index`; the last panel takes what remains.
  TRect PanelRect(int index) const;

 protected:
  void Paint() override;

 private:
  std::vector<TStatusPanel> panels_;
  std::string simple_text_;
};

enum TEdgeBorder : unsigned { ebLeft = 1, ebTop = 2, ebRight = 4, ebBottom = 8 };
using TEdgeBorders = unsigned;
enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolBar;

// A button of a tool bar. Its picture is image ImageIndex of the bar's
// Images (of HotImages while the pointer is on it, greyed while disabled);
// its caption shows below the picture while the bar shows captions. The bar
// gives it its size; separators and dividers keep their own width (8), and
// a drop-down button has an arrow part kDropdownArrowWidth wide on its
// right, which opens DropdownMenu under the button instead of clicking.
class TToolButton : public TGraphicControl {
 public:
  static constexpr int kDropdownArrowWidth = 14;
  explicit TToolButton(TComponent* owner);
  TPopupMenu* DropdownMenu() const { return dropdown_menu_; }
  void SetDropdownMenu(TPopupMenu* menu);
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int index);
  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle style);
  // Shown pushed in; a check button toggles it when clicked, and follows
  // its action's Checked.
  bool Down() const { return down_; }
  void SetDown(bool down);
  TToolBar* ToolBar() const;
  bool IsSeparator() const { return style_ == TToolButtonStyle::tbsSeparator || style_ == TToolButtonStyle::tbsDivider; }
  void Click() override;
  void ActionChange(TBasicAction* sender, bool checkDefaults) override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void SetPressed(bool pressed);
  void PaintPicture(TCanvas& canvas, TRect face, int offset);
  void PaintArrow(TCanvas& canvas, TRect part, int offset);
  bool OnArrowPart(int x) const;
  void DropDown();
  TPopupMenu* dropdown_menu_ = nullptr;
  int image_index_ = -1;
  TToolButtonStyle style_ = TToolButtonStyle::tbsButton;
  bool down_ = false;
  bool pressed_ = false;  // held by the left button with the pointer on it
  bool hot_ = false;
};

// A row of buttons and other controls, laid out left to right in their
// order, wrapping when Wrapable. Tool buttons all get ButtonSize().
class TToolBar : public TCustomControl {
 public:
  explicit TToolBar(TComponent* owner);
  int ButtonWidth() const { return button_width_; }
  void SetButtonWidth(int width);
  int ButtonHeight() const { return button_height_; }
  void SetButtonHeight(int height);
  // ButtonWidth x ButtonHeight; while captions show, grown to hold the
  // widest caption (its width + 8) and the picture above a line of text
  // (image height + text height + 7).
  TSize ButtonSize() const;
  bool Flat = true;
  bool Wrapable = true;
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* images);
  TCustomImageList* HotImages() const { return hot_images_; }
  void SetHotImages(TCustomImageList* images);
  bool ShowCaptions() const { return show_captions_; }
  void SetShowCaptions(bool show);
  // Etched lines along these edges, inside the bar.
  TEdgeBorders EdgeBorders() const { return edge_borders_; }
  void SetEdgeBorders(TEdgeBorders borders);
  void AlignControls(TControl* control, TRect& rect) override;
  void AdjustClientRect(TRect& rect) const override;
  // The buttons' size or pictures changed: place and paint them again.
  void ButtonsChanged();

 protected:
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  int button_width_ = 23;
  int button_height_ = 22;
  TCustomImageList* images_ = nullptr;
  TCustomImageList* hot_images_ = nullptr;
  TChangeLink images_link_;
  TChangeLink hot_images_link_;
  bool show_captions_ = false;
  TEdgeBorders edge_borders_ = 0;
};

class TCoolBar;

// One band of a cool bar: the bar's child control of the same index. A band
// with Break starts a new row; without it, it sits right of the band before.
// Width 0 shares out what its row leaves; the last band of a row takes
// the rest.
class TCoolBand : public TObject {
 public:
  TCoolBand() = default;
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Break() const { return break_; }
  void SetBreak(bool value);
  int Width() const { return width_; }
  void SetWidth(int width);

 private:
  friend class TCoolBar;
  void Changed();
  TCoolBar* bar_ = nullptr;
  bool visible_ = true;
  bool break_ = true;
  int width_ = 0;
};

// Bands in rows, each showing one child control (child i in band i); a
// hidden band, or one whose control is hidden, takes no room. Each row is
// as high as its highest control; with AutoSize the bar is as high as its
// rows.
class TCoolBar : public TCustomControl {
 public:
  explicit TCoolBar(TComponent* owner);
  bool AutoSize = true;
  int BandBorder = 2;
  int BandCount() const { return ControlCount(); }
  TCoolBand& Bands(int index);
  // Sets the first bands from a form resource's list, in order.
  void SetBands(const std::vector<TCoolBand>& bands);
  void AlignControls(TControl* control, TRect& rect) override;

 private:
  // The bands of the visible controls with bands shown, in order.
  std::vector<std::pair<TControl*, TCoolBand>> ShownBands();
  void PlaceRow(const std::vector<std::pair<TControl*, TCoolBand>>& row, const TRect& rect, int top, int height);
  std::vector<TCoolBand> bands_;
};

}  // namespace lark
