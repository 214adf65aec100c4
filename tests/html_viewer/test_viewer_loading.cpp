#include <sys/stat.h>

#include "html/image_loader.h"
#include "platform/core/exception.h"
#include "platform/windows/application.h"
#include "tests/html_viewer/viewer_fixture.h"

namespace lark {
namespace {

using Loading = ViewerTest;

constexpr std::uint32_t kRed = 0xFF0000;

TEST_F(Loading, AFreshViewerHasItsDefaultsAndFreesTheDocumentBeforeItsChildren) {
  auto* fresh = new THTMLViewer(form.get());
  EXPECT_EQ(fresh->Width(), 150);
  EXPECT_EQ(fresh->Height(), 150);
  EXPECT_EQ(fresh->ScrollBars(), TScrollStyle::ssBoth);
  EXPECT_EQ(fresh->BorderStyle(), THTMLBorderStyle::htFocused);
  EXPECT_EQ(fresh->htOptions(), ThtmlViewerOptions{htPrintTableBackground | htPrintMonochromeBlack});
  EXPECT_EQ(fresh->DefFontName, "Times New Roman");
  EXPECT_EQ(fresh->DefPreFontName(), "Courier New");
  EXPECT_TRUE(fresh->ViewImages());
  EXPECT_EQ(fresh->VScrollBar().SmallChange, 16);
  EXPECT_EQ(fresh->HScrollBar().SmallChange, 15);
  fresh->SetDefFontSize(3);
  EXPECT_EQ(fresh->DefFontSize(), 6);
  fresh->SetImageCacheCount(50);
  EXPECT_EQ(fresh->ImageCacheCount(), 20);
  fresh->SetImageCacheCount(-1);
  EXPECT_EQ(fresh->ImageCacheCount(), 0);
  fresh->SetServerRoot("/srv/www/");
  EXPECT_EQ(fresh->ServerRoot(), "/srv/www");
  fresh->SetServerRoot("/");
  EXPECT_EQ(fresh->ServerRoot(), "/");
  // A document with windows of its own on the paint surface goes first.
  fresh->SetParent(form.get());
  const std::string page = "<panel name=a width=50 height=20><panel name=b width=50 height=20>";
  fresh->LoadFromBuffer(page.data(), page.size());
  EXPECT_EQ(fresh->SectionList().PanelList.size(), 2u);
  delete fresh;
  Drain();
}

TEST_F(Loading, AFilePositionsToItsAnchorAndTheSameFileKeepsItsPlace) {
  test::TempDir dir;
  const std::string page = dir.Write("page.html", LongPage(300) + "<a name=far>Far</a>" + LongPage(50));
  const std::string other = dir.Write("other.html", LongPage(300));
  viewer->LoadFromFile(page + "#far");
  const int farY = viewer->VScrollBarPosition();
  EXPECT_GT(farY, 1000);
  EXPECT_EQ(viewer->CurrentFile(), page);
  viewer->LoadFromFile(other + "#nowhere");
  EXPECT_EQ(viewer->VScrollBarPosition(), 0);
  viewer->ScrollTo(500);
  viewer->LoadFromFile(other);
  EXPECT_EQ(viewer->VScrollBarPosition(), 500);
  viewer->LoadFromFile(page);
  EXPECT_EQ(viewer->VScrollBarPosition(), 0);
}

TEST_F(Loading, BuffersAndStreamsLoadAsHtmlTextOrOnePicture) {
  Load("<title>T</title><base href=\"http://example.org/a/\" target=main><p>Hello");
  EXPECT_EQ(viewer->DocumentTitle(), "T");
  EXPECT_EQ(viewer->Base(), "http://example.org/a/");
  EXPECT_EQ(viewer->BaseTarget(), "main");
  EXPECT_EQ(viewer->CurrentFile(), "");

  auto text = StreamOf("one\rtwo\rthree");
  viewer->LoadFromMemoryStream("http://example.org/t.txt", text.get(), ThtmlFileType::ftText);
  EXPECT_EQ(viewer->CurrentFile(), "http://example.org/t.txt");
  EXPECT_EQ(viewer->SectionList().PositionList.size(), 3u);  // a section per line
  EXPECT_EQ(viewer->Base(), "");

  test::TempDir dir;
  const std::string png = SolidPng(dir, "red.png", 20, 20, kRed);
  ASSERT_FALSE(png.empty());
  auto picture = StreamOf(test::ReadFile(png));
  viewer->LoadFromMemoryStream("http://example.org/red.png", picture.get(), ThtmlFileType::ftImage);
  picture.reset();  // the caller's stream is gone: nothing may hand it out again
  // The body margins (10, 5) inside the one-pixel frame.
  EXPECT_EQ(Pixel(11, 6), kRed);
  EXPECT_EQ(Pixel(30, 25), kRed);
  EXPECT_NE(Pixel(10, 6), kRed);
  EXPECT_NE(Pixel(11, 5), kRed);
  EXPECT_FALSE(viewer->SectionList().OnImageRequest);

  viewer->Clear();
  EXPECT_NE(Pixel(11, 6), kRed);
  viewer->LoadImageFromFile(png);
  EXPECT_EQ(Pixel(11, 6), kRed);
  EXPECT_EQ(viewer->CurrentFileType(), ThtmlFileType::ftImage);
}

// The body's margins are not inherited: with or without a BODY tag, the
// page starts at the viewer's margins unless the tag or a style gives others.
TEST_F(Loading, TheBodyStartsAtTheViewersMarginsUnlessItGivesItsOwn) {
  test::TempDir dir;
  const std::string png = SolidPng(dir, "red.png", 20, 20, kRed);
  ASSERT_FALSE(png.empty());
  const std::string image = "<img src=\"" + png + "\">";
  // The picture's top left corner is at (x, y) inside the one-pixel frame.
  auto startsAt = [&](int x, int y) {
    return Pixel(1 + x, 1 + y) == kRed && Pixel(x, 1 + y) != kRed && Pixel(1 + x, y) != kRed;
  };
  Load(image);
  EXPECT_TRUE(startsAt(10, 5));
  Load("<body bgcolor=white>" + image);
  EXPECT_TRUE(startsAt(10, 5));
  Load("<body marginwidth=3 marginheight=400>" + image);
  EXPECT_TRUE(startsAt(3, 200));
  Load("<style>body { margin-left: 0 }</style><body>" + image);
  EXPECT_TRUE(startsAt(0, 5));
  viewer->MarginWidth = 30;
  viewer->MarginHeight = 0;
  Load("<body>" + image);
  EXPECT_TRUE(startsAt(30, 0));
}

TEST_F(Loading, AFailedLoadLeavesTheViewerWorking) {
  std::vector<bool> processing;
  viewer->OnProcessing = [&](TObject*, bool on) { processing.push_back(on); };
  const TCursor cursor = Screen()->Cursor();
  try {
    viewer->LoadFromFile("/nonexistent/page.html");
    FAIL() << "no error";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.Message, "Can't locate file: /nonexistent/page.html");
  }
  EXPECT_EQ(processing, (std::vector<bool>{true, false}));
  EXPECT_FALSE(viewer->Processing());
  EXPECT_EQ(Screen()->Cursor(), cursor);
  // A comment left open raises from the parser; what was read still shows.
  processing.clear();
  EXPECT_THROW(Load("<p>Before<!-- never closed"), Exception);
  EXPECT_EQ(processing, (std::vector<bool>{true, false}));
  EXPECT_GT(viewer->ScrollHeight(), 0);
  Load("<p>After");
  EXPECT_EQ(viewer->SectionList().PositionList.size(), 1u);
  auto stream = StreamOf("x");
  EXPECT_TRUE(viewer->InsertImage("late.png", *stream));
  viewer->Clear();
  EXPECT_EQ(viewer->ScrollHeight(), 0);
}

TEST_F(Loading, AOneImageLoadThatFailsPutsTheImageHandlerBack) {
  // A load started from a hook of another viewer's parse fails (one parse
  // at a time); the picture's temporary handler must not stay behind.
  int asked = 0;
  viewer->SetOnImageRequest([&](TObject*, const std::string&, TMemoryStream*& stream) {
    ++asked;
    stream = nullptr;
  });
  auto* outer = new THTMLViewer(form.get());
  auto picture = StreamOf("GIF89a");
  bool raised = false;
  outer->OnMeta = [&](TObject*, const std::string&, const std::string&, const std::string&) {
    try {
      viewer->LoadFromMemoryStream("pic.gif", picture.get(), ThtmlFileType::ftImage);
    } catch (const Exception&) {
      raised = true;
    }
  };
  const std::string page = "<meta name=x content=y><p>Outer";
  outer->LoadFromBuffer(page.data(), page.size());
  EXPECT_TRUE(raised);
  EXPECT_FALSE(viewer->Processing());
  picture.reset();
  Load("<img src=\"a.png\">");
  EXPECT_EQ(asked, 1);
}

TEST_F(Loading, ThePictureCacheAgesOncePerDocument) {
  test::TempDir dir;
  ASSERT_FALSE(SolidPng(dir, "red.png", 8, 8, kRed).empty());
  viewer->SetImageCacheCount(1);
  const std::string withPicture = dir.Write("with.html", "<img src=red.png>");
  const std::string without = dir.Write("without.html", "<p>No picture");
  viewer->LoadFromFile(withPicture);
  TStringBitmapList& cache = *viewer->SectionList().BitmapList;
  EXPECT_EQ(cache.Count(), 1);
  viewer->LoadFromFile(without);
  EXPECT_EQ(cache.Count(), 1);  // one document without it is allowed
  viewer->LoadFromFile(withPicture);
  viewer->LoadFromFile(without);
  viewer->LoadFromFile(without);
  EXPECT_EQ(cache.Count(), 0);
}

TEST_F(Loading, ALoadInsideALoadIsIgnored) {
  viewer->OnParseBegin = [&](TObject*, std::string& source) {
    Load("<title>Inner</title>");
    source += "<title>Outer</title>";
  };
  Load("<p>Text");
  EXPECT_EQ(viewer->DocumentTitle(), "Outer");
}

TEST_F(Loading, HostileNamesAndFilesLoadOrFailClearly) {
  test::TempDir dir;
  const std::string png = SolidPng(dir, "red.png", 12, 12, kRed);
  ASSERT_FALSE(png.empty());
  // Quotes, angle brackets and ampersands stay part of the name.
  const std::string odd = dir.Write("a\"b>c&d<e.png", test::ReadFile(png));
  viewer->LoadImageFromFile(odd);
  EXPECT_EQ(Pixel(11, 6), kRed);
  EXPECT_EQ(viewer->SectionList().Count(), 1u);
  // A name of 300 characters is never cut.
  std::string deep = dir.Path();
  while (deep.size() < 300) {
    deep += "/" + std::string(40, 'd');
    ASSERT_EQ(mkdir(deep.c_str(), 0700), 0);
  }
  const std::string longName = deep + "/picture.png";
  test::WriteFile(longName, test::ReadFile(png));
  viewer->Clear();
  viewer->LoadImageFromFile(longName);
  EXPECT_EQ(Pixel(11, 6), kRed);

  // Folders and FIFOs are no documents; pictures and sheets that are
  // not regular files count as missing.
  const std::string fifo = dir.File("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_THROW(viewer->LoadFromFile(fifo), EInOutError);
  EXPECT_THROW(viewer->LoadFromFile(dir.Path()), EInOutError);
  EXPECT_THROW(viewer->LoadImageFromFile(fifo), EInOutError);
  const std::string page =
      dir.Write("page.html", "<link rel=stylesheet href=fifo><img src=\"/dev/zero\"><img src=\"" + dir.Path() +
                                 "\"><p>Shown");
  viewer->LoadFromFile(page);
  EXPECT_GT(viewer->ScrollHeight(), 0);
  EXPECT_FALSE(viewer->Processing());
  // Ten megabytes on one line, as plain text.
  viewer->LoadFile(dir.Write("line.txt", std::string(10 << 20, 'w')), ThtmlFileType::ftText);
  EXPECT_GT(viewer->LayoutWidth(), 0);
  EXPECT_FALSE(viewer->Processing());
}

TEST_F(Loading, MetaRefreshReportsItsDelayAndAddress) {
  struct Case {
    std::string content;
    int delay;
    std::string url;
  };
  const Case cases[] = {{"0", 1, ""}, {"5; URL=Next.html", 5, "Next.html"}, {"x", 0, ""}, {"-3", 0, ""}};
  for (const Case& c : cases) {
    int delay = 0;
    std::string url = "unset";
    viewer->OnMetaRefresh = [&](TObject*, int d, const std::string& u) {
      delay = d;
      url = u;
    };
    Load("<meta http-equiv=Refresh content=\"" + c.content + "\"><p>x");
    EXPECT_EQ(delay, c.delay) << c.content;
    if (c.delay > 0) {
      EXPECT_EQ(url, c.url) << c.content;
    }
  }
}

TEST_F(Loading, LinkNamesBecomeFileNames) {
  test::TempDir dir;
  const std::string page = dir.Write("page.html", "<p>x");
  viewer->LoadFromFile(page);
  EXPECT_EQ(viewer->ExpandLinkName(" next.html "), dir.File("next.html"));
  EXPECT_EQ(viewer->ExpandLinkName("/etc/hosts"), "/etc/hosts");
  EXPECT_EQ(viewer->ExpandLinkName("file:///tmp/a%20b.html"), "/tmp/a b.html");
  viewer->SetBase("file:///srv/docs/index.html");
  EXPECT_EQ(viewer->ExpandLinkName("sub/../pic.gif"), "/srv/docs/pic.gif");
  viewer->SetServerRoot("/srv/www/");
  EXPECT_EQ(viewer->ExpandLinkName("/pic.gif"), "/srv/www/pic.gif");
}

}  // namespace
}  // namespace lark
