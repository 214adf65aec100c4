// The main window's commands, its bars and its bookmark and encoding menus.
#include <algorithm>
#include <cmath>
#include <functional>

#include "app/add_bookmark_form.h"
#include "app/disk_cache.h"
#include "app/language.h"
#include "app/main_window.h"
#include "app/options.h"
#include "app/url_connection.h"
#include "controls/adv_status_bar.h"
#include "controls/page_setup.h"
#include "controls/toolbar_button.h"
#include "html/document_utils.h"
#include "html/url_helpers.h"
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

// The last search of the find dialog, for Find next: kept for the program.
std::string g_lastSearchText;
bool g_lastSearchMatchCase = false;

// Runs its work when the scope ends, however it ends: a request that raises
// must not leave a command disabled.
class AtScopeExit {
 public:
  explicit AtScopeExit(std::function<void()> work) : work_(std::move(work)) {}
  ~AtScopeExit() { work_(); }
  AtScopeExit(const AtScopeExit&) = delete;
  AtScopeExit& operator=(const AtScopeExit&) = delete;

 private:
  std::function<void()> work_;
};

}  // namespace

std::string MenuCaptionOf(const std::string& title) {
  std::string caption = StringReplace(title, "&", "&&", ReplaceAll::Yes);
  // A caption of one "-" is a separator line; "&-" shows the dash.
  return caption == "-" ? "&-" : caption;
}

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
  AtScopeExit restore([this] {
    miHome->SetEnabled(true);
    FirstActivation = false;
  });
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
      if (AddressText == HomeAddress && HomeLoaded) {
        actionReload->Execute();
        break;
      }
      AddressText = HomeAddress;
      cbAddress->SetText(HomeAddress);
      HomeLoaded = true;
      PostStartURL();
      break;
  }
}

void TfrmMain::actionStopExecute(TObject*) {
  AbortConnection();
  ClearImageQueues();
  StopBusy();
  Application()->ProcessMessages();
}

void TfrmMain::actionReloadExecute(TObject*) {
  actionReload->SetEnabled(false);
  {
    // The page and its pictures have asked past the cache once the reload
    // returns; later Back, Forward and links use the cache again.
    AtScopeExit restore([this] {
      ReloadMode = false;
      actionReload->SetEnabled(true);
    });
    ReloadMode = true;
    FrameBrowser->Reload();
  }
  SetGoDefault(false);
  FocusBrowser();
}

void TfrmMain::actionBackExecute(TObject*) { FrameBrowser->GoBack(); }

void TfrmMain::actionForwardExecute(TObject*) { FrameBrowser->GoFwd(); }

void TfrmMain::actionExitExecute(TObject*) { Close(); }

void TfrmMain::actionCopyExecute(TObject*) { FrameBrowser->CopyToClipboard(); }

void TfrmMain::actionSelectAllExecute(TObject*) { FrameBrowser->SelectAll(); }

// The pop-up's entries do what the Edit menu's do, enabled or not as those are.
void TfrmMain::miCopyTextClick(TObject*) { dynamic_cast<TMenuItem*>(FindComponent("miCopy"))->Click(); }

void TfrmMain::miSelectedAllClick(TObject*) { dynamic_cast<TMenuItem*>(FindComponent("miSelectAll"))->Click(); }

void TfrmMain::actionFileOpenExecute(TObject*) {
  if (OpenDialog->Execute()) OpenLocalFile(OpenDialog->FileName);
}

void TfrmMain::actionNavigationExecute(TObject*) {}

// ---- find ----

void TfrmMain::actionFindExecute(TObject*) {
  FindDialog->FindText = g_lastSearchText;
  FindDialog->Execute();
}

void TfrmMain::FindDialogFind(TObject*) {
  g_lastSearchText = FindDialog->FindText;
  g_lastSearchMatchCase = (FindDialog->Options & frMatchCase) != 0;
  FrameBrowser->Find(g_lastSearchText, g_lastSearchMatchCase);
}

void TfrmMain::actionFindNextExecute(TObject*) {
  if (!g_lastSearchText.empty()) FrameBrowser->Find(g_lastSearchText, g_lastSearchMatchCase);
}

