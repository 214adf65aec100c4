#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/string_list.h"
#include "platform/windows/native_control.h"

namespace lark {

class TCanvas;
class TListItems;

// Window styles of a combo box: one base style, plus owner drawing of its
// items (and, for a drop-down list, of its selection field).
enum : unsigned {
  CBS_SIMPLE = 0x0001,
  CBS_DROPDOWN = 0x0002,
  CBS_DROPDOWNLIST = 0x0003,
  CBS_OWNERDRAWFIXED = 0x0010,
  CBS_OWNERDRAWVARIABLE = 0x0020,
};

// Messages a combo box answers.
enum : UINT {
  CB_SETITEMHEIGHT = 0x0153,  // WParam: item index (0 for every item), LParam: height
  CB_GETITEMHEIGHT = 0x0154,
};
enum : LRESULT { CB_ERR = -1 };

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum TOwnerDrawStateFlag : unsigned { odSelected = 1, odFocused = 2, odDisabled = 4, odComboBoxEdit = 8 };
using TOwnerDrawState = unsigned;
using TDrawItemEvent =
    std::function<void(class TWinControl* control, int index, const TRect& rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(class TWinControl* control, int index, int& height)>;

// A combo box in the desktop's styles: an edit with a drop-down list
// (csDropDown), an edit with its list always shown below it (csSimple), or a
// pick-only drop-down list (csDropDownList, and the owner-drawn styles
// csOwnerDrawFixed/csOwnerDrawVariable). Owner drawing combines with every
// base style through the window style (ComboBoxWindowStyle): the items are
// painted by DrawItem (OnDrawItem) on Canvas, and so is the selection field
// of a drop-down list (with odComboBoxEdit); editable styles keep a real
// edit. Derived combo boxes build on this class as on the class library's
// TCustomComboBox.
class TComboBox : public TNativeControl {
 public:
  explicit TComboBox(TComponent* owner);
  ~TComboBox() override;
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style);
  TStrings& Items();
  // Every item at once; the window hears of it once.
  void SetItemStrings(std::vector<std::string> strings);
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index);
  // The edit's text; a drop-down list's is its selected item's (or empty).
  std::string GetText() const override { return text_; }
  void SetText(const std::string& text) override;
  int ItemHeight() const { return item_height_; }
  // Takes effect at once, without a new window (as CB_SETITEMHEIGHT).
  void SetItemHeight(int height);
  bool Sorted() const;
  void SetSorted(bool sorted);
  // Rows the drop-down shows at most; a simple combo's list fills the
  // control instead.
  int DropDownCount = 8;
  // A simple combo's list is always down.
  bool DroppedDown() const;
  // The canvas DrawItem paints on (valid while an item is drawn).
  TCanvas& Canvas();
  TNotifyEvent OnChange;
  TDrawItemEvent OnDrawItem;
  // Variable owner drawing: sets each item's row height (from ItemHeight).
  TMeasureItemEvent OnMeasureItem;
  // The height of item `index`'s row in the list: measured once while the
  // items stay as they are under variable owner drawing, else ItemHeight.
  int RowHeight(int index);

 protected:
  // The CBS_ bits the window is made with, from Style; a derived box may
  // replace them (its own base style plus owner drawing).
  virtual unsigned ComboBoxWindowStyle() const;
  // Paints item `index` (or the selection field) on Canvas: OnDrawItem, or
  // the item's text.
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
  // Sets the row height of item `index` under variable owner drawing
  // (OnMeasureItem); `height` starts as ItemHeight.
  virtual void MeasureItem(int index, int& height);
  // The user changed the text or the selection.
  virtual void Change();
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  void CreateNativeWidget() override;
  void PushState() override;
  bool ReplaysMouse() const override { return true; }

 private:
  friend class TComboDrawing;
  bool Editable() const;
  bool Simple() const;
  bool OwnerDrawn() const;
  bool MeasuresItems() const;
  // Runs the class library's drawing of one item on `canvas`: brush and
  // font for the state, DrawItem (or a plain fill without an item), focus
  // frame.
  void DrawItemOn(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state);
  // What the user did in the window.
  void Typed(const std::string& text);
  void Chose(int index);
  // Arrow keys in a simple combo's edit move through its list.
  bool MoveInList(unsigned short key);
  // The wheel scrolls a simple combo's list.
  void ScrollList(int wheelDelta);
  int IndexOfText(const std::string& text) const;
  void ShowItemHeight();

  std::unique_ptr<TListItems> items_;
  std::vector<std::string> strings_;
  std::vector<TObject*> objects_;
  std::string text_;
  // Measured row heights by index, 0 while not measured yet.
  std::vector<int> row_heights_;
  int item_index_ = -1;
  int item_height_ = 16;
  TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
  TCanvas* item_canvas_ = nullptr;
};

}  // namespace lark
