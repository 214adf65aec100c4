#pragma once

#include <memory>
#include <string>

#include "platform/graphics/printer.h"
#include "platform/graphics/relay_canvas.h"

namespace lark {

class TvwPrinter;

// The canvas of a TvwPrinter: the same object for the printer's whole life,
// drawing on the device context the printer has open. Device queries open an
// information context when none is open; drawing outside a job raises
// EPrinter "Printer is not currently printing".
class TPrinterCanvas : public TRelayCanvas {
 public:
  explicit TPrinterCanvas(TvwPrinter& printer) : printer_(printer) {}

 protected:
  TCanvas& CreateHandle() override;
  void Changing() override;

 private:
  TvwPrinter& printer_;  // the owner
};

// The viewer's own printer object: one job at a time on the printer that
// the program's printer object (Printer()) has selected, with a copy of that
// printer's device mode taken when the context opens, so that a job never
// disturbs the program's printer and vice versa.
class TvwPrinter {
 public:
  // The three handle states: nothing open, an information context (what the
  // device is, no drawing) or a device context (a job object that prints).
  enum class TState { NoHandle, InformationContext, DeviceContext };
  // The longest document name a job carries, in bytes.
  static constexpr size_t kMaxTitleBytes = 31;

  TvwPrinter();
  // A job still open is aborted: a pass left by an exception never sends or
  // saves half a document as complete.
  ~TvwPrinter();
  TvwPrinter(const TvwPrinter&) = delete;
  TvwPrinter& operator=(const TvwPrinter&) = delete;

  // The job's document name; the job gets at most kMaxTitleBytes of it, cut
  // before a character that would not fit whole.
  std::string Title;

  // Opens a device context and starts a job on page 1. A job that cannot
  // start raises (EPrinter "Printer selected is not valid" without a
  // printer, the device's reason otherwise) and leaves the printer idle.
  void BeginDoc();
  // Ends the page and starts the next.
  void NewPage();
  // Ends the job: the pages go to the printer (or the file).
  void EndDoc();
  // Ends the job throwing away everything it printed: no paper, no file.
  void Abort();

  TPrinterCanvas& Canvas() { return GetCanvas(); }
  TPrinterCanvas& GetCanvas();
  // The printable area in device pixels (HORZRES, VERTRES); open at least
  // an information context, and keep a job's device context.
  [[nodiscard]] int GetPageWidth();
  [[nodiscard]] int GetPageHeight();

  [[nodiscard]] bool Printing() const { return printing_; }
  [[nodiscard]] bool Aborted() const { return aborted_; }
  [[nodiscard]] int PageNumber() const { return page_number_; }
  [[nodiscard]] TState State() const { return state_; }

  // Raises EPrinter "Printer is not currently printing" when a job was
  // expected and none runs, "Printing in progress" when one runs unexpected.
  void CheckPrinting(bool expected) const;
  void SetState(TState value);

 private:
  friend class TPrinterCanvas;
  // What the spooler's abort procedure did between pages: pending messages
  // run (a Cancel button works) and the job may have been ended meanwhile.
  void PageBoundary();
  void Finish(bool send);

  std::unique_ptr<TPrinterCanvas> canvas_;
  int page_number_ = 0;
  bool printing_ = false;
  bool aborted_ = false;
  TState state_ = TState::NoHandle;
  std::unique_ptr<TPrinter> dc_;  // the open context: a job object on the selected printer
};

// The shared instance, made on first use and freed at exit.
TvwPrinter& vwPrinter();
// Installs `value` and returns the instance that was there (null if none was
// made yet).
std::unique_ptr<TvwPrinter> SetvwPrinter(std::unique_ptr<TvwPrinter> value);

}  // namespace lark