// ---- page setup ----

// The browser keeps centimetres; the dialog takes hundredths of a millimetre.
void TfrmMain::actionPageSetupExecute(TObject*) {
  TPageSetupDlg dialog(this);
  dialog.Options &= ~poShowHelp;
  dialog.SetMeasurements(TPSMeasurements::pmMillimeters);
  auto toDialog = [](double centimetres) { return static_cast<int>(std::lround(centimetres * 1000)); };
  dialog.Margins = TPSRect{toDialog(FrameBrowser->PrintMarginLeft()), toDialog(FrameBrowser->PrintMarginTop()),
                           toDialog(FrameBrowser->PrintMarginRight()), toDialog(FrameBrowser->PrintMarginBottom())};
  if (!dialog.Execute()) return;
  const TPSRect& m = dialog.Margins;
  FrameBrowser->SetPrintMargins(m.Left / 1000.0, m.Right / 1000.0, m.Top / 1000.0, m.Bottom / 1000.0);
}

// ---- bookmarks ----

void TfrmMain::actionAddCurrentDocumentsHereExecute(TObject*) {
  const int index = FrameBrowser->HistoryIndex();
  const std::string title = index >= 0 && index < FrameBrowser->HistoryCount() ? FrameBrowser->HistoryTitle(index)
                                                                                : FrameBrowser->DocumentTitle();
  std::unique_ptr<TfrmAddBookmark> dialog(NewForm<TfrmAddBookmark>(this, *Options, *Language, AddressText, title));
  std::string caption;
  if (Language->GetText("1", caption)) dialog->SetCaption(caption);
  if (dialog->ShowModal() != mrOk) return;
  RemoveBookmarkItems();
  RebuildBookmarksMenu();
}

void TfrmMain::OnlineManual1Click(TObject*) {
  cbAddress->SetText(kOnlineManualURL);
  PostStartURL();
}

void TfrmMain::MNU_ShowImages1Click(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  item->SetChecked(!item->Checked());
  FrameBrowser->SetViewImages(item->Checked());
}

// Only the cache's own files: "*.*" in an empty CacheDir (cache off,
// "/cdrom") would be the current folder, and the folder holds the cookie
// file and whatever else a user put there.
void TfrmMain::ClearAll1Click(TObject*) {
  if (CacheOn && DiskCache) DiskCache->DeleteAllFiles();
}

// ---- bars ----

void TfrmMain::ShowMenuBar(bool visible) {
  for (TMenuItem* item : {miFile, miEdit, miView, miOptions, miHelp}) item->SetVisible(visible);
  miBookmarks->SetVisible(visible && !CdromMode);
  tbInternetButtons->SetEdgeBorders(visible ? TEdgeBorders{ebTop} : TEdgeBorders{0});
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
  // From the settings file: anything but the three styles is the first.
  if (style < 0 || style > 2) style = 0;
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
    item->SetCaption(MenuCaptionOf(name));
    item->Tag = i;
    item->ImageIndex = 13;
    item->OnClick = std::bind(&TfrmMain::BookmarkMenuItemClick, this, std::placeholders::_1);
    miBookmarks->Add(item);
  }
}

// ---- character sets ----

void TfrmMain::SetCharSet(int charSet) {
  // From the settings file: a set no entry offers is the default one.
  bool offered = false;
  for (int i = 0; i < miEncoding->Count(); ++i) offered |= miEncoding->Items(i)->Tag == charSet;
  if (!offered) charSet = 1;
  for (int i = 0; i < miEncoding->Count(); ++i) {
    TMenuItem* item = miEncoding->Items(i);
    item->SetChecked(item->Tag == charSet);
  }
  FrameBrowser->SetCharSet(charSet);
  if (FrameBrowser->ActiveViewer()) FrameBrowser->Reload();
}

void TfrmMain::miTurkishClick(TObject* sender) { SetCharSet(static_cast<int>(dynamic_cast<TMenuItem*>(sender)->Tag)); }

}  // namespace lark
