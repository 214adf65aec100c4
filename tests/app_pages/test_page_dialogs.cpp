#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>

#include "app/bookmarks_list_form.h"
#include "app/main_entry.h"
#include "app/full_screen_form.h"
#include "app/main_window.h"
#include "app/options.h"
#include "app/source_form.h"
#include "app/splash_form.h"
#include "platform/graphics/screen.h"
#include "platform/windows/action.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/edit.h"
#include "platform/windows/label.h"
#include "platform/windows/list_controls.h"
#include "platform/windows/menus.h"
#include "platform/windows/panel.h"
#include "platform/windows/test_driver.h"
#include "platform/windows/timer.h"
#include "tests/app_main/main_window_fixture.h"
#include "tests/net/nginx_peer.h"
#include "tests/net_tls/tls_test_support.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

const std::string kPage = "<html><head><title>page</title></head><body><p>caf\xC3\xA9 page</p></body></html>\n";
// Latin-1 bytes, named as such.
const std::string kLatinPage =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"
    "<title>latin</title></head><body><p>caf\xE9 \xE0 la carte</p></body></html>\n";
const std::string kResultPage = "<html><head><title>result</title></head><body>static result</body></html>\n";

class PageDialogs : public MainWindowTest {
 protected:
  // Runs a command whose modal form `inspect` sees as it shows; the form
  // is closed with Cancel after `inspect` unless it closes itself within
  // ten seconds (then the test fails rather than hangs).
  void RunModal(const std::function<void()>& command, const std::function<void(TCustomForm*)>& inspect) {
    bool timedOut = false;
    TCustomForm* shown = nullptr;
    TTimer deadline(nullptr);
    deadline.SetInterval(10000);
    deadline.OnTimer = [&](TObject*) {
      timedOut = true;
      if (shown) shown->ModalResult = mrCancel;
    };
    test_driver::OnModalShown([&](TCustomForm* form) {
      if (shown) return;
      shown = form;
      deadline.SetEnabled(true);
      inspect(form);
    });
    command();
    test_driver::OnModalShown(nullptr);
    EXPECT_NE(shown, nullptr);
    EXPECT_FALSE(timedOut);
  }
  TAction* Action(const char* name) const { return dynamic_cast<TAction*>(window_->FindComponent(name)); }
  // A command as the user gives it: a menu-bar entry or a key.
  std::function<void()> Menu(const std::string& path) const {
    return [this, path] {
      ASSERT_TRUE(test_driver::ChooseMenuBarEntry(window_, path)) << path;
      Settle();
    };
  }
  static std::function<void()> Key(unsigned short key) {
    return [key] {
      test_driver::PressKey(key);
      Settle();
    };
  }
  TMenuItem* Item(const char* name) const { return dynamic_cast<TMenuItem*>(window_->FindComponent(name)); }
};

// ---- page source ----

class PageSource : public PageDialogs {
 protected:
  void SetUp() override {
    PageDialogs::SetUp();
    setenv("SSL_CERT_FILE", test::Certificates().caFile.c_str(), 1);
    for (test::NginxPeer* peer : {&http_, &https_}) {
      peer->WriteFile("page.html", kPage);
      peer->WriteFile("latin.html", kLatinPage);
      peer->WriteFile("result.html", kResultPage);
      peer->WriteFile("frames.html",
                      "<html><frameset cols=\"50%,50%\"><frame src=\"page.html\"><frame src=\"result.html\">"
                      "</frameset></html>");
      peer->WriteFile("form.html", "<html><body><form action=\"result.html\"><input name=q></form></body></html>");
      peer->ServerConfig += "    access_log " + peer->Root() + "/../access.log;\n";
      // A query gets an answer of its own.
      peer->ServerConfig +=
          "    location = /result.html { default_type text/html; if ($args) { return 200 \"<html><body>got "
          "$arg_q</body></html>\"; } }\n";
      peer->Start();
      ASSERT_TRUE(peer->Started()) << peer->Error();
    }
  }
  // Requests nginx has answered so far.
  static int Requests(const test::NginxPeer& peer) {
    std::ifstream log(peer.Root() + "/../access.log");
    int lines = 0;
    for (std::string line; std::getline(log, line);) ++lines;
    return lines;
  }
  struct Shown {
    std::string memo, bytes;
  };
  // The source dialog of the page on show; `then` runs while it shows.
  Shown ShowSource(const std::function<void(TfrmSource&)>& then = {}) {
    Shown shown;
    RunModal(Menu("&View/Page &source"), [&](TCustomForm* form) {
      auto* source = dynamic_cast<TfrmSource*>(form);
      ASSERT_NE(source, nullptr);
      EXPECT_TRUE(source->Memo->ReadOnly());
      shown = {source->Memo->GetText(), source->SourceBytes()};
      if (then) then(*source);
      source->ModalResult = mrOk;
    });
    return shown;
  }
  // "Save as" to `name`; the replace question gets `answer`. Returns the
  // name the dialog proposed.
  std::string SaveAs(TfrmSource& source, const std::string& name, int answer = mrYes) {
    std::string proposed;
    test_driver::AnswerDialogs([&](TCommonDialog* dialog) {
      auto* save = dynamic_cast<TSaveDialog*>(dialog);
      proposed = save->FileName;
      save->FileName = name;
      return true;
    });
    test_driver::AnswerMessageBoxes([&](const std::string& text, TMsgDlgType, TMsgDlgButtons) {
      boxes_.push_back(text);
      return answer;
    });
    source.miSaveAsClick(nullptr);
    return proposed;
  }

