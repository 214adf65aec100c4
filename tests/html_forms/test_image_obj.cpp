#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "html/attribute_list.h"
#include "html/block.h"
#include "html/section_style.h"
#include "html/image_cache.h"
#include "html/image_loader.h"
#include "html/image_obj.h"
#include "html/url_target.h"
#include "images/gif_image.h"
#include "platform/graphics/gdi.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printer.h"
#include "platform/core/stream.h"
#include "tests/html_layout/layout_fixture.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

using testing::Font;
using testing::LaidOutDocument;

struct Attr {
  Symb Which;
  int Value;
  std::string Text;
};

void Load(TBitmap& bitmap, const std::string& file) {
  TMemoryStream stream;
  const std::string bytes = test::ReadFile(file);
  stream.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
  bitmap.LoadFromStream(stream);
}

// Colours equal within what a PDF renderer's colour conversion moves them.
bool Near(TColor a, TColor b) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 32) return false;
  return true;
}

// A laid-out print copy on the PDF printer's one page, at 96 units per inch.
void PrintToPdf(TSectionList& copy, const std::string& file) {
  TSystemPrinter printer;
  printer.OutputFileName = file;
  printer.SetPrinterIndex(static_cast<int>(printer.Printers().size()) - 1);  // the PDF printer
  const int dpi = GetDeviceCaps(printer.Canvas(), LOGPIXELSY);
  printer.BeginDoc();
  SetMapMode(printer.Canvas(), MM_ANISOTROPIC);
  SetWindowExtEx(printer.Canvas(), 96, 96);
  SetViewportExtEx(printer.Canvas(), dpi, dpi);
  copy.Draw(printer.Canvas(), Rect(0, 0, 600, 400), 600, 0, 0, 0, 0);
  printer.EndDoc();
}

// A document whose pictures ImageMagick makes in a fresh directory.
struct ImageDoc : LaidOutDocument {
  test::TempDir Dir;

  std::string Make(const std::string& name, const std::string& command) {
    const std::string path = Dir.File(name);
    const std::string separator = command.back() == ':' ? "" : " ";
    EXPECT_EQ(std::system((command + separator + path).c_str()), 0) << command;
    return path;
  }
  std::unique_ptr<TImageObj> Image(std::initializer_list<Attr> attrs) {
    TAttributeList list;
    for (const Attr& a : attrs) list.AddAttribute(a.Which, a.Value, a.Text);
    return std::make_unique<TImageObj>(List, 0, list);
  }
  TImageObj* Place(TSection& section, std::initializer_list<Attr> attrs) {
    return static_cast<TImageObj*>(section.AddObject(Image(attrs), 0));
  }
  // Sections take their objects before they join the document, as the
  // parser builds them.
  TSection* Open(const std::string& text = "") {
    pending_.push_back(std::make_unique<TSection>(&List, TParagraphStyle{}, Font(12), ""));
    pending_.back()->AddText(text, 0);
    return pending_.back().get();
  }
  int Lay(int width) {
    for (auto& section : pending_) List.Add(std::move(section));
    pending_.clear();
    return Layout(width);
  }
  std::vector<std::unique_ptr<TSection>> pending_;
  // The painted picture equals the reference file pixel for pixel.
  void ExpectPicture(const TImageObj& image, const std::string& reference) {
    TBitmap expected;
    Load(expected, reference);
    int differing = 0;
    for (int y = 0; y < expected.Height(); ++y)
      for (int x = 0; x < expected.Width(); ++x)
        differing += (Surface.Pixel(image.DrawXX + x, image.DrawYY + y) & 0xFFFFFF) !=
                     (expected.Pixel(x, y) & 0xFFFFFF);
    EXPECT_EQ(differing, 0) << reference;
  }
};

// Draws a laid-out document into `page`, as a print pass records a page.
void Record(TSectionList& list, TMetafile& page) {
  TMetafileCanvas canvas(page, nullptr);
  list.Draw(canvas, Rect(0, 0, 600, 400), 600, 0, 0, 0, 0);
}

