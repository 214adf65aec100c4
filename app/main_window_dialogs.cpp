// The main window's printing and option dialogs: each is made, filled from
// the window's values, shown modally, read back on OK and freed.
#include <memory>

#include <algorithm>

#include "app/customize_form.h"
#include "app/dir_bar_form.h"
#include "app/font_colors_form.h"
#include "app/home_page_form.h"
#include "app/language.h"
#include "app/main_window.h"
#include "app/options.h"
#include "app/print_preview_form.h"
#include "app/print_status_form.h"
#include "app/proxy_form.h"
#include "platform/windows/application.h"
#include "platform/windows/bars.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/edit.h"
#include "platform/windows/small_controls.h"
#include "platform/windows/timer.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

// Text `id` of the language as the form's caption, when it has one.
void CaptionFromLanguage(TForm& form, const TLanguage& language, const char* id) {
  std::string text;
  if (language.GetText(id, text)) form.SetCaption(text);
}

}  // namespace

void TfrmMain::actionPreviewExecute(TObject*) {
  THTMLViewer* viewer = FrameBrowser->ActiveViewer();
  if (!viewer) return;
  bool abort = false;
  auto* preview = NewForm<TfrmPreview>(this, viewer, abort, Language.get());
  if (abort) {
    delete preview;
    return;
  }
  CaptionFromLanguage(*preview, *Language, "137");
  // Closing frees the preview.
  preview->ShowModal();
}

void TfrmMain::actionPrintExecute(TObject*) {
  THTMLViewer* viewer = FrameBrowser->ActiveViewer();
  if (!viewer) return;
  TPrintDialog dialog(this);
  dialog.Options = poPageNums;
  dialog.MinPage = 1;
  dialog.MaxPage = 9999;
  if (!dialog.Execute()) return;
  const bool range = dialog.PrintRange == TPrintRange::prPageNums;
  std::unique_ptr<TfrmPrintStatus> status(NewForm<TfrmPrintStatus>(this));
  status->ApplyLanguage(*Language);
  CaptionFromLanguage(*status, *Language, "172");
  bool abort = false;
  status->DoPrint(viewer, range ? dialog.FromPage : 1, abort, range ? dialog.ToPage : 9999);
}

void TfrmMain::actionProxyExecute(TObject*) {
  std::unique_ptr<TfrmProxy> dialog(NewForm<TfrmProxy>(this));
  CaptionFromLanguage(*dialog, *Language, "130");
  dialog->ApplyLanguage(*Language);
  dialog->edProxy->SetText(ProxyHost);
  dialog->edPort->SetText(std::to_string(ProxyPort));
  if (dialog->ShowModal() != mrOk) return;
  // The port first: a refused one leaves host and port as they were.
  const int port = ProxyPortValue(dialog->edPort->GetText());
  ProxyHost = dialog->edProxy->GetText();
  ProxyPort = port;
}

void TfrmMain::actionHomePageExecute(TObject*) {
  std::unique_ptr<TfrmHomePage> dialog(NewForm<TfrmHomePage>(this));
  CaptionFromLanguage(*dialog, *Language, "29");
  dialog->ApplyLanguage(*Language);
  dialog->Fill(HomeType, HomeAddress, LoadHomePageAfter, SecondsIdleTime);
  if (dialog->ShowModal() != mrOk) return;
  HomeType = dialog->HomeType();
  HomeAddress = dialog->edHomePage->GetText();
  LoadHomePageAfter = dialog->LoadHomePageAfter();
  SecondsIdleTime = std::clamp(dialog->seIdleSec->Value(), 1, kMaxSecondsIdleTime);
  timerHome->SetInterval(static_cast<unsigned>(SecondsIdleTime) * 1000u);
  if (!LoadHomePageAfter) timerHome->SetEnabled(false);
}

void TfrmMain::miCustomizeClick(TObject*) {
  std::unique_ptr<TfrmCustomize> dialog(NewForm<TfrmCustomize>(this));
  CaptionFromLanguage(*dialog, *Language, "9");
  dialog->ApplyLanguage(*Language);
  dialog->Fill({{"Back", actionBack},
                {"Forward", actionForward},
                {"Stop", actionStop},
                {"Reload", actionReload},
                {"Home", actionHome},
                {"Search", actionSearch},
                {"Add", actionAddCurrentDocumentsHere},
                {"Open", actionFileOpen},
                {"Save", actionFileSave},
                {"Preview", actionPreview},
                {"Print", actionPrint}},
               HotList);
  if (dialog->ShowModal() == mrOk) dialog->ApplyVisibility();
  dialog.reset();
  tbInternetButtons->Repaint();
  Application()->ProcessMessages();
}

void TfrmMain::btConfigDBClick(TObject*) {
  std::unique_ptr<TfrmDirBar> dialog(NewForm<TfrmDirBar>(this, Options.get()));
  CaptionFromLanguage(*dialog, *Language, "11");
  dialog->ApplyLanguage(*Language);
  dialog->ShowModal();
  if (!dialog->Changed()) return;
  Options->UpdateFile();
  RebuildDirectoryButtons();
}

void TfrmMain::actionFontColorsExecute(TObject*) {
  std::unique_ptr<TfrmFontColors> dialog(NewForm<TfrmFontColors>(this));
  CaptionFromLanguage(*dialog, *Language, "19");
  dialog->ApplyLanguage(*Language);
  TFrameBrowser& browser = *FrameBrowser;
  dialog->SetValues({browser.DefBackground(), browser.DefFontColor(), browser.DefHotSpotColor(),
                     browser.DefOverLinkColor(), browser.DefVisitedLinkColor(), browser.DefFontName(),
                     browser.DefFontSize()});
  if (dialog->ShowModal() != mrOk) return;
  const TFontColorValues chosen = dialog->Values();
  browser.SetDefBackground(chosen.Background);
  browser.SetDefFontColor(chosen.FontColor);
  browser.SetDefHotSpotColor(chosen.HotSpotColor);
  browser.SetDefOverLinkColor(chosen.OverLinkColor);
  browser.SetDefVisitedLinkColor(chosen.VisitedLinkColor);
  browser.SetDefFontName(chosen.FontName);
  browser.SetDefFontSize(chosen.FontSize);
  // As the reload command does: the page is asked for again, not taken from
  // the cache, so that every part of it takes the new defaults.
  actionReloadExecute(this);
}

}  // namespace lark
