// The main window's commands reached from menus, tool buttons and keys, and
// the settings that lock them in a kiosk, against nginx and its log.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <typeinfo>

#include "app/disk_cache.h"
#include "app/options.h"
#include "controls/adv_status_bar.h"
#include "controls/page_setup.h"
#include "platform/windows/action.h"
#include "platform/windows/application.h"
#include "platform/windows/bars.h"
#include "platform/windows/button.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/edit.h"
#include "platform/windows/label.h"
#include "platform/graphics/printer.h"
#include "platform/windows/menus.h"
#include "platform/windows/shell.h"
#include "platform/windows/test_driver.h"
#include "tests/app_main/main_window_fixture.h"
#include "tests/net/nginx_peer.h"
#include "tests/print/print_fixtures.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

std::string Page(const std::string& title, const std::string& body) {
  return "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
}

// The window against nginx, every request in its log.
class MainWindowCommands : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    nginx_.ServerConfig = "    access_log " + logs_.Path() + "/access.log;\n";
    nginx_.WriteFile("a.html", Page("Page A", "needle one Needle two needle three"));
    nginx_.WriteFile("b.html", Page("Page B", "<form><input name=q value=\"field text\"></form>"));
    nginx_.Start();
    ASSERT_TRUE(nginx_.Started()) << nginx_.Error();
    test_driver::AnswerDialogs([this](TCommonDialog* dialog) {
      dialogs_.push_back(dialog);
      return answer_ ? answer_(dialog) : false;
    });
    test_driver::OnModalShown([this](TCustomForm* form) {
      forms_.push_back(form->Name());
      if (onModal_) onModal_(form);
      else form->ModalResult = mrCancel;
    });
  }
  [[nodiscard]] std::string Log() const {
    std::ifstream in(logs_.Path() + "/access.log");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  [[nodiscard]] int Requests(const std::string& path) const {
    const std::string log = Log(), wanted = "GET " + path + " ";
    int count = 0;
    for (std::size_t at = log.find(wanted); at != std::string::npos; at = log.find(wanted, at + 1)) ++count;
    return count;
  }
  void Key(unsigned short key, TShiftState shift = 0) {
    test_driver::PressKey(key, shift);
    Settle();
  }
  // Chooses a menu bar entry by its captions without their "&" marks.
  bool Choose(const std::string& path) {
    std::string exact;
    TMenuItem* item = window_->MainMenu->Items();
    for (std::size_t start = 0; item && start <= path.size();) {
      const std::size_t end = std::min(path.find('/', start), path.size());
      item = item->Find(path.substr(start, end - start));
      if (item) exact += (exact.empty() ? "" : "/") + item->Caption();
      start = end + 1;
    }
    const bool chosen = item && test_driver::ChooseMenuBarEntry(window_, exact);
    Settle();
    return chosen;
  }

  test::TempDir logs_;
  test::NginxPeer nginx_;
  std::vector<TCommonDialog*> dialogs_;
  std::vector<std::string> forms_;
  std::function<bool(TCommonDialog*)> answer_;
  std::function<void(TCustomForm*)> onModal_;
};

template <typename T>
T* FindControl(TWinControl* parent) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    if (auto* found = dynamic_cast<T*>(parent->Controls(i))) return found;
    if (auto* inner = dynamic_cast<TWinControl*>(parent->Controls(i)))
      if (T* found = FindControl<T>(inner)) return found;
  }
  return nullptr;
}

