#include "print/vw_printer.h"

#include "platform/core/code_page.h"
#include "platform/core/message_pump.h"
#include "platform/graphics/graphics_exceptions.h"

namespace lark {

namespace {

// The longest prefix of at most max_bytes bytes that ends between two
// characters, so that the name the job carries is never cut inside one.
std::string CutTitle(const std::string& title, size_t max_bytes) {
  size_t end = 0;
  while (end < title.size()) {
    const size_t next = end + DecodeChar(title, end, CP_UTF8).Length;
    if (next > max_bytes) break;
    end = next;
  }
  return title.substr(0, end);
}

std::unique_ptr<TvwPrinter>& Installed() {
  static std::unique_ptr<TvwPrinter> printer;
  return printer;
}

}  // namespace

TCanvas& TPrinterCanvas::CreateHandle() {
  if (printer_.State() == TvwPrinter::TState::NoHandle) printer_.SetState(TvwPrinter::TState::InformationContext);
  return printer_.dc_->Canvas();
}

void TPrinterCanvas::Changing() { printer_.CheckPrinting(true); }

TvwPrinter::TvwPrinter() = default;

TvwPrinter::~TvwPrinter() {
  if (printing_) Abort();
}

TPrinterCanvas& TvwPrinter::GetCanvas() {
  if (!canvas_) canvas_ = std::make_unique<TPrinterCanvas>(*this);
  return *canvas_;
}

void TvwPrinter::CheckPrinting(bool expected) const {
  if (printing_ != expected) throw EPrinter(expected ? kPrinterNotPrinting : kPrintingInProgress);
}

void TvwPrinter::SetState(TState value) {
  if (value == state_) return;
  if (value == TState::NoHandle) {
    CheckPrinting(false);
    dc_.reset();
    state_ = TState::NoHandle;
    return;
  }
  if (value == TState::InformationContext && state_ == TState::DeviceContext) return;
  // A context of either kind is a job object with a fresh copy of the
  // selected printer's device mode; only its use differs.
  std::unique_ptr<TPrinter> opened = Printer().OpenJob();
  dc_ = std::move(opened);
  state_ = value;
  if (canvas_) canvas_->ResetDeviceState();
}

void TvwPrinter::BeginDoc() {
  CheckPrinting(false);
  SetState(TState::DeviceContext);
  dc_->Title = CutTitle(Title, kMaxTitleBytes);
  try {
    dc_->BeginDoc();
  } catch (...) {
    SetState(TState::NoHandle);  // the next attempt takes the printer's settings afresh
    throw;
  }
  GetCanvas().ResetDeviceState();
  printing_ = true;
  aborted_ = false;
  page_number_ = 1;
}

void TvwPrinter::PageBoundary() {
  ProcessPendingMessages();
  CheckPrinting(true);
}

void TvwPrinter::NewPage() {
  PageBoundary();
  dc_->NewPage();
  ++page_number_;
}

void TvwPrinter::EndDoc() {
  PageBoundary();
  Finish(true);
}

void TvwPrinter::Abort() {
  CheckPrinting(true);
  aborted_ = true;
  Finish(false);
}

void TvwPrinter::Finish(bool send) {
  // Idle first, so that a job whose ending fails (a file that cannot be
  // written) still leaves the printer ready for the next.
  printing_ = false;
  aborted_ = false;
  page_number_ = 0;
  if (send) dc_->EndDoc();
  else dc_->Abort();
}

int TvwPrinter::GetPageWidth() {
  SetState(TState::InformationContext);
  return dc_->PageWidth();
}

int TvwPrinter::GetPageHeight() {
  SetState(TState::InformationContext);
  return dc_->PageHeight();
}

TvwPrinter& vwPrinter() {
  if (!Installed()) Installed() = std::make_unique<TvwPrinter>();
  return *Installed();
}

std::unique_ptr<TvwPrinter> SetvwPrinter(std::unique_ptr<TvwPrinter> value) {
  std::unique_ptr<TvwPrinter> previous = std::move(Installed());
  Installed() = std::move(value);
  return previous;
}

}  // namespace lark