TEST(ImageObj, AttributesAndSizingRules) {
  ImageDoc doc;
  const std::string png = doc.Make("a.png", "convert -size 200x100 xc:red");
  TCanvas& canvas = doc.Surface.Canvas();
  auto sized = [&](std::initializer_list<Attr> attrs, int available = 600) {
    std::unique_ptr<TImageObj> image = doc.Image(attrs);
    image->Source = png;
    image->DrawLogic(doc.List, canvas, nullptr, available);
    return image;
  };
  auto half = sized({{WidthSy, 50, "50%"}});
  EXPECT_EQ(half->ImageWidth, 300);
  EXPECT_EQ(half->ImageHeight, 150);
  EXPECT_EQ(sized({{WidthSy, 150, "150%"}})->ImageWidth, 200);
  EXPECT_EQ(sized({{HeightSy, 50, "50"}})->ImageWidth, 100);

  auto spaced = doc.Image({{HSpaceSy, 100, "100"}, {VSpaceSy, -5, "-5"}});
  EXPECT_EQ(spaced->HSpaceL, 40);
  EXPECT_EQ(spaced->HSpaceR, 40);
  EXPECT_EQ(spaced->VSpaceB, 5);
  auto left = doc.Image({{AlignSy, 0, "left"}});
  EXPECT_EQ(left->ObjAlign, aLeft);
  EXPECT_EQ(left->HSpaceL + left->HSpaceR, 6);

  // Hostile numbers are held before scaling: nothing wraps.
  auto wide = sized({{WidthSy, 2147483647, "2147483647"}, {HSpaceSy, -2147483647 - 1, "x"}});
  EXPECT_EQ(wide->ImageWidth, kMaxImageSide);
  EXPECT_EQ(wide->ImageHeight, kMaxImageSide / 2);
  EXPECT_EQ(wide->HSpaceL, 40);
  auto tall = sized({{HeightSy, 2147483647, "2147483647"}});
  EXPECT_EQ(tall->ImageWidth, kMaxImageSide);
  EXPECT_EQ(sized({{WidthSy, -2147483647, "-2147483647"}, {HeightSy, -2147483647, "-1"}})->ImageHeight, 1);
}

// An image holds its cache entry from its first layout until it goes, so
// the viewer's cache keeps the picture exactly while a document shows it.
TEST(ImageObj, AnImageHoldsItsCacheEntryUntilItGoes) {
  TStringBitmapList cache;  // outlives the document, as the viewer's does
  ImageDoc doc;
  doc.List.BitmapList = &cache;
  const std::string png = doc.Make("a.png", "convert -size 4x4 xc:red");
  auto first = doc.Image({{SrcSy, 0, png}});
  auto second = doc.Image({{SrcSy, 0, png}});
  for (TImageObj* image : {first.get(), second.get()}) {
    image->DrawLogic(doc.List, doc.Surface.Canvas(), nullptr, 600);
    image->DrawLogic(doc.List, doc.Surface.Canvas(), nullptr, 600);  // a second layout takes no second hold
  }
  const int entry = cache.IndexOf(ImageCacheKey(png));
  ASSERT_GE(entry, 0);
  EXPECT_EQ(cache.Item(entry).AccessCount, 2);
  first.reset();
  EXPECT_EQ(cache.Item(entry).AccessCount, 1);
  second.reset();
  EXPECT_EQ(cache.Item(entry).AccessCount, 0);
}

// Pictures far larger than the page cost only the visible part: a plain
// picture, a masked one and an animated GIF at the largest size held.
TEST(ImageObj, HugeImagesDrawOnlyTheirVisiblePart) {
  ImageDoc doc;
  const std::string png = doc.Make("a.png", "convert -size 4x2 xc:red");
  const std::string gif = doc.Make("b.gif", "convert -size 4x2 xc:red -transparent red -fill blue -draw 'point 0,0'");
  const std::string anim = doc.Make("c.gif", "convert -delay 10 -size 4x2 xc:lime xc:blue");
  const std::string huge = std::to_string(kMaxImageSide);
  for (const std::string& source : {png, gif, anim}) {
    ImageDoc page;
    TImageObj* image = page.Place(*page.Open(), {{SrcSy, 0, source}, {WidthSy, kMaxImageSide, huge},
                                                 {HeightSy, kMaxImageSide, huge}});
    page.Lay(600);
    page.Paint();
    EXPECT_EQ(image->ImageWidth, kMaxImageSide);
    EXPECT_TRUE(page.Inked(image->DrawXX, 0, image->DrawXX + 10, 10)) << source;
  }
}

