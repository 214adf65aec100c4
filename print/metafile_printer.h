#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/graphics/metafile.h"
#include "platform/windows/component.h"

namespace lark {

// Print progress: NumPage 0 when the layout starts, n when page n is done;
// a handler sets StopPrinting to end the pass after the current page.
using TPageEvent = std::function<void(TObject* sender, int numPage, bool& stopPrinting)>;

enum TUnits { unInches, unCentimeters };

// The target of the print preview: a printer job whose pages are recorded,
// each into a metafile measured against the program's printer (Printer()),
// to be played back at any zoom or sent to the printer later. Every page
// covers the whole physical sheet and starts white.
class TMetaFilePrinter : public TComponent {
 public:
  explicit TMetaFilePrinter(TComponent* owner);
  ~TMetaFilePrinter() override;

  [[nodiscard]] TUnits Units() const { return units_; }
  void SetUnits(TUnits units);
  // 1 for inches, 2.54 for centimetres.
  [[nodiscard]] double UnitFactor() const { return unit_factor_; }
  // Called with the new page count each time a page opens; what the handler
  // leaves in StopPrinting is not used here.
  TPageEvent OnPageEvent;

  // Starts a job on page 1, replacing the pages of the last. Raises
  // Exception "Printer not available" when no printer is installed, and
  // changes nothing then.
  void BeginDoc();
  void NewPage();
  // Ends the job; a last page whose canvas was never asked for is dropped.
  // Outside a job it does nothing.
  void EndDoc();
  [[nodiscard]] bool Printing() const { return printing_; }

  // The canvas of the page being recorded; raises EPrinter "Printer is not
  // currently printing" outside a job.
  TCanvas& Canvas() { return GetCanvas(); }
  TCanvas& GetCanvas();
  [[nodiscard]] int PageCount() const { return GetPageCount(); }
  [[nodiscard]] int GetPageCount() const { return int(pages_.size()); }
  // Page `index` (0-based); EListError outside the pages.
  [[nodiscard]] TMetafile& MetaFile(int index) const { return GetMetaFile(index); }
  [[nodiscard]] TMetafile& GetMetaFile(int index) const;

  // The printer's geometry at BeginDoc, in its device pixels.
  [[nodiscard]] int PixelsPerInchX() const { return ppi_x_; }
  [[nodiscard]] int PixelsPerInchY() const { return ppi_y_; }
  [[nodiscard]] int PaperWidth() const { return paper_width_; }
  [[nodiscard]] int PaperHeight() const { return paper_height_; }
  [[nodiscard]] int OffsetX() const { return offset_x_; }
  [[nodiscard]] int OffsetY() const { return offset_y_; }
  [[nodiscard]] int PageWidth() const { return page_width_; }
  [[nodiscard]] int PageHeight() const { return page_height_; }

 private:
  TUnits units_ = unInches;
  double unit_factor_ = 1.0;
  bool printing_ = false;
  std::vector<std::unique_ptr<TMetafile>> pages_;
  std::unique_ptr<TMetafileCanvas> canvas_;  // records the last page
  TCanvas* printer_handle_ = nullptr;         // the reference device during a job
  bool page_drawn_ = false;
  int ppi_x_ = 0, ppi_y_ = 0;
  int paper_width_ = 0, paper_height_ = 0;
  int offset_x_ = 0, offset_y_ = 0;
  int page_width_ = 0, page_height_ = 0;
};

}  // namespace lark
