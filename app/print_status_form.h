#pragma once

#include <string>

#include "platform/windows/form.h"

namespace lark {

class TButton;
class TLabel;
class TLanguage;
class TMetaFilePrinter;
class THTMLViewer;

// Posted to itself before the modal loop starts: run the preview pass
// (WM_USER+22) or the print pass (WM_USER+23).
inline constexpr UINT WM_STARTPREVIEW = 0x0400 + 22;
inline constexpr UINT WM_STARTPRINT = 0x0400 + 23;

// Runs a print or preview pass of a viewer modally, showing the page being
// made, with Cancel. Whatever way the pass ends (done, cancelled, raised),
// the dialog ends with it; an error ends it as cancelled and is shown once,
// after the loop.
class TfrmPrintStatus : public TForm {
 public:
  explicit TfrmPrintStatus(TComponent* owner);
  ~TfrmPrintStatus() override;

  TLabel* StatusLabel = nullptr;
  TButton* CancelButton = nullptr;

  void ApplyLanguage(const TLanguage& language);
  // Records the viewer's pages into the store; abort is true when the
  // dialog ended cancelled (by the user or by an error).
  void DoPreview(THTMLViewer* viewer, TMetaFilePrinter* mfPrinter, bool& abort);
  void DoPrint(THTMLViewer* viewer, int fromPage, bool& abort, int toPage);
  void CancelButtonClick(TObject* sender);

  [[nodiscard]] bool Cancelled() const { return cancelled_; }
  // The message of the error that ended the last pass ("" when none did).
  [[nodiscard]] const std::string& Error() const { return error_; }

 protected:
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Run(THTMLViewer* viewer, UINT message, bool& abort);
  void RunPass(UINT message);
  void PageEvent(int numPage, bool& stopPrinting);

  // Cleared when the viewer is freed while the loop runs (a META refresh
  // or the idle return can replace the frame's viewer).
  THTMLViewer* viewer_ = nullptr;
  TMetaFilePrinter* mfPrinter_ = nullptr;
  int fromPage_ = 1, toPage_ = 9999;
  bool cancelled_ = false;
  std::string error_;
};

}  // namespace lark
