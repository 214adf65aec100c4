#include "html/attribute_list.h"

#include <gtest/gtest.h>

#include "platform/core/exception.h"

namespace lark {
namespace {

// Records what the style parser was asked to parse.
struct RecordingStyleParser {
  std::vector<std::string> Texts;
  std::vector<TProperties*> Targets;
  void Install() {
    SetStyleAttributeParser([this](const std::string& text, TProperties& props) {
      Texts.push_back(text);
      Targets.push_back(&props);
    });
  }
  ~RecordingStyleParser() { SetStyleAttributeParser(nullptr); }
};

void Add(TAttributeList& list, Symb sy, std::int32_t value, const std::string& text) {
  list.Add(std::make_unique<TAttribute>(sy, value, text));
}

TEST(TAttributeList, FindReturnsTheFirstOfASymbol) {
  TAttributeList list;
  EXPECT_EQ(list.Find(HrefSy), nullptr);
  Add(list, WidthSy, 50, "50%");
  Add(list, WidthSy, 7, "7");
  ASSERT_NE(list.Find(WidthSy), nullptr);
  EXPECT_EQ(list.Find(WidthSy)->Name, "50%");
  EXPECT_EQ(list.Find(WidthSy)->Value, 50);
  EXPECT_EQ(list.Find(HrefSy), nullptr);
}

TEST(TAttributeList, AttributesAddedAfterAClearAreWhole) {
  TAttributeList list;
  list.AddAttribute(HrefSy, 0, "a.html");
  list.AddAttribute(WidthSy, 5, std::string(100, 'w'));
  list.Clear();
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.Find(HrefSy), nullptr);
  const TAttribute* added = list.AddAttribute(SrcSy, 7, "b.gif");
  list.AddAttribute(AltSy, 0, "");
  list.AddAttribute(TitleSy, 0, "third, on fresh storage");
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.Find(SrcSy), added);
  EXPECT_EQ(added->Value, 7);
  EXPECT_EQ(added->Name, "b.gif");
  EXPECT_EQ(list.Find(AltSy)->Name, "");
  EXPECT_EQ(list.GetTitle(), "third, on fresh storage");
}

TEST(TAttributeList, IdIsLowerCasedAndRememberedUntilClear) {
  TAttributeList list;
  Add(list, IDSy, 0, "MixedCase");
  EXPECT_EQ(list.GetID(), "mixedcase");
  list.Delete(0);  // the remembered value outlives the attribute
  EXPECT_EQ(list.GetID(), "mixedcase");
  list.Clear();
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.GetID(), "");
  Add(list, IDSy, 0, "Other");
  EXPECT_EQ(list.GetID(), "other");
}

TEST(TAttributeList, ClassIsLowerCasedTitleIsKept) {
  TAttributeList list;
  EXPECT_EQ(list.GetClass(), "");
  EXPECT_EQ(list.GetTitle(), "");
  Add(list, ClassSy, 0, "Big Red");
  Add(list, TitleSy, 0, "A Title");
  EXPECT_EQ(list.GetClass(), "big red");
  EXPECT_EQ(list.GetTitle(), "A Title");
}

TEST(TAttributeList, StyleIsParsedIntoASetTheListOwns) {
  RecordingStyleParser parser;
  parser.Install();
  TAttributeList list;
  EXPECT_EQ(list.GetStyle(), nullptr);
  Add(list, StyleSy, 0, "COLOR: Red");
  TProperties* first = list.GetStyle();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(list.Prop(), first);
  EXPECT_EQ(parser.Texts, std::vector<std::string>{"COLOR: Red"});
  EXPECT_EQ(parser.Targets.back(), first);

  // Without STYLE the previous set stays owned and nothing is parsed.
  list.Clear();
  EXPECT_EQ(list.GetStyle(), nullptr);
  EXPECT_EQ(list.Prop(), first);
  EXPECT_EQ(parser.Texts.size(), 1u);

  Add(list, StyleSy, 0, "margin: 0");
  EXPECT_EQ(list.GetStyle(), list.Prop());
  EXPECT_EQ(parser.Texts.back(), "margin: 0");
}

TEST(TAttributeList, StyleWithoutAnInstalledParserIsAnError) {
  SetStyleAttributeParser(nullptr);
  TAttributeList list;
  Add(list, StyleSy, 0, "color: red");
  EXPECT_THROW((void)list.GetStyle(), Exception);
  EXPECT_EQ(list.Prop(), nullptr);
}

}  // namespace
}  // namespace lark
