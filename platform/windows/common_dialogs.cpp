#include "platform/windows/common_dialogs.h"

#include <QColorDialog>
#include <algorithm>
#include <functional>
#include <QFileDialog>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPageSetupDialog>
#include <QPrinter>

#include "platform/graphics/arithmetic.h"
#include "platform/graphics/printer.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/check_box.h"
#include "platform/windows/edit.h"
#include "platform/windows/form.h"
#include "platform/windows/gui_application.h"
#include "platform/windows/label.h"
#include "platform/windows/test_driver.h"

namespace lark {
namespace {

QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string FromQ(const QString& s) { return s.toUtf8().toStdString(); }

// A toolkit dialog shown modally in the layer's own loop.
// `place` (when given) moves the dialog once it is shown at its final size.
bool RunModal(QDialog& dialog, const std::function<void(QDialog&)>& place = nullptr) {
  dialog.setModal(true);
  dialog.open();
  if (place) place(dialog);
  while (dialog.isVisible() && !Application()->Terminated()) Application()->HandleMessage();
  return dialog.result() == QDialog::Accepted;
}

// "text|*.txt;*.text|all|*.*" as the toolkit's "text (*.txt *.text);;all (*)".
QString QtFilter(const std::string& filter) {
  QStringList parts = ToQ(filter).split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
    out << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return out.join(QStringLiteral(";;"));
}

}  // namespace

bool TCommonDialog::Execute() {
  bool confirmed = false;
  if (AnswerDialog(this, confirmed)) return confirmed;
  EnsureGuiApplication();
  return ShowDialog();
}

bool TOpenDialog::ShowDialog() {
  QFileDialog dialog(nullptr, ToQ(Title), ToQ(InitialDir), QtFilter(Filter));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(Saving() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(Saving() ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !(Options & ofOverwritePrompt));
  if (!DefaultExt.empty()) dialog.setDefaultSuffix(ToQ(DefaultExt));
  if (!FileName.empty()) dialog.selectFile(ToQ(FileName));
  QStringList filters = dialog.nameFilters();
  if (FilterIndex >= 1 && FilterIndex <= filters.size()) dialog.selectNameFilter(filters[FilterIndex - 1]);
  if (!RunModal(dialog) || dialog.selectedFiles().isEmpty()) return false;
  FileName = FromQ(dialog.selectedFiles().first());
  FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  return true;
}

namespace {

// The toolkit printer set up as the program's printer is.
void ShowProgramPrinter(QPrinter& printer) {
  if (auto* system = dynamic_cast<TSystemPrinter*>(&Printer()); system && Printer().PrinterName() == "PDF") {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(ToQ(system->OutputFileName));
  } else if (auto* system = dynamic_cast<TSystemPrinter*>(&Printer())) {
    printer.setPrinterName(ToQ(system->PrinterName()));
  }
}

// What the user chose in a toolkit dialog goes to the program's printer:
// the sheet (paper and orientation) and, from a print dialog, the printer
// itself (a queue it knows by that name, or the PDF printer for output to a
// file) with its copies.
void TakeChoice(const QPrinter& printer, bool choosesPrinter) {
  std::string device, driver, port;
  DEVMODE mode;
  Printer().GetPrinter(device, driver, port, mode);
  if (choosesPrinter) {
    device = printer.outputFormat() == QPrinter::PdfFormat ? "PDF" : FromQ(printer.printerName());
    std::vector<std::string> known = Printer().Printers();
    if (std::find(known.begin(), known.end(), device) == known.end()) return;
    mode.dmCopies = static_cast<short>(printer.copyCount());
  }
  mode.dmOrientation = printer.pageLayout().orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE
                                                                                     : DMORIENT_PORTRAIT;
  switch (printer.pageLayout().pageSize().id()) {
    case QPageSize::Letter: mode.dmPaperSize = DMPAPER_LETTER; break;
    case QPageSize::Legal: mode.dmPaperSize = DMPAPER_LEGAL; break;
    case QPageSize::A3: mode.dmPaperSize = DMPAPER_A3; break;
    case QPageSize::A5: mode.dmPaperSize = DMPAPER_A5; break;
    default: mode.dmPaperSize = DMPAPER_A4;  // the printers print other sizes on A4
  }
  Printer().SetPrinter(device, driver, port, mode);
  if (auto* system = dynamic_cast<TSystemPrinter*>(&Printer()); system && choosesPrinter && device == "PDF")
    system->OutputFileName = FromQ(printer.outputFileName());
}

}  // namespace

bool TPrintDialog::ShowDialog() {
  QPrinter printer;
  ShowProgramPrinter(printer);
  QPrintDialog dialog(&printer);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, (Options & poPageNums) != 0);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, (Options & poSelection) != 0);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, (Options & poDisablePrintToFile) == 0);
  dialog.setMinMax(MinPage, MaxPage);
  if (FromPage > 0) dialog.setFromTo(FromPage, ToPage);
  printer.setCopyCount(Copies);
  if (!RunModal(dialog)) return false;
  PrintRange = printer.printRange() == QPrinter::PageRange   ? TPrintRange::prPageNums
               : printer.printRange() == QPrinter::Selection ? TPrintRange::prSelection
                                                             : TPrintRange::prAllPages;
  FromPage = printer.fromPage();
  ToPage = printer.toPage();
  Copies = printer.copyCount();
  TakeChoice(printer, true);
  return true;
}

