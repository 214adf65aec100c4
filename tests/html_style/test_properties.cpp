#include "html/properties.h"

#include <gtest/gtest.h>

#include "html/colors.h"

namespace lark {
namespace {

std::string Text(const TProperties& p, int index) {
  const std::string* text = AsText(p.Props(index));
  return text ? *text : std::string("<not text>");
}

// A parent set up as the bottom of a document would be.
void MakeDocumentDefaults(TProperties& p, double size = 12) {
  p.SetProp(css::FontFamily, std::string("Times New Roman"));
  p.SetProp(css::FontSize, size);
  p.SetProp(css::Color, clBlack);
  p.SetDefaultFontSize(size);
}

TEST(TProperties, CreatedWithBoxValuesUnsetAndZIndexZero) {
  TProperties p;
  for (int i = 0; i < css::PropCount; ++i) EXPECT_FALSE(p.IsSet(i));
  for (int i = css::MarginTop; i <= css::Left; ++i) EXPECT_EQ(*AsInt(p.Props(i)), NullValue);
  EXPECT_EQ(*AsInt(p.Props(css::ZIndex)), 0);
  EXPECT_TRUE(IsEmpty(p.Props(css::Color)));
  EXPECT_EQ(p.TheBGColor(), NoColor);
  EXPECT_EQ(PropertyIndex("list-style-image"), css::ListStyleImage);
  EXPECT_EQ(PropertyName(css::Display), "display");
  EXPECT_EQ(PropertyIndex("font"), -1);
}

TEST(TProperties, InheritCopiesOnlyInheritedValues) {
  TProperties parent;
  MakeDocumentDefaults(parent);
  for (int i : {css::FontStyle, css::FontWeight, css::TextAlign, css::TextDecoration, css::LineHeight,
                css::ListStyleType, css::ListStyleImage, css::TextIndent, css::BorderStyle,
                css::BackgroundImage, css::BackgroundPosition, css::BackgroundRepeat, css::VerticalAlign,
                css::Position, css::Float, css::Clear, css::PageBreakBefore, css::PageBreakAfter,
                css::PageBreakInside, css::Display})
    parent.SetProp(i, std::string("x") + std::to_string(i));
  parent.SetProp(css::Visibility, int(viHidden));
  parent.SetProp(css::ZIndex, 3);
  parent.SetProp(css::BackgroundColor, clRed);
  parent.SetProp(css::BorderColor, clRed);
  parent.SetProp(css::MarginLeft, 20);
  parent.SetProp(css::Width, std::string("50%"));
  parent.UseBackgroundColor();
  parent.AssignCharSet(RUSSIAN_CHARSET);

  TProperties child;
  child.Inherit(parent);
  for (int i : {css::FontFamily, css::FontSize, css::FontStyle, css::FontWeight, css::TextAlign,
                css::TextDecoration, css::Color, css::Visibility, css::LineHeight, css::ZIndex,
                css::ListStyleType, css::ListStyleImage, css::TextIndent}) {
    EXPECT_EQ(child.Props(i), parent.Props(i)) << PropertyName(i);
    EXPECT_FALSE(child.IsSet(i)) << PropertyName(i);
  }
  for (int i : {css::BorderStyle, css::BackgroundColor, css::BorderColor, css::BackgroundImage,
                css::BackgroundPosition, css::BackgroundRepeat, css::VerticalAlign, css::Position,
                css::Float, css::Clear, css::PageBreakBefore, css::PageBreakAfter, css::PageBreakInside,
                css::Display})
    EXPECT_TRUE(IsEmpty(child.Props(i))) << PropertyName(i);
  for (int i = css::MarginTop; i <= css::Left; ++i) EXPECT_EQ(*AsInt(child.Props(i)), NullValue);
  EXPECT_EQ(child.TheBGColor(), clRed);
  EXPECT_EQ(child.CharSet(), RUSSIAN_CHARSET);
  EXPECT_EQ(child.CodePage(), 1251);
}

TEST(TProperties, EmAndExComeFromTheParentsFont) {
  TProperties small;
  MakeDocumentDefaults(small, 10);
  TProperties large;
  MakeDocumentDefaults(large, 30);
  TProperties a, b;
  a.Inherit(small);
  b.Inherit(large);
  EXPECT_GT(a.EmSize(), 5);
  EXPECT_GT(b.EmSize(), 2 * a.EmSize());
  EXPECT_EQ(a.ExSize(), a.EmSize() / 2);
  EXPECT_EQ(b.ExSize(), b.EmSize() / 2);
  EXPECT_EQ(b.EmSize(), large.FontEmSize());
  EXPECT_EQ(large.FontExSize(), large.FontEmSize() / 2);
  // Lengths in em of the element then follow the parent's font.
  b.SetProp(css::MarginTop, std::string("1em"));
  EXPECT_EQ(b.GetBoxValues(800, 600).M[css::MarginTop], b.EmSize());
}

TEST(TProperties, AddPropertyByIndexStoresByTheRulesOfEachProperty) {
  TProperties p;
  p.AddPropertyByIndex(css::BorderStyle, "dotted");
  for (int i : {css::BorderStyle, css::BorderTopStyle, css::BorderRightStyle, css::BorderBottomStyle,
                css::BorderLeftStyle})
    EXPECT_EQ(Text(p, i), "dotted");
  p.AddPropertyByIndex(css::BorderLeftStyle, "solid");
  EXPECT_EQ(Text(p, css::BorderStyle), "solid");
  EXPECT_EQ(Text(p, css::BorderTopStyle), "dotted");

  p.AddPropertyByIndex(css::Color, "nonsense");
  EXPECT_EQ(*AsInt(p.Props(css::Color)), 0);
  p.AddPropertyByIndex(css::BackgroundColor, "nonsense");
  EXPECT_EQ(*AsInt(p.Props(css::BackgroundColor)), NoColor);
  p.AddPropertyByIndex(css::BorderColor, "#00ff00");
  EXPECT_EQ(*AsInt(p.Props(css::BorderColor)), clLime | PalRelative);

  p.AddPropertyByIndex(css::Visibility, "hidden");
  EXPECT_TRUE(p.IsHidden());
  p.AddPropertyByIndex(css::Visibility, "collapse");  // unknown: unchanged
  EXPECT_TRUE(p.IsHidden());
  p.AddPropertyByIndex(css::Visibility, "visible");
  EXPECT_FALSE(p.IsHidden());

  p.AddPropertyByName("MARGIN-TOP", "3px");
  EXPECT_EQ(Text(p, css::MarginTop), "3px");
  EXPECT_TRUE(p.IsSet(css::MarginTop));
  EXPECT_NO_THROW(p.AddPropertyByName("no-such-property", "1"));
  EXPECT_NO_THROW(p.AddPropertyByIndex(99, "1"));
}

TEST(TProperties, SetPropertyValueOnlyFillsWhatIsNotSet) {
  TProperties p;
  p.SetPropertyValue(std::string("bold"), css::FontWeight);
  p.SetPropertyValue(std::string("normal"), css::FontWeight);
  EXPECT_EQ(Text(p, css::FontWeight), "bold");
}

TEST(TProperties, FontInfoReadsWeightStyleDecorationAndSize) {
  TProperties p;
  MakeDocumentDefaults(p);
  p.SetProp(css::FontWeight, 700);
  p.SetProp(css::FontStyle, std::string("Oblique"));
  p.SetProp(css::TextDecoration, std::string("underline"));
  p.SetProp(css::FontSize, 10.6);
  p.SetProp(css::Color, clBlue);
  ThtFontInfo info = p.GetFontInfo();
  EXPECT_EQ(info.Style, TFontStyles(fsBold | fsItalic | fsUnderline));
  EXPECT_EQ(info.Size, 11);
  EXPECT_EQ(info.Color, clBlue);
  EXPECT_EQ(info.Name, "Times New Roman");
  p.SetProp(css::FontWeight, std::string("500"));
  p.SetProp(css::TextDecoration, std::string("line-through"));
  EXPECT_EQ(p.GetFontInfo().Style, TFontStyles(fsItalic | fsStrikeOut));
  p.SetProp(css::FontWeight, std::string("600"));
  EXPECT_TRUE(p.GetFontInfo().Style & fsBold);
  p.SetProp(css::FontWeight, std::string("bolder"));
  EXPECT_TRUE(p.GetFontInfo().Style & fsBold);
}

TEST(TProperties, FontFamilyResolvesAgainstInstalledFonts) {
  TProperties p;
  MakeDocumentDefaults(p);
  p.SetProp(css::FontFamily, std::string("'No Such Font Family', serif"));
  EXPECT_EQ(p.GetFontInfo().Name, "Times New Roman");
  p.SetProp(css::FontFamily, std::string("\"Nope\", MONOSPACE, Arial"));
  EXPECT_EQ(p.GetFontInfo().Name, "Courier New");
  p.SetProp(css::FontFamily, std::string("arial"));
  EXPECT_EQ(p.GetFontInfo().Name, "Arial");

  // None installed: the name of the document defaults stays.
  TProperties bottom;
  bottom.Copy(p);
  TProperties child;
  child.Inherit(bottom);
  child.SetProp(css::FontFamily, std::string("Nope One, Nope Two"));
  EXPECT_EQ(child.GetFontInfo().Name, "Arial");
}

TEST(TProperties, GetFontBuildsATMyFontWithCharSetValues) {
  TProperties p;
  MakeDocumentDefaults(p);
  p.SetProp(css::FontWeight, std::string("bold"));
  p.UseBackgroundColor();
  p.AssignCharSet(SHIFTJIS_CHARSET);
  std::unique_ptr<TMyFont> font = p.GetFont();
  EXPECT_EQ(font->Name(), "Times New Roman");
  EXPECT_EQ(font->Size(), 12);
  EXPECT_EQ(font->Style(), TFontStyles(fsBold));
  EXPECT_EQ(font->Charset(), SHIFTJIS_CHARSET);
  EXPECT_EQ(font->CharSetValues[4], -2);
  // The caller owns a copy: changing it leaves the next one alone, and a
  // change of values rebuilds the font.
  font->SetSize(40);
  EXPECT_EQ(p.GetFont()->Size(), 12);
  p.SetProp(css::FontSize, 20.0);
  EXPECT_EQ(p.GetFont()->Size(), 20);
  TMyFont copy;
  copy.Assign(*p.GetFont());
  EXPECT_EQ(copy.CharSetValues, CharSetValuesFor(SHIFTJIS_CHARSET));
  EXPECT_EQ(CharSetValuesFor(HANGEUL_CHARSET)[7], 0x7FFFFFFF);
  EXPECT_EQ(CharSetValuesFor(ANSI_CHARSET), (std::array<int, 8>{}));
}

TEST(TProperties, CopyTakesValuesAndCharSetUnderTheKeyDefault) {
  TProperties source;
  MakeDocumentDefaults(source);
  source.AssignCharSet(GREEK_CHARSET);
  TProperties bottom;
  bottom.Copy(source);
  EXPECT_EQ(bottom.PropTag, "default");
  EXPECT_EQ(bottom.Props(css::FontFamily), source.Props(css::FontFamily));
  EXPECT_EQ(bottom.CharSet(), GREEK_CHARSET);
  EXPECT_EQ(bottom.CodePage(), 1253);
}

TEST(TProperties, ValueGetters) {
  TProperties p;
  AlignmentType align = ANone;
  EXPECT_FALSE(p.GetVertAlign(align));
  p.SetProp(css::VerticalAlign, std::string("text-top"));
  ASSERT_TRUE(p.GetVertAlign(align));
  EXPECT_EQ(align, ATop);
  EXPECT_FALSE(p.GetFloat(align));
  p.SetProp(css::Float, std::string("Right"));
  ASSERT_TRUE(p.GetFloat(align));
  EXPECT_EQ(align, ARight);
  ClearAttrType clear = ClearNone;
  p.SetProp(css::Clear, std::string("both"));
  ASSERT_TRUE(p.GetClear(clear));
  EXPECT_EQ(clear, ClearBoth);
  p.SetProp(css::Clear, std::string("sideways"));
  EXPECT_FALSE(p.GetClear(clear));

  EXPECT_EQ(p.GetListStyleType(), lbBlank);
  p.SetProp(css::ListStyleType, std::string("upper-roman"));
  EXPECT_EQ(p.GetListStyleType(), lbUpperRoman);
  p.SetProp(css::ListStyleImage, std::string("url( \"dot.gif\" )"));
  EXPECT_EQ(p.GetListStyleImage(), "dot.gif");
  p.SetProp(css::Position, std::string("relative"));
  EXPECT_EQ(p.GetPosition(), posRelative);
  p.SetProp(css::ZIndex, std::string("7"));
  EXPECT_EQ(p.GetZIndex(), 7);
  EXPECT_FALSE(p.DisplayNone());
  p.SetProp(css::Display, std::string("none"));
  EXPECT_TRUE(p.DisplayNone());
  p.SetProp(css::PageBreakBefore, std::string("always"));
  p.SetProp(css::PageBreakInside, std::string("avoid"));
  EXPECT_TRUE(p.GetPageBreakBefore());
  EXPECT_FALSE(p.GetPageBreakAfter());
  EXPECT_TRUE(p.GetPageBreakInside());

  EXPECT_EQ(p.GetLineHeight(16), 0);
  p.SetProp(css::LineHeight, std::string("1.5"));
  EXPECT_EQ(p.GetLineHeight(16), 24);
  p.SetProp(css::LineHeight, std::string("20px"));
  EXPECT_EQ(p.GetLineHeight(16), 20);
  bool percent = true;
  p.SetProp(css::TextIndent, std::string("30px"));
  EXPECT_EQ(p.GetTextIndent(percent), 30);
  EXPECT_FALSE(percent);
  p.SetProp(css::TextIndent, std::string("25%"));
  EXPECT_EQ(p.GetTextIndent(percent), 25);
  EXPECT_TRUE(percent);

  EXPECT_EQ(p.GetColor(), NoColor);
  EXPECT_FALSE(p.HasBorderStyle());
  p.SetProp(css::BorderStyle, std::string("none"));
  EXPECT_FALSE(p.HasBorderStyle());
  p.SetProp(css::BorderStyle, std::string("groove"));
  EXPECT_TRUE(p.HasBorderStyle());

  std::string image = "unchanged";
  EXPECT_FALSE(p.GetBackgroundImage(image));
  p.SetProp(css::BackgroundImage, std::string("none"));
  ASSERT_TRUE(p.GetBackgroundImage(image));
  EXPECT_EQ(image, "");
  p.SetProp(css::BackgroundImage, std::string("url('a b.png')"));
  ASSERT_TRUE(p.GetBackgroundImage(image));
  EXPECT_EQ(image, "a b.png");
}

TEST(TProperties, BackgroundPositionAndRepeat) {
  TProperties p;
  PositionRec x, y;
  p.GetBackgroundPos(16, 8, x, y);
  EXPECT_EQ(x.PosType, pDim);
  EXPECT_EQ(x.Value, 0);
  EXPECT_EQ(y.PosType, pDim);
  EXPECT_TRUE(x.RepeatD && y.RepeatD);

  p.SetProp(css::BackgroundPosition, std::string("bottom"));
  p.GetBackgroundPos(16, 8, x, y);
  EXPECT_EQ(x.PosType, pCenter);
  EXPECT_EQ(y.PosType, pBottom);
  p.SetProp(css::BackgroundPosition, std::string("right"));
  p.GetBackgroundPos(16, 8, x, y);
  EXPECT_EQ(x.PosType, pRight);
  EXPECT_EQ(y.PosType, pCenter);
  p.SetProp(css::BackgroundPosition, std::string("  20%   2em "));
  p.GetBackgroundPos(16, 8, x, y);
  EXPECT_EQ(x.PosType, pPercent);
  EXPECT_EQ(x.Value, 20);
  EXPECT_EQ(y.PosType, pDim);
  EXPECT_EQ(y.Value, 32);
  p.SetProp(css::BackgroundPosition, std::string("left top"));
  p.GetBackgroundPos(16, 8, x, y);
  EXPECT_EQ(x.PosType, pLeft);
  EXPECT_EQ(y.PosType, pTop);

  p.SetProp(css::BackgroundRepeat, std::string("repeat-x"));
  p.GetBackgroundPos(16, 8, x, y);
  EXPECT_TRUE(x.RepeatD);
  EXPECT_FALSE(y.RepeatD);
  p.SetProp(css::BackgroundRepeat, std::string("no-repeat"));
  p.GetBackgroundPos(16, 8, x, y);
  EXPECT_FALSE(x.RepeatD || y.RepeatD);
}

}  // namespace
}  // namespace lark