TEST_F(MainWindowCommands, KioskSettingsHideCommandsFromMenusKeysAndTheCloseBox) {
  Write("larkspan.ini",
        "[Buttons]\nForward=0\nStop=0\nReload=0\nSearch=0\nAdd=0\nOpen=0\nSave=0\nPreview=0\nPrint=0\nClose=0\n"
        "[FormMain]\nResize=0\n[Bar]\nMenuBar=0\nAdmin=0\nCustButton=0\nPanelAddress=0\nDirectoryButtons=0\n");
  Open({"/home=" + nginx_.Url("/a.html")});
  std::vector<std::string> shown;
  for (int i = 0; i < window_->tbInternetButtons->ControlCount(); ++i)
    if (auto* b = dynamic_cast<TToolButton*>(window_->tbInternetButtons->Controls(i));
        b && b->Showing() && b->Style() != TToolButtonStyle::tbsSeparator)
      shown.push_back(b->Name());
  EXPECT_EQ(shown, (std::vector<std::string>{"tbBack", "tbHome"}));
  EXPECT_EQ(window_->tbInternetButtons->PopupMenu(), nullptr);
  EXPECT_EQ(window_->lbAddress->PopupMenu(), nullptr);
  EXPECT_EQ(window_->StatusBar->PopupMenu(), nullptr);
  ASSERT_EQ(Requests("/a.html"), 1);
  const std::string log = Log();
  const std::string settings = test::ReadFile(IniFile());
  window_->FrameBrowser->SetFocus();
  // Open, save, print, find, find next, add bookmark, reload, full screen.
  for (auto [key, shift] : {std::pair<int, TShiftState>{'O', ssCtrl}, {'S', ssCtrl}, {'P', ssCtrl}, {'F', ssCtrl},
                            {'D', ssCtrl}, {VK_F1 + 2, 0}, {VK_F5, 0}, {VK_F11, 0}})
    Key(static_cast<unsigned short>(key), shift);
  // Enter in the page: the hidden Go button takes no Enter.
  window_->cbAddress->SetText(nginx_.Url("/b.html"));
  Key(VK_RETURN);
  EXPECT_TRUE(dialogs_.empty());
  EXPECT_TRUE(forms_.empty());
  EXPECT_EQ(Log(), log);
  EXPECT_EQ(test::ReadFile(IniFile()), settings);  // no bookmark written
  EXPECT_EQ(ShownTitle(), "Page A");
  // Neither the close box nor the window menu's Close closes it.
  test_driver::ClickCloseBox(window_);
  Settle();
  window_->Perform(WM_SYSCOMMAND, SC_CLOSE);
  Settle();
  EXPECT_TRUE(window_->Visible());
  EXPECT_FALSE(test_driver::FrameHasCloseBox(window_));
  // The buttons it shows still work from their keys.
  Key(VK_HOME, ssAlt);
  EXPECT_EQ(window_->cbAddress->GetText(), "");
}

