#include "app/print_preview_form.h"

#include <algorithm>
#include <cmath>

#include "app/go_page_form.h"
#include "app/language.h"
#include "app/preview_cursors.h"
#include "app/print_status_form.h"
#include "platform/core/format.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/screen.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/label.h"
#include "platform/windows/panel.h"
#include "platform/windows/scroll_bar.h"
#include "platform/windows/small_controls.h"
#include "platform/windows/system_metrics.h"
#include "print/metafile_printer.h"
#include "viewer/html_viewer.h"

namespace lark {
namespace {

enum ZoomItem { kFitToPage = 0, kFitToWidth = 1, kCustom = 2 };
constexpr double kPercentItems[] = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
constexpr int kMargin = 20;  // around a page, as the half on each side
constexpr TColor kGridColor = 0xC0C0C0;

template <typename T>
T* Named(TForm& form, const char* name) {
  return dynamic_cast<T*>(form.FindComponent(name));
}

}  // namespace

TfrmPreview::TfrmPreview(TComponent* owner, THTMLViewer* viewer, bool& abort, const TLanguage* language)
    : TForm(owner), viewer_(viewer), language_(language) {
  LoadFormResource(this, "frmPreview");
  FindComponents();
  FreeNotification(viewer_);
  ZoomBox->SetItemIndex(0);
  UnitsBox->SetItemIndex(0);
  RegisterPreviewCursors();
  ToolButClick(ZoomCursorBut);
  mfPrinter_ = std::make_unique<TMetaFilePrinter>(nullptr);
  std::unique_ptr<TfrmPrintStatus> status(NewForm<TfrmPrintStatus>(this));
  if (language_) {
    status->ApplyLanguage(*language_);
    std::string caption;
    if (language_->GetText("172", caption)) status->SetCaption(caption);
  }
  status->DoPreview(viewer_, mfPrinter_.get(), abort);
  // A pass that was cancelled or failed leaves nothing of its pages behind.
  if (abort) mfPrinter_ = std::make_unique<TMetaFilePrinter>(nullptr);
}

TfrmPreview::~TfrmPreview() {
  if (viewer_) RemoveFreeNotification(viewer_);
  if (hintInstalled_) Application()->OnHint = std::move(savedHint_);
}

void TfrmPreview::FindComponents() {
  GridBut = Named<TSpeedButton>(*this, "GridBut");
  ZoomCursorBut = Named<TSpeedButton>(*this, "ZoomCursorBut");
  HandCursorBut = Named<TSpeedButton>(*this, "HandCursorBut");
  OnePageBut = Named<TSpeedButton>(*this, "OnePageBut");
  TwoPageBut = Named<TSpeedButton>(*this, "TwoPageBut");
  FitPageBut = Named<TSpeedButton>(*this, "FitPageBut");
  FitWidthBut = Named<TSpeedButton>(*this, "FitWidthBut");
  PrintBut = Named<TButton>(*this, "PrintBut");
  NextPageBut = Named<TButton>(*this, "NextPageBut");
  PrevPageBut = Named<TButton>(*this, "PrevPageBut");
  CloseBut = Named<TButton>(*this, "CloseBut");
  ZoomBox = Named<TComboBox>(*this, "ZoomBox");
  UnitsBox = Named<TComboBox>(*this, "UnitsBox");
  CurPageLabel = Named<TLabel>(*this, "CurPageLabel");
  ZoomLabel = Named<TLabel>(*this, "ZoomLabel");
  HintLabel = Named<TLabel>(*this, "HintLabel");
  FirstPageSpeed = Named<TSpeedButton>(*this, "FirstPageSpeed");
  PrevPageSpeed = Named<TSpeedButton>(*this, "PrevPageSpeed");
  NextPageSpeed = Named<TSpeedButton>(*this, "NextPageSpeed");
  LastPageSpeed = Named<TSpeedButton>(*this, "LastPageSpeed");
  PageNumSpeed = Named<TSpeedButton>(*this, "PageNumSpeed");
  Panel1 = Named<TPanel>(*this, "Panel1");
  MoveButPanel = Named<TPanel>(*this, "MoveButPanel");
  ScrollBox1 = Named<TPanel>(*this, "ScrollBox1");
  HorzBar = Named<TScrollBar>(*this, "HorzBar");
  VertBar = Named<TScrollBar>(*this, "VertBar");
  PB1 = Named<TPaintBox>(*this, "PB1");
  PrintDialog1 = Named<TPrintDialog>(*this, "PrintDialog1");
  // A bar made horizontal and turned vertical while the form loads keeps the
  // horizontal bar's length as its width.
  VertBar->SetWidth(GetSystemMetrics(SM_CXVSCROLL));
}

void TfrmPreview::ApplyLanguage(const TLanguage& language) {
  std::string text;
  const auto hint = [&](const char* id, TControl* control) {
    if (language.GetText(id, text)) control->Hint = text;
  };
  const auto caption = [&](const char* id, TControl* control) {
    if (language.GetText(id, text)) control->SetCaption(text);
  };
  const auto item = [&](const char* id, TComboBox* box, int index) {
    if (language.GetText(id, text)) box->Items().Put(index, text);
  };
  hint("138", GridBut), hint("139", ZoomCursorBut), hint("140", HandCursorBut), hint("141", OnePageBut);
  hint("142", TwoPageBut), hint("143", FitPageBut), hint("144", FitWidthBut), hint("145", PrintBut);
  hint("146", NextPageBut), caption("147", NextPageBut), hint("148", PrevPageBut), caption("149", PrevPageBut);
  hint("150", CloseBut), caption("151", CloseBut);
  item("152", ZoomBox, kFitToPage), item("153", ZoomBox, kFitToWidth);
  item("154", UnitsBox, 0), item("155", UnitsBox, 1);
  hint("156", CurPageLabel), caption("157", CurPageLabel), hint("158", ZoomLabel), caption("159", ZoomLabel);
  hint("160", Panel1), hint("161", HintLabel), caption("183", HintLabel);
  hint("162", MoveButPanel), caption("184", MoveButPanel);
  hint("163", FirstPageSpeed), hint("164", PrevPageSpeed), hint("165", PageNumSpeed);
  hint("166", NextPageSpeed), hint("167", LastPageSpeed);
  // The two page boxes are drawn in PB1 here; its hint is the first page's.
  hint("168", PB1), caption("169", PB1);
}

bool TfrmPreview::TwoPages() const { return TwoPageBut->Down(); }

void TfrmPreview::FormShow(TObject*) {
  if (language_) ApplyLanguage(*language_);
  savedHint_ = Application()->OnHint;
  hintInstalled_ = true;
  Application()->OnHint = [this](TObject*) { HintLabel->SetCaption(Application()->Hint()); };
  SetCurrentPage(0);
  LayOut();
}

void TfrmPreview::FormClose(TObject*, TCloseAction& action) {
  Application()->OnHint = std::move(savedHint_);
  hintInstalled_ = false;
  action = TCloseAction::caFree;
}

void TfrmPreview::SetCurrentPage(int page) {
  currentPage_ = page;
  CurPageLabel->SetCaption(Format("Page %d of %d", page + 1, mfPrinter_->PageCount()));
  UpdateButtons();
  PB1->Invalidate();
}

void TfrmPreview::UpdateButtons() {
  const int count = mfPrinter_->PageCount();
  const bool following = currentPage_ < count - 1;
  const bool before = currentPage_ >= 1;
  for (TControl* c : std::initializer_list<TControl*>{NextPageBut, NextPageSpeed, LastPageSpeed}) c->SetEnabled(following);
  for (TControl* c : std::initializer_list<TControl*>{PrevPageBut, PrevPageSpeed, FirstPageSpeed}) c->SetEnabled(before);
  PageNumSpeed->SetEnabled(count >= 2);
  PrintBut->SetEnabled(viewer_ != nullptr);
}

int TfrmPreview::ScreenPixelsPerInch() const { return ScreenCaps().LogPixelsY; }

double TfrmPreview::ZoomFactor(int item) {
  const TMetaFilePrinter& store = *mfPrinter_;
  const double ppi = ScreenPixelsPerInch();
  switch (item) {
    case kFitToPage:
    case kFitToWidth: {
      const bool page = item == kFitToPage;
      (page ? FitPageBut : FitWidthBut)->SetDown(true);
      const double view = page ? ScrollBox1->ClientHeight() : ScrollBox1->ClientWidth();
      const double paperInches = page ? double(store.PaperHeight()) / std::max(1, store.PixelsPerInchY())
                                      : double(store.PaperWidth()) / std::max(1, store.PixelsPerInchX());
      // A small view would give 0 or less: such a factor draws nothing and
      // the zoom tool could never grow it again.
      return std::max(kMinZoom, ((view - kMargin) / ppi) / std::max(paperInches, 1e-6));
    }
    case kCustom:
      return zoom_;
    default:
      if (item > kCustom && item - kCustom - 1 < int(std::size(kPercentItems))) return kPercentItems[item - kCustom - 1];
      return 1.0;
  }
}

void TfrmPreview::ZoomBoxChange(TObject*) {
  if (ZoomBox->ItemIndex() < 0) ZoomBox->SetItemIndex(kFitToPage);
  if (ZoomBox->ItemIndex() != kFitToPage) OnePageBut->SetDown(true);
  // Twice: the bars the first layout shows or hides change the view.
  LayOut();
  LayOut();
}

void TfrmPreview::LayOut() {
  zoom_ = ZoomFactor(ZoomBox->ItemIndex());
  LayOutOnce();
}

void TfrmPreview::LayOutOnce() {
  const TMetaFilePrinter& store = *mfPrinter_;
  const double ppi = ScreenPixelsPerInch();
  pageSize_.cx = int(std::lround(ppi * zoom_ * store.PaperWidth() / std::max(1, store.PixelsPerInchX())));
  pageSize_.cy = int(std::lround(ppi * zoom_ * store.PaperHeight() / std::max(1, store.PixelsPerInchY())));
  const int contentWidth = (pageSize_.cx + kMargin) * (TwoPages() ? 2 : 1);
  const int contentHeight = pageSize_.cy + kMargin;
  const int boxWidth = ScrollBox1->ClientWidth(), boxHeight = ScrollBox1->ClientHeight();
  HorzBar->SetVisible(contentWidth > boxWidth);
  VertBar->SetVisible(contentHeight > boxHeight);
  const int viewWidth = PB1->Width(), viewHeight = PB1->Height();
  container_ = {std::max(contentWidth, viewWidth - 1), std::max(contentHeight, viewHeight - 1)};
  pageOrigin_.X = container_.cx > contentWidth ? (container_.cx - contentWidth) / 2 + kMargin / 2 : kMargin / 2;
  pageOrigin_.Y = container_.cy > contentHeight ? (container_.cy - pageSize_.cy) / 2 : kMargin / 2;
  HorzBar->SetParams(std::min(HorzBar->Position(), std::max(0, container_.cx - viewWidth)), 0,
                     std::max(0, container_.cx - viewWidth));
  VertBar->SetParams(std::min(VertBar->Position(), std::max(0, container_.cy - viewHeight)), 0,
                     std::max(0, container_.cy - viewHeight));
  HorzBar->LargeChange = std::max(1, viewWidth);
  VertBar->LargeChange = std::max(1, viewHeight);
  ZoomLabel->SetCaption(Format("%1.0n", zoom_ * 100) + "%");
  PB1->Invalidate();
}

TRect TfrmPreview::PageBox(bool second) const {
  const int left = pageOrigin_.X - HorzBar->Position() + (second ? pageSize_.cx + kMargin : 0);
  const int top = pageOrigin_.Y - VertBar->Position();
  return {left, top, left + pageSize_.cx, top + pageSize_.cy};
}

void TfrmPreview::PB1Paint(TObject*) {
  TCanvas& canvas = PB1->Canvas();
  canvas.Brush().Color = clBtnShadow;
  canvas.FillRect({0, 0, PB1->Width(), PB1->Height()});
  PaintPage(currentPage_, PageBox(false));
  if (TwoPages()) PaintPage(currentPage_ + 1, PageBox(true));
}

void TfrmPreview::PaintPage(int page, const TRect& box) {
  if (page < 0 || page >= mfPrinter_->PageCount()) return;
  // Off the view: nothing to draw.
  if (box.Right <= 0 || box.Bottom <= 0 || box.Left >= PB1->Width() || box.Top >= PB1->Height()) return;
  TCanvas& canvas = PB1->Canvas();
  const TMetaFilePrinter& store = *mfPrinter_;
  // The sheet is white where the recording, placed at the printable area,
  // does not reach.
  canvas.Brush().Color = clWhite;
  canvas.FillRect(box);
  IntersectClipRect(canvas, std::max(0, box.Left), std::max(0, box.Top), std::min(PB1->Width(), box.Right),
                    std::min(PB1->Height(), box.Bottom));
  SetMapMode(canvas, MM_ANISOTROPIC);
  SetWindowExtEx(canvas, store.PaperWidth(), store.PaperHeight());
  SetViewportExtEx(canvas, box.Width(), box.Height());
  SetViewportOrgEx(canvas, box.Left, box.Top);
  SetWindowOrgEx(canvas, -store.OffsetX(), -store.OffsetY());
  canvas.Draw(0, 0, store.MetaFile(page));
  if (GridBut->Down()) PaintGrid(box);
  SetMapMode(canvas, MM_TEXT);
  SetViewportOrgEx(canvas, 0, 0);
  SetWindowOrgEx(canvas, 0, 0);
  SelectClipRgn(canvas, nullptr);
}

void TfrmPreview::PaintGrid(const TRect&) {
  TCanvas& canvas = PB1->Canvas();
  const TMetaFilePrinter& store = *mfPrinter_;
  SetWindowOrgEx(canvas, 0, 0);
  canvas.Pen().Color = kGridColor;
  const double unitsPerInch = UnitsBox->ItemIndex() == 1 ? 2.54 : 1.0;
  const int across = int(std::lround(double(store.PaperWidth()) / store.PixelsPerInchX() * unitsPerInch));
  const int down = int(std::lround(double(store.PaperHeight()) / store.PixelsPerInchY() * unitsPerInch));
  for (int i = 1; i <= across; ++i) {
    const int x = int(std::lround(store.PixelsPerInchX() * i / unitsPerInch));
    canvas.MoveTo(x, 0);
    canvas.LineTo(x, store.PaperHeight());
  }
  for (int i = 1; i <= down; ++i) {
    const int y = int(std::lround(store.PixelsPerInchY() * i / unitsPerInch));
    canvas.MoveTo(0, y);
    canvas.LineTo(store.PaperWidth(), y);
  }
}

void TfrmPreview::UnitsBoxChange(TObject*) {
  mfPrinter_->SetUnits(UnitsBox->ItemIndex() == 1 ? unCentimeters : unInches);
  if (GridBut->Down()) PB1->Invalidate();
}

void TfrmPreview::GridButClick(TObject*) { PB1->Invalidate(); }

void TfrmPreview::OnePageButClick(TObject*) {
  ZoomBox->SetItemIndex(kFitToPage);
  LayOut();
}

void TfrmPreview::FitPageButClick(TObject*) {
  ZoomBox->SetItemIndex(kFitToPage);
  ZoomBoxChange(ZoomBox);
}

void TfrmPreview::FitWidthButClick(TObject*) {
  ZoomBox->SetItemIndex(kFitToWidth);
  ZoomBoxChange(ZoomBox);
}

void TfrmPreview::NextPageButClick(TObject*) {
  if (currentPage_ < mfPrinter_->PageCount() - 1) SetCurrentPage(currentPage_ + 1);
}

void TfrmPreview::PrevPageButClick(TObject*) {
  if (currentPage_ > 0) SetCurrentPage(currentPage_ - 1);
}

void TfrmPreview::FirstPageSpeedClick(TObject*) { SetCurrentPage(0); }

void TfrmPreview::LastPageSpeedClick(TObject*) { SetCurrentPage(std::max(0, mfPrinter_->PageCount() - 1)); }

void TfrmPreview::PageNumSpeedClick(TObject*) {
  std::unique_ptr<TfrmGoPage> dialog(NewForm<TfrmGoPage>(this));
  if (language_) dialog->ApplyLanguage(*language_);
  dialog->SetRange(mfPrinter_->PageCount(), currentPage_ + 1);
  if (dialog->ShowModal() == mrOk) SetCurrentPage(std::clamp(dialog->Value() - 1, 0, mfPrinter_->PageCount() - 1));
}

void TfrmPreview::PrintButClick(TObject*) {
  if (!viewer_) return;
  const int count = mfPrinter_->PageCount();
  PrintDialog1->Options = poPageNums;
  PrintDialog1->MinPage = 1;
  PrintDialog1->MaxPage = count;
  PrintDialog1->ToPage = count;
  if (!PrintDialog1->Execute()) return;
  const bool range = PrintDialog1->PrintRange == TPrintRange::prPageNums;
  std::unique_ptr<TfrmPrintStatus> status(NewForm<TfrmPrintStatus>(this));
  if (language_) status->ApplyLanguage(*language_);
  bool abort = false;
  status->DoPrint(viewer_, range ? PrintDialog1->FromPage : 1, abort, range ? PrintDialog1->ToPage : count);
}

void TfrmPreview::CloseButClick(TObject*) { Close(); }

void TfrmPreview::ScrollBarChange(TObject*) { PB1->Invalidate(); }

void TfrmPreview::PB1MouseDown(TObject*, TMouseButton button, TShiftState, int x, int y) {
  if (HandCursorBut->Down()) {
    dragging_ = true;
    dragStart_ = {x, y};
    dragScroll_ = {HorzBar->Position(), VertBar->Position()};
    return;
  }
  ZoomAt(button, x, y);
}

void TfrmPreview::ZoomAt(TMouseButton button, int x, int y) {
  const TRect box = PageBox(false);
  if (box.Width() <= 0 || box.Height() <= 0) return;
  const double fx = double(x - box.Left) / box.Width(), fy = double(y - box.Top) / box.Height();
  if (button == TMouseButton::mbLeft && zoom_ < kMaxZoom) zoom_ *= kZoomStep;
  else if (button == TMouseButton::mbRight && zoom_ > kMinZoom) zoom_ /= kZoomStep;
  ZoomBox->SetItemIndex(kCustom);
  OnePageBut->SetDown(true);
  ZoomBoxChange(ZoomBox);
  // The pressed point of the page comes to the middle of the view.
  HorzBar->SetPosition(int(std::lround(pageOrigin_.X + fx * pageSize_.cx - PB1->Width() / 2.0)));
  VertBar->SetPosition(int(std::lround(pageOrigin_.Y + fy * pageSize_.cy - PB1->Height() / 2.0)));
  PB1->Invalidate();
}

void TfrmPreview::PB1MouseMove(TObject*, TShiftState, int x, int y) {
  if (!dragging_) return;
  HorzBar->SetPosition(dragScroll_.X + dragStart_.X - x);
  VertBar->SetPosition(dragScroll_.Y + dragStart_.Y - y);
  PB1->Invalidate();
}

void TfrmPreview::PB1MouseUp(TObject*, TMouseButton, TShiftState, int, int) { dragging_ = false; }

void TfrmPreview::ToolButClick(TObject*) { PB1->SetCursor(HandCursorBut->Down() ? crPan : crZoom); }

void TfrmPreview::Notification(TComponent* component, TOperation operation) {
  TForm::Notification(component, operation);
  if (operation != TOperation::opRemove || component != viewer_) return;
  viewer_ = nullptr;
  if (PrintBut) PrintBut->SetEnabled(false);
}

}  // namespace lark
