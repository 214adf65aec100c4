#include "app/main_entry.h"

#include <csignal>
#include <cstdlib>

#include "app/app_resources.h"
#include "app/bookmarks_list_form.h"
#include "app/dir_bar_form.h"
#include "app/download_form.h"
#include "app/font_colors_form.h"
#include "app/go_page_form.h"
#include "app/home_page_form.h"
#include "app/local_search_form.h"
#include "app/print_preview_form.h"
#include "app/print_status_form.h"
#include "app/save_html_form.h"
#include "app/source_form.h"
#include "app/splash_form.h"
#include "controls/control_cursors.h"
#include "controls/form_classes.h"
#include "platform/core/private_temp_dir.h"
#include "platform/windows/application.h"
#include "platform/windows/form_registry.h"
#include "viewer/document_engine.h"
#include "viewer/frame_browser_registration.h"
#include "viewer/viewer_form_class.h"

namespace lark {
namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

void RegisterMainWindowHandlers() {
  using form_registry::Handler;
  Handler("FormCreate", &TfrmMain::FormCreate);
  Handler("FormShow", &TfrmMain::FormShow);
  Handler("FormActivate", &TfrmMain::FormActivate);
  Handler("FormClose", &TfrmMain::FormClose);
  Handler("FormDestroy", &TfrmMain::FormDestroy);
  Handler("FormResize", &TfrmMain::FormResize);
  Handler("cbAddressKeyDown", &TfrmMain::cbAddressKeyDown);
  Handler("cbAddressKeyUp", &TfrmMain::cbAddressKeyUp);
  Handler("btPDB1Click", &TfrmMain::btPDB1Click);
  Handler("timerHomeTimer", &TfrmMain::timerHomeTimer);
  Handler("pmBrowserPopup", &TfrmMain::pmBrowserPopup);
  Handler("miOpenInNewWindowClick", &TfrmMain::miOpenInNewWindowClick);
  Handler("miCopyTextClick", &TfrmMain::miCopyTextClick);
  Handler("miCopyLinkClick", &TfrmMain::miCopyLinkClick);
  Handler("miSelectedAllClick", &TfrmMain::miSelectedAllClick);
  Handler("miTurkishClick", &TfrmMain::miTurkishClick);
  Handler("MNU_ShowImages1Click", &TfrmMain::MNU_ShowImages1Click);
  Handler("ClearAll1Click", &TfrmMain::ClearAll1Click);
  Handler("OnlineManual1Click", &TfrmMain::OnlineManual1Click);
  Handler("actionBackExecute", &TfrmMain::actionBackExecute);
  Handler("actionForwardExecute", &TfrmMain::actionForwardExecute);
  Handler("actionStopExecute", &TfrmMain::actionStopExecute);
  Handler("actionReloadExecute", &TfrmMain::actionReloadExecute);
  Handler("actionHomeExecute", &TfrmMain::actionHomeExecute);
  Handler("actionSearchExecute", &TfrmMain::actionSearchExecute);
  Handler("actionFileOpenExecute", &TfrmMain::actionFileOpenExecute);
  Handler("actionExitExecute", &TfrmMain::actionExitExecute);
  Handler("actionCopyExecute", &TfrmMain::actionCopyExecute);
  Handler("actionSelectAllExecute", &TfrmMain::actionSelectAllExecute);
  Handler("actionMenuBarExecute", &TfrmMain::actionMenuBarExecute);
  Handler("actionDirectoryButtonsExecute", &TfrmMain::actionDirectoryButtonsExecute);
  Handler("actionButtonBarsExecute", &TfrmMain::actionButtonBarsExecute);
  Handler("actionAddressBarExecute", &TfrmMain::actionAddressBarExecute);
  Handler("actionStatusBarExecute", &TfrmMain::actionStatusBarExecute);
  Handler("actionNavigationExecute", &TfrmMain::actionNavigationExecute);
  Handler("actionGoToExecute", &TfrmMain::actionGoToExecute);
  Handler("actionImageCaptionExecute", &TfrmMain::actionImageCaptionExecute);
  Handler("actionImageOnlyExecute", &TfrmMain::actionImageOnlyExecute);
  Handler("actionCaptionOnlyExecute", &TfrmMain::actionCaptionOnlyExecute);
  Handler("actionPreviewExecute", &TfrmMain::actionPreviewExecute);
  Handler("FormShow", &TfrmPreview::FormShow);
  Handler("FormClose", &TfrmPreview::FormClose);
  Handler("ZoomBoxChange", &TfrmPreview::ZoomBoxChange);
  Handler("UnitsBoxChange", &TfrmPreview::UnitsBoxChange);
  Handler("GridButClick", &TfrmPreview::GridButClick);
  Handler("OnePageButClick", &TfrmPreview::OnePageButClick);
  Handler("FitPageButClick", &TfrmPreview::FitPageButClick);
  Handler("FitWidthButClick", &TfrmPreview::FitWidthButClick);
  Handler("PrintButClick", &TfrmPreview::PrintButClick);
  Handler("NextPageButClick", &TfrmPreview::NextPageButClick);
  Handler("PrevPageButClick", &TfrmPreview::PrevPageButClick);
  Handler("FirstPageSpeedClick", &TfrmPreview::FirstPageSpeedClick);
  Handler("LastPageSpeedClick", &TfrmPreview::LastPageSpeedClick);
  Handler("PageNumSpeedClick", &TfrmPreview::PageNumSpeedClick);
  Handler("CloseButClick", &TfrmPreview::CloseButClick);
  Handler("ScrollBarChange", &TfrmPreview::ScrollBarChange);
  Handler("PB1Paint", &TfrmPreview::PB1Paint);
  Handler("PB1MouseDown", &TfrmPreview::PB1MouseDown);
  Handler("PB1MouseMove", &TfrmPreview::PB1MouseMove);
  Handler("PB1MouseUp", &TfrmPreview::PB1MouseUp);
  Handler("ToolButClick", &TfrmPreview::ToolButClick);
  Handler("PageNumKeyDown", &TfrmGoPage::PageNumKeyDown);
  Handler("PageNumEnter", &TfrmGoPage::PageNumEnter);
  Handler("actionPrintExecute", &TfrmMain::actionPrintExecute);
  Handler("actionProxyExecute", &TfrmMain::actionProxyExecute);
  Handler("actionHomePageExecute", &TfrmMain::actionHomePageExecute);
  Handler("miCustomizeClick", &TfrmMain::miCustomizeClick);
  Handler("btConfigDBClick", &TfrmMain::btConfigDBClick);
  Handler("actionFontColorsExecute", &TfrmMain::actionFontColorsExecute);
  Handler("FormActivate", &TfrmFontColors::FormActivate);
  Handler("ControlChange", &TfrmFontColors::ControlChange);
  Handler("btResetClick", &TfrmFontColors::btResetClick);
  Handler("btDBClick", &TfrmDirBar::btDBClick);
  Handler("btApplyClick", &TfrmDirBar::btApplyClick);
  Handler("btBrowseClick", &TfrmDirBar::btBrowseClick);
  Handler("ControlChanged", &TfrmHomePage::ControlChanged);
  Handler("btBrowseClick", &TfrmHomePage::btBrowseClick);
  Handler("CancelButtonClick", &TfrmPrintStatus::CancelButtonClick);
  Handler("actionFindExecute", &TfrmMain::actionFindExecute);
  Handler("FindDialogFind", &TfrmMain::FindDialogFind);
  Handler("actionFindNextExecute", &TfrmMain::actionFindNextExecute);
  Handler("actionPageSetupExecute", &TfrmMain::actionPageSetupExecute);
  Handler("actionAddCurrentDocumentsHereExecute", &TfrmMain::actionAddCurrentDocumentsHereExecute);
  Handler("FormShow", &TDownLoadForm::FormShow);
  Handler("CancelButtonClick", &TDownLoadForm::CancelButtonClick);
  Handler("actionFileSaveExecute", &TfrmMain::actionFileSaveExecute);
  Handler("Button1Click", &TfrmSaveHTML::Button1Click);
  Handler("actionSourceExecute", &TfrmMain::actionSourceExecute);
  Handler("miSaveAsClick", &TfrmSource::miSaveAsClick);
  Handler("miExitClick", &TfrmSource::miExitClick);
  Handler("actionBookmarksManagerExecute", &TfrmMain::actionBookmarksManagerExecute);
  Handler("FormShow", &TfrmBookmarksList::FormShow);
  Handler("btUpClick", &TfrmBookmarksList::btUpClick);
  Handler("btDownClick", &TfrmBookmarksList::btDownClick);
  Handler("btDeleteClick", &TfrmBookmarksList::btDeleteClick);
  Handler("btOKClick", &TfrmBookmarksList::btOKClick);
  Handler("actionFullScreenExecute", &TfrmMain::actionFullScreenExecute);
  Handler("miCloseFullScreenClick", &TfrmMain::miCloseFullScreenClick);
  Handler("About1Click", &TfrmMain::About1Click);
  Handler("pbLogoPaint", &TfrmSplash::pbLogoPaint);
}

}  // namespace

bool DisplayAvailable() { return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM"); }

void StartProgram() {
  static bool started = false;
  if (started) return;
  started = true;
  StartDocumentEngine();
  RegisterViewerClass();
  RegisterFrameBrowser();
  RegisterAppResources();
  RegisterControlClasses();
  RegisterControlCursors();
  RegisterMainWindowHandlers();
  // Made now, mode 0700, so that nothing else can take its name first.
  (void)PrivateTempDirectory();
  // Past a file-size limit a write then fails and the save reports it,
  // instead of the signal ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
}

TfrmMain* CreateMainWindow(TProgramContext context) {
  StartProgram();
  auto* form = new TfrmMain(Application(), std::move(context));
  Application()->NoteCreatedForm(form);
  form->frmLocalSearch = NewForm<TfrmLocalSearch>(form, form->Context().ProgramDir, form->CdromMode);
  return form;
}

}  // namespace lark
