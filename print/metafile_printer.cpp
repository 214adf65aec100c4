#include "print/metafile_printer.h"

#include "platform/graphics/gdi.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/graphics/printer.h"
#include "platform/graphics/screen.h"

namespace lark {

TMetaFilePrinter::TMetaFilePrinter(TComponent* owner) : TComponent(owner) {}

TMetaFilePrinter::~TMetaFilePrinter() = default;

void TMetaFilePrinter::SetUnits(TUnits units) {
  units_ = units;
  unit_factor_ = units == unCentimeters ? 2.54 : 1.0;
}

void TMetaFilePrinter::BeginDoc() {
  TPrinter& printer = Printer();
  if (printer.Printers().empty()) throw Exception("Printer not available");
  TCanvas& handle = printer.Canvas();
  ppi_x_ = GetDeviceCaps(handle, LOGPIXELSX);
  ppi_y_ = GetDeviceCaps(handle, LOGPIXELSY);
  paper_width_ = GetDeviceCaps(handle, PHYSICALWIDTH);
  paper_height_ = GetDeviceCaps(handle, PHYSICALHEIGHT);
  offset_x_ = GetDeviceCaps(handle, PHYSICALOFFSETX);
  offset_y_ = GetDeviceCaps(handle, PHYSICALOFFSETY);
  page_height_ = printer.PageHeight();
  page_width_ = printer.PageWidth();
  printing_ = true;
  canvas_.reset();
  pages_.clear();
  printer_handle_ = &handle;
  NewPage();
}

void TMetaFilePrinter::NewPage() {
  if (!printing_) throw EPrinter(kPrinterNotPrinting);
  const bool first = canvas_ == nullptr;
  pages_.push_back(std::make_unique<TMetafile>());
  auto canvas = std::make_unique<TMetafileCanvas>(*pages_.back(), printer_handle_);
  canvas->Brush().Color = clWhite;
  canvas->Pen().Color = clWhite;
  canvas->Brush().Style = bsSolid;
  canvas->Rectangle(0, 0, paper_width_, paper_height_);
  if (first) {
    canvas->Font().SetPixelsPerInch(ScreenCaps().LogPixelsY);
    canvas->Font().SetName("Arial");
    canvas->Font().SetSize(10);
    canvas->Brush().Style = bsClear;
  }
  canvas_ = std::move(canvas);
  page_drawn_ = false;
  if (OnPageEvent) {
    bool stop = false;
    OnPageEvent(this, GetPageCount(), stop);
  }
}

void TMetaFilePrinter::EndDoc() {
  if (!printing_) return;
  printing_ = false;
  canvas_.reset();
  printer_handle_ = nullptr;
  if (!page_drawn_ && !pages_.empty()) pages_.pop_back();
}

TCanvas& TMetaFilePrinter::GetCanvas() {
  if (!canvas_) throw EPrinter(kPrinterNotPrinting);
  page_drawn_ = true;
  return *canvas_;
}

TMetafile& TMetaFilePrinter::GetMetaFile(int index) const {
  if (index < 0 || index >= GetPageCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return *pages_[size_t(index)];
}

}  // namespace lark