TEST_F(MainWindowCommands, KeysMenusAndButtonsRunTheirCommands) {
  Open({"/home=" + nginx_.Url("/a.html")});
  Navigate(nginx_.Url("/b.html"));
  ASSERT_EQ(ShownTitle(), "Page B");
  // The page's text field and the address box keep Ctrl+A and Ctrl+C.
  auto* field = FindControl<TEdit>(window_->FrameBrowser);
  ASSERT_NE(field, nullptr);
  field->SetFocus();
  Key('A', ssCtrl);
  Key('C', ssCtrl);
  EXPECT_EQ(Clipboard()->AsText(), "field text");
  window_->cbAddress->SetFocus();
  Key('A', ssCtrl);
  Key('C', ssCtrl);
  EXPECT_EQ(Clipboard()->AsText(), nginx_.Url("/b.html"));
  // Elsewhere they copy the page.
  Key(VK_LEFT, ssAlt);
  window_->FrameBrowser->SetFocus();
  Key('A', ssCtrl);
  Key('C', ssCtrl);
  EXPECT_NE(Clipboard()->AsText().find("needle one Needle two"), std::string::npos) << Clipboard()->AsText();
  Clipboard()->SetAsText("");
  dynamic_cast<TMenuItem*>(window_->FindComponent("miCopyText"))->Click();  // the pop-up's Copy
  EXPECT_NE(Clipboard()->AsText().find("needle one"), std::string::npos);
  // Find keeps its text and case flag for Find next.
  answer_ = [](TCommonDialog* dialog) {
    auto* find = dynamic_cast<TFindDialog*>(dialog);
    find->FindText = "Needle";
    find->Options |= frMatchCase;
    return true;
  };
  Key('F', ssCtrl);
  THTMLViewer* viewer = window_->FrameBrowser->ActiveViewer();
  const int found = viewer->SelStart();
  EXPECT_EQ(std::abs(viewer->GetSelLength()), 6);
  ASSERT_TRUE(Choose("Edit/Find next"));
  EXPECT_EQ(viewer->SelStart(), found);  // the only match with this case
  answer_ = [](TCommonDialog* dialog) {
    dynamic_cast<TFindDialog*>(dialog)->FindText = "needle";
    return true;
  };
  ASSERT_TRUE(Choose("Edit/Find..."));
  EXPECT_GT(viewer->SelStart(), found);  // the next one, of any case
  // Open: the filter as given, then the local file.
  answer_ = [this](TCommonDialog* dialog) {
    auto* open = dynamic_cast<TOpenDialog*>(dialog);
    EXPECT_EQ(open->Filter,
              "html files|*.htm;*.html|image files|*.bmp;*.gif;*.jpg;*.jpeg;*.png|text files|*.txt|all files|*.*");
    open->FileName = Path("error.html");
    return true;
  };
  Key('O', ssCtrl);
  EXPECT_EQ(ShownURL(), FileURL("error.html"));
  // Page setup: centimetres in, hundredths of a millimetre in the dialog.
  window_->FrameBrowser->SetPrintMargins(1.5, 2.5, 1.0, 3.25);
  answer_ = [](TCommonDialog* dialog) {
    auto* setup = dynamic_cast<TPageSetupDlg*>(dialog);
    EXPECT_EQ(setup->Margins, (TPSRect{1500, 1000, 2500, 3250}));
    EXPECT_EQ(setup->Measurements(), TPSMeasurements::pmMillimeters);
    EXPECT_FALSE(setup->Options & poShowHelp);
    setup->Margins = TPSRect{1200, 800, 900, 2000};
    return true;
  };
  ASSERT_TRUE(Choose("File/Page setup..."));
  EXPECT_DOUBLE_EQ(window_->FrameBrowser->PrintMarginLeft(), 1.2);
  EXPECT_DOUBLE_EQ(window_->FrameBrowser->PrintMarginTop(), 0.8);
  EXPECT_DOUBLE_EQ(window_->FrameBrowser->PrintMarginRight(), 0.9);
  EXPECT_DOUBLE_EQ(window_->FrameBrowser->PrintMarginBottom(), 2.0);
  // Show images, bars.
  ASSERT_TRUE(Choose("Options/Show images"));
  EXPECT_FALSE(window_->FrameBrowser->ViewImages());
  ASSERT_TRUE(Choose("View/Status bar"));
  EXPECT_FALSE(window_->StatusBar->Visible());
  // Encoding: the item is ticked and the browser takes its set.
  dynamic_cast<TMenuItem*>(window_->FindComponent("miGreek"))->Click();
  EXPECT_TRUE(dynamic_cast<TMenuItem*>(window_->FindComponent("miGreek"))->Checked());
  EXPECT_FALSE(dynamic_cast<TMenuItem*>(window_->FindComponent("miDefault"))->Checked());
  EXPECT_EQ(window_->FrameBrowser->CharSet(), 161);
}

