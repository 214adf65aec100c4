#include "html/style_list.h"

#include <gtest/gtest.h>

#include "html/colors.h"
#include "html/prop_stack.h"
#include "html/selector.h"

namespace lark {
namespace {

constexpr TColor kLink = 0x0000EE, kVisited = 0x800080, kHover = 0x0000FF, kText = 0x111111;

void InitializeDefaults(TStyleList& styles, double size = 12) {
  styles.Initialize("Times New Roman", "Courier New", 10, 8, DEFAULT_CHARSET, true, kHover, kVisited, kLink,
                    kText, size);
}

// The parser's way of opening an element: inherit from the entry below, then
// combine with the style sheet.
struct Document {
  TStyleList Styles;
  TPropStack Stack;

  Document() {
    InitializeDefaults(Styles);
    auto bottom = std::make_unique<TProperties>();
    bottom->Copy(*Styles.DefProp());
    Stack.Add(std::move(bottom));
  }
  TProperties& Push(const std::string& tag, const std::string& cls = "", const std::string& id = "",
                    const std::string& pseudo = "", const TProperties* styleAttr = nullptr) {
    auto props = std::make_unique<TProperties>();
    props->Inherit(*Stack.Last());
    TProperties* pushed = Stack.Add(std::move(props));
    pushed->CombineStyle(Styles, Stack, tag, cls, id, pseudo, "", styleAttr);
    return *pushed;
  }
  void Rule(const std::string& selector, const std::string& property, const std::string& value) {
    const bool descendant = selector.find(' ') != std::string::npos;
    Styles.AddModifyProp(descendant ? MakeDescendantKey(selector, Styles.NextSequence()) : selector, property,
                         value);
  }
};

TColor ColorOf(const TProperties& p) { return p.GetColor(); }

TEST(TStyleList, DefaultSheet) {
  TStyleList styles;
  InitializeDefaults(styles, 16);
  TProperties* def = styles.DefProp();
  ASSERT_NE(def, nullptr);
  EXPECT_EQ(def, styles.Find("default"));
  EXPECT_EQ(*AsText(def->Props(css::FontFamily)), "Times New Roman");
  EXPECT_EQ(std::get<double>(def->Props(css::FontSize)), 16);
  EXPECT_EQ(*AsInt(def->Props(css::MarginLeft)), 10);
  EXPECT_EQ(*AsInt(def->Props(css::MarginBottom)), 8);
  EXPECT_EQ(def->GetColor(), kText);
  EXPECT_EQ(styles.Find("::link")->GetColor(), kLink | PalRelative);
  EXPECT_EQ(*AsText(styles.Find("::link")->Props(css::TextDecoration)), "underline");
  EXPECT_EQ(styles.Find("::visited")->GetColor(), kVisited | PalRelative);
  EXPECT_EQ(styles.Find("::hover")->GetColor(), kHover | PalRelative);
  EXPECT_EQ(std::get<double>(styles.Find("h1")->Props(css::FontSize)), 32);
  EXPECT_EQ(std::get<double>(styles.Find("h6")->Props(css::FontSize)), 16.0 / 12 * 8);
  EXPECT_EQ(std::get<double>(styles.Find("pre")->Props(css::FontSize)), 16.0 * 10 / 12);
  EXPECT_EQ(*AsInt(styles.Find("p")->Props(css::MarginTop)), ParagraphSpace);
  EXPECT_EQ(*AsText(styles.Find("textarea")->Props(css::FontFamily)), "Courier New");
  EXPECT_EQ(*AsText(styles.Find("select")->Props(css::FontFamily)), "MS sans serif, sans-serif");
  // Duplicates are entries of their own with equal values.
  TProperties* code = styles.Find("code");
  TProperties* tt = styles.Find("tt");
  ASSERT_TRUE(code && tt);
  EXPECT_NE(code, tt);
  EXPECT_EQ(tt->Props(css::FontSize), code->Props(css::FontSize));
  EXPECT_EQ(tt->PropTag, "tt");
  for (const char* key : {"null", "ol", "menu", "dir", "dl", "dd", "blockquote", "kbd", "samp", "strong", "th",
                          "sub", "big", "small", "table", "em", "cite", "var", "address", "u", "strike",
                          "caption", "hr"})
    EXPECT_NE(styles.Find(key), nullptr) << key;

  styles.Clear();
  EXPECT_EQ(styles.Count(), 0u);
  EXPECT_EQ(styles.DefProp(), nullptr);
}

TEST(TStyleList, AddModifyPropRulesForLinks) {
  int hoverCalls = 0;
  TStyleList styles([&] { ++hoverCalls; });
  InitializeDefaults(styles);
  styles.AddModifyProp("p", "no-such-thing", "1");
  EXPECT_EQ(styles.Find("p")->IsSet(css::Width), false);

  styles.AddModifyProp(":link", "color", "green");
  EXPECT_EQ(styles.Find(":link")->GetColor(), clGreen);
  EXPECT_EQ(styles.Find("::hover")->GetColor(), clGreen);
  EXPECT_EQ(styles.Find("::visited")->GetColor(), clGreen);
  styles.AddModifyProp(":visited", "color", "#ff0000");
  EXPECT_EQ(styles.Find("::hover")->GetColor(), clRed | PalRelative);
  EXPECT_EQ(styles.Find("::visited")->GetColor(), clGreen);

  styles.AddModifyProp("a", "text-decoration", "none");
  EXPECT_EQ(*AsText(styles.Find("::link")->Props(css::TextDecoration)), "none");
  EXPECT_EQ(*AsText(styles.Find("a")->Props(css::TextDecoration)), "none");

  styles.AddModifyProp("h1", "color", "not a colour");
  EXPECT_FALSE(styles.Find("h1")->IsSet(css::Color));
  styles.AddModifyProp("h1", "background-color", "not a colour");
  EXPECT_EQ(styles.Find("h1")->GetBackgroundColor(), NoColor);
  styles.AddModifyProp("h1", "color", "blue");
  styles.AddModifyProp("h1", "color", "red");  // modified in place
  EXPECT_EQ(styles.Find("h1")->GetColor(), clRed);

  EXPECT_EQ(hoverCalls, 0);
  EXPECT_FALSE(styles.HasHoverStyles());
  styles.AddModifyProp("a:hover", "color", "red");
  EXPECT_EQ(hoverCalls, 1);
  EXPECT_TRUE(styles.HasHoverStyles());
}

TEST(DescendantKeys, BuiltAndTakenApart) {
  EXPECT_EQ(MakeDescendantKey("ul li", "12"), "li 112ul ");
  EXPECT_EQ(MakeDescendantKey("div  p.x em", "5"), "em 25p.x div ");
  const std::vector<TSimpleSelector> parts = SplitDescendantKey("em 20000000017p.x div#main:hover ");
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].Tag, "em");
  EXPECT_EQ(parts[1].Tag, "p");
  EXPECT_EQ(parts[1].Class, "x");
  EXPECT_EQ(parts[2].Tag, "div");
  EXPECT_EQ(parts[2].ID, "main");
  EXPECT_EQ(parts[2].Pseudo, "hover");

