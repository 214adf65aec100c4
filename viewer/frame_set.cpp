#include "viewer/frame_set.h"

#include <algorithm>
#include <cctype>

#include "html/attribute_list.h"
#include "html/url_helpers.h"
#include "platform/core/string_routines.h"
#include "platform/windows/application.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

constexpr int kMaxDimensionDigits = 20;
constexpr int kMaxPercent = 900, kMaxPixels = 5000, kMaxWeight = 99;

// MulDiv in 64 bits, never negative for the sizes here.
int ScaleSize(std::int64_t value, std::int64_t num, std::int64_t den) {
  if (den <= 0) return 0;
  return static_cast<int>(std::clamp<std::int64_t>(value * num / den, 0, INT32_MAX));
}

// The text of a name shown inside a page.
std::string HtmlEscape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::vector<TFrameDimension> ReadFrameDimensions(std::string_view value) {
  std::vector<TFrameDimension> dims;
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return k < value.size() ? value[k] : '\0'; };
  while (i < value.size() && dims.size() < static_cast<std::size_t>(kMaxFrameDimensions)) {
    while (i < value.size() && !std::isdigit(static_cast<unsigned char>(at(i))) && at(i) != '*' && at(i) != ',') ++i;
    if (i >= value.size()) break;
    if (!std::isdigit(static_cast<unsigned char>(at(i)))) {
      dims.push_back(-1);
      if (at(i) == '*') ++i;
    } else {
      // Digits saturate: a value past every cap is as good as the cap.
      std::int64_t n = 0;
      int digits = 0;
      while (std::isdigit(static_cast<unsigned char>(at(i)))) {
        if (digits++ < kMaxDimensionDigits) n = std::min<std::int64_t>(n * 10 + (at(i) - '0'), 1'000'000);
        ++i;
      }
      n = std::max<std::int64_t>(1, n);
      while (i < value.size() && at(i) != '*' && at(i) != '%' && at(i) != ',') ++i;
      if (at(i) == '*')
        dims.push_back(static_cast<TFrameDimension>(-std::min<std::int64_t>(n, kMaxWeight)));
      else if (at(i) == '%')
        dims.push_back(static_cast<TFrameDimension>(-std::min<std::int64_t>(n + 100, 100 + kMaxPercent)));
      else
        dims.push_back(static_cast<TFrameDimension>(std::min<std::int64_t>(n, kMaxPixels)));
    }
    while (i < value.size() && at(i) != ',') ++i;
    if (at(i) == ',') ++i;
  }
  return dims;
}

std::vector<int> DivideFrameLength(const std::vector<TFrameDimension>& dims, int length) {
  length = std::max(length, 0);
  std::int64_t pixels = 0, weights = 0, percents = 0;
  for (TFrameDimension d : dims) {
    if (d >= 0) pixels += d;
    else if (d >= -99) weights += -d;
    else percents += -d - 100;
  }
  std::vector<int> sizes(dims.size(), 0);
  const std::int64_t remainder = length - pixels;
  if (remainder > 0) {
    const std::int64_t percentPart = std::min<std::int64_t>(remainder, length * percents / 100);
    const std::int64_t share = weights > 0 ? (remainder - percentPart) / weights : 0;
    for (std::size_t i = 0; i < dims.size(); ++i) {
      const TFrameDimension d = dims[i];
      if (d >= 0) sizes[i] = d;
      else if (d >= -99) sizes[i] = static_cast<int>(-d * share);
      else sizes[i] = ScaleSize(-d - 100, percentPart, percents);
    }
  } else {
    for (std::size_t i = 0; i < dims.size(); ++i)
      if (dims[i] >= 0) sizes[i] = ScaleSize(dims[i], length, pixels);
  }
  return sizes;
}

std::string DosNameToURL(std::string_view name) {
  std::string url(name);
  std::replace(url.begin(), url.end(), '\\', '/');
  return url;
}

// ---- TbrFrameBase ------------------------------------------------------------------

