// What the main window opens next: the address box, links, history,
// bookmarks, directory buttons, new windows, and the allow and deny lists
// every one of them passes.
#include <sys/stat.h>
#include <unistd.h>

#include "app/main_window.h"
#include "app/options.h"
#include "app/program_switches.h"
#include "app/url_connection.h"
#include "controls/navigator_gauge.h"
#include "controls/toolbar_button.h"
#include "html/document_utils.h"
#include "html/url_helpers.h"
#include "platform/core/file_routines.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"
#include "platform/windows/action.h"
#include "platform/windows/animate.h"
#include "platform/windows/application.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/label.h"
#include "platform/windows/menus.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/shell.h"
#include "platform/windows/timer.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

std::string LocalFileURL(const std::string& path) { return "file://" + FileNameToURL(path); }

// A path or file name the user or the settings give: absolute, or a file
// that exists.
bool IsLocalPath(const std::string& text) { return !text.empty() && (text[0] == '/' || FileExists(text)); }

std::string Protocol(const std::string& url) { return GetProtocol(url).substr(0, 20); }

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::vector<std::string> SplitBlanks(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (char c : text + ' ') {
    if (c != ' ') word += c;
    else if (!word.empty()) words.push_back(std::exchange(word, {}));
  }
  return words;
}

}  // namespace

// ---- the lists ----

bool TfrmMain::IsOwnPage(const std::string& url) const {
  for (const char* page : {"block.html", "error.html", "start.html"})
    if (CanonicalURL(url) == CanonicalURL(LocalFileURL(context_.ProgramDir + page))) return true;
  return false;
}

bool TfrmMain::URLAllowed(const std::string& url) const { return IsOwnPage(url) || lark::URLAllowed(AllowList, url); }

bool TfrmMain::URLDenied(const std::string& url) const { return !IsOwnPage(url) && lark::URLDenied(DenyList, url); }

bool TfrmMain::ListsRefuse(const std::string& url) const { return !URLAllowed(url) || URLDenied(url); }

void TfrmMain::LoadBlockPage() { LoadInBrowser(LocalFileURL(context_.ProgramDir + "block.html")); }

// A document that cannot be shown is reported in a message box; the window
// goes on with what it showed.
void TfrmMain::LoadInBrowser(const std::string& url) {
  try {
    FrameBrowser->LoadURL(url);
  } catch (const Exception& error) {
    Application()->HandleException(error);
  }
}

// ---- opening ----

void TfrmMain::StartURL() {
  lbState->SetCaption("");
  lbDocument->SetCaption("");
  lbURL->SetCaption("");
  imgPicture->Tag = 0;
  imgHTML->Tag = 0;
  if (cbAddress->GetText() != AddressText) AddressText = cbAddress->GetText();
  if (AddressText.empty()) return;
  if (IsLocalPath(AddressText)) {
    OpenLocalFile(AddressText);
    return;
  }
  CurrentBase = GetBase(AddressText);
  // The lists see the whole address in its canonical form, so that the
  // spelling of an address cannot take it past them.
  if (ListsRefuse(AddressText)) {
    LoadBlockPage();
    return;
  }
  std::string protocol = Protocol(CurrentBase);
  if (protocol.empty()) {
    CurrentBase = GetBase(Normalize(AddressText));
    protocol = Protocol(CurrentBase);
  }
  if (protocol.find("http") != std::string::npos) {
    ShowIdleState();
    LoadInBrowser(Normalize(AddressText));
    ReloadMode = false;
    SetGoDefault(false);
    FocusBrowser();
  } else if (protocol == "file") {
    // A file URL (a home address the home page dialog's Browse gave, or one
    // typed) opens in the browser like a local path.
    LoadInBrowser(Normalize(AddressText));
    SetGoDefault(false);
    FocusBrowser();
  } else if (protocol.find("ftp") != std::string::npos) {
    DownloadURL = AddressText;
    PostMessage(this, WM_DOWNLOAD);
    Application()->ProcessMessages();
  } else {
    cbAddress->SetText(AddressText);
  }
}

void TfrmMain::OpenLocalFile(const std::string& fileName) {
  Screen()->SetCursor(crDefault);
  cbAddress->SetText(LocalFileURL(fileName));
  LoadInBrowser(cbAddress->GetText());
  SetGoDefault(false);
  FocusBrowser();
}

bool TfrmMain::CurrentDocumentIsLocal() const { return Protocol(FrameBrowser->CurrentFile()) == "file"; }

// ---- links ----

