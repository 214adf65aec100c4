#pragma once

#include <functional>
#include <string>

#include "platform/core/object.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/messages.h"

namespace lark {

class TCanvas;

struct TPSPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPSPoint&) const = default;
};

struct TPSRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool operator==(const TPSRect&) const = default;
};

enum TPageSetupOption : unsigned {
  poDefaultMinMargins = 1u << 0,
  poDisableMargins = 1u << 1,
  poDisableOrientation = 1u << 2,
  poDisablePagePainting = 1u << 3,
  poDisablePaper = 1u << 4,
  poDisablePrinter = 1u << 5,
  poNoWarning = 1u << 6,
  poShowHelp = 1u << 7,
};
using TPageSetupOptions = unsigned;
// Default: the user's locale decides (MetricMeasurement).
enum class TPSMeasurements { pmDefault, pmMillimeters, pmInches };

enum class TPSPaperType { ptPaper, ptEnvelope };
enum class TPSPaperOrientation { poPortrait, poLandscape };
enum class TPSPrinterType { ptDotMatrix, ptHPPCL };
enum class TPSPaintWhat { pwFullPage, pwMinimumMargins, pwMargins, pwGreekText, pwEnvStamp, pwYAFullPage };
using TPSPrinterEvent = std::function<void(TObject* sender, HWND wnd)>;
using TPSInitPaintPageEvent = std::function<bool(TObject* sender, short paperSize, TPSPaperType paperType,
                                                 TPSPaperOrientation orientation, TPSPrinterType printerType,
                                                 void* setupData)>;
using TPSPaintPageEvent = std::function<bool(TObject* sender, TPSPaintWhat paintWhat, TCanvas& canvas, TRect rect)>;

// The page setup dialog as a component: paper size, minimum margins and
// margins in thousandths of an inch or hundredths of a millimetre. OK also
// sets the printer's sheet. The toolkit's dialog has no counterpart to the
// greying options, poShowHelp, poNoWarning, the Printer button (OnPrinter)
// or the page-sample painting (OnInitPaintPage, OnPaintPage): they are kept
// for form resources and have no effect.
class TPageSetupDlg : public TCommonDialog {
 public:
  explicit TPageSetupDlg(TComponent* owner);

  [[nodiscard]] static std::string Version() { return "TPageSetupDlg v2.13"; }

  // Places the dialog at the middle of the screen, a third of the way down.
  bool Centered = true;
  TPageSetupOptions Options = poDefaultMinMargins | poShowHelp;
  [[nodiscard]] TPSMeasurements Measurements() const { return measurements_; }
  // Converts every value when the effective unit changes (x or / 2.54).
  void SetMeasurements(TPSMeasurements value);
  TPSPoint PaperSize;
  TPSRect MinimumMargins;
  TPSRect Margins;
  TPSPrinterEvent OnPrinter;
  TPSInitPaintPageEvent OnInitPaintPage;
  TPSPaintPageEvent OnPaintPage;

  // OnPrinter's answer to the Printer button; false without a handler.
  virtual bool DoPrinter(HWND wnd);
  // The default printer's values, without showing anything: with no printer
  // installed 8500 x 11000 and margins of 250 thousandths of an inch. In
  // millimetres a value is taken only while it still equals the default.
  virtual void GetDefaults();

 protected:
  bool ShowDialog() override;

 private:
  [[nodiscard]] bool Metric() const;

  TPSMeasurements measurements_ = TPSMeasurements::pmDefault;
};

}  // namespace lark
