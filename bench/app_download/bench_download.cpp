// Timing side of the download benchmark (run_download_bench.sh starts nginx
// and curl).
//   bench_download dialog URL TARGET   the real main window downloads URL to
//                                      TARGET through WMDownload and its
//                                      dialog (save dialog and replace
//                                      question answered yes); prints the
//                                      seconds the download took; fails
//                                      unless TARGET was written
//   bench_download idle                the same window, shown and settled,
//                                      downloading nothing: the memory base
//   bench_download wall COMMAND...     runs COMMAND and prints its wall time

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/main_entry.h"
#include "app/main_window.h"
#include "bench/common/wall_clock.h"
#include "platform/core/file_routines.h"
#include "platform/windows/application.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/dialogs.h"
#include "platform/windows/test_driver.h"

namespace {

using lark::bench::Clock;
using lark::bench::Seconds;

// A main window in a program folder of its own, holding the shipped files.
lark::TfrmMain* OpenWindow(const std::string& folder) {
  for (const char* name : {"BROWSER.LGV", "start.html", "block.html", "error.html"})
    std::filesystem::copy_file(lark::ProgramDir() + name, folder + name,
                               std::filesystem::copy_options::overwrite_existing);
  lark::TfrmMain* window = lark::CreateMainWindow(
      lark::TProgramContext{folder, folder + "larkspan.ini", {"/home=" + folder + "start.html", "/cache=off"}});
  window->Show();
  for (int i = 0; i < 20; ++i) lark::Application()->ProcessMessages();
  return window;
}

int Download(const std::string& url, const std::string& target) {
  lark::test_driver::AnswerDialogs([&](lark::TCommonDialog* dialog) {
    auto* save = dynamic_cast<lark::TSaveDialog*>(dialog);
    if (save != nullptr) save->FileName = target;
    return save != nullptr;
  });
  bool failed = false;
  lark::test_driver::AnswerMessageBoxes([&](const std::string& text, lark::TMsgDlgType, lark::TMsgDlgButtons) {
    if (text.find("replace") != std::string::npos) return static_cast<int>(lark::mrYes);
    std::fprintf(stderr, "%s\n", text.c_str());
    failed = true;
    return static_cast<int>(lark::mrOk);
  });
  const std::string folder = std::filesystem::path(target).parent_path().string() + "/program/";
  std::filesystem::create_directories(folder);
  lark::TfrmMain* window = OpenWindow(folder);
  std::filesystem::remove(target);
  window->DownloadURL = url;
  const auto start = Clock::now();
  window->WMDownload();
  const double seconds = Seconds(Clock::now() - start);
  delete window;
  if (failed || !std::filesystem::exists(target)) return 1;
  std::printf("%.6f\n", seconds);
  return 0;
}

int Idle() {
  char folder[] = "/tmp/lark-download-idle-XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;
  delete OpenWindow(std::string(folder) + "/");
  std::filesystem::remove_all(folder);
  std::printf("0\n");
  return 0;
}


}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "dialog" && argc == 4) return Download(argv[2], argv[3]);
  if (mode == "idle" && argc == 2) return Idle();
  if (mode == "wall" && argc > 2) return lark::bench::RunAndPrintWallSeconds(argv + 2);
  std::fprintf(stderr, "usage: bench_download dialog URL TARGET | idle | wall COMMAND...\n");
  return 2;
}