  test::NginxPeer http_;
  test::NginxPeer https_{test::Certificates().goodCert, test::Certificates().goodKey};
};

TEST_F(PageSource, ComesFromTheCacheOrTheFileAndNeverAsksTheServerAgain) {
  Write("local.html", kLatinPage);
  Open({"/home=" + StartPage()});
  Navigate(http_.Url("/page.html"));
  ASSERT_EQ(ShownTitle(), "page");
  const int before = Requests(http_);
  Shown shown = ShowSource();
  EXPECT_EQ(shown.bytes, kPage);
  EXPECT_NE(shown.memo.find("caf\xC3\xA9 page"), std::string::npos) << shown.memo;
  EXPECT_EQ(Requests(http_), before);

  // https is never cached: what the viewer parsed, without a new request.
  Navigate(https_.Url("/page.html"));
  ASSERT_EQ(ShownTitle(), "page");
  const int httpsBefore = Requests(https_);
  EXPECT_EQ(ShowSource().bytes, kPage);
  EXPECT_EQ(Requests(https_), httpsBefore);

  // A form result shows what came back.
  Navigate(http_.Url("/form.html"));
  THTMLViewer* viewer = window_->FrameBrowser->ActiveViewer();
  viewer->OnFormSubmit()(viewer, "result.html", "", "", "GET", {"q=sent"});
  Settle();
  ASSERT_NE(viewer = window_->FrameBrowser->ActiveViewer(), nullptr);
  const int formBefore = Requests(http_);
  shown = ShowSource();
  EXPECT_EQ(shown.bytes, "<html><body>got sent</body></html>");
  EXPECT_EQ(Requests(http_), formBefore);

  // In a frameset the last frame asked for is in the cache, yet the source
  // is the active frame's.
  Navigate(http_.Url("/frames.html"));
  ASSERT_NE(viewer = window_->FrameBrowser->ActiveViewer(), nullptr);
  EXPECT_EQ(ShowSource().bytes, viewer->DocumentSource());
  EXPECT_EQ(viewer->DocumentSource(), viewer->CurrentFile().ends_with("page.html") ? kPage : kResultPage);

  // A local file, Latin-1, read through its connection and decoded as such.
  Navigate(Path("local.html"));
  ASSERT_EQ(ShownTitle(), "latin");
  shown = ShowSource();
  EXPECT_EQ(shown.bytes, kLatinPage);
  EXPECT_NE(shown.memo.find("caf\xC3\xA9 \xC3\xA0 la carte"), std::string::npos) << shown.memo;
}

TEST_F(PageSource, SaveAsWritesTheBytesUnchangedAndAsksBeforeReplacing) {
  Open({"/home=" + StartPage()});
  Navigate(http_.Url("/latin.html"));
  ASSERT_EQ(ShownTitle(), "latin");
  const std::string target = Path("saved");
  ShowSource([&](TfrmSource& source) {
    // ".html" is added to a bare name, and never twice.
    EXPECT_EQ(SaveAs(source, target), "latin.html");
    EXPECT_EQ(test::ReadFile(target + ".html"), kLatinPage);
    EXPECT_TRUE(boxes_.empty());
    // An existing file: No keeps it, Yes replaces it.
    test::WriteFile(target + ".html", "older");
    SaveAs(source, target + ".html", mrNo);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], "The file " + target + ".html already exists. Do you want to replace the existing file?");
    EXPECT_EQ(test::ReadFile(target + ".html"), "older");
    SaveAs(source, target + ".html", mrYes);
    EXPECT_EQ(test::ReadFile(target + ".html"), kLatinPage);
    SaveAs(source, target + ".HTM");
    EXPECT_EQ(test::ReadFile(target + ".HTM"), kLatinPage);
    // A folder that is not there: a message, and no file.
    boxes_.clear();
    SaveAs(source, Path("missing/x.html"));
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_NE(boxes_[0].find("missing/x.html"), std::string::npos) << boxes_[0];
  });
  EXPECT_FALSE(std::ifstream(target + ".html.html").good());
}

