// Printing and print preview: a private copy of the document, laid out once
// at the body's width, is cut into pages by moving its scroll offset over
// that layout; the sections move the page bottom up so that no line, row or
// picture is cut.
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "html/section_list.h"
#include "platform/core/exception.h"
#include "platform/core/message_pump.h"
#include "platform/graphics/arithmetic.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/printer.h"
#include "platform/graphics/region.h"
#include "platform/graphics/screen.h"
#include "print/vw_printer.h"
#include "viewer/frame_viewer_base.h"
#include "viewer/html_viewer.h"

namespace lark {

namespace {

constexpr double kCmPerInch = 2.54;

// What a pass reads of its device, in device pixels.
struct TDeviceGeometry {
  int PpiX = 0, PpiY = 0;
  int PaperWidth = 0, PaperHeight = 0;
  int OffsetX = 0, OffsetY = 0;
  int PageWidth = 0, PageHeight = 0;  // the printable area
};

TDeviceGeometry ReadGeometry(TCanvas& device) {
  return {GetDeviceCaps(device, LOGPIXELSX),      GetDeviceCaps(device, LOGPIXELSY),
          GetDeviceCaps(device, PHYSICALWIDTH),   GetDeviceCaps(device, PHYSICALHEIGHT),
          GetDeviceCaps(device, PHYSICALOFFSETX), GetDeviceCaps(device, PHYSICALOFFSETY),
          GetDeviceCaps(device, HORZRES),         GetDeviceCaps(device, VERTRES)};
}

// A margin in device pixels from the paper edge. A margin that is not a
// number, negative or wider than the paper is refused before it is rounded
// into an int.
int MarginPixels(double cm, int ppi, int paper, const char* side) {
  const double paperCm = double(paper) * kCmPerInch / std::max(ppi, 1);
  if (!std::isfinite(cm) || cm < 0 || cm > paperCm)
    throw Exception(std::string("Print margin out of range: ") + side + " " + std::to_string(cm) + " cm");
  return int(std::lround(ppi * cm / kCmPerInch));
}

// Device pixels in logical units, rounded up or down.
int ToLogical(std::int64_t device, int screenPpi, int ppi, bool up) {
  const std::int64_t scaled = device * screenPpi;
  std::int64_t units = scaled / ppi;
  if (scaled % ppi != 0 && (scaled > 0) == up) units += up ? 1 : -1;
  return int(units);
}

// Where a page's parts go: margins and body in device pixels and in
// logical units (screen pixels at the printer's resolution).
struct TPageLayout {
  int ScreenPpi = 96;
  int Top = 0, BodyWidth = 0, BodyHeight = 0, Left = 0;
  int LeftLog = 0, TopLog = 0, WidthLog = 0, HeightLog = 0;
  int PageWidthLog = 0, PageHeightLog = 0;

