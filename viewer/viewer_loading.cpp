// Loading documents into the viewer: files, buffers and streams, the
// defaults every load starts from, META refresh, linked sheets and pictures
// that arrive later.
#include <exception>

#include "html/html_form.h"
#include "html/image_cache.h"
#include "html/section_list.h"
#include "html/url_helpers.h"
#include "platform/core/exception.h"
#include "platform/core/path_routines.h"
#include "platform/core/regular_file.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"
#include "platform/windows/application.h"
#include "platform/windows/scroll_bar.h"
#include "platform/windows/timer.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"
#include "viewer/scroll_bar_32.h"

namespace lark {

namespace {

// A name or address as an attribute value: quotes, angle brackets and
// ampersands become references, so no name can add markup, and nothing is cut.
std::string AttributeValue(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string OneImageDocument(const std::string& source) { return "<img src=\"" + AttributeValue(source) + "\">"; }

}  // namespace

// Everything a load changes about the viewer's state comes back on every
// way out, a raised one included: the processing flag (with OnProcessing),
// the screen cursor, and the image request handler a one-image document
// swaps in. Without this a failed load would leave the viewer ignoring
// every later load.
class THTMLViewer::ProcessingScope {
 public:
  ProcessingScope(THTMLViewer& viewer, bool hourglass) : viewer_(viewer), hourglass_(hourglass) {
    if (hourglass_) {
      savedCursor_ = Screen()->Cursor();
      Screen()->SetCursor(crHourGlass);
    }
    viewer_.SetProcessing(true);
  }
  ProcessingScope(const ProcessingScope&) = delete;
  ProcessingScope& operator=(const ProcessingScope&) = delete;
  ~ProcessingScope() noexcept(false) {
    if (ended_) return;
    if (std::uncaught_exceptions() > unwinding_) {
      try {
        End();
      } catch (...) {
        // The load's own failure is the one that reaches the caller.
      }
    } else {
      End();
    }
  }

  // The one-image document's picture comes from the caller's stream.
  void HandOutStream(TMemoryStream* stream) {
    savedImageRequest_ = viewer_.sectionList_->OnImageRequest;
    swapped_ = true;
    viewer_.sectionList_->OnImageRequest = [stream](TObject*, const std::string&, TMemoryStream*& result) {
      result = stream;
    };
  }

  void End() {
    ended_ = true;
    if (swapped_) viewer_.sectionList_->OnImageRequest = std::move(savedImageRequest_);
    swapped_ = false;
    if (hourglass_) Screen()->SetCursor(savedCursor_);
    viewer_.SetProcessing(false);
  }