// Each command from every path it has: its menu entry, its tool button and
// its key, each path checked by the command's own effect.
TEST_F(MainWindowCommands, EveryPathOfACommandRunsIt) {
  test::ProgramPrinter printer(std::make_unique<TTestPrinter>(test::TestPrinterCaps(false)));
  Write("larkspan.ini", "[HomePage]\nType=2\nAddress=" + nginx_.Url("/a.html") + "\n");
  Open({});
  ASSERT_EQ(ShownTitle(), "Page A");
  std::size_t mark = 0;
  // Dialogs live only while shown: their kinds are noted then.
  std::vector<const std::type_info*> dialogKinds;
  const auto noteKind = [&](TCommonDialog* dialog) {
    dialogKinds.push_back(&typeid(*dialog));
    return false;
  };
  answer_ = noteKind;
  const auto shownDialogs = [&] { mark = dialogKinds.size(); };
  const auto shownForms = [&] { mark = forms_.size(); };
  const auto lastDialogIs = [&](const std::type_info& type) {
    return dialogKinds.size() == mark + 1 && *dialogKinds.back() == type;
  };
  const auto lastFormIs = [&](const std::string& name) { return forms_.size() > mark && forms_.back() == name; };
  // The preview's recording runs in a status dialog of its own.
  onModal_ = [](TCustomForm* form) {
    if (form->Name() != "frmPrintStatus") form->ModalResult = mrCancel;
  };
  THTMLViewer* viewer = nullptr;
  struct Paths {
    std::string menu, button;
    unsigned short key;
    TShiftState shift;
    std::function<void()> prepare;
    std::function<bool()> done;
  };
  const std::vector<Paths> commands = {
      {"View/Navigation/Back", "tbBack", VK_LEFT, ssAlt, [&] { Navigate(nginx_.Url("/b.html")); },
       [&] { return ShownTitle() == "Page A"; }},
      {"View/Navigation/Forward", "tbForward", VK_RIGHT, ssAlt,
       [&] {
         Navigate(nginx_.Url("/b.html"));
         Key(VK_LEFT, ssAlt);
       },
       [&] { return ShownTitle() == "Page B"; }},
      // Reload asks the server again, past the cache, and stays usable.
      {"View/Navigation/Reload", "tbReload", VK_F5, 0, [&] { mark = Requests("/b.html"); },
       [&] {
         return Requests("/b.html") == static_cast<int>(mark) + 1 && ShownTitle() == "Page B" &&
                window_->actionReload->Enabled();
       }},
      {"View/Navigation/Home", "tbHome", VK_HOME, ssAlt, [&] { Navigate(nginx_.Url("/b.html")); },
       [&] { return ShownTitle() == "Page A"; }},
      {"Edit/Find next", "", VK_F1 + 2, 0,
       [&] {
         Navigate(nginx_.Url("/b.html"));
         Navigate(nginx_.Url("/a.html"));
         answer_ = [](TCommonDialog* dialog) {
           dynamic_cast<TFindDialog*>(dialog)->FindText = "needle";
           return true;
         };
         dynamic_cast<TAction*>(window_->FindComponent("actionFind"))->Execute();
         Settle();
         answer_ = noteKind;
         viewer = window_->FrameBrowser->ActiveViewer();
         mark = viewer->SelStart();
       },
       [&] { return viewer->SelStart() > static_cast<int>(mark); }},
      {"Edit/Find...", "", 'F', ssCtrl, shownDialogs, [&] { return lastDialogIs(typeid(TFindDialog)); }},
      {"Bookmarks/Add bookmark", "tbAdd", 'D', ssCtrl, shownForms, [&] { return lastFormIs("frmAddBookmark"); }},
      {"File/Search...", "tbSearch", 0, 0, shownForms, [&] { return lastFormIs("frmLocalSearch"); }},
      {"File/Open...", "tbOpen", 'O', ssCtrl, shownDialogs, [&] { return lastDialogIs(typeid(TOpenDialog)); }},
      {"File/Save...", "tbSave", 'S', ssCtrl, shownDialogs, [&] { return lastDialogIs(typeid(TSaveDialog)); }},
      {"File/Print...", "tbPrint", 'P', ssCtrl, shownDialogs, [&] { return lastDialogIs(typeid(TPrintDialog)); }},
      {"File/Print preview", "tbPreview", 0, 0, shownForms, [&] { return lastFormIs("frmPreview"); }},
  };
  for (const Paths& command : commands) {
    command.prepare();
    EXPECT_TRUE(Choose(command.menu)) << command.menu;
    EXPECT_TRUE(command.done()) << command.menu << " from its menu entry";
    if (!command.button.empty()) {
      command.prepare();
      auto* button = dynamic_cast<TControl*>(window_->FindComponent(command.button));
      test_driver::Click(button, button->Width() / 2, button->Height() / 2);
      Settle();
      EXPECT_TRUE(command.done()) << command.menu << " from " << command.button;
    }
    if (command.key) {
      command.prepare();
      window_->FrameBrowser->SetFocus();
      Key(command.key, command.shift);
      EXPECT_TRUE(command.done()) << command.menu << " from its key";
    }
  }
}

