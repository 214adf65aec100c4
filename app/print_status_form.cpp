#include "app/print_status_form.h"

#include <stdexcept>

#include "app/language.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/label.h"
#include "platform/windows/message_queue.h"
#include "print/metafile_printer.h"
#include "viewer/html_viewer.h"

namespace lark {

TfrmPrintStatus::TfrmPrintStatus(TComponent* owner) : TForm(owner) {
  LoadFormResource(this, "frmPrintStatus");
  StatusLabel = dynamic_cast<TLabel*>(FindComponent("StatusLabel"));
  CancelButton = dynamic_cast<TButton*>(FindComponent("CancelButton"));
}

TfrmPrintStatus::~TfrmPrintStatus() {
  if (viewer_) RemoveFreeNotification(viewer_);
}

void TfrmPrintStatus::ApplyLanguage(const TLanguage& language) {
  std::string text;
  if (language.GetText("5", text)) CancelButton->SetCaption(text);
}

void TfrmPrintStatus::DoPreview(THTMLViewer* viewer, TMetaFilePrinter* mfPrinter, bool& abort) {
  mfPrinter_ = mfPrinter;
  Run(viewer, WM_STARTPREVIEW, abort);
}

void TfrmPrintStatus::DoPrint(THTMLViewer* viewer, int fromPage, bool& abort, int toPage) {
  fromPage_ = fromPage;
  toPage_ = toPage;
  Run(viewer, WM_STARTPRINT, abort);
}

void TfrmPrintStatus::Run(THTMLViewer* viewer, UINT message, bool& abort) {
  viewer_ = viewer;
  cancelled_ = false;
  error_.clear();
  FreeNotification(viewer_);
  TPageEvent previous = std::move(viewer_->OnPageEvent);
  viewer_->OnPageEvent = [this](TObject*, int numPage, bool& stop) { PageEvent(numPage, stop); };
  PostMessage(this, message);
  const int result = ShowModal();
  if (viewer_) {
    viewer_->OnPageEvent = std::move(previous);
    RemoveFreeNotification(viewer_);
    viewer_ = nullptr;
  }
  abort = result != mrOk;
  if (!error_.empty()) Application()->ShowException(std::runtime_error(error_));
}

void TfrmPrintStatus::WndProc(TMessage& message) {
  if (message.Msg == WM_STARTPREVIEW || message.Msg == WM_STARTPRINT) {
    RunPass(message.Msg);
    return;
  }
  TForm::WndProc(message);
}

void TfrmPrintStatus::RunPass(UINT message) {
  // Caught here rather than by the loop: a raising pass must end the dialog,
  // not leave it open with a Cancel that no pass listens to any more.
  try {
    if (!viewer_) throw std::runtime_error("The page to print is gone");
    if (message == WM_STARTPREVIEW) viewer_->PrintPreview(*mfPrinter_);
    else viewer_->Print(fromPage_, toPage_);
  } catch (const std::exception& e) {
    error_ = e.what();
  }
  ModalResult = cancelled_ || !error_.empty() ? mrCancel : mrOk;
}

void TfrmPrintStatus::PageEvent(int numPage, bool& stopPrinting) {
  if (cancelled_) {
    stopPrinting = true;
    return;
  }
  StatusLabel->SetCaption(numPage == 0 ? std::string("Formating") : "Page Number " + std::to_string(numPage));
  Repaint();
}

void TfrmPrintStatus::CancelButtonClick(TObject*) { cancelled_ = true; }

void TfrmPrintStatus::Notification(TComponent* component, TOperation operation) {
  TForm::Notification(component, operation);
  if (operation == TOperation::opRemove && component == viewer_) viewer_ = nullptr;
}

}  // namespace lark
