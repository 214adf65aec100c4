#include <fstream>

#include "html/font_run.h"
#include "html/form_controls_simple.h"
#include "html/section_list.h"
#include "platform/core/clock.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/edit.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/messages.h"
#include "platform/windows/shell.h"
#include "platform/windows/timer.h"
#include "tests/html_viewer/viewer_fixture.h"

namespace lark {
namespace {

using Interaction = ViewerTest;

// A page whose first line is one link word, then plain text lines.
const std::string kLinkPage =
    "<body bgcolor=white><font size=7><a href=\"#far\" title=\"Tip\">LINK</a><br>plain words here</font>"
    "<p>line</p><p>line</p><p>line</p><p>line</p><p>line</p><p>line</p><p>line</p><p>line</p><p>line</p>"
    "<p>line</p><p>line</p><p>line</p><p>line</p><p>line</p><p>line</p><p>line</p><p>line</p><p>line</p>"
    "<p>line</p><p>line</p><p>line</p><p>line</p><p>line</p><p>line</p><p>line</p><p>line</p><p>line</p>"
    "<p><a name=far>far</a> away</p>";

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// Pumps until `done` or two seconds pass.
template <typename Done>
bool PumpUntil(Done done) {
  const std::uint32_t start = timeGetTime();
  while (!done()) {
    if (timeGetTime() - start > 2000) return false;
    Application()->ProcessMessages();
    Sleep(5);
  }
  return true;
}

TEST_F(Interaction, HoverShowsCursorsAndReportsTheLink) {
  Load(kLinkPage);
  std::vector<std::string> covered;
  viewer->OnHotSpotCovered = [&](TObject* sender, const std::string& src) {
    EXPECT_EQ(sender, viewer);
    covered.push_back(src);
  };
  TPaintPanel* panel = &viewer->PaintPanel();
  test_driver::MouseMove(panel, 25, 30);
  Drain();
  EXPECT_EQ(test_driver::ShownCursor(panel), 1);
  ASSERT_EQ(covered, std::vector<std::string>{"#far"});
  EXPECT_EQ(viewer->LinkTitle(), "Tip");
  test_driver::MouseMove(panel, 25, 80);  // the plain words
  Drain();
  EXPECT_EQ(test_driver::ShownCursor(panel), kTextCursor);
  EXPECT_EQ(covered.back(), "");
  test_driver::MouseMove(panel, 390, 80);  // beside the text
  Drain();
  EXPECT_EQ(test_driver::ShownCursor(panel), crArrow);
  // Off the viewer: the hover timer reports that no link is covered.
  test_driver::MouseMove(panel, 25, 30);
  Drain();
  covered.clear();
  test_driver::SetCursorPos(viewer->ClientToScreen({1000, 1000}));
  EXPECT_TRUE(PumpUntil([&] { return !covered.empty(); }));
  EXPECT_EQ(covered, std::vector<std::string>{""});
}

TEST_F(Interaction, ClicksFollowJumpAndSelect) {
  viewer->SetHistoryMaxCount(5);
  test::TempDir dir;
  const std::string page = dir.File("page.html");
  std::string html = kLinkPage;
  html.replace(html.find("plain words here"), 16, "<a href=\"#nosuch\">NO</a> <a href=\"#\">HASH</a>");
  WriteFile(page, html);
  viewer->LoadFromFile(page);
  TPaintPanel* panel = &viewer->PaintPanel();
  // Handled stops the viewer's own following.
  bool handle = true;
  std::string clicked;
  viewer->OnHotSpotClick = [&](TObject*, const std::string& src, bool& handled) {
    clicked = src;
    handled = handle;
  };
  test_driver::Click(panel, 25, 30);
  Drain();
  EXPECT_EQ(clicked, "#far");
  EXPECT_EQ(viewer->VScrollBarPosition(), 0);
  // A drag over the link selects and follows nothing.
  handle = false;
  clicked.clear();
  test_driver::MouseDown(panel, TMouseButton::mbLeft, 15, 30);
  test_driver::MouseMove(panel, 60, 30, ssLeft);
  test_driver::MouseUp(panel, TMouseButton::mbLeft, 60, 30);
  Drain();
  EXPECT_TRUE(clicked.empty());
  EXPECT_NE(viewer->GetSelLength(), 0);
  // A click jumps to the anchor and records the position left.
  test_driver::Click(panel, 25, 30);
  Drain();
  EXPECT_GT(viewer->VScrollBarPosition(), 0);
  ASSERT_EQ(viewer->History().Count(), 2);
  EXPECT_NE(viewer->HistoryPosition(1).Pos, viewer->HistoryPosition(0).Pos);
  // "#nosuch" and a bare "#" change neither history nor position.
  viewer->SetVScrollBarPosition(20);
  for (const std::string link : {"#nosuch", "#"}) {
    int x = 0, y = 0;
    for (int probe = 0; probe < 40 * 40 && viewer->LinkURL() != link; ++probe) {
      test_driver::MouseMove(panel, x = 10 + probe % 40 * 6, y = 40 + probe / 40 * 2);
      Drain();
    }
    ASSERT_EQ(viewer->LinkURL(), link);
    test_driver::Click(panel, x, y);
    Drain();
    EXPECT_EQ(clicked, link);
    EXPECT_EQ(viewer->VScrollBarPosition(), 20);
    EXPECT_EQ(viewer->History().Count(), 2);
  }
}

TEST_F(Interaction, FollowingALocalFileLoadsItAndMarksItVisited) {
  test::TempDir dir;
  const std::string first = dir.File("first.html"), second = dir.File("second.html");
  WriteFile(first,
            "<body bgcolor=white><font size=7><a href=\"second.html\">NEXT</a><br><a href=other.html>OTHER</a>");
  WriteFile(second, "<body bgcolor=white><title>Second</title>arrived");
  viewer->SetHistoryMaxCount(3);
  viewer->LoadFromFile(first);
  test_driver::Click(&viewer->PaintPanel(), 25, 30);
  Drain();
  EXPECT_EQ(viewer->CurrentFile(), second);
  EXPECT_EQ(viewer->DocumentTitle(), "Second");
  ASSERT_GE(viewer->Visited().Count(), 1);
  EXPECT_EQ(viewer->Visited().Strings(0), second);
  // Back on the first page the followed link is drawn visited, the other not.
  viewer->LoadFromFile(first);
  const std::uint32_t visited = viewer->DefVisitedLinkColor(), plain = viewer->DefHotSpotColor();
  auto hasColour = [&](int y, std::uint32_t bgr) {
    const std::uint32_t rgb = ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
    for (int x = 10; x < 120; ++x)
      for (int dy = -8; dy <= 8; ++dy)
        if (Pixel(x, y + dy) == rgb) return true;
    return false;
  };
  EXPECT_TRUE(hasColour(30, visited));
  EXPECT_TRUE(hasColour(75, plain));
  EXPECT_FALSE(hasColour(30, plain));
  // No visited list any more: back to the link colour.
  viewer->SetVisitedMaxCount(0);
  EXPECT_EQ(viewer->Visited().Count(), 0);
  EXPECT_TRUE(hasColour(30, plain));
}

TEST_F(Interaction, MarkingVisitedLinksExpandsEachLinkOnce) {
  test::TempDir dir;
  const std::string page = dir.File("links.html");
  std::string html;
  for (int i = 0; i < 300; ++i) html += "<a href=\"p" + std::to_string(i) + ".html\">link <b>" + std::to_string(i) + "</b></a> ";
  WriteFile(page, html);
  viewer->LoadFromFile(page);
  for (int i = 0; i < 60; ++i) viewer->AddVisitedLink(dir.File("p" + std::to_string(i) + ".html"));
  ASSERT_EQ(viewer->Visited().Count(), 50);  // cut to its maximum, newest first
  EXPECT_EQ(viewer->Visited().Strings(0), dir.File("p59.html"));
  viewer->AddVisitedLink(dir.File("p30.html"));  // an older one moves to the front
  EXPECT_EQ(viewer->Visited().Strings(0), dir.File("p30.html"));
  EXPECT_EQ(viewer->Visited().Count(), 50);
  const std::size_t before = viewer->LinkNameExpansions();
  viewer->LoadFromFile(page);
  EXPECT_LE(viewer->LinkNameExpansions() - before, 300u);  // not links x visited entries
  int visited = 0;
  for (TObject* link : viewer->LinkList()) visited += dynamic_cast<TFontObj*>(link)->Visited;
  EXPECT_GE(visited, 50);
}

TEST_F(Interaction, HistoryKeepsItsMaximumAndSkipsTheSamePlace) {
  test::TempDir dir;
  std::vector<std::string> files;
  for (int i = 0; i < 4; ++i) {
    files.push_back(dir.File("h" + std::to_string(i) + ".html"));
    WriteFile(files.back(), "<form><input name=f value=v" + std::to_string(i) + "></form>" + LongPage(60) +
                                "<a name=end>end</a>");
  }
  int changes = 0;
  viewer->OnHistoryChange = [&](TObject*) { ++changes; };
  viewer->LoadFromFile(files[0]);
  EXPECT_EQ(viewer->History().Count(), 0);  // HistoryMaxCount 0 records nothing
  viewer->SetHistoryMaxCount(3);
  std::vector<std::vector<std::string>> leftData;
  for (const std::string& file : files) {
    if (file == files[3]) leftData = viewer->GetFormData();
    viewer->LoadFromFile(file);
  }
  ASSERT_EQ(viewer->History().Count(), 3);
  EXPECT_EQ(viewer->History().Strings(0), files[3]);
  EXPECT_EQ(viewer->History().Strings(2), files[1]);  // the oldest dropped
  EXPECT_EQ(viewer->HistoryPosition(1).FormData, leftData);  // a different file: values kept
  const int before = changes;
  viewer->LoadFromFile(files[3]);  // the same file at the same place
  EXPECT_EQ(changes, before);
  EXPECT_EQ(viewer->History().Count(), 3);
  viewer->LoadFromFile(files[3] + "#end");  // the same file elsewhere: no values kept
  EXPECT_EQ(changes, before + 1);
  EXPECT_TRUE(viewer->HistoryPosition(1).FormData.empty());
  viewer->SetHistoryMaxCount(1);  // smaller: cleared
  EXPECT_EQ(viewer->History().Count(), 0);
}

TEST_F(Interaction, SelectionCopyAndWords) {
  std::string copied;
  Load("<body bgcolor=white><font size=6>well-known caf\xC3\xA9 \xD0\xBC\xD0\xB8\xD1\x80</font>");
  TPaintPanel* panel = &viewer->PaintPanel();
  viewer->SelectAll();
  viewer->CopyToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), "well-known caf\xC3\xA9 \xD0\xBC\xD0\xB8\xD1\x80\r\n");
  // Double clicks: one side of a hyphen, a word with "é", a Cyrillic word.
  int doubles = 0;
  viewer->OnMouseDouble = [&](TObject*, TMouseButton, TShiftState, int, int) { ++doubles; };
  int xr = 0, yr = 0, h = 0;
  bool inText = false;
  (void)inText;
  auto wordAt = [&](const std::string& word) {
    // The first X on the line whose word is `word`.
    for (int x = 12; x < 390; x += 3) {
      int first = 0, end = 0;
      if (!viewer->WordAt(x, 20, first, end)) continue;
      test_driver::DoubleClick(panel, x, 20);
      Drain();
      viewer->CopyToClipboard();
      std::string text = Clipboard()->AsText();
      if (text.ends_with("\r\n")) text.resize(text.size() - 2);  // a paragraph's last word
      if (text == word) return true;
    }
    return false;
  };
  EXPECT_TRUE(wordAt("well"));
  EXPECT_TRUE(wordAt("known"));
  EXPECT_TRUE(wordAt("caf\xC3\xA9"));
  EXPECT_TRUE(wordAt("\xD0\xBC\xD0\xB8\xD1\x80"));
  EXPECT_GT(doubles, 0);
  (void)xr, (void)yr, (void)h;
  // A Windows-1251 page copies as UTF-8.
  Load("<meta http-equiv=content-type content=\"text/html; charset=windows-1251\"><body>\xEC\xE8\xF0 peace");
  viewer->SelectAll();
  viewer->CopyToClipboard();
  EXPECT_EQ(Clipboard()->AsText(), "\xD0\xBC\xD0\xB8\xD1\x80 peace\r\n");
  // NoSelect empties the selection and keeps SelectAll out.
  viewer->SetNoSelect(true);
  viewer->SelectAll();
  EXPECT_EQ(viewer->GetSelLength(), 0);
  viewer->SetNoSelect(false);
  // Past the buffer: refused whole, the clipboard untouched.
  Clipboard()->SetAsText("before");
  Load("<p>" + std::string(32497, 'a'));  // with the line break: the buffer exactly
  viewer->SelectAll();
  EXPECT_NO_THROW(viewer->CopyToClipboard());
  EXPECT_EQ(Clipboard()->AsText().size(), 32499u);
  Clipboard()->SetAsText("before");
  Load("<p>" + std::string(32499, 'a') + "\xC3\xA9");
  viewer->SelectAll();
  EXPECT_THROW(viewer->CopyToClipboard(), EBufferTooSmall);
  EXPECT_EQ(Clipboard()->AsText(), "before");
}

