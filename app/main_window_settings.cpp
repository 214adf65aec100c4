// The main window's sections of the settings file: read once at creation,
// written once at destruction.
#include <algorithm>

#include "app/language.h"
#include "app/main_window.h"
#include "controls/adv_status_bar.h"
#include "controls/form_placement.h"
#include "platform/windows/label.h"
#include "platform/core/exception.h"
#include "platform/core/ini_file.h"
#include "platform/windows/action.h"
#include "platform/windows/bars.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/menus.h"
#include "platform/windows/panel.h"
#include "platform/windows/system_menu.h"
#include "platform/windows/timer.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

struct ButtonKey {
  const char* key;
  TAction* TfrmMain::*action;
};

// The "Buttons" keys and the actions whose visibility they hold, in the
// order they are read and written.
constexpr ButtonKey kButtonKeys[] = {
    {"Back", &TfrmMain::actionBack},       {"Forward", &TfrmMain::actionForward},
    {"Stop", &TfrmMain::actionStop},       {"Reload", &TfrmMain::actionReload},
    {"Home", &TfrmMain::actionHome},       {"Search", &TfrmMain::actionSearch},
    {"Add", &TfrmMain::actionAddCurrentDocumentsHere}, {"Open", &TfrmMain::actionFileOpen},
    {"Save", &TfrmMain::actionFileSave},   {"Preview", &TfrmMain::actionPreview},
    {"Print", &TfrmMain::actionPrint},
};

bool On(const TMemIniFile& ini, const char* section, const char* key, int fallback = 1) {
  return ini.ReadInteger(section, key, fallback) == 1;
}

std::string Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

void TfrmMain::LoadSettings() {
  TMemIniFile ini(GetIniFileName());
  ApplyButtonSettings(ini);
  LanguageId = ini.ReadInteger("FormMain", "Language", 1);
  if (ini.ReadInteger("FormMain", "Resize", 1) == 0) {
    SetBorderStyle(TFormBorderStyle::bsSingle);
    SetBorderIcons(BorderIcons() & ~biMaximize);
  }
  ApplyBarSettings(ini);
  if (!HomeGiven) cbAddress->SetText(ini.ReadString("Address", "CurrentAddress", ""));
  for (int i = 0; i < kAddressHistoryKeys; ++i) {
    std::string entry = ini.ReadString("Address", std::to_string(i), "");
    if (!entry.empty()) cbAddress->Items().Add(entry);
  }
  ApplyBrowserSettings(ini);
  HomeType = ini.ReadInteger("HomePage", "Type", 0);
  HomeAddress = ini.ReadString("HomePage", "Address", "");
  LoadHomePageAfter = On(ini, "HomePage", "LoadHomePageAfter", 0);
  // Bounded so that the interval in milliseconds cannot overflow.
  SecondsIdleTime = std::clamp(ini.ReadInteger("HomePage", "SecondsIdleTime", 5), 1, kMaxSecondsIdleTime);
  if (LoadHomePageAfter) timerHome->SetInterval(static_cast<unsigned>(SecondsIdleTime) * 1000u);
  else timerHome->SetEnabled(false);
  ProxyHost = ini.ReadString("Proxy", "Proxy", "");
  ProxyPort = ini.ReadInteger("Proxy", "Port", 80);
}

