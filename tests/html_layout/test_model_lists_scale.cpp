// The document's lists at real-world sizes: the work of registering IDs and
// of freeing objects is counted, never timed.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/html_layout/layout_fixture.h"

namespace lark {
namespace {

using testing::Font;

// An ID list that counts the entries it is asked about and the names it
// compares.
class CountingIDList : public TIDNameList {
 public:
  using TIDNameList::TIDNameList;
  TObject* GetObject(int index) const override {
    ++Visits;
    return TIDNameList::GetObject(index);
  }
  int CompareStrings(std::string_view a, std::string_view b) const override {
    ++Visits;
    return TIDNameList::CompareStrings(a, b);
  }
  mutable long Visits = 0;
};

TEST(ModelListsScale, FreeingObjectsVisitsOnlyTheirOwnIDs) {
  constexpr int ids = 5000, freed = 5000;
  testing::LaidOutDocument doc;
  auto counting = std::make_unique<CountingIDList>(&doc.List);
  CountingIDList& list = *counting;
  doc.List.IDNameList = std::move(counting);
  for (int i = ids; i-- > 0;) list.AddChPosObject("id" + std::to_string(i), i);
  TSection* kept = doc.Paragraph("kept");
  list.AddObject("kept", kept);

  list.Visits = 0;
  auto paragraph = std::make_unique<TSection>(&doc.List, TParagraphStyle{}, Font(12), "");
  for (int i = 0; i < freed; ++i) {
    paragraph->AddFont(Font(10 + i % 2), "");  // replaces the run before it: one run freed
    doc.List.Add(std::make_unique<TSection>(&doc.List, TParagraphStyle{}, Font(12), ""));  // empty: freed
  }
  EXPECT_LT(list.Visits, 2L * freed);  // was one visit per ID for every object freed

  // A freed object that has IDs takes out exactly its own.
  list.AddObject("also-kept", kept);
  const int count = list.Count();
  doc.List.ForgetObject(kept);
  EXPECT_EQ(list.Count(), count - 2);
  EXPECT_EQ(list.IndexOf("kept"), -1);
  EXPECT_EQ(list.IndexOf("also-kept"), -1);
  EXPECT_GE(list.IndexOf("id0"), 0);
  doc.List.IDNameList->Clear();
}

TEST(ModelListsScale, FinishMovesRunsObjectsAndSourcePositionsWithTheText) {
  TSectionList list(nullptr, nullptr);
  TSection paragraph(&list, {}, Font(12), "");
  paragraph.AddText("  ab  ", 0);
  paragraph.AddFont(Font(14), "");
  paragraph.AddText("  cd", 6);
  paragraph.AddFont(Font(16), "");
  paragraph.AddFont(Font(18), "");  // replaces the 16-point run
  TFloatingObj* box = paragraph.AddObject(std::make_unique<testing::Box>(5, 5, aLeft), 10);
  paragraph.AddText("  e", 11);
  paragraph.Finish();
  EXPECT_EQ(paragraph.Text(), "ab cd\x04" "e");  // and no blank after the float
  ASSERT_EQ(paragraph.Fonts.Count(), 3u);
  EXPECT_EQ(paragraph.Fonts[1]->Pos, 3);
  EXPECT_EQ(paragraph.Fonts[2]->Pos, 5);
  EXPECT_EQ(paragraph.Fonts[2]->Font().Size(), 18);
  EXPECT_EQ(box->Pos, 5);
  const int sources[] = {2, 3, 4, 8, 9, 10, 13};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(paragraph.FindSourcePos(i), sources[i]) << i;
}

TEST(ModelListsScale, ARefListKeepsOrderWhenEntriesGoFromAnywhere) {
  int objects[6];
  TRefList<int*> list;
  for (int& object : objects) list.push_back(&object);
  list.push_back(&objects[1]);  // listed twice
  list.Remove(&objects[1]);
  list.Remove(&objects[4]);
  list.Remove(&objects[5] + 1);  // never listed: nothing
  EXPECT_EQ(list.size(), 4u);
  const std::vector<int*> left(list.begin(), list.end());
  EXPECT_EQ(left, (std::vector<int*>{&objects[0], &objects[2], &objects[3], &objects[5]}));
  EXPECT_EQ(list.Find(&objects[3]) - list.begin(), 2);
  EXPECT_EQ(list.Find(&objects[1]), list.end());
  list.RemoveIf([&](int* entry) { return entry == &objects[0]; });
  list.Remove(&objects[3]);
  EXPECT_EQ(list[0], &objects[2]);
  EXPECT_EQ(list[1], &objects[5]);
  EXPECT_EQ(list.Find(&objects[5]) - list.begin(), 1);
}

TEST(ModelListsScale, ARefListAnswersLikeAScanWhileItsIndexGrowsAndEntriesGo) {
  // Enough objects that the index grows several times, at scattered
  // addresses (evenly spaced ones would never share a probe run); removals
  // in a scattered order move entries back along the runs.
  constexpr int kObjects = 3000;
  std::vector<int> pool(1 << 16);
  std::vector<int*> objects;
  for (int& object : pool) objects.push_back(&object);
  std::shuffle(objects.begin(), objects.end(), std::mt19937(20));
  objects.resize(kObjects);
  TRefList<int*> list;
  std::vector<int*> expected;
  for (int round = 0; round < 2; ++round)
    for (int i = 0; i < kObjects; i += round + 1) {
      list.push_back(objects[i]);
      expected.push_back(objects[i]);
    }
  for (int k = 0; k < kObjects; k += 3) {
    int* gone = objects[(k * 7919) % kObjects];
    list.Remove(gone);
    std::erase(expected, gone);
    if (k % 300 == 0) {  // a read squeezes the holes out and rebuilds the index
      ASSERT_EQ(std::vector<int*>(list.begin(), list.end()), expected);
    }
  }
  ASSERT_EQ(list.size(), expected.size());
  EXPECT_EQ(std::vector<int*>(list.begin(), list.end()), expected);
  for (int i = 0; i < kObjects; ++i) {
    const auto first = std::find(expected.begin(), expected.end(), objects[i]);
    EXPECT_EQ(list.Find(objects[i]) - list.begin(), first - expected.begin()) << i;
    const auto last = std::find(expected.rbegin(), expected.rend(), objects[i]);
    EXPECT_EQ(list.Latest(objects[i]), last == expected.rend() ? nullptr : &*(list.begin() + (expected.rend() - last - 1)));
  }
}

}  // namespace
}  // namespace lark
