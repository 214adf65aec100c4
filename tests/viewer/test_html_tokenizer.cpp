#include "viewer/html_tokenizer.h"

#include <gtest/gtest.h>

#include "platform/core/code_page.h"
#include "tests/viewer/tokens.h"
#include "viewer/tag_symbols.h"

namespace lark {
namespace {

using testing::JoinedText;
using testing::Pre;
using testing::Token;
using testing::Tokenize;

std::vector<Symb> Symbols(const std::vector<Token>& tokens) {
  std::vector<Symb> symbols;
  for (const Token& t : tokens) symbols.push_back(t.Sy);
  return symbols;
}

// The first symbol of a text: a tag with its attributes.
Token FirstTag(std::string_view html) { return Tokenize(html).front(); }

TEST(HtmlTokenizer, FoldsEveryKindOfLineEndIntoOneCR) {
  struct Case {
    std::string Input;
    std::string Text;
  } cases[] = {
      {"<pre>a\r\nb", "a\rb"}, {"<pre>a\n\rb", "a\rb"},     {"<pre>a\rb", "a\rb"},
      {"<pre>a\nb", "a\rb"},   {"<pre>a\r\n\nb", "a\r\rb"}, {"<pre>a\r\n\r\nb", "a\r\rb"},
      {"<pre>a\tb", "a b"},
  };
  for (const Case& c : cases) EXPECT_EQ(JoinedText(Tokenize(c.Input, Pre::Yes)), c.Text) << c.Input;
}

TEST(HtmlTokenizer, PositionsCountEveryByteOfTheSource) {
  // The dropped LF of CR LF still takes a position.
  const auto tokens = Tokenize("<pre>a\r\nb", Pre::Yes);
  ASSERT_EQ(tokens[1].Text, "a\rb");
  EXPECT_EQ(tokens[1].Positions, (std::vector<std::int32_t>{5, 6, 8}));

  // A comment's bytes are counted although they yield nothing.
  const auto commented = Tokenize("a<!-- x -->b");
  EXPECT_EQ(commented[0].Text, "ab");
  EXPECT_EQ(commented[0].Positions, (std::vector<std::int32_t>{0, 11}));
}

TEST(HtmlTokenizer, AReferenceTakesThePositionOfItsAmpersand) {
  const auto tokens = Tokenize("x&eacute;y&hellip;");
  EXPECT_EQ(tokens[0].Text, "x");
  EXPECT_EQ(tokens[1].Text, "\xC3\xA9");
  EXPECT_EQ(tokens[1].Positions, (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(tokens[2].Positions, (std::vector<std::int32_t>{9}));
  EXPECT_EQ(tokens[3].Text, "...");
  EXPECT_EQ(tokens[3].Positions, (std::vector<std::int32_t>{10, 11, 12}));
}

TEST(HtmlTokenizer, CommentsEndAtTwoDashesSpacesAndAClosingBracket) {
  EXPECT_EQ(JoinedText(Tokenize("a<!-->b-->c")), "ac");  // "<!-->" does not close
  EXPECT_EQ(JoinedText(Tokenize("a<!-- x -- \r >b")), "ab");
  EXPECT_EQ(JoinedText(Tokenize("a<!-- x -- y - z --->b")), "ab");
  EXPECT_EQ(JoinedText(Tokenize("a<!---->b")), "ab");
  EXPECT_EQ(JoinedText(Tokenize("<!DOCTYPE html PUBLIC \"x\">a<!-x>b<!>c")), "abc");
  // Comments are skipped inside quoted values too.
  const Token a = FirstTag("<a title=\"x<!-- y -->z\">");
  EXPECT_EQ(std::get<2>(a.Attributes.at(0)), "xz");
}

TEST(HtmlTokenizer, PlainTextKeepsCommentOpeners) {
  THtmlReader reader;
  TReaderSetup setup;
  setup.Text = "a<!-- b";
  setup.NoMarkup = true;
  const auto tokens = Tokenize(reader, setup);
  EXPECT_EQ(Symbols(tokens), (std::vector<Symb>{TextSymbol, TextSymbol, TextSymbol, EndOfFileSymbol}));
  EXPECT_EQ(JoinedText(tokens), "a<!-- b");
}

TEST(HtmlTokenizer, AnOpenCommentAtTheEndIsAParseErrorAndTheNextDocumentStartsClean) {
  THtmlReader reader;
  for (const char* text : {"a <!-- b", "<!DOCTYPE", "a<!-- b -- \r", "<!-"}) {
    TReaderSetup setup;
    setup.Text = text;
    try {
      Tokenize(reader, setup);
      ADD_FAILURE() << text;
    } catch (const EParseError& e) {
      EXPECT_STREQ(e.what(), "Open Comment at End of HTML File");
    }
  }
  // The last error left the reader after a CR; the next document must not
  // take its leading LF as the second half of a pair.
  TReaderSetup setup;
  setup.Text = "\nx";
  const auto tokens = Tokenize(reader, setup, Pre::No);
  EXPECT_EQ(tokens[0].Text, " x");
  EXPECT_EQ(tokens[0].Positions, (std::vector<std::int32_t>{0, 1}));
}

TEST(HtmlTokenizer, ReadsTagsAndTheirHeaderLevels) {
  struct Case {
    std::string Input;
    Symb Sy;
    int Level;
  } cases[] = {
      {"<h3>", HeadingSy, 3},     {"<H 3>", HeadingSy, 3},       {"<H7>", HeadingSy, 0},
      {"</h2>", HeadingEndSy, 2}, {"<hr>", HRSy, 0},             {"</br>", UnknownTagSymbol, 0},
      {"<Table>", TableSy, 0},    {"</TABLE >", TableEndSy, 0},  {"<blink>", UnknownTagSymbol, 0},
      {"</ p>", UnknownTagSymbol, 0}, {"</3>", UnknownTagSymbol, 0}, {"<p", PSy, 0},
      {"<" + std::string(300, 'b') + ">", UnknownTagSymbol, 0},
  };
  for (const Case& c : cases) {
    const Token t = FirstTag(c.Input);
    EXPECT_EQ(t.Sy, c.Sy) << c.Input;
    EXPECT_EQ(t.HeaderLevel, c.Level) << c.Input;
  }
  // A tag takes the text up to its ">", and the next symbol starts after it.
  EXPECT_EQ(Symbols(Tokenize("</ p>x<3")),
            (std::vector<Symb>{UnknownTagSymbol, TextSymbol, TextSymbol, TextSymbol, EndOfFileSymbol}));
  EXPECT_EQ(JoinedText(Tokenize("a < b")), "a < b");
}

TEST(HtmlTokenizer, AfterAStyleStartTagTheReaderStaysOnTheBracket) {
  THtmlReader reader;
  TReaderSetup setup;
  setup.Text = "<style type=\"text/css\">p{}\x1A</style>x";
  reader.Begin(setup);
  EXPECT_EQ(reader.Sy(), StyleSy);
  EXPECT_EQ(reader.Ch(), '>');
  // A stand-in for the style-sheet reader: takes characters up to "<".
  TCharSource source = reader.StyleSheetSource();
  std::string sheet;
  int c;
  while ((c = source()) != '<' && c != EofChar) sheet += static_cast<char>(c);
  EXPECT_EQ(sheet, "p{}\x1A");  // 0x1A is a character, not the end
  reader.ResumeAfterStyleSheet(c);
  reader.NextSymbol();
  EXPECT_EQ(reader.Sy(), StyleEndSy);
  reader.NextSymbol();
  EXPECT_EQ(reader.Buff().GetString(), "x");
  EXPECT_EQ(source(), EofChar);
  EXPECT_EQ(source(), EofChar);
}

TEST(HtmlTokenizer, AttributeNamesAreLettersAndDashes) {
  const Token meta = FirstTag("<meta HTTP-EQUIV=\"Refresh\" content=5>");
  ASSERT_EQ(meta.Attributes.size(), 2u);
  EXPECT_EQ(meta.Attributes[0], std::make_tuple(HttpEqSy, 0, std::string("Refresh")));
  EXPECT_EQ(meta.Attributes[1], std::make_tuple(ContentSy, 5, std::string("5")));

  // "_" ends a name; what follows is no attribute, so the list ends there.
  const Token a = FirstTag("<a data_x=1 href=y>b");
  ASSERT_EQ(a.Attributes.size(), 1u);
  EXPECT_EQ(a.Attributes[0], std::make_tuple(UnknownAttributeSymbol, 0, std::string()));
}

TEST(HtmlTokenizer, AttributeValuesAndTheirNumbers) {
  struct Case {
    std::string Tag;
    std::int32_t Value;
    std::string Text;
  } cases[] = {
      {"<table border>", 1, ""},
      {"<table border=yes>", 1, "yes"},
      {"<table border=10px>", 0, "10px"},
      {"<table border=\"3\">", 3, "3"},
      {"<table border='x'>", 0, "x"},
      {"<td width=\"50%\">", 50, "50%"},
      {"<td width=50%>", 50, "50%"},
      {"<td width=50 %>", 50, "50%"},
      {"<td width=\" 12.5 \">", 12, " 12.5 "},
      {"<td width=13.5>", 14, "13.5"},
      {"<td width=-7>", -7, "-7"},
      {"<p align=center>", 0, "center"},
      {"<td width=99999999999>", 2147483647, "99999999999"},
      {"<td width=\"-1e300\">", -2147483647 - 1, "-1e300"},
      {"<td width=\"inf\">", 0, "inf"},
      {"<td width=+inf>", 0, "+inf"},
      {"<td width=\"nan\">", 0, "nan"},
      {"<td width=\"1e3\">", 1000, "1e3"},
      {"<td width=\"1e999\">", 2147483647, "1e999"},
      {"<td width=\"-1e999\">", -2147483647 - 1, "-1e999"},
      {"<td width=\"1e-999\">", 0, "1e-999"},
      {"<td width=" + std::string(400, '9') + ">", 2147483647, std::string(400, '9')},
      {"<td width=\"1e999x\">", 0, "1e999x"},
      {"<td title=\"a\r\nb\">", 0, "ab"},
      {"<td title=\"a&amp;b&nbsp;c&bogus;\">", 0, "a&b c&bogus;"},
      {"<td title=\"unterminated>", 0, "unterminated>"},
  };
  for (const Case& c : cases) {
    const Token t = FirstTag(c.Tag);
    ASSERT_EQ(t.Attributes.size(), 1u) << c.Tag;
    EXPECT_EQ(std::get<1>(t.Attributes[0]), c.Value) << c.Tag;
    EXPECT_EQ(std::get<2>(t.Attributes[0]), c.Text) << c.Tag;
  }
}

TEST(HtmlTokenizer, ReferencesAreCaseSensitiveAndBounded) {
  struct Case {
    std::string Input;
    std::string Text;
  } cases[] = {
      {"&amp;&lt;&gt;&quot;", "&<>\""},
      {"&AMP;", "&AMP;"},
      {"&ampx", "&ampx"},
      {"&amp x", "& x"},
      {"&#65;&#x41;&#X41", "AAA"},
      {"&#1234567;", "&#1234567;"},
      {"&#123456;", "&#123456;"},
      {"&#x1F600;", "\xF0\x9F\x98\x80"},
      {"&#xFFFFF;", "\xF3\xBF\xBF\xBF"},
      {"&#;&#x;&;", "&#;&#x;&;"},
      {"&abcdefg;", "&abcdefg;"},
      {"&ndash;&rsquo;&trade;", "-'\xE2\x84\xA2"},
      {"&nbsp;", "\x05"},
      {"&hellip;", "..."},
      {"&eacute;&#233;&#xE9;", "\xC3\xA9\xC3\xA9\xC3\xA9"},
      {"&iexcl;&yuml;", "\xC2\xA1\xC3\xBF"},
      {"&#0;&#5;&#8;&#9;", "??? "},
      {"&#xD800;&#xDFFF;", "??"},
      {"&#10;&#32;&#126;", "\n ~"},
      // 128..159 are the Windows-1252 characters, never C1 controls.
      {"&#128;&#x96;&#159;", "\xE2\x82\xAC\xE2\x80\x93\xC5\xB8"},
      {"&#x81;&#141;&#x8F;&#x90;&#157;", "?????"},
  };
  for (const Case& c : cases) EXPECT_EQ(JoinedText(Tokenize(c.Input)), c.Text) << c.Input;
}

TEST(HtmlTokenizer, TextReferencesUseTheCodePageInForce) {
  THtmlReader reader;
  int codePage = 1252;
  TReaderSetup setup;
  setup.Text = "&eacute;&euro;&#x4E00;&#128;<a title=\"&eacute;\">";
  setup.CodePageInForce = [&] { return codePage; };
  auto tokens = Tokenize(reader, setup);
  EXPECT_EQ(tokens[0].Text, "\xE9");
  EXPECT_EQ(tokens[1].Text, "\x80");
  EXPECT_EQ(tokens[2].Text, "?");
  EXPECT_EQ(tokens[3].Text, "\x80");  // the euro sign of a Windows-1252 run
  EXPECT_EQ(DecodeChar(tokens[3].Text, 0, codePage).CodePoint, U'\u20AC');
  // Attribute values are always in the system code page.
  EXPECT_EQ(std::get<2>(tokens[4].Attributes.at(0)), "\xC3\xA9");

  codePage = 1251;
  tokens = Tokenize(reader, setup);
  EXPECT_EQ(tokens[0].Text, "?");
  EXPECT_EQ(tokens[1].Text, "\x88");
}

TEST(HtmlTokenizer, TextTokensCollapseWhiteSpaceAndHoldAtMostAHundredChars) {
  EXPECT_EQ(Tokenize("a    b")[0].Text, "a b");
  EXPECT_EQ(Tokenize("  b")[0].Text, " b");
  EXPECT_EQ(Tokenize("a \r\n\t b")[0].Text, "a b");
  const auto pre = Tokenize("<pre>a  \r b", Pre::Yes);
  EXPECT_EQ(pre[1].Text, "a  \r b");

  const auto tokens = Tokenize(std::string(250, 'x'));
  ASSERT_EQ(tokens.size(), 4u);
  EXPECT_EQ(tokens[0].Text.size(), 100u);
  EXPECT_EQ(tokens[1].Text.size(), 100u);
  EXPECT_EQ(tokens[2].Text.size(), 50u);
  EXPECT_EQ(tokens[2].Positions.front(), 200);
}

TEST(HtmlTokenizer, ControlBytesNeverPoseAsTheDocumentsMarks) {
  const std::string input("a\0b\x05" "c\x08" "d", 7);
  EXPECT_EQ(JoinedText(Tokenize(input)), "a?b?c?d");
  // 0x1A is a character: the document goes on after it.
  const auto tokens = Tokenize("a\x1A" "b<b>");
  EXPECT_EQ(Symbols(tokens),
            (std::vector<Symb>{TextSymbol, OtherCharSymbol, TextSymbol, BSy, EndOfFileSymbol}));
  EXPECT_EQ(tokens[1].Text, "\x1A");
}

TEST(HtmlTokenizer, IdsAreRegisteredWithTheirPosition) {
  THtmlReader reader;
  TIDNameList ids(nullptr);
  TReaderSetup setup;
  setup.Text = "ab<a id=Top name=x>";
  setup.IDNameList = &ids;
  Tokenize(reader, setup);
  int index = -1;
  ASSERT_TRUE(ids.Find("TOP", index));
  EXPECT_EQ(ids.Strings(index), "Top");
  EXPECT_EQ(static_cast<TChPosObj*>(ids.Objects(index))->ChPos, 11);
  EXPECT_EQ(ids.Count(), 1);
}

struct RecordedInclude {
  std::string Command;
  std::vector<std::string> Params;
};

std::vector<Token> TokenizeWithIncludes(std::string_view text, std::vector<RecordedInclude>& calls,
                                        const std::string& reply) {
  THtmlReader reader;
  TReaderSetup setup;
  setup.Text = text;
  setup.OnInclude = [&calls, reply](const std::string& command, const TStringList& params, std::string& buffer) {
    RecordedInclude call{command, {}};
    for (int i = 0; i < params.Count(); ++i) call.Params.push_back(params.Strings(i));
    calls.push_back(call);
    buffer = reply;
  };
  return Tokenize(reader, setup);
}

TEST(HtmlTokenizer, IncludesAreReadInPlaceWithoutAdvancingPositions) {
  std::vector<RecordedInclude> calls;
  const auto tokens = TokenizeWithIncludes(
      "a<!--#Echo_2 var=\"x &amp;\r\ny\" File=b.html -->c", calls, "<b>in</b><!--#no-->");
  ASSERT_EQ(calls.size(), 1u);  // the included text's own include is a comment
  EXPECT_EQ(calls[0].Command, "Echo_2");
  EXPECT_EQ(calls[0].Params, (std::vector<std::string>{"var=x & y", "File=b.html"}));
  EXPECT_EQ(Symbols(tokens),
            (std::vector<Symb>{TextSymbol, BSy, TextSymbol, BEndSy, TextSymbol, EndOfFileSymbol}));
  EXPECT_EQ(tokens[0].Text, "a");
  EXPECT_EQ(tokens[2].Text, "in");
  const std::int32_t commentEnd = 44;  // the ">" of the comment
  EXPECT_EQ(tokens[2].Positions, (std::vector<std::int32_t>{commentEnd, commentEnd}));
  EXPECT_EQ(tokens[4].Text, "c");
  EXPECT_EQ(tokens[4].Positions, (std::vector<std::int32_t>{commentEnd + 1}));
}

TEST(HtmlTokenizer, AnEmptyIncludeOrNoHandlerLeavesAComment) {
  std::vector<RecordedInclude> calls;
  EXPECT_EQ(JoinedText(TokenizeWithIncludes("a<!--#x-->b", calls, "")), "ab");
  EXPECT_EQ(calls.size(), 1u);
  EXPECT_EQ(JoinedText(Tokenize("a<!--#x-->b")), "ab");
}

TEST(HtmlTokenizer, HostileInputStaysBounded) {
  const std::string huge(10'000'000, 'v');
  const Token tag = FirstTag("<img alt=\"" + huge + "\">");
  EXPECT_EQ(std::get<2>(tag.Attributes.at(0)).size(), huge.size());
  EXPECT_EQ(JoinedText(Tokenize("a<!--" + huge + "-->b")), "ab");
  EXPECT_EQ(Tokenize("<" + huge + ">").front().Sy, UnknownTagSymbol);
  EXPECT_EQ(Tokenize("&" + huge).size(), 2u);
  EXPECT_EQ(JoinedText(Tokenize("&#" + std::string(1'000'000, '1'))).size(), 1'000'002u);

  std::string repeated;
  for (int i = 0; i < 100'000; ++i) repeated += "<b>";
  const auto tokens = Tokenize(repeated);
  EXPECT_EQ(tokens.size(), 100'001u);

  for (const char* unterminated : {"<a href=\"x", "<a href=", "<a", "<", "&", "&#x", "</"}) {
    const auto t = Tokenize(unterminated);
    EXPECT_EQ(t.back().Sy, EndOfFileSymbol) << unterminated;
  }
}

TEST(HtmlTokenizer, SymbolLookups) {
  EXPECT_EQ(SymbolToTagName(HeadingSy), "h");
  EXPECT_EQ(SymbolToTagName(BRSy), "br");
  EXPECT_EQ(SymbolToTagName(LinkSy), "link");
  EXPECT_EQ(SymbolToTagName(OtherCharSymbol), "");
  EXPECT_EQ(EndSymbolToTagName(TableEndSy), "table");
  EXPECT_EQ(EndSymbolToTagName(TableSy), "");
  EXPECT_EQ(StartToEndSymbol(SpanSy), SpanEndSy);
  EXPECT_EQ(StartToEndSymbol(CiteSy), CiteEndSy);
  EXPECT_EQ(StartToEndSymbol(BRSy), std::nullopt);
  EXPECT_EQ(LookupAttribute("TITLE"), TitleSy);
  EXPECT_EQ(LookupAttribute("TEXT"), TextSymbol);
  EXPECT_EQ(LookupAttribute("title"), UnknownAttributeSymbol);
  ASSERT_TRUE(LookupTag("SELECTED"));
  EXPECT_EQ(LookupTag("SELECTED")->Start, SelectedSy);
  EXPECT_FALSE(LookupTag("SELECTED")->End);
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

// The main text is read a block at a time where it can be, an include's text
// one character at a time: both must give the same symbols.
TEST(HtmlTokenizer, BlockReadingGivesTheSameSymbolsAsCharacterReading) {
  std::string page;
  for (int i = 0; i < 40; ++i) {
    page += "Some words  with\tblanks \r\n and a long run of text that goes on past a block" +
            std::to_string(i) + " &amp; &eacute; x&y <b>bold</b> a < b <!-- a -- comment -- > ";
    page += "<a href=\"http://host/" + std::string(i, 'p') + "\" title='it&#39;s\r\n two  lines'>";
    page += "<img alt=\"&lt;&gt;\" width=\"50%\" border>" + std::string(static_cast<std::size_t>(i) * 3, ' ') +
            "tail\x01\x05\x1A" + std::string(1, '\0') + "end ";
  }
  const auto direct = Tokenize(page);
  std::vector<RecordedInclude> calls;
  const auto included = TokenizeWithIncludes("<!--#x-->", calls, page);
  ASSERT_EQ(direct.size(), included.size());
  for (std::size_t i = 0; i < direct.size(); ++i) {
    EXPECT_EQ(direct[i].Sy, included[i].Sy) << i;
    EXPECT_EQ(direct[i].Text, included[i].Text) << i;
    EXPECT_EQ(direct[i].Attributes, included[i].Attributes) << i;
  }
  // Positions in the main text count every byte.
  for (const Token& t : direct)
    for (std::size_t k = 0; k + 1 < t.Positions.size(); ++k) EXPECT_LT(t.Positions[k], t.Positions[k + 1]);
}

}  // namespace
}  // namespace lark