bool TPrinterSetupDialog::ShowDialog() {
  QPrinter printer;
  ShowProgramPrinter(printer);
  QPrintDialog dialog(&printer);
  if (!RunModal(dialog)) return false;
  TakeChoice(printer, true);
  return true;
}

namespace {

// Page setup lengths per inch: thousandths of an inch, or hundredths of a
// millimetre (2540 to the inch).
int PerInch(TPageMeasureUnits units) { return units == TPageMeasureUnits::pmInches ? 1000 : 2540; }

// The toolkit counts in whole millimetres or inches.
double ToolkitLength(int length, TPageMeasureUnits units) {
  return units == TPageMeasureUnits::pmInches ? length / 1000.0 : length / 100.0;
}
int LayerLength(double length, TPageMeasureUnits units) {
  return qRound(units == TPageMeasureUnits::pmInches ? length * 1000 : length * 100);
}

QMarginsF ToolkitMargins(const TRect& r, TPageMeasureUnits units) {
  return QMarginsF(ToolkitLength(r.Left, units), ToolkitLength(r.Top, units), ToolkitLength(r.Right, units),
                   ToolkitLength(r.Bottom, units));
}

}  // namespace

void TPageSetupDialog::ReturnDefault() {
  TDeviceCaps caps = Printer().Caps();
  int sheetWidth = caps.PhysicalWidth ? caps.PhysicalWidth : caps.HorzRes;
  int sheetHeight = caps.PhysicalHeight ? caps.PhysicalHeight : caps.VertRes;
  int perInch = PerInch(Units);
  auto across = [&](int pixels) { return MulDiv(pixels, perInch, caps.LogPixelsX); };
  auto down = [&](int pixels) { return MulDiv(pixels, perInch, caps.LogPixelsY); };
  PaperSize = Point(across(sheetWidth), down(sheetHeight));
  MinMargins = Rect(across(caps.PhysicalOffsetX), down(caps.PhysicalOffsetY),
                    across(sheetWidth - caps.HorzRes - caps.PhysicalOffsetX),
                    down(sheetHeight - caps.VertRes - caps.PhysicalOffsetY));
  Margins = Rect(perInch, perInch, perInch, perInch);
}

bool TPageSetupDialog::ShowDialog() {
  QPrinter printer;
  QPageLayout::Unit unit = Units == TPageMeasureUnits::pmInches ? QPageLayout::Inch : QPageLayout::Millimeter;
  QPageSize size(QSizeF(ToolkitLength(PaperSize.X, Units), ToolkitLength(PaperSize.Y, Units)),
                 Units == TPageMeasureUnits::pmInches ? QPageSize::Inch : QPageSize::Millimeter);
  QMarginsF minimum = (Flags & psdMinMargins) ? ToolkitMargins(MinMargins, Units) : QMarginsF();
  printer.setPageLayout(QPageLayout(size, QPageLayout::Portrait, ToolkitMargins(Margins, Units), unit, minimum));
  QPageSetupDialog dialog(&printer);
  auto center = [](QDialog& shown) {
    const QSize size = shown.frameGeometry().size();
    shown.move((Screen()->Width() - size.width()) / 2, (Screen()->Height() - size.height()) / 3);
  };
  if (!RunModal(dialog, CenterOnScreen ? std::function<void(QDialog&)>(center) : nullptr)) return false;
  QPageLayout layout = printer.pageLayout();
  QMarginsF margins = layout.margins(unit);
  Margins = Rect(LayerLength(margins.left(), Units), LayerLength(margins.top(), Units),
                 LayerLength(margins.right(), Units), LayerLength(margins.bottom(), Units));
  QSizeF paper = layout.fullRect(unit).size();
  PaperSize = Point(LayerLength(paper.width(), Units), LayerLength(paper.height(), Units));
  TakeChoice(printer, false);
  return true;
}

