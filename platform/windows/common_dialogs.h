#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/graphics/color.h"
#include "platform/graphics/font.h"
#include "platform/graphics/geometry.h"
#include "platform/windows/component.h"
#include "platform/windows/control_types.h"

namespace lark {

// The desktop's standard dialogs. Execute shows the dialog modally in the
// layer's own loop and returns true when the user confirms; a test hook
// (test_driver.h) answers in place of the user.
class TCommonDialog : public TComponent {
 public:
  using TComponent::TComponent;
  virtual bool Execute();
  std::string Title;

 protected:
  // Shows the real dialog (toolkit side); true when confirmed.
  virtual bool ShowDialog() = 0;
};

enum TOpenOption : unsigned {
  ofOverwritePrompt = 1u << 0,
  ofHideReadOnly = 1u << 1,
  ofAllowMultiSelect = 1u << 2,
  ofPathMustExist = 1u << 3,
  ofFileMustExist = 1u << 4,
};

class TOpenDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  std::string FileName;
  // "text|*.txt;*.text|all|*.*"
  std::string Filter;
  int FilterIndex = 1;
  std::string DefaultExt;
  std::string InitialDir;
  unsigned Options = ofHideReadOnly;

 protected:
  bool ShowDialog() override;
  virtual bool Saving() const { return false; }
};

class TSaveDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;

 protected:
  bool Saving() const override { return true; }
};

enum class TPrintRange { prAllPages, prSelection, prPageNums };
enum TPrintDialogOption : unsigned {
  poPrintToFile = 1u << 0,  // the print-to-file box starts ticked
  poPageNums = 1u << 1,     // the user may choose a range of pages
  poSelection = 1u << 2,    // the user may print the selection
  poDisablePrintToFile = 1u << 3,
};

// The desktop's print dialog on the program's printer (Printer()): the
// printer chosen there becomes the program's, with its copies; "print to
// file" is the PDF printer writing the chosen file.
class TPrintDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  int FromPage = 0;
  int ToPage = 0;
  int MinPage = 0;
  int MaxPage = 0;
  int Copies = 1;
  unsigned Options = 0;
  TPrintRange PrintRange = TPrintRange::prAllPages;

 protected:
  bool ShowDialog() override;
};

class TPrinterSetupDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;

 protected:
  bool ShowDialog() override;
};

// Lengths of the page setup: thousandths of an inch, or hundredths of a
// millimetre, as the desktop's page setup counts them.
enum class TPageMeasureUnits { pmMillimeters, pmInches };
enum TPageSetupFlag : unsigned {
  psdMinMargins = 1u << 0,  // margins may not go below MinMargins
};

// Paper size and margins of the program's printer. On OK the printer takes
// the chosen paper and orientation. The desktop's switches that grey parts
// of the dialog (margins, orientation, paper, printer) have no counterpart
// in the toolkit's dialog and are not offered.
class TPageSetupDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  TPageMeasureUnits Units = TPageMeasureUnits::pmMillimeters;
  unsigned Flags = 0;
  TPoint PaperSize = Point(21000, 29700);
  TRect MinMargins;  // left, top, right, bottom
  TRect Margins;
  // Places the dialog at the middle of the screen across and a third of the
  // way down, instead of where the window system puts it.
  bool CenterOnScreen = false;
  // Without showing anything: PaperSize from the printer's sheet, MinMargins
  // its unprintable borders, Margins one inch (the desktop's default).
  void ReturnDefault();

 protected:
  bool ShowDialog() override;
};

enum TFindOption : unsigned { frDown = 1u << 0, frMatchCase = 1u << 1, frWholeWord = 1u << 2, frFindNext = 1u << 3 };

// Modeless: Execute shows it and returns at once; each "Find Next" sets
// frFindNext and fires OnFind.
class TFindDialog : public TCommonDialog {
 public:
  explicit TFindDialog(TComponent* owner);
  ~TFindDialog() override;
  bool Execute() override;
  void CloseDialog();
  std::string FindText;
  unsigned Options = frDown;
  TNotifyEvent OnFind;

 protected:
  bool ShowDialog() override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

class TFontDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  TFont Font;

 protected:
  bool ShowDialog() override;
};

class TColorDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  TColor Color = clBlack;

 protected:
  bool ShowDialog() override;
};

// Picks a folder (in place of the shell's folder browser).
class TFolderDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  std::string Root;
  std::string Directory;

 protected:
  bool ShowDialog() override;
};

// A folder chosen by the user, through a TFolderDialog.
bool SelectDirectory(const std::string& caption, const std::string& root, std::string& directory);

}  // namespace lark