TEST_F(Interaction, FindSelectsTheMatchAndScrollsOnlyWhenOutOfView) {
  std::string page = LongPage(150);
  page += "<p>needle one</p><p>needle two</p>" + LongPage(50);
  Load("<p>needle zero</p>" + page);
  ASSERT_TRUE(viewer->Find("needle", false));
  EXPECT_EQ(viewer->VScrollBarPosition(), 0);  // in view: no scroll
  ASSERT_TRUE(viewer->Find("NEEDLE", false));  // the second occurrence, far down
  const int position = viewer->VScrollBarPosition();
  EXPECT_GT(position, 0);
  // The highlight (the text colour behind the letters) starts at mid-height.
  auto highlighted = [&](int row) {
    int dark = 0;
    for (int x = 12; x < 40; ++x) dark += Pixel(1 + x, 1 + row) == 0x000000;
    return dark >= 20;
  };
  int firstRow = -1;
  for (int row = 0; row < viewer->PaintPanel().Height() && firstRow < 0; ++row)
    if (highlighted(row)) firstRow = row;
  EXPECT_NEAR(firstRow, viewer->PaintPanel().Height() / 2, 3);
  EXPECT_FALSE(viewer->Find("absent", true));
  // Code pages: the selection covers exactly the matched characters.
  for (const std::string& source :
       {std::string("<meta http-equiv=content-type content=\"text/html; charset=windows-1251\"><p>\xCC\xC8\xD0 \xEC\xE8\xF0!"),
        std::string("<meta http-equiv=content-type content=\"text/html; charset=iso-8859-1\"><p>Caf\xC9 caf\xE9!")}) {
    Load(source);
    const bool cyrillic = source.find("1251") != std::string::npos;
    ASSERT_TRUE(viewer->Find(cyrillic ? "\xD0\xBC\xD0\xB8\xD1\x80" : "caf\xC3\xA9", false));
    ASSERT_TRUE(viewer->Find(cyrillic ? "\xD0\xBC\xD0\xB8\xD1\x80" : "caf\xC3\xA9", false));
    viewer->CopyToClipboard();
    EXPECT_EQ(Clipboard()->AsText(), cyrillic ? "\xD0\xBC\xD0\xB8\xD1\x80" : "caf\xC3\xA9") << source;
  }
}

