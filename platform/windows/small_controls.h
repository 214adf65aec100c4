#pragma once

#include <string>
#include <vector>

#include "platform/windows/button_glyph.h"
#include "platform/windows/custom_control.h"
#include "platform/windows/custom_image_list.h"
#include "platform/windows/native_control.h"

namespace lark {

// A windowless button with a glyph and a caption; with a GroupIndex it
// latches (Down, showing the exclusive picture) and releases the others of
// its group.
class TSpeedButton : public TGraphicControl, public TButtonGlyph {
 public:
  explicit TSpeedButton(TComponent* owner);
  bool Down() const { return down_; }
  void SetDown(bool down);
  int GroupIndex = 0;
  bool AllowAllUp = false;
  bool Flat = false;
  void Click() override;

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void WndProc(TMessage& message) override;

 private:
  TButtonState State() const;
  bool down_ = false;
  bool pressed_ = false;  // held by the left button with the pointer on it
  bool hot_ = false;
};

// An edit for a whole number between MinValue and MaxValue (0 and 0: no limits).
class TSpinEdit : public TNativeControl {
 public:
  explicit TSpinEdit(TComponent* owner);
  int Value() const;
  void SetValue(int value);
  int MinValue() const { return min_; }
  int MaxValue() const { return max_; }
  void SetMinValue(int value);
  void SetMaxValue(int value);
  // The selection in its text, as in an edit.
  void SelectAll();
  int SelLength() const;
  int Increment = 1;
  TNotifyEvent OnChange;

 protected:
  void WndProc(TMessage& message) override;
  void CreateNativeWidget() override;
  void PushState() override;
  void PullState() override;
  bool ReplaysMouse() const override { return true; }

 private:
  int Clamp(int value) const;
  int value_ = 0;
  int min_ = 0;
  int max_ = 0;
};

// A column of a list view: its header and the alignment of its texts.
class TListColumn : public TObject {
 public:
  TListColumn() = default;
  explicit TListColumn(std::string caption, int width = 50) : Caption(std::move(caption)), Width(width) {}
  std::string Caption;
  int Width = 50;
  TAlignment Alignment = TAlignment::taLeftJustify;
};

// A row of a list view: the caption in the first column, the sub-items in
// the next ones.
class TListItem : public TObject {
 public:
  TListItem() = default;
  TListItem(std::string caption, std::vector<std::string> subItems, bool checked = false, int imageIndex = -1)
      : Caption(std::move(caption)), SubItems(std::move(subItems)), Checked(checked), ImageIndex(imageIndex) {}
  std::string Caption;
  std::vector<std::string> SubItems;
  bool Checked = false;
  int ImageIndex = -1;
};

// A list of items in report style: columns, optional check boxes.
class TListView : public TNativeControl {
 public:
  explicit TListView(TComponent* owner);
  std::vector<TListColumn>& Columns() { return columns_; }
  std::vector<TListItem>& Items();
  // Call after changing Columns or Items.
  void ItemsChanged() { PushState(); }
  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool value);
  // The items' pictures, by their ImageIndex, before their captions.
  TCustomImageList* SmallImages() const { return small_images_; }
  void SetSmallImages(TCustomImageList* images);
  int ItemIndex() const;
  TNotifyEvent OnChange;

 protected:
  void CreateNativeWidget() override;
  void PushState() override;
  void PullState() override;
  bool ReplaysMouse() const override { return true; }
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TCustomImageList* small_images_ = nullptr;
  TChangeLink small_images_link_;
  std::vector<TListColumn> columns_;
  std::vector<TListItem> items_;
  bool checkboxes_ = false;
  int item_index_ = -1;
};

class TScrollBox;

// One of a scroll box's own bars (HorzScrollBar, VertScrollBar). A hidden
// bar never shows and the box does not scroll that way.
class TControlScrollBar {
 public:
  TControlScrollBar(TScrollBox* box, bool vertical) : box_(box), vertical_(vertical) {}
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  int Position() const;
  void SetPosition(int position);
  // How far the children reach beyond the visible area that way.
  int Range() const;

 private:
  TScrollBox* box_;
  bool vertical_;
  bool visible_ = true;
};

// A container whose children scroll: the scroll positions move them. Its
// own bars show while the children reach beyond the client area that the
// bars leave.
class TScrollBox : public TCustomControl {
 public:
  explicit TScrollBox(TComponent* owner);
  TControlScrollBar& HorzScrollBar() { return horz_bar_; }
  TControlScrollBar& VertScrollBar() { return vert_bar_; }
  int HorzPosition() const { return horz_; }
  int VertPosition() const { return vert_; }
  void SetPositions(int horizontal, int vertical);
  // How far the children reach beyond the visible area.
  TSize ScrollRange() const;
  void ScrollInView(TControl* control);

 protected:
  // The box's own bars scroll it: WM_HSCROLL / WM_VSCROLL.
  void WndProc(TMessage& message) override;
  void AlignControls(TControl* control, TRect& rect) override;
  void BoundsChanged() override;

 private:
  // How far the children reach right and down, unscrolled.
  TSize ContentExtent() const;
  // The client area that the bars needed for `content` leave.
  TSize ClientSizeFor(TSize content) const;
  void UpdateScrollBars();
  void ShowBarsFor(TSize content);
  friend class TControlScrollBar;
  int horz_ = 0;
  int vert_ = 0;
  bool updating_bars_ = false;
  TControlScrollBar horz_bar_{this, false};
  TControlScrollBar vert_bar_{this, true};
};

}  // namespace lark