TEST(ImageObj, TransparencyMatchesImageMagicksComposite) {
  ImageDoc doc;
  const std::string gif = doc.Make("t.gif", "convert -size 10x6 xc:red -fill blue -draw 'rectangle 2,1 5,4' -transparent red");
  const std::string palette = doc.Make("p.png", "convert " + gif);
  const std::string rgba = doc.Make("a.png", "convert -size 10x6 xc:'rgba(0,0,255,0.3)' -fill 'rgba(0,128,0,0.8)' -draw 'rectangle 0,0 4,5' -depth 8 PNG32:");
  const std::string refGif = doc.Make("t.bmp", "convert -size 10x6 xc:white " + gif + " -composite -type TrueColor BMP3:");
  const std::string refRgba = doc.Make("a.bmp", "convert " + rgba + " -channel A -threshold 50% +channel -background white -flatten -type TrueColor BMP3:");
  const std::string recoded = doc.Make("g.gif", "gifsicle -O2 " + gif + " -o");
  TSection* p = doc.Open();
  TImageObj* images[4] = {doc.Place(*p, {{SrcSy, 0, gif}}), doc.Place(*p, {{SrcSy, 0, "PNG8:" + palette}}),
                          doc.Place(*p, {{SrcSy, 0, rgba}}), doc.Place(*p, {{SrcSy, 0, recoded}})};
  images[1]->Source = palette;
  doc.Lay(600);
  doc.Paint();
  doc.ExpectPicture(*images[0], refGif);
  doc.ExpectPicture(*images[1], refGif);
  doc.ExpectPicture(*images[2], refRgba);
  doc.ExpectPicture(*images[3], refGif);
}

TEST(ImageObj, AlignmentsAgainstTheText) {
  ImageDoc doc;
  const std::string png = doc.Make("a.png", "convert -size 20x40 xc:red");
  TSection* p = doc.Open("Text ");
  TImageObj* top = doc.Place(*p, {{SrcSy, 0, png}, {AlignSy, 0, "top"}});
  TImageObj* base = doc.Place(*p, {{SrcSy, 0, png}});
  TImageObj* middle = doc.Place(*p, {{SrcSy, 0, png}, {AlignSy, 0, "absmiddle"}, {VSpaceSy, 4, "4"}});
  doc.Lay(600);
  doc.Paint();
  const LineRec& line = p->Lines()[0];
  const int baseline = line.Y + line.SpaceBefore + line.LineHt - line.Descent;
  EXPECT_EQ(top->DrawYY, line.Y);
  EXPECT_EQ(base->DrawYY + base->ImageHeight, baseline);
  const TFontObj* run = p->Fonts.GetFontObjAt(0);
  const int textMiddle = baseline + run->Descent - run->tmHeight / 2;
  EXPECT_NEAR(middle->DrawYY + middle->ImageHeight / 2, textMiddle, 1);
  EXPECT_TRUE(doc.Inked(base->DrawXX, base->DrawYY, base->DrawXX + 20, base->DrawYY + 40));

  // LEFT and RIGHT float to the paragraph's sides at the line's top; the text
  // runs between them.
  ImageDoc floats;
  TSection* q = floats.Open();
  TImageObj* left = floats.Place(*q, {{SrcSy, 0, png}, {AlignSy, 0, "left"}});
  TImageObj* right = floats.Place(*q, {{SrcSy, 0, png}, {AlignSy, 0, "RIGHT"}});
  q->AddText("Beside", 0);
  floats.Lay(600);
  floats.Paint();
  EXPECT_EQ(left->DrawXX, left->HSpaceL);
  EXPECT_EQ(right->DrawXX + right->ImageWidth + right->HSpaceR, 600);
  EXPECT_EQ(left->DrawYY, q->Lines()[0].Y);
  EXPECT_EQ(right->DrawYY, left->DrawYY);
  EXPECT_GE(q->Lines()[0].LineIndent, left->HSpaceL + 20 + left->HSpaceR);
}