TEST_F(MainWindowCommands, AddBookmarkKeepsTitlesAsTyped) {
  Open({"/home=" + nginx_.Url("/a.html")});
  std::string title;
  std::string typed = "A&B";
  onModal_ = [&](TCustomForm* form) {
    auto* edit = dynamic_cast<TEdit*>(form->FindComponent("edNameBookmark"));
    title = edit->GetText();
    edit->SetText(typed);
    dynamic_cast<TButton*>(form->FindComponent("bbOK"))->Click();
  };
  Key('D', ssCtrl);
  EXPECT_EQ(title, "Page A");
  typed = "-";
  ASSERT_TRUE(Choose("Bookmarks/Add bookmark"));
  ASSERT_EQ(forms_.size(), 2u);
  TOptions stored(IniFile());
  EXPECT_EQ(stored.GetBookmarkName(0), "-");
  EXPECT_EQ(stored.GetBookmarkName(1), "A&B");
  EXPECT_EQ(stored.GetBookmarkLink(1), nginx_.Url("/a.html"));
  const int count = window_->miBookmarks->Count();
  TMenuItem* dash = window_->miBookmarks->Items(count - 2);
  TMenuItem* ab = window_->miBookmarks->Items(count - 1);
  EXPECT_FALSE(dash->IsLine());
  EXPECT_EQ(StripHotkey(dash->Caption()), "-");
  EXPECT_EQ(StripHotkey(ab->Caption()), "A&B");
  EXPECT_EQ(GetHotkey(ab->Caption()), 0);
  // Cancel adds nothing; closing it again and again leaves the page alone.
  onModal_ = nullptr;
  const std::string log = Log();
  for (int i = 0; i < 10; ++i) Key('D', ssCtrl);
  EXPECT_EQ(TOptions(IniFile()).BookmarkCount(), 2);
  EXPECT_EQ(Log(), log);
  EXPECT_EQ(ShownTitle(), "Page A");
}

// The options keep 31 bookmarks: a new one comes first and the oldest goes.
TEST_F(MainWindowCommands, ThirtyOneBookmarksAreKept) {
  std::string ini = "[Bookmarks]\n";
  for (int n = 0; n < 31; ++n)
    ini += "Name" + std::to_string(n) + "=B" + std::to_string(n) + "\nLink" + std::to_string(n) + "=http://b" +
           std::to_string(n) + "/\n";
  Write("larkspan.ini", ini);
  Open({"/home=" + nginx_.Url("/a.html")});
  onModal_ = [](TCustomForm* form) { dynamic_cast<TButton*>(form->FindComponent("bbOK"))->Click(); };
  Key('D', ssCtrl);
  TOptions stored(IniFile());
  EXPECT_EQ(stored.BookmarkCount(), 31);
  EXPECT_EQ(stored.GetBookmarkName(0), "Page A");
  EXPECT_EQ(stored.GetBookmarkName(1), "B0");
  EXPECT_EQ(stored.GetBookmarkName(30), "B29");
  EXPECT_EQ(StripHotkey(window_->miBookmarks->Items(window_->miBookmarks->Count() - 1)->Caption()), "B29");
}

// Home under the blank-page and home-address types, and dialogs closed
// again and again: activation neither asks the server nor changes the page.
TEST_F(MainWindowCommands, HomeTypesAskTheServerOnlyForTheHomeAddress) {
  for (const int type : {0, 2}) {
    Write("larkspan.ini", "[HomePage]\nType=" + std::to_string(type) + "\nAddress=" + nginx_.Url("/a.html") + "\n");
    const int before = Requests("/a.html");
    Open({});
    EXPECT_EQ(Requests("/a.html"), before + (type == 2 ? 1 : 0)) << type;
    Navigate(nginx_.Url("/b.html"));
    ASSERT_EQ(ShownTitle(), "Page B");
    const std::string log = Log();
    for (int i = 0; i < 10; ++i) Choose("Options/Proxy...");
    EXPECT_EQ(forms_.size(), 10u);
    EXPECT_EQ(Log(), log) << type;
    EXPECT_EQ(ShownTitle(), "Page B") << type;
    forms_.clear();
    Key(VK_HOME, ssAlt);
    if (type == 0) {
      EXPECT_EQ(Log(), log);
      EXPECT_EQ(window_->cbAddress->GetText(), "");
      EXPECT_EQ(window_->FrameBrowser->HistoryCount(), 0);
    } else {
      EXPECT_EQ(ShownTitle(), "Page A");
      const int home = Requests("/a.html");
      EXPECT_EQ(home, before + 1);  // going home again is answered by the cache
      Key(VK_HOME, ssAlt);  // home again: a reload, past the cache
      EXPECT_EQ(Requests("/a.html"), home + 1);
    }
    Close();
  }
}

