#include "platform/windows/bars.h"
#include "platform/windows/button.h"
#include "platform/windows/list_controls.h"
#include "platform/windows/edit.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/menus.h"
#include "platform/windows/panel.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class TfrmTest : public TForm {
 public:
  explicit TfrmTest(TComponent* owner, std::string_view resource) : TForm(owner) {
    ReadFormResource(this, resource, "frmTest.lfm");
  }
  void FormCreate(TObject*) { created = true; }
  void btOkClick(TObject* sender) { clickedBy = sender; }
  void FormCloseQuery(TObject*, bool& canClose) { canClose = false; }
  bool created = false;
  TObject* clickedBy = nullptr;
};

class FormReader : public WindowTest {
 protected:
  static void SetUpTestSuite() {
    form_registry::Handler("FormCreate", &TfrmTest::FormCreate);
    form_registry::Handler("btOkClick", &TfrmTest::btOkClick);
    form_registry::Handler("FormCloseQuery", &TfrmTest::FormCloseQuery);
  }
  static std::string ErrorOf(std::string_view resource) {
    try {
      TfrmTest form(nullptr, resource);
    } catch (const EFormResourceError& error) {
      return error.what();
    }
    return "";
  }
};

constexpr std::string_view kResource = R"(
object frmTest: TfrmTest
  Caption = 'Test ''form'''
  ClientWidth = 400
  ClientHeight = 300
  ActiveControl = edAddress   # defined further down
  Menu = MainMenu
  OnCreate = FormCreate
  OnCloseQuery = FormCloseQuery
  object PanelAddress: TPanel
    Align = alTop
    Height = 30
    PopupMenu = pmBar
    object edAddress: TEdit
      Left = 4
      Top = 4
      Width = 300
      Anchors = [akLeft, akTop, akRight]
      Text = "http://example.org/"
    end
  end
  object btOk: TButton
    Left = 300
    Top = 260
    Caption = '&OK'
    Default = True
    ModalResult = mrOk
    OnClick = btOkClick
  end
  object MainMenu: TMainMenu
    object miFile: TMenuItem
      Caption = '&File'
      object miExit: TMenuItem
        Caption = 'E&xit'
        ShortCut = 'Ctrl+Q'
      end
    end
  end
  object pmBar: TPopupMenu
  end
end
)";

TEST_F(FormReader, BindsHandlersByNameAndResolvesForwardReferences) {
  TfrmTest form(nullptr, kResource);
  form.AfterConstruction();
  EXPECT_TRUE(form.created);
  EXPECT_EQ(form.Name(), "frmTest");
  EXPECT_EQ(form.Caption(), "Test 'form'");
  EXPECT_EQ(form.ClientWidth(), 400);
  auto* edit = dynamic_cast<TEdit*>(form.FindComponent("edAddress"));
  auto* panel = dynamic_cast<TPanel*>(form.FindComponent("PanelAddress"));
  auto* ok = dynamic_cast<TButton*>(form.FindComponent("btOk"));
  auto* menu = dynamic_cast<TMainMenu*>(form.FindComponent("MainMenu"));
  ASSERT_TRUE(edit && panel && ok && menu);
  EXPECT_EQ(edit->Parent(), panel);
  EXPECT_EQ(edit->Owner(), &form);
  EXPECT_EQ(panel->BoundsRect(), Rect(0, 0, 400, 30));
  EXPECT_EQ(form.ActiveControl(), edit);
  EXPECT_EQ(form.Menu(), menu);
  EXPECT_EQ(panel->PopupMenu(), form.FindComponent("pmBar"));
  EXPECT_EQ(edit->GetText(), "http://example.org/");
  EXPECT_EQ(menu->Items()->Items(0)->Items(0)->ShortCut, ShortCut('Q', ssCtrl));
  EXPECT_FALSE(form.HasState(csLoading));
  EXPECT_FALSE(edit->HasState(csLoading));
  ok->Click();
  EXPECT_EQ(form.clickedBy, ok);
  EXPECT_FALSE(form.CloseQuery());
  // Anchors measured against the loaded size.
  form.SetClientSize(500, 300);
  EXPECT_EQ(edit->Width(), 400);
}

TEST_F(FormReader, ErrorsNameTheResourceAndTheLine) {
  EXPECT_EQ(ErrorOf("object frmTest: TfrmTest\n  object X: TNoSuchClass\n  end\nend\n"),
            "frmTest.lfm(2): class TNoSuchClass not found");
  EXPECT_EQ(ErrorOf("object frmTest: TfrmTest\n  Caption = 'x'\n  Colour = clRed\nend\n"),
            "frmTest.lfm(3): property Colour not found");
  EXPECT_EQ(ErrorOf("object frmTest: TfrmTest\n\n  OnCreate = NoSuchHandler\nend\n"),
            "frmTest.lfm(3): handler NoSuchHandler not found");
  EXPECT_EQ(ErrorOf("object frmTest: TfrmTest\n  ActiveControl = Missing\nend\n"),
            "frmTest.lfm(2): component Missing not found");
  EXPECT_EQ(ErrorOf("object frmTest: TfrmTest\n  OnCreate = FormCloseQuery\nend\n"),
            "frmTest.lfm(2): OnCreate: handler FormCloseQuery does not fit OnCreate");
  EXPECT_EQ(ErrorOf("object frmTest: TfrmTest\n  Width = 'wide'\nend\n"),
            "frmTest.lfm(2): Width: integer expected");
  EXPECT_EQ(ErrorOf("object frmTest: TfrmTest\n  Caption = 'open\nend\n"), "frmTest.lfm(2): unterminated string");
  EXPECT_EQ(ErrorOf("object frmTest: TfrmTest\n  Caption = 'x'\n"), "frmTest.lfm(3): 'end' expected");
}