bool TFontDialog::ShowDialog() {
  QFont initial(ToQ(Font.Name()));
  initial.setPointSize(Font.Size());
  QFontDialog dialog(initial);
  if (!RunModal(dialog)) return false;
  QFont chosen = dialog.selectedFont();
  Font.SetName(FromQ(chosen.family()));
  Font.SetSize(chosen.pointSize());
  TFontStyles style = 0;
  if (chosen.bold()) style |= fsBold;
  if (chosen.italic()) style |= fsItalic;
  if (chosen.underline()) style |= fsUnderline;
  if (chosen.strikeOut()) style |= fsStrikeOut;
  Font.SetStyle(style);
  return true;
}

bool TColorDialog::ShowDialog() {
  TColor rgb = ColorToRGB(Color);
  QColorDialog dialog(QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
  if (!RunModal(dialog)) return false;
  QColor chosen = dialog.selectedColor();
  Color = RGB(chosen.red(), chosen.green(), chosen.blue());
  return true;
}

bool TFolderDialog::ShowDialog() {
  QFileDialog dialog(nullptr, ToQ(Title), ToQ(Directory.empty() ? Root : Directory));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (!RunModal(dialog) || dialog.selectedFiles().isEmpty()) return false;
  Directory = FromQ(dialog.selectedFiles().first());
  return true;
}

bool SelectDirectory(const std::string& caption, const std::string& root, std::string& directory) {
  TFolderDialog dialog(nullptr);
  dialog.Title = caption;
  dialog.Root = root;
  dialog.Directory = directory;
  if (!dialog.Execute()) return false;
  directory = dialog.Directory;
  return true;
}

// The find dialog is a form of the layer's own, modeless.
struct TFindDialog::Impl {
  std::unique_ptr<TForm> form;
  TEdit* text = nullptr;
  TCheckBox* matchCase = nullptr;
  TCheckBox* wholeWord = nullptr;
  TRadioButton* down = nullptr;
};

TFindDialog::TFindDialog(TComponent* owner) : TCommonDialog(owner) {}

TFindDialog::~TFindDialog() = default;

bool TFindDialog::Execute() {
  bool confirmed = false;
  if (AnswerDialog(this, confirmed)) {
    if (confirmed && OnFind) {
      Options |= frFindNext;
      OnFind(this);
    }
    return confirmed;
  }
  return ShowDialog();
}

void TFindDialog::CloseDialog() {
  if (impl_ && impl_->form) impl_->form->Hide();
}

bool TFindDialog::ShowDialog() {
  if (!impl_) {
    impl_ = std::make_unique<Impl>();
    impl_->form = std::make_unique<TForm>(nullptr);
    TForm* form = impl_->form.get();
    form->SetBorderStyle(TFormBorderStyle::bsDialog);
    form->SetCaption(Title.empty() ? "Find" : Title);
    form->SetClientSize(350, 90);
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetBounds(8, 12, 60, 16);
    label->SetCaption("Fi&nd what:");
    impl_->text = new TEdit(form);
    impl_->text->SetParent(form);
    impl_->text->SetBounds(75, 8, 180, 21);
    label->SetFocusControl(impl_->text);
    impl_->matchCase = new TCheckBox(form);
    impl_->matchCase->SetParent(form);
    impl_->matchCase->SetBounds(8, 40, 120, 17);
    impl_->matchCase->SetCaption("Match &case");
    impl_->wholeWord = new TCheckBox(form);
    impl_->wholeWord->SetParent(form);
    impl_->wholeWord->SetBounds(8, 62, 140, 17);
    impl_->wholeWord->SetCaption("Match &whole word only");
    impl_->down = new TRadioButton(form);
    impl_->down->SetParent(form);
    impl_->down->SetBounds(160, 40, 80, 17);
    impl_->down->SetCaption("&Down");
    auto* next = new TButton(form);
    next->SetParent(form);
    next->SetBounds(265, 8, 75, 25);
    next->SetCaption("&Find Next");
    next->SetDefault(true);
    next->OnClick = [this](TObject*) {
      FindText = impl_->text->GetText();
      Options = frFindNext | (impl_->down->Checked() ? frDown : 0u) |
                (impl_->matchCase->Checked() ? frMatchCase : 0u) | (impl_->wholeWord->Checked() ? frWholeWord : 0u);
      if (OnFind) OnFind(this);
    };
    auto* cancel = new TButton(form);
    cancel->SetParent(form);
    cancel->SetBounds(265, 40, 75, 25);
    cancel->SetCaption("Cancel");
    cancel->Cancel = true;
    cancel->OnClick = [this](TObject*) { CloseDialog(); };
  }
  impl_->text->SetText(FindText);
  impl_->down->SetChecked((Options & frDown) != 0);
  impl_->matchCase->SetChecked((Options & frMatchCase) != 0);
  impl_->wholeWord->SetChecked((Options & frWholeWord) != 0);
  impl_->form->Show();
  return true;
}

}  // namespace lark
