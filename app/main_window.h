#pragma once

#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/url_lists.h"
#include "platform/windows/form.h"
#include "viewer/html_viewer.h"

namespace lark {

class TAction;
class TAdvStatusBar;
class TAnimate;
class TButton;
class TComboBox;
class TCookieList;
class TCoolBar;
class TCustomImageList;
class TDiskCache;
class TFormPlacement;
class TFrameBrowser;
class TGroupBox;
class TImage;
class TLabel;
class TLanguage;
class TMainMenu;
class TMemoryStream;
class TMenuItem;
class Exception;
struct TPageRequestState;
struct TImageRec;
class TImageHTTP;
class TNetAntiFreeze;
class TNetConnectionInterceptOpenSSL;
class TFindDialog;
class TOpenDialog;
class TOptions;
class TPanel;
class TPopupMenu;
class TSaveDialog;
class TTimer;
class TToolBar;
class TToolbarButton;
class TURLConnection;
class TVVNavigatorGauge;

// Where the window finds its files and what it was started with. The
// program passes its own; tests pass a temporary folder and their own
// parameters.
struct TProgramContext {
  std::string ProgramDir;             // with its trailing "/"
  std::string IniFileName;            // the settings file
  std::vector<std::string> Params;    // parameters 1..N
};
// The running process's.
[[nodiscard]] TProgramContext ProcessProgramContext();

// Private messages of the main window.
enum : UINT {
  WM_DOWNLOAD = 0x0400 + 125,      // WM_USER+125: download DownloadURL
  WM_ABORTLOADING = 0x0400 + 126,  // WM_USER+126: abort the current connection
  WM_STARTURL = 0x0400 + 127,      // WM_USER+127: open the address box's text
};

// How often the idle step may wait at most: SecondsIdleTime x 1000 must fit.
inline constexpr int kMaxSecondsIdleTime = 24 * 60 * 60;
// Entries of the address box's history kept in the settings file.
inline constexpr int kAddressHistoryKeys = 10;

// The caption that shows a page title as typed: "&" is no accelerator and a
// lone "-" no separator line.
[[nodiscard]] std::string MenuCaptionOf(const std::string& title);

// Removes a menu's items from `from` on; each is freed once the handler now
// running has returned.
void DetachMenuItems(TMenuItem* parent, int from);

// The browser's main window.
class TfrmLocalSearch;

class TfrmMain : public TForm {
 public:
  TfrmMain(TComponent* owner, TProgramContext context);
  ~TfrmMain() override;

  // ---- components of the form resource ----
  TFrameBrowser* FrameBrowser = nullptr;
  TComboBox* cbAddress = nullptr;
  TAdvStatusBar* StatusBar = nullptr;
  TTimer* Timer = nullptr;
  TTimer* timerHome = nullptr;
  TAnimate* Animate = nullptr;
  TFormPlacement* FormPlacement = nullptr;
  TVVNavigatorGauge* Gauge = nullptr;
  TCoolBar* CoolBar = nullptr;
  TToolBar* tbInternetButtons = nullptr;
  TPanel* PanelAddress = nullptr;
  TPanel* Panel1 = nullptr;
  TLabel* lbAddress = nullptr;
  TButton* tbGo = nullptr;
  TGroupBox* gbDirectoryButtons = nullptr;
  TToolbarButton* btPDB[10] = {};
  TToolbarButton* btConfigDB = nullptr;
  TImage *imgURL = nullptr, *imgHTML = nullptr, *imgPicture = nullptr;
  TLabel *lbURL = nullptr, *lbState = nullptr, *lbDocument = nullptr;
  TCustomImageList *ImageList = nullptr, *HotList = nullptr, *ImageList2 = nullptr;
  TMainMenu* MainMenu = nullptr;
  TMenuItem *miFile = nullptr, *miEdit = nullptr, *miView = nullptr, *miBookmarks = nullptr, *miOptions = nullptr,
            *miHelp = nullptr, *miView1 = nullptr, *miLanguage = nullptr, *miEncoding = nullptr,
            *miCustomize = nullptr, *miHome = nullptr, *miReload = nullptr, *miBack = nullptr,
            *miForward = nullptr, *miOpenInNewWindow = nullptr, *miCopyLink = nullptr, *N1 = nullptr;
  TPopupMenu *pmBrowser = nullptr, *pmViewBars = nullptr, *pmBack = nullptr, *pmForward = nullptr,
             *pmToolBar = nullptr;
  TOpenDialog* OpenDialog = nullptr;
  TSaveDialog* SaveDialog = nullptr;
  TFindDialog* FindDialog = nullptr;
  TAction *actionBack = nullptr, *actionForward = nullptr, *actionStop = nullptr, *actionReload = nullptr,
          *actionHome = nullptr, *actionSearch = nullptr, *actionAddCurrentDocumentsHere = nullptr,
          *actionFileOpen = nullptr, *actionFileSave = nullptr, *actionPreview = nullptr, *actionPrint = nullptr,
          *actionExit = nullptr, *actionMenuBar = nullptr, *actionButtonBars = nullptr,
          *actionDirectoryButtons = nullptr, *actionAddressBar = nullptr, *actionStatusBar = nullptr,
          *actionImageCaption = nullptr, *actionImageOnly = nullptr, *actionCaptionOnly = nullptr,
          *actionSource = nullptr, *actionGoTo = nullptr;