// The panels belong to their lists and history entries, not to a
// component owner, which would free them a second time.
TbrFrameBase::TbrFrameBase(TbrFrameSet* masterSet) : TCustomPanel(nullptr), MasterSet(masterSet) {
  SetBevelOuter(TBevelCut::bvNone);
}

// ---- TbrFrame ----------------------------------------------------------------------

TbrFrame::TbrFrame(TbrSubFrameSet* owner, TbrFrameSet* masterSet, const TAttributeList* attributes)
    : TbrFrameBase(masterSet), owner_(owner) {
  TFrameBrowser& browser = *masterSet->Browser;
  CharSet = owner->CharSet;
  MarginWidth = browser.MarginWidth();
  MarginHeight = browser.MarginHeight();
  if (owner->FrameBorderWidth > 0) {
    SetBevelOuter(TBevelCut::bvLowered);
    SetBevelWidth(owner->FrameBorderWidth);
  }
  SetParentColor(true);
  if (!attributes) return;
  if (const TAttribute* a = attributes->Find(MarginWidthSy)) MarginWidth = std::clamp(a->Value, 0, kMaxFrameMargin);
  if (const TAttribute* a = attributes->Find(MarginHeightSy)) MarginHeight = std::clamp(a->Value, 0, kMaxFrameMargin);
  if (const TAttribute* a = attributes->Find(NameSy)) FrameName = a->Name;
  if (const TAttribute* a = attributes->Find(ScrollingSy)) NoScroll = SameText(a->Name, "NO");
  NoResize = attributes->Find(NoResizeSy) != nullptr;
  if (const TAttribute* a = attributes->Find(SrcSy)) {
    std::string src = Trim(a->Name);
    if (const auto hash = src.find('#'); hash != std::string::npos) {
      Destination = src.substr(hash);
      src.erase(hash);
    }
    src = DosNameToURL(src);
    if (src.find(":/") != std::string::npos) {
      URLBase = GetBase(src);
    } else {
      URLBase = !owner->FrameSetBase.empty() ? owner->FrameSetBase : owner->URLBase;
      src = Combine(URLBase, src);
    }
    Source = OrigSource = src;
  }
  if (!FrameName.empty()) masterSet->FrameNames.emplace_back(UpperCase(FrameName), this);
}

TbrFrame::~TbrFrame() {
  if (MasterSet) {
    std::erase_if(MasterSet->FrameNames, [this](const auto& entry) { return entry.second == this; });
    std::erase(MasterSet->Frames, this);
    if (viewer_) MasterSet->RemoveViewer(viewer_);
  }
  // The nested set is shared with history entries: it leaves the window
  // tree before the tree frees its children.
  if (frameSet_) frameSet_->Detach();
}

void TbrFrame::UpdateFrameList() {
  MasterSet->Frames.push_back(this);
  if (frameSet_) frameSet_->UpdateFrameList();
}

bool TbrFrame::CheckNoResize(bool& lower, bool& upper) {
  lower = upper = NoResize;
  return NoResize;
}

void TbrFrame::SetBounds(int left, int top, int width, int height) {
  TbrFrameBase::SetBounds(left, top, width, height);
  if (frameSet_) frameSet_->PlaceChildren();
}

void TbrFrame::CreateFrameViewer() {
  TFrameBrowser& browser = *MasterSet->Browser;
  viewer_ = new THTMLViewer(nullptr);  // freed as a child of the frame
  viewer_->InFrame = true;
  viewer_->SetVisible(false);
  viewer_->SetParent(this);
  viewer_->SetAlign(TAlign::alClient);
  if (MasterSet->FrameBorderWidth == 0) viewer_->SetBorderStyle(THTMLBorderStyle::htNone);
  if (NoScroll) viewer_->SetScrollBarsStyle(TScrollStyle::ssNone);
  viewer_->SetVisible(true);
  viewer_->CharSet = CharSet;
  browser.ApplySettings(*viewer_);
  viewer_->MarginWidth = MarginWidth;
  viewer_->MarginHeight = MarginHeight;
  browser.ConnectViewer(*viewer_, *this);
  MasterSet->Viewers.push_back(viewer_);
}