void TfrmMain::FrameBrowserHotSpotTargetClick(TObject*, const std::string& target, const std::string& url,
                                              bool& handled) {
  // The link itself passes the lists too, not only the page that holds it;
  // a refused link is handled here, so the browser does not follow it after
  // the block page.
  if (ListsRefuse(FrameBrowser->CurrentFile()) || ListsRefuse(url)) {
    handled = true;
    LoadBlockPage();
    return;
  }
  const std::string lowerTarget = LowerCase(target);
  if (lowerTarget == "_blank") return;
  if (lowerTarget == "externaldoc") {
    handled = true;
    // The desktop's opener would open any local file a page names.
    if (Protocol(url) != "file" || CurrentDocumentIsLocal()) ShellOpen(url);
    return;
  }
  if (lowerTarget == "closewindow") {
    handled = true;
    Close();
    return;
  }
  if (lowerTarget == "backdoc" || lowerTarget == "nextdoc") {
    handled = true;
    if (lowerTarget == "backdoc") FrameBrowser->GoBack();
    else FrameBrowser->GoFwd();
    return;
  }
  const std::string protocol = Protocol(url);
  const std::string ext = LowerCase(GetURLExtension(url));
  if (protocol == "mailto") {
    ShellOpen(url);
    handled = true;
  } else if (protocol.find("http") != std::string::npos) {
    if (ext == "zip" || ext == "exe") {
      DownloadURL = url;
      PostMessage(this, WM_DOWNLOAD);
      Application()->ProcessMessages();
      handled = true;
    } else {
      cbAddress->SetText(url);
    }
  } else if (protocol.find("ftp") != std::string::npos) {
    DownloadURL = url;
    PostMessage(this, WM_DOWNLOAD);
    Application()->ProcessMessages();
    handled = true;
  } else if (protocol == "file") {
    OpenFileLink(url, handled);
  }
}

// Sounds, clips and programs named by "file:" links. A remote page names
// local files only to show them: it starts nothing.
void TfrmMain::OpenFileLink(const std::string& url, bool& handled) {
  if (!CurrentDocumentIsLocal()) {
    handled = true;
    return;
  }
  std::size_t cut = url.find(' ');
  if (cut == std::string::npos) cut = url.find('?');
  const std::string path = FileURLToPath(url.substr(0, cut));
  const std::string parameters = cut == std::string::npos ? "" : url.substr(cut + 1);
  // The file's own extension: parameters after a blank are no part of it.
  const std::string ext = LowerCase(GetURLExtension(url.substr(0, cut)));
  if (ext == "wav") {
    handled = true;
    PlaySoundFile(path);
  } else if (ext == "exe") {
    handled = true;
    if (IsExecutableFile(path)) StartProgram(path, SplitBlanks(parameters));
  } else if (ext == "mid" || ext == "avi") {
    handled = true;
    ShellOpen(path);
  }
}

void TfrmMain::FrameBrowserHotSpotTargetCovered(TObject*, const std::string& target, const std::string& url) {
  if (!url.empty() && !imgURL->Visible()) {
    imgHTML->Tag = imgHTML->Visible() ? 1 : 0;
    imgPicture->Tag = imgPicture->Visible() ? 1 : 0;
    ShowHTMLState(false);
    ShowImageState(false);
    ShowURLState(true);
  } else if (url.empty() && (imgHTML->Tag == 1 || imgPicture->Tag == 1)) {
    ShowURLState(false);
    ShowHTMLState(imgHTML->Tag == 1);
    if (imgPicture->Tag == 1) ShowImageState(true);
    imgHTML->Tag = 0;
    imgPicture->Tag = 0;
  }
  CoveredURL = url;
  if (url.empty()) lbURL->SetCaption("");
  else if (target.empty()) lbURL->SetCaption("URL: " + url);
  else lbURL->SetCaption("Target: " + target + "  URL: " + url);
}

// ---- new windows ----

std::vector<std::string> TfrmMain::NewWindowArguments(const std::string& url) const {
  std::vector<std::string> arguments{"/nowindowstate", "/home=" + url};
  // A window of a CD-ROM session stays one, with the parent's cache choice.
  if (CdromMode) arguments.push_back("/cdrom");
  if (std::optional<std::string> cache = SwitchValue(context_.Params, "/cache="))
    arguments.push_back("/cache=" + *cache);
  return arguments;
}

void TfrmMain::FrameBrowserBlankWindowRequest(TObject*, const std::string&, const std::string& url) {
  StartNewInstance(NewWindowArguments(Normalize(url.substr(0, url.find('#')))));
}

void TfrmMain::miOpenInNewWindowClick(TObject*) { StartNewInstance(NewWindowArguments(PopupLink)); }