  // ---- state ----
  std::unique_ptr<TNetAntiFreeze> NetAntiFreeze;
  std::unique_ptr<TMemoryStream> DocStream;
  std::unique_ptr<TURLConnection> Connection;
  std::unique_ptr<TLanguage> Language;
  std::unique_ptr<TOptions> Options;
  std::unique_ptr<TDiskCache> DiskCache;
  std::unique_ptr<TCookieList> CookieList;
  TURLList AllowList, DenyList;
  std::unique_ptr<TNetConnectionInterceptOpenSSL> SSLIntercept;
  // Whether secure addresses can be opened: OpenSSL is loaded at the first
  // one rather than at show, where loading it was a tenth of the start.
  [[nodiscard]] bool SSLAvailable();
  bool CdromMode = false;
  bool CacheOn = false;
  bool HomeGiven = false;
  bool NoWindowState = false;
  std::string HomeLocalPath;
  std::string CacheDir;
  std::string AddressText;
  std::string CurrentBase;
  int HomeType = 0;
  std::string HomeAddress;
  bool LoadHomePageAfter = false;
  int SecondsIdleTime = 5;
  std::string ProxyHost;
  int ProxyPort = 80;
  int LanguageId = 1;
  bool FirstActivation = true;
  bool HomeLoaded = false;
  std::string DownloadURL;
  std::string CoveredURL;
  std::string PopupLink;
  bool ReloadMode = false;

  [[nodiscard]] const TProgramContext& Context() const { return context_; }
  [[nodiscard]] std::string GetIniFileName() const { return context_.IniFileName; }
  // The first parameter holding the switch (1-based), or -1.
  [[nodiscard]] int FindParam(const std::string& switchText) const;