TEST_F(Interaction, KeysWheelAndPanningScroll) {
  Load(LongPage(300));
  viewer->SetFocus();
  Drain();
  const int large = viewer->VScrollBar().LargeChange;
  struct Step {
    unsigned short key;
    int expected;
  };
  const int bottom = viewer->ScrollHeight() - viewer->PaintPanel().Height();
  for (const Step& step : {Step{VK_NEXT, large}, Step{VK_DOWN, large + 16}, Step{VK_UP, large},
                           Step{VK_PRIOR, 0}, Step{VK_END, bottom}, Step{VK_HOME, 0}}) {
    test_driver::PressKey(step.key);
    Drain();
    EXPECT_EQ(viewer->VScrollBarPosition(), step.expected) << step.key;
  }
  EXPECT_EQ(SendMessage(viewer, WM_GETDLGCODE), 1);
  // Left and Right move the horizontal bar by its small change.
  Load("<table width=2000><tr><td>wide</td></tr></table>" + LongPage(300));
  viewer->SetFocus();
  Drain();
  for (const Step& step : {Step{VK_RIGHT, 15}, Step{VK_RIGHT, 30}, Step{VK_LEFT, 15}, Step{VK_LEFT, 0},
                           Step{VK_LEFT, 0}}) {
    test_driver::PressKey(step.key);
    Drain();
    EXPECT_EQ(viewer->HScrollBar().Position(), step.expected) << step.key;
  }
  TPaintPanel* panel = &viewer->PaintPanel();
  test_driver::Wheel(panel, 100, 100, -120);
  Drain();
  EXPECT_EQ(viewer->VScrollBarPosition(), 60);
  test_driver::Wheel(panel, 100, 100, 120);
  Drain();
  EXPECT_EQ(viewer->VScrollBarPosition(), 0);
  // A middle click without a move enters panning.
  test_driver::MouseDown(panel, TMouseButton::mbMiddle, 100, 100);
  test_driver::MouseUp(panel, TMouseButton::mbMiddle, 100, 100);
  Drain();
  EXPECT_EQ(test_driver::ShownCursor(panel), 3);
  // 25 pixels below scrolls 8 per pass, 65 below 32 per pass; the loop
  // holds the queue, so a timer samples it and a click ends it.
  std::vector<int> near, far;
  std::vector<TCursor> cursors;
  auto* probe = new TTimer(form.get());
  probe->SetInterval(50);
  probe->OnTimer = [&](TObject*) {
    (near.size() < 10 ? near : far).push_back(viewer->VScrollBarPosition());
    cursors.push_back(test_driver::ShownCursor(panel));
    if (near.size() == 10 && far.empty()) {
      test_driver::SetCursorPos(panel->ClientToScreen({100, 165}));
      test_driver::MouseMove(panel, 100, 165);
    }
    if (far.size() == 10) {
      probe->SetEnabled(false);
      test_driver::Click(panel, 100, 165);
    }
  };
  probe->SetEnabled(true);
  test_driver::SetCursorPos(panel->ClientToScreen({100, 125}));
  test_driver::MouseMove(panel, 100, 125);
  ASSERT_TRUE(PumpUntil([&] { return far.size() == 10; }));
  Drain();
  auto movesBy = [](const std::vector<int>& samples, int step) {
    for (std::size_t k = 1; k < samples.size(); ++k)
      if ((samples[k] - samples[k - 1]) % step != 0) return false;
    return samples.back() > samples.front();
  };
  EXPECT_TRUE(movesBy(near, 8));
  EXPECT_TRUE(movesBy(far, 32));
  EXPECT_EQ(cursors[5], 5);
  const int stopped = viewer->VScrollBarPosition();
  PumpUntil([] { return false; });
  EXPECT_EQ(viewer->VScrollBarPosition(), stopped);
  EXPECT_NE(test_driver::ShownCursor(panel), 5);
}

