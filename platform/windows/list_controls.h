#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/core/string_list.h"
#include "platform/windows/combo_box.h"  // users of the lists get the combo box too
#include "platform/windows/native_control.h"

namespace lark {

class TListItems;

// A list of strings to pick from, one or several (MultiSelect).
class TListBox : public TNativeControl {
 public:
  explicit TListBox(TComponent* owner);
  ~TListBox() override;
  TStrings& Items();
  // Every item at once; the window hears of it once.
  void SetItemStrings(std::vector<std::string> strings);
  // The whole selection at once (one flag per item) and the item index.
  void SetSelection(std::vector<bool> selected, int itemIndex);
  // Every item's selection in one pass (Selected(i) for each item costs the
  // selection's size each).
  [[nodiscard]] std::vector<bool> Selection() const;
  int ItemIndex() const;
  void SetItemIndex(int index);
  bool MultiSelect() const { return multi_select_; }
  void SetMultiSelect(bool value);
  // With MultiSelect: Shift and Ctrl extend the selection (the default);
  // without, each click toggles the item under it.
  bool ExtendedSelect() const { return extended_select_; }
  void SetExtendedSelect(bool value);
  // The area inside the sunken frame (two pixels) and beside the list's own
  // vertical bar, which shows while the rows (16 pixels each) do not fit
  // and comes and goes with the items and the height.
  TRect ClientRect() const override;
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
  void BoundsChanged() override;

 private:
  // Shows the vertical bar when the rows do not fit, hides it otherwise.
  void DecideScrollBar();
  std::unique_ptr<TListItems> items_;
  std::vector<std::string> strings_;
  std::vector<TObject*> objects_;
  std::vector<bool> selected_;
  int item_index_ = -1;
  int top_index_ = 0;
  bool multi_select_ = false;
  bool extended_select_ = true;
  bool vertical_bar_ = false;
};

}  // namespace lark
