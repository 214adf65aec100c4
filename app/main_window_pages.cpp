// The main window's page source, bookmark list, full screen and About box.
#include <memory>

#include "app/bookmarks_list_form.h"
#include "app/full_screen_form.h"
#include "app/language.h"
#include "app/main_window.h"
#include "app/options.h"
#include "app/source_form.h"
#include "app/splash_form.h"
#include "platform/windows/button.h"
#include "platform/windows/menus.h"
#include "platform/windows/panel.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

// What miCloseFullScreen carries outside full screen: a code no key sends.
constexpr TShortCut kNoKey = 252;

}  // namespace

void TfrmMain::actionSourceExecute(TObject*) {
  std::unique_ptr<TfrmSource> dialog(NewForm<TfrmSource>(this));
  dialog->ApplyLanguage(*Language);
  dialog->LoadSource(AddressText, DiskCache.get(), FrameBrowser->ActiveViewer(), FrameBrowser->CurrentFile());
  dialog->ShowModal();
}

void TfrmMain::actionBookmarksManagerExecute(TObject*) {
  std::unique_ptr<TfrmBookmarksList> dialog(NewForm<TfrmBookmarksList>(this, Options.get()));
  std::string caption;
  if (Language->GetText("3", caption)) dialog->SetCaption(caption);
  dialog->ApplyLanguage(*Language);
  if (dialog->ShowModal() != mrOk) return;
  // The rebuild leaves the menu alone when no bookmark is left.
  RemoveBookmarkItems();
  RebuildBookmarksMenu();
}

void TfrmMain::actionFullScreenExecute(TObject*) {
  if (!FrameBrowser->ActiveViewer()) return;
  auto* closeItem = dynamic_cast<TMenuItem*>(FindComponent("miCloseFullScreen"));
  auto* line = dynamic_cast<TMenuItem*>(FindComponent("N3"));
  std::unique_ptr<TfrmFullScreen> fullScreen(NewForm<TfrmFullScreen>(this));
  miView1->SetVisible(false);
  closeItem->ShortCut = ShortCut(VK_F11, 0);
  closeItem->SetVisible(true);
  line->SetVisible(true);
  {
    // The form frees what it holds: the browser goes home however the
    // modal loop ends.
    struct BringBack {
      TFrameBrowser* browser;
      TPanel* home;
      ~BringBack() { browser->SetParent(home); }
    } bringBack{FrameBrowser, Panel1};
    FrameBrowser->SetParent(fullScreen.get());
    fullScreen->SetActiveControl(FrameBrowser);
    fullScreen->ShowModal();
  }
  fullScreen.reset();
  closeItem->ShortCut = kNoKey;
  miView1->SetVisible(true);
  line->SetVisible(false);
  closeItem->SetVisible(false);
  FocusBrowser();
}

void TfrmMain::miCloseFullScreenClick(TObject*) {
  dynamic_cast<TMenuItem*>(FindComponent("miCloseFullScreen"))->ShortCut = kNoKey;
  if (auto* fullScreen = dynamic_cast<TfrmFullScreen*>(GetParentForm(FrameBrowser))) fullScreen->Close();
}

void TfrmMain::About1Click(TObject*) {
  std::unique_ptr<TfrmSplash> splash(NewForm<TfrmSplash>(this));
  splash->btOK->SetVisible(true);
  splash->ShowModal();
}

}  // namespace lark
