// THTMLViewer as form resources name it and its published surface.
#include "viewer/viewer_form_class.h"

#include "viewer/html_viewer.h"
#include "platform/windows/form_registry.h"

namespace lark {

namespace {

using namespace form_registry;
using V = THTMLViewer;

void Int(const std::string& name, void (V::*set)(int)) {
  Property<V>(name, [set](V& v, const TFormValue& value) { (v.*set)(value.AsInt()); });
}
void IntMember(const std::string& name, int V::*member) {
  Property<V>(name, [member](V& v, const TFormValue& value) { v.*member = value.AsInt(); });
}
void Colour(const std::string& name, void (V::*set)(TColor)) {
  Property<V>(name, [set](V& v, const TFormValue& value) { (v.*set)(ColorOf(value)); });
}
void Margin(const std::string& name, double V::*member) {
  Property<V>(name, [member](V& v, const TFormValue& value) {
    v.*member = value.kind == TFormValue::Kind::Float ? value.number : value.AsInt();
  });
}
// An event given through a setter (copied into the document at once).
template <typename Event>
void EventSetter(const std::string& name, void (V::*set)(Event)) {
  RegisterProperty(
      name, [](TObject* o) { return dynamic_cast<V*>(o) != nullptr; },
      [name, set](TObject* o, const TFormValue& value, TFormReader& reader) {
        std::any handler = reader.Handler(value.AsIdent());
        const Event* event = std::any_cast<Event>(&handler);
        if (!event) throw EFormResourceError("handler " + value.AsIdent() + " does not fit " + name);
        (dynamic_cast<V*>(o)->*set)(*event);
      });
}

void Properties() {
  Property<V>("ViewImages", [](V& v, const TFormValue& value) { v.SetViewImages(value.AsBool()); });
  Colour("DefBackground", &V::SetDefBackground);
  Property<V>("BorderStyle", [](V& v, const TFormValue& value) {
    v.SetBorderStyle(EnumOf<THTMLBorderStyle>(value, {{"htFocused", THTMLBorderStyle::htFocused},
                                                      {"htNone", THTMLBorderStyle::htNone},
                                                      {"htSingle", THTMLBorderStyle::htSingle}}));
  });
  Int("HistoryMaxCount", &V::SetHistoryMaxCount);
  Property<V>("DefFontName", [](V& v, const TFormValue& value) { v.DefFontName = value.AsString(); });
  Property<V>("DefPreFontName", [](V& v, const TFormValue& value) { v.SetDefPreFontName(value.AsString()); });
  Int("DefFontSize", &V::SetDefFontSize);
  Property<V>("DefFontColor", [](V& v, const TFormValue& value) { v.DefFontColor = ColorOf(value); });
  Colour("DefHotSpotColor", &V::SetDefHotSpotColor);
  Colour("DefVisitedLinkColor", &V::SetDefVisitedLinkColor);
  Colour("DefOverLinkColor", &V::SetDefOverLinkColor);
  Int("VisitedMaxCount", &V::SetVisitedMaxCount);
  Int("ImageCacheCount", &V::SetImageCacheCount);
  Property<V>("NoSelect", [](V& v, const TFormValue& value) { v.SetNoSelect(value.AsBool()); });
  Property<V>("ScrollBars", [](V& v, const TFormValue& value) {
    v.SetScrollBarsStyle(EnumOf<TScrollStyle>(value, {{"ssNone", TScrollStyle::ssNone},
                                                      {"ssHorizontal", TScrollStyle::ssHorizontal},
                                                      {"ssVertical", TScrollStyle::ssVertical},
                                                      {"ssBoth", TScrollStyle::ssBoth}}));
  });
  IntMember("CharSet", &V::CharSet);
  IntMember("MarginHeight", &V::MarginHeight);
  IntMember("MarginWidth", &V::MarginWidth);
  Property<V>("ServerRoot", [](V& v, const TFormValue& value) { v.SetServerRoot(value.AsString()); });
  Margin("PrintMarginLeft", &V::PrintMarginLeft);
  Margin("PrintMarginRight", &V::PrintMarginRight);
  Margin("PrintMarginTop", &V::PrintMarginTop);
  Margin("PrintMarginBottom", &V::PrintMarginBottom);
  Property<V>("htOptions", [](V& v, const TFormValue& value) {
    v.SethtOptions(SetOf(value, {{"htOverLinksActive", htOverLinksActive},
                                 {"htNoLinkUnderline", htNoLinkUnderline},
                                 {"htPrintTableBackground", htPrintTableBackground},
                                 {"htPrintMonochromeBlack", htPrintMonochromeBlack},
                                 {"htShowDummyCaret", htShowDummyCaret},
                                 {"htShowVScroll", htShowVScroll}}));
  });
}

void Events() {
  EventProperty<V>("OnHotSpotCovered", &V::OnHotSpotCovered);
  EventProperty<V>("OnHotSpotClick", &V::OnHotSpotClick);
  EventProperty<V>("OnImageClick", &V::OnImageClick);
  EventProperty<V>("OnImageOver", &V::OnImageOver);
  EventProperty<V>("OnRightClick", &V::OnRightClick);
  EventProperty<V>("OnMouseDouble", &V::OnMouseDouble);
  EventProperty<V>("OnHistoryChange", &V::OnHistoryChange);
  EventProperty<V>("OnProcessing", &V::OnProcessing);
  EventProperty<V>("OnParseBegin", &V::OnParseBegin);
  EventProperty<V>("OnSoundRequest", &V::OnSoundRequest);
  EventProperty<V>("OnMeta", &V::OnMeta);
  EventProperty<V>("OnMetaRefresh", &V::OnMetaRefresh);
  EventProperty<V>("OnInclude", &V::OnInclude);
  EventProperty<V>("OnhtStreamRequest", &V::OnhtStreamRequest);
  EventProperty<V>("OnPrintHeader", &V::OnPrintHeader);
  EventProperty<V>("OnPrintFooter", &V::OnPrintFooter);
  EventSetter("OnFormSubmit", &V::SetOnFormSubmit);
  EventSetter("OnImageRequest", &V::SetOnImageRequest);
  EventSetter("OnBitmapRequest", &V::SetOnBitmapRequest);
  EventSetter("OnScript", &V::SetOnScript);
  EventSetter("OnObjectClick", &V::SetOnObjectClick);
  EventSetter("OnPanelCreate", &V::SetOnPanelCreate);
  EventSetter("OnPanelDestroy", &V::SetOnPanelDestroy);
  EventSetter("OnPanelPrint", &V::SetOnPanelPrint);
  EventSetter("OnDragDrop", &V::SetOnDragDrop);
  EventSetter("OnDragOver", &V::SetOnDragOver);
}

}  // namespace

void RegisterViewerClass() {
  static bool done = false;
  if (done) return;
  done = true;
  // After the layer's own, so that a property of the same name is ours for
  // the viewer.
  RegisterWindowClasses();
  Class<V>("THTMLViewer");
  Properties();
  Events();
}

}  // namespace lark
