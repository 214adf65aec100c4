#include "html/id_name_list.h"

#include <gtest/gtest.h>

namespace lark {
namespace {

// A section stand-in: owned by the test, never by the list.
struct FakeSection : TIDObject {
  explicit FakeSection(int y) : Y(y) {}
  std::int32_t GetYPosition() override { return Y; }
  int Y;
};

struct LineLocator : TTextPositionLocator {
  bool FindYOfTextPosition(std::int32_t pos, std::int32_t& y) override {
    y = pos * 10;
    return true;
  }
};

std::int32_t YOf(TIDNameList& list, const std::string& name) {
  int index = -1;
  if (!list.Find(name, index)) return -1;
  return static_cast<TIDObject*>(list.Objects(index))->GetYPosition();
}

TEST(TIDNameList, FindsNamesWithoutRegardToCase) {
  LineLocator doc;
  TIDNameList list(&doc);
  FakeSection section(123);
  list.AddObject("Top", &section);
  list.AddChPosObject("middle", 7);
  list.AddChPosObject("Alpha", 1);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Strings(0), "Alpha");  // sorted
  EXPECT_EQ(YOf(list, "TOP"), 123);
  EXPECT_EQ(YOf(list, "MIDDLE"), 70);
  EXPECT_EQ(YOf(list, "missing"), -1);
}

TEST(TIDNameList, TheLastAnchorOfANameWins) {
  LineLocator doc;
  TIDNameList list(&doc);
  FakeSection first(1), second(2);
  list.AddChPosObject("a", 5);
  list.AddObject("A", &first);  // frees the position anchor (ASan would see a leak otherwise)
  EXPECT_EQ(YOf(list, "a"), 1);
  list.AddObject("a", &second);  // a section is not the list's to free
  EXPECT_EQ(YOf(list, "a"), 2);
  EXPECT_EQ(first.GetYPosition(), 1);
  list.AddChPosObject("a", 3);
  EXPECT_EQ(YOf(list, "a"), 30);
  EXPECT_EQ(list.Count(), 1);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(second.GetYPosition(), 2);
}

TEST(TIDNameList, AnObjectLeavingTakesOutOnlyTheNamesStillItsOwn) {
  LineLocator doc;
  TIDNameList list(&doc);
  FakeSection first(1), second(2);
  list.AddObject("a", &first);
  list.AddObject("b", &first);
  list.AddObject("c", &first);
  list.AddObject("b", &second);  // "b" now names the second
  list.RemoveObject(&first);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(YOf(list, "b"), 2);
  list.AddObject("a", &first);
  list.RemoveObject(&second);
  EXPECT_EQ(YOf(list, "b"), -1);
  EXPECT_EQ(YOf(list, "a"), 1);
}

}  // namespace
}  // namespace lark