TEST(PageSourceText, DoubleByteTextReadsWholeAcrossTheDecodingSlices) {
  StartProgram();
  test::TempDir dir;
  std::string page = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">";
  // A character across each 64 KiB slice end.
  if ((65536 - page.size()) % 2 == 0) page += "a";
  std::string expected = page;
  for (int i = 0; i < 70000; ++i) {
    page += "\x82\xA0";
    expected += "\xE3\x81\x82";
  }
  std::unique_ptr<TfrmSource> source(NewForm<TfrmSource>(nullptr));
  source->LoadSource("file://" + dir.Write("sjis.html", page), nullptr, nullptr, "");
  EXPECT_EQ(source->SourceBytes(), page);
  EXPECT_TRUE(source->Memo->GetText() == expected);
}

// ---- bookmark list ----

class BookmarkList : public PageDialogs {
 protected:
  void WriteBookmarks(int count) {
    std::string ini = "[Bookmarks]\n";
    for (int i = 0; i < count; ++i)
      ini += "Name" + std::to_string(i) + "=b" + std::to_string(i) + "\nLink" + std::to_string(i) + "=http://h/" +
             std::to_string(i) + "\n";
    Write("larkspan.ini", ini);
  }
  // The bookmark entries of the menu, after "Manager" and its line.
  std::vector<std::string> MenuBookmarks() const {
    std::vector<std::string> captions;
    TMenuItem* menu = window_->miBookmarks;
    bool after = false;
    for (int i = 0; i < menu->Count(); ++i) {
      if (after && !menu->Items(i)->IsLine()) captions.push_back(menu->Items(i)->Caption());
      after = after || menu->Items(i)->Caption() == "Manager";
    }
    return captions;
  }
  // The list dialog; `edit` works it and says how it ends.
  void RunList(const std::function<TModalResult(TfrmBookmarksList&)>& edit) {
    RunModal(Menu("&Bookmarks/Manager"), [&](TCustomForm* form) {
               auto* list = dynamic_cast<TfrmBookmarksList*>(form);
               ASSERT_NE(list, nullptr);
               EXPECT_EQ(list->Caption(), "Bookmark list");
               const TModalResult result = edit(*list);
               if (result == mrOk) list->btOKClick(nullptr);
               list->ModalResult = result;
             });
  }
  static void Select(TfrmBookmarksList& list, int index) {
    std::vector<bool> selection(list.Links().size(), false);
    selection[static_cast<std::size_t>(index)] = true;
    list.lbBookmarkList->SetSelection(selection, index);
  }
};

TEST_F(BookmarkList, MovesStopAtTheEndsAndNothingIsWrittenWithoutAChange) {
  WriteBookmarks(31);
  Open({"/home=" + StartPage()});
  EXPECT_EQ(MenuBookmarks().size(), 31u);
  const std::string ini = test::ReadFile(IniFile());
  RunList([&](TfrmBookmarksList& list) {
    EXPECT_EQ(list.lbBookmarkList->Items().Count(), 31);
    EXPECT_EQ(list.Links().back(), "http://h/30");
    list.btDeleteClick(nullptr);  // nothing selected
    Select(list, 0);
    list.btUpClick(nullptr);
    Select(list, 30);
    list.btDownClick(nullptr);
    EXPECT_FALSE(list.Changed());
    return mrOk;
  });
  EXPECT_EQ(test::ReadFile(IniFile()), ini);
  // Cancel after a change writes nothing either.
  RunList([&](TfrmBookmarksList& list) {
    Select(list, 3);
    list.btDeleteClick(nullptr);
    EXPECT_TRUE(list.Changed());
    return mrCancel;
  });
  EXPECT_EQ(test::ReadFile(IniFile()), ini);
  EXPECT_EQ(MenuBookmarks().size(), 31u);
}