 private:
  THTMLViewer& viewer_;
  const bool hourglass_;
  TCursor savedCursor_ = crDefault;
  bool swapped_ = false;
  bool ended_ = false;
  const int unwinding_ = std::uncaught_exceptions();
  std::function<void(TObject*, const std::string&, TMemoryStream*&)> savedImageRequest_;
};

// ---- loads -----------------------------------------------------------------------

void THTMLViewer::LoadFile(const std::string& fileName, ThtmlFileType fileType) {
  if (processing_) return;
  std::string name = fileName, anchor;
  if (const auto hash = name.find('#'); hash != std::string::npos) {
    anchor = name.substr(hash);
    name.resize(hash);
  }
  ProcessingScope scope(*this, true);
  refreshDelay_ = 0;
  const std::string oldTitle = documentTitle_;
  const ThtmlFileType oldType = currentFileType_;
  const TViewerPosition oldPos = GetPosition();
  std::vector<std::vector<std::string>> oldFormData = GetFormData();
  // Only a regular file is a document: a folder, FIFO or device would fail
  // or never end.
  std::optional<std::string> bytes;
  if (fileType == ThtmlFileType::ftImage) {
    if (IsRegularFile(name)) bytes.emplace();
  } else {
    bytes = ReadRegularFile(name, kMaxDocumentBytes);
  }
  if (!bytes) throw EInOutError("Can't locate file: " + name);
  PrepareDefaults();
  caretPos_ = 0;
  selectionAnchor_ = -1;
  const std::string oldFile = currentFile_;
  currentFile_ = ExpandFileName(name);
  currentFileType_ = fileType;
  if (fileType == ThtmlFileType::ftImage) {
    documentSource_ = OneImageDocument(currentFile_);
    ParseDocument(documentSource_, ThtmlFileType::ftHTML, false);
  } else {
    documentSource_ = std::move(*bytes);
    if (OnParseBegin) OnParseBegin(this, documentSource_);
    if (fileType == ThtmlFileType::ftHTML) StopSound();
    ParseDocument(documentSource_, fileType, true);
  }
  if (anchor.empty() || !JumpToAnchor(anchor)) {
    if (currentFile_ != oldFile) {
      ScrollTo(0);
      hScrollBar_->SetPosition(0);
    } else {
      ScrollTo(vScrollBar_->Position32());  // the same file again keeps its place
    }
  }
  paintPanel_->Invalidate();
  RecordHistory(oldFile, oldTitle, oldType, std::move(oldFormData), oldPos);
  scope.End();
  FireMetaRefresh();
}

void THTMLViewer::LoadFromBuffer(const char* buffer, std::size_t size) {
  if (processing_ || !buffer || size == 0) return;
  ProcessingScope scope(*this, false);
  refreshDelay_ = 0;
  PrepareDefaults();
  caretPos_ = 0;
  selectionAnchor_ = -1;
  StopSound();
  documentSource_.assign(buffer, size);
  if (OnParseBegin) OnParseBegin(this, documentSource_);
  currentFile_.clear();
  currentFileType_ = ThtmlFileType::ftHTML;
  ParseDocument(documentSource_, ThtmlFileType::ftHTML, true);
  AfterLoad();
  scope.End();
  FireMetaRefresh();
}

void THTMLViewer::LoadFromMemoryStream(const std::string& url, TMemoryStream* stream, ThtmlFileType fileType) {
  if (processing_ || !stream || stream->Size() == 0) return;
  ProcessingScope scope(*this, false);
  refreshDelay_ = 0;
  PrepareDefaults();
  caretPos_ = 0;
  selectionAnchor_ = -1;
  currentFile_ = url;
  currentFileType_ = fileType;
  if (fileType == ThtmlFileType::ftImage) {
    scope.HandOutStream(stream);
    documentSource_ = OneImageDocument(url);
    ParseDocument(documentSource_, ThtmlFileType::ftHTML, false);
  } else {
    documentSource_.assign(stream->Bytes());
    if (OnParseBegin) OnParseBegin(this, documentSource_);
    if (fileType == ThtmlFileType::ftHTML) StopSound();
    ParseDocument(documentSource_, fileType, true);
  }
  AfterLoad();
  scope.End();
  FireMetaRefresh();
}

void THTMLViewer::AfterLoad() {
  ScrollTo(0);
  hScrollBar_->SetPosition(0);
  paintPanel_->Invalidate();
}

void THTMLViewer::ParseDocument(std::string_view text, ThtmlFileType fileType, bool withEvents) {
  THtmlDocumentInfo info;
  try {
    if (fileType == ThtmlFileType::ftText)
      ParseTextDocument(text, *sectionList_);
    else
      info = ParseHTMLDocument(text, *sectionList_, ParserHooks(withEvents));
  } catch (...) {
    // What was read before the failure is shown: a laid-out document, never
    // one half made.
    FinishLoad({});
    throw;
  }
  FinishLoad(info);
}

THtmlParserHooks THTMLViewer::ParserHooks(bool withEvents) {
  THtmlParserHooks hooks;
  hooks.OnFetchStyleSheet = [this](const std::string& href, const std::string& base, std::string& text,
                                   std::string& address) { FetchStyleSheet(href, base, text, address); };
  if (!withEvents) return hooks;
  hooks.OnMeta = [this](TObject* sender, const std::string& httpEq, const std::string& name,
                        const std::string& content) { MetaCallback(sender, httpEq, name, content); };
  hooks.OnSoundRequest = OnSoundRequest;
  hooks.OnInclude = OnInclude;
  return hooks;
}

void THTMLViewer::FinishLoad(const THtmlDocumentInfo& info) {
  documentTitle_ = info.Title;
  base_ = info.Base.empty() ? defaultBase_ : info.Base;
  baseTarget_ = info.BaseTarget;
  inLayout_ = true;
  try {
    sectionList_->GetBackgroundBitmap();
  } catch (...) {
    inLayout_ = false;
    throw;
  }
  MarkVisitedLinks();
  DoLogic();
}

void THTMLViewer::StopSound() {
  if (OnSoundRequest) OnSoundRequest(this, "", 0, true);
}

void THTMLViewer::PrepareDefaults() {
  TStringBitmapList& cache = ImageCache();
  sectionList_->Clear();
  background_.Reset();
  // The old document has let go of its pictures: the cache ages once per
  // document, and what nobody used for long goes.
  cache.BumpAndPurge();
  ApplyDefaults();
}

void THTMLViewer::ApplyDefaults() {
  sectionList_->SetFonts(DefFontName, SectionListFontName(defPreFontName_), MarginWidth, MarginHeight, CharSet,
                         (options_ & htNoLinkUnderline) == 0, (options_ & htOverLinksActive) != 0, defBackground_,
                         defOverLinkColor_, defVisitedLinkColor_, defHotSpotColor_, DefFontColor, defFontSize_);
}

void THTMLViewer::Clear() {
  if (processing_) return;
  hoverTimer_->SetEnabled(false);
  sectionList_->Clear();
  background_.Reset();
  if (ownImageCache_) ownImageCache_->Clear();
  ApplyDefaults();
  base_.clear();
  defaultBase_.clear();
  baseTarget_.clear();
  documentTitle_.clear();
  scrollHeight_ = 0;
  vScrollBar_->SetPosition32(0);
  vScrollBar_->SetMax32(0);
  vScrollBar_->SetVisible(false);
  vScrollBar_->SetHeight(paintPanel_->Height());
  sectionList_->SetYOffset(0);
  hScrollBar_->SetVisible(false);
  caretPos_ = 0;
  selectionAnchor_ = -1;
  StopSound();
  Invalidate();
}

bool THTMLViewer::InsertImage(const std::string& src, TMemoryStream& stream) {
  if (processing_) return false;
  ProcessingScope scope(*this, false);
  bool reformat = false;
  sectionList_->InsertImage(src, stream, reformat);
  sectionList_->GetBackgroundBitmap();
  background_.Reset();
  if (reformat && sectionList_->Count() > 0) {
    const TViewerPosition position = GetPosition();
    DoLogic();
    SetPosition(position);
  }
  Invalidate();
  scope.End();
  return true;
}

void THTMLViewer::SetViewImages(bool value) {
  if (value == sectionList_->ShowImages || processing_) return;
  ProcessingScope scope(*this, true);
  sectionList_->ShowImages = value;
  if (sectionList_->Count() > 0) {
    sectionList_->GetBackgroundBitmap();
    background_.Reset();
    const TViewerPosition position = GetPosition();
    DoLogic();
    SetPosition(position);
  }
  Invalidate();
  scope.End();
}

// ---- what the parser calls back -------------------------------------------------

void THTMLViewer::MetaCallback(TObject* sender, const std::string& httpEq, const std::string& name,
                               const std::string& content) {
  if (OnMeta) OnMeta(sender, httpEq, name, content);
  if (!OnMetaRefresh || LowerCase(httpEq) != "refresh") return;
  const std::size_t semicolon = content.find(';');
  int delay = StrToIntDef(Trim(content.substr(0, semicolon)), -1);
  if (delay < 0) return;
  if (delay == 0) delay = 1;
  const std::size_t url = LowerCase(content).find("url=");
  refreshDelay_ = delay;
  refreshURL_ = url == std::string::npos ? std::string() : content.substr(url + 4);
}

void THTMLViewer::FireMetaRefresh() {
  if (refreshDelay_ > 0 && OnMetaRefresh) OnMetaRefresh(this, refreshDelay_, refreshURL_);
}

void THTMLViewer::FetchStyleSheet(const std::string& href, const std::string& base, std::string& text,
                                  std::string& address) {
  if (OnhtStreamRequest) {
    address = base.empty() ? href : Combine(GetBase(base), href);
    TMemoryStream* stream = nullptr;
    OnhtStreamRequest(this, address, stream);
    if (stream && stream->Size() > 0) text.assign(stream->Bytes());
    return;
  }
  // A sheet read as a file counts as missing unless it is a regular file.
  address = ExpandLinkName(href);
  text = ReadRegularFile(address, kMaxDocumentBytes).value_or(std::string());
}

}  // namespace lark
