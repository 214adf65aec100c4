// The main window's commands, its bars, menus and language texts.
#include <algorithm>

#include "app/disk_cache.h"
#include "app/language.h"
#include "app/main_window.h"
#include "app/options.h"
#include "app/url_connection.h"
#include "controls/adv_status_bar.h"
#include "controls/toolbar_button.h"
#include "platform/core/file_routines.h"
#include "platform/core/string_routines.h"
#include "platform/windows/action.h"
#include "platform/windows/animate.h"
#include "platform/windows/application.h"
#include "platform/windows/bars.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/label.h"
#include "platform/windows/menus.h"
#include "platform/windows/panel.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

// Where the online manual lives; the address box opens it like any address.
constexpr const char* kOnlineManualURL = "https://larkspan.org/manual/";


}  // namespace

// Menu items built at run time belong to their menu. Their own click may be
// what rebuilds the menu, so the old ones go once that click has returned.
void DetachMenuItems(TMenuItem* parent, int from) {
  while (parent->Count() > from) {
    TMenuItem* item = parent->Items(parent->Count() - 1);
    parent->Remove(item);
    FreeAfterDispatch(std::unique_ptr<TObject>(item));
  }
}

// ---- navigation commands ----

void TfrmMain::actionHomeExecute(TObject*) {
  miHome->SetEnabled(false);
  SetGoDefault(false);
  switch (HomeType) {
    case 0:
      cbAddress->SetText("");
      if (!FirstActivation) FrameBrowser->ClearHistory();
      FocusBrowser();
      break;
    case 1:
      // Closing the dialog activates the window again: its start-up step
      // must not show the dialog once more.
      FirstActivation = false;
      actionSearch->Execute();
      break;
    default:
      if (AddressText != HomeAddress) {
        AddressText = HomeAddress;
        cbAddress->SetText(HomeAddress);
        HomeLoaded = true;
        PostStartURL();
      } else if (HomeLoaded) {
        actionReload->Execute();
      } else {
        HomeLoaded = true;
        PostStartURL();
      }
      break;
  }
  miHome->SetEnabled(true);
  FirstActivation = false;
}

void TfrmMain::actionStopExecute(TObject*) {
  AbortConnection();
  ClearImageQueues();
  StopBusy();
  Application()->ProcessMessages();
}

void TfrmMain::actionReloadExecute(TObject*) {
  actionReload->SetEnabled(false);
  ReloadMode = true;
  FrameBrowser->Reload();
  actionReload->SetEnabled(true);
  SetGoDefault(false);
  FocusBrowser();
}

void TfrmMain::actionBackExecute(TObject*) { FrameBrowser->GoBack(); }

void TfrmMain::actionForwardExecute(TObject*) { FrameBrowser->GoFwd(); }

void TfrmMain::actionExitExecute(TObject*) { Close(); }

void TfrmMain::actionCopyExecute(TObject*) { FrameBrowser->CopyToClipboard(); }

void TfrmMain::actionSelectAllExecute(TObject*) { FrameBrowser->SelectAll(); }

void TfrmMain::miCopyTextClick(TObject*) { actionCopyExecute(nullptr); }

void TfrmMain::miSelectedAllClick(TObject*) { actionSelectAllExecute(nullptr); }

void TfrmMain::actionFileOpenExecute(TObject*) {
  if (OpenDialog->Execute()) OpenLocalFile(OpenDialog->FileName);
}

void TfrmMain::actionNavigationExecute(TObject*) {}

void TfrmMain::OnlineManual1Click(TObject*) {
  cbAddress->SetText(kOnlineManualURL);
  PostStartURL();
}

void TfrmMain::MNU_ShowImages1Click(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  item->SetChecked(!item->Checked());
  FrameBrowser->SetViewImages(item->Checked());
}

void TfrmMain::ClearAll1Click(TObject*) {
  if (CacheDir.empty()) return;
  TSearchRec rec;
  for (int found = FindFirst(CacheDir + "*.*", 0, rec); found == 0; found = FindNext(rec))
    DeleteFile(CacheDir + rec.Name);
  FindClose(rec);
}

// ---- bars ----

void TfrmMain::ShowMenuBar(bool visible) {
  for (TMenuItem* item : {miFile, miEdit, miView, miOptions, miHelp}) item->SetVisible(visible);
  miBookmarks->SetVisible(visible && !CdromMode);
  tbInternetButtons->SetEdgeBorders(visible ? ebTop : 0);
}

namespace {

void Toggle(TAction* action, TControl* bar) {
  action->SetChecked(!action->Checked());
  bar->SetVisible(action->Checked());
}

}  // namespace

