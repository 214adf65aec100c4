#include "html/image_loader.h"
#include "html/section_base.h"
#include "platform/graphics/bitmap.h"
#include "tests/html_viewer/viewer_fixture.h"
#include "viewer/page_background.h"

namespace lark {
namespace {

using Painting = ViewerTest;

constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;

// A 10 x 10 tile, red above and blue below, written by python3-png.
std::string StripedTile(const test::TempDir& dir) {
  const std::string path = dir.File("tile.png");
  const std::string script = "import png; w=png.Writer(10,10,greyscale=False); f=open('" + path +
                             "','wb'); w.write(f,[[255,0,0]*10]*5+[[0,0,255]*10]*5); f.close()";
  return std::system(("/usr/bin/python3 -c \"" + script + "\"").c_str()) == 0 ? path : std::string();
}

TEST_F(Painting, TheBackgroundColourAndTheFrameShow) {
  Load("<body bgcolor=#00ff00><p>x");
  EXPECT_EQ(Pixel(300, 200), kGreen);
  EXPECT_EQ(viewer->Color() & 0x02000000, 0x02000000);
  viewer->SetBorderStyle(THTMLBorderStyle::htSingle);
  viewer->SetScrollBars();
  EXPECT_NE(Pixel(0, 150), kGreen);  // the single line
  EXPECT_EQ(Pixel(1, 150), kGreen);
  viewer->SetBorderStyle(THTMLBorderStyle::htNone);
  viewer->DoLogic();
  EXPECT_EQ(Pixel(0, 150), kGreen);  // no frame: the surface reaches the edge
}

TEST_F(Painting, LinkedSheetsComeFromTheStreamHookElseFromTheFile) {
  test::TempDir dir;
  dir.Write("sheet.css", "p { margin-top: 900px }");
  const std::string page = dir.Write("page.html", "<link rel=stylesheet href=sheet.css><p>x");
  viewer->LoadFromFile(page);
  EXPECT_GT(viewer->ScrollHeight(), 900);
  std::string asked;
  auto sheet = StreamOf("p { margin-top: 2000px }");
  viewer->OnhtStreamRequest = [&](TObject*, const std::string& src, TMemoryStream*& stream) {
    asked = src;
    stream = sheet.get();
  };
  Load("<base href=\"http://example.org/dir/\"><link rel=stylesheet href=sheet.css><p>x");
  EXPECT_EQ(asked, "http://example.org/dir/sheet.css");
  EXPECT_GT(viewer->ScrollHeight(), 2000);
}

TEST_F(Painting, BackgroundTilesScrollWithTheDocument) {
  test::TempDir dir;
  ASSERT_FALSE(StripedTile(dir).empty());
  const std::string page = dir.Write("page.html", "<body background=tile.png>" + LongPage(100).substr(21));
  viewer->LoadFromFile(page);
  // Surface (x, y) shows document row y + scroll; the tile starts at row 0.
  auto expected = [&](int y) { return (y + viewer->VScrollBarPosition()) % 10 < 5 ? kRed : kBlue; };
  for (int y : {0, 4, 5, 9, 123, 287}) EXPECT_EQ(Pixel(1 + 350, 1 + y), expected(y)) << y;
  viewer->ScrollTo(3);
  for (int y : {0, 1, 2, 6, 7, 123, 287}) EXPECT_EQ(Pixel(1 + 350, 1 + y), expected(y)) << y;
  // A line-down step scrolls what is shown and paints only what it uncovers.
  PostMessage(&viewer->VScrollBar(), WM_VSCROLL, SB_LINEDOWN);
  Drain();
  ASSERT_EQ(viewer->VScrollBarPosition(), 19);
  for (int y : {0, 1, 2, 6, 7, 280, 290, 296}) EXPECT_EQ(Pixel(1 + 350, 1 + y), expected(y)) << y;
}

TEST_F(Painting, ATransparentTileShowsTheColourThrough) {
  if (!test::HaveTool("convert")) GTEST_SKIP() << "ImageMagick is not installed";
  test::TempDir dir;
  const std::string gif = dir.File("half.gif");
  ASSERT_EQ(std::system(("convert -size 4x4 xc:none -size 4x4 xc:red +append " + gif).c_str()), 0);
  viewer->LoadFromFile(dir.Write("page.html", "<body bgcolor=#00ff00 background=half.gif><br>"));
  EXPECT_EQ(Pixel(1 + 200, 1 + 100), kGreen);
  EXPECT_EQ(Pixel(1 + 205, 1 + 100), kRed);
  EXPECT_EQ(Pixel(1 + 203, 1 + 150), kGreen);
  EXPECT_EQ(Pixel(1 + 204, 1 + 150), kRed);
}

TEST(PageBackground, APictureWithoutPixelsCountsAsNone) {
  TBitmap surface(40, 30);
  TPageBackground background;
  TBitmap empty(0, 7);
  background.Draw(surface.Canvas(), Rect(0, 0, 40, 30), &empty, nullptr, clLime, 0, 0);
  EXPECT_EQ(surface.Canvas().Pixel(39, 29), clLime);
  TBitmap flat(7, 0);
  background.Draw(surface.Canvas(), Rect(0, 0, 40, 30), &flat, nullptr, clRed, 5, 5);
  EXPECT_EQ(surface.Canvas().Pixel(0, 0), clRed);
}

TEST_F(Painting, ALatePictureRelayoutsKeepingThePlaceAndImagesCanBeTurnedOff) {
  test::TempDir dir;
  const std::string png = SolidPng(dir, "late.png", 30, 400, kRed);
  ASSERT_FALSE(png.empty());
  viewer->SetOnImageRequest([](TObject*, const std::string&, TMemoryStream*& stream) { stream = &WaitStream(); });
  Load("<img src=late.png>" + LongPage(200).substr(21));
  viewer->ScrollTo(900);
  const TViewerPosition before = viewer->GetPosition();
  const int heightBefore = viewer->ScrollHeight();
  auto stream = StreamOf(test::ReadFile(png));
  EXPECT_TRUE(viewer->InsertImage("late.png", *stream));
  EXPECT_GT(viewer->ScrollHeight(), heightBefore);
  EXPECT_EQ(viewer->GetPosition(), before);

  viewer->SetOnImageRequest(nullptr);
  viewer->LoadFromFile(dir.Write("page.html", "<body bgcolor=white><img src=late.png>"));
  EXPECT_EQ(Pixel(11 + 15, 6 + 15), kRed);
  viewer->SetViewImages(false);
  EXPECT_NE(Pixel(11 + 15, 6 + 15), kRed);
  viewer->SetViewImages(true);
  EXPECT_EQ(Pixel(11 + 15, 6 + 15), kRed);
}

// A section whose layout fails as an over-wide table's does.
class FailingSection : public TSectionBase {
 public:
  using TSectionBase::TSectionBase;
  int DrawLogic(TCanvas&, int, int, int, int, int, int, IndentManager&, int&, int&) override {
    throw EProcessError("Table has too many Columns");
  }
};

TEST_F(Painting, TheErrorsOfOneLayoutShowInOneBoxAfterIt) {
  std::vector<std::string> boxes;
  test_driver::AnswerMessageBoxes([&](const std::string& text, TMsgDlgType, TMsgDlgButtons) {
    boxes.push_back(text);
    return 1;
  });
  Load("<p>Shown");
  TSectionList& list = viewer->SectionList();
  for (int i = 0; i < 500; ++i) list.Add(std::make_unique<FailingSection>(&list));
  viewer->Layout();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Table has too many Columns");
  EXPECT_EQ(list.Count(), 1u);  // the rest shows
  EXPECT_GT(viewer->ScrollHeight(), 0);
}

}  // namespace
}  // namespace lark
