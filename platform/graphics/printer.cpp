#include "platform/graphics/printer.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/bitmap_data_qt.h"
#include "platform/graphics/canvas_device_qt.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/graphics_exceptions.h"
#include "platform/windows/gui_application.h"

namespace lark {

namespace detail {

// The printer canvas's device: the job's page during a job; outside one it
// reports the device and refuses drawing.
class PrinterDevice : public CanvasDevice {
 public:
  explicit PrinterDevice(const TPrinter& printer) : printer_(printer) {}
  const TDeviceCaps& Caps() const override {
    caps_ = printer_.Caps();
    return caps_;
  }
  void Execute(const DrawCommand& command) override {
    if (!target) throw EPrinter(kPrinterNotPrinting);
    target->Execute(command);
  }
  void Flush() override {
    if (target) target->Flush();
  }

  std::unique_ptr<CanvasDevice> target;

 private:
  const TPrinter& printer_;
  mutable TDeviceCaps caps_;
};

}  // namespace detail

// ---- TPrinter -------------------------------------------------------------

TPrinter::TPrinter() {
  auto device = std::make_unique<detail::PrinterDevice>(*this);
  device_ = device.get();
  canvas_ = std::make_unique<TCanvas>(std::move(device));
}

TPrinter::~TPrinter() = default;

void TPrinter::CheckPrinting(bool expected) const {
  if (printing_ != expected) throw EPrinter(expected ? kPrinterNotPrinting : kPrintingInProgress);
}

void TPrinter::SetPrinterIndex(int index) {
  CheckPrinting(false);
  if (index < 0 || index >= int(Printers().size())) throw EPrinter(kPrinterNotValid);
  printer_index_ = index;
  dev_mode_ = DEVMODE();
}

void TPrinter::CopySelection(const TPrinter& from) {
  printer_index_ = from.printer_index_;
  dev_mode_ = from.dev_mode_;
}

void TPrinter::SetPrinter(const std::string& device, const std::string&, const std::string&,
                          const DEVMODE& devMode) {
  CheckPrinting(false);
  const std::vector<std::string> printers = Printers();
  const auto found = std::find(printers.begin(), printers.end(), device);
  if (found == printers.end()) throw EPrinter(kPrinterNotValid);
  SetPrinterIndex(int(found - printers.begin()));
  dev_mode_ = devMode;
  dev_mode_.dmDeviceName = device;
  if (dev_mode_.dmOrientation != DMORIENT_LANDSCAPE) dev_mode_.dmOrientation = DMORIENT_PORTRAIT;
  dev_mode_.dmCopies = std::max<short>(1, dev_mode_.dmCopies);
}

std::string TPrinter::PrinterName() const {
  const std::vector<std::string> printers = Printers();
  if (printer_index_ < 0 || printer_index_ >= int(printers.size())) throw EPrinter(kPrinterNotValid);
  return printers[size_t(printer_index_)];
}

void TPrinter::GetPrinter(std::string& device, std::string& driver, std::string& port, DEVMODE& devMode) const {
  device = PrinterName();
  driver = device == "PDF" || device == "Test" ? device : "CUPS";
  port = device;
  devMode = dev_mode_;
  devMode.dmDeviceName = device;
}

void TPrinter::BeginDoc() {
  CheckPrinting(false);
  (void)PrinterName();
  device_->target = StartJob();
  printing_ = true;
  aborted_ = false;
  page_number_ = 1;
  canvas_->ResetDeviceState();
}

void TPrinter::NewPage() {
  CheckPrinting(true);
  StartNextPage(*device_->target);
  ++page_number_;
}

void TPrinter::EndDoc() {
  CheckPrinting(true);
  printing_ = false;
  FinishJob(std::move(device_->target));
}

void TPrinter::Abort() {
  CheckPrinting(true);
  printing_ = false;
  aborted_ = true;
  AbortJob(std::move(device_->target));
}

// ---- the system printer -----------------------------------------------------

namespace {

constexpr int kPdfResolution = 600;

QPageSize PaperSize(short paper) {
  switch (paper) {
    case DMPAPER_LETTER: return QPageSize(QPageSize::Letter);
    case DMPAPER_LEGAL: return QPageSize(QPageSize::Legal);
    case DMPAPER_A3: return QPageSize(QPageSize::A3);
    case DMPAPER_A5: return QPageSize(QPageSize::A5);
    default: return QPageSize(QPageSize::A4);
  }
}

QPageLayout::Orientation PageOrientation(bool landscape) {
  return landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// The device mode's page, without unprintable borders.
QPageLayout PdfLayout(const DEVMODE& mode, bool landscape) {
  return QPageLayout(PaperSize(mode.dmPaperSize), PageOrientation(landscape), QMarginsF(0, 0, 0, 0));
}

void ApplyDeviceMode(QPrinter& printer, const DEVMODE& mode, bool landscape) {
  printer.setPageSize(PaperSize(mode.dmPaperSize));
  printer.setPageOrientation(PageOrientation(landscape));
  printer.setCopyCount(mode.dmCopies);
}

}  // namespace

struct TSystemPrinter::Job {
  std::unique_ptr<QPdfWriter> pdf;
  std::unique_ptr<QPrinter> queue;
  QString partial;  // the PDF being written, renamed when the job ends
};

TSystemPrinter::TSystemPrinter()
    : OutputFileName((QDir::homePath() + "/larkspan.pdf").toStdString()) {
  EnsureGuiApplication();
  for (const QString& name : QPrinterInfo::availablePrinterNames()) queues_.push_back(name.toStdString());
}

TSystemPrinter::TSystemPrinter(std::vector<std::string> queues) : queues_(std::move(queues)) {}

std::unique_ptr<TPrinter> TSystemPrinter::OpenJob() const {
  (void)PrinterName();
  std::unique_ptr<TSystemPrinter> job(new TSystemPrinter(queues_));
  job->CopySelection(*this);
  job->OutputFileName = OutputFileName;
  return job;
}

TSystemPrinter::~TSystemPrinter() {
  if (Printing()) Abort();
}

std::vector<std::string> TSystemPrinter::Printers() const {
  std::vector<std::string> printers = queues_;
  printers.push_back("PDF");
  return printers;
}

bool TSystemPrinter::PdfSelected() const { return PrinterIndex() >= int(queues_.size()); }

TDeviceCaps TSystemPrinter::Caps() const {
  TDeviceCaps caps;
  caps.Technology = DT_RASPRINTER;
  if (PdfSelected()) {
    const QRect page = PdfLayout(DevMode(), Landscape()).fullRectPixels(kPdfResolution);
    caps.LogPixelsX = caps.LogPixelsY = kPdfResolution;
    caps.HorzRes = caps.PhysicalWidth = page.width();
    caps.VertRes = caps.PhysicalHeight = page.height();
    return caps;
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setPrinterName(QString::fromStdString(queues_[size_t(PrinterIndex())]));
  ApplyDeviceMode(printer, DevMode(), Landscape());
  const int dpi = printer.resolution();
  const QRect full = printer.pageLayout().fullRectPixels(dpi);
  const QRect paint = printer.pageLayout().paintRectPixels(dpi);
  caps.LogPixelsX = caps.LogPixelsY = dpi;
  caps.PhysicalWidth = full.width();
  caps.PhysicalHeight = full.height();
  caps.HorzRes = paint.width();
  caps.VertRes = paint.height();
  caps.PhysicalOffsetX = paint.left();
  caps.PhysicalOffsetY = paint.top();
  if (printer.colorMode() == QPrinter::GrayScale) caps.BitsPixel = 1;
  return caps;
}

std::unique_ptr<detail::CanvasDevice> TSystemPrinter::StartJob() {
  EnsureGuiApplication();
  job_ = std::make_unique<Job>();
  if (PdfSelected()) {
    job_->partial = QString::fromStdString(OutputFileName) + ".part";
    job_->pdf = std::make_unique<QPdfWriter>(job_->partial);
    job_->pdf->setResolution(kPdfResolution);
    job_->pdf->setPageLayout(PdfLayout(DevMode(), Landscape()));
    job_->pdf->setTitle(QString::fromStdString(Title));
    job_->pdf->setCreator("Larkspan");
    return detail::MakePaperDevice(job_->pdf.get(), Caps());
  }
  job_->queue = std::make_unique<QPrinter>(QPrinter::HighResolution);
  job_->queue->setPrinterName(QString::fromStdString(PrinterName()));
  ApplyDeviceMode(*job_->queue, DevMode(), Landscape());
  job_->queue->setDocName(QString::fromStdString(Title));
  return detail::MakePaperDevice(job_->queue.get(), Caps());
}

void TSystemPrinter::StartNextPage(detail::CanvasDevice&) {
  if (job_->pdf) job_->pdf->newPage();
  else job_->queue->newPage();
}

void TSystemPrinter::FinishJob(std::unique_ptr<detail::CanvasDevice> device) {
  device.reset();  // ends painting: the document is complete
  const bool pdf = job_->pdf != nullptr;
  const QString partial = job_->partial;
  job_.reset();
  if (!pdf) return;
  // One rename replaces the previous file, so a failure keeps it whole.
  if (std::rename(partial.toLocal8Bit().constData(), OutputFileName.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    QFile::remove(partial);
    throw EPrinter("Cannot write " + OutputFileName + ": " + reason);
  }
}

void TSystemPrinter::AbortJob(std::unique_ptr<detail::CanvasDevice> device) {
  if (job_->queue) job_->queue->abort();
  device.reset();
  const QString partial = job_->partial;
  job_.reset();
  if (!partial.isEmpty()) QFile::remove(partial);
}

// ---- the test printer -------------------------------------------------------

struct TTestPrinter::Pages {
  QImage current;  // the page being drawn; its address stays for the device
  std::vector<QImage> done;
};

struct TTestPrinter::FinishedPages {
  std::vector<QImage> pages;
};

TTestPrinter::TTestPrinter(const TDeviceCaps& caps)
    : caps_(caps), pages_(std::make_unique<Pages>()), finished_(std::make_shared<FinishedPages>()) {
  caps_.Technology = DT_RASPRINTER;
}

std::unique_ptr<TPrinter> TTestPrinter::OpenJob() const {
  (void)PrinterName();
  auto job = std::make_unique<TTestPrinter>(caps_);
  job->Listed = Listed;
  job->CopySelection(*this);
  job->finished_ = finished_;
  return job;
}

TTestPrinter::~TTestPrinter() {
  if (Printing()) Abort();
}

TDeviceCaps TTestPrinter::Caps() const {
  TDeviceCaps caps = caps_;
  if (Landscape()) {
    std::swap(caps.LogPixelsX, caps.LogPixelsY);
    std::swap(caps.HorzRes, caps.VertRes);
    std::swap(caps.PhysicalWidth, caps.PhysicalHeight);
    std::swap(caps.PhysicalOffsetX, caps.PhysicalOffsetY);
  }
  return caps;
}

int TTestPrinter::PageCount() const { return int(finished_->pages.size()); }

void TTestPrinter::GetPage(int index, TBitmap& page) const {
  const QImage& image = finished_->pages.at(size_t(index));
  page.SetPixelFormat(pfDevice);
  page.SetSize(image.width(), image.height());
  page.Data().image = image.copy();
  if (caps_.BitsPixel * caps_.Planes == 1) page.SetMonochrome(true);
}

std::unique_ptr<detail::CanvasDevice> TTestPrinter::StartJob() {
  EnsureGuiApplication();
  pages_->done.clear();
  const TDeviceCaps caps = Caps();
  pages_->current = QImage(caps.HorzRes, caps.VertRes, QImage::Format_RGB32);
  pages_->current.fill(Qt::white);
  return detail::MakePaperDevice(&pages_->current, caps);
}

void TTestPrinter::StartNextPage(detail::CanvasDevice& device) {
  device.Flush();
  pages_->done.push_back(pages_->current.copy());
  pages_->current.fill(Qt::white);
}

void TTestPrinter::FinishJob(std::unique_ptr<detail::CanvasDevice> device) {
  device.reset();
  pages_->done.push_back(pages_->current.copy());
  finished_->pages = std::move(pages_->done);
  pages_->done.clear();
}

void TTestPrinter::AbortJob(std::unique_ptr<detail::CanvasDevice> device) {
  device.reset();
  pages_->done.clear();
  finished_->pages.clear();
}

// ---- the program's printer --------------------------------------------------

namespace {
std::unique_ptr<TPrinter>& Installed() {
  static std::unique_ptr<TPrinter> printer;
  return printer;
}
}  // namespace

TPrinter& Printer() {
  if (!Installed()) Installed() = std::make_unique<TSystemPrinter>();
  return *Installed();
}

std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> printer) {
  std::unique_ptr<TPrinter> previous = std::move(Installed());
  Installed() = std::move(printer);
  return previous;
}

}  // namespace lark