  // Twelve selectors: the element and its nine nearest ancestors are kept.
  const std::string key = MakeDescendantKey("a b c d e f g h i j k l", "0");
  EXPECT_EQ(key, "l 90k j i h g f e d c ");
  EXPECT_EQ(SplitDescendantKey("l 90k j i h g f e d c b a ").size(), MaxDescendantSelectors);
}

TEST(TStyleList, SequenceNumbersSortInTheOrderRulesWereAdded) {
  TStyleList styles;
  std::vector<std::string> keys;
  for (int i = 0; i < 150; ++i) keys.push_back(MakeDescendantKey("div p", styles.NextSequence()));
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  styles.Clear();
  EXPECT_EQ(MakeDescendantKey("div p", styles.NextSequence()), keys.front());
}

TEST(CombineStyle, MoreSpecificEntriesWinInOrder) {
  Document doc;
  doc.Rule("p", "color", "red");
  doc.Rule(".x", "color", "green");
  EXPECT_EQ(ColorOf(doc.Push("p")), clRed);
  EXPECT_EQ(ColorOf(doc.Push("p", "x")), clGreen);
  doc.Rule("p.x", "color", "blue");
  EXPECT_EQ(ColorOf(doc.Push("p", "x")), clBlue);
  doc.Rule("#y", "color", "yellow");
  EXPECT_EQ(ColorOf(doc.Push("p", "x", "y")), clYellow);
  doc.Rule("p.x#y", "color", "aqua");
  EXPECT_EQ(ColorOf(doc.Push("p", "x", "y")), clAqua);
  TProperties attr;
  attr.AddPropertyByName("color", "white");
  EXPECT_EQ(ColorOf(doc.Push("p", "x", "y", "", &attr)), clWhite);
  // A plain element without rules inherits.
  EXPECT_EQ(ColorOf(doc.Push("span")), clWhite);
}