void TfrmMain::actionMenuBarExecute(TObject*) {
  actionMenuBar->SetChecked(!actionMenuBar->Checked());
  ShowMenuBar(actionMenuBar->Checked());
}

void TfrmMain::actionButtonBarsExecute(TObject*) { Toggle(actionButtonBars, CoolBar); }

void TfrmMain::actionDirectoryButtonsExecute(TObject*) { Toggle(actionDirectoryButtons, gbDirectoryButtons); }

void TfrmMain::actionAddressBarExecute(TObject*) { Toggle(actionAddressBar, PanelAddress); }

void TfrmMain::actionStatusBarExecute(TObject*) { Toggle(actionStatusBar, StatusBar); }

void TfrmMain::actionImageCaptionExecute(TObject*) { SetToolbarStyle(0); }

void TfrmMain::actionImageOnlyExecute(TObject*) { SetToolbarStyle(1); }

void TfrmMain::actionCaptionOnlyExecute(TObject*) { SetToolbarStyle(2); }

void TfrmMain::SetToolbarStyle(int style) {
  style %= 128;
  actionImageCaption->SetChecked(style == 0);
  actionImageOnly->SetChecked(style == 1);
  actionCaptionOnly->SetChecked(style == 2);
  const bool images = style != 2;
  tbInternetButtons->SetImages(images ? ImageList2 : nullptr);
  tbInternetButtons->SetHotImages(images ? HotList : nullptr);
  tbInternetButtons->SetShowCaptions(style != 1);
  if (CoolBar->BandCount() > 1) CoolBar->Bands(1).SetVisible(style == 0);
  int height = 40;
  if (style == 1) {
    tbInternetButtons->SetButtonWidth(23);
    tbInternetButtons->SetButtonHeight(22);
    height = 26;
  } else if (style == 2) {
    height = 22;
  } else {
    tbInternetButtons->SetButtonWidth(56);
    tbInternetButtons->SetButtonHeight(40);
  }
  tbInternetButtons->SetHeight(height);
  CoolBar->SetHeight(height);
}

// ---- directory buttons ----

void TfrmMain::RebuildDirectoryButtons() {
  for (TToolbarButton* button : btPDB) {
    button->SetCaption("");
    button->Hint.clear();
    button->SetVisible(false);
    button->SetEnabled(false);
  }
  int used = 0;
  for (int entry = 0; entry < kDirectoryButtons && used < 10; ++entry) {
    std::string caption, file;
    Options->ReadDirectory(entry, caption, file);
    if (caption.empty()) continue;
    TToolbarButton* button = btPDB[used++];
    button->SetCaption(caption);
    button->Hint = caption + "\n" + file;
    button->Tag = entry;
    button->SetVisible(true);
    button->SetEnabled(true);
  }
  PlaceDirectoryButtons(true);
}

void TfrmMain::PlaceDirectoryButtons(bool stretchLast) {
  std::vector<TToolbarButton*> shown;
  for (TToolbarButton* button : btPDB)
    if (button->Visible()) shown.push_back(button);
  if (shown.empty()) return;
  const int width = std::max(1, (gbDirectoryButtons->Width() - btConfigDB->Width()) / static_cast<int>(shown.size()));
  int x = 4;
  for (TToolbarButton* button : shown) {
    int w = width;
    if (stretchLast && button == shown.back()) w = std::max(1, btConfigDB->Left() - x);
    button->SetBounds(x, button->Top(), w, button->Height());
    x += width;
  }
}

void TfrmMain::FormResize(TObject*) {
  if (gbDirectoryButtons) PlaceDirectoryButtons(false);
}

// ---- bookmarks menu ----

void TfrmMain::RemoveBookmarkItems() {
  const int manager = [this] {
    for (int i = 0; i < miBookmarks->Count(); ++i)
      if (miBookmarks->Items(i)->Caption() == "Manager") return i;
    return miBookmarks->Count() - 1;
  }();
  DetachMenuItems(miBookmarks, manager + 1);
}

void TfrmMain::RebuildBookmarksMenu() {
  if (Options->BookmarkCount() == 0) return;
  RemoveBookmarkItems();
  auto* line = new TMenuItem(nullptr);
  line->SetCaption("-");
  miBookmarks->Add(line);
  for (int i = 0; i <= kMaxBookmarkIndex; ++i) {
    const std::string name = Options->GetBookmarkName(i);
    if (name.empty()) continue;
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(name);
    item->Tag = i;
    item->ImageIndex = 13;
    item->OnClick = std::bind(&TfrmMain::BookmarkMenuItemClick, this, std::placeholders::_1);
    miBookmarks->Add(item);
  }
}

// ---- character sets ----