TEST(FormParser, ReadsEveryKindOfValue) {
  TFormObject root = ParseFormResource(R"(object A: TA
  Data = {0A ff
          10}
  Lines = ('one' "two")
  Items = <
    item
      Width = 50
    end
    item
      Text = 'x'
      Width = -3
    end>
  Ratio = 0.5
  Styles = []
end)",
                                       "a");
  ASSERT_EQ(root.properties.size(), 5u);
  EXPECT_EQ(root.properties[0].value.bytes, std::string("\x0a\xff\x10", 3));
  EXPECT_EQ(root.properties[1].value.items, (std::vector<std::string>{"one", "two"}));
  ASSERT_EQ(root.properties[2].value.collection.size(), 2u);
  EXPECT_EQ(root.properties[2].value.collection[1][1].value.integer, -3);
  EXPECT_EQ(root.properties[2].value.collection[1][1].line, 11);
  EXPECT_DOUBLE_EQ(root.properties[3].value.number, 0.5);
  EXPECT_TRUE(root.properties[4].value.items.empty());
}

TEST(FormParser, RefusesHostileInput) {
  std::string deep;
  for (int i = 0; i < 200; ++i) deep += "object A" + std::to_string(i) + ": T\n";
  EXPECT_THROW((void)ParseFormResource(deep, "deep"), EFormResourceError);
  EXPECT_THROW((void)ParseFormResource("object A: T\n  D = {0}\nend", "odd"), EFormResourceError);
  EXPECT_THROW((void)ParseFormResource("object A: T\n  N = 99999999999999999999999\nend", "big"), EFormResourceError);
  EXPECT_THROW((void)ParseFormResource("", "empty"), EFormResourceError);
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

TEST_F(FormReader, ReadsListsAndCollections) {
  TfrmTest form(nullptr, R"(object frmTest: TfrmTest
  object StatusBar: TStatusBar
    Panels = <
      item
        Width = 120
        Text = 'State'
      end
      item
        Width = 50
      end>
  end
  object cbAddress: TComboBox
    Sorted = True
    Items = ('http://b/' 'http://a/')
    ItemIndex = 1
    ItemHeight = 20
  end
end)");
  auto* status = dynamic_cast<TStatusBar*>(form.FindComponent("StatusBar"));
  auto* combo = dynamic_cast<TComboBox*>(form.FindComponent("cbAddress"));
  ASSERT_TRUE(status && combo);
  ASSERT_EQ(status->Panels().size(), 2u);
  EXPECT_EQ(status->Panels()[0].Text, "State");
  EXPECT_EQ(combo->Items().Count(), 2);
  EXPECT_EQ(combo->GetText(), "http://b/");
  EXPECT_EQ(combo->ItemHeight(), 20);
}

}  // namespace
}  // namespace lark

#include "platform/core/stream.h"
#include "platform/graphics/bitmap.h"
#include "platform/windows/graphic_controls.h"

namespace lark {
namespace {

TEST_F(FormReader, ImageDataIsABitmapFile) {
  TBitmap source;
  source.SetSize(3, 2);
  source.Canvas().Brush().Color = clRed;
  source.Canvas().FillRect(Rect(0, 0, 3, 2));
  TMemoryStream bytes;
  source.SaveToStream(bytes);
  std::string hex;
  const auto* data = static_cast<const unsigned char*>(bytes.Memory());
  for (std::int64_t i = 0; i < bytes.Size(); ++i) {
    static const char digits[] = "0123456789ABCDEF";
    hex += digits[data[i] >> 4];
    hex += digits[data[i] & 15];
    if (i % 32 == 31) hex += "\n      ";
  }
  std::string resource = "object frmTest: TfrmTest\n  object Image1: TImage\n    AutoSize = True\n    Picture.Data = {" +
                         hex + "}\n  end\nend\n";
  TfrmTest form(nullptr, resource);
  auto* image = dynamic_cast<TImage*>(form.FindComponent("Image1"));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Picture().Width(), 3);
  EXPECT_EQ(image->Width(), 3);
  EXPECT_EQ(image->Picture().Bitmap().Canvas().Pixel(1, 1), clRed);
  EXPECT_THROW(TfrmTest(nullptr, "object frmTest: TfrmTest\n  object I: TImage\n    Picture.Data = 'x'\n  end\nend\n"),
               EFormResourceError);
}

}  // namespace
}  // namespace lark