TEST(CombineStyle, DescendantRulesWalkTheOpenElements) {
  Document doc;
  doc.Rule("ul li", "color", "red");
  doc.Rule("div p em", "color", "green");
  doc.Rule(".note b", "font-weight", "normal");

  doc.Push("body");
  TProperties& plainLi = doc.Push("li");
  EXPECT_EQ(ColorOf(plainLi), kText);
  doc.Stack.Delete(doc.Stack.Count() - 1);
  doc.Push("ul");
  doc.Push("span");  // entries in between are skipped
  EXPECT_EQ(ColorOf(doc.Push("li")), clRed);

  Document nested;
  nested.Rule("div p em", "color", "green");
  nested.Push("div");
  nested.Push("blockquote");
  nested.Push("p");
  EXPECT_EQ(ColorOf(nested.Push("em")), clGreen);
  Document wrongOrder;
  wrongOrder.Rule("div p em", "color", "green");
  wrongOrder.Push("p");
  wrongOrder.Push("div");
  EXPECT_EQ(ColorOf(wrongOrder.Push("em")), kText);

  Document byClass;
  byClass.Rule(".note b", "color", "blue");
  byClass.Push("div", "note");
  EXPECT_EQ(ColorOf(byClass.Push("b")), clBlue);
}

TEST(CombineStyle, LaterDescendantRulesWinPastTheHundredth) {
  Document doc;
  for (int i = 0; i < 120; ++i) doc.Rule("div p", "z-index", std::to_string(i));
  doc.Push("div");
  EXPECT_EQ(doc.Push("p").GetZIndex(), 119);
}

TEST(CombineStyle, ManyDescendantSelectorsNeverFail) {
  Document doc;
  std::string selector;
  for (char c = 'a'; c <= 'o'; ++c) selector += std::string(1, c) + " ";
  EXPECT_NO_THROW(doc.Rule(selector, "color", "red"));
  for (char c = 'a'; c < 'o'; ++c) doc.Push(std::string(1, c));
  EXPECT_EQ(ColorOf(doc.Push("o")), clRed);
}

TEST(CombineStyle, ParagraphInsidePreHasNoTopMargin) {
  Document doc;
  EXPECT_EQ(*AsInt(doc.Push("p").Props(css::MarginTop)), ParagraphSpace);
  doc.Push("pre");
  EXPECT_EQ(*AsInt(doc.Push("p").Props(css::MarginTop)), 0);
}

TEST(CombineStyle, FontSizesBecomePointsRelativeToTheInheritedSize) {
  Document doc;
  TProperties& big = doc.Push("big");
  EXPECT_DOUBLE_EQ(std::get<double>(big.Props(css::FontSize)), 15);
  TProperties& sup = doc.Push("sup");
  EXPECT_DOUBLE_EQ(std::get<double>(sup.Props(css::FontSize)), 11.25);
  doc.Rule("span", "font-size", "xx-large");
  EXPECT_DOUBLE_EQ(std::get<double>(doc.Push("span").Props(css::FontSize)), 36);
  EXPECT_DOUBLE_EQ(std::get<double>(doc.Push("h2").Props(css::FontSize)), 18);
  TProperties& small = doc.Push("small");
  EXPECT_DOUBLE_EQ(std::get<double>(small.Props(css::FontSize)), 13.5);
  EXPECT_EQ(small.GetFont()->Size(), 14);
}

