// The window layer's own classes and properties, as form resources name them.

#include <initializer_list>
#include <utility>

#include "platform/core/stream.h"
#include "platform/windows/action.h"
#include "platform/windows/animate.h"
#include "platform/windows/bars.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/list_controls.h"
#include "platform/windows/button.h"
#include "platform/windows/check_box.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/date_time_picker.h"
#include "platform/windows/edit.h"
#include "platform/windows/form.h"
#include "platform/windows/form_registry.h"
#include "platform/windows/label.h"
#include "platform/windows/menus.h"
#include "platform/windows/page_control.h"
#include "platform/windows/panel.h"
#include "platform/windows/small_controls.h"
#include "platform/windows/scroll_bar.h"
#include "platform/windows/timer.h"

namespace lark {

using namespace form_registry;

unsigned form_registry::SetOf(const TFormValue& value, std::initializer_list<std::pair<const char*, unsigned>> names) {
  if (value.kind != TFormValue::Kind::Set) throw EFormResourceError("set expected");
  unsigned bits = 0;
  for (const std::string& item : value.items) {
    bool known = false;
    for (const auto& [name, bit] : names)
      if (item == name) {
        bits |= bit;
        known = true;
      }
    if (!known) throw EFormResourceError("unknown value " + item);
  }
  return bits;
}

namespace {

// "Ctrl+Shift+F5" or the stored number.
TShortCut ShortCutOf(const TFormValue& value) {
  if (value.kind == TFormValue::Kind::Integer) return static_cast<TShortCut>(value.AsInt());
  std::string text = value.AsString();
  TShiftState shift = 0;
  for (auto [prefix, flag] : {std::pair{"Ctrl+", ssCtrl}, std::pair{"Shift+", ssShift}, std::pair{"Alt+", ssAlt}})
    while (text.rfind(prefix, 0) == 0) {
      shift |= flag;
      text.erase(0, std::char_traits<char>::length(prefix));
    }
  unsigned short key = 0;
  if (text.size() == 1 && std::isalnum(static_cast<unsigned char>(text[0])))
    key = static_cast<unsigned short>(std::toupper(static_cast<unsigned char>(text[0])));
  else if (text.size() >= 2 && text[0] == 'F' && std::isdigit(static_cast<unsigned char>(text[1])))
    key = static_cast<unsigned short>(VK_F1 + std::stoi(text.substr(1)) - 1);
  else
    key = static_cast<unsigned short>(EnumOf<WPARAM>(
        TFormValue{TFormValue::Kind::Ident, 0, 0, text, {}, {}, {}},
        {{"Enter", VK_RETURN}, {"Esc", VK_ESCAPE}, {"Tab", VK_TAB}, {"Space", VK_SPACE}, {"Del", VK_DELETE},
         {"Ins", VK_INSERT}, {"Home", VK_HOME}, {"End", VK_END}, {"PgUp", VK_PRIOR}, {"PgDn", VK_NEXT},
         {"Left", VK_LEFT}, {"Right", VK_RIGHT}, {"Up", VK_UP}, {"Down", VK_DOWN}, {"BkSp", VK_BACK}}));
  return ShortCut(key, shift);
}

}  // namespace

TColor form_registry::ColorOf(const TFormValue& value) {
  if (value.kind == TFormValue::Kind::Integer) return static_cast<TColor>(value.integer);
  return EnumOf<TColor>(value, {{"clBlack", clBlack}, {"clWhite", clWhite}, {"clRed", clRed}, {"clLime", clLime},
                                {"clBlue", clBlue}, {"clNavy", clNavy}, {"clGray", clGray}, {"clSilver", clSilver},
                                {"clYellow", clYellow}, {"clMaroon", clMaroon}, {"clGreen", clGreen},
                                {"clBtnFace", clBtnFace}, {"clWindow", clWindow}, {"clWindowText", clWindowText},
                                {"clBtnText", clBtnText}, {"clBtnShadow", clBtnShadow},
                                {"clBtnHighlight", clBtnHighlight}, {"clGrayText", clGrayText}});
}

namespace {

TAlignment AlignmentOf(const TFormValue& v) {
  return EnumOf<TAlignment>(v, {{"taLeftJustify", TAlignment::taLeftJustify},
                                {"taRightJustify", TAlignment::taRightJustify},
                                {"taCenter", TAlignment::taCenter}});
}

TBevelCut BevelOf(const TFormValue& v) {
  return EnumOf<TBevelCut>(v, {{"bvNone", TBevelCut::bvNone}, {"bvLowered", TBevelCut::bvLowered},
                               {"bvRaised", TBevelCut::bvRaised}, {"bvSpace", TBevelCut::bvSpace}});
}

void FontProperties() {
  auto font = [](const std::string& name, std::function<void(TFont&, const TFormValue&)> set) {
    Property<TControl>("Font." + name, [set](TControl& c, const TFormValue& v) {
      TFont f = c.Font();
      set(f, v);
      c.SetFont(f);
    });
  };
  font("Name", [](TFont& f, const TFormValue& v) { f.SetName(v.AsString()); });
  font("Size", [](TFont& f, const TFormValue& v) { f.SetSize(v.AsInt()); });
  font("Height", [](TFont& f, const TFormValue& v) { f.SetHeight(v.AsInt()); });
  font("Color", [](TFont& f, const TFormValue& v) { f.SetColor(ColorOf(v)); });
  font("Charset", [](TFont& f, const TFormValue& v) { f.SetCharset(v.AsInt()); });
  font("Style", [](TFont& f, const TFormValue& v) {
    f.SetStyle(static_cast<TFontStyles>(
        SetOf(v, {{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline}, {"fsStrikeOut", fsStrikeOut}})));
  });
}

void ControlProperties() {
  Property<TComponent>("Tag", [](TComponent& c, const TFormValue& v) { c.Tag = v.AsInt(); });
  Property<TControl>("Left", [](TControl& c, const TFormValue& v) { c.SetLeft(v.AsInt()); });
  Property<TControl>("Top", [](TControl& c, const TFormValue& v) { c.SetTop(v.AsInt()); });
  Property<TControl>("Width", [](TControl& c, const TFormValue& v) { c.SetWidth(v.AsInt()); });
  Property<TControl>("Height", [](TControl& c, const TFormValue& v) { c.SetHeight(v.AsInt()); });
  Property<TControl>("ClientWidth", [](TControl& c, const TFormValue& v) { c.SetClientWidth(v.AsInt()); });
  Property<TControl>("ClientHeight", [](TControl& c, const TFormValue& v) { c.SetClientHeight(v.AsInt()); });
  Property<TControl>("Caption", [](TControl& c, const TFormValue& v) { c.SetCaption(v.AsString()); });
  Property<TControl>("Text", [](TControl& c, const TFormValue& v) { c.SetText(v.AsString()); });
  Property<TControl>("Visible", [](TControl& c, const TFormValue& v) { c.SetVisible(v.AsBool()); });
  Property<TControl>("Enabled", [](TControl& c, const TFormValue& v) { c.SetEnabled(v.AsBool()); });
  Property<TControl>("Hint", [](TControl& c, const TFormValue& v) { c.Hint = v.AsString(); });
  Property<TControl>("ShowHint", [](TControl& c, const TFormValue& v) { c.SetShowHint(v.AsBool()); });
  Property<TControl>("ParentShowHint", [](TControl& c, const TFormValue& v) { c.ParentShowHint = v.AsBool(); });
  Property<TControl>("Color", [](TControl& c, const TFormValue& v) { c.SetColor(ColorOf(v)); });
  Property<TControl>("ParentColor", [](TControl& c, const TFormValue& v) { c.SetParentColor(v.AsBool()); });
  Property<TControl>("ParentFont", [](TControl& c, const TFormValue& v) { c.SetParentFont(v.AsBool()); });
  Property<TControl>("Cursor", [](TControl& c, const TFormValue& v) {
    c.SetCursor(EnumOf<TCursor>(v, {{"crDefault", crDefault}, {"crArrow", crArrow}, {"crIBeam", crIBeam},
                                    {"crHandPoint", crHandPoint}, {"crHourGlass", crHourGlass},
                                    {"crSizeWE", crSizeWE}, {"crSizeNS", crSizeNS}, {"crCross", crCross}}));
  });
  Property<TControl>("Align", [](TControl& c, const TFormValue& v) {
    c.SetAlign(EnumOf<TAlign>(v, {{"alNone", TAlign::alNone}, {"alTop", TAlign::alTop}, {"alBottom", TAlign::alBottom},
                                  {"alLeft", TAlign::alLeft}, {"alRight", TAlign::alRight},
                                  {"alClient", TAlign::alClient}, {"alCustom", TAlign::alCustom}}));
  });
  Property<TControl>("Anchors", [](TControl& c, const TFormValue& v) {
    c.SetAnchors(SetOf(v, {{"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}, {"akBottom", akBottom}}));
  });
  // A new limit takes effect on the size at once.
  ObjectProperty<TControl, TSizeConstraints>(
      "Constraints", [](TControl& c) -> TSizeConstraints& { return c.Constraints; },
      [](TControl& c) { c.SetBounds(c.Left(), c.Top(), c.Width(), c.Height()); });
  Property<TSizeConstraints>("MinWidth", [](TSizeConstraints& s, const TFormValue& v) { s.MinWidth = v.AsInt(); });
  Property<TSizeConstraints>("MinHeight", [](TSizeConstraints& s, const TFormValue& v) { s.MinHeight = v.AsInt(); });
  Property<TSizeConstraints>("MaxWidth", [](TSizeConstraints& s, const TFormValue& v) { s.MaxWidth = v.AsInt(); });
  Property<TSizeConstraints>("MaxHeight", [](TSizeConstraints& s, const TFormValue& v) { s.MaxHeight = v.AsInt(); });
  ReferenceProperty<TControl, TPopupMenu>("PopupMenu", [](TControl& c, TPopupMenu* m) { c.SetPopupMenu(m); });
  ReferenceProperty<TControl, TBasicAction>("Action", [](TControl& c, TBasicAction* a) { c.SetAction(a); });
  EventProperty("OnClick", &TControl::OnClick);
  EventProperty("OnDblClick", &TControl::OnDblClick);
  EventProperty("OnMouseDown", &TControl::OnMouseDown);
  EventProperty("OnMouseMove", &TControl::OnMouseMove);
  EventProperty("OnMouseUp", &TControl::OnMouseUp);
  EventProperty("OnResize", &TControl::OnResize);
  Property<TWinControl>("TabStop", [](TWinControl& c, const TFormValue& v) { c.TabStop = v.AsBool(); });
  Property<TWinControl>("TabOrder", [](TWinControl& c, const TFormValue& v) { c.SetTabOrder(v.AsInt()); });
  EventProperty("OnKeyDown", &TWinControl::OnKeyDown);
  EventProperty("OnKeyPress", &TWinControl::OnKeyPress);
  EventProperty("OnKeyUp", &TWinControl::OnKeyUp);
  EventProperty("OnEnter", &TWinControl::OnEnter);
  EventProperty("OnExit", &TWinControl::OnExit);
  EventProperty("OnPaint", &TCustomControl::OnPaint);
  FontProperties();
}

void FormProperties() {
  Property<TCustomForm>("BorderStyle", [](TCustomForm& f, const TFormValue& v) {
    using S = TFormBorderStyle;
    f.SetBorderStyle(EnumOf<S>(v, {{"bsNone", S::bsNone}, {"bsSingle", S::bsSingle}, {"bsSizeable", S::bsSizeable},
                                   {"bsDialog", S::bsDialog}, {"bsToolWindow", S::bsToolWindow},
                                   {"bsSizeToolWin", S::bsSizeToolWin}}));
  });
  Property<TCustomForm>("BorderIcons", [](TCustomForm& f, const TFormValue& v) {
    f.SetBorderIcons(SetOf(v, {{"biSystemMenu", biSystemMenu}, {"biMinimize", biMinimize},
                              {"biMaximize", biMaximize}, {"biHelp", biHelp}}));
  });
  Property<TCustomForm>("Position", [](TCustomForm& f, const TFormValue& v) {
    using P = TPosition;
    f.Position = EnumOf<P>(v, {{"poDesigned", P::poDesigned}, {"poDefault", P::poDefault},
                               {"poDefaultPosOnly", P::poDefaultPosOnly}, {"poDefaultSizeOnly", P::poDefaultSizeOnly},
                               {"poScreenCenter", P::poScreenCenter}, {"poDesktopCenter", P::poDesktopCenter},
                               {"poMainFormCenter", P::poMainFormCenter}, {"poOwnerFormCenter", P::poOwnerFormCenter}});
  });
  Property<TCustomForm>("WindowState", [](TCustomForm& f, const TFormValue& v) {
    using W = TWindowState;
    f.SetWindowState(EnumOf<W>(v, {{"wsNormal", W::wsNormal}, {"wsMinimized", W::wsMinimized},
                                   {"wsMaximized", W::wsMaximized}}));
  });
  Property<TCustomForm>("KeyPreview", [](TCustomForm& f, const TFormValue& v) { f.KeyPreview = v.AsBool(); });
  ReferenceProperty<TCustomForm, TMainMenu>("Menu", [](TCustomForm& f, TMainMenu* m) { f.SetMenu(m); });
  ReferenceProperty<TCustomForm, TWinControl>("ActiveControl",
                                              [](TCustomForm& f, TWinControl* c) { f.SetActiveControl(c); });
  EventProperty("OnCreate", &TCustomForm::OnCreate);
  EventProperty("OnShow", &TCustomForm::OnShow);
  EventProperty("OnHide", &TCustomForm::OnHide);
  EventProperty("OnActivate", &TCustomForm::OnActivate);
  EventProperty("OnDeactivate", &TCustomForm::OnDeactivate);
  EventProperty("OnClose", &TCustomForm::OnClose);
  EventProperty("OnCloseQuery", &TCustomForm::OnCloseQuery);
  EventProperty("OnDestroy", &TCustomForm::OnDestroy);
}

void StandardControlProperties() {
  Property<TButton>("Default", [](TButton& b, const TFormValue& v) { b.SetDefault(v.AsBool()); });
  Property<TButton>("Cancel", [](TButton& b, const TFormValue& v) { b.Cancel = v.AsBool(); });
  Property<TButton>("ModalResult", [](TButton& b, const TFormValue& v) {
    b.ModalResult = v.kind == TFormValue::Kind::Integer
                        ? v.AsInt()
                        : EnumOf<TModalResult>(v, {{"mrNone", mrNone}, {"mrOk", mrOk}, {"mrCancel", mrCancel},
                                                   {"mrAbort", mrAbort}, {"mrRetry", mrRetry}, {"mrIgnore", mrIgnore},
                                                   {"mrYes", mrYes}, {"mrNo", mrNo}, {"mrAll", mrAll}});
  });
  Property<TBitBtn>("Kind", [](TBitBtn& b, const TFormValue& v) {
    using K = TBitBtnKind;
    b.SetKind(EnumOf<K>(v, {{"bkCustom", K::bkCustom}, {"bkOK", K::bkOK}, {"bkCancel", K::bkCancel},
                            {"bkHelp", K::bkHelp}, {"bkYes", K::bkYes}, {"bkNo", K::bkNo}, {"bkClose", K::bkClose},
                            {"bkAbort", K::bkAbort}, {"bkRetry", K::bkRetry}, {"bkIgnore", K::bkIgnore},
                            {"bkAll", K::bkAll}}));
  });
  Property<TCheckBox>("Checked", [](TCheckBox& c, const TFormValue& v) { c.SetChecked(v.AsBool()); });
  Property<TRadioButton>("Checked", [](TRadioButton& c, const TFormValue& v) { c.SetChecked(v.AsBool()); });
  Property<TCheckBox>("AllowGrayed", [](TCheckBox& c, const TFormValue& v) { c.AllowGrayed = v.AsBool(); });
  Property<TEdit>("MaxLength", [](TEdit& e, const TFormValue& v) { e.SetMaxLength(v.AsInt()); });
  Property<TEdit>("PasswordChar", [](TEdit& e, const TFormValue& v) {
    const std::string& s = v.AsString();
    e.SetPasswordChar(s.empty() ? 0 : s[0]);
  });
  Property<TEdit>("ReadOnly", [](TEdit& e, const TFormValue& v) { e.SetReadOnly(v.AsBool()); });
  EventProperty("OnChange", &TEdit::OnChange);
  Property<TMemo>("Lines", [](TMemo& m, const TFormValue& v) {
    if (v.kind != TFormValue::Kind::Strings) throw EFormResourceError("string list expected");
    std::string text;
    for (size_t i = 0; i < v.items.size(); ++i) text += (i ? "\r\n" : "") + v.items[i];
    m.SetText(text);
  });
  Property<TMemo>("WordWrap", [](TMemo& m, const TFormValue& v) { m.SetWordWrap(v.AsBool()); });
  Property<TMemo>("ReadOnly", [](TMemo& m, const TFormValue& v) { m.SetReadOnly(v.AsBool()); });
  Property<TMemo>("WantReturns", [](TMemo& m, const TFormValue& v) { m.WantReturns = v.AsBool(); });
  Property<TMemo>("ScrollBars", [](TMemo& m, const TFormValue& v) {
    m.SetScrollBars(EnumOf<TScrollStyle>(v, {{"ssNone", TScrollStyle::ssNone},
                                             {"ssHorizontal", TScrollStyle::ssHorizontal},
                                             {"ssVertical", TScrollStyle::ssVertical},
                                             {"ssBoth", TScrollStyle::ssBoth}}));
  });
  EventProperty("OnChange", &TMemo::OnChange);
  Property<TLabel>("Alignment", [](TLabel& l, const TFormValue& v) { l.Alignment = AlignmentOf(v); });
  Property<TLabel>("AutoSize", [](TLabel& l, const TFormValue& v) { l.SetAutoSize(v.AsBool()); });
  Property<TLabel>("Transparent", [](TLabel& l, const TFormValue& v) { l.Transparent = v.AsBool(); });
  Property<TLabel>("WordWrap", [](TLabel& l, const TFormValue& v) { l.WordWrap = v.AsBool(); });
  ReferenceProperty<TLabel, TWinControl>("FocusControl", [](TLabel& l, TWinControl* c) { l.SetFocusControl(c); });
  Property<TCustomPanel>("BevelInner", [](TCustomPanel& p, const TFormValue& v) { p.SetBevelInner(BevelOf(v)); });
  Property<TCustomPanel>("BevelOuter", [](TCustomPanel& p, const TFormValue& v) { p.SetBevelOuter(BevelOf(v)); });
  Property<TCustomPanel>("BevelWidth", [](TCustomPanel& p, const TFormValue& v) { p.SetBevelWidth(v.AsInt()); });
  Property<TCustomPanel>("BorderWidth", [](TCustomPanel& p, const TFormValue& v) { p.SetBorderWidth(v.AsInt()); });
  Property<TCustomPanel>("BorderStyle", [](TCustomPanel& p, const TFormValue& v) {
    p.SetBorderStyle(EnumOf<TBorderStyle>(v, {{"bsNone", TBorderStyle::bsNone}, {"bsSingle", TBorderStyle::bsSingle}}));
  });
  Property<TCustomPanel>("Ctl3D", [](TCustomPanel& p, const TFormValue& v) { p.SetCtl3D(v.AsBool()); });
  Property<TCustomPanel>("Alignment", [](TCustomPanel& p, const TFormValue& v) { p.Alignment = AlignmentOf(v); });
  Property<TScrollBar>("Kind", [](TScrollBar& s, const TFormValue& v) {
    s.SetKind(EnumOf<TScrollBarKind>(v, {{"sbHorizontal", TScrollBarKind::sbHorizontal},
                                         {"sbVertical", TScrollBarKind::sbVertical}}));
  });
  Property<TScrollBar>("Max", [](TScrollBar& s, const TFormValue& v) { s.SetParams(s.Position(), s.Min(), v.AsInt()); });
  Property<TScrollBar>("Min", [](TScrollBar& s, const TFormValue& v) { s.SetParams(s.Position(), v.AsInt(), s.Max()); });
  Property<TScrollBar>("Position", [](TScrollBar& s, const TFormValue& v) { s.SetPosition(v.AsInt()); });
  Property<TScrollBar>("PageSize", [](TScrollBar& s, const TFormValue& v) { s.SetPageSize(v.AsInt()); });
  Property<TScrollBar>("SmallChange", [](TScrollBar& s, const TFormValue& v) { s.SmallChange = v.AsInt(); });
  Property<TScrollBar>("LargeChange", [](TScrollBar& s, const TFormValue& v) { s.LargeChange = v.AsInt(); });
  EventProperty("OnChange", &TScrollBar::OnChange);
  EventProperty("OnScroll", &TScrollBar::OnScroll);
}

void StringsProperty(const std::string& name, std::function<TStrings&(TObject*)> strings,
                     std::function<bool(TObject*)> applies) {
  RegisterProperty(name, std::move(applies), [strings](TObject* o, const TFormValue& v, TFormReader&) {
    if (v.kind != TFormValue::Kind::Strings) throw EFormResourceError("string list expected");
    TStrings& target = strings(o);
    target.Clear();
    for (const std::string& item : v.items) target.Add(item);
  });
}

void ListAndBarProperties() {
  StringsProperty(
      "Items", [](TObject* o) -> TStrings& { return dynamic_cast<TListBox*>(o)->Items(); },
      [](TObject* o) { return dynamic_cast<TListBox*>(o) != nullptr; });
  StringsProperty(
      "Items", [](TObject* o) -> TStrings& { return dynamic_cast<TComboBox*>(o)->Items(); },
      [](TObject* o) { return dynamic_cast<TComboBox*>(o) != nullptr; });
  Property<TListBox>("ItemIndex", [](TListBox& l, const TFormValue& v) { l.SetItemIndex(v.AsInt()); });
  Property<TListBox>("MultiSelect", [](TListBox& l, const TFormValue& v) { l.SetMultiSelect(v.AsBool()); });
  Property<TListBox>("ExtendedSelect", [](TListBox& l, const TFormValue& v) { l.SetExtendedSelect(v.AsBool()); });
  Property<TComboBox>("ItemIndex", [](TComboBox& c, const TFormValue& v) { c.SetItemIndex(v.AsInt()); });
  Property<TComboBox>("ItemHeight", [](TComboBox& c, const TFormValue& v) { c.SetItemHeight(v.AsInt()); });
  Property<TComboBox>("Sorted", [](TComboBox& c, const TFormValue& v) { c.SetSorted(v.AsBool()); });
  Property<TComboBox>("DropDownCount", [](TComboBox& c, const TFormValue& v) { c.DropDownCount = v.AsInt(); });
  Property<TComboBox>("Style", [](TComboBox& c, const TFormValue& v) {
    using S = TComboBoxStyle;
    c.SetStyle(EnumOf<S>(v, {{"csDropDown", S::csDropDown}, {"csSimple", S::csSimple},
                             {"csDropDownList", S::csDropDownList}, {"csOwnerDrawFixed", S::csOwnerDrawFixed},
                             {"csOwnerDrawVariable", S::csOwnerDrawVariable}}));
  });
  EventProperty("OnChange", &TComboBox::OnChange);
  EventProperty("OnDrawItem", &TComboBox::OnDrawItem);
  Property<TStatusBar>("SimplePanel", [](TStatusBar& s, const TFormValue& v) { s.SimplePanel = v.AsBool(); });
  Property<TStatusBar>("SimpleText", [](TStatusBar& s, const TFormValue& v) { s.SetSimpleText(v.AsString()); });
  RegisterProperty(
      "Panels", [](TObject* o) { return dynamic_cast<TStatusBar*>(o) != nullptr; },
      [](TObject* o, const TFormValue& v, TFormReader&) {
        if (v.kind != TFormValue::Kind::Collection) throw EFormResourceError("collection expected");
        auto* bar = dynamic_cast<TStatusBar*>(o);
        bar->Panels().clear();
        for (const auto& item : v.collection) {
          TStatusPanel panel;
          for (const TPropAssignment& a : item) {
            if (a.name == "Width") panel.Width = a.value.AsInt();
            else if (a.name == "Text") panel.Text = a.value.AsString();
            else if (a.name == "Alignment") panel.Alignment = AlignmentOf(a.value);
            else throw EFormResourceError("panel property " + a.name + " not found");
          }
          bar->Panels().push_back(panel);
        }
        bar->PanelsChanged();
      });
  Property<TToolBar>("ButtonWidth", [](TToolBar& t, const TFormValue& v) { t.SetButtonWidth(v.AsInt()); });
  Property<TToolBar>("ButtonHeight", [](TToolBar& t, const TFormValue& v) { t.SetButtonHeight(v.AsInt()); });
  Property<TToolBar>("ShowCaptions", [](TToolBar& t, const TFormValue& v) { t.SetShowCaptions(v.AsBool()); });
  Property<TToolBar>("EdgeBorders", [](TToolBar& t, const TFormValue& v) {
    t.SetEdgeBorders(SetOf(v, {{"ebLeft", ebLeft}, {"ebTop", ebTop}, {"ebRight", ebRight}, {"ebBottom", ebBottom}}));
  });
  ReferenceProperty<TToolBar, TCustomImageList>("Images", [](TToolBar& t, TCustomImageList* i) { t.SetImages(i); });
  ReferenceProperty<TToolBar, TCustomImageList>("HotImages",
                                                [](TToolBar& t, TCustomImageList* i) { t.SetHotImages(i); });
  Property<TToolButton>("ImageIndex", [](TToolButton& b, const TFormValue& v) { b.SetImageIndex(v.AsInt()); });
  ReferenceProperty<TToolButton, TPopupMenu>("DropdownMenu",
                                             [](TToolButton& b, TPopupMenu* m) { b.SetDropdownMenu(m); });
  Property<TToolButton>("Down", [](TToolButton& b, const TFormValue& v) { b.SetDown(v.AsBool()); });
  Property<TToolButton>("Style", [](TToolButton& b, const TFormValue& v) {
    using S = TToolButtonStyle;
    b.SetStyle(EnumOf<S>(v, {{"tbsButton", S::tbsButton}, {"tbsCheck", S::tbsCheck}, {"tbsDropDown", S::tbsDropDown},
                             {"tbsSeparator", S::tbsSeparator}, {"tbsDivider", S::tbsDivider}}));
  });
  Property<TCustomImageList>("Width", [](TCustomImageList& l, const TFormValue& v) { l.SetSize(v.AsInt(), l.Height()); });
  Property<TCustomImageList>("Height", [](TCustomImageList& l, const TFormValue& v) { l.SetSize(l.Width(), v.AsInt()); });
  Property<TCustomImageList>("Masked", [](TCustomImageList& l, const TFormValue& v) { l.Masked = v.AsBool(); });
  Property<TCustomImageList>("BkColor", [](TCustomImageList& l, const TFormValue& v) { l.BkColor = ColorOf(v); });
  EventProperty("OnChange", &TCustomImageList::OnChange);
  Property<TToolBar>("Flat", [](TToolBar& t, const TFormValue& v) { t.Flat = v.AsBool(); });
  Property<TToolBar>("Wrapable", [](TToolBar& t, const TFormValue& v) { t.Wrapable = v.AsBool(); });
  Property<TCoolBar>("AutoSize", [](TCoolBar& c, const TFormValue& v) { c.AutoSize = v.AsBool(); });
  CollectionProperty<TCoolBar, TCoolBand>("Bands", [](TCoolBar& c, std::vector<TCoolBand> bands) { c.SetBands(bands); });
  Property<TCoolBand>("Visible", [](TCoolBand& b, const TFormValue& v) { b.SetVisible(v.AsBool()); });
  Property<TCoolBand>("Break", [](TCoolBand& b, const TFormValue& v) { b.SetBreak(v.AsBool()); });
  Property<TCoolBand>("Width", [](TCoolBand& b, const TFormValue& v) { b.SetWidth(v.AsInt()); });
  EventProperty("OnPaint", &TPaintBox::OnPaint);
  Property<TImage>("Stretch", [](TImage& i, const TFormValue& v) { i.Stretch = v.AsBool(); });
  Property<TImage>("Center", [](TImage& i, const TFormValue& v) { i.Center = v.AsBool(); });
  Property<TImage>("AutoSize", [](TImage& i, const TFormValue& v) { i.AutoSize = v.AsBool(); });
  Property<TProgressBar>("Max", [](TProgressBar& p, const TFormValue& v) { p.SetRange(p.Min(), v.AsInt()); });
  Property<TProgressBar>("Min", [](TProgressBar& p, const TFormValue& v) { p.SetRange(v.AsInt(), p.Max()); });
  Property<TProgressBar>("Position", [](TProgressBar& p, const TFormValue& v) { p.SetPosition(v.AsInt()); });
  Property<TProgressBar>("Step", [](TProgressBar& p, const TFormValue& v) { p.Step = v.AsInt(); });
}

void ListViewCollections() {
  CollectionProperty<TListView, TListColumn>("Columns", [](TListView& l, std::vector<TListColumn> columns) {
    l.Columns() = std::move(columns);
    l.ItemsChanged();
  });
  Property<TListColumn>("Caption", [](TListColumn& c, const TFormValue& v) { c.Caption = v.AsString(); });
  Property<TListColumn>("Width", [](TListColumn& c, const TFormValue& v) { c.Width = v.AsInt(); });
  Property<TListColumn>("Alignment", [](TListColumn& c, const TFormValue& v) { c.Alignment = AlignmentOf(v); });
  CollectionProperty<TListView, TListItem>("Items", [](TListView& l, std::vector<TListItem> items) {
    l.Items() = std::move(items);
    l.ItemsChanged();
  });
  Property<TListItem>("Caption", [](TListItem& i, const TFormValue& v) { i.Caption = v.AsString(); });
  Property<TListItem>("SubItems", [](TListItem& i, const TFormValue& v) {
    if (v.kind != TFormValue::Kind::Strings) throw EFormResourceError("string list expected");
    i.SubItems = v.items;
  });
  Property<TListItem>("ImageIndex", [](TListItem& i, const TFormValue& v) { i.ImageIndex = v.AsInt(); });
  Property<TListItem>("Checked", [](TListItem& i, const TFormValue& v) { i.Checked = v.AsBool(); });
}

void PageAndSmallControlProperties() {
  ReferenceProperty<TPageControl, TTabSheet>("ActivePage", [](TPageControl& p, TTabSheet* t) { p.SetActivePage(t); });
  EventProperty("OnChange", &TPageControl::OnChange);
  EventProperty("OnChanging", &TPageControl::OnChanging);
  Property<TTabSheet>("TabVisible", [](TTabSheet& t, const TFormValue& v) { t.TabVisible = v.AsBool(); });
  Property<TSpeedButton>("GroupIndex", [](TSpeedButton& b, const TFormValue& v) { b.GroupIndex = v.AsInt(); });
  Property<TSpeedButton>("Down", [](TSpeedButton& b, const TFormValue& v) { b.SetDown(v.AsBool()); });
  Property<TSpeedButton>("AllowAllUp", [](TSpeedButton& b, const TFormValue& v) { b.AllowAllUp = v.AsBool(); });
  Property<TSpeedButton>("Flat", [](TSpeedButton& b, const TFormValue& v) { b.Flat = v.AsBool(); });
  Property<TSpinEdit>("MinValue", [](TSpinEdit& s, const TFormValue& v) { s.SetMinValue(v.AsInt()); });
  Property<TSpinEdit>("MaxValue", [](TSpinEdit& s, const TFormValue& v) { s.SetMaxValue(v.AsInt()); });
  Property<TSpinEdit>("Value", [](TSpinEdit& s, const TFormValue& v) { s.SetValue(v.AsInt()); });
  Property<TSpinEdit>("Increment", [](TSpinEdit& s, const TFormValue& v) { s.Increment = v.AsInt(); });
  EventProperty("OnChange", &TSpinEdit::OnChange);
  ReferenceProperty<TListView, TCustomImageList>("SmallImages",
                                                 [](TListView& l, TCustomImageList* i) { l.SetSmallImages(i); });
  Property<TListView>("Checkboxes", [](TListView& l, const TFormValue& v) { l.SetCheckboxes(v.AsBool()); });
  ListViewCollections();
  EventProperty("OnChange", &TListView::OnChange);
  Property<TDateTimePicker>("Kind", [](TDateTimePicker& d, const TFormValue& v) {
    d.SetKind(EnumOf<TDateTimeKind>(v, {{"dtkDate", TDateTimeKind::dtkDate}, {"dtkTime", TDateTimeKind::dtkTime}}));
  });
  EventProperty("OnChange", &TDateTimePicker::OnChange);
}

// Image data of a resource: the bytes of a BMP file.
void LoadBitmapData(TBitmap& bitmap, const TFormValue& value) {
  if (value.kind != TFormValue::Kind::Binary) throw EFormResourceError("image data expected");
  TMemoryStream stream;
  stream.WriteBuffer(value.bytes.data(), static_cast<std::int64_t>(value.bytes.size()));
  stream.SetPosition(0);
  bitmap.LoadFromStream(stream);
}

void ImageDataProperties() {
  Property<TImage>("Picture.Data", [](TImage& i, const TFormValue& v) {
    LoadBitmapData(i.Picture().Bitmap(), v);
    i.PictureChanged();
  });
  // Image lists: pictures side by side, the bottom-left pixel's colour
  // transparent; each strip adds to the list.
  Property<TCustomImageList>("Images.Data", [](TCustomImageList& l, const TFormValue& v) {
    TBitmap strip;
    LoadBitmapData(strip, v);
    l.AddMasked(strip, strip.Canvas().Pixel(0, strip.Height() - 1));
  });
  // Bit and speed buttons.
  Property<TButtonGlyph>("Glyph.Data", [](TButtonGlyph& b, const TFormValue& v) { LoadBitmapData(b.Glyph(), v); });
  Property<TButtonGlyph>("NumGlyphs", [](TButtonGlyph& b, const TFormValue& v) { b.SetNumGlyphs(v.AsInt()); });
  Property<TButtonGlyph>("Margin", [](TButtonGlyph& b, const TFormValue& v) { b.SetMargin(v.AsInt()); });
  Property<TButtonGlyph>("Spacing", [](TButtonGlyph& b, const TFormValue& v) { b.SetSpacing(v.AsInt()); });
  Property<TButtonGlyph>("Layout", [](TButtonGlyph& b, const TFormValue& v) {
    using L = TButtonLayout;
    b.SetLayout(EnumOf<L>(v, {{"blGlyphLeft", L::blGlyphLeft}, {"blGlyphRight", L::blGlyphRight},
                             {"blGlyphTop", L::blGlyphTop}, {"blGlyphBottom", L::blGlyphBottom}}));
  });
}

void NonVisualProperties() {
  Property<TTimer>("Enabled", [](TTimer& t, const TFormValue& v) { t.SetEnabled(v.AsBool()); });
  Property<TTimer>("Interval", [](TTimer& t, const TFormValue& v) { t.SetInterval(static_cast<unsigned>(v.AsInt())); });
  EventProperty("OnTimer", &TTimer::OnTimer);
  Property<TMenuItem>("Caption", [](TMenuItem& m, const TFormValue& v) { m.SetCaption(v.AsString()); });
  Property<TMenuItem>("Checked", [](TMenuItem& m, const TFormValue& v) { m.SetChecked(v.AsBool()); });
  Property<TMenuItem>("Enabled", [](TMenuItem& m, const TFormValue& v) { m.SetEnabled(v.AsBool()); });
  Property<TMenuItem>("Visible", [](TMenuItem& m, const TFormValue& v) { m.SetVisible(v.AsBool()); });
  Property<TMenuItem>("ShortCut", [](TMenuItem& m, const TFormValue& v) { m.ShortCut = ShortCutOf(v); });
  Property<TMenuItem>("ImageIndex", [](TMenuItem& m, const TFormValue& v) { m.ImageIndex = v.AsInt(); });
  Property<TMenuItem>("RadioItem", [](TMenuItem& m, const TFormValue& v) { m.RadioItem = v.AsBool(); });
  Property<TMenuItem>("GroupIndex", [](TMenuItem& m, const TFormValue& v) { m.GroupIndex = v.AsInt(); });
  Property<TMenuItem>("Hint", [](TMenuItem& m, const TFormValue& v) { m.Hint = v.AsString(); });
  ReferenceProperty<TMenuItem, TBasicAction>("Action", [](TMenuItem& m, TBasicAction* a) { m.SetAction(a); });
  EventProperty("OnClick", &TMenuItem::OnClick);
  ReferenceProperty<TMenu, TCustomImageList>("Images", [](TMenu& m, TCustomImageList* i) { m.SetImages(i); });
  Property<TPopupMenu>("AutoPopup", [](TPopupMenu& m, const TFormValue& v) { m.AutoPopup = v.AsBool(); });
  Property<TPopupMenu>("Alignment", [](TPopupMenu& m, const TFormValue& v) {
    using A = TPopupAlignment;
    m.Alignment = EnumOf<A>(v, {{"paLeft", A::paLeft}, {"paRight", A::paRight}, {"paCenter", A::paCenter}});
  });
  EventProperty("OnPopup", &TPopupMenu::OnPopup);
  Property<TCustomAction>("Caption", [](TCustomAction& a, const TFormValue& v) { a.SetCaption(v.AsString()); });
  Property<TCustomAction>("Checked", [](TCustomAction& a, const TFormValue& v) { a.SetChecked(v.AsBool()); });
  Property<TCustomAction>("Enabled", [](TCustomAction& a, const TFormValue& v) { a.SetEnabled(v.AsBool()); });
  Property<TCustomAction>("Visible", [](TCustomAction& a, const TFormValue& v) { a.SetVisible(v.AsBool()); });
  Property<TCustomAction>("ImageIndex", [](TCustomAction& a, const TFormValue& v) { a.SetImageIndex(v.AsInt()); });
  Property<TCustomAction>("ShortCut", [](TCustomAction& a, const TFormValue& v) { a.SetShortCut(ShortCutOf(v)); });
  Property<TCustomAction>("Hint", [](TCustomAction& a, const TFormValue& v) { a.Hint = v.AsString(); });
  Property<TCustomAction>("Category", [](TCustomAction& a, const TFormValue& v) { a.Category = v.AsString(); });
  Property<TCustomAction>("GroupIndex", [](TCustomAction& a, const TFormValue& v) { a.GroupIndex = v.AsInt(); });
  EventProperty("OnExecute", &TBasicAction::OnExecute);
  EventProperty("OnUpdate", &TBasicAction::OnUpdate);
}

void AnimateProperties() {
  Class<TAnimate>("TAnimate");
  Property<TAnimate>("Active", [](TAnimate& a, const TFormValue& v) { a.SetActive(v.AsBool()); });
  Property<TAnimate>("AutoSize", [](TAnimate& a, const TFormValue& v) { a.SetAutoSize(v.AsBool()); });
  Property<TAnimate>("Center", [](TAnimate& a, const TFormValue& v) { a.SetCenter(v.AsBool()); });
  Property<TAnimate>("CommonAVI", [](TAnimate&, const TFormValue& v) {
    // No stock clip ships: any other value is refused as unknown.
    EnumOf<TCommonAVI>(v, {{"aviNone", TCommonAVI::aviNone}});
  });
  Property<TAnimate>("FileName", [](TAnimate& a, const TFormValue& v) { a.SetFileName(v.AsString()); });
  Property<TAnimate>("ResName", [](TAnimate& a, const TFormValue& v) { a.SetResName(v.AsString()); });
  Property<TAnimate>("ResId", [](TAnimate& a, const TFormValue& v) { a.SetResId(v.AsInt()); });
  Property<TAnimate>("Repetitions", [](TAnimate& a, const TFormValue& v) { a.SetRepetitions(v.AsInt()); });
  Property<TAnimate>("StartFrame", [](TAnimate& a, const TFormValue& v) { a.SetStartFrame(v.AsInt()); });
  Property<TAnimate>("StopFrame", [](TAnimate& a, const TFormValue& v) { a.SetStopFrame(v.AsInt()); });
  Property<TAnimate>("Transparent", [](TAnimate& a, const TFormValue& v) { a.SetTransparent(v.AsBool()); });
  EventProperty("OnOpen", &TAnimate::OnOpen);
  EventProperty("OnClose", &TAnimate::OnClose);
  EventProperty("OnStart", &TAnimate::OnStart);
  EventProperty("OnStop", &TAnimate::OnStop);
}

// The common dialogs sit on forms as components.
void DialogProperties() {
  Property<TCommonDialog>("Title", [](TCommonDialog& d, const TFormValue& v) { d.Title = v.AsString(); });
  Property<TOpenDialog>("FileName", [](TOpenDialog& d, const TFormValue& v) { d.FileName = v.AsString(); });
  Property<TOpenDialog>("Filter", [](TOpenDialog& d, const TFormValue& v) { d.Filter = v.AsString(); });
  Property<TOpenDialog>("FilterIndex", [](TOpenDialog& d, const TFormValue& v) { d.FilterIndex = v.AsInt(); });
  Property<TOpenDialog>("DefaultExt", [](TOpenDialog& d, const TFormValue& v) { d.DefaultExt = v.AsString(); });
  Property<TOpenDialog>("InitialDir", [](TOpenDialog& d, const TFormValue& v) { d.InitialDir = v.AsString(); });
  Property<TOpenDialog>("Options", [](TOpenDialog& d, const TFormValue& v) {
    d.Options = SetOf(v, {{"ofOverwritePrompt", ofOverwritePrompt}, {"ofHideReadOnly", ofHideReadOnly},
                          {"ofAllowMultiSelect", ofAllowMultiSelect}, {"ofPathMustExist", ofPathMustExist},
                          {"ofFileMustExist", ofFileMustExist}});
  });
  Property<TPrintDialog>("Options", [](TPrintDialog& d, const TFormValue& v) {
    d.Options = SetOf(v, {{"poPrintToFile", poPrintToFile}, {"poPageNums", poPageNums},
                          {"poSelection", poSelection}, {"poDisablePrintToFile", poDisablePrintToFile}});
  });
  Property<TPrintDialog>("FromPage", [](TPrintDialog& d, const TFormValue& v) { d.FromPage = v.AsInt(); });
  Property<TPrintDialog>("ToPage", [](TPrintDialog& d, const TFormValue& v) { d.ToPage = v.AsInt(); });
  Property<TPrintDialog>("MinPage", [](TPrintDialog& d, const TFormValue& v) { d.MinPage = v.AsInt(); });
  Property<TPrintDialog>("MaxPage", [](TPrintDialog& d, const TFormValue& v) { d.MaxPage = v.AsInt(); });
  Property<TPrintDialog>("Copies", [](TPrintDialog& d, const TFormValue& v) { d.Copies = v.AsInt(); });
  Property<TFindDialog>("FindText", [](TFindDialog& d, const TFormValue& v) { d.FindText = v.AsString(); });
  Property<TFindDialog>("Options", [](TFindDialog& d, const TFormValue& v) {
    d.Options = SetOf(v, {{"frDown", frDown}, {"frMatchCase", frMatchCase}, {"frWholeWord", frWholeWord}});
  });
  EventProperty("OnFind", &TFindDialog::OnFind);
  Property<TColorDialog>("Color", [](TColorDialog& d, const TFormValue& v) { d.Color = ColorOf(v); });
  Property<TPageSetupDialog>("Units", [](TPageSetupDialog& d, const TFormValue& v) {
    using U = TPageMeasureUnits;
    d.Units = EnumOf<U>(v, {{"pmMillimeters", U::pmMillimeters}, {"pmInches", U::pmInches}});
  });
  Class<TOpenDialog>("TOpenDialog");
  Class<TSaveDialog>("TSaveDialog");
  Class<TPrintDialog>("TPrintDialog");
  Class<TPrinterSetupDialog>("TPrinterSetupDialog");
  Class<TPageSetupDialog>("TPageSetupDialog");
  Class<TFindDialog>("TFindDialog");
  Class<TFontDialog>("TFontDialog");
  Class<TColorDialog>("TColorDialog");
}

void ChildRules() {
  RegisterChildRule([](TComponent* child, TComponent* container) {
    auto* control = dynamic_cast<TControl*>(child);
    auto* parent = dynamic_cast<TWinControl*>(container);
    if (!control || !parent) return false;
    control->SetParent(parent);
    return true;
  });
  RegisterChildRule([](TComponent* child, TComponent* container) {
    auto* item = dynamic_cast<TMenuItem*>(child);
    if (!item) return false;
    if (auto* menu = dynamic_cast<TMenu*>(container)) menu->Items()->Add(item);
    else if (auto* parent = dynamic_cast<TMenuItem*>(container)) parent->Add(item);
    else return false;
    return true;
  });
  RegisterChildRule([](TComponent* child, TComponent* container) {
    auto* action = dynamic_cast<TCustomAction*>(child);
    auto* list = dynamic_cast<TActionList*>(container);
    if (!action || !list) return false;
    action->SetActionList(list);
    return true;
  });
}

void Classes() {
  Class<TPanel>("TPanel");
  Class<TGroupBox>("TGroupBox");
  Class<TButton>("TButton");
  Class<TBitBtn>("TBitBtn");
  Class<TCheckBox>("TCheckBox");
  Class<TRadioButton>("TRadioButton");
  Class<TEdit>("TEdit");
  Class<TMemo>("TMemo");
  Class<TLabel>("TLabel");
  Class<TScrollBar>("TScrollBar");
  Class<TTimer>("TTimer");
  Class<TListBox>("TListBox");
  Class<TComboBox>("TComboBox");
  Class<TStatusBar>("TStatusBar");
  Class<TToolBar>("TToolBar");
  Class<TToolButton>("TToolButton");
  Class<TCustomImageList>("TImageList");
  Class<TCoolBar>("TCoolBar");
  Class<TPaintBox>("TPaintBox");
  Class<TImage>("TImage");
  Class<TProgressBar>("TProgressBar");
  Class<TPageControl>("TPageControl");
  Class<TTabSheet>("TTabSheet");
  Class<TSpeedButton>("TSpeedButton");
  Class<TSpinEdit>("TSpinEdit");
  Class<TListView>("TListView");
  Class<TScrollBox>("TScrollBox");
  Class<TDateTimePicker>("TDateTimePicker");
  Class<TMainMenu>("TMainMenu");
  Class<TPopupMenu>("TPopupMenu");
  Class<TMenuItem>("TMenuItem");
  Class<TActionList>("TActionList");
  Class<TAction>("TAction");
}

}  // namespace

void form_registry::RegisterWindowClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  Classes();
  ControlProperties();
  FormProperties();
  StandardControlProperties();
  NonVisualProperties();
  ListAndBarProperties();
  PageAndSmallControlProperties();
  ImageDataProperties();
  AnimateProperties();
  DialogProperties();
  ChildRules();
}

}  // namespace lark
