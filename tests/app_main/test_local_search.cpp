// The local search dialog through the real window layer, on real trees.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>

#include "app/file_scan.h"
#include "app/local_search_form.h"
#include "html/document_utils.h"
#include "platform/core/date_time.h"
#include "platform/core/file_routines.h"
#include "platform/core/private_temp_dir.h"
#include "platform/windows/action.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/check_box.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/date_time_picker.h"
#include "platform/windows/edit.h"
#include "platform/windows/label.h"
#include "platform/windows/page_control.h"
#include "platform/windows/small_controls.h"
#include "platform/windows/test_driver.h"
#include "platform/windows/timer.h"
#include "tests/app_main/main_window_fixture.h"
#include "tests/search/scan_tree.h"

namespace lark {
namespace {

class LocalSearch : public MainWindowTest {
 protected:
  TfrmLocalSearch& Dialog() { return *window_->frmLocalSearch; }

  // Shows the dialog through the Search command; `inDialog` acts as the user
  // while it shows, then presses Start (when `pressStart`) unless it closed
  // the dialog.
  int RunSearch(const std::function<void(TfrmLocalSearch&)>& inDialog, bool pressStart = true) {
    int result = mrNone;
    test_driver::OnModalShown([&](TCustomForm* form) {
      auto* dialog = dynamic_cast<TfrmLocalSearch*>(form);
      if (!dialog) return;
      inDialog(*dialog);
      if (pressStart && dialog->ModalResult == mrNone) dialog->btStart->Click();
      // A search that did not close the dialog leaves it to Cancel.
      if (dialog->ModalResult == mrNone) dialog->btCancel->Click();
      result = dialog->ModalResult;
    });
    window_->actionSearch->Execute();
    Settle();
    return result;
  }
  // Keyword, folder and the default patterns.
  static void Describe(TfrmLocalSearch& d, const std::string& keyword, const std::string& folder,
                       int searchType = 0) {
    d.cbKeyword->SetText(keyword);
    d.cbLimitToDirectory->SetText(folder);
    d.edFileToFind->SetText("*.txt");
    d.cbSearchType->SetItemIndex(searchType);
    d.UpdateControls();
  }
  int Hits() { return static_cast<int>(test::HitPaths(Dialog().FileScan(), tree_.Root()).size()); }