TEST(ImageObj, LinkBorderAndMapsAnswerTheHitTest) {
  ImageDoc doc;
  const std::string png = doc.Make("a.png", "convert -size 40x30 xc:red");
  TSection* section = doc.Open();
  TFontObj* link = section->AddFont(Font(12, clBlue), "");
  TUrlTarget target;
  target.Update("next.html", "");
  section->SetLink(*link, target, {Font(12, clBlue), Font(12, clPurple), Font(12, clRed), Font(12, clRed)});
  TImageObj* plain = doc.Place(*section, {{SrcSy, 0, png}, {AltSy, 0, "tip"}});
  TImageObj* server = doc.Place(*section, {{SrcSy, 0, png}, {IsMapSy, 0, ""}, {BorderSy, 0, "0"}});
  TImageObj* client = doc.Place(*section, {{SrcSy, 0, png}, {UseMapSy, 0, "#Nav"}});
  TImageObj* lost = doc.Place(*section, {{SrcSy, 0, png}, {UseMapSy, 0, "#none"}});
  auto map = std::make_unique<TMapItem>();
  map->MapName = "NAV";
  TAttributeList area;
  auto addArea = [&](std::initializer_list<Attr> attrs) {
    area.Clear();
    for (const Attr& a : attrs) area.AddAttribute(a.Which, a.Value, a.Text);
    map->AddArea(area);
  };
  addArea({{ShapeSy, 0, "rect"}, {CoordsSy, 0, "0,0,9,9"}, {HrefSy, 0, "rect.html"}});
  addArea({{ShapeSy, 0, "rect"}, {CoordsSy, 0, "0,0,20,20"}, {HrefSy, 0, "second.html"}});
  addArea({{ShapeSy, 0, "circle"}, {CoordsSy, 0, "30,20,5"}, {HrefSy, 0, "circle.html"}});
  addArea({{ShapeSy, 0, "poly"}, {CoordsSy, 0, "21,0,39,0,39,10"}, {HrefSy, 0, "poly.html"}});
  addArea({{ShapeSy, 0, "rect"}, {CoordsSy, 0, "22,12,24,14"}, {NoHrefSy, 0, ""}});
  addArea({{ShapeSy, 0, "rect"}, {CoordsSy, 0, "21,0,39,29"}, {HrefSy, 0, "rest.html"}});
  doc.List.MapList.Add(std::move(map));
  doc.Lay(800);
  doc.Paint();
  EXPECT_EQ(plain->ImageWidth, 42);
  EXPECT_EQ(server->ImageWidth, 40);

  TCanvas& canvas = doc.Surface.Canvas();
  auto urlAt = [&](int x, int y) {
    std::unique_ptr<TUrlTarget> url;
    TFormControlObj* control = nullptr;
    std::string title;
    doc.List.GetURL(canvas, x, y, url, control, title);
    return url ? url->URL : std::string("-");
  };
  EXPECT_EQ(urlAt(plain->DrawXX, plain->DrawYY), "next.html");
  EXPECT_EQ(doc.List.ActiveImage, plain);
  (void)urlAt(plain->DrawXX + 40, plain->DrawYY + 5);  // the right border
  EXPECT_EQ(doc.List.ActiveImage, nullptr);
  EXPECT_EQ(urlAt(server->DrawXX + 3, server->DrawYY + 4), "next.html?3,4");
  EXPECT_EQ(urlAt(client->DrawXX + 9, client->DrawYY + 9), "rect.html");     // edges inclusive
  EXPECT_EQ(urlAt(client->DrawXX + 10, client->DrawYY + 9), "second.html");  // first match wins
  EXPECT_EQ(urlAt(client->DrawXX + 30, client->DrawYY + 24), "circle.html");
  EXPECT_EQ(urlAt(client->DrawXX + 38, client->DrawYY + 2), "poly.html");
  EXPECT_EQ(urlAt(client->DrawXX + 22, client->DrawYY + 9), "rest.html");   // in the polygon's box only
  EXPECT_EQ(urlAt(client->DrawXX + 23, client->DrawYY + 13), "-");          // NOHREF, before rest.html
  EXPECT_EQ(urlAt(lost->DrawXX + 38, lost->DrawYY + 2), "next.html");
}

struct LateHost : ImageDoc {
  TMemoryStream Picture;
  int Requests = 0;
  LateHost() {
    List.OnImageRequest = [this](TObject*, const std::string&, TMemoryStream*& stream) {
      ++Requests;
      stream = &WaitStream();
    };
    const std::string bytes = test::ReadFile(Make("late.png", "convert -size 30x20 xc:blue"));
    Picture.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  }
};

