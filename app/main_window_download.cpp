// Downloads the main window hands to its download dialog, and the Save
// command that saves the page shown.
#include "app/download_file_name.h"
#include "app/download_form.h"
#include "app/language.h"
#include "app/main_window.h"
#include "app/save_html_form.h"
#include "app/saved_file.h"
#include "platform/core/file_routines.h"
#include "platform/windows/application.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/dialogs.h"
#include "viewer/frame_browser.h"

namespace lark {

void TfrmMain::WMDownload() {
  const std::string previousFilter = SaveDialog->Filter;
  SaveDialog->FileName = URLFileNameProposal(DownloadURL);
  SaveDialog->InitialDir = context_.ProgramDir;
  SaveDialog->Filter = "All files (*.*)|*.*";
  const bool chosen = SaveDialog->Execute();
  SaveDialog->Filter = previousFilter;
  if (!chosen) return;
  const std::string target = SaveDialog->FileName;
  if (const std::string refused = RefusedSaveTarget(target, context_.ProgramDir, CacheDir); !refused.empty()) {
    MessageDlg(refused, TMsgDlgType::mtError, mbOK);
    return;
  }
  if (FileExists(target) &&
      MessageDlg(target + " already exists.\r\nDo you want to replace it?", TMsgDlgType::mtWarning, mbYes | mbNo) !=
          mrYes)
    return;
  std::unique_ptr<TDownLoadForm> form(NewForm<TDownLoadForm>(this));
  std::string caption;
  if (Language->GetText("181", caption)) form->SetCaption(caption);
  form->ApplyLanguage(*Language);
  form->FileName = target;
  form->URL = DownloadURL;
  form->ProxyHost = ProxyHost;
  form->ProxyPort = std::to_string(ProxyPort);
  form->ShowModal();
  form.reset();
  Application()->ProcessMessages();
}

void TfrmMain::actionFileSaveExecute(TObject*) {
  SaveDialog->FileName =
      SafeFileName(FrameBrowser->HistoryCount() > 0 ? FrameBrowser->HistoryTitle(0) : std::string());
  if (!SaveDialog->Execute()) return;
  const std::string target = HtmlFileName(SaveDialog->FileName);
  if (const std::string refused = RefusedSaveTarget(target, context_.ProgramDir, CacheDir); !refused.empty()) {
    MessageDlg(refused, TMsgDlgType::mtError, mbOK);
    return;
  }
  std::unique_ptr<TfrmSaveHTML> form(NewForm<TfrmSaveHTML>(this));
  std::string caption;
  if (Language->GetText("175", caption)) form->SetCaption(caption);
  form->ApplyLanguage(*Language);
  form->DiskCache = CacheOn ? DiskCache.get() : nullptr;
  form->ProxyHost = ProxyHost;
  form->ProxyPort = std::to_string(ProxyPort);
  bool cancelled = false;
  form->Execute(AddressText, target, cancelled);
}

}  // namespace lark