  [[nodiscard]] TRect BodyRect() const { return {LeftLog, TopLog, LeftLog + WidthLog, TopLog + HeightLog}; }
};

// Raises before any job starts when the margins leave no body.
TPageLayout LayOutPage(const TDeviceGeometry& d, const THTMLViewer& viewer) {
  const int rightBorder = std::max(0, d.PaperWidth - d.PageWidth - d.OffsetX);
  const int bottomBorder = std::max(0, d.PaperHeight - d.PageHeight - d.OffsetY);
  const std::int64_t left = MarginPixels(viewer.PrintMarginLeft, d.PpiX, d.PaperWidth, "left") - d.OffsetX;
  const std::int64_t right = MarginPixels(viewer.PrintMarginRight, d.PpiX, d.PaperWidth, "right") - rightBorder;
  const std::int64_t top = MarginPixels(viewer.PrintMarginTop, d.PpiY, d.PaperHeight, "top") - d.OffsetY;
  const std::int64_t bottom =
      MarginPixels(viewer.PrintMarginBottom, d.PpiY, d.PaperHeight, "bottom") - bottomBorder;
  const std::int64_t width = d.PageWidth - (left + right), height = d.PageHeight - (top + bottom);
  TPageLayout page;
  page.ScreenPpi = ScreenCaps().LogPixelsY;
  // Less than one logical unit would lay out nothing and never advance.
  if (width * page.ScreenPpi < d.PpiX || height * page.ScreenPpi < d.PpiY)
    throw Exception("Print margins leave no room for the page body");
  page.Left = int(left);
  page.Top = int(top);
  page.BodyWidth = int(width);
  page.BodyHeight = int(height);
  // The body in logical units lies inside the body in device pixels:
  // rounding each edge to the nearest unit would move the bottom line up to
  // two thirds of a point into the margin at 600 dpi.
  page.LeftLog = ToLogical(left, page.ScreenPpi, d.PpiX, true);
  page.WidthLog = ToLogical(left + width, page.ScreenPpi, d.PpiX, false) - page.LeftLog;
  page.TopLog = ToLogical(top, page.ScreenPpi, d.PpiY, true);
  page.HeightLog = ToLogical(top + height, page.ScreenPpi, d.PpiY, false) - page.TopLog;
  page.PageWidthLog = MulDiv(d.PageWidth, page.ScreenPpi, d.PpiX);
  page.PageHeightLog = MulDiv(d.PageHeight, page.ScreenPpi, d.PpiY);
  return page;
}

// One logical unit is one screen pixel at the device's resolution.
void MapToScreenPixels(TCanvas& canvas, const TPageLayout& page, const TDeviceGeometry& d) {
  SetMapMode(canvas, MM_ANISOTROPIC);
  SetWindowExtEx(canvas, page.ScreenPpi, page.ScreenPpi);
  SetViewportExtEx(canvas, d.PpiX, d.PpiY);
}

}  // namespace

// One print or preview pass over a copy of the viewer's document. The pass
// owns its temporaries, so every way out frees them; the viewer stays busy
// for the pass, so that nothing that runs while it pumps messages (a META
// refresh, a late picture, a posted load, another pass) changes the
// document the copy shares pictures and controls with.
class THTMLViewer::TPrintPass {
 public:
  // The target: the canvas of the page being drawn, and the step to the next.
  struct TTarget {
    std::function<TCanvas&()> Canvas;
    // What the layout measures text on: the target's device.
    std::function<TCanvas&()> LayoutCanvas;
    std::function<void()> NewPage;
    bool Preview = false;
  };

  TPrintPass(THTMLViewer& viewer, const TDeviceGeometry& device)
      : viewer_(viewer), device_(device), page_(LayOutPage(device, viewer)) {}

  ~TPrintPass() {
    if (busy_) viewer_.SetProcessing(false);
  }
  TPrintPass(const TPrintPass&) = delete;
  TPrintPass& operator=(const TPrintPass&) = delete;

  // Marks the viewer busy and copies its document.
  void Begin() {
    viewer_.SetProcessing(true);
    busy_ = true;
    // The print options as the viewer has them now, set or default: the
    // document hears of them only when they are set, and its copy takes
    // them (table colours among them) from it. The screen reads none.
    TSectionList& shown = *viewer_.sectionList_;
    shown.PrintTableBackground = (viewer_.options_ & htPrintTableBackground) != 0;
    shown.PrintMonochromeBlack = (viewer_.options_ & htPrintMonochromeBlack) != 0;
    copy_ = std::make_unique<TSectionList>(shown);
    copy_->SetYOffset(0);
    copy_->Background = clWhite;  // not SetBackground: the viewer's colour stays
    copy_->OnBackgroundChange = nullptr;
    copy_->OnLayoutError = nullptr;  // the screen layout has reported them
  }