  // ---- form events ----
  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void FormActivate(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void FormDestroy(TObject* sender);
  void FormResize(TObject* sender);
  void LoadSettings();
  void WriteIniValue(const std::string& section, const std::string& key, const std::string& value);

  // ---- status bar ----
  void ShowURLState(bool visible);
  void ShowHTMLState(bool visible);
  void ShowImageState(bool visible);
  void ShowIdleState();

  // ---- navigation ----
  void StartURL();
  [[nodiscard]] bool URLAllowed(const std::string& url) const;
  [[nodiscard]] bool URLDenied(const std::string& url) const;
  void LoadBlockPage();
  void LoadInBrowser(const std::string& url);
  void OpenLocalFile(const std::string& fileName);
  void FrameBrowserGetPostRequestEx(TObject* sender, bool isGet, const std::string& url, const std::string& query,
                                    const std::string& encType, const std::string& referer, bool reload,
                                    std::string& newURL, ThtmlFileType& docType, TMemoryStream*& stream);
  void FrameBrowserHotSpotTargetClick(TObject* sender, const std::string& target, const std::string& url,
                                      bool& handled);
  void FrameBrowserHotSpotTargetCovered(TObject* sender, const std::string& target, const std::string& url);
  void FrameBrowserBlankWindowRequest(TObject* sender, const std::string& target, const std::string& url);
  void FrameBrowserHistoryChange(TObject* sender);
  // Preview, print, save, source and bookmark-here act on the active viewer.
  void EnableDocumentCommands();
  void FrameBrowserKeyDown(TObject* sender, unsigned short& key, TShiftState shift);
  void cbAddressKeyDown(TObject* sender, unsigned short& key, TShiftState shift);
  void cbAddressKeyUp(TObject* sender, unsigned short& key, TShiftState shift);
  void BookmarkMenuItemClick(TObject* sender);
  void btPDB1Click(TObject* sender);
  void miHistoryClick(TObject* sender);
  void miOpenInNewWindowClick(TObject* sender);
  void pmBrowserPopup(TObject* sender);
  void miCopyLinkClick(TObject* sender);
  void miCopyTextClick(TObject* sender);
  void miSelectedAllClick(TObject* sender);
  void timerHomeTimer(TObject* sender);
  void AppIdle(TObject* sender, bool& done);
  void AppMessage(TMsg& msg, bool& handled);
  // The arguments of a new window showing `url`.
  [[nodiscard]] std::vector<std::string> NewWindowArguments(const std::string& url) const;

  // ---- commands ----
  void actionHomeExecute(TObject* sender);
  void actionStopExecute(TObject* sender);
  void actionReloadExecute(TObject* sender);
  void actionBackExecute(TObject* sender);
  void actionForwardExecute(TObject* sender);
  void actionExitExecute(TObject* sender);
  void actionGoToExecute(TObject* sender);
  void actionCopyExecute(TObject* sender);
  void actionSelectAllExecute(TObject* sender);
  void actionFileOpenExecute(TObject* sender);
  void actionMenuBarExecute(TObject* sender);
  void actionButtonBarsExecute(TObject* sender);
  void actionDirectoryButtonsExecute(TObject* sender);
  void actionAddressBarExecute(TObject* sender);
  void actionStatusBarExecute(TObject* sender);
  void actionNavigationExecute(TObject* sender);
  void actionImageCaptionExecute(TObject* sender);
  void actionImageOnlyExecute(TObject* sender);
  void actionCaptionOnlyExecute(TObject* sender);
  void miTurkishClick(TObject* sender);
  void LNGMenuItemClick(TObject* sender);
  void MNU_ShowImages1Click(TObject* sender);
  void ClearAll1Click(TObject* sender);
  void OnlineManual1Click(TObject* sender);
  void actionFindExecute(TObject* sender);
  void FindDialogFind(TObject* sender);
  void actionFindNextExecute(TObject* sender);
  void actionPageSetupExecute(TObject* sender);
  void actionAddCurrentDocumentsHereExecute(TObject* sender);
  void ApplyLanguage();
  // Captions and hints as the form resource has them, taken at the first
  // ApplyLanguage: a component whose text a language lacks shows them.
  struct TBuiltInText {
    std::string Caption, Hint;
  };
  std::unordered_map<const TComponent*, TBuiltInText> BuiltInTexts;
  void RebuildBookmarksMenu();
  void RemoveBookmarkItems();
  void RebuildDirectoryButtons();
  void SetToolbarStyle(int style);
  void SetCharSet(int charSet);
  void ShowMenuBar(bool visible);

  // ---- page requests (page_requests.cpp) ----
  // The request now running, whichever is innermost.
  TPageRequestState* RunningRequest = nullptr;
  void ConnectionStatus(TURLConnection& connection);
  void ConnectionProgress(TURLConnection& connection);
  // Ends the running request, whatever its connection is doing.
  void AbortPageRequest();

  // ---- image requests (image_requests.cpp) ----
  std::deque<std::unique_ptr<TImageRec>> PendingImages;
  std::vector<std::unique_ptr<TImageHTTP>> ActiveDownloads;
  std::deque<std::unique_ptr<TImageRec>> DoneImages;
  // What cached and directly fetched images are answered with.
  std::unique_ptr<TMemoryStream> ImageStream;
  // The direct (not queued) image fetch now waiting, innermost; Stop ends it.
  TURLConnection* DirectImageConnection = nullptr;
  bool InsertingImage = false;  // a tick is inserting a picture
  void FrameBrowserImageRequest(TObject* sender, const std::string& src, TMemoryStream*& stream);
  void StartNextImageDownload();
  void ImageDownloadDone(TImageHTTP& download, bool finished, int error);
  void TimerTimer(TObject* sender);
  void FrameBrowserViewerClear(THTMLViewer* viewer);
  void ClearImageQueues();

  // ---- downloads ----
  void WMDownload();
  // Saves the page in the address box to a file (main_window_download.cpp).
  void actionFileSaveExecute(TObject* sender);

  // ---- printing and option dialogs (main_window_dialogs.cpp) ----
  void actionPreviewExecute(TObject* sender);
  void actionPrintExecute(TObject* sender);
  void actionProxyExecute(TObject* sender);
  void actionHomePageExecute(TObject* sender);
  void miCustomizeClick(TObject* sender);
  void btConfigDBClick(TObject* sender);
  void actionFontColorsExecute(TObject* sender);

  // ---- local search ----
  // Made once right after the window (CreateMainWindow) and reused while
  // it lives; the window owns it.
  TfrmLocalSearch* frmLocalSearch = nullptr;
  void actionSearchExecute(TObject* sender);

  // ---- page source, bookmark list, full screen, about (main_window_pages.cpp) ----
  void actionSourceExecute(TObject* sender);
  void actionBookmarksManagerExecute(TObject* sender);
  void actionFullScreenExecute(TObject* sender);
  void miCloseFullScreenClick(TObject* sender);
  void About1Click(TObject* sender);

 protected:
  void WndProc(TMessage& message) override;

 private:
  void FindComponents();
  void LoadToolbarPictures();
  void CreateCacheAndCookies();
  void ReadHomeSwitch();
  void ApplyButtonSettings(const class TMemIniFile& ini);
  void ApplyBarSettings(const class TMemIniFile& ini);
  void ApplyBrowserSettings(const class TMemIniFile& ini);
  void WriteSettings();
  void PlaceDirectoryButtons(bool stretchLast);
  void RebuildHistoryMenus();
  void RebuildLanguageMenu();
  void StopBusy();
  void AbortConnection();
  void FocusBrowser();
  void SetGoDefault(bool value);
  [[nodiscard]] bool IsOwnPage(const std::string& url) const;
  [[nodiscard]] bool ListsRefuse(const std::string& url) const;
  void PostStartURL();
  void OpenFileLink(const std::string& url, bool& handled);
  [[nodiscard]] bool CurrentDocumentIsLocal() const;
  void SwitchToPageState();
  void ConnectImageRequests();
  [[nodiscard]] bool IsLiveViewer(const THTMLViewer* viewer) const;
  bool RunPasses(TPageRequestState& state, TURLConnection& conn, bool isGet, std::string query,
                 const std::string& encType, TMemoryStream& body);
  bool AskAuthorization(TPageRequestState& state, TURLConnection& conn);
  bool AnswerFailure(TURLConnection& conn, TMemoryStream& body, const Exception& error, ThtmlFileType& docType);
  void AnswerBlockPage(std::string& newURL, ThtmlFileType& docType, TMemoryStream*& stream);

  TProgramContext context_;
};

}  // namespace lark