TEST(ImageObj, PlaceholderThenLateArrival) {
  LateHost doc;
  TSection* p = doc.Open("Before ");
  TImageObj* sized = doc.Place(*p, {{SrcSy, 0, "late.png"}, {WidthSy, 30, "30"}, {HeightSy, 20, "20"}});
  TImageObj* after = doc.Place(*p, {{SrcSy, 0, "after.png"}});  // a placeholder after it
  doc.Lay(600);
  doc.Paint();
  EXPECT_TRUE(sized->ShowsPlaceholder());
  EXPECT_EQ(sized->ImageWidth, 30);
  const int x = sized->DrawXX, y = sized->DrawYY;
  const TPoint afterAt = Point(after->DrawXX, after->DrawYY);
  bool reformat = true;
  doc.List.InsertImage("late.png", doc.Picture, reformat);
  EXPECT_FALSE(reformat);
  doc.Paint();  // no layout: the picture takes the place kept for it
  EXPECT_EQ(sized->DrawXX, x);
  EXPECT_EQ(sized->DrawYY, y);
  EXPECT_EQ(Point(after->DrawXX, after->DrawYY), afterAt);
  EXPECT_EQ(doc.Surface.Pixel(x + 15, y + 10) & 0xFFFFFF, clBlue);

  // Without sizes: the ALT text sizes the placeholder, the arrival asks for
  // a layout, and every image of the URL receives it.
  LateHost two;
  TSection* q = two.Open();
  TImageObj* a = two.Place(*q, {{SrcSy, 0, "late.png"}, {AltSy, 0, "A rather long alternative text"}});
  TImageObj* b = two.Place(*q, {{SrcSy, 0, "late.png"}});
  two.Lay(600);
  two.Paint();
  EXPECT_GE(a->ImageHeight, 24);
  EXPECT_GE(b->ImageWidth, 24);
  EXPECT_GT(a->ImageWidth, b->ImageWidth + 40);
  EXPECT_EQ(two.Requests, 1);
  two.List.InsertImage("late.png", two.Picture, reformat);
  EXPECT_TRUE(reformat);
  two.Lay(600);
  EXPECT_EQ(a->ImageWidth, 30);
  EXPECT_EQ(b->ImageHeight, 20);

  // A late animated GIF animates.
  LateHost three;
  TImageObj* gif = three.Place(*three.Open(), {{SrcSy, 0, "late.gif"}});
  three.Lay(600);
  TMemoryStream frames;
  const std::string bytes = test::ReadFile(three.Make("late.gif", "convert -delay 10 -size 8x8 xc:red xc:blue"));
  frames.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  three.List.InsertImage("late.gif", frames, reformat);
  three.Lay(600);
  ASSERT_TRUE(gif->Gif());
  EXPECT_TRUE(gif->Gif()->Animate);
  EXPECT_EQ(gif->ImageWidth, 8);
}

// Images of one missing URL ask once; the missing list answers by URL, so
// many images of one URL or of as many URLs cost a few steps each (counted,
// where a search of the list would take steps in the square of their number).
// The placeholder of a picture still to come holds its ALT text, wrapped
// onto several lines inside the frame.
TEST(ImageObj, ThePlaceholderWrapsItsAltTextInsideTheFrame) {
  LateHost doc;
  const std::string alt = "several short words wrapped";
  TImageObj* image =
      doc.Place(*doc.Open(), {{SrcSy, 0, "late.png"}, {WidthSy, 90, "90"}, {HeightSy, 80, "80"}, {AltSy, 0, alt}});
  doc.Lay(600);
  TMetafile page;
  Record(doc.List, page);
  const TRect frame = Rect(image->DrawXX, image->DrawYY, image->DrawXX + 90, image->DrawYY + 80);
  std::string shown;
  std::vector<int> baselines;
  for (int i = 0; i < page.RecordCount(); ++i) {
    const TMetafileRecord record = page.Record(i);
    if (record.RecordKind != TMetafileRecord::Kind::Text) continue;
    EXPECT_TRUE(record.Bounds.Left >= frame.Left && record.Bounds.Right <= frame.Right &&
                record.Bounds.Top >= frame.Top && record.Bounds.Bottom <= frame.Bottom)
        << record.Text;
    shown += record.Text;
    if (baselines.empty() || baselines.back() != record.BaselineY) baselines.push_back(record.BaselineY);
  }
  auto withoutBlanks = [](std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
  };
  EXPECT_EQ(withoutBlanks(shown), withoutBlanks(alt));
  EXPECT_GE(baselines.size(), 2u);
}