void TbrFrame::LoadViewer(TMemoryStream& stream, ThtmlFileType docType) {
  if (!viewer_) CreateFrameViewer();
  viewer_->SetBase(MasterSet->FrameSetBase);
  viewer_->LoadFromMemoryStream(Source, &stream, docType);
  if (!Destination.empty()) viewer_->JumpToAnchor(Destination);
}

void TbrFrame::ShowErrorPage() {
  if (!viewer_) return;
  // The name is shown as text; the picture is the error look, so nobody is
  // asked for it.
  const std::string page =
      "<p><img src=\"\" alt=\"Error\"> Can't load " + HtmlEscape(Source);
  TMemoryStream stream;
  stream.Write(page.data(), static_cast<std::int64_t>(page.size()));
  stream.SetPosition(0);
  viewer_->SetOnImageRequest(nullptr);
  viewer_->LoadFromMemoryStream(Source, &stream, ThtmlFileType::ftHTML);
  MasterSet->Browser->ConnectImageRequest(*viewer_);
}

void TbrFrame::LoadFiles() {
  if (Source.empty() || MasterSet->NestLevel >= kMaxFrameLoadNesting) return;
  TFrameBrowser& browser = *MasterSet->Browser;
  ++MasterSet->NestLevel;
  try {
    std::unique_ptr<TMemoryStream> stream = std::move(FirstStream);
    ThtmlFileType docType = FirstDocType;
    if (!stream) {
      std::string newURL;
      stream = browser.RequestDocument(this, true, Source, "", "", "", false, newURL, docType);
      if (!newURL.empty()) Source = newURL;
    }
    URLBase = GetBase(Source);
    if (!stream) {
      CreateFrameViewer();
    } else if (docType == ThtmlFileType::ftHTML && IsFrameSetDocument(stream->Bytes())) {
      frameSet_ = MakeNestedFrameSet(stream->Bytes());
      RecordInitialFrameHistory(Source, 0);
      frameSet_->LoadFiles();
      bool lower = false, upper = false;
      frameSet_->CheckNoResize(lower, upper);
      frameSet_->StartRefresh();
    } else {
      LoadViewer(*stream, docType);
      RecordInitialFrameHistory(Source, viewer_->GetPosition());
    }
  } catch (const std::exception&) {
    if (!viewer_ && !frameSet_) CreateFrameViewer();
    ShowErrorPage();
  }
  --MasterSet->NestLevel;
}

void TbrFrame::UnloadFiles() {
  StopRefresh();
  if (frameSet_) frameSet_->UnloadFiles();
  if (viewer_) {
    savedPos_ = viewer_->GetPosition();
    savedFormData_ = viewer_->GetFormData();
    if (MasterSet->Browser->OnViewerClear) MasterSet->Browser->OnViewerClear(viewer_);
    viewer_->Clear();
  }
  Unloaded = true;
}

void TbrFrame::ReloadFiles(TViewerPosition position) {
  if (!Source.empty()) {
    if (frameSet_) {
      frameSet_->ReloadFiles(position);
    } else if (viewer_) {
      std::string newURL;
      ThtmlFileType docType = ThtmlFileType::ftHTML;
      auto stream = MasterSet->Browser->RequestDocument(this, true, Source, "", "", "", false, newURL, docType);
      if (stream) {
        viewer_->SetBase(MasterSet->FrameSetBase);
        viewer_->LoadFromMemoryStream(Source, stream.get(), docType);
        viewer_->SetPosition(position >= 0 ? position : savedPos_);
        viewer_->SetFormData(savedFormData_);
      }
      savedFormData_.clear();
    }
  }
  Unloaded = false;
}

void TbrFrame::DropViewer() {
  if (!viewer_) return;
  MasterSet->RemoveViewer(viewer_);
  viewer_->Hide();
  viewer_->SetParent(nullptr);
  // Its own click handler may be below us on the stack.
  FreeAfterDispatch(std::unique_ptr<TObject>(viewer_));
  viewer_ = nullptr;
}