void TfrmMain::SetCharSet(int charSet) {
  for (int i = 0; i < miEncoding->Count(); ++i) {
    TMenuItem* item = miEncoding->Items(i);
    item->SetChecked(item->Tag == charSet);
  }
  FrameBrowser->SetCharSet(charSet);
  if (FrameBrowser->ActiveViewer()) FrameBrowser->Reload();
}

void TfrmMain::miTurkishClick(TObject* sender) { SetCharSet(static_cast<int>(dynamic_cast<TMenuItem*>(sender)->Tag)); }

// ---- language texts ----

void TfrmMain::ApplyLanguage() {
  auto text = [this](int id, std::string& out) { return Language->GetText(std::to_string(id), out); };
  auto caption = [&](int id, std::initializer_list<const char*> names) {
    std::string t;
    if (!text(id, t)) return;
    for (const char* name : names) {
      TComponent* c = FindComponent(name);
      if (auto* item = dynamic_cast<TMenuItem*>(c)) item->SetCaption(t);
      else if (auto* control = dynamic_cast<TControl*>(c)) control->SetCaption(t);
      else if (auto* action = dynamic_cast<TCustomAction*>(c)) action->SetCaption(t);
    }
  };
  auto action = [&](int id, TCustomAction* a, bool hint) {
    std::string t;
    if (!text(id, t)) return;
    a->SetCaption(t);
    if (hint) a->Hint = StringReplace(t, "&", "", ReplaceAll::Yes);
  };
  caption(72, {"lbAddress"});
  caption(73, {"miOpenInNewWindow"});
  const std::pair<int, TAction*> navigation[] = {
      {74, actionBack}, {75, actionForward}, {76, actionStop}, {77, actionReload}, {78, actionHome}};
  for (auto [id, a] : navigation) action(id, a, true);
  caption(79, {"miCopyText"});
  caption(80, {"miCopyLink"});
  caption(81, {"miSelectedAll"});
  caption(82, {"miEncoding"});
  const char* charSets[] = {"miArabic", "miBaltic", "miChineSebig5", "miDefault", "miEastEurope", "miGb2312",
                            "miGreek",  "miHangeul", "miHebrew",     "miJohab",   "miMac",        "miRussian",
                            "miShiftfis", "miSymbol", "miThai",      "miTurkish"};
  for (int i = 0; i < 16; ++i) caption(83 + i, {charSets[i]});
  caption(100, {"miCloseFullScreen"});
  caption(101, {"miFile"});
  caption(102, {"miEdit"});
  caption(103, {"miView", "miView1"});
  caption(104, {"miBookmarks"});
  caption(105, {"miOptions"});
  caption(106, {"miHelp"});
  const std::tuple<int, const char*, bool> actions[] = {
      {107, "actionFileOpen", true},       {108, "actionPrint", true},
      {109, "actionPreview", true},        {110, "actionPageSetup", true},
      {111, "actionExit", false},          {113, "actionCopy", true},
      {114, "actionSelectAll", true},      {115, "actionFind", false},
      {116, "actionFindNext", false},      {118, "actionMenuBar", false},
      {119, "actionDirectoryButtons", false}, {120, "actionButtonBars", false},
      {121, "actionAddressBar", false},    {122, "actionStatusBar", false},
      {123, "actionNavigation", false},    {124, "actionFontColors", false},
      {125, "actionSource", false},        {126, "actionFullScreen", false},
      {127, "actionAddCurrentDocumentsHere", true}, {129, "actionHomePage", false},
      {130, "actionProxy", false},         {131, "actionAbout", false},
      {132, "actionGoTo", true},           {133, "actionImageCaption", false},
      {134, "actionImageOnly", false},     {135, "actionCaptionOnly", false},
      {179, "actionFileSave", true},       {180, "actionSearch", true},
  };
  for (const auto& [id, name, hint] : actions)
    if (auto* a = dynamic_cast<TCustomAction*>(FindComponent(name))) action(id, a, hint);
  caption(136, {"miCustomize"});
  std::string languageText;
  miLanguage->SetVisible(text(185, languageText));
  if (miLanguage->Visible()) {
    miLanguage->SetCaption(languageText);
    RebuildLanguageMenu();
  }
}

void TfrmMain::RebuildLanguageMenu() {
  DetachMenuItems(miLanguage, 0);
  for (const TLanguageEntry& entry : Language->Languages()) {
    auto* item = new TMenuItem(nullptr);
    std::string name;
    if (!Language->GetText("l" + std::to_string(entry.Number), name)) name = entry.Name;
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
  Language->LoadTexts();
  ApplyLanguage();
}

}  // namespace lark
