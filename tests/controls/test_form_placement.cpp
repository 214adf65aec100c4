// Saving and restoring a form's window placement through the settings file.

#include "controls/form_placement.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "controls/app_utils.h"
#include "controls/word_routines.h"
#include "platform/core/file_routines.h"
#include "platform/core/ini_file.h"
#include "platform/core/string_routines.h"
#include "platform/windows/edit.h"
#include "platform/windows/label.h"
#include "platform/windows/system_menu.h"
#include "tests/platform_windows/window_fixture.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

class FormPlacement : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ini_name = dir.File("settings.ini");
    MakeForm();
  }
  void MakeForm() {
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(50, 60, 300, 200);
    form->OnShow = [this](TObject*) { events.push_back("form show"); };
    form->OnCloseQuery = [this](TObject*, bool&) { events.push_back("form close query"); };
    form->OnDestroy = [this](TObject*) { events.push_back("form destroy"); };
    placement = new TFormPlacement(form.get());
    placement->SetIniFileName(ini_name);
    placement->OnSavePlacement = [this](TObject*) {
      events.push_back("saved " + TIniFile(ini_name).ReadString("TForm", "NormPos", ""));
    };
    placement->OnRestorePlacement = [this](TObject*) { events.push_back("restored"); };
    placement->Loaded();
  }
  // The form is wholly on the 800 x 800 screen, with a size.
  static void ExpectOnScreen(const TRect& r, const std::string& context) {
    EXPECT_TRUE(r.Left >= 0 && r.Top >= 0 && r.Right <= 800 && r.Bottom <= 800 && r.Right > r.Left &&
                r.Bottom > r.Top)
        << context << ": " << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
  }
  TRect StoredNormPos() {
    const std::string text = TIniFile(ini_name).ReadString("TForm", "NormPos", "");
    auto n = [&](int i) { return StrToIntDef(ExtractWord(i, text, ","), -1); };
    return Rect(n(1), n(2), n(3), n(4));
  }

  TempDir dir;
  std::string ini_name;
  std::vector<std::string> events;  // outlives the form, whose destruction it records
  std::unique_ptr<TForm> form;
  TFormPlacement* placement = nullptr;
};

TEST_F(FormPlacement, SavesTheSpecifiedKeysScreenSizeFirstAndTheFormsHandlersStillRun) {
  form->Show();  // restores from nothing: the defaults
  form->SetBounds(40, 30, 320, 240);
  form->Close();
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(ReadFile(ini_name),
            "[TForm]\nFormVersion=0\nFlags=0\nShowCmd=1\nPixelsPerInch=96\n"
            "MinMaxPos(800x800)=-1,-1,-1,-1\nMinMaxPos=-1,-1,-1,-1\n"
            "NormPos(800x800)=40,30,360,270\nNormPos=40,30,360,270\nVisible=0\n");
  form.reset();  // saved at the close already: not again
  EXPECT_EQ(events, (std::vector<std::string>{"restored", "form show", "form close query",
                                              "saved 40,30,360,270", "form destroy"}));
}

TEST_F(FormPlacement, ANeverRestoredPlacementWritesNothingAndVersionsGateTheRestore) {
  placement->SaveFormPlacement();
  EXPECT_FALSE(FileExists(ini_name));
  WriteFile(ini_name, "[TForm]\nNormPos=10,20,210,220\nShowCmd=3\n");
  placement->Version = 1;  // no FormVersion stored: 0 < 1
  form->Show();
  EXPECT_EQ(form->BoundsRect(), Rect(50, 60, 350, 260));
  EXPECT_EQ(form->WindowState(), TWindowState::wsNormal);
}

TEST_F(FormPlacement, AnotherPixelsPerInchRestoresOnlyTheState) {
  WriteFile(ini_name, "[TForm]\nNormPos=10,20,210,220\nShowCmd=3\nPixelsPerInch=120\n");
  form->Show();
  EXPECT_EQ(form->WindowState(), TWindowState::wsMaximized);
  TWindowPlacement placement_now;
  form->GetWindowPlacement(placement_now);
  EXPECT_EQ(placement_now.rcNormalPosition, Rect(50, 60, 350, 260));
}

TEST_F(FormPlacement, ThePlainKeyServesAnyScreenAndTheActiveControlIsRestored) {
  placement->Options |= fpActiveControl;
  auto* edit = new TEdit(form.get());
  edit->SetName("edAddress");
  edit->SetParent(form.get());
  WriteFile(ini_name, "[TForm]\nNormPos=10,20,210,220\nNormPos(1x1)=0,0,5,5\nActiveControl=edAddress\n");
  form->Show();
  EXPECT_EQ(form->BoundsRect(), Rect(10, 20, 210, 220));
  EXPECT_EQ(form->ActiveControl(), edit);
  form->Close();
  const std::string saved = ReadFile(ini_name);
  EXPECT_NE(saved.find("NormPos(800x800)=10,20,210,220\n"), std::string::npos);
  EXPECT_NE(saved.find("ActiveControl=edAddress\n"), std::string::npos);
}