std::shared_ptr<TbrSubFrameSet> TbrFrame::MakeNestedFrameSet(std::string_view document) {
  auto set = MakeSubFrameSet(MasterSet);
  set->OwnerFrame = this;
  set->URLBase = URLBase;
  set->CharSet = CharSet;
  set->SetParent(this);
  set->SetAlign(TAlign::alClient);
  set->ParseFrameSetDocument(document);
  SetBevelOuter(TBevelCut::bvNone);
  return set;
}

void TbrFrame::LoadFrameURL(const std::string& url, const std::string& dest, const std::string& query,
                            const std::string& encType, const std::string& referer, bool bump, bool isGet,
                            bool reload) {
  StopRefresh();
  const std::string oldSource = Source, oldBase = URLBase;
  std::string target = url.empty() ? Source : url;
  if (!url.empty()) URLBase = GetBase(url);
  const bool same = SameText(target, Source);
  TFrameBrowser& browser = *MasterSet->Browser;
  try {
    if (same && !reload) {
      Source = target;
      if (viewer_) {
        const TViewerPosition oldPos = viewer_->GetPosition();
        viewer_->JumpToAnchor(dest);
        browser.AddVisited(target + dest);
        if (bump && viewer_->GetPosition() != oldPos) PushFrameHistory(target, viewer_->GetPosition(), oldPos, {});
      } else if (frameSet_) {
        for (TbrFrame* frame : MasterSet->Frames)
          if (frame->Owner().OwnerFrame == this && !SameText(frame->Source, frame->OrigSource))
            frame->LoadFrameURL(frame->OrigSource, "", "", "", "", true, true, false);
      }
      return;
    }
    if (viewer_ && browser.OnViewerClear) browser.OnViewerClear(viewer_);
    std::string newURL;
    ThtmlFileType docType = ThtmlFileType::ftHTML;
    auto stream = browser.RequestDocument(this, isGet, target, query, encType, referer, reload, newURL, docType);
    if (!newURL.empty()) {
      target = newURL;
      URLBase = GetBase(target);
    }
    Source = target;
    Destination = dest;
    const bool frameSetPage = stream && docType == ThtmlFileType::ftHTML && IsFrameSetDocument(stream->Bytes());
    if (!viewer_ || frameSetPage) {
      const TViewerPosition oldPos = viewer_ ? viewer_->GetPosition() : 0;
      auto oldFormData = viewer_ ? viewer_->GetFormData() : std::vector<std::vector<std::string>>{};
      std::shared_ptr<TbrSubFrameSet> oldSet = std::move(frameSet_);
      if (oldSet) oldSet->RemoveFrameNames();
      if (frameSetPage) {
        DropViewer();
        frameSet_ = MakeNestedFrameSet(stream->Bytes());
        browser.AddVisited(target);
        frameSet_->LoadFiles();
        bool lower = false, upper = false;
        frameSet_->CheckNoResize(lower, upper);
        frameSet_->StartRefresh();
        PushFrameHistory(target, 0, oldPos, std::move(oldFormData));
        frameSet_->PlaceChildren();
      } else {
        if (stream)
          LoadViewer(*stream, docType);
        else
          CreateFrameViewer();
        browser.AddVisited(target + dest);
        PushFrameHistory(target, viewer_->GetPosition(), oldPos, std::move(oldFormData));
        SetFrameBevel();
      }
      // The old set lives on in the history.
      if (oldSet) {
        oldSet->UnloadFiles();
        oldSet->Detach();
      }
    } else {
      const TViewerPosition oldPos = viewer_->GetPosition();
      const std::string oldTitle = viewer_->DocumentTitle();
      const std::size_t viewers = MasterSet->Viewers.size();
      auto formData = bump && viewers > 1 ? viewer_->GetFormData() : std::vector<std::vector<std::string>>{};
      if (stream)
        LoadViewer(*stream, docType);
      else
        viewer_->Clear();
      browser.AddVisited(target + dest);
      if (viewers >= 2 && bump) {
        PushFrameHistory(target, viewer_->GetPosition(), oldPos, std::move(formData));
      } else if (viewers == 1 && bump) {
        MasterSet->CurrentFile = Source;
        MasterSet->Title = viewer_->DocumentTitle();
        MasterSet->FrameSetBase = viewer_->Base();
        MasterSet->FrameSetBaseTarget = viewer_->BaseTarget();
        browser.RecordOneFramePage(oldSource, oldTitle, oldPos);
      }
    }
    MasterSet->RebuildFrameList();
    Invalidate();
  } catch (...) {
    Source = oldSource;
    URLBase = oldBase;
    throw;
  }
}

