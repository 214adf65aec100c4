#include "viewer/frame_browser.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "html/font_run.h"
#include "html/form_controls_simple.h"
#include "html/image_cache.h"
#include "html/section_list.h"
#include "html/url_helpers.h"
#include "platform/core/string_routines.h"
#include "platform/windows/application.h"
#include "platform/windows/edit.h"
#include "viewer/frame_browser_registration.h"

namespace lark {
namespace {

// A blank becomes "+", a few marks and letters and digits stay, the rest
// is "%" and two upper-case hexadecimal digits.
std::string EncodeFormEntry(std::string_view entry) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : entry) {
    if (c == ' ') out += '+';
    else if (std::isalnum(c) || c == '*' || c == '-' || c == '.' || c == '=' || c == '@' || c == '_') out += static_cast<char>(c);
    else out += {'%', kHex[c >> 4], kHex[c & 15]};
  }
  return out;
}

std::pair<std::string, std::string> SplitDest(const std::string& url) {
  const auto hash = url.find('#');
  if (hash == std::string::npos) return {url, {}};
  return {url.substr(0, hash), url.substr(hash)};
}

}  // namespace

TFrameBrowser::TFrameBrowser(TComponent* owner)
    : TFVBase(owner), imageCache_(std::make_unique<TStringBitmapList>()) {
  SetBounds(0, 0, 150, 150);
  curFrameSet_ = NewFrameSet();
  curFrameSet_->SetBevelOuter(TBevelCut::bvLowered);
  curFrameSet_->SetBevelWidth(2);
}

namespace {

// Keeps the shared picture cache until the frames detached with it are gone.
struct TCacheKeeper : TObject {
  explicit TCacheKeeper(std::unique_ptr<TStringBitmapList> kept) : cache(std::move(kept)) {}
  std::unique_ptr<TStringBitmapList> cache;
};

}  // namespace

TFrameBrowser::~TFrameBrowser() {
  pageHistory_.clear();
  if (curFrameSet_) curFrameSet_->Detach();
  curFrameSet_.reset();
  // A detached frame set may be freed after this browser, and its viewers
  // let go of their pictures in the shared cache then.
  FreeAfterDispatch(std::make_unique<TCacheKeeper>(std::move(imageCache_)));
}

std::shared_ptr<TbrFrameSet> TFrameBrowser::NewFrameSet() {
  auto* set = new TbrFrameSet(this);
  set->SetParent(this);
  set->SetAlign(TAlign::alClient);
  set->OnDragDrop = ForwardedDragDrop();
  set->OnDragOver = ForwardedDragOver();
  // Freed when neither the browser nor a history entry holds it, once the
  // handlers running have returned.
  return std::shared_ptr<TbrFrameSet>(set, [](TbrFrameSet* s) {
    s->Detach();
    FreeAfterDispatch(std::unique_ptr<TObject>(s));
  });
}

const std::string& TFrameBrowser::DocumentTitle() const { return curFrameSet_->Title; }
std::string TFrameBrowser::CurrentFile() const { return curFrameSet_->CurrentFile; }
int TFrameBrowser::ViewerCount() const { return static_cast<int>(curFrameSet_->Viewers.size()); }
THTMLViewer* TFrameBrowser::Viewers(int index) const { return curFrameSet_->Viewers.at(index); }

THTMLViewer* TFrameBrowser::ActiveViewer() const {
  if (curFrameSet_->Viewers.size() == 1) return curFrameSet_->Viewers.front();
  return curFrameSet_->ActiveViewer;
}

std::unique_ptr<TMemoryStream> TFrameBrowser::RequestDocument(TObject* sender, bool isGet, const std::string& url,
                                                              const std::string& query, const std::string& encType,
                                                              const std::string& referer, bool reload,
                                                              std::string& newURL, ThtmlFileType& docType) {
  newURL.clear();
  docType = ThtmlFileType::ftHTML;
  TMemoryStream* answer = nullptr;
  if (OnGetPostRequestEx)
    OnGetPostRequestEx(sender, isGet, url, query, encType, referer, reload, newURL, docType, answer);
  else if (OnGetPostRequest)
    OnGetPostRequest(sender, isGet, url, query, reload, newURL, docType, answer);
  else
    throw Exception("No OnGetPostRequest or OnGetPostRequestEx event defined");
  if (!answer) return nullptr;
  auto copy = std::make_unique<TMemoryStream>();
  const std::string_view bytes = answer->Bytes();
  copy->Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  copy->SetPosition(0);
  return copy;
}