// Whatever the settings file holds, the window stays on the screen and the
// next save is sane.
TEST_F(FormPlacement, HostileValuesLeaveTheWindowOnScreenAndTheNextSaveSane) {
  const std::string huge(1 << 20, '7');
  const std::vector<std::string> rows = {
      "NormPos=left,top,right,bottom",
      "NormPos=10,20",
      "NormPos=0,0,2147483647,2147483647",
      "NormPos=99999999999,0,100,100",
      "NormPos=300,10,100,100",
      "NormPos=10,300,100,100",
      "NormPos=-100000,-100000,-99000,-99000",
      "NormPos=-2147483648,-2147483648,2147483647,2147483647",
      "NormPos=700,700,2000,2000\nMinMaxPos=x,,y",
      "NormPos=" + huge,
      "NormPos=1,2,3,4," + huge,
      "ShowCmd=99",
      "ShowCmd=-2147483648",
      "ActiveControl=lbCaption",
      "ActiveControl=",
      "ActiveControl=" + huge,
  };
  for (const std::string& row : rows) {
    const std::string context = row.substr(0, 60);
    MakeForm();
    placement->Options |= fpActiveControl;
    auto* label = new TLabel(form.get());
    label->SetName("lbCaption");
    label->SetParent(form.get());
    WriteFile(ini_name, "[TForm]\nFormVersion=0\nPixelsPerInch=96\n" + row + "\n");
    form->Show();
    ExpectOnScreen(form->BoundsRect(), context);
    EXPECT_EQ(form->WindowState(), TWindowState::wsNormal) << context;
    form->Close();
    ExpectOnScreen(StoredNormPos(), context + " (saved)");
  }
}

TEST_F(FormPlacement, AnUnwritableSettingsFileDoesNotKeepTheFormFromClosing) {
  WriteFile(dir.File("not-a-folder"), "");
  placement->SetIniFileName(dir.File("not-a-folder/settings.ini"));  // even root cannot write there
  form->Show();
  form->Close();
  EXPECT_FALSE(form->Visible());
  EXPECT_THROW(placement->SaveFormPlacement(), EFCreateError);  // the failure itself is clear
  form.reset();
  EXPECT_EQ(events.back(), "form destroy");
}

TEST_F(FormPlacement, QuotedStringsReadBackUnchanged) {
  TIniFile ini(ini_name);
  for (const std::string value : {"'single'", "\"double\"", "'", "\"", "\"mixed'", "plain"}) {
    IniWriteString(&ini, "S", "K", value);
    EXPECT_EQ(IniReadString(&ini, "S", "K", ""), value);
  }
  EXPECT_EQ(IniReadString(nullptr, "S", "K", "default"), "default");
}

TEST_F(FormPlacement, MinMaxInfoLimitsTheSizeAndPreventResizeFreezesIt) {
  form->Show();
  placement->MinMaxInfo().SetMinTrackWidth(250);
  placement->MinMaxInfo().SetMaxTrackHeight(230);
  EXPECT_TRUE(form->UserResize(100, 400));
  EXPECT_EQ(form->Width(), 250);
  EXPECT_EQ(form->Height(), 230);

  placement->SetPreventResize(true);
  EXPECT_EQ(form->BorderIcons() & biMaximize, 0u);
  EXPECT_FALSE(form->UserResize(400, 400));
  EXPECT_EQ(form->GetMinMaxInfo().ptMaxTrackSize, Point(250, 230));
  form->Perform(WM_SYSCOMMAND, SC_MAXIMIZE);
  EXPECT_EQ(form->WindowState(), TWindowState::wsNormal);
  HMENU menu = GetSystemMenu(form->Handle(), false);
  EXPECT_EQ(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND), MF_GRAYED);

  placement->SetPreventResize(false);
  EXPECT_NE(form->BorderIcons() & biMaximize, 0u);
  EXPECT_TRUE(form->UserResize(260, 200));
  EXPECT_EQ(form->Width(), 260);
}

// Run by the next test in a child process whose offscreen screen is 640 x 480.
TEST_F(FormPlacement, ChildRestoresOntoASmallerScreen) {
  const char* saved_ini = std::getenv("LARK_PLACEMENT_INI");
  if (!saved_ini) GTEST_SKIP() << "run by SavedOnALargeScreenRestoresWhollyOnASmallOne";
  placement->SetIniFileName(saved_ini);
  form->Show();
  const TRect r = form->BoundsRect();
  ASSERT_EQ(Screen()->Width(), 640);
  EXPECT_TRUE(r.Left >= 0 && r.Top >= 0 && r.Right <= 640 && r.Bottom <= 480)
      << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
  EXPECT_EQ(r.Right - r.Left, 280);
}

TEST_F(FormPlacement, SavedOnALargeScreenRestoresWhollyOnASmallOne) {
  form->Show();
  form->SetBounds(500, 400, 280, 390);
  form->Close();
  const std::string config = dir.Write(
      "screens.json", R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": 640, "height": 480,
                          "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
  const pid_t child = ::fork();
  if (child == 0) {
    ::setenv("LARK_PLACEMENT_INI", ini_name.c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
    const std::string filter = "--gtest_filter=FormPlacement.ChildRestoresOntoASmallerScreen";
    ::execl("/proc/self/exe", "test_controls", filter.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace lark