void TbrFrame::SetFrameBevel() {
  const int width = MasterSet->FrameBorderWidth;
  SetBevelOuter(width > 0 ? TBevelCut::bvLowered : TBevelCut::bvNone);
  if (width > 0) SetBevelWidth(width);
}

// ---- TbrSubFrameSet ------------------------------------------------------------------

TbrSubFrameSet::TbrSubFrameSet(TbrFrameSet* masterSet) : TbrFrameBase(masterSet) {}

TbrSubFrameSet::~TbrSubFrameSet() {
  CancelDrag();
  // Children first, while this set and its page still stand.
  List.clear();
}

void TbrSubFrameSet::InitializeFromAttributes(const TAttributeList& attributes) {
  if (const TAttribute* rows = attributes.Find(RowsSy)) {
    Rows = true;
    Dim = ReadFrameDimensions(rows->Name);
  }
  if (const TAttribute* cols = attributes.Find(ColsSy); cols && Dim.size() <= 1) {
    Rows = false;
    Dim = ReadFrameDimensions(cols->Name);
  }
  if (this != MasterSet || MasterSet->Browser->NoBorder()) return;
  const TAttribute* border = attributes.Find(BorderSy);
  if (!border) border = attributes.Find(FrameBorderSy);
  if (!border) return;
  FrameBorderWidth = std::clamp(border->Value, 0, kMaxFrameBorderWidth);
  OuterBorder = std::max(2 - FrameBorderWidth, 0);
  SetBevelOuter(OuterBorder >= 1 ? TBevelCut::bvLowered : TBevelCut::bvNone);
  SetBevelWidth(std::max(OuterBorder, 1));
}

bool TbrSubFrameSet::AddFrame(const TAttributeList& attributes) {
  if (List.size() >= static_cast<std::size_t>(kMaxFrameDimensions) ||
      MasterSet->FrameCount >= kMaxFramesPerPage)
    return false;
  ++MasterSet->FrameCount;
  auto frame = std::make_unique<TbrFrame>(this, MasterSet, &attributes);
  frame->SetParent(this);
  List.push_back(std::move(frame));
  return true;
}

TFrameSetBuilder* TbrSubFrameSet::CreateSubFrameSet(const TAttributeList& /*attributes*/) {
  if (List.size() >= static_cast<std::size_t>(kMaxFrameDimensions)) return nullptr;
  auto set = std::make_unique<TbrSubFrameSet>(MasterSet);
  set->URLBase = URLBase;
  set->SetParent(this);
  TbrSubFrameSet* raw = set.get();
  List.push_back(std::move(set));
  return raw;
}

void TbrSubFrameSet::Finish() {
  // Room the dimensions promise but no tag fills stays an empty frame.
  while (List.size() < Dim.size() && MasterSet->FrameCount < kMaxFramesPerPage) {
    ++MasterSet->FrameCount;
    auto frame = std::make_unique<TbrFrame>(this, MasterSet, nullptr);
    frame->SetParent(this);
    List.push_back(std::move(frame));
  }
  while (Dim.size() < List.size()) Dim.push_back(-1);
  Dim.resize(List.size());
}

void TbrSubFrameSet::ParseFrameSetDocument(std::string_view text) {
  TFrameSetHooks hooks;
  hooks.Sender = MasterSet->Browser;
  hooks.OnMeta = [this](TObject* sender, const std::string& httpEq, const std::string& name,
                        const std::string& content) { FrameSetMeta(sender, httpEq, name, content); };
  const THtmlDocumentInfo info = ParseFrameSet(text, *this, hooks);
  // Without a BASE the frames resolve against the set's own address.
  FrameSetBase = info.Base;
  FrameSetBaseTarget = info.BaseTarget;
  if (this == MasterSet) MasterSet->Title = info.Title;
}

