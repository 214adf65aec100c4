#include "controls/color_combos.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "controls/font_type_bitmaps.h"
#include "controls/gui_utils.h"
#include "platform/core/string_routines.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/font.h"
#include "platform/graphics/gdi.h"

namespace lark {
namespace {

struct NamedColor {
  TColor color;
  std::string_view name;
};

constexpr std::array<NamedColor, 16> kColors = {{
    {RGB(0, 0, 0), "Black"},       {RGB(128, 0, 0), "Maroon"},   {RGB(0, 128, 0), "Green"},
    {RGB(128, 128, 0), "Olive"},   {RGB(0, 0, 128), "Navy"},     {RGB(128, 0, 128), "Purple"},
    {RGB(0, 128, 128), "Teal"},    {RGB(128, 128, 128), "Gray"}, {RGB(192, 192, 192), "Silver"},
    {RGB(255, 0, 0), "Red"},       {RGB(0, 255, 0), "Lime"},     {RGB(255, 255, 0), "Yellow"},
    {RGB(0, 0, 255), "Blue"},      {RGB(255, 0, 255), "Fuchsia"}, {RGB(0, 255, 255), "Aqua"},
    {RGB(255, 255, 255), "White"},
}};

// The colour's standard name without "cl", or its value as "$00BBGGRR".
std::string StandardName(TColor color) {
  for (const NamedColor& named : kColors) {
    if (named.color == color) return std::string(named.name);
  }
  static const char digits[] = "0123456789ABCDEF";
  std::string text = "$";
  for (int shift = 28; shift >= 0; shift -= 4) text += digits[(static_cast<std::uint32_t>(color) >> shift) & 0xF];
  return text;
}

void DrawItemText(TCanvas& canvas, const TRect& rect, int left, const std::string& text) {
  TRect bounds = Rect(left, rect.Top, rect.Right, rect.Bottom);
  canvas.Brush().Style = bsClear;
  DrawText(canvas, text, bounds, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

}  // namespace

// --- TOwnerDrawComboBox ---------------------------------------------------------

TOwnerDrawComboBox::TOwnerDrawComboBox(TComponent* owner) : TComboBox(owner) {
  TComboBox::SetStyle(TComboBoxStyle::csDropDownList);
}

void TOwnerDrawComboBox::SetStyle(TOwnerDrawComboStyle style) {
  style_ = style;
  TComboBox::SetStyle(style == TOwnerDrawComboStyle::csDropDown ? TComboBoxStyle::csDropDown
                      : style == TOwnerDrawComboStyle::csSimple ? TComboBoxStyle::csSimple
                                                                 : TComboBoxStyle::csDropDownList);
}

unsigned TOwnerDrawComboBox::ComboBoxWindowStyle() const {
  return CBS_OWNERDRAWFIXED | (style_ == TOwnerDrawComboStyle::csDropDown ? CBS_DROPDOWN
                               : style_ == TOwnerDrawComboStyle::csSimple ? CBS_SIMPLE
                                                                          : CBS_DROPDOWNLIST);
}

int TOwnerDrawComboBox::GetItemHeight() const { return std::max(9, lark::GetItemHeight(Font())); }

void TOwnerDrawComboBox::ResetItemHeight() { SetItemHeight(GetItemHeight()); }

void TOwnerDrawComboBox::CreateNativeWidget() {
  TComboBox::CreateNativeWidget();
  ResetItemHeight();
  PopulateList();
}

void TOwnerDrawComboBox::WndProc(TMessage& message) {
  TComboBox::WndProc(message);
  if (message.Msg == CM_FONTCHANGED) ResetItemHeight();
}

// --- TColorComboBox -------------------------------------------------------------

TColorComboBox::TColorComboBox(TComponent* owner) : TOwnerDrawComboBox(owner) {}

TColor TColorComboBox::ItemColor(int index) const {
  return index >= 0 && index < static_cast<int>(kColors.size()) ? kColors[static_cast<std::size_t>(index)].color
                                                                 : color_;
}

void TColorComboBox::PopulateList() {
  Items().Clear();
  for (std::size_t i = 0; i < kColors.size(); ++i) {
    const int at = static_cast<int>(i);
    const bool renamed = at < color_names_.Count() && !color_names_.Get(at).empty();
    Items().Add(renamed ? color_names_.Get(at) : std::string(kColors[i].name));
  }
  const TColor keep = color_;
  color_ = ~keep;  // so that the value is applied again
  SetColorValue(keep);
}

TColor TColorComboBox::ColorValue() const {
  if (Style() == TOwnerDrawComboStyle::csDropDownList) return color_;
  // Typing an item's name selects it (the layer matches typed text).
  if (ItemIndex() >= 0) return ItemColor(ItemIndex());
  const std::string typed = GetText();
  for (int i = 0; i < const_cast<TColorComboBox*>(this)->Items().Count(); ++i) {
    if (SameText(const_cast<TColorComboBox*>(this)->Items().Get(i), typed)) return ItemColor(i);
  }
  return StrToIntDef(typed, color_);
}

void TColorComboBox::SetColorValue(TColor color) {
  if (ItemIndex() >= 0 && color == color_) return;
  color_ = color;
  int found = -1;
  for (int i = 0; i < Items().Count() && found < 0; ++i) {
    if (ItemColor(i) == color) found = i;
  }
  if (found >= 0) {
    SetItemIndex(found);
  } else if (Style() != TOwnerDrawComboStyle::csDropDownList) {
    SetText(StandardName(color));
  } else {
    SetItemIndex(-1);
  }
  Change();
}

void TColorComboBox::ColorNamesChanged() {
  if (HandleAllocated()) RecreateWnd();
}

void TColorComboBox::SetDisplayNames(bool value) {
  display_names_ = value;
  Invalidate();
}

// The layer runs Change right after Click: the new colour is only stored
// here, so that OnChange fires once.
void TColorComboBox::Click() {
  if (ItemIndex() >= 0) color_ = ItemColor(ItemIndex());
  TOwnerDrawComboBox::Click();
}

void TColorComboBox::Change() {
  if (!HasState(csLoading)) TOwnerDrawComboBox::Change();
}

void TColorComboBox::DoExit() {
  TOwnerDrawComboBox::DoExit();
  const TColor typed = ColorValue();
  if (typed == color_) return;
  color_ = typed;
  Change();
}

void TColorComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState) {
  TCanvas& canvas = Canvas();
  canvas.FillRect(rect);
  const TRect swatch = display_names_ ? Rect(rect.Left + 2, rect.Top + 2, rect.Left + 24, rect.Bottom - 2)
                                      : Rect(rect.Left + 2, rect.Top + 2, rect.Right - 3, rect.Bottom - 2);
  const TColor text_color = canvas.Font().Color();
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = clWindowText;
  canvas.FillRect(swatch);
  canvas.Brush().Color = ItemColor(index);
  canvas.FillRect(Rect(swatch.Left + 1, swatch.Top + 1, swatch.Right - 1, swatch.Bottom - 1));
  if (!display_names_) return;
  canvas.Font().SetColor(text_color);
  DrawItemText(canvas, rect, rect.Left + 28, Items().Get(index));
}

// --- TFontComboBox -------------------------------------------------------------

TFontComboBox::TFontComboBox(TComponent* owner) : TOwnerDrawComboBox(owner) {
  RegisterFontTypeBitmaps();
  true_type_bitmap_ = CreateBitmap("TRUETYPE_FNT");
  device_bitmap_ = CreateBitmap("DEVICE_FNT");
  for (TBitmap* bitmap : {true_type_bitmap_.get(), device_bitmap_.get()}) bitmap->SetTransparent(true);
  SetSorted(true);
  ResetItemHeight();
}

int TFontComboBox::GetItemHeight() const {
  return std::max(TOwnerDrawComboBox::GetItemHeight(), true_type_bitmap_->Height() - 1);
}

int TFontComboBox::FontTypeOf(const std::string& name) const {
  auto it = font_types_.find(name);
  return it == font_types_.end() ? 0 : it->second;
}

void TFontComboBox::PopulateList() {
  if (!HandleAllocated()) return;
  const std::string keep = GetText();
  Items().Clear();
  font_types_.clear();
  // A printer lists the screen's fonts here, so every device gives one list.
  // Fontconfig's generic names follow the installed families: each resolves
  // to an installed outline font.
  std::vector<TFontFamilyInfo> families = EnumFontFamilies();
  families.push_back({"Serif", false, true, false});
  families.push_back({"Sans Serif", false, true, false});
  families.push_back({"Monospace", true, true, false});
  for (const TFontFamilyInfo& family : families) {
    if (font_types_.count(family.Name) != 0) continue;
    bool valid = true;
    if (options_ & foAnsiOnly) valid = valid && !family.Symbol;
    if (options_ & foTrueTypeOnly) valid = valid && family.Scalable;
    if (options_ & foFixedPitchOnly) valid = valid && family.FixedPitch;
    if (options_ & foOEMFontsOnly) valid = false;  // no font has the OEM charset
    if (options_ & foNoSymbolFonts) valid = valid && !family.Symbol;
    if (options_ & foScalableOnly) valid = valid && family.Scalable;
    if (!valid) continue;
    font_types_[family.Name] = (family.Scalable ? TRUETYPE_FONTTYPE : RASTER_FONTTYPE) | (family.Symbol ? 0 : 0x100);
    Items().Add(family.Name);
  }
  if (keep.empty()) return;
  const int index = Items().IndexOf(keep);
  if (index >= 0) {
    SetItemIndex(index);
  } else if (Style() != TOwnerDrawComboStyle::csDropDownList) {
    SetText(keep);
  }
}

void TFontComboBox::Reset() {
  const std::string name = FontName();
  updating_ = true;
  PopulateList();
  updating_ = false;
  if (!SameText(FontName(), name)) Change();
}

void TFontComboBox::SetDevice(TFontDevice device) {
  if (device == device_) return;
  device_ = device;
  Reset();
}

void TFontComboBox::SetOptions(TFontListOptions options) {
  if (options == options_) return;
  options_ = options;
  Reset();
}

void TFontComboBox::SetTrueTypeOnly(bool value) {
  SetOptions(value ? options_ | foTrueTypeOnly : options_ & ~foTrueTypeOnly);
}

void TFontComboBox::SetFontName(const std::string& name) {
  if (name == GetText()) return;
  if (HasState(csLoading)) {
    SetText(name);
    return;
  }
  HandleNeeded();
  for (int i = 0; i < Items().Count(); ++i) {
    if (SameText(Items().Get(i), name)) {
      SetItemIndex(i);
      Change();
      return;
    }
  }
  if (Style() != TOwnerDrawComboStyle::csDropDownList) {
    SetText(name);
  } else {
    SetItemIndex(-1);
  }
  Change();
}

void TFontComboBox::Change() {
  if (!HasState(csLoading) && !updating_) TOwnerDrawComboBox::Change();
}

void TFontComboBox::DoExit() {
  TOwnerDrawComboBox::DoExit();
  if (Style() == TOwnerDrawComboStyle::csDropDownList) return;
  const int index = Items().IndexOf(GetText());
  if (index >= 0 && index != ItemIndex()) {
    SetItemIndex(index);
    Change();
  }
}

void TFontComboBox::WndProc(TMessage& message) {
  TOwnerDrawComboBox::WndProc(message);
  if (message.Msg == WM_FONTCHANGE) Reset();
}

void TFontComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState) {
  TCanvas& canvas = Canvas();
  canvas.FillRect(rect);
  const std::string name = Items().Get(index);
  const int type = FontTypeOf(name);
  const TBitmap* mark = (type & TRUETYPE_FONTTYPE) ? true_type_bitmap_.get()
                        : (type & DEVICE_FONTTYPE) ? device_bitmap_.get()
                                                   : nullptr;
  if (mark) canvas.Draw(rect.Left + 2, rect.Top + (rect.Bottom - rect.Top - mark->Height()) / 2, *mark);
  if (UseFonts && (type & 0x100)) {
    TFont font = canvas.Font();
    font.SetName(name);
    canvas.SetFont(font);
  }
  DrawItemText(canvas, rect, rect.Left + (mark ? mark->Width() : 20) + 6, name);
}

}  // namespace lark