// A request that raises leaves Reload and Home usable.
TEST_F(MainWindowCommands, HomeAndReloadComeBackWhateverTheRequestDoes) {
  Write("larkspan.ini", "[HomePage]\nType=2\nAddress=" + nginx_.Url("/a.html") + "\n");
  Open({});
  ASSERT_EQ(ShownTitle(), "Page A");
  ASSERT_EQ(Requests("/a.html"), 1);
  window_->FrameBrowser->OnGetPostRequestEx = [](TObject*, bool, const std::string&, const std::string&,
                                                  const std::string&, const std::string&, bool, std::string&,
                                                  ThtmlFileType&, TMemoryStream*&) { throw Exception("refused"); };
  try {
    window_->actionHome->Execute();  // the home page again: a reload
  } catch (const Exception&) {
  }
  EXPECT_TRUE(window_->actionReload->Enabled());
  EXPECT_TRUE(dynamic_cast<TMenuItem*>(window_->FindComponent("miHome"))->Enabled());
}

TEST_F(MainWindowCommands, AFileURLAsHomeAddressOpensTheFile) {
  Write("larkspan.ini", "[HomePage]\nType=2\nAddress=" + FileURL("error.html") + "\n");
  Open({});
  EXPECT_EQ(ShownURL(), FileURL("error.html"));
}

TEST_F(MainWindowCommands, OnlineHelpOpensItsAddress) {
  Write("Deny.lst", "*larkspan.org*\n");
  Open({"/home=" + nginx_.Url("/a.html")});
  // The address goes into the box at once; the navigation is posted.
  dynamic_cast<TMenuItem*>(window_->FindComponent("OnlineManual1"))->Click();
  EXPECT_EQ(window_->cbAddress->GetText().find("https://larkspan.org/"), 0u) << window_->cbAddress->GetText();
  Settle();
  EXPECT_EQ(ShownURL(), FileURL("block.html"));
}

// The cache command deletes the cache's own files and nothing else: not
// the current folder's with the cache off, not the cookie file nor a
// stranger's file with it on.
TEST_F(MainWindowCommands, DeleteAllCacheFilesTouchesOnlyTheCachesOwnFiles) {
  const std::string cwd = std::filesystem::current_path();
  Write("mine.txt", "keep");
  std::filesystem::current_path(Path(""));
  Open({"/cache=off", "/home=" + nginx_.Url("/a.html")});
  ASSERT_TRUE(Choose("Options/Delete All Cache Files"));
  std::filesystem::current_path(cwd);
  EXPECT_TRUE(std::filesystem::exists(Path("mine.txt")));
  EXPECT_TRUE(std::filesystem::exists(Path("start.html")));
  Close();

  Open({"/home=" + nginx_.Url("/a.html")});
  const std::string cache = Path("Cache/");
  ASSERT_TRUE(std::filesystem::exists(cache + "cachinfo.txt"));
  Write("Cache/Cookies.txt", "cookies");
  Write("Cache/notes.txt", "notes");
  Write("outside.htm", "outside");
  std::filesystem::create_symlink(Path("outside.htm"), cache + "m1.htm");
  std::filesystem::create_directory(cache + "m2.htm");
  ASSERT_TRUE(Choose("Options/Delete All Cache Files"));
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(cache))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"Cookies.txt", "cachinfo.txt.lock", "m1.htm", "m2.htm", "notes.txt"}));
  EXPECT_TRUE(std::filesystem::exists(Path("outside.htm")));
}

TEST_F(MainWindowCommands, UntrustedStyleAndCharSetFallBack) {
  for (auto [style, check] : {std::pair{"-1", "actionImageCaption"}, {"130", "actionCaptionOnly"},
                              {"7", "actionImageCaption"}}) {
    Write("larkspan.ini", std::string("[Bar]\nStyleButtons=") + style + "\n[FrameBrowser]\nCharSet=999\n");
    Open({"/home=" + StartPage()});
    EXPECT_TRUE(dynamic_cast<TAction*>(window_->FindComponent(check))->Checked()) << style;
    EXPECT_EQ(window_->FrameBrowser->CharSet(), 1);
    EXPECT_TRUE(dynamic_cast<TMenuItem*>(window_->FindComponent("miDefault"))->Checked());
    Close();
  }
}

}  // namespace
}  // namespace lark