TEST(ImageObj, ManyMissingImagesAskOnceAndArriveInLinearWork) {
  for (const bool oneUrl : {true, false}) {
    SCOPED_TRACE(oneUrl);
    const int count = 10000;
    LateHost doc;
    TSection* p = doc.Open();
    std::vector<TImageObj*> images;
    auto url = [&](int i) { return oneUrl ? std::string("late.png") : "late" + std::to_string(i) + ".png"; };
    for (int i = 0; i < count; ++i) images.push_back(doc.Place(*p, {{SrcSy, 0, url(i)}}));
    doc.Lay(600);
    EXPECT_EQ(doc.Requests, oneUrl ? 1 : count);
    bool reformat = false;
    for (int i = 0; i < (oneUrl ? 1 : count); ++i) doc.List.InsertImage(url(i), doc.Picture, reformat);
    EXPECT_TRUE(reformat);
    for (TImageObj* image : images) ASSERT_FALSE(image->ShowsPlaceholder());
    EXPECT_TRUE(doc.List.MissingImages.empty());
    EXPECT_LE(doc.List.MissingImages.Work(), 4u * static_cast<unsigned>(count));
  }
}

TEST(ImageObj, BrokenFileShowsTheErrorPicture) {
  ImageDoc doc;
  const std::string broken = doc.Dir.Write("broken.png", "\x89PNG not really");
  TSection* p = doc.Open();
  TImageObj* image = doc.Place(*p, {{SrcSy, 0, broken}, {AltSy, 0, "gone"}});
  doc.Lay(600);
  doc.Paint();
  EXPECT_TRUE(image->ShowsPlaceholder());
  EXPECT_EQ(image->GetBitmap(), nullptr);
  EXPECT_TRUE(doc.Inked(image->DrawXX, image->DrawYY, image->DrawXX + image->ImageWidth, image->DrawYY + 4));
  TMetafile page;
  Record(doc.List, page);
  std::string shown;
  for (int i = 0; i < page.RecordCount(); ++i)
    if (page.Record(i).RecordKind == TMetafileRecord::Kind::Text) shown += page.Record(i).Text;
  EXPECT_EQ(shown, "gone");
}

TEST(ImageObj, ActiveGifsRollOverAndPrintCopiesDrawFrameOne) {
  ImageDoc doc;
  const std::string two = doc.Make("two.gif", "convert -delay 10 -size 8x8 xc:red xc:blue");
  const std::string three = doc.Make("three.gif", "convert -delay 10 -size 8x8 xc:red xc:blue xc:lime");
  TSection* p = doc.Open();
  TImageObj* a = doc.Place(*p, {{SrcSy, 0, two}, {ActiveSy, 0, ""}});
  TImageObj* b = doc.Place(*p, {{SrcSy, 0, three}, {ActiveSy, 0, ""}});
  TImageObj* animated = doc.Place(*p, {{SrcSy, 0, two}});
  doc.Lay(600);
  ASSERT_TRUE(a->Gif() && b->Gif() && animated->Gif());
  EXPECT_NE(a->Gif(), animated->Gif());
  EXPECT_TRUE(animated->Gif()->Animate);
  a->SetHover(1);
  EXPECT_EQ(a->Gif()->CurrentFrame, 2);
  a->SetHover(0);
  EXPECT_EQ(a->Gif()->CurrentFrame, 1);
  b->SetHover(2);
  EXPECT_EQ(b->Gif()->CurrentFrame, 3);
  b->SetHover(1);
  EXPECT_EQ(b->Gif()->CurrentFrame, 2);

  // A print copy draws every GIF's first frame, whatever is shown on screen.
  TSectionList copy(doc.List);
  TBitmap page(100, 40);
  int scrollWidth = 0, curs = 0;
  copy.DoLogic(page.Canvas(), 0, 100, 40, scrollWidth, curs);
  copy.Draw(page.Canvas(), Rect(0, 0, 100, 40), 100, 0, 0, 0, 0);
  int red = 0, blue = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) {
      red += (page.Pixel(x, y) & 0xFFFFFF) == clRed;
      blue += (page.Pixel(x, y) & 0xFFFFFF) == clBlue;
    }
  EXPECT_EQ(red, 3 * 64);
  EXPECT_EQ(blue, 0);
}

