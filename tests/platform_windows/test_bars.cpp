#include "platform/windows/bars.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/panel.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class Bars : public WindowTest {};

TEST_F(Bars, CoolBarStacksVisibleBandsAndSizesItself) {
  TForm form(nullptr);
  form.SetClientSize(400, 300);
  auto* cool = new TCoolBar(&form);
  cool->SetParent(&form);
  cool->SetAlign(TAlign::alTop);
  auto* buttons = new TToolBar(&form);
  buttons->SetHeight(30);
  buttons->SetParent(cool);
  auto* address = new TPanel(&form);
  address->SetHeight(24);
  address->SetParent(cool);
  auto* client = new TPanel(&form);
  client->SetParent(&form);
  client->SetAlign(TAlign::alClient);
  EXPECT_EQ(buttons->BoundsRect(), Rect(2, 2, 398, 32));
  EXPECT_EQ(address->BoundsRect(), Rect(2, 36, 398, 60));
  EXPECT_EQ(cool->Height(), 62);
  EXPECT_EQ(client->Top(), 62);
  buttons->Hide();
  EXPECT_EQ(address->Top(), 2);
  EXPECT_EQ(cool->Height(), 28);
  EXPECT_EQ(client->Top(), 28);
}

TEST_F(Bars, ToolBarPlacesButtonsInOrderAndWraps) {
  TForm form(nullptr);
  auto* bar = new TToolBar(&form);
  bar->SetParent(&form);
  bar->SetBounds(0, 0, 100, 60);
  std::vector<TControl*> buttons;
  for (int i = 0; i < 5; ++i) {
    auto* b = new TPaintBox(&form);
    b->SetBounds(0, 0, 30, 22);
    b->SetParent(bar);
    buttons.push_back(b);
  }
  EXPECT_EQ(buttons[0]->BoundsRect(), Rect(0, 0, 30, 22));
  EXPECT_EQ(buttons[2]->BoundsRect(), Rect(60, 0, 90, 22));
  EXPECT_EQ(buttons[3]->BoundsRect(), Rect(0, 22, 30, 44));
  buttons[1]->Hide();
  EXPECT_EQ(buttons[3]->BoundsRect(), Rect(60, 0, 90, 22));
}

TEST_F(Bars, StatusBarPanelsShareTheWidthAndPaint) {
  TForm form(nullptr);
  form.SetClientSize(300, 100);
  auto* status = new TStatusBar(&form);
  status->SetParent(&form);
  status->Panels() = {{"State", 100, TAlignment::taLeftJustify}, {"", 60, TAlignment::taLeftJustify},
                      {"rest", 0, TAlignment::taLeftJustify}};
  EXPECT_EQ(status->BoundsRect(), Rect(0, 81, 300, 100));
  EXPECT_EQ(status->PanelRect(1), Rect(100, 0, 160, 19));
  EXPECT_EQ(status->PanelRect(2), Rect(160, 0, 300, 19));
  form.Show();
  EXPECT_NE(test_driver::PixelAt(status, 50, 0), 0u);  // painted, edge drawn
}

TEST_F(Bars, ProgressBarClampsItsPosition) {
  TForm form(nullptr);
  auto* bar = new TProgressBar(&form);
  bar->SetParent(&form);
  bar->SetRange(0, 50);
  bar->SetPosition(70);
  EXPECT_EQ(bar->Position(), 50);
  bar->SetPosition(-1);
  bar->StepIt();
  EXPECT_EQ(bar->Position(), 10);
}

}  // namespace
}  // namespace lark
