// Object properties and collections in form resources.

#include "platform/windows/form_reader.h"
#include "platform/windows/panel.h"
#include "platform/windows/small_controls.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

class FormObjects : public WindowTest {
 protected:
  std::unique_ptr<TForm> Read(std::string_view resource) {
    auto form = std::make_unique<TForm>(nullptr);
    ReadFormResource(form.get(), resource, "frmObjects.lfm");
    return form;
  }
  std::string ErrorOf(std::string_view resource) {
    try {
      Read(resource);
    } catch (const EFormResourceError& error) {
      return error.what();
    }
    return "";
  }
};

TEST_F(FormObjects, ConstraintsAreReadAndHoldAtOnce) {
  auto form = Read(R"(
object frmObjects: TForm
  ClientWidth = 300
  object Side: TPanel
    Width = 50
    Height = 80
    Constraints.MinWidth = 100
    Constraints.MaxHeight = 40
  end
end)");
  auto* side = dynamic_cast<TPanel*>(form->FindComponent("Side"));
  ASSERT_NE(side, nullptr);
  EXPECT_EQ(side->Constraints.MinWidth, 100);
  EXPECT_EQ(side->Constraints.MaxHeight, 40);
  EXPECT_EQ(side->Width(), 100);
  EXPECT_EQ(side->Height(), 40);
  side->SetBounds(0, 0, 10, 100);
  EXPECT_EQ(side->Width(), 100);
  EXPECT_EQ(side->Height(), 40);
}

TEST_F(FormObjects, ListViewColumnsAndItemsAreCollections) {
  auto form = Read(R"(
object frmObjects: TForm
  object ListView: TListView
    Checkboxes = True
    Columns = <
      item
        Caption = 'Buttons'
        Width = 120
      end
      item
        Caption = 'Size'
        Alignment = taRightJustify
      end>
    Items = <
      item
        Caption = 'Back'
        SubItems = ('12 KB')
        ImageIndex = 3
        Checked = True
      end
      item
        Caption = 'Forward'
        ImageIndex = 4
      end>
  end
end)");
  auto* view = dynamic_cast<TListView*>(form->FindComponent("ListView"));
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->Columns().size(), 2u);
  EXPECT_EQ(view->Columns()[0].Caption, "Buttons");
  EXPECT_EQ(view->Columns()[0].Width, 120);
  EXPECT_EQ(view->Columns()[1].Width, 50);
  EXPECT_EQ(view->Columns()[1].Alignment, TAlignment::taRightJustify);
  form->Show();
  // Read back from the shown list: the check marks reached it.
  ASSERT_EQ(view->Items().size(), 2u);
  EXPECT_EQ(view->Items()[0].Caption, "Back");
  EXPECT_EQ(view->Items()[0].SubItems, std::vector<std::string>{"12 KB"});
  EXPECT_EQ(view->Items()[0].ImageIndex, 3);
  EXPECT_TRUE(view->Items()[0].Checked);
  EXPECT_FALSE(view->Items()[1].Checked);
  EXPECT_EQ(view->Items()[1].ImageIndex, 4);
}

TEST_F(FormObjects, ErrorsInsideObjectsAndItemsNameTheirLine) {
  EXPECT_EQ(ErrorOf("object f: TForm\n  object P: TPanel\n    Constraints.Minwidth = 1\n  end\nend"),
            "frmObjects.lfm(3): property Constraints.Minwidth not found");
  EXPECT_EQ(ErrorOf("object f: TForm\n  Constraints = 5\nend"), "frmObjects.lfm(2): property Constraints not found");
  EXPECT_EQ(ErrorOf("object f: TForm\n  Constraints.MaxWidth = 'wide'\nend"),
            "frmObjects.lfm(2): Constraints.MaxWidth: integer expected");
  EXPECT_EQ(ErrorOf("object f: TForm\n  object L: TListView\n    Columns = <\n      item\n        Caption = 'A'\n"
                    "        Colour = 5\n      end>\n  end\nend"),
            "frmObjects.lfm(6): property Colour not found");
  EXPECT_EQ(ErrorOf("object f: TForm\n  object L: TListView\n    Items = ('A' 'B')\n  end\nend"),
            "frmObjects.lfm(3): Items: collection expected");
  EXPECT_EQ(ErrorOf("object f: TForm\n  object L: TListView\n    Items = <\n      item\n        Checked = 1\n"
                    "      end>\n  end\nend"),
            "frmObjects.lfm(5): Checked: True or False expected");
}

}  // namespace
}  // namespace lark
