#include "app/download_form.h"

#include <algorithm>
#include <cstdio>

#include "app/language.h"
#include "app/saved_file.h"
#include "app/url_connection.h"
#include "platform/core/clock.h"
#include "platform/core/exception.h"
#include "platform/core/file_routines.h"
#include "platform/core/file_stream.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/dialogs.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/label.h"
#include "platform/windows/message_queue.h"

namespace lark {
TDownLoadForm::TDownLoadForm(TComponent* owner) : TForm(owner) {
  LoadFormResource(this, "DownLoadForm");
  lbStatus = dynamic_cast<TLabel*>(FindComponent("lbStatus"));
  lbTimeLeft = dynamic_cast<TLabel*>(FindComponent("lbTimeLeft"));
  Status = dynamic_cast<TLabel*>(FindComponent("Status"));
  TimeLeft = dynamic_cast<TLabel*>(FindComponent("TimeLeft"));
  CancelButton = dynamic_cast<TButton*>(FindComponent("CancelButton"));
}

TDownLoadForm::~TDownLoadForm() = default;

void TDownLoadForm::ApplyLanguage(const TLanguage& language) {
  std::string text;
  if (language.GetText("5", text)) CancelButton->SetCaption(text);
  if (language.GetText("17", text)) lbStatus->SetCaption(text);
  if (language.GetText("18", text)) lbTimeLeft->SetCaption(text);
}

void TDownLoadForm::FormShow(TObject*) { PostMessage(this, WM_STARTDOWNLOAD); }

void TDownLoadForm::WndProc(TMessage& message) {
  if (message.Msg != WM_STARTDOWNLOAD) {
    TForm::WndProc(message);
    return;
  }
  Download();
  ModalResult = completed_ ? mrOk : mrCancel;
}

void TDownLoadForm::Download() {
  received_ = 0;
  connection_ = TURLConnection::GetConnection(URL);
  if (!connection_) return;
  connection_->ProxyHost = ProxyHost;
  connection_->ProxyPort = ProxyPort;
  connection_->OnBeginWork = [this](TObject* s) { ConnectionStarted(s); };
  connection_->OnProgress = [this](TObject* s) { ConnectionProgress(s); };
  // No memory bound: the bytes go to disk as they come.
  connection_->MemoryLimit = INT64_MAX;
  const bool targetExisted = FileExists(FileName);
  std::string failure;
  try {
    TPartFile part(FileName);
    connection_->SetInputStream(&part.Stream());
    connection_->Get(URL);
    connection_->SetInputStream(nullptr);
    failure = IncompleteFetch(*connection_, part.Stream().Size());
    if (failure.empty() && !Cancelled) {
      part.Commit();
      completed_ = true;
    }
  } catch (const Exception& e) {
    connection_->SetInputStream(nullptr);
    failure = e.Message;
  }
  // The user's own Cancel needs no message.
  if (!completed_ && !Cancelled)
    MessageDlg(SaveFailureText(URL, FileName, targetExisted, failure), TMsgDlgType::mtError, mbOK);
}

void TDownLoadForm::ConnectionStarted(TObject*) {
  total_ = connection_->GetContentLength();
  startTime_ = timeGetTime();
  lastPaint_ = startTime_ - kDownloadRepaintMs;
}

void TDownLoadForm::ConnectionProgress(TObject*) {
  received_ = connection_->BytesReceived();
  const std::uint32_t now = timeGetTime();
  const std::int64_t elapsed = static_cast<std::uint32_t>(now - startTime_);
  if (elapsed <= 0 || static_cast<std::uint32_t>(now - lastPaint_) < kDownloadRepaintMs) return;
  lastPaint_ = now;
  TimeLeft->SetCaption(TimeLeftText(received_, total_, elapsed));
  Status->SetCaption(StatusText(received_, total_, elapsed));
  Status->Repaint();
  TimeLeft->Repaint();
}

std::string TDownLoadForm::StatusText(std::int64_t received, std::int64_t total, std::int64_t elapsedMs) {
  const double rate = elapsedMs > 0 ? static_cast<double>(received) / static_cast<double>(elapsedMs) : 0.0;
  char text[96];
  std::snprintf(text, sizeof text, "%lldk of %lldk (at %4.1fk/sec)", static_cast<long long>(received / 1024),
                static_cast<long long>(std::max<std::int64_t>(total, 0) / 1024), rate);
  return text;
}

std::string TDownLoadForm::TimeLeftText(std::int64_t received, std::int64_t total, std::int64_t elapsedMs) {
  // Nothing to go by before the first byte, and no end without an
  // announced length (or past it).
  if (received <= 0 || total <= 0 || received > total) return "";
  // In 64 bits and from the smaller factor first: a long transfer of a large
  // file overflows 32 bits at once.
  const std::int64_t remaining = total - received;
  const std::int64_t seconds = static_cast<std::int64_t>(static_cast<long double>(elapsedMs / 1000) *
                                                         static_cast<long double>(remaining) /
                                                         static_cast<long double>(received));
  char text[64];
  std::snprintf(text, sizeof text, "%2.2lld:%2.2lld:%2.2lld", static_cast<long long>(seconds / 3600),
                static_cast<long long>((seconds % 3600) / 60), static_cast<long long>(seconds % 60));
  return text;
}

void TDownLoadForm::CancelButtonClick(TObject*) {
  Cancelled = true;
  if (connection_) connection_->Abort();
}

}  // namespace lark
