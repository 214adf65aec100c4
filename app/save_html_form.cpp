#include "app/save_html_form.h"

#include "app/disk_cache.h"
#include "app/language.h"
#include "app/saved_file.h"
#include "app/url_connection.h"
#include "html/url_helpers.h"
#include "platform/core/exception.h"
#include "platform/core/file_routines.h"
#include "platform/core/file_stream.h"
#include "platform/windows/button.h"
#include "platform/windows/dialogs.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/label.h"
#include "platform/windows/message_queue.h"

namespace lark {

TfrmSaveHTML::TfrmSaveHTML(TComponent* owner) : TForm(owner) {
  LoadFormResource(this, "frmSaveHTML");
  lbDocument = dynamic_cast<TLabel*>(FindComponent("lbDocument"));
  ProgressBar = dynamic_cast<TProgressBar*>(FindComponent("ProgressBar"));
  Button1 = dynamic_cast<TButton*>(FindComponent("Button1"));
}

TfrmSaveHTML::~TfrmSaveHTML() = default;

void TfrmSaveHTML::ApplyLanguage(const TLanguage& language) {
  std::string text;
  if (language.GetText("176", text)) Button1->SetCaption(text);
}

void TfrmSaveHTML::Execute(const std::string& URL, const std::string& FileName, bool& Cancelled) {
  url_ = URL;
  fileName_ = FileName;
  PostMessage(this, WM_SAVEPAGE);
  Cancelled = ShowModal() == mrCancel;
}

void TfrmSaveHTML::WndProc(TMessage& message) {
  if (message.Msg != WM_SAVEPAGE) {
    TForm::WndProc(message);
    return;
  }
  SavePage();
  // A No to the replace question ends with OK, as a save does.
  ModalResult = aborted_ ? mrCancel : failed_ ? mrAbort : mrOk;
}

void TfrmSaveHTML::SavePage() {
  lbDocument->SetCaption(fileName_);
  const bool targetExisted = FileExists(fileName_);
  if (targetExisted &&
      MessageDlg("The file " + fileName_ + " already exists. Do you want to replace the existing file?",
                 TMsgDlgType::mtWarning, mbYes | mbNo) != mrYes)
    return;
  std::string failure;
  try {
    TPartFile part(fileName_);
    failure = FetchInto(part);
    if (failure.empty() && !aborted_) {
      part.Commit();
      saved_ = true;
    }
  } catch (const Exception& e) {
    failure = e.Message;
  }
  if (connection_) connection_->SetInputStream(nullptr);
  failed_ = !saved_ && !aborted_;
  if (failed_)
    MessageDlg(SaveFailureText(url_, fileName_, targetExisted, failure), TMsgDlgType::mtError, mbOK);
}

std::string TfrmSaveHTML::FetchInto(TPartFile& part) {
  const std::string url = Normalize(url_);
  std::string cached;
  int docType = 0;
  if (DiskCache != nullptr && DiskCache->FindInCache(url, cached, docType) && FileExists(cached)) {
    TFileStream source(cached, fmOpenRead);
    part.Stream().CopyFrom(source, 0);
    return "";
  }
  connection_ = TURLConnection::GetConnection(url);
  if (!connection_) return "No connection for the address's protocol";
  connection_->ProxyHost = ProxyHost;
  connection_->ProxyPort = ProxyPort;
  connection_->MemoryLimit = INT64_MAX;  // the bytes go to disk as they come
  connection_->OnProgress = [this](TObject*) { ConnectionProgress(); };
  connection_->SetInputStream(&part.Stream());
  connection_->Get(url);
  connection_->SetInputStream(nullptr);
  return IncompleteFetch(*connection_, part.Stream().Size());
}

void TfrmSaveHTML::ConnectionProgress() {
  const std::int64_t total = connection_->GetContentLength();
  if (total <= 0) return;
  const std::int64_t received = connection_->BytesReceived();
  ProgressBar->SetPosition(static_cast<int>(std::min<std::int64_t>(received, total) * 100 / total));
}

void TfrmSaveHTML::Button1Click(TObject*) {
  aborted_ = true;
  if (connection_) connection_->Abort();
}

}  // namespace lark