void TFrameBrowser::LoadURL(const std::string& url) {
  if (Busy()) return;
  LoadURLInternal(Normalize(url), "", "", "", true, false);
}

TViewerPosition TFrameBrowser::SingleViewerPosition() const {
  return curFrameSet_->Viewers.size() == 1 ? curFrameSet_->Viewers.front()->GetPosition() : 0;
}

void TFrameBrowser::LoadURLInternal(const std::string& url, const std::string& query, const std::string& encType,
                                    const std::string& referer, bool isGet, bool reload) {
  if (!OnGetPostRequestEx && !OnGetPostRequest)
    throw Exception("No OnGetPostRequest or OnGetPostRequestEx event defined");
  BusyScope busy(*this);
  auto [s, dest] = SplitDest(url);
  const std::string oldURL = curFrameSet_->CurrentFile, oldTitle = curFrameSet_->Title;
  ForgetBusyViewers();
  if (OnSoundRequest) OnSoundRequest(this, "", 0, true);
  std::string newURL;
  ThtmlFileType docType = ThtmlFileType::ftHTML;
  if (SameText(s, oldURL)) {
    const TViewerPosition oldPos = SingleViewerPosition();
    auto stream = RequestDocument(this, isGet, s, query, encType, referer, reload, newURL, docType);
    if (!stream) throw EfvLoadError("Can't locate cache file: " + s);
    for (THTMLViewer* viewer : curFrameSet_->Viewers)
      if (OnViewerClear) OnViewerClear(viewer);
    curFrameSet_->LoadFromStream(*stream, docType, dest, s);
    RecordSamePage(oldPos);
  } else {
    for (THTMLViewer* viewer : curFrameSet_->Viewers)
      if (OnViewerClear) OnViewerClear(viewer);
    const TViewerPosition oldPos = SingleViewerPosition();
    std::shared_ptr<TbrFrameSet> oldSet = curFrameSet_;
    std::shared_ptr<TbrFrameSet> newSet = NewFrameSet();
    newSet->FrameSetBase = oldSet->FrameSetBase;
    curFrameSet_ = newSet;
    // A failed page leaves the new, empty set on screen; the old one leaves
    // the browser and lives on only while a history entry holds it.
    oldSet->Detach();
    auto stream = RequestDocument(this, isGet, s, query, encType, referer, reload, newURL, docType);
    if (!stream) throw EfvLoadError("Can't load: " + s);
    if (!newURL.empty()) s = newURL;
    if (s.find(':') == std::string::npos) s = Combine(oldSet->FrameSetBase, s);
    newSet->LoadFromStream(*stream, docType, dest, s);
    oldSet->UnloadFiles();
    newSet->BringToFront();
    newSet->Show();
    RecordNewPage(std::move(oldSet), oldURL, oldTitle, oldPos);
  }
  AddVisited(s + dest);
  MarkVisitedLinks();
}

void TFrameBrowser::Reload() {
  if (Busy()) return;
  BusyScope busy(*this);
  ForgetBusyViewers();
  curFrameSet_->UnloadFiles();
  // The page has let go of its pictures: a reload asks the host for them
  // again rather than showing the shared cache's copies.
  imageCache_->FreeUnheld();
  curFrameSet_->ReloadFiles(-1);
  MarkVisitedLinks();
}

void TFrameBrowser::Clear() {
  if (Busy()) return;
  pageHistory_.clear();
  historyIndex_ = 0;
  curFrameSet_->EmptyFrameSet();
  curFrameSet_->SetBevelOuter(NoBorder() ? TBevelCut::bvNone : TBevelCut::bvLowered);
  curFrameSet_->SetBevelWidth(2);
  imageCache_->Clear();
  visited_.Clear();
  if (OnHistoryChange) OnHistoryChange(this);
}

// ---- viewers ---------------------------------------------------------------------

void TFrameBrowser::SetfvOptions(TFrameViewerOptions options) {
  if ((options ^ options_) & fvNoBorder) {
    curFrameSet_->SetBevelOuter((options & fvNoBorder) ? TBevelCut::bvNone : TBevelCut::bvLowered);
    curFrameSet_->SetBevelWidth(2);
    curFrameSet_->OuterBorder = (options & fvNoBorder) ? 0 : 2;
  }
  options_ = options;
  for (THTMLViewer* viewer : curFrameSet_->Viewers) ApplyOptions(*viewer);
}

