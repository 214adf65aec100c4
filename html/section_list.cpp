#include "html/section_list.h"

#include <algorithm>

#include "html/font_run.h"
#include "html/parser_state.h"
#include "html/style_list.h"
#include "html/text_collector.h"
#include "html/url_target.h"
#include "images/gif_image.h"
#include "platform/graphics/gdi.h"
#include "platform/windows/control.h"
#include "platform/windows/timer.h"

namespace lark {

namespace {

constexpr unsigned kAnimationInterval = 50;

}  // namespace

TSectionList::TSectionList(TObject* owner, TControl* paintPanel)
    : TCell(this), TheOwner(owner), PPanel(paintPanel), IsCopy(false),
      IDNameList(std::make_unique<TIDNameList>(this)),
      Styles(std::make_unique<TStyleList>([this] { LinksActive = true; })) {  // a ":hover" rule turns hover on
  OwnersTag = "default";
}

TSectionList::TSectionList(const TSectionList& source)
    : TCell(this, source),
      TheOwner(source.TheOwner),
      PPanel(source.PPanel),
      ShowImages(source.ShowImages),
      IsCopy(true),
      PrintTableBackground(source.PrintTableBackground),
      PrintMonochromeBlack(source.PrintMonochromeBlack),
      LinksActive(source.LinksActive),
      YOff(source.YOff),
      SelB(source.SelB),
      SelE(source.SelE),
      PreFontName(source.PreFontName),
      HotSpotColor(source.HotSpotColor),
      LinkVisitedColor(source.LinkVisitedColor),
      LinkActiveColor(source.LinkActiveColor),
      Background(source.Background),
      BackgroundBitmapName(source.BackgroundBitmapName),
      OnBackgroundChange(source.OnBackgroundChange),
      OnBitmapRequest(source.OnBitmapRequest),
      OnImageRequest(source.OnImageRequest),
      OnExpandName(source.OnExpandName),
      BitmapList(source.BitmapList),
      OnPanelPrint(source.OnPanelPrint),
      OnLayoutError(source.OnLayoutError) {}

TSectionList::~TSectionList() { Clear(); }

void TSectionList::Clear() {
  if (IDNameList) IDNameList->Clear();
  PositionList.clear();
  ForgetBackground();
  BackgroundBitmapName.clear();
  BackgroundBitmapLoaded = false;
  FormControlList.clear();
  AGifList.clear();
  timer_.reset();  // made again by the next layout
  SelB = SelE = 0;
  MapList.Clear();
  MissingImages.clear();
  LinkList.clear();
  ActiveLink = ActiveImage = nullptr;
  PanelList.clear();
  FirstLineBaseline = nullptr;
  if (Styles) Styles->Clear();
  DrawList.clear();
  // The forms go after the sections: a paragraph that goes hands its
  // controls back to their forms, which must still be there.
  freeingPage_ = true;
  TCell::Clear();
  freeingPage_ = false;
  FormList.Clear();
  spareExtents_.clear();
}

void TSectionList::Unlist(const TObject* object) {
  if (IDNameList) IDNameList->RemoveObject(object);
  PositionList.Remove(object);
  DrawList.Remove(object);
  LinkList.Remove(object);
  MissingImages.Remove(object);
  if (ActiveLink == object) ActiveLink = nullptr;
  if (ActiveImage == object) ActiveImage = nullptr;
  if (PanelList.empty()) return;  // the common case, without a type test per object freed
  if (const auto* window = dynamic_cast<const TWindowedObject*>(object)) PanelList.Remove(window);
}

namespace {

// The buffers kept for the next paragraphs measured, and the largest kept
// (in extents of eight bytes): 2 MiB at most stay with a page.
constexpr std::size_t kSpareExtentsBuffers = 4;
constexpr std::size_t kMaxSpareExtents = std::size_t{64} << 10;

}  // namespace

std::vector<std::int64_t> TSectionList::TakeExtentsBuffer() {
  if (spareExtents_.empty()) return {};
  std::vector<std::int64_t> buffer = std::move(spareExtents_.back());
  spareExtents_.pop_back();
  return buffer;
}

void TSectionList::ReturnExtentsBuffer(std::vector<std::int64_t> buffer) {
  if (buffer.capacity() == 0 || buffer.capacity() > kMaxSpareExtents || spareExtents_.size() >= kSpareExtentsBuffers)
    return;
  spareExtents_.push_back(std::move(buffer));
}

void TSectionList::ForgetFormControl(const TFormControlObj* control) {
  FormControlList.Remove(control);
  if (IDNameList) IDNameList->RemoveObject(control);
  if (control->MyForm) control->MyForm->RemoveControl(control);
}

void TSectionList::ClearLists() {
  PanelList.clear();
  FormControlList.clear();
}

std::vector<std::vector<std::string>> TSectionList::GetFormData() {
  std::vector<std::vector<std::string>> data;
  for (const auto& form : FormList) data.push_back(form->GetFormSubmission());
  return data;
}

void TSectionList::SetFormData(const std::vector<std::vector<std::string>>& data) {
  for (std::size_t i = 0; i < data.size() && i < FormList.Count(); ++i) FormList[i]->SetFormData(data[i]);
}

void TSectionList::HideUnpaintedControls() {
  if (IsCopy || FormControlList.empty()) return;
  const bool focused = std::any_of(FormControlList.begin(), FormControlList.end(),
                                   [](const TFormControlObj* control) { return control->HasFocus(); });
  for (TFormControlObj* control : FormControlList)
    if (!control->ShowIt) control->HideWindow(focused);
}

void TSectionList::ForgetGif(const TGIFImage* gif) { AGifList.Remove(gif); }

TLayoutState TSectionList::SaveLayoutState(const IndentManagerBasic& iMgr, int curs) const {
  return {iMgr.SaveState(), curs, TableNestLevel, FirstLineBaseline};
}

void TSectionList::RestoreLayoutState(const TLayoutState& state, IndentManagerBasic& iMgr, int& curs) {
  iMgr.RestoreState(state.Indents);
  curs = state.Curs;
  TableNestLevel = state.TableNestLevel;
  FirstLineBaseline = state.FirstLineBaseline;
}

void TSectionList::ReportLayoutErrors() {
  std::vector<std::string> errors;
  errors.swap(LayoutErrors);
  if (!OnLayoutError) return;
  for (const std::string& message : errors) OnLayoutError(message);
}

int TSectionList::DoLogic(TCanvas& canvas, int y, int width, int aHeight, int& scrollWidth, int& curs) {
  if (timer_) timer_->SetEnabled(false);
  for (const auto& form : FormList) form->SetSizes(canvas);
  SetTextJustification(canvas, 0, 0);
  // A new pass: widths cached by an earlier layout no longer count.
  if (++lastLayoutPass_ == 0) lastLayoutPass_ = 1;
  layoutPass_ = lastLayoutPass_;
  struct PassEnd {
    unsigned& pass;
    ~PassEnd() { pass = 0; }
  } passEnd{layoutPass_};
  const int height = TCell::DoLogic(canvas, y, width, aHeight, scrollWidth, curs);
  for (TGIFImage* gif : AGifList) {
    gif->SetCurrentFrame(1);
    gif->SetAnimate(false);
    if (!IsCopy) gif->SetAnimate(true);
  }
  if (!IsCopy && !timer_) {
    timer_ = std::make_unique<TTimer>(nullptr);
    timer_->SetInterval(kAnimationInterval);
    timer_->OnTimer = [this](TObject*) { AnimationTimer(); };
  }
  if (timer_) timer_->SetEnabled(!AGifList.empty());
  HideUnpaintedControls();
  if (!IsCopy && PositionList.empty())
    for (const auto& section : *this) section->AddSectionsToList();
  ReportLayoutErrors();
  return height;
}

void TSectionList::AnimationTimer() {
  if (IsCopy) return;
  bool changed = false;
  for (TGIFImage* gif : AGifList)
    if (gif->Drawn && gif->CheckTime()) changed = true;
  if (changed && PPanel) PPanel->Invalidate();
  timer_->SetInterval(kAnimationInterval);
}

int TSectionList::Draw(TCanvas& canvas, const TRect& aRect, int clipWidth, int x, int y, int xRef, int yRef) {
  PageBottom = YOff + aRect.Bottom;
  PageBottomFixed = false;
  if (timer_) timer_->SetEnabled(false);
  for (TGIFImage* gif : AGifList) gif->Drawn = false;
  DrawList.clear();
  const int bottom = TCell::Draw(canvas, aRect, clipWidth, x, y, xRef, yRef);
  for (const TDeferredFloat& entry : DrawList) entry.Object->Draw(canvas, entry.X, entry.Y, entry.Y, entry.Run);
  DrawList.clear();
  if (YOffChange) {
    HideUnpaintedControls();
    if (!IsCopy)
      for (TWindowedObject* panel : PanelList)
        if (!panel->ShowIt) panel->HideWindow(false);
  }
  YOffChange = false;
  if (timer_) timer_->SetEnabled(!AGifList.empty());
  return bottom;
}

TGuResultType TSectionList::GetURL(TCanvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& urlTarget,
                                   TFormControlObj*& formControl, std::string& title) {
  TObject* oldLink = ActiveLink;
  TObject* oldImage = ActiveImage;
  ActiveLink = ActiveImage = nullptr;
  const TGuResultType result = TCell::GetURL(canvas, x, y, urlTarget, formControl, title);
  if (LinksActive && ActiveLink != oldLink) {
    SetLinkHover(oldLink, false);
    SetLinkHover(ActiveLink, true);
    if (PPanel) PPanel->Invalidate();
  }
  if (ActiveImage != oldImage) {
    if (auto* image = dynamic_cast<TFloatingObj*>(oldImage)) image->SetHover(0);
    if (auto* image = dynamic_cast<TFloatingObj*>(ActiveImage)) image->SetHover(1);
  }
  return result;
}

void TSectionList::SetActiveImageDown(bool down) {
  if (auto* image = dynamic_cast<TFloatingObj*>(ActiveImage)) image->SetHover(down ? 2 : 1);
  if (PPanel) PPanel->Invalidate();
}

void TSectionList::SetLinkHover(TObject* link, bool hover) {
  auto* run = dynamic_cast<TFontObj*>(link);
  if (!run) return;
  const auto at = LinkList.Find(link);
  if (at == LinkList.end()) return;
  // A link's runs stand together in the link list and share its number.
  const std::int32_t id = run->UrlTarget().ID;
  auto sameLink = [id](TObject* object) {
    auto* other = dynamic_cast<TFontObj*>(object);
    return other && other->UrlTarget().ID == id;
  };
  auto first = at;
  while (first != LinkList.begin() && sameLink(*(first - 1))) --first;
  for (auto it = first; it != LinkList.end() && sameLink(*it); ++it) static_cast<TFontObj*>(*it)->SetHover(hover);
}

void TSectionList::CancelActives() {
  if ((ActiveLink || ActiveImage) && PPanel) PPanel->Invalidate();
  SetLinkHover(ActiveLink, false);
  if (auto* image = dynamic_cast<TFloatingObj*>(ActiveImage)) image->SetHover(0);
  ActiveLink = ActiveImage = nullptr;
}

void TSectionList::SetFonts(const std::string& fontName, const std::string& preFontName, int marginWidth,
                            int marginHeight, int charSet, bool underlineLinks, bool linksActive, TColor background,
                            TColor overLinkColor, TColor visitedLinkColor, TColor hotSpotColor, TColor fontColor,
                            double fontSize) {
  if (Styles)
    Styles->Initialize(fontName, preFontName, marginWidth, marginHeight, charSet, underlineLinks, overLinkColor,
                       visitedLinkColor, hotSpotColor, fontColor, fontSize);
  SetFontSizeTables(fontSize);
  PreFontName = preFontName.substr(0, 32);
  HotSpotColor = hotSpotColor;
  LinkVisitedColor = visitedLinkColor;
  LinkActiveColor = overLinkColor;
  LinksActive = linksActive;
  SetBackground(background);
}

int TSectionList::FindDocPos(int sourcePos, bool prev) {
  const int result = TCell::FindDocPos(sourcePos, prev);
  return result < 0 ? Len + 1 : result;
}

TSectionBase* TSectionList::FindSectionAtPosition(int y, int& secY, int& index) {
  for (std::size_t i = PositionList.size(); i-- > 0;) {
    const int top = PositionList[i]->GetYPosition();
    if (top <= y) {
      secY = top;
      index = static_cast<int>(i);
      return PositionList[i];
    }
  }
  return nullptr;
}

void TSectionList::SetYOffset(int y) {
  if (y == YOff) return;
  YOff = y;
  YOffChange = true;
  for (TFormControlObj* control : FormControlList) control->ShowIt = false;
  for (TWindowedObject* panel : PanelList) panel->ShowIt = false;
}

void TSectionList::CopyToClipboard() {
  if (SelE <= SelB) return;
  ClipBuffer clip;
  ClipBuf = &clip;
  TCell::CopyToClipboard();
  ClipBuf = nullptr;
  clip.Terminate();
}

void TSectionList::SetBackground(TColor color) {
  Background = color;
  if (OnBackgroundChange) OnBackgroundChange(TheOwner, color);
}

void TSectionList::SetBackgroundBitmap(const std::string& name) {
  ForgetBackground();
  BackgroundBitmapName = name;
  BackgroundBitmapLoaded = false;
}

bool TSectionList::FindYOfTextPosition(std::int32_t pos, std::int32_t& y) {
  TBitmap scratch(1, 1);
  int x = 0;
  int found = 0;
  if (!CursorToXY(scratch.Canvas(), pos, x, found)) return false;
  y = found;
  return true;
}

}  // namespace lark
