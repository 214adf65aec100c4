#include "html/section_list.h"

#include <gtest/gtest.h>

#include "html/floating_object.h"
#include "html/text_collector.h"
#include "html/url_target.h"
#include "platform/core/code_page.h"
#include "platform/graphics/bitmap.h"
#include "platform/windows/timer.h"

namespace lark {
namespace {

// Something a section registers in its document, as a font run or an image
// would; it takes itself out when it is freed.
struct Registered : TObject {
  explicit Registered(TSectionList* list) : List(list) {}
  ~Registered() override { List->ForgetObject(this); }
  TSectionList* List;
};

// A section of fixed height and text length that can fail its layout after
// it has registered itself everywhere a real section might.
class StubSection : public TSectionBase {
 public:
  StubSection(TSectionList* list, int height, int length, std::string text = "")
      : TSectionBase(list), height_(height), length_(length), text_(std::move(text)) {}

  int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                int& maxWidth, int& curs) override {
    SeenLeftIndent = iMgr.LeftIndent(y);
    SeenCurs = curs;
    SectionHeight = height_;
    TSectionBase::DrawLogic(canvas, x, y, xRef, yRef, aWidth, aHeight, iMgr, maxWidth, curs);
    Len = length_;
    curs += length_;
    if (FailLayout) {
      run_ = std::make_unique<Registered>(ParentSectionList);
      ParentSectionList->LinkList.push_back(run_.get());
      if (ParentSectionList->IDNameList) ParentSectionList->IDNameList->AddObject("inner", this);
      ParentSectionList->ActiveLink = run_.get();
      ParentSectionList->FirstLineBaseline = &baseline_;
      ParentSectionList->TableNestLevel++;
      iMgr.CurrentID = this;
      iMgr.AddLeft(50, y);
      throw EProcessError("Table has too many Columns");
    }
    return SectionHeight;
  }
  TGuResultType GetURL(TCanvas&, int, int, std::unique_ptr<TUrlTarget>&, TFormControlObj*&,
                       std::string& title) override {
    title = text_;
    return guTitle;
  }
  void CopyToClipboard() override { ParentSectionList->ClipBuf->AddText(text_, CP_UTF8); }
  bool KeepInCell() override { return Keep; }
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList* list) const override {
    auto copy = std::make_unique<StubSection>(list, height_, length_, text_);
    copy->FailLayout = FailLayout;
    return copy;
  }

  bool FailLayout = false;
  bool Keep = true;
  int SeenLeftIndent = -1;
  int SeenCurs = -1;

 private:
  int height_, length_;
  std::string text_;
  int baseline_ = 0;
  std::unique_ptr<Registered> run_;
};

struct Document {
  TSectionList List{nullptr, nullptr};
  TBitmap Surface{400, 300};

  StubSection* Add(int height, int length, std::string text = "") {
    auto section = std::make_unique<StubSection>(&List, height, length, std::move(text));
    StubSection* raw = section.get();
    List.Add(std::move(section));
    return raw;
  }
  int Layout(int width = 400) {
    int scrollWidth = 0, curs = 0;
    return List.DoLogic(Surface.Canvas(), 0, width, 300, scrollWidth, curs);
  }
};

TEST(TSectionList, SectionsStackAndAnswerOnlyInTheirBand) {
  Document doc;
  doc.Add(10, 3, "first");
  StubSection* second = doc.Add(20, 4, "second");
  EXPECT_EQ(doc.Layout(), 30);
  EXPECT_EQ(second->DrawTop, 10);
  EXPECT_EQ(second->StartCurs, 3);
  EXPECT_EQ(doc.List.Len, 7);

  std::unique_ptr<TUrlTarget> target;
  TFormControlObj* control = nullptr;
  std::string title;
  EXPECT_EQ(doc.List.GetURL(doc.Surface.Canvas(), 5, 15, target, control, title), unsigned(guTitle));
  EXPECT_EQ(title, "second");
  EXPECT_EQ(doc.List.GetURL(doc.Surface.Canvas(), 5, 35, target, control, title), 0u);
  // Past the last section a source position maps to the length + 1.
  EXPECT_EQ(doc.List.FindDocPos(1000, false), 8);
  int secY = 0, index = 0;
  EXPECT_EQ(doc.List.FindSectionAtPosition(12, secY, index), second);
  EXPECT_EQ(secY, 10);
}

TEST(TSectionList, AFailedSectionLeavesNothingBehind) {
  Document doc;
  doc.Add(10, 3);
  StubSection* failing = doc.Add(20, 5);
  failing->FailLayout = true;
  StubSection* last = doc.Add(30, 2);
  std::vector<std::string> shown;
  std::size_t countWhenShown = 0;
  doc.List.OnLayoutError = [&](const std::string& message) {
    shown.push_back(message);
    countWhenShown = doc.List.Count();
  };

  EXPECT_EQ(doc.Layout(), 40);
  ASSERT_EQ(shown, std::vector<std::string>{"Table has too many Columns"});
  EXPECT_EQ(countWhenShown, 2u);  // shown after layout, not inside it
  EXPECT_EQ(doc.List.Count(), 2u);
  EXPECT_TRUE(doc.List.LinkList.empty());
  EXPECT_EQ(doc.List.IDNameList->IndexOf("inner"), -1);
  EXPECT_EQ(doc.List.ActiveLink, nullptr);
  EXPECT_EQ(doc.List.FirstLineBaseline, nullptr);
  EXPECT_EQ(doc.List.TableNestLevel, 0);
  EXPECT_EQ(last->SeenCurs, 3);        // the running text position is restored
  EXPECT_EQ(last->SeenLeftIndent, 0);  // and so are the indents
  EXPECT_EQ(last->DrawTop, 10);
  EXPECT_EQ(doc.List.PositionList.size(), 2u);
}