void TFrameBrowser::ApplyOptions(THTMLViewer& viewer) const {
  ThtmlViewerOptions ht = viewer.htOptions();
  const auto set = [&ht](bool on, unsigned bit) { ht = on ? (ht | bit) : (ht & ~bit); };
  set(options_ & fvOverLinksActive, htOverLinksActive);
  set(options_ & fvNoLinkUnderline, htNoLinkUnderline);
  set(options_ & fvPrintTableBackground, htPrintTableBackground);
  set(options_ & fvPrintMonochromeBlack, htPrintMonochromeBlack);
  set(options_ & fvShowVScroll, htShowVScroll);
  viewer.SethtOptions(ht);
}

void TFrameBrowser::SetOnImageRequest(TGetImageEvent handler) {
  onImageRequest_ = std::move(handler);
  for (THTMLViewer* viewer : curFrameSet_->Viewers) ConnectImageRequest(*viewer);
}

void TFrameBrowser::ConnectImageRequest(THTMLViewer& viewer) {
  if (onImageRequest_) viewer.SetOnImageRequest(onImageRequest_);
}

void TFrameBrowser::ConnectViewer(THTMLViewer& viewer, TbrFrame& frame) {
  viewer.SetSharedImageCache(imageCache_.get());
  ConnectImageRequest(viewer);
  viewer.OnHotSpotClick = [this, &viewer, &frame](TObject*, const std::string& src, bool& handled) {
    HotSpotClick(&viewer, &frame, src, handled);
  };
  viewer.OnHotSpotCovered = [this, &viewer, &frame](TObject*, const std::string& src) {
    HotSpotCovered(&viewer, &frame, src);
  };
  viewer.SetOnFormSubmit([this, &viewer, &frame](TObject*, const std::string& action, const std::string& target,
                                                 const std::string& encType, const std::string& method,
                                                 const std::vector<std::string>& results) {
    FormSubmit(&viewer, &frame, action, target, encType, method, results);
  });
  viewer.OnProcessing = [this, &viewer](TObject*, bool on) { ViewerProcessing(&viewer, on); };
  viewer.OnhtStreamRequest = [this, &viewer, &frame](TObject* sender, const std::string& src,
                                                    TMemoryStream*& stream) {
    std::string newURL;
    ThtmlFileType docType = ThtmlFileType::ftHTML;
    // The viewer reads the sheet before it asks for the next one. A relative
    // name is the frame document's neighbour, as its links and pictures are:
    // the application has no base to resolve it with.
    styleSheet_ = RequestDocument(sender, true, FullURL(&viewer, &frame, src), "", "", "", false, newURL, docType);
    stream = styleSheet_.get();
  };
  viewer.OnEnter = [this, &viewer](TObject*) {
    if (curFrameSet_->ActiveViewer == &viewer) return;
    curFrameSet_->ActiveViewer = &viewer;
    if (OnActiveViewerChange) OnActiveViewerChange(this);
  };
  viewer.SetOnExpandName([&viewer, &frame](TObject*, const std::string& src, std::string& result) {
    const std::string name = DosNameToURL(src);
    result = IsFullURL(name) ? name
                             : Combine(viewer.Base().empty() ? frame.URLBase : GetBase(DosNameToURL(viewer.Base())), name);
  });
  ConnectDrag(viewer);
  viewer.OnMetaRefresh = [&frame](TObject*, int delay, const std::string& url) { frame.MetaRefresh(delay, url); };
  ApplyOptions(viewer);  // not yet among the page's viewers
}

std::vector<std::pair<THTMLViewer*, std::string>> TFrameBrowser::ViewerEdges() const {
  constexpr int kEdgeSlack = 2;
  std::vector<std::pair<THTMLViewer*, std::string>> edges;
  const TPoint origin = ClientToScreen(TPoint{0, 0});
  const TRect mine = Rect(origin.X, origin.Y, origin.X + ClientWidth(), origin.Y + ClientHeight());
  for (THTMLViewer* viewer : curFrameSet_->Viewers) {
    if (viewer->SectionList().Count() == 0) continue;
    const TPoint at = viewer->ClientToScreen(TPoint{0, 0});
    const TRect r = Rect(at.X, at.Y, at.X + viewer->Width(), at.Y + viewer->Height());
    std::string letters;
    if (std::abs(r.Left - mine.Left) <= kEdgeSlack) letters += 'l';
    if (std::abs(r.Top - mine.Top) <= kEdgeSlack) letters += 't';
    if (std::abs(r.Right - mine.Right) <= kEdgeSlack) letters += 'r';
    if (std::abs(r.Bottom - mine.Bottom) <= kEdgeSlack) letters += 'b';
    edges.emplace_back(viewer, letters);
  }
  return edges;
}