TEST(CombineStyle, LinksGetTheirFourFonts) {
  Document doc;
  doc.Rule("a:hover", "text-decoration", "none");
  doc.Rule("a:visited", "font-weight", "bold");
  doc.Push("body");
  TProperties& link = doc.Push("a", "", "", "link");
  EXPECT_EQ(link.GetColor(), kLink | PalRelative);
  ASSERT_TRUE(link.IsLink());
  const TFontInfoArray& infos = *link.FontInfos();
  EXPECT_EQ(infos[LinkFont].Color, kLink | PalRelative);
  EXPECT_TRUE(infos[LinkFont].Style & fsUnderline);
  EXPECT_EQ(infos[VisitedFont].Color, kVisited | PalRelative);
  EXPECT_TRUE(infos[VisitedFont].Style & fsBold);
  EXPECT_EQ(infos[HoverFont].Color, kHover | PalRelative);
  EXPECT_FALSE(infos[HoverFont].Style & fsUnderline);
  EXPECT_FALSE(infos[HoverFont].Style & fsBold);
  EXPECT_EQ(infos[HoverVisitedFont].Color, kHover | PalRelative);
  EXPECT_TRUE(infos[HoverVisitedFont].Style & fsBold);
  EXPECT_FALSE(infos[HoverVisitedFont].Style & fsUnderline);

  // Elements inside the link carry its fonts, and their own values reach all four.
  doc.Rule("b", "color", "red");
  TProperties& inner = doc.Push("b");
  ASSERT_TRUE(inner.IsLink());
  for (const ThtFontInfo& info : *inner.FontInfos()) {
    EXPECT_EQ(info.Color, clRed);
    EXPECT_TRUE(info.Style & fsBold);
  }
  EXPECT_FALSE(doc.Stack.Items(1)->IsLink());
}

TEST(CombineStyle, RelativeSizesInsideALinkScaleEachLinkFont) {
  Document doc;
  doc.Rule("a:visited", "font-size", "20pt");
  TProperties& link = doc.Push("a", "", "", "link");
  EXPECT_EQ((*link.FontInfos())[LinkFont].Size, 12);
  EXPECT_EQ((*link.FontInfos())[VisitedFont].Size, 20);
  doc.Rule("span", "font-size", "150%");
  doc.Rule("span", "font-style", "italic");
  TProperties& span = doc.Push("span");
  EXPECT_EQ((*span.FontInfos())[LinkFont].Size, 18);
  EXPECT_EQ((*span.FontInfos())[VisitedFont].Size, 30);
  EXPECT_TRUE((*span.FontInfos())[HoverVisitedFont].Style & fsItalic);
  EXPECT_DOUBLE_EQ(std::get<double>(span.Props(css::FontSize)), 18);
}

TEST(CombineStyle, ColourOnLinkReachesHoverAndVisited) {
  Document doc;
  doc.Rule(":link", "color", "lime");
  TProperties& link = doc.Push("a", "", "", "link");
  EXPECT_EQ((*link.FontInfos())[VisitedFont].Color, clLime);
  EXPECT_EQ((*link.FontInfos())[HoverFont].Color, clLime);
}

TEST(FillUnset, ClosingAnElementOutOfOrderRefillsThoseAbove) {
  // B, text, I, text, end B: I is refilled from the body's entry.
  Document doc;
  doc.Push("body");
  doc.Push("b");
  TProperties& italic = doc.Push("i");
  EXPECT_TRUE(italic.GetFontInfo().Style & fsBold);
  const std::size_t bIndex = 2;
  doc.Stack.Delete(bIndex);
  TProperties* i = doc.Stack.Items(bIndex);
  i->FillUnset(*doc.Stack.Items(bIndex - 1), doc.Styles, doc.Stack, bIndex);
  EXPECT_FALSE(i->GetFontInfo().Style & fsBold);
  EXPECT_TRUE(i->GetFontInfo().Style & fsItalic);
}

TEST(FillUnset, LinkFontsFollowTheNewParent) {
  Document doc;
  doc.Push("body");
  doc.Push("a", "", "", "link");
  TProperties& b = doc.Push("b");
  ASSERT_TRUE(b.IsLink());
  doc.Stack.Delete(2);
  b.FillUnset(*doc.Stack.Items(1), doc.Styles, doc.Stack, 2);
  EXPECT_FALSE(b.IsLink());

  Document relink;
  relink.Push("body");
  relink.Push("b");
  TProperties& a = relink.Push("a", "", "", "link");
  relink.Stack.Delete(2);
  a.FillUnset(*relink.Stack.Items(1), relink.Styles, relink.Stack, 2);
  ASSERT_TRUE(a.IsLink());
  EXPECT_FALSE((*a.FontInfos())[LinkFont].Style & fsBold);
}

}  // namespace
}  // namespace lark
