// List boxes and drop-down lists with their options.
#include "html/form_controls_select.h"

#include <algorithm>

#include "html/attribute_list.h"
#include "html/document_utils.h"
#include "html/section_list.h"
#include "platform/core/string_routines.h"
#include "platform/windows/list_controls.h"
#include "platform/windows/system_metrics.h"

namespace lark {

namespace {

constexpr int kMaxAutomaticRows = 8;
constexpr int kMinLongest = 3;

std::string Pair(const std::string& name, const std::string& value) { return name + "=" + value; }

}  // namespace

void TSelectFormControlObj::AddStr(const std::string& text, const std::string& value, bool selected) {
  texts_.push_back(ToWidget(text));
  options_.push_back({value, selected});
}

int TSelectFormControlObj::FindOption(const std::string& value) {
  // Options arrive one by one while the page is read; the index takes in
  // the new ones when it is asked, keeping each value's first option.
  for (; indexed_ < options_.size(); ++indexed_)
    byValue_.emplace(LowerCase(options_[indexed_].Value), static_cast<int>(indexed_));
  const auto at = byValue_.find(LowerCase(value));
  return at == byValue_.end() ? -1 : at->second;
}

int TSelectFormControlObj::Longest(TCanvas& canvas) {
  if (measured_ < texts_.size()) {
    TControlFont font(canvas, *GetControl());
    for (; measured_ < texts_.size(); ++measured_) longest_ = std::max(longest_, canvas.TextWidth(texts_[measured_]));
  }
  return std::max(longest_, kMinLongest);
}

int TSelectFormControlObj::LastSelectedOption() const {
  for (int i = OptionCount() - 1; i >= 0; --i)
    if (options_[static_cast<std::size_t>(i)].Selected) return i;
  return -1;
}

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList& masterList, const TAttributeList& attributes, int codePage)
    : TSelectFormControlObj(masterList, attributes, codePage) {
  auto list = std::make_unique<TListBox>(nullptr);
  if (attributes.Find(MultipleSy)) {
    list->SetMultiSelect(true);
    list->SetExtendedSelect(true);
  }
  if (const TAttribute* size = attributes.Find(SizeSy)) LBSize = std::clamp(size->Value, 1, kMaxControlChars);
  list->OnClick = [this](TObject*) { ObjectClick(); };
  SetControl(std::move(list));
}

TListBox& TListBoxFormControlObj::ListBox() const { return static_cast<TListBox&>(*GetControl()); }

int TListBoxFormControlObj::Rows() const {
  return LBSize > 0 ? LBSize : std::clamp(OptionCount(), 1, kMaxAutomaticRows);
}

void TListBoxFormControlObj::SetHeightWidth(TCanvas& canvas) {
  const int longest = Longest(canvas);
  TControlFont font(canvas, ListBox());
  const int height = StyleSize(StyleHeight) ? StyleHeight : ClampSide(std::int64_t{canvas.TextHeight("A")} * Rows());
  const int width = StyleSize(StyleWidth) ? StyleWidth
                                          : ClampSide(std::int64_t{GetSystemMetrics(SM_CXVSCROLL)} + longest + 10);
  ListBox().SetClientWidth(width);
  ListBox().SetClientHeight(height);
}

void TListBoxFormControlObj::ResetToValue() {
  TListBox& list = ListBox();
  list.SetItemStrings(Texts());
  std::vector<bool> selected(Options().size());
  int itemIndex = 0;
  if (list.MultiSelect()) {
    for (std::size_t i = 0; i < selected.size(); ++i) selected[i] = Options()[i].Selected;
  } else {
    itemIndex = std::max(0, LastSelectedOption());
    if (!selected.empty()) selected[static_cast<std::size_t>(itemIndex)] = true;
  }
  list.SetSelection(std::move(selected), itemIndex);
  list.SetTopIndex(0);
}

bool TListBoxFormControlObj::GetSubmission(int index, std::string& pair) {
  TListBox& list = ListBox();
  if (index >= list.Items().Count()) return false;
  pair.clear();
  if (index == 0 && list.MultiSelect()) submitted_ = list.Selection();
  const bool chosen = list.MultiSelect() ? index < static_cast<int>(submitted_.size()) && submitted_[static_cast<std::size_t>(index)]
                                         : index == list.ItemIndex();
  if (chosen && index < OptionCount()) pair = Pair(FName, Options()[static_cast<std::size_t>(index)].Value);
  return true;
}

