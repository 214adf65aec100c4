#pragma once

#include <memory>
#include <string>

#include "platform/graphics/geometry.h"
#include "platform/windows/form.h"

namespace lark {

class TButton;
class TComboBox;
class TLabel;
class TLanguage;
class TMetaFilePrinter;
class THTMLViewer;
class TPaintBox;
class TPanel;
class TPrintDialog;
class TScrollBar;
class TSpeedButton;

// Zoom limits of the zoom tool: a click enlarges by kZoomStep unless the
// factor is kMaxZoom or more, and shrinks unless it is kMinZoom or less.
inline constexpr double kZoomStep = 1.5;
inline constexpr double kMaxZoom = 20.0;
inline constexpr double kMinZoom = 0.1;

// The print preview of a viewer's document. Creation records every page
// behind a print status dialog; the window then shows them at any zoom,
// one or two at a time, with a grid, the zoom and hand tools and printing.
// Only the visible part of the zoomed pages is ever drawn: the pages lie in
// a virtual container that the scroll bars move over a view of the
// window's size. Closing frees the window (the caller must not).
class TfrmPreview : public TForm {
 public:
  // Abort is true when recording was cancelled or failed; the caller then
  // frees the window without showing it.
  TfrmPreview(TComponent* owner, THTMLViewer* viewer, bool& abort, const TLanguage* language = nullptr);
  ~TfrmPreview() override;

  TSpeedButton *GridBut = nullptr, *ZoomCursorBut = nullptr, *HandCursorBut = nullptr, *OnePageBut = nullptr,
               *TwoPageBut = nullptr, *FitPageBut = nullptr, *FitWidthBut = nullptr;
  TButton *PrintBut = nullptr, *NextPageBut = nullptr, *PrevPageBut = nullptr, *CloseBut = nullptr;
  TComboBox *ZoomBox = nullptr, *UnitsBox = nullptr;
  TLabel *CurPageLabel = nullptr, *ZoomLabel = nullptr, *HintLabel = nullptr;
  TSpeedButton *FirstPageSpeed = nullptr, *PrevPageSpeed = nullptr, *NextPageSpeed = nullptr,
               *LastPageSpeed = nullptr, *PageNumSpeed = nullptr;
  TPanel *Panel1 = nullptr, *MoveButPanel = nullptr, *ScrollBox1 = nullptr;
  TScrollBar *HorzBar = nullptr, *VertBar = nullptr;
  TPaintBox* PB1 = nullptr;
  TPrintDialog* PrintDialog1 = nullptr;

  [[nodiscard]] TMetaFilePrinter& Store() const { return *mfPrinter_; }
  [[nodiscard]] int CurrentPage() const { return currentPage_; }
  [[nodiscard]] double Zoom() const { return zoom_; }
  [[nodiscard]] bool TwoPages() const;
  // A page's box in PB1's coordinates (second: the right one in two-page
  // mode), after scrolling.
  [[nodiscard]] TRect PageBox(bool second) const;
  // The viewer whose pages these are; null once it was freed.
  [[nodiscard]] THTMLViewer* Viewer() const { return viewer_; }

  void SetCurrentPage(int page);
  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void ZoomBoxChange(TObject* sender);
  void UnitsBoxChange(TObject* sender);
  void GridButClick(TObject* sender);
  void OnePageButClick(TObject* sender);
  void FitPageButClick(TObject* sender);
  void FitWidthButClick(TObject* sender);
  void PrintButClick(TObject* sender);
  void NextPageButClick(TObject* sender);
  void PrevPageButClick(TObject* sender);
  void FirstPageSpeedClick(TObject* sender);
  void LastPageSpeedClick(TObject* sender);
  void PageNumSpeedClick(TObject* sender);
  void CloseButClick(TObject* sender);
  void ScrollBarChange(TObject* sender);
  void PB1Paint(TObject* sender);
  void PB1MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void PB1MouseMove(TObject* sender, TShiftState shift, int x, int y);
  void PB1MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  // The zoom or the hand tool, by the button that is down, with its pointer.
  void ToolButClick(TObject* sender);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void FindComponents();
  void ApplyLanguage(const TLanguage& language);
  void UpdateButtons();
  // The factor of a ZoomBox item; presses the matching tool buttons.
  [[nodiscard]] double ZoomFactor(int item);
  void LayOut();
  void LayOutOnce();
  void PaintPage(int page, const TRect& box);
  void PaintGrid(const TRect& box);
  void ZoomAt(TMouseButton button, int x, int y);
  [[nodiscard]] int ScreenPixelsPerInch() const;

  THTMLViewer* viewer_ = nullptr;
  std::unique_ptr<TMetaFilePrinter> mfPrinter_;
  const TLanguage* language_ = nullptr;
  int currentPage_ = 0;
  double zoom_ = 1.0;
  TSize pageSize_;       // one page's box at the zoom
  TSize container_;      // the virtual area the bars scroll over
  TPoint pageOrigin_;    // the first page's place in it
  bool dragging_ = false;
  TPoint dragStart_;
  TPoint dragScroll_;
  TNotifyEvent savedHint_;
  bool hintInstalled_ = false;
};

}  // namespace lark