  // Lays the copy out and produces pages fromPage..toPage (every page for a
  // preview); returns how many pages of the range were drawn.
  int Run(TTarget& target, int fromPage, int toPage) {
    TCanvas& measure = target.LayoutCanvas();
    MapToScreenPixels(measure, page_, device_);
    int scrollWidth = 0, curs = 0;
    const int docHeight = copy_->DoLogic(measure, 0, page_.WidthLog, page_.HeightLog, scrollWidth, curs);
    if (!target.Preview) stop_ = false;
    viewer_.currentPage_ = 1;
    TRect clip{0, page_.Top - 1, page_.Left + page_.BodyWidth + 2, page_.Top + page_.BodyHeight + 2};
    if (target.Preview) clip = Intersect(clip, TRect{0, 0, device_.PageWidth, device_.PageHeight});
    const TRegion region = CreateRectRgn(clip.Left, clip.Top, clip.Right, clip.Bottom);
    ProcessPendingMessages();
    Report(1);
    int drawn = 0;
    std::int64_t topPos = 0;
    int& number = viewer_.currentPage_;
    while (!stop_ && (target.Preview || number <= toPage)) {
      const bool onPaper = target.Preview || number >= fromPage;
      TCanvas& canvas = target.Canvas();
      const std::int64_t cut = DrawPage(canvas, region, topPos, onPaper);
      if (onPaper) {
        ++drawn;
        FinishPage(canvas, target.Preview, cut - topPos);
      }
      topPos = cut;
      ProcessPendingMessages();
      Report(number);
      // The last int is as far as a page can start.
      if (topPos > docHeight || topPos == std::numeric_limits<int>::max()) stop_ = true;
      if (!stop_ && (target.Preview || (fromPage <= number && number < toPage))) target.NewPage();
      ++number;
    }
    --number;
    return drawn;
  }

 private:
  static TRect Intersect(const TRect& a, const TRect& b) {
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
  }

  void Report(int numPage) {
    if (viewer_.OnPageEvent) viewer_.OnPageEvent(&viewer_, numPage, stop_);
  }

  // Draws the page that starts at document Y topPos (beside the paper when
  // it is not printed, so that only the cut is computed) and returns where
  // the next page starts: always below topPos, so the pass advances even
  // where a section left the page bottom at or above the page top.
  std::int64_t DrawPage(TCanvas& canvas, const TRegion& region, std::int64_t topPos, bool onPaper) {
    copy_->SetYOffset(int(topPos - page_.TopLog));
    MapToScreenPixels(canvas, page_, device_);
    SetWindowOrgEx(canvas, 0, 0);
    SelectClipRgn(canvas, &region);
    const int x = onPaper ? page_.LeftLog : 3 * page_.WidthLog + page_.LeftLog;
    copy_->Draw(canvas, page_.BodyRect(), page_.WidthLog, x, 0, 0, 0);
    std::int64_t cut = copy_->PageBottom;
    if (cut <= topPos) cut = topPos + page_.HeightLog;
    return std::min<std::int64_t>(cut, std::numeric_limits<int>::max());
  }

  // Erases what spilled outside the body and lets the application draw the
  // header and footer.
  void FinishPage(TCanvas& canvas, bool preview, std::int64_t usedHeight) {
    const TFont font = canvas.Font();
    const TPen pen = canvas.Pen();
    const TBrush brush = canvas.Brush();
    SelectClipRgn(canvas, nullptr);
    canvas.Brush().Color = clWhite;
    canvas.Brush().Style = bsSolid;
    canvas.Pen().Color = clWhite;
    canvas.Pen().Style = psSolid;
    const int right = page_.LeftLog + page_.WidthLog + 1;
    canvas.Rectangle(page_.LeftLog, 0, right, page_.TopLog - 1);
    if (usedHeight < page_.HeightLog)
      canvas.Rectangle(page_.LeftLog, page_.TopLog + int(usedHeight), right, page_.TopLog + page_.HeightLog);
    const unsigned align = SetTextAlign(canvas, TA_LEFT | TA_TOP);
    const TRegion wholePage = CreateRectRgn(0, 0, device_.PageWidth, device_.PageHeight);
    if (preview) SelectClipRgn(canvas, &wholePage);
    else canvas.SetPen(pen);
    const int number = viewer_.currentPage_;
    if (viewer_.OnPrintHeader) {
      SetWindowOrgEx(canvas, 0, 0);
      viewer_.OnPrintHeader(&viewer_, canvas, number, page_.PageWidthLog, page_.TopLog, stop_);
    }
    if (viewer_.OnPrintFooter) {
      const int footerTop = page_.TopLog + page_.HeightLog;
      SetWindowOrgEx(canvas, 0, -footerTop);
      viewer_.OnPrintFooter(&viewer_, canvas, number, page_.PageWidthLog, page_.PageHeightLog - footerTop, stop_);
    }
    SetTextAlign(canvas, align);
    canvas.SetFont(font);
    canvas.SetPen(pen);
    canvas.SetBrush(brush);
    if (preview) SelectClipRgn(canvas, nullptr);
  }

