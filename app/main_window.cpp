#include "app/main_window.h"

#include "app/cookie_list.h"
#include "app/disk_cache.h"
#include "app/image_requests.h"
#include "app/language.h"
#include "app/options.h"
#include "app/program_switches.h"
#include "app/toolbar_pictures.h"
#include "app/url_connection.h"
#include "controls/adv_status_bar.h"
#include "controls/form_placement.h"
#include "controls/navigator_gauge.h"
#include "controls/toolbar_button.h"
#include "net/anti_freeze.h"
#include "net/openssl_binding.h"
#include "net/openssl_intercept.h"
#include "platform/core/file_routines.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"
#include "platform/graphics/bitmap.h"
#include "platform/windows/action.h"
#include "platform/windows/animate.h"
#include "platform/windows/application.h"
#include "platform/windows/bars.h"
#include "platform/windows/button.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/custom_image_list.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/label.h"
#include "platform/windows/menus.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/panel.h"
#include "platform/windows/system_menu.h"
#include "platform/windows/timer.h"
#include "viewer/frame_browser.h"

namespace lark {

TProgramContext ProcessProgramContext() {
  return TProgramContext{ProgramDir(), SettingsFileName(), ProgramParameters()};
}

TfrmMain::TfrmMain(TComponent* owner, TProgramContext context) : TForm(owner), context_(std::move(context)) {
  LoadFormResource(this, "frmMain");
  FindComponents();
}

// The form's OnDestroy would otherwise run from the base destructor, after
// this window's own state is gone.
TfrmMain::~TfrmMain() {
  Destroying();
  if (TNotifyEvent destroy = std::exchange(OnDestroy, nullptr)) destroy(this);
  OnDestroy = nullptr;
}

int TfrmMain::FindParam(const std::string& switchText) const { return lark::FindParam(context_.Params, switchText); }

namespace {

template <typename T>
T* Component(const TComponent& owner, const std::string& name) {
  auto* found = dynamic_cast<T*>(owner.FindComponent(name));
  if (!found) throw EFormResourceError("frmMain: component " + name + " missing");
  return found;
}

}  // namespace

void TfrmMain::FindComponents() {
  FrameBrowser = Component<TFrameBrowser>(*this, "FrameBrowser");
  cbAddress = Component<TComboBox>(*this, "cbAddress");
  StatusBar = Component<TAdvStatusBar>(*this, "StatusBar");
  Timer = Component<TTimer>(*this, "Timer");
  timerHome = Component<TTimer>(*this, "timerHome");
  Animate = Component<TAnimate>(*this, "Animate");
  FormPlacement = Component<TFormPlacement>(*this, "FormPlacement");
  Gauge = Component<TVVNavigatorGauge>(*this, "Gauge");
  CoolBar = Component<TCoolBar>(*this, "CoolBar");
  tbInternetButtons = Component<TToolBar>(*this, "tbInternetButtons");
  PanelAddress = Component<TPanel>(*this, "PanelAddress");
  Panel1 = Component<TPanel>(*this, "Panel1");
  lbAddress = Component<TLabel>(*this, "lbAddress");
  tbGo = Component<TButton>(*this, "tbGo");
  gbDirectoryButtons = Component<TGroupBox>(*this, "gbDirectoryButtons");
  for (int i = 0; i < 10; ++i) btPDB[i] = Component<TToolbarButton>(*this, "btPDB" + std::to_string(i + 1));
  btConfigDB = Component<TToolbarButton>(*this, "btConfigDB");
  imgURL = Component<TImage>(*this, "imgURL");
  imgHTML = Component<TImage>(*this, "imgHTML");
  imgPicture = Component<TImage>(*this, "imgPicture");
  lbURL = Component<TLabel>(*this, "lbURL");
  lbState = Component<TLabel>(*this, "lbState");
  lbDocument = Component<TLabel>(*this, "lbDocument");
  ImageList = Component<TCustomImageList>(*this, "ImageList");
  HotList = Component<TCustomImageList>(*this, "HotList");
  ImageList2 = Component<TCustomImageList>(*this, "ImageList2");
  MainMenu = Component<TMainMenu>(*this, "MainMenu");
  for (auto [field, name] : {std::pair{&miFile, "miFile"}, {&miEdit, "miEdit"}, {&miView, "miView"},
                             {&miBookmarks, "miBookmarks"}, {&miOptions, "miOptions"}, {&miHelp, "miHelp"},
                             {&miView1, "miView1"}, {&miLanguage, "miLanguage"}, {&miEncoding, "miEncoding"},
                             {&miCustomize, "miCustomize"}, {&miHome, "miHome"}, {&miReload, "miReload"},
                             {&miBack, "miBack"}, {&miForward, "miForward"},
                             {&miOpenInNewWindow, "miOpenInNewWindow"}, {&miCopyLink, "miCopyLink"}, {&N1, "N1"}})
    *field = Component<TMenuItem>(*this, name);
  for (auto [field, name] : {std::pair{&pmBrowser, "pmBrowser"}, {&pmViewBars, "pmViewBars"},
                             {&pmBack, "pmBack"}, {&pmForward, "pmForward"}, {&pmToolBar, "pmToolBar"}})
    *field = Component<TPopupMenu>(*this, name);
  OpenDialog = Component<TOpenDialog>(*this, "OpenDialog");
  SaveDialog = Component<TSaveDialog>(*this, "SaveDialog");
  FindDialog = Component<TFindDialog>(*this, "FindDialog");
  for (auto [field, name] :
       {std::pair{&actionBack, "actionBack"}, {&actionForward, "actionForward"}, {&actionStop, "actionStop"},
        {&actionReload, "actionReload"}, {&actionHome, "actionHome"}, {&actionSearch, "actionSearch"},
        {&actionAddCurrentDocumentsHere, "actionAddCurrentDocumentsHere"}, {&actionFileOpen, "actionFileOpen"},
        {&actionFileSave, "actionFileSave"}, {&actionPreview, "actionPreview"}, {&actionPrint, "actionPrint"},
        {&actionExit, "actionExit"}, {&actionMenuBar, "actionMenuBar"}, {&actionButtonBars, "actionButtonBars"},
        {&actionDirectoryButtons, "actionDirectoryButtons"}, {&actionAddressBar, "actionAddressBar"},
        {&actionStatusBar, "actionStatusBar"}, {&actionImageCaption, "actionImageCaption"},
        {&actionImageOnly, "actionImageOnly"}, {&actionCaptionOnly, "actionCaptionOnly"},
        {&actionSource, "actionSource"}, {&actionGoTo, "actionGoTo"}})
    *field = Component<TAction>(*this, name);
  // The browser's events are no published properties: bound here.
  using namespace std::placeholders;
  FrameBrowser->OnGetPostRequestEx = [this](TObject* s, bool isGet, const std::string& url, const std::string& query,
                                            const std::string& encType, const std::string& referer, bool reload,
                                            std::string& newURL, ThtmlFileType& docType, TMemoryStream*& stream) {
    FrameBrowserGetPostRequestEx(s, isGet, url, query, encType, referer, reload, newURL, docType, stream);
  };
  FrameBrowser->OnHotSpotTargetClick = std::bind(&TfrmMain::FrameBrowserHotSpotTargetClick, this, _1, _2, _3, _4);
  FrameBrowser->OnHotSpotTargetCovered = std::bind(&TfrmMain::FrameBrowserHotSpotTargetCovered, this, _1, _2, _3);
  FrameBrowser->OnBlankWindowRequest = std::bind(&TfrmMain::FrameBrowserBlankWindowRequest, this, _1, _2, _3);
  FrameBrowser->OnHistoryChange = std::bind(&TfrmMain::FrameBrowserHistoryChange, this, _1);
  FrameBrowser->OnActiveViewerChange = [this](TObject*) { EnableDocumentCommands(); };
  FrameBrowser->OnKeyDown = std::bind(&TfrmMain::FrameBrowserKeyDown, this, _1, _2, _3);
  ConnectImageRequests();
}

// ---- creation ----

void TfrmMain::LoadToolbarPictures() {
  RegisterToolbarPictures();
  const std::pair<TCustomImageList*, const char*> lists[] = {
      {HotList, "ToolbarPictures"}, {ImageList2, "ToolbarPicturesGrey"}, {ImageList, "MenuPictures"}};
  for (const auto& [list, name] : lists) {
    TBitmap strip;
    strip.LoadFromResourceName(name);
    list->AddMasked(strip, strip.Canvas().Pixel(0, strip.Height() - 1));
  }
}

void TfrmMain::FormCreate(TObject*) {
  FirstActivation = true;
  DocStream = std::make_unique<TMemoryStream>();
  ImageStream = std::make_unique<TMemoryStream>();
  Language = std::make_unique<TLanguage>();
  NetAntiFreeze = std::make_unique<TNetAntiFreeze>();
  LoadToolbarPictures();
  if (FileExists(context_.ProgramDir + "Browser.avi")) Animate->SetFileName(context_.ProgramDir + "Browser.avi");
  else Animate->SetResName("AviDefault");
  FrameBrowser->SetHistoryMaxCount(15);
  ReadHomeSwitch();
  NoWindowState = FindParam("/nowindowstate") > 0;
  CdromMode = FindParam("/cdrom") > 0;
  LoadSettings();
  if (NoWindowState || CdromMode) FormPlacement->Active = false;
  else FormPlacement->SetIniFileName(GetIniFileName());
  // Under "/cdrom" the program's folder is untouched: bookmarks live for the
  // session only.
  Options = std::make_unique<TOptions>(GetIniFileName(), CdromMode);
  RebuildBookmarksMenu();
  RebuildDirectoryButtons();
  SetCharSet(FrameBrowser->CharSet());
  CreateCacheAndCookies();
  AllowList.LoadFromFile(context_.ProgramDir + "Allow.lst");
  DenyList.LoadFromFile(context_.ProgramDir + "Deny.lst");
  if (FileExists(context_.ProgramDir + "BROWSER.LGV")) {
    Language->SetFileName(context_.ProgramDir + "BROWSER.LGV");
    Language->FillLanguages();
    Language->SetLanguage(LanguageId);
    Language->LoadTexts();
  }
  ShowIdleState();
  imgHTML->SetLeft(imgURL->Left());
  imgPicture->SetLeft(imgURL->Left());
  lbURL->SetLeft(imgURL->Left() + imgURL->Width() + 2);
  lbURL->SetCaption("");
  lbState->SetLeft(lbURL->Left());
  HomeLoaded = false;
  Application()->OnIdle = std::bind(&TfrmMain::AppIdle, this, std::placeholders::_1, std::placeholders::_2);
  Application()->OnMessage = std::bind(&TfrmMain::AppMessage, this, std::placeholders::_1, std::placeholders::_2);
}

void TfrmMain::ReadHomeSwitch() {
  std::optional<std::string> home = SwitchValue(context_.Params, "/home=");
  if (!home) return;
  HomeGiven = true;
  // A local path is absolute or names an existing file; anything else is
  // an address.
  if (!home->empty() && ((*home)[0] == '/' || FileExists(*home))) HomeLocalPath = *home;
  else cbAddress->SetText(*home);
  PostStartURL();
}

void TfrmMain::CreateCacheAndCookies() {
  const std::string privateDir = GetTempDirectory();
  std::string cacheSwitch = LowerCase(SwitchValue(context_.Params, "/cache=").value_or(""));
  if (CdromMode) {
    btConfigDB->SetVisible(false);
    cacheSwitch = "off";
  }
  if (cacheSwitch == "off") {
    CacheOn = false;
    DiskCache = std::make_unique<TDiskCache>("", false);
    // The private folder when it can be had safely; no cookie file otherwise.
    CookieList = std::make_unique<TCookieList>(privateDir.empty() ? "" : privateDir + "Larkspan/");
    return;
  }
  CacheOn = true;
  if (cacheSwitch == "temp") CacheDir = privateDir.empty() ? "" : privateDir + "Larkspan/Cache/";
  else CacheDir = context_.ProgramDir + "Cache/";
  DiskCache = std::make_unique<TDiskCache>(CacheDir, !CacheDir.empty());
  CookieList = std::make_unique<TCookieList>(CacheDir);
}

// ---- show and activation ----

void TfrmMain::FormShow(TObject*) {
  Application()->ProcessMessages();
  Application()->ProcessMessages();
  StatusBar->SetVisible(true);
  StatusBar->SetVisible(actionStatusBar->Checked());
}

bool TfrmMain::SSLAvailable() {
  if (!SSLIntercept && openssl::LoadOpenSSL()) SSLIntercept = std::make_unique<TNetConnectionInterceptOpenSSL>();
  return SSLIntercept != nullptr;
}

void TfrmMain::FormActivate(TObject*) {
  ApplyLanguage();
  // Closing any dialog activates the window again: the start-up navigation
  // runs once, or the home search dialog would reopen for ever and an
  // authorization prompt's close would navigate away.
  if (!FirstActivation) return;
  if (HomeGiven) {
    // A "/home=" address was posted once at creation. Posting it again loaded
    // the page twice, cut the first load's pictures short, and opened
    // whatever the address box held by then: a frameset's frames write their
    // own addresses there, so the start page became its last frame.
    if (!HomeLocalPath.empty()) {
      OpenLocalFile(HomeLocalPath);
      timerHome->SetEnabled(false);
    }
  } else if (HomeType != 2) {
    timerHome->SetEnabled(false);
    actionHome->Execute();
  } else if (LoadHomePageAfter) {
    timerHome->SetEnabled(true);
    actionHome->Execute();
  } else {
    actionHome->Execute();
  }
  FirstActivation = false;
}

// ---- closing ----

void TfrmMain::FormClose(TObject*, TCloseAction&) {
  AbortConnection();
  ClearImageQueues();
}

void TfrmMain::FormDestroy(TObject*) {
  Application()->OnIdle = nullptr;
  Application()->OnMessage = nullptr;
  DocStream.reset();
  // Freed under a running network call only once that call has returned.
  if (Connection) DeferredRelease(std::move(Connection));
  RemoveBookmarkItems();
  if (!CdromMode) WriteSettings();
  Language.reset();
  DiskCache.reset();
  CookieList.reset();
  Options.reset();
  SSLIntercept.reset();
  NetAntiFreeze.reset();
}

void TfrmMain::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_STARTURL:
      StartURL();
      return;
    case WM_ABORTLOADING:
      AbortConnection();
      return;
    case WM_DOWNLOAD:
      WMDownload();
      return;
    default:
      TForm::WndProc(message);
  }
}

void TfrmMain::PostStartURL() { PostMessage(this, WM_STARTURL); }

void TfrmMain::AbortConnection() { AbortPageRequest(); }

void TfrmMain::FocusBrowser() {
  if (FrameBrowser->Showing()) FrameBrowser->SetFocus();
}

void TfrmMain::SetGoDefault(bool value) { tbGo->SetDefault(value); }

// ---- status bar ----

void TfrmMain::ShowURLState(bool visible) {
  imgURL->SetVisible(visible);
  lbURL->SetVisible(visible);
}

void TfrmMain::ShowHTMLState(bool visible) {
  imgHTML->SetVisible(visible);
  lbState->SetVisible(visible);
  lbDocument->SetVisible(visible);
}

void TfrmMain::ShowImageState(bool visible) {
  imgPicture->SetVisible(visible);
  lbState->SetVisible(visible);
  lbDocument->SetVisible(visible);
}

void TfrmMain::ShowIdleState() {
  ShowImageState(false);
  ShowHTMLState(false);
  ShowURLState(true);
}

void TfrmMain::StopBusy() {
  Gauge->SetActive(false);
  Animate->SetActive(false);
  ShowIdleState();
  Screen()->SetCursor(crDefault);
}

}  // namespace lark
