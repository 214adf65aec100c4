#include <gtest/gtest.h>

#include "app/language.h"
#include "platform/core/string_routines.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

// Two languages; the second's count stops before its key "4", and it has no
// key "2".
constexpr char kTwoLanguages[] =
    "[Languages]\n"
    "n=2\n"
    "1=English\n"
    "2=Deutsch\n"
    "[English]\n"
    "l1=English\n"
    "l2=German\n"
    "n=2\n"
    "1=Add bookmark\n"
    "2=Name\n"
    "[Deutsch]\n"
    "l1=Englisch\n"
    "l2=Deutsch\n"
    "n=3\n"
    "1=Lesezeichen hinzuf\xC3\xBCgen\n"
    "3=Abbrechen\n"
    "4=Nie geladen\n";

TEST(Language, LoadsExactlyTheCountedIdsOfEachLanguage) {
  test::TempDir dir;
  TLanguage language;
  language.SetFileName(dir.Write("BROWSER.LGV", kTwoLanguages));
  language.FillLanguages();
  ASSERT_EQ(language.Languages().size(), 2u);
  EXPECT_EQ(language.Languages()[1].Name, "Deutsch");
  EXPECT_EQ(language.Languages()[1].Number, 2);
  language.SetLanguage(2);
  language.LoadTexts();
  ASSERT_TRUE(language.Active());

  std::string text = "stale";
  EXPECT_TRUE(language.GetText("1", text));
  EXPECT_EQ(text, "Lesezeichen hinzuf\xC3\xBCgen");  // system code page bytes, untouched
  text = "stale";
  EXPECT_TRUE(language.GetText("2", text)) << "an id up to n without a line is an empty text";
  EXPECT_EQ(text, "");
  EXPECT_FALSE(language.GetText("4", text)) << "an id above n is not loaded";
  EXPECT_EQ(text, "");
  EXPECT_TRUE(language.GetText("l1", text));
  EXPECT_EQ(text, "Englisch");
  EXPECT_TRUE(language.Lookup("English", "l2", text));
  EXPECT_EQ(text, "German");
  EXPECT_FALSE(language.Lookup("english", "1", text)) << "language names compare exactly";
  // Menu captions come first, then the texts: 2 x 2 + 2 + 3.
  EXPECT_EQ(language.Items().size(), 9u);
}

TEST(Language, SelectionAndActivation) {
  test::TempDir dir;
  TLanguage language;
  const std::string file = dir.Write("BROWSER.LGV", kTwoLanguages);
  language.SetFileName(file);
  language.FillLanguages();
  language.SetLanguage(7);
  EXPECT_EQ(language.LanguageIndex(), 0) << "a number no language has changes nothing";
  language.SetLanguage(1);
  language.SetActive(true);
  std::string text;
  ASSERT_TRUE(language.GetText("1", text));
  EXPECT_EQ(text, "Add bookmark");

  language.SetFileName(file);
  EXPECT_TRUE(language.Active()) << "the same name keeps the texts";
  language.SetFileName(dir.File("other.lgv"));
  EXPECT_FALSE(language.Active());
  language.LoadTexts();
  EXPECT_FALSE(language.Active()) << "a missing file loads nothing";
}

TEST(Language, HugeCountsAreCapped) {
  test::TempDir dir;
  TLanguage language;
  language.SetFileName(dir.Write("BROWSER.LGV",
                                 "[Languages]\nn=2147483647\n1=A\n[A]\nn=2000000000\n" +
                                     IntToStr(kMaxLanguageTexts) + "=last\n"));
  language.FillLanguages();
  EXPECT_EQ(static_cast<int>(language.Languages().size()), kMaxLanguages);
  language.SetLanguage(1);
  language.LoadTexts();
  std::string text;
  EXPECT_TRUE(language.GetText(IntToStr(kMaxLanguageTexts), text));
  EXPECT_EQ(text, "last");
  EXPECT_FALSE(language.GetText(IntToStr(kMaxLanguageTexts + 1), text));
}

}  // namespace
}  // namespace lark
