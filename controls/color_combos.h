#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/string_list.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/color.h"
#include "platform/windows/combo_box.h"

namespace lark {

enum class TOwnerDrawComboStyle { csDropDown, csSimple, csDropDownList };

// A combo box whose items are all drawn by the derived class, one row
// height for all, in the three base styles; the rows follow the font's
// height.
class TOwnerDrawComboBox : public TComboBox {
 public:
  explicit TOwnerDrawComboBox(TComponent* owner);

  [[nodiscard]] TOwnerDrawComboStyle Style() const { return style_; }
  void SetStyle(TOwnerDrawComboStyle style);

 protected:
  // The font's text height plus one, at least 9.
  [[nodiscard]] virtual int GetItemHeight() const;
  // Fills the items; runs when the window is made.
  virtual void PopulateList() = 0;
  unsigned ComboBoxWindowStyle() const override;
  void CreateNativeWidget() override;
  void WndProc(TMessage& message) override;
  void ResetItemHeight();

 private:
  TOwnerDrawComboStyle style_ = TOwnerDrawComboStyle::csDropDownList;
};

// The 16 classic colours with a swatch and a name; ColorValue is the chosen
// (or typed) colour.
class TColorComboBox : public TOwnerDrawComboBox {
 public:
  explicit TColorComboBox(TComponent* owner);

  // A colour that no item has selects nothing (a drop-down list) or shows its
  // name (an editable box), and still reads back. An editable box reads what
  // was typed: an item's name, else a number.
  [[nodiscard]] TColor ColorValue() const;
  void SetColorValue(TColor color);
  // Names in place of the standard ones, by position; an empty one keeps
  // the standard name.
  [[nodiscard]] TStrings& ColorNames() { return color_names_; }
  void ColorNamesChanged();
  [[nodiscard]] bool DisplayNames() const { return display_names_; }
  void SetDisplayNames(bool value);
  // The colour of item `index`.
  [[nodiscard]] TColor ItemColor(int index) const;

 protected:
  void PopulateList() override;
  void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
  void Click() override;
  void Change() override;
  void DoExit() override;

 private:
  TColor color_ = clBlack;
  TStringList color_names_;
  bool display_names_ = true;
};

enum class TFontDevice { fdScreen, fdPrinter, fdBoth };
enum TFontListOption : unsigned {
  foAnsiOnly = 1u << 0,
  foTrueTypeOnly = 1u << 1,
  foFixedPitchOnly = 1u << 2,
  foNoOEMFonts = 1u << 3,
  foOEMFontsOnly = 1u << 4,
  foScalableOnly = 1u << 5,
  foNoSymbolFonts = 1u << 6,
};
using TFontListOptions = unsigned;
enum : int { RASTER_FONTTYPE = 1, DEVICE_FONTTYPE = 2, TRUETYPE_FONTTYPE = 4 };

// The installed font families and fontconfig's generic names (Serif, Sans
// Serif, Monospace), each marked as an outline (TrueType) font or not;
// FontName is the chosen face. Outline fonts count as TrueType, bitmap
// fonts as raster, and there are no device fonts (a printer lists the
// screen's). Symbol fonts have the symbol charset, the others ANSI; none is
// OEM.
class TFontComboBox : public TOwnerDrawComboBox {
 public:
  explicit TFontComboBox(TComponent* owner);

  [[nodiscard]] TFontDevice Device() const { return device_; }
  void SetDevice(TFontDevice device);
  [[nodiscard]] std::string FontName() const { return GetText(); }
  void SetFontName(const std::string& name);
  [[nodiscard]] TFontListOptions Options() const { return options_; }
  void SetOptions(TFontListOptions options);
  [[nodiscard]] bool TrueTypeOnly() const { return (options_ & foTrueTypeOnly) != 0; }
  void SetTrueTypeOnly(bool value);
  bool UseFonts = false;
  // The font type flags of a listed family (font type plus $100 when it is
  // not a symbol font); 0 when not listed.
  [[nodiscard]] int FontTypeOf(const std::string& name) const;

 protected:
  [[nodiscard]] int GetItemHeight() const override;
  void PopulateList() override;
  void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
  void Change() override;
  void DoExit() override;
  void WndProc(TMessage& message) override;

 private:
  void Reset();

  TFontDevice device_ = TFontDevice::fdScreen;
  TFontListOptions options_ = 0;
  std::unique_ptr<TBitmap> true_type_bitmap_;
  std::unique_ptr<TBitmap> device_bitmap_;
  std::map<std::string, int> font_types_;
  bool updating_ = false;
};

}  // namespace lark