TEST_F(Interaction, RightAndImageClicksDescribeThePoint) {
  test::TempDir dir;
  const std::string png = SolidPng(dir, "red.png", 40, 30, 0xFF0000);
  ASSERT_FALSE(png.empty());
  Load("<body bgcolor=white><img src=\"" + png + "\"><br><font size=7><a href=\"t.html\" target=win>word</a>");
  TObject* image = nullptr;
  TPoint inside;
  viewer->OnImageClick = [&](TObject*, TObject* obj, TMouseButton, TShiftState, int x, int y) {
    image = obj;
    inside = {x, y};
  };
  TPaintPanel* panel = &viewer->PaintPanel();
  Drain();
  test_driver::Click(panel, 20, 15);
  Drain();
  EXPECT_NE(image, nullptr);
  // The picture stands at the body's margins (10, 5).
  EXPECT_EQ(inside.X, 10);
  EXPECT_EQ(inside.Y, 10);
  TObject* over = nullptr;
  viewer->OnImageOver = [&](TObject*, TObject* obj, TShiftState, int x, int y) {
    over = obj;
    inside = {x, y};
  };
  test_driver::MouseMove(panel, 35, 20);
  Drain();
  EXPECT_EQ(over, image);
  EXPECT_EQ(inside.X, 25);
  EXPECT_EQ(inside.Y, 15);
  TRightClickParameters seen;
  std::string reported;
  test_driver::AnswerMessageBoxes([&](const std::string& text, TMsgDlgType, TMsgDlgButtons) {
    reported = text;
    return mrOk;
  });
  viewer->OnRightClick = [&](TObject*, TRightClickParameters& p) {
    seen = p;
    throw EConvertError("a failing handler");
  };
  test_driver::MouseDown(panel, TMouseButton::mbRight, 25, 55);
  test_driver::MouseUp(panel, TMouseButton::mbRight, 25, 55);
  Drain();
  EXPECT_EQ(seen.URL, "t.html");
  EXPECT_EQ(seen.Target, "win");
  EXPECT_EQ(seen.ClickWord, "word");
  EXPECT_EQ(reported, "a failing handler");
  // The hover timer runs again after a raising handler.
  test_driver::MouseMove(panel, 25, 55);
  Drain();
  EXPECT_EQ(test_driver::ShownCursor(panel), 1);
}

