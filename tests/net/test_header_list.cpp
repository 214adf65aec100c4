#include "net/header_list.h"

#include <gtest/gtest.h>

namespace lark {
namespace {

TEST(HeaderList, ValuesJoinContinuationLinesAndIgnoreCase) {
  TNetHeaderList list;
  list.Add("Content-Type: text/html");
  list.Add(" ; charset=x");
  list.Add("Content-Length: 42");
  list.Add("no colon here");
  EXPECT_EQ(list.Values("Content-Type"), "text/html ; charset=x");
  EXPECT_EQ(list.Values("content-length"), "42");
  EXPECT_EQ(list.IndexOfName(""), -1);
  EXPECT_EQ(list.IndexOfName("no colon here"), -1);
  EXPECT_EQ(list.GetValueFromLine(-1), "");
  list.UnfoldLines = false;
  EXPECT_EQ(list.Values("Content-Type"), "text/html");
}

TEST(HeaderList, SettingAnEmptyValueDeletesOnlyTheFirstLine) {
  TNetHeaderList list;
  list.Add("Set-Cookie: a=1");
  list.Add("\tcontinued");
  list.Add("Set-Cookie: b=2");
  list.SetValue("set-cookie", "");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.At(0), "Set-Cookie: b=2");
  list.SetValue("Missing", "");
  EXPECT_EQ(list.Count(), 1);
  list.SetValue("Set-Cookie", "c=3");
  list.SetValue("X-New", "v");
  EXPECT_EQ(list.Text(), "Set-Cookie: c=3\r\nX-New: v\r\n");
}

TEST(HeaderList, LongValuesFoldAtBlanksOutsideQuotes) {
  TNetHeaderList list;
  list.FoldLength = 20;
  auto pieces = list.FoldLine("X-Words: alpha beta gamma delta epsilon");
  EXPECT_EQ(pieces, (std::vector<std::string>{"X-Words: alpha beta", " gamma delta epsilon"}));
  EXPECT_EQ(list.FoldLine("X-Quoted: \"a b c d e f g h\" tail"),
            (std::vector<std::string>{"X-Quoted:", " \"a b c d e f g h\"", " tail"}));
  EXPECT_EQ(list.FoldLine("X-Unbreakable:aaaaaaaaaaaaaaaaaaaaaaaaa").size(), 1u);
  list.SetValue("X-Words", "alpha beta gamma delta epsilon");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Values("x-words"), "alpha beta gamma delta epsilon");
}

}  // namespace
}  // namespace lark