TDragDropEvent TFrameBrowser::ForwardedDragDrop() {
  if (!onDragDrop_) return {};
  return [this](TObject*, TObject* source, int x, int y) { onDragDrop_(this, source, x, y); };
}

TDragOverEvent TFrameBrowser::ForwardedDragOver() {
  if (!onDragOver_) return {};
  return [this](TObject*, TObject* source, int x, int y, TDragState state, bool& accept) {
    onDragOver_(this, source, x, y, state, accept);
  };
}

void TFrameBrowser::ConnectDrag(THTMLViewer& viewer) {
  viewer.SetOnDragDrop(ForwardedDragDrop());
  viewer.SetOnDragOver(ForwardedDragOver());
}

void TFrameBrowser::ConnectCurrentPage() {
  curFrameSet_->OnDragDrop = ForwardedDragDrop();
  curFrameSet_->OnDragOver = ForwardedDragOver();
  for (THTMLViewer* viewer : curFrameSet_->Viewers) {
    ConnectDrag(*viewer);
    ApplyOptions(*viewer);
  }
}

void TFrameBrowser::SetOnDragDrop(TDragDropEvent handler) {
  onDragDrop_ = std::move(handler);
  ConnectCurrentPage();
}

void TFrameBrowser::SetOnDragOver(TDragOverEvent handler) {
  onDragOver_ = std::move(handler);
  ConnectCurrentPage();
}

std::string TFrameBrowser::FullURL(THTMLViewer* viewer, TbrFrame* frame, const std::string& link) const {
  const std::string s = DosNameToURL(link);
  if (s.empty()) return frame->Source;
  if (IsFullURL(s)) return s;
  const std::string base = !viewer->Base().empty() ? GetBase(DosNameToURL(viewer->Base())) : frame->URLBase;
  return Combine(base, s);
}

bool TFrameBrowser::ResolveTarget(TbrFrame* clicked, const std::string& target, TbrFrame*& frame) const {
  frame = nullptr;
  if (target.empty() || SameText(target, "_self")) {
    frame = clicked;
    return clicked != nullptr;
  }
  if (TbrFrame* named = curFrameSet_->FindFrame(target)) {
    frame = named;
    return true;
  }
  if (SameText(target, "_top")) return true;
  if (SameText(target, "_parent")) {
    for (TWinControl* up = clicked ? clicked->Owner().Parent() : nullptr; up; up = up->Parent()) {
      if (auto* f = dynamic_cast<TbrFrame*>(up)) {
        frame = f;
        return true;
      }
      if (dynamic_cast<TbrFrameSet*>(up)) return true;
    }
    return true;
  }
  return false;
}

void TFrameBrowser::HotSpotClick(THTMLViewer* viewer, TbrFrame* frame, const std::string& link, bool& handled) {
  if (Busy()) {
    handled = true;
    return;
  }
  std::string target = viewer->LinkTarget();
  if (target.empty()) target = viewer->BaseTarget();
  for (TWinControl* up = frame->Parent(); target.empty() && up; up = up->Parent())
    if (auto* set = dynamic_cast<TbrSubFrameSet*>(up)) {
      target = set->FrameSetBaseTarget;
      if (set == curFrameSet_.get()) break;
    }
  auto [s, dest] = SplitDest(link);
  const std::string full = s.empty() ? frame->Source : FullURL(viewer, frame, s);
  handled = false;
  if (OnHotSpotTargetClick) OnHotSpotTargetClick(this, target, full + dest, handled);
  if (handled) return;
  handled = true;
  TbrFrame* targetFrame = nullptr;
  if (!ResolveTarget(frame, target, targetFrame)) {
    if (OnBlankWindowRequest) {
      AddVisited(full + dest);
      MarkVisitedLinks();
      OnBlankWindowRequest(this, target, full + dest);
    }
    return;
  }
  const std::string referer = viewer->CurrentFile();
  BusyScope busy(*this);
  if (targetFrame && curFrameSet_->Viewers.size() == 1 && !s.empty() && !SameText(s, curFrameSet_->CurrentFile))
    targetFrame = nullptr;
  if (targetFrame)
    targetFrame->LoadFrameURL(full, dest, "", "", referer, true, true, false);
  else
    LoadURLInternal(full + dest, "", "", referer, true, false);
  MarkVisitedLinks();
}

