// The main window's texts from the language file, and the language menu.
#include <string_view>

#include "app/language.h"
#include "app/main_window.h"
#include "platform/core/string_routines.h"
#include "platform/windows/action.h"
#include "platform/windows/control.h"
#include "platform/windows/menus.h"

namespace lark {
namespace {

enum class WithHint { No, Yes };

struct TTextTarget {
  int Id;
  const char* Name;
  WithHint Hint;
};

// Which text of the language each component shows. An action's entries and
// buttons follow it; menu entries named here have none.
constexpr TTextTarget kMainWindowTexts[] = {
    {72, "lbAddress", WithHint::No},
    {73, "miOpenInNewWindow", WithHint::No},
    {74, "actionBack", WithHint::Yes},
    {74, "miBack", WithHint::No},
    {75, "actionForward", WithHint::Yes},
    {75, "miForward", WithHint::No},
    {76, "actionStop", WithHint::Yes},
    {76, "miStop", WithHint::No},
    {77, "actionReload", WithHint::Yes},
    {77, "miReload", WithHint::No},
    {78, "actionHome", WithHint::Yes},
    {78, "miHome", WithHint::No},
    {79, "miCopyText", WithHint::No},
    {80, "miCopyLink", WithHint::No},
    {81, "miSelectedAll", WithHint::No},
    {82, "miEncoding", WithHint::No},
    {83, "miArabic", WithHint::No},
    {84, "miBaltic", WithHint::No},
    {85, "miChineSebig5", WithHint::No},
    {86, "miDefault", WithHint::No},
    {87, "miEastEurope", WithHint::No},
    {88, "miGb2312", WithHint::No},
    {89, "miGreek", WithHint::No},
    {90, "miHangeul", WithHint::No},
    {91, "miHebrew", WithHint::No},
    {92, "miJohab", WithHint::No},
    {93, "miMac", WithHint::No},
    {94, "miRussian", WithHint::No},
    {95, "miShiftfis", WithHint::No},
    {96, "miSymbol", WithHint::No},
    {97, "miThai", WithHint::No},
    {98, "miTurkish", WithHint::No},
    {100, "miCloseFullScreen", WithHint::No},
    {101, "miFile", WithHint::No},
    {102, "miEdit", WithHint::No},
    {103, "miView", WithHint::No},
    {103, "miView1", WithHint::No},
    {104, "miBookmarks", WithHint::No},
    {105, "miOptions", WithHint::No},
    {106, "miHelp", WithHint::No},
    {107, "actionFileOpen", WithHint::Yes},
    {108, "actionPrint", WithHint::Yes},
    {109, "actionPreview", WithHint::Yes},
    {110, "actionPageSetup", WithHint::Yes},
    {111, "actionExit", WithHint::No},
    {113, "actionCopy", WithHint::Yes},
    {114, "actionSelectAll", WithHint::Yes},
    {115, "actionFind", WithHint::No},
    {116, "actionFindNext", WithHint::No},
    {118, "actionMenuBar", WithHint::No},
    {119, "actionDirectoryButtons", WithHint::No},
    {120, "actionButtonBars", WithHint::No},
    {121, "actionAddressBar", WithHint::No},
    {122, "actionStatusBar", WithHint::No},
    {123, "actionNavigation", WithHint::No},
    {124, "actionFontColors", WithHint::No},
    {125, "actionSource", WithHint::No},
    {126, "actionFullScreen", WithHint::No},
    {127, "actionAddCurrentDocumentsHere", WithHint::Yes},
    {129, "actionHomePage", WithHint::No},
    {130, "actionProxy", WithHint::No},
    {131, "actionAbout", WithHint::No},
    {132, "actionGoTo", WithHint::Yes},
    {133, "actionImageCaption", WithHint::No},
    {134, "actionImageOnly", WithHint::No},
    {135, "actionCaptionOnly", WithHint::No},
    {136, "miCustomize", WithHint::No},
    {179, "actionFileSave", WithHint::Yes},
    {180, "actionSearch", WithHint::Yes},
    {185, "miLanguage", WithHint::No},
};

std::string CaptionOf(const TComponent* c) {
  if (auto* item = dynamic_cast<const TMenuItem*>(c)) return item->Caption();
  if (auto* action = dynamic_cast<const TCustomAction*>(c)) return action->Caption();
  if (auto* control = dynamic_cast<const TControl*>(c)) return control->Caption();
  return {};
}

void SetCaptionOf(TComponent* c, const std::string& text) {
  if (auto* item = dynamic_cast<TMenuItem*>(c)) item->SetCaption(text);
  else if (auto* action = dynamic_cast<TCustomAction*>(c)) action->SetCaption(text);
  else if (auto* control = dynamic_cast<TControl*>(c)) control->SetCaption(text);
}

}  // namespace

// A component whose text the language lacks shows its built-in text again,
// not the one an earlier language gave it.
void TfrmMain::ApplyLanguage() {
  for (const TTextTarget& target : kMainWindowTexts) {
    TComponent* component = FindComponent(target.Name);
    if (!component) continue;
    auto* action = dynamic_cast<TCustomAction*>(component);
    auto builtIn = BuiltInTexts.find(component);
    if (builtIn == BuiltInTexts.end())
      builtIn = BuiltInTexts.emplace(component, TBuiltInText{CaptionOf(component), action ? action->Hint : ""}).first;
    std::string text;
    const bool found = Language->GetText(std::to_string(target.Id), text);
    SetCaptionOf(component, found ? text : builtIn->second.Caption);
    if (action && target.Hint == WithHint::Yes)
      action->Hint = found ? StringReplace(text, "&", "", ReplaceAll::Yes) : builtIn->second.Hint;
  }
  std::string languageText;
  miLanguage->SetVisible(Language->GetText("185", languageText));
  if (miLanguage->Visible()) RebuildLanguageMenu();
}

void TfrmMain::RebuildLanguageMenu() {
  DetachMenuItems(miLanguage, 0);
  for (const TLanguageEntry& entry : Language->Languages()) {
    auto* item = new TMenuItem(nullptr);
    std::string name;
    // Every language has an "l" text for every number, empty when its line
    // is missing: the item then shows the language's own name.
    if (!Language->GetText("l" + std::to_string(entry.Number), name) || name.empty()) name = entry.Name;
    item->SetCaption(name);
    item->Tag = entry.Number;
    item->RadioItem = true;
    item->SetChecked(entry.Number == Language->LanguageIndex());
    item->OnClick = std::bind(&TfrmMain::LNGMenuItemClick, this, std::placeholders::_1);
    miLanguage->Add(item);
  }
}

void TfrmMain::LNGMenuItemClick(TObject* sender) {
  Language->SetLanguage(static_cast<int>(dynamic_cast<TMenuItem*>(sender)->Tag));
  ApplyLanguage();
}

}  // namespace lark