void TbrSubFrameSet::UpdateFrameList() {
  for (auto& child : List) child->UpdateFrameList();
}

void TbrSubFrameSet::LoadFiles() {
  for (auto& child : List) child->LoadFiles();
}

void TbrSubFrameSet::ReloadFiles(TViewerPosition position) {
  for (auto& child : List) child->ReloadFiles(position);
  Unloaded = false;
  StartRefresh();
}

void TbrSubFrameSet::UnloadFiles() {
  StopRefresh();
  CancelDrag();
  for (auto& child : List) child->UnloadFiles();
  Unloaded = true;
}

bool TbrSubFrameSet::CheckNoResize(bool& lower, bool& upper) {
  bool any = false;
  BorderLocked.assign(List.size() + 1, false);
  for (std::size_t i = 0; i < List.size(); ++i) {
    bool l = false, u = false;
    if (List[i]->CheckNoResize(l, u)) {
      any = true;
      BorderLocked[i] = BorderLocked[i + 1] = true;
    }
  }
  lower = !BorderLocked.empty() && BorderLocked.front();
  upper = !BorderLocked.empty() && BorderLocked.back();
  return any;
}

void TbrSubFrameSet::EmptyFrameSet() {
  StopRefresh();
  RefreshDelay = 0;
  RefreshURL.clear();
  // A handler of one of these frames' viewers may be running below us.
  for (auto& child : List) {
    child->Hide();
    child->SetParent(nullptr);
    FreeAfterDispatch(std::unique_ptr<TObject>(child.release()));
  }
  List.clear();
  Dim.clear();
  Size.clear();
  Line.clear();
  BorderLocked.clear();
  Rows = false;
  FrameSetBase.clear();
  FrameSetBaseTarget.clear();
}

void TbrSubFrameSet::PlaceChildren() {
  const TRect client = ClientRect();
  const int inset = OuterBorder;
  const int wid = std::max(client.Width() - 2 * inset, 0), ht = std::max(client.Height() - 2 * inset, 0);
  const int length = Rows ? ht : wid;
  std::int64_t total = 0;
  for (int s : Size) total += s;
  // Sizes are divided once, with room; later placings keep their proportion.
  if (Size.size() != List.size() || total == 0) {
    Dim.resize(List.size(), -1);
    Size = DivideFrameLength(Dim, length);
    total = 0;
    for (int s : Size) total += s;
  }
  Line.assign(List.size() + 1, 0);
  int offset = 0;
  for (std::size_t i = 0; i < List.size(); ++i) {
    const int size = ScaleSize(Size[i], length, total);
    if (Rows)
      List[i]->SetBounds(inset, inset + offset, wid, size);
    else
      List[i]->SetBounds(inset + offset, inset, size, ht);
    offset = std::min<std::int64_t>(static_cast<std::int64_t>(offset) + size, INT32_MAX);
    Line[i + 1] = offset;
  }
}

void TbrSubFrameSet::SetBounds(int left, int top, int width, int height) {
  TbrFrameBase::SetBounds(left, top, width, height);
  PlaceChildren();
}

void TbrSubFrameSet::AddFrameNames() {
  for (auto& child : List) {
    if (auto* frame = dynamic_cast<TbrFrame*>(child.get())) {
      if (!frame->FrameName.empty()) MasterSet->FrameNames.emplace_back(UpperCase(frame->FrameName), frame);
      if (frame->FrameSet()) frame->FrameSet()->AddFrameNames();
    } else if (auto* set = dynamic_cast<TbrSubFrameSet*>(child.get())) {
      set->AddFrameNames();
    }
  }
}

