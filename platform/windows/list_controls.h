#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/string_list.h"
#include "platform/windows/native_control.h"

namespace lark {

class TListItems;

// A list of strings to pick from, one or several (MultiSelect).
class TListBox : public TNativeControl {
 public:
  explicit TListBox(TComponent* owner);
  ~TListBox() override;
  TStrings& Items();
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool MultiSelect() const { return multi_select_; }
  void SetMultiSelect(bool value);
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);
  int SelCount() const;
  // The first item shown.
  int TopIndex() const;
  void SetTopIndex(int index);
  TNotifyEvent OnChange;

 protected:
  void WndProc(TMessage& message) override;
  void CreateNativeWidget() override;
  void PushState() override;
  void PullState() override;
  bool ReplaysMouse() const override { return true; }

 private:
  friend class TListItems;
  std::unique_ptr<TListItems> items_;
  std::vector<std::string> strings_;
  std::vector<TObject*> objects_;
  std::vector<bool> selected_;
  int item_index_ = -1;
  int top_index_ = 0;
  bool multi_select_ = false;
};

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
enum TOwnerDrawStateFlag : unsigned { odSelected = 1, odFocused = 2, odDisabled = 4, odComboBoxEdit = 8 };
using TOwnerDrawState = unsigned;
class TCanvas;
using TDrawItemEvent =
    std::function<void(class TWinControl* control, int index, const TRect& rect, TOwnerDrawState state)>;

// A combo box in the desktop's styles: an edit with a drop-down list
// (csDropDown), an edit with the list always shown (csSimple), or a pick-only
// list (csDropDownList and the owner-drawn styles, whose items OnDrawItem
// paints on Canvas).
class TComboBox : public TNativeControl {
 public:
  explicit TComboBox(TComponent* owner);
  ~TComboBox() override;
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style);
  TStrings& Items();
  int ItemIndex() const;
  void SetItemIndex(int index);
  std::string GetText() const override;
  void SetText(const std::string& text) override;
  int ItemHeight = 16;
  int DropDownCount = 8;
  bool DroppedDown() const;
  // The canvas OnDrawItem paints an item on (valid inside the event).
  TCanvas& Canvas();
  TNotifyEvent OnChange;
  TDrawItemEvent OnDrawItem;

 protected:
  void WndProc(TMessage& message) override;
  void CreateNativeWidget() override;
  void PushState() override;
  void PullState() override;
  bool ReplaysMouse() const override { return true; }

 private:
  friend class TListItems;
  friend class TComboItemPainter;
  std::unique_ptr<TListItems> items_;
  std::vector<std::string> strings_;
  std::vector<TObject*> objects_;
  std::string text_;
  int item_index_ = -1;
  TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
  TCanvas* item_canvas_ = nullptr;
};

}  // namespace lark