// A print copy draws a GIF's first frame through its mask: replayed from a
// metafile and read back from the PDF printer's page, the transparent half
// shows what lies beneath and the second frame never shows.
TEST(ImageObj, PrintCopiesDrawAGifsFirstFrameAndMaskOnMetafilesAndPdf) {
  ImageDoc doc;
  const std::string gif = doc.Make(
      "half.gif",
      "convert -delay 10 \\( -size 8x16 xc:none -size 8x16 xc:red +append \\) -size 16x16 xc:blue -dispose background");
  TImageObj* image = doc.Place(*doc.Open(), {{SrcSy, 0, gif}});
  doc.Lay(600);
  ASSERT_TRUE(image->Gif());
  image->Gif()->SetCurrentFrame(2);  // on screen the second frame shows
  TSectionList copy(doc.List);
  TBitmap measure(1, 1);
  int scrollWidth = 0, curs = 0;
  copy.DoLogic(measure.Canvas(), 0, 600, 400, scrollWidth, curs);
  TMetafile page;
  Record(copy, page);
  int images = 0;
  for (int i = 0; i < page.RecordCount(); ++i) images += page.Record(i).RecordKind == TMetafileRecord::Kind::Image;
  EXPECT_GE(images, 1);

  TBitmap replayed(600, 400);
  replayed.Canvas().Brush().Color = clLime;
  replayed.Canvas().FillRect(Rect(0, 0, 600, 400));
  page.DrawOn(replayed.Canvas(), Rect(0, 0, page.Width(), page.Height()));
  // The PDF printer's page, read back at 96 pixels per inch on white paper.
  ASSERT_TRUE(test::HaveTool("pdftoppm"));
  PrintToPdf(copy, doc.Dir.File("half.pdf"));
  const std::string ppm = doc.Dir.File("half");
  ASSERT_EQ(std::system(("pdftoppm -r 96 -aa no -aaVector no -singlefile " + doc.Dir.File("half.pdf") + " " + ppm +
                         " && convert " + ppm + ".ppm " + ppm + ".bmp")
                            .c_str()),
            0);
  TBitmap printed;
  Load(printed, ppm + ".bmp");

  const int x = image->DrawXX, y = image->DrawYY;
  for (const TBitmap* picture : {&replayed, &printed}) {
    const TColor beneath = picture->Pixel(x + 20, y + 4) & 0xFFFFFF;
    EXPECT_NE(beneath, clRed);
    // Edge pixels are left out: the printer scales to its own resolution.
    for (int row = 1; row < 15; ++row)
      for (int column = 1; column < 15; ++column) {
        if (column == 7 || column == 8) continue;
        ASSERT_TRUE(Near(picture->Pixel(x + column, y + row), column < 8 ? beneath : clRed))
            << (picture == &printed ? "PDF " : "metafile ") << column << "," << row;
      }
  }
}

// A list item's list-style image stands left of its first line with its
// bottom on the baseline; one that cannot be had gives the style's marker.
TEST(ImageObj, ListStyleImagesMarkListItems) {
  ImageDoc doc;
  const std::string png = doc.Make("bullet.png", "convert -size 6x6 xc:red");
  TProperties root;
  root.AddPropertyByName("font-family", "Arial");
  root.SetProp(css::FontSize, 12.0);
  root.SetProp(css::Color, 0);
  std::vector<TBlockLI*> items;
  for (const std::string& url : {png, doc.Dir.File("missing.png")}) {
    TProperties li, span;
    li.Inherit(root);
    li.PropTag = "li";
    li.AddPropertyByName("margin-left", "40px");
    li.AddPropertyByName("list-style-image", ("url(" + url + ")").c_str());
    auto item = std::make_unique<TBlockLI>(&doc.List, nullptr, li, &doc.List, "li", TListType::Unordered, '1',
                                           false, 1, 1);
    span.Inherit(li);
    span.PropTag = "span";
    auto section = CreateSection(&doc.List, nullptr, span, nullptr, true);
    section->AddText("item", 0);
    item->MyCell->Add(std::move(section));
    items.push_back(item.get());
    doc.List.Add(std::move(item));
  }
  doc.Lay(400);
  doc.Paint();
  ASSERT_TRUE(items[0]->Image);
  EXPECT_FALSE(items[1]->Image);
  const int baseline = items[0]->FirstLineY, right = items[0]->ContentLeft - 5;
  EXPECT_EQ(doc.Surface.Pixel(right - 3, baseline - 3) & 0xFFFFFF, clRed);
  EXPECT_EQ(doc.Surface.Pixel(right - 3, baseline + 1) & 0xFFFFFF, clWhite);
  EXPECT_TRUE(doc.Inked(items[1]->ContentLeft - 16, items[1]->FirstLineY - 7, items[1]->ContentLeft - 9,
                        items[1]->FirstLineY));  // the disc
}

}  // namespace
}  // namespace lark
