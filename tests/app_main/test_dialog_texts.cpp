// Every dialog takes its texts from the language file: a generated language
// whose text n is "[n]" shows on each control the dialogs name, the dialogs
// open from the menu bar as the user opens them, and the first language
// brings the texts back.
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/customize_form.h"
#include "app/dir_bar_form.h"
#include "app/font_colors_form.h"
#include "app/go_page_form.h"
#include "app/home_page_form.h"
#include "app/local_search_form.h"
#include "app/main_window.h"
#include "app/print_preview_form.h"
#include "app/print_status_form.h"
#include "app/proxy_form.h"
#include "controls/toolbar_button.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/check_box.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/label.h"
#include "platform/windows/menus.h"
#include "platform/windows/page_control.h"
#include "platform/windows/panel.h"
#include "platform/windows/small_controls.h"
#include "platform/windows/test_driver.h"
#include "tests/app_main/main_window_fixture.h"
#include "tests/print/print_fixtures.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

// The shipped file with a second language, "Brackets", whose text n is "[n]".
std::string BracketLanguageFile(const std::string& shipped) {
  std::istringstream in(shipped);
  std::string line, english;
  bool inEnglish = false;
  int count = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '[') inEnglish = line.rfind("[English]", 0) == 0;
    if (!inEnglish || line.rfind("[English]", 0) == 0 || line.rfind("l", 0) == 0) continue;
    if (line.rfind("n=", 0) == 0) count = std::stoi(line.substr(2));
    english += line + "\n";
  }
  std::string file = "[Languages]\nn=2\n1=English\n2=Brackets\n\n[English]\nl1=English\nl2=Brackets\n" + english;
  file += "\n[Brackets]\nl1=[l1]\nl2=[l2]\nn=" + std::to_string(count) + "\n";
  for (int i = 1; i <= count; ++i) file += std::to_string(i) + "=[" + std::to_string(i) + "]\n";
  return file;
}

std::string Id(int id) { return "[" + std::to_string(id) + "]"; }

class DialogTexts : public MainWindowTest {
 protected:
  // Opens a dialog from the menu bar and runs `check` on it (and on the
  // dialogs it opens), then cancels it.
  template <typename Form>
  void FromMenu(const std::string& path, const std::function<void(Form&)>& check) {
    int shown = 0;
    test_driver::OnModalShown([&](TCustomForm* form) {
      if (auto* dialog = dynamic_cast<Form*>(form)) {
        ++shown;
        check(*dialog);
      } else if (others_) {
        others_(form);
      }
      // The status dialog ends by itself when its pass ends.
      if (form->ModalResult == mrNone && !dynamic_cast<TfrmPrintStatus*>(form)) form->Close();
    });
    ASSERT_TRUE(test_driver::ChooseMenuBarEntry(window_, path)) << path;
    Settle();
    EXPECT_EQ(shown, 1) << path;
    test_driver::OnModalShown(nullptr);
    others_ = nullptr;
  }
  // Checks the dialogs a dialog opens.
  std::function<void(TCustomForm*)> others_;
};

void ExpectCaptions(const std::vector<std::pair<int, TControl*>>& controls) {
  for (const auto& [id, control] : controls) EXPECT_EQ(control->Caption(), Id(id)) << control->Name();
}
void ExpectHints(const std::vector<std::pair<int, TControl*>>& controls) {
  for (const auto& [id, control] : controls) EXPECT_EQ(control->Hint, Id(id)) << control->Name();
}

