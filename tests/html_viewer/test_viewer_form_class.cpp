#include "tests/html_viewer/viewer_fixture.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/form_registry.h"
#include "viewer/viewer_form_class.h"

namespace lark {
namespace {

class TfrmViewer : public TForm {
 public:
  explicit TfrmViewer(std::string_view resource) : TForm(nullptr) {
    RegisterViewerClass();
    form_registry::Handler("ViewerHotSpotClick", &TfrmViewer::ViewerHotSpotClick);
    form_registry::Handler("ViewerProcessing", &TfrmViewer::ViewerProcessing);
    ReadFormResource(this, resource, "frmViewer.lfm");
  }
  void ViewerHotSpotClick(TObject*, const std::string& src, bool& handled) {
    clicked = src;
    handled = true;
  }
  void ViewerProcessing(TObject*, bool) { ++processing; }
  std::string clicked;
  int processing = 0;
};

using ViewerFormClass = WindowTest;

TEST_F(ViewerFormClass, AResourceDeclaresAViewerWithPropertiesAndHandlers) {
  TfrmViewer loaded(R"(
object frmViewer: TfrmViewer
  ClientWidth = 300
  ClientHeight = 200
  object Viewer: THTMLViewer
    Width = 300
    Height = 200
    DefFontSize = 3
    ImageCacheCount = 50
    HistoryMaxCount = 4
    OnProcessing = ViewerProcessing
    ScrollBars = ssVertical
    BorderStyle = htSingle
    htOptions = [htOverLinksActive, htShowDummyCaret]
    PrintMarginLeft = 1.5
    OnHotSpotClick = ViewerHotSpotClick
  end
end
)");
  auto* read = dynamic_cast<THTMLViewer*>(loaded.FindComponent("Viewer"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->DefFontSize(), 6);
  EXPECT_EQ(read->ImageCacheCount(), 20);
  EXPECT_EQ(read->HistoryMaxCount(), 4);
  EXPECT_EQ(read->ScrollBars(), TScrollStyle::ssVertical);
  EXPECT_EQ(read->BorderStyle(), THTMLBorderStyle::htSingle);
  EXPECT_EQ(read->htOptions(), htOverLinksActive | htShowDummyCaret);
  EXPECT_EQ(read->PrintMarginLeft, 1.5);
  EXPECT_EQ(loaded.processing, 0);  // ScrollBars only stored while the resource loads
  bool handled = false;
  ASSERT_TRUE(read->OnHotSpotClick);
  read->OnHotSpotClick(read, "x.html", handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(loaded.clicked, "x.html");
  // A handler of the wrong kind is refused by name.
  try {
    TfrmViewer wrong("object frmViewer: TfrmViewer\n  object V: THTMLViewer\n    OnHotSpotCovered = ViewerProcessing\n  end\nend\n");
    ADD_FAILURE() << "a mismatched handler was accepted";
  } catch (const EFormResourceError& error) {
    EXPECT_NE(std::string(error.what()).find("OnHotSpotCovered"), std::string::npos) << error.what();
  }
}

}  // namespace
}  // namespace lark