void TFrameBrowser::HotSpotCovered(THTMLViewer* viewer, TbrFrame* frame, const std::string& link) {
  if (!OnHotSpotTargetCovered) return;
  if (link.empty()) {
    OnHotSpotTargetCovered(viewer, viewer->LinkTarget(), "");
    return;
  }
  auto [s, dest] = SplitDest(link);
  OnHotSpotTargetCovered(viewer, viewer->LinkTarget(), (s.empty() ? frame->Source : FullURL(viewer, frame, s)) + dest);
}

void TFrameBrowser::FormSubmit(THTMLViewer* viewer, TbrFrame* frame, const std::string& action,
                               const std::string& target, const std::string& encType, const std::string& method,
                               const std::vector<std::string>& results) {
  // The submission waited for its click to end; a load may run by now.
  if (submitting_ || Busy()) return;
  submitting_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{submitting_};
  std::vector<std::string> values = results;
  if (OnFormSubmit) {
    bool handled = false;
    OnFormSubmit(this, viewer, action, target, encType, method, values, handled);
    if (handled) return;
  }
  std::string query;
  for (std::size_t i = 0; i < values.size(); ++i) query += (i ? "&" : "") + EncodeFormEntry(values[i]);
  TbrFrame* targetFrame = nullptr;
  bool toPage = ResolveTarget(frame, target, targetFrame);
  if (!toPage) {
    // A password never goes to another process's command line.
    bool hasPassword = false;
    for (TFormControlObj* control : viewer->FormControlList())
      if (auto* edit = dynamic_cast<TEditFormControlObj*>(control))
        hasPassword |= edit->Edit().PasswordChar() != 0 && !edit->Edit().GetText().empty();
    if (!hasPassword) {
      if (OnBlankWindowRequest) OnBlankWindowRequest(this, target, action + "?" + query);
      return;
    }
    targetFrame = nullptr;
  }
  auto [url, dest] = SplitDest(action);
  BusyScope busy(*this);
  if (targetFrame && curFrameSet_->Viewers.size() == 1 && !url.empty() && !SameText(url, curFrameSet_->CurrentFile))
    targetFrame = nullptr;
  if (url.empty()) url = frame->Source;
  else if (!IsFullURL(url)) url = Combine(frame->URLBase, url);
  const bool isGet = SameText(method, "get");
  const std::string referer = viewer->CurrentFile();
  if (targetFrame)
    targetFrame->LoadFrameURL(url, dest, query, encType, referer, true, isGet, true);
  else
    LoadURLInternal(url + dest, query, encType, referer, isGet, true);
}

// ---- visited links ------------------------------------------------------------------

void TFrameBrowser::AddVisited(const std::string& url) {
  if (VisitedMaxCount() == 0) return;
  const int index = visited_.IndexOf(url);
  if (index == 0) return;
  if (index > 0) visited_.Delete(index);
  visited_.Insert(0, url);
  while (visited_.Count() > VisitedMaxCount()) visited_.Delete(visited_.Count() - 1);
}

void TFrameBrowser::MarkVisitedLinks() {
  std::unordered_set<std::string> names;
  for (int i = 0; i < visited_.Count(); ++i) names.insert(UpperCase(visited_.Strings(i)));
  for (TbrFrame* frame : curFrameSet_->Frames) {
    THTMLViewer* viewer = frame->Viewer();
    if (!viewer) continue;
    // Each link's name once per pass; the runs of one link stand together.
    std::string lastURL, fullName;
    for (TObject* object : viewer->SectionList().LinkList) {
      auto* run = dynamic_cast<TFontObj*>(object);
      if (!run || run->UrlTarget().URL.empty()) continue;
      if (run->UrlTarget().URL != lastURL || fullName.empty()) {
        lastURL = run->UrlTarget().URL;
        const std::string& link = lastURL;
        fullName = UpperCase(IsFullURL(link)         ? link
                             : link.starts_with("#") ? frame->Source + link
                                                     : Combine(frame->URLBase, DosNameToURL(link)));
      }
      const bool mark = names.contains(fullName);
      if (mark != run->Visited) run->SetVisited(mark);
    }
    viewer->Invalidate();
  }
}

void TFrameBrowser::VisitedCleared() {
  visited_.Clear();
  MarkVisitedLinks();
}

TComponent* NewFrameBrowser(TComponent* owner) { return new TFrameBrowser(owner); }

}  // namespace lark