void TListBoxFormControlObj::SetDataInit() { restoring_ = false; }

void TListBoxFormControlObj::SetData(int index, const std::string& value) {
  (void)index;  // every saved value of the name selects its option
  if (!restoring_) {
    restored_.assign(Options().size(), false);
    restoredIndex_ = 0;
    restoring_ = true;
  }
  const int option = FindOption(value);
  if (option < 0) return;
  if (!ListBox().MultiSelect()) std::fill(restored_.begin(), restored_.end(), false);
  restored_[static_cast<std::size_t>(option)] = true;
  restoredIndex_ = option;
}

void TListBoxFormControlObj::SetDataDone() {
  if (!restoring_) return;
  restoring_ = false;
  ListBox().SetSelection(std::move(restored_), restoredIndex_);
  ListBox().SetTopIndex(0);
}

void TListBoxFormControlObj::Draw(TCanvas& canvas, int x1, int y1) {
  const TRect box = Rect(x1, y1, x1 + Width(), y1 + Height());
  DrawControlFrame(canvas, box.Left, box.Top, box.Right, box.Bottom, false, true);
  TListBox& list = ListBox();
  TControlFont font(canvas, list);
  const int lineHeight = canvas.TextHeight("A");
  const int last = std::min(list.Items().Count(), list.TopIndex() + Rows());
  for (int i = list.TopIndex(), y = y1 + 4; i < last && y < box.Bottom; ++i, y += lineHeight)
    canvas.TextRect(Rect(x1 + 4, y, box.Right - 4, std::min(y + lineHeight, box.Bottom - 4)), x1 + 4, y,
                    list.Items().Get(i));
}

TComboFormControlObj::TComboFormControlObj(TSectionList& masterList, const TAttributeList& attributes, int codePage)
    : TSelectFormControlObj(masterList, attributes, codePage) {
  auto combo = std::make_unique<TComboBox>(nullptr);
  combo->SetStyle(TComboBoxStyle::csDropDownList);
  combo->OnClick = [this](TObject*) { ObjectClick(); };
  SetControl(std::move(combo));
}

TComboBox& TComboFormControlObj::Combo() const { return static_cast<TComboBox&>(*GetControl()); }

void TComboFormControlObj::SetHeightWidth(TCanvas& canvas) {
  const int longest = Longest(canvas);
  if (StyleSize(StyleHeight)) Combo().SetBounds(Combo().Left(), Combo().Top(), Combo().Width(), StyleHeight);
  Combo().SetClientWidth(StyleSize(StyleWidth) ? StyleWidth
                                               : ClampSide(std::int64_t{GetSystemMetrics(SM_CXVSCROLL)} + longest + 10));
}

void TComboFormControlObj::ResetToValue() {
  Combo().SetItemStrings(Texts());
  Combo().SetItemIndex(OptionCount() > 0 ? std::max(0, LastSelectedOption()) : -1);
}

bool TComboFormControlObj::GetSubmission(int index, std::string& pair) {
  if (index != 0) return false;
  const int selected = Combo().ItemIndex();
  pair = selected >= 0 && selected < OptionCount() ? Pair(FName, Options()[static_cast<std::size_t>(selected)].Value)
                                                   : std::string();
  return true;
}

void TComboFormControlObj::SetData(int, const std::string& value) {
  if (const int option = FindOption(value); option >= 0) Combo().SetItemIndex(option);
}

void TComboFormControlObj::Draw(TCanvas& canvas, int x1, int y1) {
  const TRect box = Rect(x1, y1, x1 + Width(), y1 + Height());
  DrawControlFrame(canvas, box.Left, box.Top, box.Right, box.Bottom, false, true);
  TControlFont font(canvas, Combo());
  canvas.TextRect(Rect(x1 + 4, y1 + 4, box.Right - 4, box.Bottom - 4), x1 + 4, y1 + 4, Combo().GetText());
}

}  // namespace lark