TEST_F(DialogTexts, AGeneratedLanguageShowsOnEveryDialogControlAndTheFirstBringsTheTextsBack) {
  test::ProgramPrinter printer(std::make_unique<TTestPrinter>(test::TestPrinterCaps(false)));
  Write("BROWSER.LGV", BracketLanguageFile(test::ReadFile(Path("BROWSER.LGV"))));
  Write("larkspan.ini", "[FormMain]\nLanguage=2\n");
  Open({"/home=" + StartPage()});
  const std::string options = Id(105);
  FromMenu<TfrmFontColors>(options + "/" + Id(124), [](TfrmFontColors& d) {
    EXPECT_EQ(d.Caption(), Id(19));
    ExpectCaptions({{20, d.lbFontName}, {21, d.lbFont}, {22, d.lbFontSize}, {23, d.lbOverLink},
                    {24, d.lbBackground}, {25, d.lbHotSpot}, {26, d.lbVisitedLink}, {27, d.btReset},
                    {4, d.btOk}, {5, d.btCancel}});
  });
  FromMenu<TfrmHomePage>(options + "/" + Id(129), [](TfrmHomePage& d) {
    EXPECT_EQ(d.Caption(), Id(29));
    ExpectCaptions({{30, d.gbStartProgramWith}, {31, d.lbSecondsIdleTime}, {32, d.rbBlankPage},
                    {33, d.rbLocalSearchEngine}, {34, d.rbHomePage}, {35, d.btBrowse}, {36, d.cbLoadHomePage},
                    {4, d.btOk}, {5, d.btCancel}});
  });
  FromMenu<TfrmProxy>(options + "/" + Id(130), [](TfrmProxy& d) {
    EXPECT_EQ(d.Caption(), Id(130));
    ExpectCaptions({{130, d.lbProxy}, {174, d.lbPort}, {4, d.btOk}, {5, d.btCancel}});
  });
  FromMenu<TfrmCustomize>(options + "/" + Id(136), [](TfrmCustomize& d) {
    EXPECT_EQ(d.Caption(), Id(9));
    EXPECT_EQ(d.ListView->Columns().at(0).Caption, Id(10));
    ExpectCaptions({{4, d.btOk}, {5, d.btCancel}});
  });
  FromMenu<TfrmLocalSearch>(Id(101) + "/" + Id(180), [](TfrmLocalSearch& d) {
    EXPECT_EQ(d.Caption(), Id(37));
    ExpectCaptions({{38, d.lbScanning},         {39, d.tsGeneral},         {40, d.lbKeyword},
                    {41, d.lbSearchType},       {42, d.lbLimitToDirectory}, {43, d.lbFileToFind},
                    {47, d.cbCaseSensitive},    {48, d.cbWholeWordOnly},   {49, d.cbIncludeSubDirectories},
                    {50, d.tsAdvanced},         {51, d.lbFileAge},         {52, d.lbDays},
                    {53, d.lbSortBy},           {54, d.cbShowSize},        {55, d.cbShowAttr},
                    {56, d.cbArchive},          {57, d.cbReadOnly},        {58, d.cbHidden},
                    {59, d.cbSystem},           {60, d.cbNormal},          {61, d.cbShowDate},
                    {62, d.cbShowSummary},      {63, d.cbConvert},         {64, d.cbMetaSearchOnly},
                    {69, d.cbReverseOrder},     {70, d.btStart},           {5, d.btCancel}});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(d.cbSearchType->Items().Get(i), Id(44 + i));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(d.cbSort->Items().Get(i), Id(65 + i));
  });
  // The preview, its status dialog and its page dialog.
  int statusShown = 0, goPageShown = 0;
  others_ = [&](TCustomForm* form) {
    if (auto* status = dynamic_cast<TfrmPrintStatus*>(form)) {
      ++statusShown;
      EXPECT_EQ(status->Caption(), Id(172));
      EXPECT_EQ(status->CancelButton->Caption(), Id(5));
    } else if (auto* goPage = dynamic_cast<TfrmGoPage*>(form)) {
      ++goPageShown;
      EXPECT_EQ(goPage->Caption(), Id(28));
      ExpectCaptions({{4, goPage->OKBtn}, {5, goPage->CancelBtn}});
    }
  };
  FromMenu<TfrmPreview>(Id(101) + "/" + Id(109), [&](TfrmPreview& d) {
    EXPECT_EQ(d.Caption(), Id(137));
    ExpectHints({{138, d.GridBut},        {139, d.ZoomCursorBut},  {140, d.HandCursorBut}, {141, d.OnePageBut},
                 {142, d.TwoPageBut},     {143, d.FitPageBut},     {144, d.FitWidthBut},   {145, d.PrintBut},
                 {146, d.NextPageBut},    {148, d.PrevPageBut},    {150, d.CloseBut},      {156, d.CurPageLabel},
                 {158, d.ZoomLabel},      {160, d.Panel1},         {161, d.HintLabel},     {162, d.MoveButPanel},
                 {163, d.FirstPageSpeed}, {164, d.PrevPageSpeed},  {165, d.PageNumSpeed},  {166, d.NextPageSpeed},
                 {167, d.LastPageSpeed},  {168, d.PB1}});
    ExpectCaptions({{147, d.NextPageBut}, {149, d.PrevPageBut}, {151, d.CloseBut}, {183, d.HintLabel},
                    {184, d.MoveButPanel}});
    EXPECT_EQ(d.ZoomBox->Items().Get(0), Id(152));
    EXPECT_EQ(d.ZoomBox->Items().Get(1), Id(153));
    EXPECT_EQ(d.UnitsBox->Items().Get(0), Id(154));
    EXPECT_EQ(d.UnitsBox->Items().Get(1), Id(155));
    d.PageNumSpeed->SetEnabled(true);
    d.PageNumSpeed->Click();
  });
  EXPECT_EQ(statusShown, 1);
  EXPECT_EQ(goPageShown, 1);
  // The directory buttons' dialog opens from its button on the bar.
  test_driver::OnModalShown([&](TCustomForm* form) {
    auto* d = dynamic_cast<TfrmDirBar*>(form);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->Caption(), Id(11));
    ExpectCaptions({{12, d->lbCaption}, {13, d->lbHTMLFile}, {14, d->btApply}, {15, d->btClose}, {16, d->btBrowse}});
    d->btClose->Click();
  });
  window_->btConfigDB->Click();
  // Back to the first language: its texts again.
  window_->miLanguage->Items(0)->Click();
  Settle();
  FromMenu<TfrmHomePage>("&Options/&Home page...", [](TfrmHomePage& d) {
    EXPECT_EQ(d.Caption(), "Home Page");
    EXPECT_EQ(d.rbBlankPage->Caption(), "Blank page");
  });
  FromMenu<TfrmLocalSearch>("&File/&Search...", [](TfrmLocalSearch& d) {
    EXPECT_EQ(d.lbKeyword->Caption(), "Keywords:");
    EXPECT_EQ(d.cbSearchType->Items().Get(0), "any of the words (OR)");
    EXPECT_EQ(d.cbSort->Items().Get(3), "File Title");
  });
  test_driver::OnModalShown([](TCustomForm* form) {
    auto* d = dynamic_cast<TfrmFontColors*>(form);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->lbFontName->Caption(), "Font name:");
    form->Close();
  });
  dynamic_cast<TMenuItem*>(window_->FindComponent("miFontColors"))->Click();
}

}  // namespace
}  // namespace lark
