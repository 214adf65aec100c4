#include "app/font_colors_form.h"

#include <cstring>

#include "app/language.h"
#include "controls/color_combos.h"
#include "platform/windows/button.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/label.h"
#include "platform/windows/small_controls.h"
#include "viewer/html_viewer.h"

namespace lark {
namespace {

// Every value the dialog sets shows on it: text, a link, bold, italic and
// fixed-pitch text.
constexpr const char* kSamplePage =
    "<center><h1>Heading</h1></center><ul>Some normal text.<li><a href=NoWhere>HotSpot Item</a>"
    "<li><b>Bold Text</b><li><i>Italicized Text</i><li><code>Code Text</code></ul> <hr>";

template <typename T>
T* Named(TForm& form, const char* name) {
  return dynamic_cast<T*>(form.FindComponent(name));
}

// Moves `box` to `color` unless it is there; its change handler is told
// apart by `moving`.
void MoveColorBox(TColorComboBox& box, TColor color, bool& moving) {
  if (box.ColorValue() == color) return;
  moving = true;
  box.SetColorValue(color);
  moving = false;
}

}  // namespace

TfrmFontColors::TfrmFontColors(TComponent* owner) : TForm(owner) {
  LoadFormResource(this, "frmFontColors");
  FontViewer = Named<THTMLViewer>(*this, "FontViewer");
  fcbFontName = Named<TFontComboBox>(*this, "fcbFontName");
  seFontSize = Named<TSpinEdit>(*this, "seFontSize");
  ccbBackground = Named<TColorComboBox>(*this, "ccbBackground");
  ccbFont = Named<TColorComboBox>(*this, "ccbFont");
  ccbHotSpot = Named<TColorComboBox>(*this, "ccbHotSpot");
  ccbOverLink = Named<TColorComboBox>(*this, "ccbOverLink");
  ccbVisitedLink = Named<TColorComboBox>(*this, "ccbVisitedLink");
  lbFontName = Named<TLabel>(*this, "lbFontName");
  lbFont = Named<TLabel>(*this, "lbFont");
  lbFontSize = Named<TLabel>(*this, "lbFontSize");
  lbOverLink = Named<TLabel>(*this, "lbOverLink");
  lbBackground = Named<TLabel>(*this, "lbBackground");
  lbHotSpot = Named<TLabel>(*this, "lbHotSpot");
  lbVisitedLink = Named<TLabel>(*this, "lbVisitedLink");
  btReset = Named<TButton>(*this, "btReset");
  btOk = Named<TButton>(*this, "btOk");
  btCancel = Named<TButton>(*this, "btCancel");
  LoadSample();
}

void TfrmFontColors::ApplyLanguage(const TLanguage& language) {
  std::string text;
  const auto caption = [&](const char* id, TControl* control) {
    if (language.GetText(id, text)) control->SetCaption(text);
  };
  caption("20", lbFontName), caption("21", lbFont), caption("22", lbFontSize), caption("23", lbOverLink);
  caption("24", lbBackground), caption("25", lbHotSpot), caption("26", lbVisitedLink), caption("27", btReset);
  caption("4", btOk), caption("5", btCancel);
}

void TfrmFontColors::FormActivate(TObject*) { remembered_ = Values(); }

void TfrmFontColors::btResetClick(TObject*) { SetValues(remembered_); }

void TfrmFontColors::SetValues(const TFontColorValues& values) {
  SetBackground(values.Background);
  SetFontColor(values.FontColor);
  SetHotSpotColor(values.HotSpotColor);
  SetOverLinkColor(values.OverLinkColor);
  SetVisitedLinkColor(values.VisitedLinkColor);
  SetFontName(values.FontName);
  SetFontSize(values.FontSize);
}

TFontColorValues TfrmFontColors::Values() const {
  return {FontViewer->DefBackground(),    FontViewer->DefFontColor,     FontViewer->DefHotSpotColor(),
          FontViewer->DefOverLinkColor(), FontViewer->DefVisitedLinkColor(), FontViewer->DefFontName,
          FontViewer->DefFontSize()};
}

void TfrmFontColors::LoadSample() { FontViewer->LoadFromBuffer(kSamplePage, std::strlen(kSamplePage)); }

void TfrmFontColors::SetBackground(TColor color) {
  MoveColorBox(*ccbBackground, color, moving_);
  // The viewer repaints in the new colour; the page itself stays.
  FontViewer->SetDefBackground(color);
}

void TfrmFontColors::SetFontColor(TColor color) {
  MoveColorBox(*ccbFont, color, moving_);
  FontViewer->DefFontColor = color;
  LoadSample();
}

void TfrmFontColors::SetHotSpotColor(TColor color) {
  MoveColorBox(*ccbHotSpot, color, moving_);
  FontViewer->SetDefHotSpotColor(color);
  LoadSample();
}

void TfrmFontColors::SetOverLinkColor(TColor color) {
  MoveColorBox(*ccbOverLink, color, moving_);
  FontViewer->SetDefOverLinkColor(color);
  LoadSample();
}

void TfrmFontColors::SetVisitedLinkColor(TColor color) {
  MoveColorBox(*ccbVisitedLink, color, moving_);
  FontViewer->SetDefVisitedLinkColor(color);
  LoadSample();
}

void TfrmFontColors::SetFontName(const std::string& name) {
  if (fcbFontName->FontName() != name) {
    moving_ = true;
    fcbFontName->SetFontName(name);
    moving_ = false;
  }
  FontViewer->DefFontName = name;
  LoadSample();
}

void TfrmFontColors::SetFontSize(int size) {
  if (seFontSize->Value() != size) {
    moving_ = true;
    seFontSize->SetValue(size);
    moving_ = false;
  }
  FontViewer->SetDefFontSize(size);
  LoadSample();
}

void TfrmFontColors::ControlChange(TObject* sender) {
  if (moving_) return;
  if (sender == ccbBackground) SetBackground(ccbBackground->ColorValue());
  if (sender == ccbFont) SetFontColor(ccbFont->ColorValue());
  if (sender == ccbHotSpot) SetHotSpotColor(ccbHotSpot->ColorValue());
  if (sender == ccbOverLink) SetOverLinkColor(ccbOverLink->ColorValue());
  if (sender == ccbVisitedLink) SetVisitedLinkColor(ccbVisitedLink->ColorValue());
  if (sender == fcbFontName) SetFontName(fcbFontName->FontName());
  if (sender == seFontSize) SetFontSize(seFontSize->Value());
}

}  // namespace lark