void TfrmMain::ApplyButtonSettings(const TMemIniFile& ini) {
  for (const ButtonKey& button : kButtonKeys) (this->*button.action)->SetVisible(On(ini, "Buttons", button.key));
  const bool closeOn = On(ini, "Buttons", "Close");
  actionExit->SetEnabled(closeOn);
  if (!closeOn) {
    SystemMenu().EnableItem(SC_CLOSE, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
    SystemMenuChanged();
  }
}

void TfrmMain::ApplyBarSettings(const TMemIniFile& ini) {
  SetToolbarStyle(ini.ReadInteger("Bar", "StyleButtons", 0));
  const bool menuBar = On(ini, "Bar", "MenuBar");
  actionMenuBar->SetChecked(menuBar);
  ShowMenuBar(menuBar);
  const bool admin = On(ini, "Bar", "Admin");
  tbInternetButtons->SetPopupMenu(admin ? pmToolBar : nullptr);
  lbAddress->SetPopupMenu(admin ? pmToolBar : nullptr);
  StatusBar->SetPopupMenu(admin ? pmViewBars : nullptr);
  for (TAction* action : {actionMenuBar, actionButtonBars, actionDirectoryButtons, actionAddressBar, actionStatusBar})
    action->SetVisible(admin);
  miCustomize->SetVisible(On(ini, "Bar", "CustButton"));
  const std::pair<const char*, std::pair<TAction*, TControl*>> bars[] = {
      {"DirectoryButtons", {actionDirectoryButtons, gbDirectoryButtons}},
      {"PanelAddress", {actionAddressBar, PanelAddress}},
      {"StatusBar", {actionStatusBar, StatusBar}},
      {"ButtonsBars", {actionButtonBars, CoolBar}},
  };
  for (const auto& [key, bar] : bars) {
    const bool shown = On(ini, "Bar", key);
    bar.first->SetChecked(shown);
    bar.second->SetVisible(shown);
  }
}

void TfrmMain::ApplyBrowserSettings(const TMemIniFile& ini) {
  SetCharSet(ini.ReadInteger("FrameBrowser", "CharSet", 1));
  FrameBrowser->SetDefBackground(ini.ReadInteger("FrameBrowser", "DefBackground", clWindow));
  FrameBrowser->SetDefFontColor(ini.ReadInteger("FrameBrowser", "DefFontColor", clBtnText));
  FrameBrowser->SetDefFontName(ini.ReadString("FrameBrowser", "DefFontName", "Times New Roman"));
  FrameBrowser->SetDefFontSize(ini.ReadInteger("FrameBrowser", "DefFontSize", 12));
  FrameBrowser->SetDefHotSpotColor(ini.ReadInteger("FrameBrowser", "DefHotSpotColor", clBlue));
  FrameBrowser->SetDefOverLinkColor(ini.ReadInteger("FrameBrowser", "DefOverLinkColor", clBlue));
  FrameBrowser->SetDefPreFontName(ini.ReadString("FrameBrowser", "DefPreFontName", "Courier New"));
  FrameBrowser->SetDefVisitedLinkColor(ini.ReadInteger("FrameBrowser", "DefVisitedLinkColor", clPurple));
}

void TfrmMain::WriteIniValue(const std::string& section, const std::string& key, const std::string& value) {
  TIniFile ini(GetIniFileName());
  ini.WriteString(section, key, value);
}

// Value by value, each write atomic. A file that cannot be written (read
// only, a full disk, a folder made a file) ends the writing but never the
// exit: the window goes whatever happens to its settings.
void TfrmMain::WriteSettings() {
  try {
    // Switched off ("/nowindowstate") it has no file of ours and would write
    // the program's default one.
    if (FormPlacement->Active) FormPlacement->SaveFormPlacement();
  } catch (const Exception&) {
    // The placement is lost; the values below may still be written.
  }
  try {
    for (const ButtonKey& button : kButtonKeys)
      WriteIniValue("Buttons", button.key, Flag((this->*button.action)->Visible()));
    WriteIniValue("FormMain", "WindowState", std::to_string(static_cast<int>(WindowState())));
    const int language = Language ? Language->LanguageIndex() : 0;
    WriteIniValue("FormMain", "Language", std::to_string(language == 0 ? 1 : language));
    WriteIniValue("Bar", "MenuBar", Flag(miFile->Visible()));
    WriteIniValue("Bar", "DirectoryButtons", Flag(gbDirectoryButtons->Visible()));
    WriteIniValue("Bar", "PanelAddress", Flag(PanelAddress->Visible()));
    WriteIniValue("Bar", "StatusBar", Flag(StatusBar->Visible()));
    WriteIniValue("Bar", "ButtonsBars", Flag(actionButtonBars->Checked()));
    int style = 0;
    if (actionImageCaption->Checked()) style = 0;
    if (actionImageOnly->Checked()) style = 1;
    if (actionCaptionOnly->Checked()) style = 2;
    WriteIniValue("Bar", "StyleButtons", std::to_string(style));
    WriteIniValue("Address", "CurrentAddress", cbAddress->GetText());
    for (int i = 0; i < kAddressHistoryKeys; ++i)
      WriteIniValue("Address", std::to_string(i), i < cbAddress->Items().Count() ? cbAddress->Items().Get(i) : "");
    WriteIniValue("FrameBrowser", "CharSet", std::to_string(FrameBrowser->CharSet()));
    WriteIniValue("FrameBrowser", "DefBackground", std::to_string(FrameBrowser->DefBackground()));
    WriteIniValue("FrameBrowser", "DefFontColor", std::to_string(FrameBrowser->DefFontColor()));
    WriteIniValue("FrameBrowser", "DefFontName", FrameBrowser->DefFontName());
    WriteIniValue("FrameBrowser", "DefFontSize", std::to_string(FrameBrowser->DefFontSize()));
    WriteIniValue("FrameBrowser", "DefHotSpotColor", std::to_string(FrameBrowser->DefHotSpotColor()));
    WriteIniValue("FrameBrowser", "DefOverLinkColor", std::to_string(FrameBrowser->DefOverLinkColor()));
    WriteIniValue("FrameBrowser", "DefPreFontName", FrameBrowser->DefPreFontName());
    WriteIniValue("FrameBrowser", "DefVisitedLinkColor", std::to_string(FrameBrowser->DefVisitedLinkColor()));
    WriteIniValue("HomePage", "Type", std::to_string(HomeType));
    WriteIniValue("HomePage", "Address", HomeAddress);
    WriteIniValue("HomePage", "LoadHomePageAfter", Flag(LoadHomePageAfter));
    WriteIniValue("HomePage", "SecondsIdleTime", std::to_string(SecondsIdleTime));
    WriteIniValue("Proxy", "Proxy", ProxyHost);
    WriteIniValue("Proxy", "Port", std::to_string(ProxyPort));
  } catch (const Exception&) {
    // Nothing more can be kept; the exit goes on.
  }
}

}  // namespace lark
