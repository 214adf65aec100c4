#include <gtest/gtest.h>

#include "html/free_list.h"
#include "html/id_object.h"
#include "html/token_obj.h"
#include "html/url_target.h"

namespace lark {
namespace {

struct Logged {
  Logged(std::vector<int>& log, int id) : Log(log), Id(id) {}
  virtual ~Logged() { Log.push_back(Id); }
  std::vector<int>& Log;
  int Id;
};

TEST(TFreeList, FreesItsItemsFromTheFirstUpward) {
  std::vector<int> log;
  {
    TFreeList<Logged> list;
    for (int i = 0; i < 3; ++i) list.Add(std::make_unique<Logged>(log, i));
    list.Clear();
    EXPECT_EQ(log, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(list.Empty());
    for (int i = 3; i < 6; ++i) list.Add(std::make_unique<Logged>(log, i));
    list.Delete(1);
    EXPECT_EQ(log.back(), 4);
    std::unique_ptr<Logged> kept = list.Extract(0);
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.IndexOf(list.Last()), 0);
    EXPECT_EQ(list.IndexOf(kept.get()), -1);
  }
  EXPECT_EQ(log, (std::vector<int>{0, 1, 2, 4, 3, 5}));  // the extracted item went first
}

TEST(TUrlTarget, LinkNumbersStartAtTenAndRise) {
  TUrlTarget target;
  EXPECT_EQ(target.ID, 0);
  target.Update("a.html", "_top");
  EXPECT_EQ(target.ID, 10);  // the only test of this binary that takes numbers
  TUrlTarget other;
  other.Update("b.html", "");
  EXPECT_EQ(other.ID, 11);
  target.Assign(other);
  EXPECT_EQ(target.URL, "b.html");
  EXPECT_EQ(target.Target, "");
  EXPECT_EQ(target.ID, 11);
  target.Clear();
  EXPECT_EQ(target.URL, "");
  EXPECT_EQ(target.ID, 0);
}

TEST(TokenObj, ReportsCapacityInStepsOfFifty) {
  TokenObj token;
  EXPECT_EQ(token.MaxIndex(), 300);
  for (int i = 0; i < 300; ++i) token.AddChar('a', i);
  EXPECT_EQ(token.MaxIndex(), 300);
  token.AddChar('b', 300);
  EXPECT_EQ(token.MaxIndex(), 350);
  EXPECT_EQ(token.Leng(), 301);
  EXPECT_EQ(token.C(300), 'b');
  EXPECT_EQ(token.I(300), 300);
  token.Clear();
  EXPECT_EQ(token.Leng(), 0);
  EXPECT_EQ(token.MaxIndex(), 350);  // capacity kept
  EXPECT_EQ(token.GetString(), "");
}

TEST(TokenObj, ConcatKeepsPositionsAndGrowsPastTheSum) {
  TokenObj a, b;
  a.AddChar('x', 7);
  for (int i = 0; i < 320; ++i) b.AddChar('y', 100 + i);
  a.Concat(b);
  EXPECT_EQ(a.Leng(), 321);
  EXPECT_EQ(a.MaxIndex(), 371);
  EXPECT_EQ(a.I(0), 7);
  EXPECT_EQ(a.I(1), 100);
  EXPECT_EQ(a.GetString(), "x" + std::string(320, 'y'));
}

TEST(TokenObj, ReplaceCharKeepsTheStringFormInStep) {
  TokenObj token;
  for (char c : std::string("abc")) token.AddChar(c, 0);
  EXPECT_EQ(token.GetString(), "abc");
  token.ReplaceChar(1, 'B');
  EXPECT_EQ(token.GetString(), "aBc");
  token.ReplaceChar(3, 'X');   // past the end
  token.ReplaceChar(-1, 'X');  // before the start
  EXPECT_EQ(token.GetString(), "aBc");
  EXPECT_EQ(token.Chars(), "aBc");
}

TEST(TokenObj, AHugeTokenIsKeptWhole) {
  TokenObj token;
  const int n = 4'000'000;
  for (int i = 0; i < n; ++i) token.AddChar(static_cast<char>('a' + i % 26), i);
  EXPECT_EQ(token.Leng(), n);
  EXPECT_EQ(token.MaxIndex(), 300 + ((n - 300 + 49) / 50) * 50);
  EXPECT_EQ(token.I(n - 1), n - 1);
  EXPECT_EQ(token.GetString().size(), static_cast<std::size_t>(n));
}

struct FixedLocator : TTextPositionLocator {
  bool FindYOfTextPosition(std::int32_t pos, std::int32_t& y) override {
    if (pos > 100) return false;
    y = pos * 2;
    return true;
  }
};

TEST(TChPosObj, AsksItsDocumentForTheY) {
  FixedLocator doc;
  EXPECT_EQ(TChPosObj(40, &doc).GetYPosition(), 80);
  EXPECT_EQ(TChPosObj(400, &doc).GetYPosition(), 0);
  EXPECT_EQ(TChPosObj(40, nullptr).GetYPosition(), 0);
}

}  // namespace
}  // namespace lark