  THTMLViewer& viewer_;
  const TDeviceGeometry device_;
  const TPageLayout page_;
  std::unique_ptr<TSectionList> copy_;
  bool busy_ = false;
  bool stop_ = false;
};

void THTMLViewer::Print(int fromPage, int toPage) {
  // A pass started from a handler of a running one (or during a load)
  // leaves the running pass's page count and progress alone.
  if (processing_) return;
  if (OnPageEvent) {
    bool stop = false;
    OnPageEvent(this, 0, stop);
  }
  currentPage_ = 0;
  if (sectionList_->Count() == 0) return;
  // The job's printer is installed for the pass, so that its page
  // boundaries see it, and the previous one comes back on every way out.
  struct Installed {
    std::unique_ptr<TvwPrinter> previous;
    ~Installed() { SetvwPrinter(std::move(previous)); }
  } installed{SetvwPrinter(std::make_unique<TvwPrinter>())};
  TvwPrinter& printer = vwPrinter();
  TPrintPass pass(*this, ReadGeometry(printer.Canvas()));
  if (!documentTitle_.empty()) printer.Title = documentTitle_;
  pass.Begin();
  printer.BeginDoc();
  TPrintPass::TTarget target{[&printer]() -> TCanvas& { return printer.Canvas(); },
                             [&printer]() -> TCanvas& { return printer.Canvas(); }, [&printer] { printer.NewPage(); },
                             false};
  // A job that reached no page of the range, the document ended or the pass
  // stopped before it, is thrown away: no blank sheet, no file.
  if (pass.Run(target, fromPage, toPage) == 0) printer.Abort();
  else printer.EndDoc();
}

int THTMLViewer::PrintPreview(TMetaFilePrinter& mfPrinter) {
  // A pass started from a handler of a running one (or during a load)
  // leaves the running pass's page count and progress alone.
  if (processing_) return 0;
  if (OnPageEvent) {
    bool stop = false;
    OnPageEvent(this, 0, stop);
  }
  currentPage_ = 0;
  if (sectionList_->Count() == 0) return 0;
  TPrinter& printer = Printer();
  TPrintPass pass(*this, ReadGeometry(printer.Canvas()));
  pass.Begin();
  mfPrinter.BeginDoc();
  // A pass left by an exception still ends the store's job: it keeps the
  // pages recorded so far and is ready for the next.
  struct Ending {
    TMetaFilePrinter& store;
    ~Ending() { store.EndDoc(); }
  } ending{mfPrinter};
  // The layout measures against the printer as the pages do, on a canvas
  // of its own: asking the store for one would make page 1 count as drawn
  // even when the pass stops before it.
  TMetafile scratch;
  TMetafileCanvas measure(scratch, &printer.Canvas());
  TPrintPass::TTarget target{[&mfPrinter]() -> TCanvas& { return mfPrinter.Canvas(); },
                             [&measure]() -> TCanvas& { return measure; }, [&mfPrinter] { mfPrinter.NewPage(); },
                             true};
  pass.Run(target, 1, std::numeric_limits<int>::max());
  return currentPage_;
}

void TFVBase::Print(int fromPage, int toPage) {
  if (THTMLViewer* viewer = ActiveViewer()) viewer->Print(fromPage, toPage);
}

}  // namespace lark
