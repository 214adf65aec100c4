#include <cstdlib>
#include <string>

#include "platform/graphics/bitmap.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/dialogs.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/panel.h"
#include "platform/windows/shell.h"
#include "tests/platform_windows/window_fixture.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

class Services : public WindowTest {};

TEST_F(Services, DialogsAreAnsweredByTheTestHook) {
  std::vector<std::string> seen;
  test_driver::AnswerDialogs([&](TCommonDialog* dialog) {
    if (auto* open = dynamic_cast<TOpenDialog*>(dialog)) {
      seen.push_back(open->Filter);
      open->FileName = "/tmp/page.html";
      return true;
    }
    if (auto* print = dynamic_cast<TPrintDialog*>(dialog)) {
      print->PrintRange = TPrintRange::prPageNums;
      print->FromPage = 2;
      print->ToPage = 3;
      return true;
    }
    return false;
  });
  TOpenDialog open(nullptr);
  open.Filter = "html files|*.htm;*.html";
  ASSERT_TRUE(open.Execute());
  EXPECT_EQ(open.FileName, "/tmp/page.html");
  TPrintDialog print(nullptr);
  ASSERT_TRUE(print.Execute());
  EXPECT_EQ(print.FromPage, 2);
  TColorDialog colour(nullptr);
  EXPECT_FALSE(colour.Execute());
  std::string folder = "/start";
  EXPECT_FALSE(SelectDirectory("Pick", "/", folder));
  EXPECT_EQ(folder, "/start");
  EXPECT_EQ(seen, (std::vector<std::string>{"html files|*.htm;*.html"}));
}

TEST_F(Services, FindDialogReportsEachFindNext) {
  TFindDialog find(nullptr);
  find.FindText = "old";
  std::vector<std::string> searches;
  find.OnFind = [&](TObject*) { searches.push_back(find.FindText); };
  ASSERT_TRUE(find.Execute());  // the real, modeless dialog of the layer
  Application()->ProcessMessages();
  TForm* shown = dynamic_cast<TForm*>(Screen()->ActiveForm());
  ASSERT_NE(shown, nullptr);
  TWinControl* edit = shown->ActiveControl();
  ASSERT_NE(edit, nullptr);
  edit->SetText("");
  test_driver::TypeText("larkspan");
  test_driver::PressKey(VK_RETURN);
  Application()->ProcessMessages();
  EXPECT_EQ(searches, (std::vector<std::string>{"larkspan"}));
  EXPECT_TRUE(find.Options & frFindNext);
  test_driver::PressKey(VK_ESCAPE);
  Application()->ProcessMessages();
  EXPECT_FALSE(shown->Visible());
}

TEST_F(Services, MessageBoxesAreAnswered) {
  std::string asked;
  test_driver::AnswerMessageBoxes([&](const std::string& text, TMsgDlgType, TMsgDlgButtons buttons) {
    asked = text;
    return (buttons & mbNo) ? mrNo : mrOk;
  });
  EXPECT_EQ(MessageDlg("Replace?", TMsgDlgType::mtConfirmation, mbYesNoCancel), mrNo);
  EXPECT_EQ(asked, "Replace?");
}

TEST_F(Services, ProgramsStartWithArgumentListsNeverAShell) {
  std::vector<std::pair<std::string, std::vector<std::string>>> started;
  test_driver::CaptureStarts([&](const std::string& program, const std::vector<std::string>& args) {
    started.emplace_back(program, args);
  });
  EXPECT_TRUE(ShellOpen("file:///tmp/a b;rm -rf x.html"));
  EXPECT_TRUE(StartNewInstance({"/nowindowstate", "/home=http://example.org/"}));
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[0].first, "xdg-open");
  EXPECT_EQ(started[0].second, (std::vector<std::string>{"file:///tmp/a b;rm -rf x.html"}));
  EXPECT_EQ(started[1].second, (std::vector<std::string>{"/nowindowstate", "/home=http://example.org/"}));
  EXPECT_EQ(started[1].first, Application()->ExeName());
}