// The submit button of a parsed page, clicked through the window layer.
TEST_F(Interaction, SubmissionsArriveAfterTheClickEachWithItsValues) {
  const std::string page = "<form action=go><input name=q value=first><input type=submit name=s value=Send></form>";
  Load(page);
  Drain();
  ASSERT_EQ(viewer->SectionList().FormControlList.size(), 2u);
  auto* edit = static_cast<TEditFormControlObj*>(viewer->SectionList().FormControlList[0]);
  auto* send = static_cast<TButtonFormControlObj*>(viewer->SectionList().FormControlList[1]);
  std::vector<std::vector<std::string>> got;
  viewer->SetOnFormSubmit([&](TObject*, const std::string& action, const std::string&, const std::string&,
                              const std::string& method, const std::vector<std::string>& results) {
    EXPECT_EQ(action, "go");
    EXPECT_EQ(method, "get");
    got.push_back(results);
    // As a browser would: the page with the clicked button goes.
    Load(page);
  });
  edit->Edit().SetFocus();
  Drain();
  // Both clicks and the typing between them are queued input: the second
  // submission comes before the first is delivered.
  test_driver::Click(&send->Button(), 5, 5);
  test_driver::TypeText("X");
  test_driver::Click(&send->Button(), 5, 5);
  Drain();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], (std::vector<std::string>{"q=first", "s=Send"}));
  EXPECT_EQ(got[1], (std::vector<std::string>{"q=firstX", "s=Send"}));

  viewer->SetOnFormSubmit(nullptr);
  EXPECT_FALSE(viewer->SectionList().OnSubmitForm);
  send = static_cast<TButtonFormControlObj*>(viewer->SectionList().FormControlList[1]);
  test_driver::Click(&send->Button(), 5, 5);
  Drain();
  EXPECT_EQ(got.size(), 2u);
}