void TfrmMain::pmBrowserPopup(TObject*) {
  const bool onLink = !CoveredURL.empty();
  miCopyLink->SetEnabled(onLink);
  miOpenInNewWindow->SetVisible(onLink);
  N1->SetVisible(onLink);
  PopupLink = CoveredURL;
}

void TfrmMain::miCopyLinkClick(TObject*) { Clipboard()->SetAsText(PopupLink); }

// ---- history ----

void TfrmMain::FrameBrowserHistoryChange(TObject*) {
  actionBack->SetEnabled(FrameBrowser->BackButtonEnabled());
  miBack->SetEnabled(FrameBrowser->BackButtonEnabled());
  actionForward->SetEnabled(FrameBrowser->FwdButtonEnabled());
  miForward->SetEnabled(FrameBrowser->FwdButtonEnabled());
  EnableDocumentCommands();
  if (FrameBrowser->HistoryCount() == 0) return;
  RebuildHistoryMenus();
  SetCaption(FrameBrowser->CurrentFile());
  SetGoDefault(false);
  FocusBrowser();
}

void TfrmMain::EnableDocumentCommands() {
  const bool shown = FrameBrowser->ActiveViewer() != nullptr;
  for (TAction* action : {actionPreview, actionPrint, actionAddCurrentDocumentsHere, actionFileSave, actionSource})
    action->SetEnabled(shown);
}

void TfrmMain::RebuildHistoryMenus() {
  auto add = [this](TPopupMenu* menu, int index) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(MenuCaptionOf(FrameBrowser->HistoryTitle(index)));
    item->Tag = index;
    item->ImageIndex = 13;
    item->OnClick = std::bind(&TfrmMain::miHistoryClick, this, std::placeholders::_1);
    menu->Items()->Add(item);
  };
  DetachMenuItems(pmBack->Items(), 0);
  DetachMenuItems(pmForward->Items(), 0);
  for (int i = FrameBrowser->HistoryCount() - 1; i > FrameBrowser->HistoryIndex(); --i) add(pmBack, i);
  for (int i = 0; i < FrameBrowser->HistoryIndex(); ++i) add(pmForward, i);
}

void TfrmMain::miHistoryClick(TObject* sender) {
  const int index = static_cast<int>(dynamic_cast<TComponent*>(sender)->Tag);
  if (index < 0 || index >= FrameBrowser->HistoryCount()) return;
  CurrentBase = GetBase(FrameBrowser->HistoryURL(index));
  FrameBrowser->SetHistoryIndex(index);
}

// ---- address box ----

void TfrmMain::cbAddressKeyDown(TObject*, unsigned short& key, TShiftState) {
  SetGoDefault(true);
  if (key != VK_RETURN) return;
  AddressText = cbAddress->GetText();
  if (cbAddress->Items().IndexOf(AddressText) < 0) cbAddress->Items().Insert(0, AddressText);
  PostStartURL();
  key = 0;
}

void TfrmMain::cbAddressKeyUp(TObject*, unsigned short&, TShiftState) { AddressText = cbAddress->GetText(); }

void TfrmMain::actionGoToExecute(TObject*) { PostStartURL(); }

void TfrmMain::FrameBrowserKeyDown(TObject*, unsigned short&, TShiftState) { SetGoDefault(false); }

// ---- bookmarks and directory buttons ----

void TfrmMain::BookmarkMenuItemClick(TObject* sender) {
  const std::string link = Options->GetBookmarkLink(static_cast<int>(dynamic_cast<TComponent*>(sender)->Tag));
  cbAddress->SetText(link);
  SetGoDefault(false);
  if (ListsRefuse(link)) LoadBlockPage();
  else LoadInBrowser(link);
  FocusBrowser();
}

void TfrmMain::btPDB1Click(TObject* sender) {
  std::string caption, file;
  Options->ReadDirectory(static_cast<int>(dynamic_cast<TComponent*>(sender)->Tag), caption, file);
  if (IsLocalPath(file)) {
    OpenLocalFile(file);
    return;
  }
  cbAddress->SetText(file);
  PostStartURL();
  Application()->ProcessMessages();
}

// ---- idle return to the home page ----

void TfrmMain::AppIdle(TObject*, bool&) {
  if (LoadHomePageAfter && !timerHome->Enabled()) timerHome->SetEnabled(true);
}

void TfrmMain::AppMessage(TMsg& msg, bool&) {
  switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_KEYDOWN:
    case WM_RBUTTONDOWN:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:  // reading a page with the wheel is activity too
      timerHome->SetEnabled(false);
      break;
    default:
      break;
  }
}

void TfrmMain::timerHomeTimer(TObject*) { actionHome->Execute(); }

}  // namespace lark
