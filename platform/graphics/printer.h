#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/canvas.h"

namespace lark {

namespace detail {
class CanvasDevice;
class PrinterDevice;
}

// Page orientations and paper sizes of a device mode.
constexpr short DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2;
constexpr short DMPAPER_LETTER = 1, DMPAPER_LEGAL = 5, DMPAPER_A3 = 8, DMPAPER_A4 = 9, DMPAPER_A5 = 11;

// The texts of EPrinter.
inline constexpr const char* kPrinterNotValid = "Printer selected is not valid";
inline constexpr const char* kPrinterNotPrinting = "Printer is not currently printing";
inline constexpr const char* kPrintingInProgress = "Printing in progress";

// The settings a printer prints with, as a device mode carries them.
struct DEVMODE {
  std::string dmDeviceName;
  short dmOrientation = DMORIENT_PORTRAIT;
  short dmPaperSize = DMPAPER_A4;  // sizes the printer does not know print on A4
  short dmCopies = 1;
};

// The printer the print pass opens: one job at a time, page by page. Its
// canvas is the same object in and out of a job; outside one it measures
// text and reports the device, and drawing on it raises EPrinter "Printer is
// not currently printing".
class TPrinter {
 public:
  TPrinter();
  virtual ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // The printers this object can print to, in order; PrinterIndex selects one.
  [[nodiscard]] virtual std::vector<std::string> Printers() const = 0;
  [[nodiscard]] int PrinterIndex() const { return printer_index_; }
  // Raises EPrinter "Printer selected is not valid" for an index outside the
  // list, and "Printing in progress" during a job. The newly selected
  // printer starts with the default device mode.
  void SetPrinterIndex(int index);
  [[nodiscard]] std::string PrinterName() const;
  // Device, driver and port of the selected printer, and a copy of its
  // device mode.
  void GetPrinter(std::string& device, std::string& driver, std::string& port, DEVMODE& devMode) const;
  // Selects the printer named `device` (driver and port follow from it) with
  // the device mode's settings: an orientation other than landscape means
  // portrait, fewer than 1 copy means 1. Raises EPrinter as SetPrinterIndex.
  void SetPrinter(const std::string& device, const std::string& driver, const std::string& port,
                  const DEVMODE& devMode);

  // The document name the job carries.
  std::string Title;

  // Raise EPrinter: "Printing in progress" for BeginDoc during a job,
  // "Printer is not currently printing" for the others outside one, and
  // "Printer selected is not valid" when there is no printer.
  void BeginDoc();
  void NewPage();
  void EndDoc();
  // Ends the job and throws away what it printed.
  void Abort();
  [[nodiscard]] bool Printing() const { return printing_; }
  [[nodiscard]] bool Aborted() const { return aborted_; }
  [[nodiscard]] int PageNumber() const { return page_number_; }

  TCanvas& Canvas() { return *canvas_; }
  // The printable area in device pixels (HORZRES, VERTRES).
  [[nodiscard]] int PageWidth() const { return Caps().HorzRes; }
  [[nodiscard]] int PageHeight() const { return Caps().VertRes; }
  [[nodiscard]] virtual TDeviceCaps Caps() const = 0;

  // Opens a job object of its own on the selected printer: a printer object
  // of the same kind with a copy of this one's selection and device mode,
  // and of what its kind adds (the PDF printer's output file). Its jobs run
  // beside this object's and change nothing here. Raises EPrinter "Printer
  // selected is not valid" when no printer is selected.
  [[nodiscard]] virtual std::unique_ptr<TPrinter> OpenJob() const = 0;

 protected:
  // Takes over another printer object's selection and device mode.
  void CopySelection(const TPrinter& from);
  [[nodiscard]] const DEVMODE& DevMode() const { return dev_mode_; }
  [[nodiscard]] bool Landscape() const { return dev_mode_.dmOrientation == DMORIENT_LANDSCAPE; }

  // A device for the job's first page.
  virtual std::unique_ptr<detail::CanvasDevice> StartJob() = 0;
  virtual void StartNextPage(detail::CanvasDevice& device) = 0;
  virtual void FinishJob(std::unique_ptr<detail::CanvasDevice> device) = 0;
  virtual void AbortJob(std::unique_ptr<detail::CanvasDevice> device) = 0;

 private:
  void CheckPrinting(bool expected) const;

  detail::PrinterDevice* device_;  // owned by canvas_
  std::unique_ptr<TCanvas> canvas_;
  int printer_index_ = 0;
  DEVMODE dev_mode_;
  bool printing_ = false;
  bool aborted_ = false;
  int page_number_ = 0;
};

// Prints to the system's print queues when CUPS has any, and always offers a
// PDF printer (named "PDF"), which writes OutputFileName at the end of a job;
// an aborted job leaves no file. Both print in the device mode's orientation
// and paper size; queues also make its number of copies, the PDF file
// holds one.
class TSystemPrinter : public TPrinter {
 public:
  TSystemPrinter();
  ~TSystemPrinter() override;

  [[nodiscard]] std::vector<std::string> Printers() const override;
  [[nodiscard]] TDeviceCaps Caps() const override;
  [[nodiscard]] std::unique_ptr<TPrinter> OpenJob() const override;
  // Where the PDF printer writes; by default "larkspan.pdf" in the home folder.
  // The file is replaced only by a finished job: the pages go to a file
  // beside it that is renamed over it at the end.
  std::string OutputFileName;

 protected:
  std::unique_ptr<detail::CanvasDevice> StartJob() override;
  void StartNextPage(detail::CanvasDevice& device) override;
  void FinishJob(std::unique_ptr<detail::CanvasDevice> device) override;
  void AbortJob(std::unique_ptr<detail::CanvasDevice> device) override;

 private:
  struct Job;
  explicit TSystemPrinter(std::vector<std::string> queues);
  [[nodiscard]] bool PdfSelected() const;
  std::vector<std::string> queues_;
  std::unique_ptr<Job> job_;
};

// A printer for tests: its geometry, offsets and colour depth are what it is
// given (for portrait pages; landscape swaps them), and its pages are kept as
// images to read back. The job objects it opens keep their pages here too.
class TTestPrinter : public TPrinter {
 public:
  explicit TTestPrinter(const TDeviceCaps& caps);
  ~TTestPrinter() override;

  // What the test printer lists; empty stands for a machine without any
  // printer installed.
  std::vector<std::string> Listed{"Test"};
  [[nodiscard]] std::vector<std::string> Printers() const override { return Listed; }
  [[nodiscard]] TDeviceCaps Caps() const override;
  [[nodiscard]] std::unique_ptr<TPrinter> OpenJob() const override;
  // Pages of the last finished job, of this object or of a job object it
  // opened (an aborted job keeps none).
  [[nodiscard]] int PageCount() const;
  // Copies a page (the printable area, white where nothing was drawn).
  void GetPage(int index, TBitmap& page) const;

 protected:
  std::unique_ptr<detail::CanvasDevice> StartJob() override;
  void StartNextPage(detail::CanvasDevice& device) override;
  void FinishJob(std::unique_ptr<detail::CanvasDevice> device) override;
  void AbortJob(std::unique_ptr<detail::CanvasDevice> device) override;

 private:
  struct Pages;
  struct FinishedPages;
  TDeviceCaps caps_;
  std::unique_ptr<Pages> pages_;  // the job being printed
  std::shared_ptr<FinishedPages> finished_;  // shared with the job objects it opened
};

// The program's printer object: a TSystemPrinter unless another was set.
TPrinter& Printer();
// Installs a printer object and returns the one that was there.
std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> printer);

}  // namespace lark
