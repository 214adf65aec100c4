// Keyword search without regard to case over real files, beside grep -rliF
// and ripgrep on one thread (rg -liF -j1) on the same files, in the same run:
//   - the generated tree of 20,000 files (~200 MB), and its first quarter
//     (5,000 files, hard links into the same tree) for N against 4N;
//   - a copy of /usr/share/doc with its links resolved, so that every
//     contender reads the same files (documentation, compressed and binary).
// Each round runs every contender once, in turn, with a warm page cache;
// the figures are medians over the rounds with their spread (min-max), and
// every contender must report the same number of files.
// Then the whole search through the search dialog (shown, its Start button
// pressed: the progress label painted and messages let through per file,
// the result page written) beside the engine set up as the dialog sets it up
// and writing the same page (BM_FileScanAsTheDialog), and grep -rliF, on
// both generated trees.
//   bench_search [ROUNDS]
// The trees live in $LARK_BENCH_DIR (default /tmp/lark-search-bench) and are
// made once.

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/file_scan.h"
#include "app/local_search_form.h"
#include "controls/form_classes.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/check_box.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/edit.h"

namespace {

std::string BenchDir() {
  const char* dir = std::getenv("LARK_BENCH_DIR");
  return dir != nullptr ? dir : "/tmp/lark-search-bench";
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

// The trees, made once: the generated one, its quarter and the doc copy.
bool EnsureTrees() {
  const std::string dir = BenchDir();
  if (!Exists(dir + "/planted.txt") &&
      !Shell("rm -rf '" + dir + "/tree' && mkdir -p '" + dir + "' && /usr/bin/python3 '" LARK_GEN_TREE "' '" + dir +
             "/tree' >&2"))
    return false;
  if (!Exists(dir + "/quarter/d04") &&
      !Shell("rm -rf '" + dir + "/quarter' && mkdir -p '" + dir + "/quarter' && cp -al '" + dir + "'/tree/d0[0-4] '" +
             dir + "/quarter/'"))
    return false;
  // Names with a dot are folders the search does not enter and hidden files
  // it skips; the peers leave them out too (see PeerCommand).
  return Exists(dir + "/doc") || Shell("cp -rL /usr/share/doc '" + dir + "/doc' 2>/dev/null; test -d '" + dir + "/doc'");
}

// Files a shell command lists, one per line.
int CountLines(const std::string& command) {
  int lines = 0;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    for (int c; (c = fgetc(pipe)) != EOF;) lines += c == '\n';
    pclose(pipe);
  }
  return lines;
}

struct Contender {
  std::string name;
  std::function<int()> run;  // the number of files found
  bool sameWork = true;      // must find what the first contender finds
};

// The peers search what TFileScan searches: no folders or files whose names
// start with a dot or folders with a dot in their names, and every byte of
// binary files (rg would stop at a file's first zero byte otherwise, and
// honour ignore files).
std::string PeerCommand(const std::string& program, const std::string& keyword, const std::string& root) {
  if (program == "grep")
    return "grep -rliF --exclude-dir='*.*' --exclude='.*' '" + keyword + "' '" + root + "'";
  return "rg -liF -j1 -a --no-ignore -g '!*.*/' '" + keyword + "' '" + root + "'";
}

Contender Peer(const std::string& program, const std::string& keyword, const std::string& root) {
  const std::string command = PeerCommand(program, keyword, root) + " 2>/dev/null";
  return {program == "grep" ? "grep -rliF" : "rg -liF -j1", [command] { return CountLines(command); }};
}

Contender Ours(const std::string& keyword, const std::string& root, bool caseSense) {
  auto scan = std::make_shared<lark::TFileScan>();
  scan->Directory = root;
  scan->CaseSense = caseSense;
  scan->SearchStrings.Add(keyword);
  // With case counting it looks for the keyword as written in the files:
  // the cost of folding case is the difference.
  return {caseSense ? "TFileScan, case counts" : "TFileScan",
          [scan] {
            scan->StartScan();
            return scan->Results.Count();
          },
          !caseSense};
}

// The dialog as the user drives it, made once and reused like the program's;
// its pages go to a result folder under the bench folder.
lark::TfrmLocalSearch& SearchDialog() {
  static lark::TfrmLocalSearch* dialog = [] {
    lark::Application();
    lark::RegisterControlClasses();
    const std::string programDir = BenchDir() + "/dialog/";
    Shell("mkdir -p '" + programDir + "'");
    auto* form = lark::NewForm<lark::TfrmLocalSearch>(nullptr, programDir, false);
    form->Show();
    return form;
  }();
  return *dialog;
}

Contender ThroughTheDialog(const std::string& keyword, const std::string& root) {
  return {"the search dialog", [keyword, root] {
            lark::TfrmLocalSearch& dialog = SearchDialog();
            dialog.cbKeyword->SetText(keyword);
            dialog.cbLimitToDirectory->SetText(root);
            dialog.edFileToFind->SetText("*");
            dialog.cbIncludeSubDirectories->SetChecked(true);
            dialog.UpdateControls();
            dialog.ModalResult = lark::mrNone;
            dialog.btStart->Click();
            return dialog.FileScan().Results.Count();
          }};
}

// BM_FileScanAsTheDialog: the engine alone, set up as the dialog sets it up
// for that search, writing the same page.
Contender AsTheDialog(const std::string& keyword, const std::string& root) {
  auto scan = std::make_shared<lark::TFileScan>();
  scan->Directory = root;
  scan->FileSpecs = "*";
  scan->IncSubDir = true;
  scan->SearchStrings.Add(keyword);
  scan->ShowTitle = scan->SWFileDate = scan->SWFileSize = true;
  scan->Header = "<H1>Result of search</H1>";
  scan->Title = "<head><title>Result of search</title></head>";
  scan->OutputFile = BenchDir() + "/engine-page.html";
  return {"BM_FileScanAsTheDialog", [scan] {
            scan->StartScan();
            return scan->Results.Count();
          }};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// Runs the contenders in turn, `rounds` times; prints each one's median time
// and spread, and our time as a ratio of each other contender's (median and
// spread of the per-round ratios).
void Compare(const std::string& title, const std::vector<Contender>& contenders, int rounds) {
  std::vector<std::vector<double>> seconds(contenders.size());
  std::vector<int> found(contenders.size(), -1);
  for (const Contender& contender : contenders) (void)contender.run();  // warms the page cache
  for (int round = 0; round < rounds; ++round) {
    for (size_t i = 0; i < contenders.size(); ++i) {
      const auto start = std::chrono::steady_clock::now();
      found[i] = contenders[i].run();
      seconds[i].push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
  }
  std::printf("\n%s (%d rounds)\n", title.c_str(), rounds);
  for (size_t i = 0; i < contenders.size(); ++i) {
    const auto [low, high] = std::minmax_element(seconds[i].begin(), seconds[i].end());
    std::printf("  %-24s %8.1f ms  (%.1f-%.1f)  %d files%s\n", contenders[i].name.c_str(), Median(seconds[i]) * 1e3,
                *low * 1e3, *high * 1e3, found[i], !contenders[i].sameWork || found[i] == found[0] ? "" : "  DIFFERENT COUNT");
  }
  for (size_t i = 1; i < contenders.size(); ++i) {
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) ratios.push_back(seconds[0][round] / seconds[i][round]);
    const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
    std::printf("  ratio %s / %-24s %5.2f  (%.2f-%.2f)\n", contenders[0].name.c_str(), contenders[i].name.c_str(),
                Median(ratios), *low, *high);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  if (!EnsureTrees()) {
    std::fprintf(stderr, "cannot make the trees in %s\n", BenchDir().c_str());
    return 1;
  }
  const std::string dir = BenchDir();
  for (const auto& [title, root, keyword, asWritten] :
       {std::tuple<std::string, std::string, std::string, std::string>{
            "generated tree, 20,000 files", dir + "/tree", "Quetzalcoatlite", "quetzalcoatlite"},
        {"generated tree, first 5,000 files", dir + "/quarter", "Quetzalcoatlite", "quetzalcoatlite"},
        {"copy of /usr/share/doc", dir + "/doc", "BugFix", "bugfix"}}) {
    Compare(title,
            {Ours(keyword, root, false), Peer("grep", keyword, root), Peer("rg", keyword, root),
             Ours(asWritten, root, true)},
            rounds);
  }
  for (const auto& [title, root] : {std::pair<std::string, std::string>{"dialog, generated tree, 20,000 files", dir + "/tree"},
                                    {"dialog, generated tree, first 5,000 files", dir + "/quarter"}})
    Compare(title, {ThroughTheDialog("Quetzalcoatlite", root), AsTheDialog("Quetzalcoatlite", root),
                    Peer("grep", "Quetzalcoatlite", root)},
            rounds);
  return 0;
}