TEST_F(Interaction, DraggingPastTheBottomScrollsAndAFreedViewerEndsTheLoop) {
  Load(LongPage(300));
  TPaintPanel* panel = &viewer->PaintPanel();
  int positionSeen = 0, selectionSeen = 0;
  // A message handled inside the loop frees the viewer.
  auto* killer = new TTimer(form.get());
  killer->SetInterval(600);
  killer->OnTimer = [&](TObject*) {
    killer->SetEnabled(false);
    positionSeen = viewer->VScrollBarPosition();
    selectionSeen = viewer->GetSelLength();
    delete viewer;
    viewer = nullptr;
  };
  test_driver::MouseDown(panel, TMouseButton::mbLeft, 20, 20);
  Drain();
  killer->SetEnabled(true);
  test_driver::SetCursorPos(panel->ClientToScreen({20, panel->Height() + 5}));
  test_driver::MouseMove(panel, 20, panel->Height() + 5, ssLeft);
  EXPECT_TRUE(PumpUntil([&] { return viewer == nullptr; }));
  Drain();
  EXPECT_GT(positionSeen, 0);
  EXPECT_NE(selectionSeen, 0);
}

TEST_F(Interaction, PropertiesKeepTheirDefaultsAndClamps) {
  EXPECT_EQ(viewer->HistoryMaxCount(), 0);
  EXPECT_EQ(viewer->VisitedMaxCount(), 50);
  EXPECT_EQ(viewer->ImageCacheCount(), 5);
  EXPECT_EQ(viewer->htOptions(), htPrintTableBackground | htPrintMonochromeBlack);
  EXPECT_EQ(viewer->PrintMarginTop, 2.0);
  viewer->SetDefFontSize(3);
  EXPECT_EQ(viewer->DefFontSize(), 6);
  viewer->SetImageCacheCount(50);
  EXPECT_EQ(viewer->ImageCacheCount(), 20);
  viewer->SetImageCacheCount(-1);
  EXPECT_EQ(viewer->ImageCacheCount(), 0);
  viewer->SetHistoryMaxCount(-4);
  EXPECT_EQ(viewer->HistoryMaxCount(), 0);
  viewer->SetVisitedMaxCount(-1);
  EXPECT_EQ(viewer->VisitedMaxCount(), 0);
  // 31 bytes and a two-byte character: the name is cut before it.
  viewer->SetDefPreFontName(std::string(31, 'M') + "\xC3\xA9tail");
  EXPECT_EQ(viewer->SectionList().PreFontName, std::string(31, 'M'));
  // Drags over the paint surface reach the viewer's handler as its own.
  TObject* dropSender = nullptr;
  viewer->SetOnDragDrop([&](TObject* sender, TObject*, int, int) { dropSender = sender; });
  ASSERT_TRUE(viewer->PaintPanel().OnDragDrop);
  viewer->PaintPanel().OnDragDrop(&viewer->PaintPanel(), nullptr, 1, 1);
  EXPECT_EQ(dropSender, viewer);
  viewer->SetOnDragDrop(nullptr);
  EXPECT_FALSE(viewer->PaintPanel().OnDragDrop);
}

TEST_F(Interaction, TheFocusedBorderShowsOnlyWithTheFocus) {
  auto* other = new TEdit(form.get());
  other->SetParent(form.get());
  other->SetBounds(0, 0, 40, 20);
  viewer->SetBounds(0, 40, 400, 260);
  Load("<body bgcolor=white>text");
  viewer->SetFocus();
  Drain();
  const std::uint32_t focusedEdge = Pixel(0, 150), focusedInside = Pixel(5, 150);
  other->SetFocus();
  Drain();
  EXPECT_NE(focusedEdge, focusedInside);  // the line shows
  EXPECT_NE(Pixel(0, 150), focusedEdge);  // and goes with the focus
  viewer->SetBorderStyle(THTMLBorderStyle::htSingle);
  EXPECT_EQ(Pixel(0, 150), focusedEdge);  // always for htSingle
}

}  // namespace
}  // namespace lark