  test::ScanTree tree_;
};

TEST_F(LocalSearch, EnablingFollowsKeywordFolderAndPatternsWithEditColours) {
  Open({"/home=" + StartPage()});
  RunSearch([&](TfrmLocalSearch& d) {
    d.cbKeyword->SetText("");
    d.cbLimitToDirectory->SetText("");
    d.UpdateControls();
    EXPECT_FALSE(d.cbSearchType->Enabled());
    EXPECT_FALSE(d.btStart->Enabled());
    d.cbKeyword->SetText("red");
    d.UpdateControls();
    EXPECT_TRUE(d.cbSearchType->Enabled());
    EXPECT_FALSE(d.cbIncludeSubDirectories->Enabled());
    EXPECT_FALSE(d.btStart->Enabled());
    EXPECT_EQ(d.cbSearchType->Font().Color(), clBlack);
    Describe(d, "red", tree_.Root());
    EXPECT_TRUE(d.btStart->Enabled());
    EXPECT_FALSE(d.seFileAge->Enabled());
    EXPECT_EQ(d.seFileAge->Font().Color(), clGray);
    d.PageControl1->SetActivePage(d.tsAdvanced);
    const std::uint32_t disabled = test_driver::PixelAt(d.seFileAge, 4, d.seFileAge->Height() / 2);
    d.cbFileAgeComp->SetItemIndex(1);
    d.UpdateControls();
    EXPECT_TRUE(d.seFileAge->Enabled());
    EXPECT_NE(test_driver::PixelAt(d.seFileAge, 4, d.seFileAge->Height() / 2), disabled);
    EXPECT_EQ(test_driver::PixelAt(d.seFileAge, 4, d.seFileAge->Height() / 2), 0xFFFFFFu);
    d.ModalResult = mrCancel;
  });
}

TEST_F(LocalSearch, TwoSearchesWriteAndOpenNumberedPagesAndANewRunStartsAtOne) {
  tree_.Write("a.txt", "red");
  tree_.Write("b.txt", "blue");
  Open({"/home=" + StartPage()});
  for (int n = 1; n <= 2; ++n) {
    EXPECT_EQ(RunSearch([&](TfrmLocalSearch& d) { Describe(d, "red", tree_.Root()); }), mrOk);
    const std::string page = Path("LocalScanResult/FileScanResult" + std::to_string(n) + ".html");
    EXPECT_EQ(Dialog().Counter(), n);
    EXPECT_EQ(ShownURL(), "file://" + page);
    EXPECT_NE(test::ReadFile(page).find("a.txt"), std::string::npos);
    EXPECT_EQ(test::ReadFile(page).find("b.txt"), std::string::npos);
  }
  Close();
  Open({"/home=" + StartPage()});
  EXPECT_EQ(RunSearch([&](TfrmLocalSearch& d) { Describe(d, "red", tree_.Root()); }), mrOk);
  EXPECT_EQ(ShownURL(), FileURL("LocalScanResult/FileScanResult1.html"));
}

TEST_F(LocalSearch, SearchTypesSplitTheKeywordAndChooseByItemIndex) {
  tree_.Write("1.txt", "red");
  tree_.Write("2.txt", "green");
  tree_.Write("3.txt", "red green");
  tree_.Write("4.txt", "green and red");
  Open({"/home=" + StartPage()});
  const int expected[] = {4, 2, 1};
  for (bool translated : {false, true}) {
    for (int type = 0; type < 3; ++type) {
      RunSearch([&](TfrmLocalSearch& d) {
        // A language that translates the three items: the texts no longer
        // name the types, the positions still do.
        if (translated) d.cbSearchType->SetItemStrings({"[44]", "[45]", "[46]"});
        Describe(d, "red green", tree_.Root(), type);
      });
      EXPECT_EQ(Hits(), expected[type]) << "type " << type << (translated ? " translated" : "");
    }
  }
  RunSearch([&](TfrmLocalSearch& d) {
    Describe(d, "re", tree_.Root());
    d.cbWholeWordOnly->SetChecked(true);
  });
  EXPECT_EQ(Hits(), 0);
}

TEST_F(LocalSearch, SizeAndDateFiltersAtTheirEdges) {
  tree_.Write("small.txt", std::string(1000, 'x'));
  tree_.Write("large.txt", std::string(1001, 'x'));
  tree_.Touch("small.txt", 1711756800);  // 2024-03-30 00:00 UTC
  Open({"/home=" + StartPage()});
  RunSearch([&](TfrmLocalSearch& d) {
    Describe(d, "x", tree_.Root());
    d.cbShowSize->SetChecked(true);
    d.cbFileSizeComp->SetItemIndex(1);  // greater than
    d.seFileSize->SetValue(1000);
    d.cbFileSizeK->SetItemIndex(0);
  });
  ASSERT_EQ(Hits(), 1);
  EXPECT_EQ(test::HitPaths(Dialog().FileScan(), tree_.Root())[0].rfind("large.txt", 0), 0u);
  RunSearch([&](TfrmLocalSearch& d) {
    d.cbFileSizeComp->SetItemIndex(3);  // less than 4096 MB: past 32 bits
    d.seFileSize->SetValue(4096);
    d.cbFileSizeK->SetItemIndex(2);
  });
  EXPECT_EQ(Dialog().FileScan().FileSize, std::int64_t{4096} * 1048576);
  EXPECT_EQ(Hits(), 2);
  // 29 February 2024, then 30 March: the new day is not checked against
  // the old month.
  for (int day : {29, 30}) {
    RunSearch([&](TfrmLocalSearch& d) {
      d.cbShowSize->SetChecked(false);
      d.cbShowDate->SetChecked(true);
      d.dtpDateStart->SetDateTime(EncodeDate(2024, day == 29 ? 2 : 3, day));
      d.dtpDateEnd->SetDateTime(EncodeDate(2024, 12, 31));
    });
    EXPECT_TRUE(boxes_.empty()) << boxes_.front();
    EXPECT_EQ(Dialog().FileScan().StartDay(), day);
  }
  const int counter = Dialog().Counter();
  RunSearch([&](TfrmLocalSearch& d) { d.dtpDateStart->SetDateTime(EncodeDate(1900, 6, 1)); });
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find("Invalid Start Year"), std::string::npos);
  EXPECT_EQ(Dialog().Counter(), counter);
  EXPECT_FALSE(Dialog().Searching());
}

TEST_F(LocalSearch, HistoriesFolderButtonAndDotFiles) {
  tree_.Write(".hidden.txt", "red");
  tree_.Write("shown.txt", "red");
  test_driver::AnswerDialogs([&](TCommonDialog* dialog) {
    auto* folder = dynamic_cast<TFolderDialog*>(dialog);
    if (!folder) return false;
    EXPECT_EQ(folder->Title, "Limit to Directory:");
    folder->Directory = tree_.Root();
    return true;
  });
  Open({"/home=" + StartPage()});
  RunSearch([&](TfrmLocalSearch& d) {
    Describe(d, "red", "");
    d.SpeedButton1->Click();
    d.SpeedButton1->Click();
    EXPECT_EQ(d.cbLimitToDirectory->GetText(), tree_.Root());
    EXPECT_EQ(d.cbLimitToDirectory->Items().Count(), 1);
    d.cbKeyword->SetFocus();
    for (int i = 0; i < 2; ++i) {
      unsigned short key = VK_RETURN;
      d.HistoryKeyDown(d.cbKeyword, key, 0);
    }
    EXPECT_EQ(d.cbKeyword->Items().Count(), 1);
  });
  EXPECT_EQ(Hits(), 1);
  RunSearch([&](TfrmLocalSearch& d) {
    d.cbShowAttr->SetChecked(true);
    d.cbHidden->SetChecked(true);
  });
  EXPECT_EQ(Hits(), 2);
  RunSearch([&](TfrmLocalSearch& d) { d.cbShowAttr->SetChecked(false); });
  EXPECT_EQ(Hits(), 1);
}

TEST_F(LocalSearch, StopOpensNoPageAndBringsTheIdleLookBack) {
  for (int i = 0; i < 5000; ++i) tree_.Write("d" + std::to_string(i / 500) + "/f" + std::to_string(i) + ".txt", "red");
  Open({"/home=" + StartPage()});
  const std::string before = ShownURL();
  int progress = 0;
  const int result = RunSearch([&](TfrmLocalSearch& d) {
    auto shown = d.FileScan().OnScanProgress;
    d.FileScan().OnScanProgress = [&, shown](const std::string& text) {
      shown(text);
      if (++progress == 50) d.btCancel->Click();
    };
    Describe(d, "red", tree_.Root());
    d.btStart->Click();
    EXPECT_EQ(d.ModalResult, mrNone);
    EXPECT_EQ(d.btCancel->GetText(), "Cancel");
    EXPECT_TRUE(d.btStart->Enabled());
    EXPECT_TRUE(d.PageControl1->Enabled());
    EXPECT_FALSE(d.lbScanning->Visible());
    d.FileScan().OnScanProgress = shown;
  }, false);
  EXPECT_EQ(result, mrCancel);
  EXPECT_LT(progress, 5000);
  EXPECT_EQ(ShownURL(), before);
  EXPECT_FALSE(FileExists(Path("LocalScanResult/FileScanResult1.html")));
  // The next showing searches normally.
  EXPECT_EQ(RunSearch([&](TfrmLocalSearch&) {}), mrOk);
  EXPECT_EQ(Hits(), 5000);
}

TEST_F(LocalSearch, AFailedPageWriteIsShownAndLeavesTheDialogIdle) {
  for (int i = 0; i < 40; ++i) tree_.Write("f" + std::to_string(i) + ".txt", "red");
  Open({"/home=" + StartPage()});
  const std::string before = ShownURL();
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  const int result = RunSearch([&](TfrmLocalSearch& d) {
    Describe(d, "red", tree_.Root());
    rlimit small = saved;
    small.rlim_cur = 512;
    setrlimit(RLIMIT_FSIZE, &small);
    d.btStart->Click();
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(d.ModalResult, mrNone);
    EXPECT_FALSE(d.Searching());
    EXPECT_EQ(d.btCancel->GetText(), "Cancel");
    EXPECT_TRUE(d.PageControl1->Enabled());
  }, false);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(result, mrCancel);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find("FileScanResult1.html"), std::string::npos) << boxes_[0];
  EXPECT_EQ(ShownURL(), before);
}

