#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/graphics/printer.h"
#include "tests/support/test_files.h"

namespace lark::test {

// Installs a printer object as the program's printer for the life of the
// object and puts the previous one back afterwards.
class ProgramPrinter {
 public:
  explicit ProgramPrinter(std::unique_ptr<TPrinter> printer) : previous_(SetPrinter(std::move(printer))) {}
  ~ProgramPrinter() { SetPrinter(std::move(previous_)); }
  ProgramPrinter(const ProgramPrinter&) = delete;
  ProgramPrinter& operator=(const ProgramPrinter&) = delete;

 private:
  std::unique_ptr<TPrinter> previous_;
};

// A pdfinfo field of a PDF file ("Pages", "Title", "Page size"); "" when
// the file or the field is missing.
inline std::string PdfInfo(const std::string& file, const std::string& field) {
  const std::string info = "\n" + CommandOutput("pdfinfo '" + file + "' 2>/dev/null");
  const size_t at = info.find("\n" + field + ":");
  if (at == std::string::npos) return "";
  const size_t value = info.find_first_not_of(' ', at + field.size() + 2);
  return info.substr(value, info.find('\n', value) - value);
}

// The program's printer is the PDF printer, writing into a temporary folder.
class PdfProgramPrinter {
 public:
  PdfProgramPrinter() : installed_(MakePdfPrinter(dir_.File("out.pdf"))) {}
  [[nodiscard]] TSystemPrinter& Pdf() { return static_cast<TSystemPrinter&>(Printer()); }
  [[nodiscard]] const TempDir& Dir() const { return dir_; }
  // A pdfinfo field of the output.
  [[nodiscard]] std::string Info(const std::string& field) { return PdfInfo(Pdf().OutputFileName, field); }

 private:
  static std::unique_ptr<TPrinter> MakePdfPrinter(const std::string& file) {
    auto printer = std::make_unique<TSystemPrinter>();
    printer->OutputFileName = file;
    printer->SetPrinterIndex(int(printer->Printers().size()) - 1);
    return printer;
  }
  TempDir dir_;
  ProgramPrinter installed_;
};

// Runs the test `testName` of this binary as the user nobody (root obeys
// no file permission) with `environment` ("NAME='value'") set; returns its
// output.
inline std::string RunAsNobody(const std::string& testName, const std::string& environment) {
  return CommandOutput(environment + " HOME=/tmp setpriv --reuid 65534 --regid 65534 --clear-groups " +
                       std::filesystem::read_symlink("/proc/self/exe").string() + " --gtest_filter=" + testName +
                       " 2>&1");
}

// A 300-dpi test printer, Letter with 0.6 cm and 0.5 cm unprintable borders
// at the left and top.
inline TDeviceCaps TestPrinterCaps(bool monochrome) {
  TDeviceCaps caps;
  caps.LogPixelsX = caps.LogPixelsY = 300;
  caps.PhysicalWidth = 2550;
  caps.PhysicalHeight = 3300;
  caps.PhysicalOffsetX = 71;  // Round(300 x 0.6 / 2.54)
  caps.PhysicalOffsetY = 59;
  caps.HorzRes = 2400;
  caps.VertRes = 3180;
  if (monochrome) caps.BitsPixel = 1;
  return caps;
}

}  // namespace lark::test
