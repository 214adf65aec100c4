// Pictures of the real windows for the documents: the main window on the
// bundled start page, then each scene's dialog, opened by the main window's
// action as a user would open it from the menu. Run by
// scripts/screenshots.sh: take_screenshots <output folder>.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/main_entry.h"
#include "platform/core/file_routines.h"
#include "platform/windows/action.h"
#include "platform/windows/application.h"
#include "platform/windows/form.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/page_control.h"
#include "platform/windows/test_driver.h"

namespace lark {
namespace {

// A picture of one window. A dialog's scene names the main window's action
// that opens it, and the tab sheet to bring forward where the first is not
// the one to show; the main window's own has none. A new dialog adds a line.
struct TScene {
  const char* fileName;
  const char* action;
  const char* tabSheet = nullptr;
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
};

// Longest wait for a window to settle (pages, pictures, layout).
constexpr auto kSettleBound = std::chrono::seconds(10);

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

// Opens the scene's dialog and saves it: a modal one while its loop runs
// (then cancelled), a modeless one once it shows (then hidden).
bool TakeDialog(TfrmMain& main, const TScene& scene, const std::string& fileName) {
  auto* action = dynamic_cast<TBasicAction*>(main.FindComponent(scene.action));
  if (!action) {
    std::fprintf(stderr, "take_screenshots: the main window has no action %s\n", scene.action);
    return false;
  }
  bool saved = false, shown = false;
  test_driver::OnModalShown([&](TCustomForm* dialog) {
    shown = true;
    if (scene.tabSheet) ShowTabSheet(*dialog, scene.tabSheet);
    saved = Save(dialog, fileName);
    dialog->ModalResult = mrCancel;
  });
  action->Execute();
  test_driver::OnModalShown(nullptr);
  if (shown) return saved;
  TCustomForm* dialog = ShownDialog(&main);
  if (!dialog) {
    std::fprintf(stderr, "take_screenshots: %s opened no window\n", scene.action);
    return false;
  }
  saved = Save(dialog, fileName);
  dialog->Hide();
  return saved;
}

int TakeScreenshots(const std::string& outputDir) {
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
  const std::string settings = std::string(folder) + "/larkspan.ini";
  TfrmMain* main = CreateMainWindow(
      TProgramContext{programDir, settings, {"/home=" + programDir + "start.html", "/cache=off"}});
  main->Show();
  bool all = true;
  for (const TScene& scene : kScenes) {
    const std::string fileName = outputDir + "/" + scene.fileName;
    all = (*scene.action ? TakeDialog(*main, scene, fileName) : Save(main, fileName)) && all;
    if (all) std::printf("%s\n", fileName.c_str());
  }
  delete main;
  std::filesystem::remove_all(folder);
  return all ? EXIT_SUCCESS : EXIT_FAILURE;
}

}  // namespace
}  // namespace lark

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: take_screenshots <output folder>\n", stderr);
    return EXIT_FAILURE;
  }
  return lark::TakeScreenshots(argv[1]);
}