void TbrSubFrameSet::RemoveFrameNames() {
  for (auto& child : List) {
    if (auto* frame = dynamic_cast<TbrFrame*>(child.get())) {
      std::erase_if(MasterSet->FrameNames, [frame](const auto& e) { return e.second == frame; });
      if (frame->FrameSet()) frame->FrameSet()->RemoveFrameNames();
    } else if (auto* set = dynamic_cast<TbrSubFrameSet*>(child.get()))
      set->RemoveFrameNames();
  }
}

void TbrSubFrameSet::Detach() {
  Hide();
  SetParent(nullptr);
}

std::shared_ptr<TbrSubFrameSet> MakeSubFrameSet(TbrFrameSet* masterSet) {
  // Freed when the last frame or history entry lets go, and never inside
  // a handler that one of its viewers is running.
  return std::shared_ptr<TbrSubFrameSet>(new TbrSubFrameSet(masterSet), [](TbrSubFrameSet* set) {
    set->Detach();
    FreeAfterDispatch(std::unique_ptr<TObject>(set));
  });
}

// ---- TbrFrameSet -------------------------------------------------------------------

TbrFrameSet::TbrFrameSet(TFrameBrowser* browser) : TbrSubFrameSet(this), Browser(browser) {
  SetParentColor(true);
}

TbrFrameSet::~TbrFrameSet() {
  List.clear();
  MasterSet = nullptr;
}

void TbrFrameSet::EmptyFrameSet() {
  TbrSubFrameSet::EmptyFrameSet();
  FrameNames.clear();
  Viewers.clear();
  Frames.clear();
  Title.clear();
  CurrentFile.clear();
  ActiveViewer = nullptr;
  FrameCount = 0;
  ForgetSize();
}

void TbrFrameSet::LoadFromStream(TMemoryStream& stream, ThtmlFileType docType, const std::string& dest,
                                 const std::string& url) {
  EmptyFrameSet();
  NestLevel = 0;
  CurrentFile = url;
  URLBase = GetBase(url);
  if (docType == ThtmlFileType::ftHTML && IsFrameSetDocument(stream.Bytes())) {
    ParseFrameSetDocument(stream.Bytes());
    LoadFiles();
    StartRefresh();
  } else {
    ++FrameCount;
    auto frame = std::make_unique<TbrFrame>(this, this, nullptr);
    frame->Source = frame->OrigSource = url;
    frame->Destination = dest;
    frame->FirstStream = std::make_unique<TMemoryStream>();
    frame->FirstStream->Write(stream.Bytes().data(), static_cast<std::int64_t>(stream.Bytes().size()));
    frame->FirstStream->SetPosition(0);
    frame->FirstDocType = docType;
    frame->SetParent(this);
    TbrFrame* raw = frame.get();
    List.push_back(std::move(frame));
    Finish();
    FrameSetBase = URLBase;
    raw->LoadFiles();
    if (THTMLViewer* viewer = raw->Viewer()) {
      Title = viewer->DocumentTitle();
      if (!viewer->Base().empty()) FrameSetBase = viewer->Base();
      FrameSetBaseTarget = viewer->BaseTarget();
    }
  }
  bool lower = false, upper = false;
  CheckNoResize(lower, upper);
  RebuildFrameList();
  PlaceChildren();
}

void TbrFrameSet::RebuildFrameList() {
  Frames.clear();
  UpdateFrameList();
}

void TbrFrameSet::SetBounds(int left, int top, int width, int height) {
  TbrFrameBase::SetBounds(left, top, width, height);
  if (width == rememberedWidth_ && height == rememberedHeight_) return;
  rememberedWidth_ = width;
  rememberedHeight_ = height;
  PlaceChildren();
}

TbrFrame* TbrFrameSet::FindFrame(const std::string& name) const {
  const std::string upper = UpperCase(name);
  for (const auto& [n, frame] : FrameNames)
    if (n == upper) return frame;
  return nullptr;
}

void TbrFrameSet::RemoveViewer(THTMLViewer* viewer) {
  std::erase(Viewers, viewer);
  if (ActiveViewer == viewer) ActiveViewer = nullptr;
}

}  // namespace lark
