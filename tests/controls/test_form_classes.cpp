// The interface controls read from a form resource.

#include "controls/form_classes.h"

#include "controls/adv_status_bar.h"
#include "controls/color_combos.h"
#include "controls/form_placement.h"
#include "controls/navigator_gauge.h"
#include "controls/page_setup.h"
#include "controls/toolbar_button.h"
#include "controls/window_hook.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/menus.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class TfrmControls : public TForm {
 public:
  explicit TfrmControls(std::string_view resource) : TForm(nullptr) {
    RegisterControlClasses();
    ReadFormResource(this, resource, "frmControls.lfm");
  }
  void ButtonEnter(TObject*) { ++entered; }
  void Placed(TObject*) { ++placed; }
  void Hooked(TObject*, TMessage&, bool&) { ++hooked; }
  int entered = 0;
  int placed = 0;
  int hooked = 0;
  template <typename T>
  T* Find(const std::string& name) {
    return dynamic_cast<T*>(FindComponent(name));
  }
};

constexpr std::string_view kResource = R"(
object frmControls: TfrmControls
  ClientWidth = 400
  ClientHeight = 300
  object StatusBar: TAdvStatusBar
    object Gauge: TVVNavigatorGauge
      Left = 4
      Width = 60
      ForeColor = clNavy
      Delay = 15
      FillRatio = 0.25
      GradientColorCount = 300
    end
  end
  object btBack: TToolbarButton
    Left = 4
    Caption = 'Back'
    DropdownMenu = pmHistory
    DropdownCombo = True
    DropdownArrowWidth = 11
    GroupIndex = 3
    Down = True
    Layout = blGlyphTop
    NumGlyphs = 9
    Repeating = True
    RepeatDelay = 300
    Version = 'ignored'
    OnMouseEnter = ButtonEnter
  end
  object pmHistory: TPopupMenu
  end
  object FormPlacement: TFormPlacement
    IniSection = 'Main'
    MinMaxInfo.MinTrackWidth = 320
    Options = [fpState, fpActiveControl]
    RegistryRoot = prLocalMachine
    UseRegistry = True
    Version = 2
    OnSavePlacement = Placed
  end
  object Hook: TWindowHook
    IsForm = True
    BeforeMessage = Hooked
  end
  object cbColor: TColorComboBox
    Style = csDropDown
    ColorValue = clRed
    DisplayNames = False
    ColorNames.Strings = ('Noir')
  end
  object cbFont: TFontComboBox
    Options = [foTrueTypeOnly, foNoSymbolFonts]
    FontName = 'Liberation Sans'
    UseFonts = True
  end
  object PageSetup: TPageSetupDlg
    Centered = False
    Measurements = pmInches
    Options = [poDisablePrinter]
    Margins.Left = 500
    PaperSize.X = 8000
  end
end
)";

class FormClasses : public WindowTest {
 protected:
  static void SetUpTestSuite() {
    form_registry::Handler("ButtonEnter", &TfrmControls::ButtonEnter);
    form_registry::Handler("Placed", &TfrmControls::Placed);
    form_registry::Handler("Hooked", &TfrmControls::Hooked);
  }
};

TEST_F(FormClasses, EveryControlReadsItsPublishedPropertiesAndEvents) {
  TfrmControls form(kResource);
  auto* gauge = form.Find<TVVNavigatorGauge>("Gauge");
  ASSERT_NE(gauge, nullptr);
  EXPECT_EQ(gauge->Parent(), form.Find<TAdvStatusBar>("StatusBar"));
  EXPECT_EQ(gauge->ForeColor(), clNavy);
  EXPECT_EQ(gauge->Delay(), 15);
  EXPECT_EQ(gauge->FillRatio(), 0.25);
  EXPECT_EQ(gauge->GradientColorCount(), 255);

  auto* button = form.Find<TToolbarButton>("btBack");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->DropdownMenu(), form.Find<TPopupMenu>("pmHistory"));
  EXPECT_TRUE(button->DropdownCombo());
  EXPECT_EQ(button->DropdownArrowWidth(), 11);
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(button->Layout(), TButtonLayout::blGlyphTop);
  EXPECT_EQ(button->NumGlyphs(), 5);
  EXPECT_EQ(button->RepeatDelay, 300);
  ASSERT_TRUE(button->OnMouseEnter);
  button->OnMouseEnter(button);
  EXPECT_EQ(form.entered, 1);

  auto* placement = form.Find<TFormPlacement>("FormPlacement");
  ASSERT_NE(placement, nullptr);
  EXPECT_EQ(placement->IniSection(), "Main");
  EXPECT_EQ(placement->MinMaxInfo().MinTrackWidth(), 320);
  EXPECT_EQ(placement->Options, fpState | fpActiveControl);
  EXPECT_EQ(placement->RegistryRoot, TPlacementRegRoot::prLocalMachine);
  EXPECT_EQ(placement->Version, 2);
  EXPECT_TRUE(placement->OnSavePlacement);

  auto* hook = form.Find<TWindowHook>("Hook");
  ASSERT_NE(hook, nullptr);
  EXPECT_EQ(hook->WinControl(), &form);
  form.Perform(WM_USER + 3);
  EXPECT_GE(form.hooked, 1);

  auto* colors = form.Find<TColorComboBox>("cbColor");
  ASSERT_NE(colors, nullptr);
  EXPECT_EQ(colors->Style(), TOwnerDrawComboStyle::csDropDown);
  EXPECT_EQ(colors->ColorValue(), clRed);
  EXPECT_FALSE(colors->DisplayNames());
  EXPECT_EQ(colors->ColorNames().Get(0), "Noir");

  auto* fonts = form.Find<TFontComboBox>("cbFont");
  ASSERT_NE(fonts, nullptr);
  EXPECT_EQ(fonts->Options(), foTrueTypeOnly | foNoSymbolFonts);
  EXPECT_EQ(fonts->FontName(), "Liberation Sans");
  EXPECT_TRUE(fonts->UseFonts);

  auto* setup = form.Find<TPageSetupDlg>("PageSetup");
  ASSERT_NE(setup, nullptr);
  EXPECT_FALSE(setup->Centered);
  EXPECT_EQ(setup->Measurements(), TPSMeasurements::pmInches);
  EXPECT_EQ(setup->Options, poDisablePrinter);
  EXPECT_EQ(setup->Margins.Left, 500);
  EXPECT_EQ(setup->PaperSize.X, 8000);
}

}  // namespace
}  // namespace lark
