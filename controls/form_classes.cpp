// The interface controls as form resources name them.

#include "controls/form_classes.h"

#include "controls/adv_status_bar.h"
#include "controls/color_combos.h"
#include "controls/form_placement.h"
#include "controls/navigator_gauge.h"
#include "controls/page_setup.h"
#include "controls/toolbar_button.h"
#include "controls/window_hook.h"
#include "platform/core/stream.h"
#include "platform/windows/form_registry.h"
#include "platform/windows/menus.h"

namespace lark {
namespace {

using namespace form_registry;

template <typename T>
void ControlClass(const std::string& name) {
  RegisterClass(name, [](TComponent* owner) -> TComponent* { return new T(owner); });
}

// Integer properties, of a setter or of a plain member.
template <typename T>
void IntProperty(const std::string& name, void (T::*set)(int)) {
  Property<T>(name, [set](T& t, const TFormValue& v) { (t.*set)(v.AsInt()); });
}
template <typename T>
void IntMember(const std::string& name, int T::*member) {
  Property<T>(name, [member](T& t, const TFormValue& v) { t.*member = v.AsInt(); });
}
template <typename T>
void BoolProperty(const std::string& name, void (T::*set)(bool)) {
  Property<T>(name, [set](T& t, const TFormValue& v) { (t.*set)(v.AsBool()); });
}
template <typename T>
void BoolMember(const std::string& name, bool T::*member) {
  Property<T>(name, [member](T& t, const TFormValue& v) { t.*member = v.AsBool(); });
}

std::unique_ptr<TBitmap> BitmapOf(const TFormValue& value) {
  if (value.kind != TFormValue::Kind::Binary) throw EFormResourceError("image data expected");
  TMemoryStream stream;
  stream.WriteBuffer(value.bytes.data(), static_cast<std::int64_t>(value.bytes.size()));
  stream.SetPosition(0);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromStream(stream);
  return bitmap;
}

TButtonLayout LayoutOf(const TFormValue& v) {
  return EnumOf<TButtonLayout>(v, {{"blGlyphLeft", TButtonLayout::blGlyphLeft},
                                   {"blGlyphRight", TButtonLayout::blGlyphRight},
                                   {"blGlyphTop", TButtonLayout::blGlyphTop},
                                   {"blGlyphBottom", TButtonLayout::blGlyphBottom}});
}

void ToolbarButtonProperties() {
  using B = TToolbarButton;
  Property<B>("Alignment", [](B& b, const TFormValue& v) {
    b.SetAlignment(EnumOf<TAlignment>(v, {{"taLeftJustify", TAlignment::taLeftJustify},
                                          {"taRightJustify", TAlignment::taRightJustify},
                                          {"taCenter", TAlignment::taCenter}}));
  });
  BoolProperty<B>("AllowAllUp", &B::SetAllowAllUp);
  BoolMember<B>("Cancel", &B::Cancel);
  BoolMember<B>("Default", &B::Default);
  Property<B>("DisplayMode", [](B& b, const TFormValue& v) {
    b.SetDisplayMode(EnumOf<TButtonDisplayMode>(v, {{"dmBoth", TButtonDisplayMode::dmBoth},
                                                    {"dmGlyphOnly", TButtonDisplayMode::dmGlyphOnly},
                                                    {"dmTextOnly", TButtonDisplayMode::dmTextOnly}}));
  });
  BoolProperty<B>("Down", &B::SetDown);
  BoolProperty<B>("DropdownAlways", &B::SetDropdownAlways);
  BoolProperty<B>("DropdownArrow", &B::SetDropdownArrow);
  IntProperty<B>("DropdownArrowWidth", &B::SetDropdownArrowWidth);
  BoolProperty<B>("DropdownCombo", &B::SetDropdownCombo);
  ReferenceProperty<B, TPopupMenu>("DropdownMenu", [](B& b, TPopupMenu* m) { b.SetDropdownMenu(m); });
  BoolProperty<B>("Flat", &B::SetFlat);
  Property<B>("Glyph.Data", [](B& b, const TFormValue& v) { b.SetGlyph(*BitmapOf(v)); });
  Property<B>("GlyphMask.Data", [](B& b, const TFormValue& v) { b.SetGlyphMask(*BitmapOf(v)); });
  IntProperty<B>("GroupIndex", &B::SetGroupIndex);
  IntMember<B>("HelpContext", &B::HelpContext);
  BoolProperty<B>("HighlightWhenDown", &B::SetHighlightWhenDown);
  IntProperty<B>("ImageIndex", &B::SetImageIndex);
  ReferenceProperty<B, TCustomImageList>("Images", [](B& b, TCustomImageList* i) { b.SetImages(i); });
  Property<B>("Layout", [](B& b, const TFormValue& v) { b.SetLayout(LayoutOf(v)); });
  IntProperty<B>("Margin", &B::SetMargin);
  IntMember<B>("ModalResult", &B::ModalResult);
  BoolProperty<B>("NoBorder", &B::SetNoBorder);
  IntProperty<B>("NumGlyphs", &B::SetNumGlyphs);
  BoolProperty<B>("OldDisabledStyle", &B::SetOldDisabledStyle);
  BoolProperty<B>("Opaque", &B::SetOpaque);
  BoolMember<B>("Repeating", &B::Repeating);
  IntMember<B>("RepeatDelay", &B::RepeatDelay);
  IntMember<B>("RepeatInterval", &B::RepeatInterval);
  BoolMember<B>("ShowBorderWhenInactive", &B::ShowBorderWhenInactive);
  IntProperty<B>("Spacing", &B::SetSpacing);
  Property<B>("Version", [](B&, const TFormValue&) {});  // read only: writes are ignored
  BoolProperty<B>("WordWrap", &B::SetWordWrap);
  EventProperty("OnDropdown", &B::OnDropdown);
  EventProperty("OnMouseEnter", &B::OnMouseEnter);
  EventProperty("OnMouseExit", &B::OnMouseExit);
}

void GaugeProperties() {
  using G = TVVNavigatorGauge;
  Property<G>("Active", [](G& g, const TFormValue& v) { g.SetActive(v.AsBool()); });
  Property<G>("ForeColor", [](G& g, const TFormValue& v) { g.SetForeColor(ColorOf(v)); });
  Property<G>("BackColor", [](G& g, const TFormValue& v) { g.SetBackColor(ColorOf(v)); });
  Property<G>("Delay", [](G& g, const TFormValue& v) { g.SetDelay(v.AsInt()); });
  Property<G>("FillRatio", [](G& g, const TFormValue& v) {
    g.SetFillRatio(v.kind == TFormValue::Kind::Float ? v.number : static_cast<double>(v.AsInt()));
  });
  Property<G>("GradientColorCount", [](G& g, const TFormValue& v) { g.SetGradientColorCount(v.AsInt()); });
}

void PlacementProperties() {
  using P = TFormPlacement;
  BoolMember<P>("Active", &P::Active);
  Property<P>("IniFileName", [](P& p, const TFormValue& v) { p.SetIniFileName(v.AsString()); });
  Property<P>("IniSection", [](P& p, const TFormValue& v) { p.SetIniSection(v.AsString()); });
  ObjectProperty<P, TWinMinMaxInfo>("MinMaxInfo", [](P& p) -> TWinMinMaxInfo& { return p.MinMaxInfo(); });
  using M = TWinMinMaxInfo;
  IntProperty<M>("MaxPosLeft", &M::SetMaxPosLeft);
  IntProperty<M>("MaxPosTop", &M::SetMaxPosTop);
  IntProperty<M>("MaxSizeHeight", &M::SetMaxSizeHeight);
  IntProperty<M>("MaxSizeWidth", &M::SetMaxSizeWidth);
  IntProperty<M>("MaxTrackHeight", &M::SetMaxTrackHeight);
  IntProperty<M>("MaxTrackWidth", &M::SetMaxTrackWidth);
  IntProperty<M>("MinTrackHeight", &M::SetMinTrackHeight);
  IntProperty<M>("MinTrackWidth", &M::SetMinTrackWidth);
  Property<P>("Options", [](P& p, const TFormValue& v) {
    p.Options = SetOf(v, {{"fpState", fpState}, {"fpPosition", fpPosition}, {"fpActiveControl", fpActiveControl}});
  });
  BoolProperty<P>("PreventResize", &P::SetPreventResize);
  Property<P>("RegistryRoot", [](P& p, const TFormValue& v) {
    p.RegistryRoot = EnumOf<TPlacementRegRoot>(
        v, {{"prCurrentUser", TPlacementRegRoot::prCurrentUser}, {"prLocalMachine", TPlacementRegRoot::prLocalMachine},
            {"prCurrentConfig", TPlacementRegRoot::prCurrentConfig}, {"prClassesRoot", TPlacementRegRoot::prClassesRoot},
            {"prUsers", TPlacementRegRoot::prUsers}, {"prDynData", TPlacementRegRoot::prDynData}});
  });
  BoolMember<P>("UseRegistry", &P::UseRegistry);
  IntMember<P>("Version", &P::Version);
  EventProperty("OnSavePlacement", &P::OnSavePlacement);
  EventProperty("OnRestorePlacement", &P::OnRestorePlacement);
}

void WindowHookProperties() {
  using H = TWindowHook;
  BoolProperty<H>("Active", &H::SetActive);
  ReferenceProperty<H, TWinControl>("WinControl", [](H& h, TWinControl* c) { h.SetWinControl(c); });
  BoolProperty<H>("IsForm", &H::SetIsForm);
  EventProperty("BeforeMessage", &H::BeforeMessage);
  EventProperty("AfterMessage", &H::AfterMessage);
}

TOwnerDrawComboStyle ComboStyleOf(const TFormValue& v) {
  return EnumOf<TOwnerDrawComboStyle>(v, {{"csDropDown", TOwnerDrawComboStyle::csDropDown},
                                          {"csSimple", TOwnerDrawComboStyle::csSimple},
                                          {"csDropDownList", TOwnerDrawComboStyle::csDropDownList}});
}

void ComboProperties() {
  using C = TColorComboBox;
  Property<C>("ColorValue", [](C& c, const TFormValue& v) { c.SetColorValue(ColorOf(v)); });
  Property<C>("ColorNames.Strings", [](C& c, const TFormValue& v) {
    if (v.kind != TFormValue::Kind::Strings) throw EFormResourceError("string list expected");
    c.ColorNames().Clear();
    for (const std::string& name : v.items) c.ColorNames().Add(name);
    c.ColorNamesChanged();
  });
  BoolProperty<C>("DisplayNames", &C::SetDisplayNames);
  Property<C>("Style", [](C& c, const TFormValue& v) { c.SetStyle(ComboStyleOf(v)); });
  using F = TFontComboBox;
  Property<F>("Device", [](F& f, const TFormValue& v) {
    f.SetDevice(EnumOf<TFontDevice>(
        v, {{"fdScreen", TFontDevice::fdScreen}, {"fdPrinter", TFontDevice::fdPrinter}, {"fdBoth", TFontDevice::fdBoth}}));
  });
  Property<F>("FontName", [](F& f, const TFormValue& v) { f.SetFontName(v.AsString()); });
  Property<F>("Options", [](F& f, const TFormValue& v) {
    f.SetOptions(SetOf(v, {{"foAnsiOnly", foAnsiOnly}, {"foTrueTypeOnly", foTrueTypeOnly},
                           {"foFixedPitchOnly", foFixedPitchOnly}, {"foNoOEMFonts", foNoOEMFonts},
                           {"foOEMFontsOnly", foOEMFontsOnly}, {"foScalableOnly", foScalableOnly},
                           {"foNoSymbolFonts", foNoSymbolFonts}}));
  });
  BoolMember<F>("UseFonts", &F::UseFonts);
  Property<F>("Style", [](F& f, const TFormValue& v) { f.SetStyle(ComboStyleOf(v)); });
}

void PageSetupProperties() {
  using D = TPageSetupDlg;
  BoolMember<D>("Centered", &D::Centered);
  Property<D>("Options", [](D& d, const TFormValue& v) {
    d.Options = SetOf(v, {{"poDefaultMinMargins", poDefaultMinMargins}, {"poDisableMargins", poDisableMargins},
                          {"poDisableOrientation", poDisableOrientation},
                          {"poDisablePagePainting", poDisablePagePainting}, {"poDisablePaper", poDisablePaper},
                          {"poDisablePrinter", poDisablePrinter}, {"poNoWarning", poNoWarning},
                          {"poShowHelp", poShowHelp}});
  });
  Property<D>("Measurements", [](D& d, const TFormValue& v) {
    d.SetMeasurements(EnumOf<TPSMeasurements>(v, {{"pmDefault", TPSMeasurements::pmDefault},
                                                  {"pmMillimeters", TPSMeasurements::pmMillimeters},
                                                  {"pmInches", TPSMeasurements::pmInches}}));
  });
  auto point = [](const std::string& name, int TPSPoint::*field) {
    Property<D>("PaperSize." + name, [field](D& d, const TFormValue& v) { d.PaperSize.*field = v.AsInt(); });
  };
  point("X", &TPSPoint::X);
  point("Y", &TPSPoint::Y);
  for (const auto& rect : {std::pair{"MinimumMargins", &D::MinimumMargins}, std::pair{"Margins", &D::Margins}}) {
    for (const auto& field : {std::pair{"Left", &TPSRect::Left}, std::pair{"Top", &TPSRect::Top},
                              std::pair{"Right", &TPSRect::Right}, std::pair{"Bottom", &TPSRect::Bottom}}) {
      TPSRect D::*which = rect.second;
      int TPSRect::*side = field.second;
      Property<D>(std::string(rect.first) + "." + field.first,
                  [which, side](D& d, const TFormValue& v) { (d.*which).*side = v.AsInt(); });
    }
  }
  EventProperty("OnPrinter", &D::OnPrinter);
  EventProperty("OnInitPaintPage", &D::OnInitPaintPage);
  EventProperty("OnPaintPage", &D::OnPaintPage);
}

}  // namespace

void RegisterControlClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  // Ours come after the layer's, so that a property of the same name
  // (Style of the owner-drawn combos) is ours for our classes.
  RegisterWindowClasses();
  ControlClass<TToolbarButton>("TToolbarButton");
  ControlClass<TVVNavigatorGauge>("TVVNavigatorGauge");
  ControlClass<TFormPlacement>("TFormPlacement");
  ControlClass<TWindowHook>("TWindowHook");
  ControlClass<TAdvStatusBar>("TAdvStatusBar");
  ControlClass<TColorComboBox>("TColorComboBox");
  ControlClass<TFontComboBox>("TFontComboBox");
  ControlClass<TPageSetupDlg>("TPageSetupDlg");
  ToolbarButtonProperties();
  GaugeProperties();
  PlacementProperties();
  WindowHookProperties();
  ComboProperties();
  PageSetupProperties();
}

}  // namespace lark
