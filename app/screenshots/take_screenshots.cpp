// Pictures of the real windows for the documents: the main window on the
// bundled start page, then each scene's dialog, opened by the main window's
// action as a user would open it from the menu. Run by
// scripts/screenshots.sh: take_screenshots <output folder> <server URL>, the
// server being app/screenshots/scene_server.py (slow transfers, a password).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/download_form.h"
#include "app/go_page_form.h"
#include "app/main_entry.h"
#include "app/main_window.h"
#include "app/print_preview_form.h"
#include "platform/core/file_routines.h"
#include "platform/windows/action.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/dialogs.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/label.h"
#include "platform/windows/menus.h"
#include "platform/windows/form.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/page_control.h"
#include "platform/windows/test_driver.h"
#include "platform/windows/timer.h"

namespace lark {
namespace {

// The dialogs that show a transfer are opened on the scene server's slow
// answers, taken once the transfer shows, and ended by their own button.
void OpenDownload(TfrmMain& main, const std::string& server) {
  main.DownloadURL = server + "/sample.zip";
  main.WMDownload();
}
void OpenSavePage(TfrmMain& main, const std::string& server) {
  main.AddressText = server + "/sample.html";
  main.actionFileSave->Execute();
}
void OpenProtectedPage(TfrmMain& main, const std::string& server) { main.LoadInBrowser(server + "/protected"); }

// A sixth of the sample is a few seconds in: the rate has settled and the
// time left is no longer nought.
bool TimeLeftShows(TCustomForm& dialog) {
  auto* download = dynamic_cast<TDownLoadForm*>(&dialog);
  return download && download->Total() > 0 && download->Received() * 6 >= download->Total() &&
         !download->TimeLeft->Caption().empty();
}
bool ProgressShows(TCustomForm& dialog) {
  auto* bar = dynamic_cast<TProgressBar*>(dialog.FindComponent("ProgressBar"));
  return bar && bar->Position() > bar->Min() + (bar->Max() - bar->Min()) / 10;
}

// Dialogs the main window opens from a menu entry or button, not an action.
void OpenCustomizeToolbar(TfrmMain& main, const std::string&) { main.miCustomize->Click(); }
void OpenDirectoryButtonsSetup(TfrmMain& main, const std::string&) { main.btConfigDBClick(&main); }

// The print preview's go-to-page dialog, as its page number button opens it,
// on a sample document of three pages.
void OpenGoToPage(TfrmMain& main, const std::string&) {
  std::unique_ptr<TfrmGoPage> dialog(NewForm<TfrmGoPage>(&main));
  dialog->ApplyLanguage(*main.Language);
  dialog->SetRange(3, 1);
  dialog->ShowModal();
}

// The print preview shows once the print status dialog has recorded the pages.
bool IsPreview(TCustomForm& dialog) { return dynamic_cast<TfrmPreview*>(&dialog) != nullptr; }

// A picture of one window. A dialog's scene names the main window's action
// that opens it (or how it is opened otherwise), and the tab sheet to bring
// forward where the first is not the one to show; the main window's own has
// none. A dialog showing a transfer, or coming after another, is taken once
// `ready` holds and ended with its `endButton`. A new dialog adds a line.
struct TScene {
  const char* fileName;
  const char* action;
  const char* tabSheet = nullptr;
  void (*open)(TfrmMain& main, const std::string& server) = nullptr;
  bool (*ready)(TCustomForm& dialog) = nullptr;
  const char* endButton = nullptr;
};
constexpr TScene kScenes[] = {
    {"main-window.png", ""},
    {"proxy-dialog.png", "actionProxy"},
    {"home-page-dialog.png", "actionHomePage"},
    {"font-colors-dialog.png", "actionFontColors"},
    {"local-search-dialog.png", "actionSearch"},
    {"local-search-advanced.png", "actionSearch", "tsAdvanced"},
    {"find-dialog.png", "actionFind"},
    {"add-bookmark-dialog.png", "actionAddCurrentDocumentsHere"},
    {"bookmark-list-dialog.png", "actionBookmarksManager"},
    {"source-dialog.png", "actionSource"},
    {"about-box.png", "actionAbout"},
    {"print-preview.png", "actionPreview", nullptr, nullptr, IsPreview},
    {"go-to-page-dialog.png", "", nullptr, OpenGoToPage},
    {"customize-toolbar-dialog.png", "", nullptr, OpenCustomizeToolbar},
    {"directory-buttons-dialog.png", "", nullptr, OpenDirectoryButtonsSetup},
    {"download-dialog.png", "", nullptr, OpenDownload, TimeLeftShows, "CancelButton"},
    {"save-page-dialog.png", "", nullptr, OpenSavePage, ProgressShows, "Button1"},
    // Last: the main window stays on the refused page.
    {"password-dialog.png", "", nullptr, OpenProtectedPage},
};

// Longest wait for a window to settle (pages, pictures, layout) or for a
// transfer to show.
constexpr auto kSettleBound = std::chrono::seconds(10);
constexpr unsigned kReadyPollMs = 50;

// Runs the message loop until nothing has waited in the queue twice in a
// row, 20 ms apart (the end-to-end control's notion of idle), or the bound.
void Settle() {
  const auto deadline = std::chrono::steady_clock::now() + kSettleBound;
  for (int quiet = 0; quiet < 2 && std::chrono::steady_clock::now() < deadline;) {
    Application()->ProcessMessages();
    WaitMessageTimeout(20);
    TMsg msg{};
    quiet = PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE) ? 0 : quiet + 1;
  }
}

bool Save(TWinControl* window, const std::string& fileName) {
  Settle();
  if (test_driver::SaveWindowPicture(window, fileName)) return true;
  std::fprintf(stderr, "take_screenshots: cannot write %s\n", fileName.c_str());
  return false;
}

// The form a scene's action opened without a modal loop: the active one,
// else the last one showing, other than the main window.
TCustomForm* ShownDialog(TCustomForm* main) {
  if (TCustomForm* active = Screen()->ActiveForm(); active && active != main) return active;
  for (int i = Screen()->FormCount(); i-- > 0;)
    if (Screen()->Forms(i) != main && Screen()->Forms(i)->Visible()) return Screen()->Forms(i);
  return nullptr;
}

void ShowTabSheet(TCustomForm& dialog, const char* name) {
  if (auto* sheet = dynamic_cast<TTabSheet*>(dialog.FindComponent(name)); sheet && sheet->PageControl()) {
    sheet->PageControl()->SetActivePage(sheet);
    Settle();
  }
}

bool Showing(TCustomForm* form) {
  for (int i = 0; i < Screen()->FormCount(); ++i)
    if (Screen()->Forms(i) == form) return true;
  return false;
}

// Ends a modal dialog: by its own button where the scene names one (a
// transfer stops, then the dialog closes itself), else as Cancel would.
void EndDialog(TCustomForm& dialog, const TScene& scene) {
  if (auto* button = scene.endButton ? dynamic_cast<TButton*>(dialog.FindComponent(scene.endButton)) : nullptr)
    button->Click();
  else
    dialog.ModalResult = mrCancel;
}

// Opens the scene's dialog and saves it: a modal one while its loop runs
// (once ready, then ended), a modeless one once it shows (then hidden).
bool TakeDialog(TfrmMain& main, const TScene& scene, const std::string& fileName, const std::string& server,
                const std::string& folder) {
  auto* action = scene.open ? nullptr : dynamic_cast<TBasicAction*>(main.FindComponent(scene.action));
  if (!scene.open && !action) {
    std::fprintf(stderr, "take_screenshots: the main window has no action %s\n", scene.action);
    return false;
  }
  bool saved = false, shown = false;
  TTimer poll(nullptr);
  test_driver::OnModalShown([&](TCustomForm* dialog) {
    shown = true;
    if (scene.tabSheet) ShowTabSheet(*dialog, scene.tabSheet);
    if (!scene.ready) {
      saved = Save(dialog, fileName);
      EndDialog(*dialog, scene);
      return;
    }
    const auto deadline = std::chrono::steady_clock::now() + kSettleBound;
    poll.SetInterval(kReadyPollMs);
    poll.OnTimer = [&, dialog, deadline](TObject*) {
      if (!Showing(dialog)) {  // ended on its own (a failed transfer, a print status)
        poll.SetEnabled(false);
        return;
      }
      const bool ready = scene.ready(*dialog);
      if (!ready && std::chrono::steady_clock::now() < deadline) return;
      poll.SetEnabled(false);
      if (ready)
        saved = test_driver::SaveWindowPicture(dialog, fileName);
      else
        std::fprintf(stderr, "take_screenshots: %s was not ready in time\n", scene.fileName);
      EndDialog(*dialog, scene);
    };
    poll.SetEnabled(true);
  });
  if (scene.open) {
    // The file a transfer asks for goes to the temporary folder.
    test_driver::AnswerDialogs([&folder](TCommonDialog* dialog) {
      auto* save = dynamic_cast<TSaveDialog*>(dialog);
      if (save) save->FileName = folder + "/" + std::filesystem::path(save->FileName).filename().string();
      return save != nullptr;
    });
    scene.open(main, server);
    test_driver::AnswerDialogs(nullptr);
  } else
    action->Execute();
  test_driver::OnModalShown(nullptr);
  if (shown) return saved;
  TCustomForm* dialog = ShownDialog(&main);
  if (!dialog) {
    std::fprintf(stderr, "take_screenshots: %s opened no window\n", scene.fileName);
    return false;
  }
  saved = Save(dialog, fileName);
  dialog->Hide();
  return saved;
}

int TakeScreenshots(const std::string& outputDir, const std::string& server) {
  char folder[] = "/tmp/larkspan-screenshots-XXXXXX";
  if (!::mkdtemp(folder)) {
    std::perror("take_screenshots: temporary folder");
    return EXIT_FAILURE;
  }
  StartProgram();
  Application()->SetTitle("Larkspan");
  // The bundled start page in the window's own size, with settings of its
  // own (the user's placement and bars do not show) and no disk cache.
  const std::string programDir = ProgramDir();
  // The search dialog makes its results folder beside the program.
  const std::string scanResults = programDir + "LocalScanResult";
  const bool scanResultsExisted = std::filesystem::exists(scanResults);
  const std::string settings = std::string(folder) + "/larkspan.ini";
  TfrmMain* main = CreateMainWindow(
      TProgramContext{programDir, settings, {"/home=" + programDir + "start.html", "/cache=off"}});
  main->Show();
  // A message box (a failed
  // transfer) is told on standard error instead of waiting for a person.
  test_driver::AnswerMessageBoxes([](const std::string& text, TMsgDlgType, TMsgDlgButtons) {
    std::fprintf(stderr, "take_screenshots: message: %s\n", text.c_str());
    return static_cast<int>(mrOk);
  });
  bool all = true;
  for (const TScene& scene : kScenes) {
    const std::string fileName = outputDir + "/" + scene.fileName;
    all = (*scene.action || scene.open ? TakeDialog(*main, scene, fileName, server, folder) : Save(main, fileName)) && all;
    if (all) std::printf("%s\n", fileName.c_str());
  }
  delete main;
  test_driver::Reset();
  std::filesystem::remove_all(folder);
  if (!scanResultsExisted) std::filesystem::remove_all(scanResults);
  return all ? EXIT_SUCCESS : EXIT_FAILURE;
}

}  // namespace
}  // namespace lark

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: take_screenshots <output folder> <scene server URL>\n", stderr);
    return EXIT_FAILURE;
  }
  return lark::TakeScreenshots(argv[1], argv[2]);
}