TEST(TSectionList, APrintCopyDropsFailingSectionsToo) {
  Document doc;
  doc.Add(10, 3, "kept");
  doc.Add(20, 5)->FailLayout = false;
  TSectionList copy(doc.List);
  ASSERT_EQ(copy.Count(), 2u);
  EXPECT_TRUE(copy.IsCopy);
  EXPECT_EQ(copy.IDNameList, nullptr);
  static_cast<StubSection*>(copy.Items(1))->FailLayout = true;
  int scrollWidth = 0, curs = 0;
  EXPECT_EQ(copy.DoLogic(doc.Surface.Canvas(), 0, 400, 300, scrollWidth, curs), 10);
  EXPECT_EQ(copy.Count(), 1u);
  EXPECT_EQ(copy.AnimationTimerObject(), nullptr);  // a copy never animates
}

TEST(TSectionList, CellDropsSectionsThatShowNothing) {
  TSectionList list(nullptr, nullptr);
  auto section = std::make_unique<StubSection>(&list, 10, 0);
  section->Keep = false;
  list.IDNameList->AddObject("gone", section.get());
  list.Add(std::move(section));
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.IDNameList->IndexOf("gone"), -1);
}

TEST(TSectionList, AnimationTimerIsMadeByLayoutAndFreedByClear) {
  Document doc;
  doc.Add(10, 1);
  EXPECT_EQ(doc.List.AnimationTimerObject(), nullptr);
  doc.Layout();
  ASSERT_NE(doc.List.AnimationTimerObject(), nullptr);
  EXPECT_FALSE(doc.List.AnimationTimerObject()->Enabled());  // no GIF to animate
  doc.List.Clear();
  EXPECT_EQ(doc.List.AnimationTimerObject(), nullptr);
  doc.Add(10, 1);
  doc.Layout();
  EXPECT_NE(doc.List.AnimationTimerObject(), nullptr);
}

TEST(TSectionList, CopyGathersTheSectionsThatOverlapTheSelection) {
  Document doc;
  doc.Add(10, 3, "a");
  doc.Add(10, 3, "b");
  doc.Add(10, 3, "c");
  doc.Layout();
  int writes = 0;
  std::string clipboard;
  SetClipboardWriter([&](const std::string& text) {
    ++writes;
    clipboard = text;
  });
  doc.List.SelB = doc.List.SelE = 4;
  doc.List.CopyToClipboard();
  EXPECT_EQ(writes, 0);
  doc.List.SelB = 2;
  doc.List.SelE = 5;
  doc.List.CopyToClipboard();
  EXPECT_EQ(clipboard, "ab");
  SetClipboardWriter(nullptr);
}

struct Placed : TFloatingObj {
  std::unique_ptr<TFloatingObj> CreateCopy(TSectionList&) const override { return nullptr; }
  void DrawLogic(TSectionList&, TCanvas&, const TFontObj*, int) override {}
  void Draw(TCanvas&, int, int, int, const TFontObj*) override {}
};

TEST(IndentManager, FloatsShapeTheEdges) {
  IndentManager iMgr;
  iMgr.Reset(10, 410);
  Placed left;
  left.ObjAlign = aLeft;
  left.ImageWidth = 100;
  left.ImageHeight = 50;
  left.HSpaceL = left.HSpaceR = 3;
  iMgr.Update(0, left);
  Placed right;
  right.ObjAlign = aRight;
  right.ImageWidth = 100;
  right.ImageHeight = 80;
  right.HSpaceL = right.HSpaceR = 3;
  iMgr.Update(0, right);
  EXPECT_EQ(left.Indent, 3);
  EXPECT_EQ(iMgr.LeftIndent(0), 10 + 106);
  EXPECT_EQ(iMgr.LeftIndent(50), 10);  // the float ends at its bottom
  EXPECT_EQ(iMgr.RightSide(10), 410 - 106);
  EXPECT_EQ(iMgr.RightSide(80), 410);
  EXPECT_EQ(iMgr.ImageBottom(), 80);
  int cl = 0, cr = 0;
  iMgr.GetClearY(cl, cr);
  EXPECT_EQ(cl, 51);
  EXPECT_EQ(cr, 81);
  EXPECT_EQ(iMgr.GetNextWiderY(0), 50);
  EXPECT_EQ(iMgr.GetNextWiderY(60), 80);
  EXPECT_EQ(iMgr.GetNextWiderY(90), 90);

  // A block's own indents apply only while it is current.
  int owner = 0;
  iMgr.CurrentID = &owner;
  iMgr.AddLeft(200, 100);
  EXPECT_EQ(iMgr.LeftIndent(120), 200);
  iMgr.CurrentID = nullptr;
  EXPECT_EQ(iMgr.LeftIndent(120), 10);
}

}  // namespace
}  // namespace lark
