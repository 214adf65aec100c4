#include <gtest/gtest.h>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printer.h"
#include "tests/platform_graphics/scene.h"

namespace lark {
namespace {

using namespace testing_scene;

TEST(Metafile, ReplayAtOneToOneEqualsDirectDrawing) {
  TBitmap direct(kWidth, kHeight), reference(kWidth, kHeight), replayed(kWidth, kHeight);
  Draw(direct.Canvas());
  TMetafile metafile;
  {
    TMetafileCanvas recorder(metafile, &reference.Canvas());
    Draw(recorder);
  }
  EXPECT_EQ(metafile.Width(), kWidth);
  EXPECT_EQ(metafile.Height(), kHeight);
  EXPECT_GT(metafile.RecordCount(), 8);
  replayed.Canvas().Draw(0, 0, metafile);
  EXPECT_EQ(DifferentShare(direct, replayed, 0, Rect(0, 0, kWidth, kHeight)), 0.0);
}

// What the clip hides entirely is not kept; what it touches is, whole.
TEST(Metafile, CommandsWhollyOutsideTheClipAreNotRecorded) {
  TBitmap reference(400, 400);
  TMetafile metafile;
  TMetafileCanvas recorder(metafile, &reference.Canvas());
  recorder.Font().SetName("Arial");
  IntersectClipRect(recorder, 100, 100, 200, 200);
  recorder.TextOut(100, 300, "below");
  recorder.TextOut(300, 150, "beside");
  recorder.FillRect(Rect(0, 0, 90, 90));
  recorder.Draw(250, 250, reference);
  EXPECT_EQ(metafile.RecordCount(), 0);
  recorder.TextOut(150, 195, "across the edge");
  recorder.Pen().Width = 10;
  recorder.Polyline({{0, 97}, {300, 97}});  // its thickness reaches in
  recorder.FillRect(Rect(190, 190, 300, 300));
  ASSERT_EQ(metafile.RecordCount(), 3);
  EXPECT_EQ(metafile.Record(0).Text, "across the edge");
}

TEST(Metafile, TextIsReadableAsPositionedRuns) {
  TBitmap reference(100, 50);
  TMetafile metafile;
  TMetafileCanvas recorder(metafile, &reference.Canvas());
  recorder.Font().SetName("Arial");
  SetTextAlign(recorder, TA_BASELINE);
  recorder.TextOut(7, 30, "ab c");
  ASSERT_EQ(metafile.RecordCount(), 1);
  const TMetafileRecord record = metafile.Record(0);
  EXPECT_EQ(record.RecordKind, TMetafileRecord::Kind::Text);
  EXPECT_EQ(record.Text, "ab c");
  EXPECT_EQ(record.BaselineY, 30);
  ASSERT_EQ(record.CharX.size(), 4u);
  EXPECT_EQ(record.CharX[0], 7);
  EXPECT_EQ(record.CharX[1], 7 + recorder.TextWidth("a"));
  EXPECT_EQ(record.CharX[3], 7 + recorder.TextWidth("ab "));
  EXPECT_EQ(GetDeviceCaps(recorder, TECHNOLOGY), DT_METAFILE);
  EXPECT_EQ(recorder.Pixel(0, 0), clNone);  // nothing to read back
}

// Tolerance of a replay from a 600-dpi reference onto a 96-dpi bitmap: at
// most 1% of the pixels may differ by more than 64 in a channel (edges of
// shapes that land between device pixels).
constexpr double kScaledReplayShare = 0.01;

TEST(Metafile, ReplayFromA600DpiReferenceMatchesWithinTolerance) {
  TDeviceCaps caps;
  caps.LogPixelsX = caps.LogPixelsY = 600;
  caps.HorzRes = caps.PhysicalWidth = kWidth * 600 / 96;
  caps.VertRes = caps.PhysicalHeight = kHeight * 600 / 96;
  TTestPrinter device(caps);
  TMetafile metafile;
  {
    TMetafileCanvas recorder(metafile, &device.Canvas());
    EXPECT_EQ(GetDeviceCaps(recorder, LOGPIXELSX), 600);
    SetMapMode(recorder, MM_ANISOTROPIC);  // logical units are 96-dpi pixels
    SetWindowExtEx(recorder, 96, 96);
    SetViewportExtEx(recorder, 600, 600);
    Draw(recorder);
  }
  EXPECT_EQ(metafile.Width(), caps.PhysicalWidth);
  TBitmap direct(kWidth, kHeight), replayed(kWidth, kHeight);
  Draw(direct.Canvas());
  replayed.Canvas().StretchDraw(Rect(0, 0, kWidth, kHeight), metafile);
  EXPECT_LE(DifferentShare(direct, replayed, 64, Rect(0, 0, kWidth, kHeight)), kScaledReplayShare);
}

}  // namespace
}  // namespace lark
