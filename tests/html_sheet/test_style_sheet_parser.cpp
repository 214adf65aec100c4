#include "html/style_sheet_parser.h"

#include <gtest/gtest.h>

#include <map>

#include "html/attribute_list.h"
#include "html/colors.h"
#include "html/properties.h"
#include "html/style_list.h"
#include "viewer/html_tokenizer.h"

namespace lark {
namespace {

TCharSource StringSource(std::string_view text, std::size_t* reads = nullptr) {
  return [text, next = std::size_t{0}, reads]() mutable -> int {
    if (reads) ++*reads;
    return next < text.size() ? static_cast<unsigned char>(text[next++]) : EofChar;
  };
}

// The sheet of a STYLE element, handed over as the HTML reader does, on the
// ">" of the tag; returns the character the sheet reader stopped at.
int ParseStyleElement(TStyleList& styles, std::string_view sheet) {
  int ch = '>';
  ParseStyleSheet(styles, ch, StringSource(sheet), "");
  return ch;
}

std::string Shown(const TPropValue& value) {
  if (const std::string* text = AsText(value)) return *text;
  if (const int* number = AsInt(value)) return *number == NullValue ? "(unset)" : std::to_string(*number);
  return "(unset)";
}

// One property of the rule for `key`, as text.
std::string Rule(const TStyleList& styles, const std::string& key, int index) {
  const TProperties* entry = styles.Find(key);
  return entry ? Shown(entry->Props(index)) : "(no rule)";
}

// The descendant rule whose key starts with `element` and a blank.
const TProperties* DescendantRule(const TStyleList& styles, const std::string& element) {
  for (const auto& [key, props] : styles.Items())
    if (key.rfind(element + " ", 0) == 0) return props.get();
  return nullptr;
}

std::string Color(TColor color) { return std::to_string(color); }

TEST(StyleSheetParser, CommaAndDescendantRules) {
  TStyleList styles;
  EXPECT_EQ(ParseStyleElement(styles, "h1, H2 ,h3{color:red} ul li { margin-left: 5px } div  p em {color: #00f}"),
            EofChar);
  for (const char* heading : {"h1", "h2", "h3"}) EXPECT_EQ(Rule(styles, heading, css::Color), Color(0xFF));
  const TProperties* item = DescendantRule(styles, "li");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->PropTag.substr(item->PropTag.size() - 3), "ul ");
  EXPECT_EQ(Shown(item->Props(css::MarginLeft)), "5px");
  EXPECT_NE(DescendantRule(styles, "em"), nullptr);
}

TEST(StyleSheetParser, Shorthands) {
  struct Case {
    std::string Declaration;
    std::map<int, std::string> Expected;
  } cases[] = {
      {"margin: 1px  2px",
       {{css::MarginTop, "1px"}, {css::MarginRight, "2px"}, {css::MarginBottom, "1px"}, {css::MarginLeft, "2px"}}},
      {"margin: 1px 2px 3px", {{css::MarginBottom, "3px"}, {css::MarginLeft, "2px"}}},
      {"padding: 1px 2px 3px 4px 5px", {{css::PaddingTop, "1px"}, {css::PaddingLeft, "4px"}}},
      {"border-width: thin", {{css::BorderTopWidth, "thin"}, {css::BorderLeftWidth, "thin"}}},
      {"font: italic bold 12pt/14pt Arial",
       {{css::FontStyle, "italic"}, {css::FontWeight, "bold"}, {css::FontSize, "12pt"}, {css::LineHeight, "14pt"},
        {css::FontFamily, "Arial"}}},
      {"font: 10px 'Times New Roman', serif", {{css::FontFamily, "'Times New Roman',serif"}}},
      {"border: thin solid #ff0000",
       {{css::BorderTopWidth, "thin"}, {css::BorderRightWidth, "thin"}, {css::BorderBottomWidth, "thin"},
        {css::BorderLeftWidth, "thin"}, {css::BorderStyle, "solid"}, {css::BorderLeftStyle, "solid"},
        {css::BorderColor, Color(PalRelative | 0xFF)}}},
      {"border-top: 2px dashed rgb(0, 0, 255)",
       {{css::BorderTopWidth, "2px"}, {css::BorderTopStyle, "dashed"}, {css::BorderLeftWidth, "(unset)"},
        {css::BorderColor, Color(PalRelative | 0xFF0000)}}},
      {"background: url(img/a b.gif) #fff no-repeat left top",
       {{css::BackgroundImage, "url(img/a b.gif)"}, {css::BackgroundColor, Color(PalRelative | 0xFFFFFF)},
        {css::BackgroundRepeat, "no-repeat"}, {css::BackgroundPosition, "left top"}}},
      {"background: none", {{css::BackgroundImage, "none"}, {css::BackgroundPosition, "(unset)"}}},
      {"list-style: square inside url(img/dot.gif)",
       {{css::ListStyleType, "square"}, {css::ListStyleImage, "url(img/dot.gif)"}}},
  };
  for (const Case& c : cases) {
    TStyleList styles;
    ParseStyleElement(styles, "p { " + c.Declaration + " }");
    for (const auto& [index, text] : c.Expected)
      EXPECT_EQ(Rule(styles, "p", index), text) << c.Declaration << " / " << PropertyName(index);
  }
}

TEST(StyleSheetParser, AtRulesAndCommentsAsWritten) {
  TStyleList imported;
  ParseStyleElement(imported, "@import url(x.css); p { color: blue }");
  EXPECT_EQ(Rule(imported, "p", css::Color), Color(0xFF0000));
  // The block of "@media" ends at its first "}"; the second one makes the
  // rule after it unreadable, so P gets no colour from this sheet.
  TStyleList media;
  ParseStyleElement(media, "@media print { p { color: red } } p { color: blue } h1 { color: red }");
  EXPECT_EQ(media.Find("p"), nullptr);
  EXPECT_EQ(Rule(media, "h1", css::Color), Color(0xFF));
  // A comment holding "<" ends at it, and so does the sheet.
  TStyleList commented;
  EXPECT_EQ(ParseStyleElement(commented, "p { color: red } /* a < b */ h1 { color: blue }"), '<');
  EXPECT_EQ(Rule(commented, "p", css::Color), Color(0xFF));
  EXPECT_EQ(commented.Find("h1"), nullptr);
}

TEST(StyleSheetParser, SelectorsOutsideTheUnderstoodOnesDropTheirRule) {
  TStyleList styles;
  ParseStyleElement(styles,
                    "body > div { display: none } p + p, a[href] { color: red } * { color: red }\n"
                    "div ~ p { color: red } .ok, H1 { color: green } /* x */ td:hover { color: red }");
  EXPECT_EQ(Rule(styles, ".ok", css::Color), Color(0x008000));
  EXPECT_EQ(Rule(styles, "h1", css::Color), Color(0x008000));
  EXPECT_EQ(Rule(styles, "td:hover", css::Color), Color(0xFF));
  EXPECT_EQ(styles.Count(), 3u);
}

TEST(StyleSheetParser, StyleElementsThroughTheHtmlReader) {
  THtmlReader reader;
  TReaderSetup setup;
  setup.Text =
      "<style><!--\r\n p { color: red }\r\n--></style>after<style></style>kept"
      "<style type=text/css>h1{color:blue}</style>";
  reader.Begin(setup);
  TStyleList styles;
  auto readSheet = [&] {
    ASSERT_EQ(reader.Sy(), StyleSy);
    int ch = reader.Ch();
    ParseStyleSheet(styles, ch, reader.StyleSheetSource(), "");
    reader.ResumeAfterStyleSheet(ch);
    reader.NextSymbol();
  };
  readSheet();
  EXPECT_EQ(reader.Sy(), StyleEndSy);
  reader.NextSymbol();
  EXPECT_EQ(reader.Buff().GetString(), "after");
  reader.NextSymbol();
  readSheet();  // an empty sheet: the reader goes on after its end tag
  EXPECT_EQ(reader.Sy(), TextSymbol);
  EXPECT_EQ(reader.Buff().GetString(), "kept");
  reader.NextSymbol();
  readSheet();
  EXPECT_EQ(reader.Sy(), StyleEndSy);
  EXPECT_EQ(Rule(styles, "p", css::Color), Color(0xFF));
  EXPECT_EQ(Rule(styles, "h1", css::Color), Color(0xFF0000));
}

TEST(StyleSheetParser, LinkedSheetsResolveAddressesAgainstTheirFolder) {
  struct Case {
    const char* Base;
    const char* Value;
    const char* Resolved;
  } cases[] = {
      {"/site/css/s.css", "url(img/x.gif)", "url(/site/css/img/x.gif)"},
      {"/site/css/s.css", "url('/abs/X.gif')", "url(/abs/X.gif)"},
      {"http://h/css/s.css", "url(\"../i/x.gif\")", "url(http://h/i/x.gif)"},
      {"http://h/css/s.css", "url(http://cdn/x.gif)", "url(http://cdn/x.gif)"},
      {"file:///d/css/s.css", "url(x.gif)", "url(file:///d/css/x.gif)"},
      {"", "url(img/x.gif)", "url(img/x.gif)"},
  };
  for (const Case& c : cases) {
    TStyleList styles;
    ParseLinkedStyleSheet(styles, std::string("p { background-image: ") + c.Value + " }", c.Base);
    EXPECT_EQ(Rule(styles, "p", css::BackgroundImage), c.Resolved) << c.Base << " " << c.Value;
  }
  TStyleList styles;
  ParseLinkedStyleSheet(styles,
                        "div\n{ background: url(a.gif) red;\r\n list-style: url(b.gif) }\np\n{margin: 1px\n2px}",
                        "http://h/c/s.css");
  EXPECT_EQ(Rule(styles, "div", css::BackgroundImage), "url(http://h/c/a.gif)");
  EXPECT_EQ(Rule(styles, "div", css::ListStyleImage), "url(http://h/c/b.gif)");
  EXPECT_EQ(Rule(styles, "p", css::MarginRight), "2px");  // a line end parts values like a blank
}

TEST(StyleSheetParser, StyleAttributes) {
  TProperties props;
  ParseStyleAttribute(
      "COLOR: Red; Background: URL(Img/Bg.GIF) No-Repeat; FONT-FAMILY: 'Times New Roman';"
      "MARGIN:\t1PX 2PX; junk; visibility: HIDDEN",
      props);
  EXPECT_EQ(Shown(props.Props(css::Color)), Color(0xFF));
  EXPECT_EQ(Shown(props.Props(css::BackgroundImage)), "url(Img/Bg.GIF)");
  EXPECT_EQ(Shown(props.Props(css::BackgroundRepeat)), "no-repeat");
  EXPECT_EQ(Shown(props.Props(css::FontFamily)), "Times New Roman");
  EXPECT_EQ(Shown(props.Props(css::MarginTop)), "1px");
  EXPECT_EQ(Shown(props.Props(css::MarginLeft)), "2px");
  EXPECT_EQ(Shown(props.Props(css::Visibility)), std::to_string(viHidden));

  InstallStyleAttributeParser();
  TAttributeList attributes;
  attributes.AddAttribute(StyleSy, 0, "font: bold 9pt Arial");
  const TProperties* style = attributes.GetStyle();
  ASSERT_NE(style, nullptr);
  EXPECT_EQ(Shown(style->Props(css::FontWeight)), "bold");
  EXPECT_EQ(Shown(style->Props(css::FontSize)), "9pt");
  SetStyleAttributeParser(nullptr);
}

}  // namespace
}  // namespace lark