class CdromSearch : public LocalSearch {
 protected:
  void SetUp() override {
    LocalSearch::SetUp();
    if (const char* old = std::getenv("TMPDIR")) saved_ = old;
    setenv("TMPDIR", temp_.Root().c_str(), 1);
    tree_.Write("a.txt", "red");
  }
  void TearDown() override {
    LocalSearch::TearDown();
    if (saved_.empty()) unsetenv("TMPDIR");
    else setenv("TMPDIR", saved_.c_str(), 1);
  }
  std::string Private() const { return temp_.Root() + "larkspan-" + std::to_string(geteuid()) + "/"; }
  test::ScanTree temp_;
  std::string saved_;
};

TEST_F(CdromSearch, AFolderOfAnotherUserIsNotUsed) {
  std::filesystem::create_directory(Private());
  ASSERT_EQ(chown(Private().c_str(), 65534, 65534), 0);
  Open({"/home=" + StartPage(), "/cdrom"});
  RunSearch([&](TfrmLocalSearch& d) { Describe(d, "red", tree_.Root()); });
  EXPECT_EQ(Dialog().Counter(), 0);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_FALSE(FileExists(Private() + "LocalScanResult/FileScanResult1.html"));
}

TEST_F(CdromSearch, APlantedLinkIsReplacedNotFollowed) {
  const std::string target = tree_.Write("target.txt", "keep");
  std::filesystem::create_directories(Private() + "LocalScanResult");
  ASSERT_EQ(symlink(target.c_str(), (Private() + "LocalScanResult/FileScanResult1.html").c_str()), 0);
  Open({"/home=" + StartPage(), "/cdrom"});
  EXPECT_EQ(RunSearch([&](TfrmLocalSearch& d) { Describe(d, "red", tree_.Root()); }), mrOk);
  EXPECT_EQ(test::ReadFile(target), "keep");
  struct stat st {};
  ASSERT_EQ(lstat((Private() + "LocalScanResult/FileScanResult1.html").c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(ShownURL(), "file://" + Private() + "LocalScanResult/FileScanResult1.html");
}

TEST_F(LocalSearch, HomeTypeOneOpensTheDialogOnceWhateverTheIdleTimerDoes) {
  Write("larkspan.ini", "[HomePage]\r\nType=1\r\nLoadHomePageAfter=1\r\nSecondsIdleTime=1\r\n");
  int showings = 0;
  test_driver::OnModalShown([&](TCustomForm* form) {
    auto* dialog = dynamic_cast<TfrmLocalSearch*>(form);
    if (!dialog) return;
    ++showings;
    for (int i = 0; i < 5; ++i) window_->timerHome->Fire();
    dialog->ModalResult = mrCancel;
  });
  Open({});
  EXPECT_EQ(showings, 1);
}

// The links of a result page, in order.
std::vector<std::string> PageLinks(const std::string& page) {
  std::vector<std::string> links;
  const std::string open = "<a href=\"";
  for (std::size_t at = page.find(open); at != std::string::npos; at = page.find(open, at + 1)) {
    const std::size_t from = at + open.size();
    links.push_back(page.substr(from, page.find('"', from) - from));
  }
  return links;
}

TEST_F(LocalSearch, EachHitIsALinkOnThePageThatOpensItsFile) {
  tree_.Write("a b.txt", "red");
  tree_.Write("sub/c.txt", "red and more");
  tree_.Write("d.txt", "blue");
  Open({"/home=" + StartPage()});
  ASSERT_EQ(RunSearch([&](TfrmLocalSearch& d) { Describe(d, "red", tree_.Root()); }), mrOk);
  std::vector<std::string> links = PageLinks(test::ReadFile(Dialog().ResultPageName()));
  std::sort(links.begin(), links.end());
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(FileURLToPath(links[0]), tree_.Root() + "a b.txt");
  EXPECT_EQ(FileURLToPath(links[1]), tree_.Root() + "sub/c.txt");
  for (const std::string& link : links) {
    Navigate(link);
    EXPECT_EQ(FileURLToPath(ShownURL()), FileURLToPath(link));
  }
}

// Enter in the keyword box, pressed on the keyboard, keeps the keyword in
// its history once.
TEST_F(LocalSearch, EnterPressedInTheKeywordBoxFillsItsHistoryOnce) {
  Open({"/home=" + StartPage()});
  RunSearch([&](TfrmLocalSearch& d) {
    Describe(d, "violet", tree_.Root());
    test_driver::PumpWindowSystem();  // the dialog's window shows
    d.cbKeyword->SetFocus();
    for (int i = 0; i < 2; ++i) {
      test_driver::PressKey(VK_RETURN);
      Application()->ProcessMessages();  // input reaches controls through the queue
    }
    EXPECT_EQ(d.cbKeyword->Items().Count(), 1);
    EXPECT_EQ(d.cbKeyword->Items().Get(0), "violet");
    EXPECT_EQ(d.ModalResult, mrNone);  // Enter there does not start the search
    d.ModalResult = mrCancel;
  });
  EXPECT_EQ(Dialog().Counter(), 0);
}

// Twenty searches in one run, stops and failures among them, for the
// sanitizer run too: each ends in the idle look and the next one works.
TEST_F(LocalSearch, TwentySearchesWithStopsAndFailuresInOneRun) {
  for (int i = 0; i < 300; ++i) tree_.Write("f" + std::to_string(i) + ".txt", i % 3 ? "red" : "blue");
  Open({"/home=" + StartPage()});
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  int opened = 0;
  for (int n = 0; n < 20; ++n) {
    const int kind = n % 4;  // 0, 1: whole; 2: stopped; 3: the page cannot be written
    const int result = RunSearch([&](TfrmLocalSearch& d) {
      Describe(d, "red", tree_.Root());
      int progress = 0;
      auto shown = d.FileScan().OnScanProgress;
      if (kind == 2)
        d.FileScan().OnScanProgress = [&, shown](const std::string& text) {
          shown(text);
          if (++progress == 50) d.btCancel->Click();
        };
      rlimit small = saved;
      small.rlim_cur = 256;
      if (kind == 3) setrlimit(RLIMIT_FSIZE, &small);
      d.btStart->Click();
      setrlimit(RLIMIT_FSIZE, &saved);
      d.FileScan().OnScanProgress = shown;
      EXPECT_FALSE(d.Searching());
      EXPECT_TRUE(d.PageControl1->Enabled());
    }, false);
    opened += result == mrOk;
    EXPECT_EQ(result, kind < 2 ? mrOk : mrCancel) << n;
    if (kind < 2) EXPECT_EQ(Hits(), 200) << n;
  }
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(opened, 10);
  EXPECT_EQ(Dialog().Counter(), 20);
  EXPECT_EQ(boxes_.size(), 5u);
}

}  // namespace
}  // namespace lark
