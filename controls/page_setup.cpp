#include "controls/page_setup.h"

#include <algorithm>
#include <cmath>

#include "platform/core/locale_settings.h"
#include "platform/graphics/printer.h"

namespace lark {
namespace {

struct PageValues {
  TPSPoint paper;
  TPSRect minimum;
  TPSRect margins;
};

int ToMillimetres(int inches) { return static_cast<int>(std::lround(inches * 2.54)); }
int ToInches(int millimetres) { return static_cast<int>(std::lround(millimetres / 2.54)); }

template <typename Convert>
PageValues Converted(const PageValues& v, Convert convert) {
  auto rect = [&](const TPSRect& r) {
    return TPSRect{convert(r.Left), convert(r.Top), convert(r.Right), convert(r.Bottom)};
  };
  return {TPSPoint{convert(v.paper.X), convert(v.paper.Y)}, rect(v.minimum), rect(v.margins)};
}

TPSRect FromRect(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }
TRect ToRect(const TPSRect& r) { return Rect(r.Left, r.Top, r.Right, r.Bottom); }

// The default printer's values in thousandths of an inch.
PageValues InchDefaults() {
  if (Printer().Printers().empty()) return {TPSPoint{8500, 11000}, TPSRect{250, 250, 250, 250}, {250, 250, 250, 250}};
  TPageSetupDialog dialog(nullptr);
  dialog.Units = TPageMeasureUnits::pmInches;
  dialog.ReturnDefault();
  return {TPSPoint{dialog.PaperSize.X, dialog.PaperSize.Y}, FromRect(dialog.MinMargins), FromRect(dialog.Margins)};
}

PageValues Defaults(bool metric) {
  const PageValues inches = InchDefaults();
  return metric ? Converted(inches, ToMillimetres) : inches;
}

}  // namespace

TPageSetupDlg::TPageSetupDlg(TComponent* owner) : TCommonDialog(owner) {
  const PageValues defaults = Defaults(Metric());
  PaperSize = defaults.paper;
  MinimumMargins = defaults.minimum;
  Margins = defaults.margins;
}

bool TPageSetupDlg::Metric() const {
  if (measurements_ == TPSMeasurements::pmDefault) return MetricMeasurement();
  return measurements_ == TPSMeasurements::pmMillimeters;
}

void TPageSetupDlg::SetMeasurements(TPSMeasurements value) {
  const bool was_metric = Metric();
  measurements_ = value;
  if (Metric() == was_metric) return;
  const PageValues now = Metric() ? Converted(PageValues{PaperSize, MinimumMargins, Margins}, ToMillimetres)
                                  : Converted(PageValues{PaperSize, MinimumMargins, Margins}, ToInches);
  PaperSize = now.paper;
  MinimumMargins = now.minimum;
  Margins = now.margins;
}

bool TPageSetupDlg::DoPrinter(HWND wnd) {
  if (!OnPrinter) return false;
  OnPrinter(this, wnd);
  return true;
}

void TPageSetupDlg::GetDefaults() {
  const PageValues inches = InchDefaults();
  if (!Metric()) {
    PaperSize = inches.paper;
    MinimumMargins = inches.minimum;
    Margins = inches.margins;
    return;
  }
  const PageValues metric = Converted(inches, ToMillimetres);
  const PageValues standard = Defaults(true);
  const bool loading = HasState(csLoading);
  if (loading || PaperSize == standard.paper) PaperSize = metric.paper;
  if (loading || MinimumMargins == standard.minimum) MinimumMargins = metric.minimum;
  if (loading || Margins == standard.margins) Margins = metric.margins;
}

bool TPageSetupDlg::ShowDialog() {
  TPageSetupDialog dialog(nullptr);
  dialog.Units = Metric() ? TPageMeasureUnits::pmMillimeters : TPageMeasureUnits::pmInches;
  const bool min_margins = (Options & poDefaultMinMargins) == 0;
  dialog.Flags = min_margins ? unsigned{psdMinMargins} : 0u;
  dialog.CenterOnScreen = Centered;
  dialog.PaperSize = Point(PaperSize.X, PaperSize.Y);
  dialog.MinMargins = ToRect(MinimumMargins);
  TPSRect margins = Margins;
  if (min_margins) {
    margins.Left = std::max(margins.Left, MinimumMargins.Left);
    margins.Top = std::max(margins.Top, MinimumMargins.Top);
    margins.Right = std::max(margins.Right, MinimumMargins.Right);
    margins.Bottom = std::max(margins.Bottom, MinimumMargins.Bottom);
  }
  dialog.Margins = ToRect(margins);
  if (!dialog.Execute()) return false;
  PaperSize = TPSPoint{dialog.PaperSize.X, dialog.PaperSize.Y};
  MinimumMargins = FromRect(dialog.MinMargins);
  Margins = FromRect(dialog.Margins);
  return true;
}

}  // namespace lark