TEST_F(BookmarkList, OkSavesTheNewOrderAndTheMenuFollowsDownToNone) {
  WriteBookmarks(3);
  Open({"/home=" + StartPage()});
  RunList([&](TfrmBookmarksList& list) {
    Select(list, 0);
    list.btDownClick(nullptr);  // b1 b0 b2, b0 still selected
    list.btDownClick(nullptr);  // b1 b2 b0
    EXPECT_EQ(list.lbBookmarkList->ItemIndex(), 2);
    Select(list, 1);
    list.btDeleteClick(nullptr);  // b1 b0
    return mrOk;
  });
  EXPECT_EQ(MenuBookmarks(), (std::vector<std::string>{"b1", "b0"}));
  EXPECT_EQ(window_->Options->GetBookmarkLink(1), "http://h/0");
  TOptions reread(IniFile());
  EXPECT_EQ(reread.GetBookmarkName(0), "b1");
  EXPECT_EQ(reread.GetBookmarkLink(0), "http://h/1");
  EXPECT_EQ(reread.BookmarkCount(), 2);
  RunList([&](TfrmBookmarksList& list) {
    while (list.lbBookmarkList->Items().Count() > 0) {
      Select(list, 0);
      list.btDeleteClick(nullptr);
    }
    return mrOk;
  });
  EXPECT_TRUE(MenuBookmarks().empty());
  EXPECT_EQ(TOptions(IniFile()).BookmarkCount(), 0);
}

// ---- full screen and About ----

TEST_F(PageDialogs, FullScreenLendsThePageAndItsHistoryToTheWholeScreenUntilF11) {
  Write("one.html", "<html><head><title>one</title></head><body>one</body></html>");
  Write("two.html", "<html><head><title>two</title></head><body>two</body></html>");
  Open({"/home=" + Path("one.html")});
  Navigate(Path("two.html"));
  ASSERT_EQ(ShownTitle(), "two");
  TMenuItem* closeItem = Item("miCloseFullScreen");
  for (int round = 0; round < 10; ++round) {
    // F11 on the main window opens it, F11 on the full-screen form closes it.
    RunModal(round % 2 ? Key(VK_F11) : Menu("&View/F&ull screen"), [&](TCustomForm* form) {
      auto* fullScreen = dynamic_cast<TfrmFullScreen*>(form);
      ASSERT_NE(fullScreen, nullptr);
      EXPECT_TRUE(fullScreen->FullScreen());
      EXPECT_EQ(fullScreen->BorderStyle(), TFormBorderStyle::bsNone);
      EXPECT_EQ(GetParentForm(window_->FrameBrowser), fullScreen);
      EXPECT_EQ(window_->FrameBrowser->Width(), Screen()->Width());
      EXPECT_EQ(window_->FrameBrowser->Height(), Screen()->Height());
      EXPECT_FALSE(window_->miView1->Visible());
      EXPECT_TRUE(closeItem->Visible());
      EXPECT_EQ(closeItem->ShortCut, ShortCut(VK_F11, 0));
      // The history came along.
      window_->FrameBrowser->GoBack();
      EXPECT_EQ(ShownTitle(), "one");
      window_->FrameBrowser->GoFwd();
      EXPECT_EQ(ShownTitle(), "two");
      test_driver::PressKey(VK_F11);
    });
    EXPECT_EQ(window_->FrameBrowser->Parent(), window_->Panel1);
    EXPECT_EQ(closeItem->ShortCut, 252);
    EXPECT_FALSE(closeItem->Visible());
    EXPECT_TRUE(window_->miView1->Visible());
  }
  EXPECT_EQ(ShownTitle(), "two");
  // Escape closes it too.
  RunModal([this] { Action("actionFullScreen")->Execute(); }, [](TCustomForm*) { test_driver::PressKey(VK_ESCAPE); });
  EXPECT_EQ(window_->FrameBrowser->Parent(), window_->Panel1);
}

TEST_F(PageDialogs, FullScreenNeedsAPageAndAboutShowsTitleVersionAndOk) {
  Open({});
  ASSERT_EQ(window_->FrameBrowser->ActiveViewer(), nullptr);
  test_driver::OnModalShown([](TCustomForm* form) {
    ADD_FAILURE() << "shown: " << form->Caption();
    form->ModalResult = mrCancel;
  });
  Action("actionFullScreen")->Execute();
  test_driver::OnModalShown(nullptr);
  EXPECT_EQ(window_->FrameBrowser->Parent(), window_->Panel1);

  RunModal(Menu("&Help/&About Larkspan"), [](TCustomForm* form) {
    auto* splash = dynamic_cast<TfrmSplash*>(form);
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->btOK->Visible());
    EXPECT_FALSE(splash->lbTitle->Caption().empty());
    EXPECT_NE(splash->lbVersion->Caption().find(kProgramVersion), std::string::npos);
    test_driver::PressKey(VK_RETURN);
  });
}

}  // namespace
}  // namespace lark
