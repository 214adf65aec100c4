// Form controls as the paragraph and the document see them, through test
// doubles of the form-control subject.
#include <gtest/gtest.h>

#include "layout_fixture.h"

namespace lark {
namespace {

class FakeControl : public TFormControlObj {
 public:
  FakeControl(int width, int height) : width_(width), height_(height) {}
  void SetHeightWidth(TCanvas&) override { ++Sized; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void PlaceControl(int x, int y) override {
    PlacedX = x;
    PlacedY = y;
    Hidden = Parked = false;
  }
  void Draw(TCanvas& canvas, int x1, int y1) override {
    canvas.Brush().Color = clGreen;
    canvas.FillRect(Rect(x1, y1, x1 + width_, y1 + height_));
    ++Printed;
  }
  void HideWindow(bool keepReachable) override { (keepReachable ? Parked : Hidden) = true; }
  bool HasFocus() const override { return Focused; }

  int Sized = 0, Printed = 0;
  int PlacedX = -400, PlacedY = -400;
  bool Hidden = false, Parked = false, Focused = false;

 private:
  int width_, height_;
};

class FakeForm : public ThtmlForm {
 public:
  FakeControl* Make(TSectionList& list, int width, int height) {
    auto control = std::make_unique<FakeControl>(width, height);
    FakeControl* raw = Controls.Add(std::move(control));
    raw->MyForm = this;
    list.FormControlList.push_back(raw);
    return raw;
  }
  void SetSizes(TCanvas& canvas) override {
    for (const auto& control : Controls) control->SetHeightWidth(canvas);
  }
  std::vector<std::string> GetFormSubmission() override { return Data; }
  void SetFormData(const std::vector<std::string>& data) override { Data = data; }
  void RemoveControl(const TFormControlObj* control) override {
    const auto index = Controls.IndexOf(static_cast<const FakeControl*>(control));
    if (index >= 0) Controls.Delete(static_cast<std::size_t>(index));
  }

  TFreeList<FakeControl> Controls;
  std::vector<std::string> Data;
};

struct FormDocument : testing::LaidOutDocument {
  FakeForm* Form;
  FakeControl* Control;
  TSection* Paragraph;

  FormDocument() {
    Form = List.FormList.Add(std::make_unique<FakeForm>());
    Control = Form->Make(List, 60, 30);
    auto section = std::make_unique<TSection>(&List, TParagraphStyle{}, testing::Font(12), "");
    section->AddText("Name: ", 0);
    section->AddFormControl(Control, 6);
    section->AddText(" end", 7);
    Paragraph = section.get();
    List.Add(std::move(section));
  }
};

TEST(FormControls, TakeTheirPlaceOnTheLineAndAreSizedByLayout) {
  FormDocument doc;
  doc.Layout(400);
  EXPECT_EQ(doc.Control->Sized, 1);
  const LineRec& line = doc.Paragraph->Lines()[0];
  EXPECT_EQ(line.SpaceBefore, 30 - line.LineHt);  // a baseline control stands on the baseline
  int before = 0, after = 0, y = 0;
  ASSERT_TRUE(doc.Paragraph->CursorToXY(doc.Surface.Canvas(), 6, before, y));
  ASSERT_TRUE(doc.Paragraph->CursorToXY(doc.Surface.Canvas(), 7, after, y));
  EXPECT_EQ(after - before, 60);

  doc.Paint();
  EXPECT_TRUE(doc.Control->ShowIt);
  EXPECT_EQ(doc.Control->PlacedX, before);
  EXPECT_EQ(doc.Control->PlacedY + 30, line.Y + line.SpaceBefore + line.LineHt - line.Descent);
}

TEST(FormControls, AScrollHidesWhatIsNoLongerPaintedUnlessAControlHasTheFocus) {
  FormDocument doc;
  FakeControl* other = doc.Form->Make(doc.List, 10, 10);  // in no paragraph: never painted
  doc.Layout(400);
  EXPECT_TRUE(other->Hidden);  // layout takes unpainted windows out of sight
  doc.Paint();
  doc.List.SetYOffset(500);
  EXPECT_FALSE(doc.Control->ShowIt);
  doc.Paint();
  EXPECT_TRUE(doc.Control->Hidden);

  other->Focused = true;
  doc.List.SetYOffset(600);
  doc.Paint();
  EXPECT_TRUE(doc.Control->Parked);
}

TEST(FormControls, APrintCopyPaintsTheControlsInsteadOfPlacingThem) {
  FormDocument doc;
  doc.Layout(400);
  TSectionList copy(doc.List);
  int scrollWidth = 0, curs = 0;
  copy.DoLogic(doc.Surface.Canvas(), 0, 400, 1000, scrollWidth, curs);
  doc.Control->PlacedX = -400;
  copy.Draw(doc.Surface.Canvas(), Rect(0, 0, 1000, 1000), 1000, 0, 0, 0, 0);
  EXPECT_EQ(doc.Control->Printed, 1);
  EXPECT_EQ(doc.Control->PlacedX, -400);
}

TEST(FormControls, FormDataRoundTrips) {
  FormDocument doc;
  FakeForm* second = doc.List.FormList.Add(std::make_unique<FakeForm>());
  doc.Form->Data = {"name=a"};
  second->Data = {"x=1", "y=2"};
  const auto data = doc.List.GetFormData();
  ASSERT_EQ(data.size(), 2u);
  doc.Form->Data.clear();
  second->Data.clear();
  doc.List.SetFormData(data);
  EXPECT_EQ(doc.Form->Data, std::vector<std::string>{"name=a"});
  EXPECT_EQ(second->Data.size(), 2u);
  TSectionList empty(nullptr, nullptr);
  EXPECT_TRUE(empty.GetFormData().empty());
}

// A paragraph whose layout fails after its lines were made.
class FailingParagraph : public TSection {
 public:
  using TSection::TSection;
  int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                int& maxWidth, int& curs) override {
    TSection::DrawLogic(canvas, x, y, xRef, yRef, aWidth, aHeight, iMgr, maxWidth, curs);
    throw EProcessError("Table has too many Columns");
  }
};

TEST(FormControls, ADroppedParagraphTakesItsControlsOutOfTheirForm) {
  testing::LaidOutDocument doc;
  FakeForm* form = doc.List.FormList.Add(std::make_unique<FakeForm>());
  FakeControl* control = form->Make(doc.List, 40, 20);
  doc.List.IDNameList->AddObject("field", control);
  auto section = std::make_unique<FailingParagraph>(&doc.List, TParagraphStyle{}, testing::Font(12), "");
  section->AddFormControl(control, 0);
  doc.List.Add(std::move(section));
  doc.Paragraph("after");
  doc.Layout(400);
  EXPECT_EQ(doc.List.Count(), 1u);
  EXPECT_TRUE(form->Controls.Empty());
  EXPECT_TRUE(doc.List.FormControlList.empty());
  EXPECT_EQ(doc.List.IDNameList->IndexOf("field"), -1);
}

}  // namespace
}  // namespace lark