TEST_F(Services, ClipboardKeepsText) {
  Clipboard()->SetAsText("copied ü");
  EXPECT_TRUE(Clipboard()->HasText());
  EXPECT_EQ(Clipboard()->AsText(), "copied ü");
}

TEST_F(Services, TitleNamesTheProgramToTheWindowSystem) {
  std::string before = Application()->Title();
  Application()->SetTitle("Larkspan Test Title");
  EXPECT_EQ(test_driver::ShownApplicationName(), "Larkspan Test Title");
  Application()->SetTitle(before);
}

TEST_F(Services, SettingShowHintStopsFollowingTheParent) {
  TForm form(nullptr);
  form.SetClientSize(200, 100);
  form.SetShowHint(true);
  auto* box = new TPaintBox(&form);
  box->SetParent(&form);
  box->SetBounds(10, 10, 50, 50);
  box->Hint = "Tip";
  form.Show();
  Application()->HintPause = 0;  // hints at once
  test_driver::MouseMove(&form, 20, 20);
  Application()->ProcessMessages();
  EXPECT_EQ(test_driver::ShownHint(), "Tip");  // the parent's choice
  test_driver::MouseMove(&form, 150, 80);
  Application()->ProcessMessages();
  box->SetShowHint(false);
  EXPECT_FALSE(box->ParentShowHint);
  test_driver::MouseMove(&form, 20, 20);
  Application()->ProcessMessages();
  EXPECT_EQ(test_driver::ShownHint(), "");
}

class FontChangeCounter : public TPanel {
 public:
  using TPanel::TPanel;
  int fontChanges = 0;

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_FONTCHANGE) ++fontChanges;
    TPanel::WndProc(message);
  }
};

TEST_F(Services, AnInstalledFontReachesEveryWindowAsFontChange) {
  RecordingForm form(nullptr);
  int formChanges = 0;
  form.answers[WM_FONTCHANGE] = [&](TMessage&) { ++formChanges; };
  auto* panel = new FontChangeCounter(&form);
  panel->SetParent(&form);
  auto* inner = new FontChangeCounter(&form);
  inner->SetParent(panel);
  form.Show();
  ASSERT_TRUE(test_driver::InstallFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
  Application()->ProcessMessages();
  EXPECT_EQ(formChanges, 1);
  EXPECT_EQ(panel->fontChanges, 1);
  EXPECT_EQ(inner->fontChanges, 1);
  EXPECT_FALSE(test_driver::InstallFont("/etc/hostname"));
}

// A name measured before its font is installed measures with the font once
// it is: fonts made for the name before do not outlive the change.
TEST_F(Services, AFontInstalledLaterReplacesTheFallbackForItsName) {
  const test::TempDir dir;
  const std::string copy = dir.File("late.ttf");
  test::WriteFile(dir.File("rename.py"),
                  "import sys\nfrom fontTools.ttLib import TTFont\nf = TTFont(sys.argv[1])\n"
                  "for r in f['name'].names:\n"
                  "    if r.nameID in (1, 4, 6, 16): r.string = 'Larkspan Late Mono' if r.nameID != 6 else 'LarkspanLateMono'\n"
                  "f.save(sys.argv[2])\n");
  ASSERT_EQ(std::system(("/usr/bin/python3 " + dir.File("rename.py") +
                         " /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf " + copy).c_str()),
            0);
  TBitmap bitmap(10, 10);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Font().SetName("Larkspan Late Mono");
  canvas.Font().SetHeight(-20);
  EXPECT_NE(canvas.TextWidth("iiii"), canvas.TextWidth("MMMM"));  // a proportional stand-in
  ASSERT_TRUE(test_driver::InstallFont(copy));
  TFont late;
  late.SetName("Larkspan Late Mono");
  late.SetHeight(-20);
  canvas.SetFont(late);
  EXPECT_EQ(canvas.TextWidth("iiii"), canvas.TextWidth("MMMM"));
}

}  // namespace
}  // namespace lark
