// The text-level handlers of the parser: text, phrase and font elements,
// links, headers, breaks and preformatted text.
#include <algorithm>

#include "html/attribute_list.h"
#include "html/colors.h"
#include "html/font_family.h"
#include "html/horz_line.h"
#include "html/image_obj.h"
#include "html/page_break.h"
#include "html/panel_object.h"
#include "html/parser_state.h"
#include "html/section_list.h"
#include "html/section_style.h"
#include "html/table_box.h"
#include "platform/core/string_routines.h"
#include "viewer/html_parser_state.h"
#include "viewer/tag_symbols.h"

namespace lark {

namespace {

const TSymbolSet kTextLevel = Symbols({
    TextSymbol, BSy, BEndSy, ISy, IEndSy, EmSy, EmEndSy, StrongSy, StrongEndSy, USy, UEndSy, CiteSy, CiteEndSy,
    VarSy, VarEndSy, SSy, SEndSy, StrikeSy, StrikeEndSy, TTSy, TTEndSy, CodeSy, CodeEndSy, KbdSy, KbdEndSy,
    SampSy, SampEndSy, SpanSy, SpanEndSy, SubSy, SubEndSy, SupSy, SupEndSy, BigSy, BigEndSy, SmallSy,
    SmallEndSy, FontSy, FontEndSy, BaseFontSy, ASy, AEndSy, HeadingSy, HeadingEndSy, HRSy, BRSy, NoBrSy,
    NoBrEndSy, WbrSy, ImageSy, PanelSy, InputSy, SelectSy, TextAreaSy, TextAreaEndSy, PreSy, TableSy, MapSy,
    PageSy, ScriptSy, ScriptEndSy, HrefSy, NameSy});

const TSymbolSet kNotPhrasing = Symbols({HeadingSy, HeadingEndSy, HRSy, PreSy, TableSy, HrefSy, NameSy});

const TSymbolSet kStyleStarts = Symbols({BSy, ISy, EmSy, StrongSy, USy, CiteSy, VarSy, SSy, StrikeSy, TTSy, CodeSy,
                                         KbdSy, SampSy, SpanSy, SubSy, SupSy, BigSy, SmallSy});
const TSymbolSet kStyleEnds =
    Symbols({BEndSy, IEndSy, EmEndSy, StrongEndSy, UEndSy, CiteEndSy, VarEndSy, SEndSy, StrikeEndSy, TTEndSy,
             CodeEndSy, KbdEndSy, SampEndSy, SpanEndSy, SubEndSy, SupEndSy, BigEndSy, SmallEndSy});

// FONT SIZE: "+n" and "-n" are relative to the base size; held to 1..7
// before anything is added, so no value overflows.
int HtmlFontSize(const TAttribute& size, int baseSize) {
  const int value = std::clamp(size.Value, -100, 100);
  const bool relative = size.Name.size() >= 2 && (size.Name[0] == '+' || size.Name[0] == '-');
  return std::clamp(relative ? baseSize + value : value, 1, 7);
}

}  // namespace

bool THtmlParser::IsTextLevel(Symb sy) { return kTextLevel[sy]; }

bool THtmlParser::IsPhrasing(Symb sy) { return sy == UnknownTagSymbol || (kTextLevel[sy] && !kNotPhrasing[sy]); }

void THtmlParser::DoTextAndFont(const TSymbolSet& terminators) {
  const Symb sy = Sy();
  if (kStyleStarts[sy] || kStyleEnds[sy]) {
    DoTextStyle(sy);
    return;
  }
  switch (sy) {
    case TextSymbol:
      EnsureSection();
      section_->AddTokenObj(reader_.Buff());
      NextSymbol();
      break;
    case FontSy: case BaseFontSy:
      DoFont(sy, false);
      NewFontRun();
      NextSymbol();
      break;
    case FontEndSy:
      props_.PopAProp("font");
      NewFontRun();
      NextSymbol();
      break;
    case ASy: DoAnchor(); break;
    case AEndSy:
      EndLink();
      NextSymbol();
      break;
    case HeadingSy:
      if (reader_.HeaderLevel() >= 1)
        DoHeader(terminators);
      else
        NextSymbol();
      break;
    case BRSy: DoBr(terminators); break;
    case NoBrSy: case NoBrEndSy:
      ParserState().NoBreak = sy == NoBrSy;
      NextSymbol();
      break;
    case WbrSy: DoWbr(); break;
    case PreSy: DoPre(); break;
    case TableSy: DoTable(); break;
    case MapSy: DoMap(); break;
    case ScriptSy: DoScript(); break;
    case InputSy: case SelectSy: DoFormControl(); break;
    case TextAreaSy: DoTextArea(); break;
    case HRSy: DoRule(); break;
    case ImageSy: case PanelSy: DoInlineObject(sy); break;
    case PageSy: DoPage(); break;
    default: NextSymbol();  // forms and tables are not built yet
  }
}

void THtmlParser::DoTextStyle(Symb sy) {
  if (kStyleStarts[sy]) {
    props_.PushNewProps(SymbolToTagName(sy), &Attributes()).UseBackgroundColor();
  } else {
    props_.PopAProp(EndSymbolToTagName(sy));
  }
  switch (sy) {
    case SubSy: ParserState().SScript = TScriptState::Subscript; break;
    case SupSy: ParserState().SScript = TScriptState::Superscript; break;
    case SubEndSy: case SupEndSy: ParserState().SScript = TScriptState::Normal; break;
    default: break;
  }
  NewFontRun();
  NextSymbol();
}

void THtmlParser::DoFont(Symb sy, bool inPre) {
  int size = 0;
  TColor color = 0;
  bool hasColor = false;
  std::string face, charSetName;
  for (std::size_t i = 0; i < Attributes().Count(); ++i) {
    const TAttribute& a = *Attributes()[i];
    if (a.Which == SizeSy) size = HtmlFontSize(a, baseFontSize_);
    else if (a.Which == ColorSy) hasColor = ColorFromString(a.Name, false, color);
    else if (a.Which == FaceSy && sy == FontSy) face = ResolveFontFamily(a.Name);
    else if (a.Which == CharSetSy) charSetName = a.Name;
  }
  if (sy == BaseFontSy && size) baseFontSize_ = size;
  TProperties& props = props_.PushNewProps("font", &Attributes());
  props.UseBackgroundColor();
  if (hasColor) props.SetPropertyValue(color | PalRelative, css::Color);
  if (size) props.SetPropertyValue(inPre ? PreFontConv(size) : FontConv(size), css::FontSize);
  if (!face.empty()) props.SetPropertyValue(face, css::FontFamily);
  if (!charSetName.empty()) AssignCharSetName(charSetName, props);
}

void THtmlParser::DoAnchor() {
  const TAttribute* href = Attributes().Find(HrefSy);
  std::string pseudo;
  if (href) {
    EndLink();
    inLink_ = true;
    linkTarget_.Update(href->Name, AttributeText(TargetSy));
    pseudo = "link";
  }
  props_.PushNewProps("a", &Attributes(), pseudo).UseBackgroundColor();
  if (section_)
    NewFontRun();
  else
    OpenSection();
  if (const TAttribute* name = Attributes().Find(NameSy)) {
    std::string anchor = UpperCase(name->Name);
    if (anchor.starts_with('#')) anchor.erase(0, 1);
    list_.IDNameList->AddObject(anchor, section_.get());
    section_->HasAnchor = true;
  }
  NextSymbol();
}

void THtmlParser::EndLink() {
  if (inLink_) {
    linkTarget_.Clear();
    inLink_ = false;
  }
  props_.PopAProp("a");
  NewFontRun();
}

void THtmlParser::DoHeader(const TSymbolSet& terminators) {
  if (TooDeep()) return;
  DepthScope scope(depth_);
  const std::string tag = "h" + std::to_string(reader_.HeaderLevel());
  TProperties& props = props_.PushNewProps(tag, &Attributes());
  AlignAsTextAlign(Attributes(), props);
  TCellBasic* outer = cell_;
  OpenBlock(tag, &Attributes());
  reader_.SkipWhiteSpace();
  NextSymbol();
  if (Sy() == CenterSy) {
    props.SetProp(css::TextAlign, std::string("center"));
    NextSymbol();
  }
  while (!terminators[Sy()]) {
    if (Sy() == UnknownTagSymbol)
      NextSymbol();
    else if (Sy() == PSy)
      DoParagraph(terminators);
    else if (IsPhrasing(Sy()))
      DoTextAndFont(terminators);
    else
      break;
  }
  AddSection();
  props_.PopAProp(tag);
  cell_ = outer;
  if (Sy() == HeadingEndSy) NextSymbol();
}

void THtmlParser::DoRule() {
  AddSection();
  TProperties& props = props_.PushNewProps("hr", &Attributes());
  // The rule writes its width and thickness into the properties its box reads.
  auto line = std::make_unique<THorzLine>(&list_, &props, &Attributes());
  auto box = std::make_unique<THRBlock>(&list_, &Attributes(), props, cell_, line->Align);
  box->Line = line.get();
  box->MyCell->Add(std::move(line));
  cell_->Add(std::move(box));
  props_.PopAProp("hr");
  NextSymbol();
}

void THtmlParser::DoInlineObject(Symb sy) {
  const std::string tag = sy == ImageSy ? "img" : "panel";
  EnsureSection();
  TProperties& props = props_.PushNewProps(tag, &Attributes());
  if (sy == ImageSy) {
    auto image = std::make_unique<TImageObj>(list_, 0, Attributes());
    image->ProcessProperties(props);
    section_->AddObject(std::move(image), reader_.TagPosition());
  } else {
    section_->AddObject(std::make_unique<TPanelObj>(list_, 0, &Attributes()), reader_.TagPosition());
  }
  props_.PopAProp(tag);
  NextSymbol();
}

void THtmlParser::DoPage() {
  AddSection();
  cell_->Add(std::make_unique<TPage>(&list_));
  NextSymbol();
}

void THtmlParser::DoBr(const TSymbolSet& terminators) {
  if (terminators[BRSy]) return;
  if (Attributes().Find(ClearSy)) {
    OpenSection(&Attributes());
  } else {
    EnsureSection();
    section_->AddChar(kBreakChar, reader_.TagPosition());
    AddSection();
  }
  NextSymbol();
}

void THtmlParser::DoWbr() {
  if (ParserState().NoBreak && section_) {
    ParserState().NoBreak = false;
    section_->AddChar(' ', reader_.TagPosition());
    ParserState().NoBreak = true;
  }
  NextSymbol();
}

// ---- preformatted text ---------------------------------------------------------

void THtmlParser::OpenPreSection() {
  AddSection();
  TProperties& props = props_.Top();
  section_ = std::make_unique<TPreFormated>(&list_, ParagraphStyleOf(props, false), SharedRunFontOf(props),
                                             props.PropTitle);
  ChangeFont(*section_, props, inLink_ ? &linkTarget_ : nullptr);
}

void THtmlParser::AddPreText(const TokenObj& text) {
  std::int32_t start = 0;
  for (std::int32_t i = 0; i <= text.Leng(); ++i) {
    if (i < text.Leng() && text.C(i) != '\r') continue;
    for (std::int32_t k = start; k < i; ++k) section_->AddChar(text.C(k), text.I(k));
    if (i < text.Leng()) OpenPreSection();
    start = i + 1;
  }
}

namespace {

// A line break right after a start tag in PRE opens no line of its own.
void SkipLineBreakAfterTag(THtmlReader& reader) {
  if (reader.Ch() == '\r') reader.GetCh();
}

}  // namespace

void THtmlParser::DoPre() {
  if (TooDeep()) return;
  DepthScope scope(depth_);
  props_.PushNewProps("pre", &Attributes());
  TCellBasic* outer = cell_;
  OpenBlock("pre", &Attributes());
  OpenPreSection();
  reader_.SetPreformatted(true);
  SkipLineBreakAfterTag(reader_);
  NextSymbol();
  std::vector<TCellBasic*> outerCells;
  while (Sy() != EndOfFileSymbol) {
    if (Sy() == TextSymbol) {
      AddPreText(reader_.Buff());
      NextSymbol();
    } else if (!DoPreTag(outerCells)) {
      break;
    }
  }
  reader_.SetPreformatted(false);
  AddSection();
  while (!outerCells.empty()) ClosePreBlock(outerCells);
  props_.PopAProp("pre");
  cell_ = outer;
  if (Sy() == PreEndSy) NextSymbol();
}

bool THtmlParser::DoPreTag(std::vector<TCellBasic*>& outerCells) {
  const Symb sy = Sy();
  switch (sy) {
    case PreEndSy: case TDEndSy: case THEndSy: case TDSy: return false;
    case THSy: case TRSy: case TREndSy: case CaptionSy: case CaptionEndSy: case TableEndSy:
      // Inside a table an unclosed PRE ends with its cell, as the cell would.
      if (tableDepth_ > 0) return false;
      NextSymbol();
      return true;
    case PSy: case FormSy:
      if (depth_ + static_cast<int>(outerCells.size()) < kMaxNestingDepth) {
        const std::string tag = sy == PSy ? "p" : "form";
        props_.PushNewProps(tag, &Attributes());
        outerCells.push_back(cell_);
        OpenBlock(tag, &Attributes());
        OpenPreSection();
        if (sy == PSy) SkipLineBreakAfterTag(reader_);
      }
      if (sy == FormSy) OpenForm();
      NextSymbol();
      return true;
    case PEndSy: case FormEndSy:
      if (sy == FormEndSy) EndForm();
      if (!outerCells.empty()) {
        ClosePreBlock(outerCells);
        OpenPreSection();
      }
      NextSymbol();
      return true;
    case ASy: DoAnchor(); return true;
    case AEndSy: EndLink(); NextSymbol(); return true;
    case ScriptSy: DoScript(); return true;
    case MapSy: DoMap(); return true;
    case InputSy: case SelectSy: DoFormControl(); return true;
    case TextAreaSy: DoTextArea(); return true;
    case ImageSy: case PanelSy: DoInlineObject(sy); return true;
    case PageSy:
      DoPage();
      OpenPreSection();
      return true;
    case FontSy: case BaseFontSy:
      DoFont(sy, true);
      NewFontRun();
      NextSymbol();
      return true;
    case FontEndSy:
      props_.PopAProp("font");
      NewFontRun();
      NextSymbol();
      return true;
    default:
      if (kStyleStarts[sy] || kStyleEnds[sy])
        DoTextStyle(sy);
      else
        NextSymbol();
      return true;
  }
}

void THtmlParser::ClosePreBlock(std::vector<TCellBasic*>& outerCells) {
  AddSection();
  props_.PopAProp(cell_->OwnersTag);
  cell_ = outerCells.back();
  outerCells.pop_back();
}

}  // namespace lark
