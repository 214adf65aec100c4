#include "viewer/html_parser.h"

#include <algorithm>
#include <cstdint>

#include "html/attribute_list.h"
#include "html/colors.h"
#include "html/document_utils.h"
#include "html/parser_state.h"
#include "html/section_list.h"
#include "html/section_style.h"
#include "html/style_list.h"
#include "html/style_sheet_parser.h"
#include "html/url_helpers.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"
#include "viewer/charset_names.h"
#include "viewer/html_parser_state.h"
#include "viewer/japanese_conversion.h"
#include "viewer/tag_symbols.h"

namespace lark {

namespace {

// One parse at a time: the model shares state with the parser
// (ParserState(), the font-size tables).
bool parsing = false;

class ParseGuard {
 public:
  ParseGuard() {
    if (parsing) throw EParseError("A document is already being parsed");
    parsing = true;
  }
  ~ParseGuard() { parsing = false; }
  ParseGuard(const ParseGuard&) = delete;
  ParseGuard& operator=(const ParseGuard&) = delete;
};

std::string ReadLinkedFile(const std::string& path) {
  TMemoryStream stream;
  stream.LoadFromFile(path);
  return {static_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size())};
}

}  // namespace

void AlignAsTextAlign(const TAttributeList& attributes, TProperties& props) {
  const TAttribute* align = attributes.Find(AlignSy);
  if (!align) return;
  std::string value = LowerCase(align->Name);
  if (value == "middle") value = "center";
  if (value == "left" || value == "center" || value == "right" || value == "justify")
    props.SetProp(css::TextAlign, value);
}

TSymbolSet Symbols(std::initializer_list<Symb> symbols) {
  TSymbolSet set;
  for (const Symb sy : symbols) set.set(sy);
  return set;
}

THtmlParser::THtmlParser(TSectionList& list, THtmlParserHooks hooks) : list_(list), hooks_(std::move(hooks)) {}

THtmlParser::~THtmlParser() = default;

// ---- the life of one parse ---------------------------------------------------

void THtmlParser::Begin(std::string_view text, bool plainText) {
  InstallStyleAttributeParser();
  const bool jis = HasJisEscape(text);
  converted_.clear();
  if (jis) converted_ = JisToShiftJis(text);
  text_ = jis ? std::string_view(converted_) : text;
  if (!list_.Styles->DefProp())
    list_.SetFonts("Times New Roman", "Courier New", 10, 10, DEFAULT_CHARSET, true, false, clWhite, clRed,
                   clPurple, clBlue, clBlack, 12);
  list_.ClearLists();
  props_.Reset(*list_.Styles->DefProp(), *list_.Styles);
  if (jis) props_.Top().AssignCharSet(SHIFTJIS_CHARSET);
  ParserState() = TParserState{};

  auto body = std::make_unique<TBodyBlock>(&list_, nullptr, props_.Top(), &list_, "body");
  body_ = body.get();
  list_.Add(std::move(body));
  cell_ = body_->MyCell.get();

  if (plainText) return;  // plain text is read without the reader
  TReaderSetup setup;
  setup.Text = text_;
  setup.OnInclude = hooks_.OnInclude;
  setup.IDNameList = list_.IDNameList.get();
  setup.CodePageInForce = [this] { return props_.Top().CodePage(); };
  reader_.Begin(std::move(setup));
}

void THtmlParser::End() {
  ResetForms();
  form_ = looseForm_ = nullptr;
  if (section_ && cell_) cell_->Add(std::move(section_));
  section_.reset();
  if (body_) body_->DocumentTitle = info_.Title;
  props_.Clear();
  linkTarget_.Clear();
  inLink_ = false;
  reader_.Reset();
  ParserState() = TParserState{};
}

THtmlDocumentInfo THtmlParser::ParseDocument(std::string_view text) {
  try {
    Begin(text, false);
    DoBody({});
  } catch (...) {
    End();
    throw;
  }
  End();
  return info_;
}

void THtmlParser::ParsePlainText(std::string_view text) {
  try {
    Begin(text, true);
    props_.PushNewProps("pre", nullptr);
    OpenPreSection();
    // Read byte by byte: nothing here is markup. Line ends (CR LF, LF CR, CR
    // and LF, as the reader folds them) start a new line; tab is a blank; the
    // document's own marks read as "?".
    for (std::size_t i = 0; i < text_.size(); ++i) {
      const char ch = text_[i];
      if (ch == '\r' || ch == '\n') {
        if (i + 1 < text_.size() && text_[i + 1] == (ch == '\r' ? '\n' : '\r')) ++i;
        OpenPreSection();
      } else {
        const char shown = ch == '\t' ? ' ' : ch == '\0' || ch == kNbspChar || ch == kBreakChar ? '?' : ch;
        section_->AddChar(shown, static_cast<int>(std::min<std::size_t>(i, INT32_MAX)));
      }
    }
  } catch (...) {
    End();
    throw;
  }
  End();
}

THtmlDocumentInfo ParseHTMLDocument(std::string_view text, TSectionList& list, const THtmlParserHooks& hooks) {
  ParseGuard guard;
  return THtmlParser(list, hooks).ParseDocument(text);
}

void ParseTextDocument(std::string_view text, TSectionList& list) {
  ParseGuard guard;
  THtmlParser(list, {}).ParsePlainText(text);
}

// ---- sections, blocks and depth ------------------------------------------------

std::string THtmlParser::AttributeText(Symb which) {
  const TAttribute* attribute = Attributes().Find(which);
  return attribute ? attribute->Name : std::string();
}

void THtmlParser::OpenSection(TAttributeList* attributes) {
  AddSection();
  section_ = CreateSection(&list_, attributes, props_.Top(), inLink_ ? &linkTarget_ : nullptr,
                           cell_->AddTarget()->Empty());
}

void THtmlParser::EnsureSection() {
  if (!section_) OpenSection();
}

void THtmlParser::AddSection() {
  if (section_) cell_->Add(std::move(section_));
}

void THtmlParser::NewFontRun() {
  if (section_) ChangeFont(*section_, props_.Top(), inLink_ ? &linkTarget_ : nullptr);
}

bool THtmlParser::TooDeep() {
  if (depth_ < kMaxNestingDepth) return false;
  NextSymbol();
  return true;
}

// ---- the block loop --------------------------------------------------------------

void THtmlParser::DoBody(const TSymbolSet& terminators) {
  while (!terminators[Sy()] && Sy() != EndOfFileSymbol) {
    switch (Sy()) {
      case TitleSy: DoTitle(); break;
      case BodySy: DoBodyTag(); break;
      case PSy: DoParagraph(terminators); break;
      case BaseSy: DoBase(); break;
      case OLSy: case ULSy: case DirSy: case MenuSy: case DLSy: DoLists(Sy(), terminators); break;
      case LISy: DoListItem(TListType::Outside, LISy, 1, terminators, false, '1'); break;
      case DDSy: case DTSy: DoListItem(TListType::Definition, Sy(), 1, terminators, false, '1'); break;
      case AddressSy: case BlockQuoteSy: case CenterSy: case FormSy: case DivSy: DoDivision(terminators); break;
      case LinkSy: DoLink(); break;
      case FormEndSy:
        EndForm();
        NextSymbol();
        break;
      case BgSoundSy: DoBgSound(); break;
      case MetaSy: DoMeta(); break;
      case StyleSy: DoStyle(); break;
      default:
        if (IsTextLevel(Sy()))
          DoTextAndFont(terminators);
        else
          NextSymbol();
    }
  }
}

void THtmlParser::DoTitle() {
  NextSymbol();
  while (Sy() == TextSymbol) {
    info_.Title += reader_.Buff().GetString();
    NextSymbol();
  }
}

void THtmlParser::DoBodyTag() {
  // Honoured once, and only at the top level: the blocks open around the
  // reader hold cells of the body block it replaces.
  if (bodyTaken_ || cell_ != body_->MyCell.get()) {
    NextSymbol();
    return;
  }
  bodyTaken_ = true;
  TProperties& props = props_.PushNewProps("body", &Attributes());
  TakeViewerMargins(props);
  ApplyBodyAttributes(props);
  ReplaceBodyBlock(props);
  std::string image;
  if (props.GetBackgroundImage(image) && !image.empty()) list_.SetBackgroundBitmap(image);
  if (const TColor background = props.GetBackgroundColor(); background != NoColor) list_.SetBackground(background);
  NextSymbol();
}

// Margins are not inherited, so the body's own properties start without
// them (not given counts as 0): the viewer's margins, which the document's
// default entry holds, apply unless a style rule for the body gave one.
void THtmlParser::TakeViewerMargins(TProperties& props) {
  const TProperties& viewer = *list_.Styles->DefProp();
  for (const int side : {css::MarginTop, css::MarginBottom, css::MarginLeft, css::MarginRight})
    if (!props.IsSet(side)) props.SetProp(side, viewer.Props(side));
}

void THtmlParser::ApplyBodyAttributes(TProperties& props) {
  for (std::size_t i = 0; i < Attributes().Count(); ++i) {
    const TAttribute& a = *Attributes()[i];
    TColor color = 0;
    const bool isColor = ColorFromString(a.Name, false, color);
    switch (a.Which) {
      case LinkSy: if (isColor) list_.Styles->ModifyLinkColor("link", color); break;
      case VLinkSy: if (isColor) list_.Styles->ModifyLinkColor("visited", color); break;
      case OLinkSy:
        if (isColor) {
          list_.Styles->ModifyLinkColor("hover", color);
          list_.LinksActive = true;
        }
        break;
      case TextSy: if (isColor) props.SetProp(css::Color, color | PalRelative); break;
      case BGColorSy: if (isColor) props.SetProp(css::BackgroundColor, color | PalRelative); break;
      case BackgroundSy: props.SetProp(css::BackgroundImage, "url(" + a.Name + ")"); break;
      case MarginWidthSy:
        props.SetProp(css::MarginLeft, std::clamp(a.Value, 0, 200));
        props.SetProp(css::MarginRight, std::clamp(a.Value, 0, 200));
        break;
      case MarginHeightSy:
        props.SetProp(css::MarginTop, std::clamp(a.Value, 0, 200));
        props.SetProp(css::MarginBottom, std::clamp(a.Value, 0, 200));
        break;
      default: break;
    }
  }
}

// What was read before BODY stays: the new body block takes over the old
// one's cell with its sections (and the controls they hold stay listed).
void THtmlParser::ReplaceBodyBlock(TProperties& props) {
  AddSection();
  std::unique_ptr<TSectionBase> old;
  for (std::size_t i = 0; i < list_.Count() && !old; ++i)
    if (list_[i] == body_) old = list_.Extract(i);
  auto body = std::make_unique<TBodyBlock>(&list_, &Attributes(), props, &list_, "body");
  std::swap(body->MyCell, static_cast<TBodyBlock&>(*old).MyCell);
  body_ = body.get();
  list_.Add(std::move(body));
}

void THtmlParser::DoBase() {
  if (const TAttribute* href = Attributes().Find(HrefSy)) info_.Base = href->Name;
  if (const TAttribute* target = Attributes().Find(TargetSy)) info_.BaseTarget = target->Name;
  NextSymbol();
}

namespace {

void CopyAttributes(const TAttributeList& from, TAttributeList& to) {
  to.Clear();
  for (std::size_t i = 0; i < from.Count(); ++i) to.AddAttribute(from[i]->Which, from[i]->Value, from[i]->Name);
}

}  // namespace

void THtmlParser::DoParagraph(const TSymbolSet& terminators) {
  if (terminators[PSy] || TooDeep()) return;
  DepthScope scope(depth_);
  AddSection();
  TAttributeList attributes;
  do {
    if (Sy() == PSy) CopyAttributes(Attributes(), attributes);
    reader_.SkipWhiteSpace();
    NextSymbol();
  } while (Sy() == PSy || Sy() == PEndSy);
  TProperties& props = props_.PushNewProps("p", &attributes);
  AlignAsTextAlign(attributes, props);
  TCellBasic* outer = cell_;
  OpenBlock("p", &attributes);
  while (!terminators[Sy()] && IsPhrasing(Sy())) {
    if (Sy() == UnknownTagSymbol)
      NextSymbol();
    else
      DoTextAndFont(terminators);
  }
  AddSection();
  props_.PopAProp("p");
  cell_ = outer;
  if (Sy() == PEndSy) NextSymbol();
}

void THtmlParser::DoDivision(const TSymbolSet& terminators) {
  switch (Sy()) {
    case FormSy: DoBlockElement("form", FormEndSy, terminators); break;
    case DivSy: DoBlockElement("div", DivEndSy, terminators); break;
    case CenterSy: DoCenter(terminators); break;
    default:
      AddSection();
      DoLists(Sy(), terminators);
  }
}

void THtmlParser::DoBlockElement(const std::string& tag, Symb endSy, const TSymbolSet& terminators) {
  if (TooDeep()) return;
  DepthScope scope(depth_);
  AddSection();
  TProperties& props = props_.PushNewProps(tag, &Attributes());
  if (tag == "div") AlignAsTextAlign(Attributes(), props);
  TCellBasic* outer = cell_;
  TBlock* block = OpenBlock(tag, &Attributes());
  if (endSy == FormEndSy) OpenForm();
  NextSymbol();
  TSymbolSet inner = terminators;
  inner.set(endSy);
  DoBody(inner);
  AddSection();
  props_.PopAProp(tag);
  if (block->MyCell->Empty()) MarkEmpty(*block);
  cell_ = outer;
  if (Sy() == endSy) {
    if (endSy == FormEndSy) EndForm();
    NextSymbol();
  }
}

void THtmlParser::MarkEmpty(TBlock& block) {
  block.MarginBottom = kEmptyBlockSpace;
  block.CollapseBottomMargin = false;
}

void THtmlParser::DoCenter(const TSymbolSet& terminators) {
  if (TooDeep()) return;
  DepthScope scope(depth_);
  AddSection();
  props_.PushNewProps("center", nullptr);
  NextSymbol();
  TSymbolSet inner = terminators;
  inner.set(CenterEndSy);
  DoBody(inner);
  AddSection();
  props_.PopAProp("center");
  if (Sy() == CenterEndSy) NextSymbol();
}

// ---- head elements -------------------------------------------------------------

void THtmlParser::DoLink() {
  const std::string href = AttributeText(HrefSy);
  const std::string rel = LowerCase(AttributeText(RelSy)), rev = LowerCase(AttributeText(RevSy));
  if (!href.empty() && (rel == "stylesheet" || rev == "stylesheet")) {
    std::string text, address;
    try {
      if (hooks_.OnFetchStyleSheet) {
        hooks_.OnFetchStyleSheet(href, info_.Base, text, address);
      } else {
        address = info_.Base.empty() ? href : Combine(GetBase(info_.Base), href);
        text = ReadLinkedFile(LowerCase(address).starts_with("file://") ? FileURLToPath(address) : address);
      }
    } catch (const Exception&) {
      text.clear();  // a sheet that cannot be fetched is skipped
    }
    if (!text.empty()) ParseLinkedStyleSheet(*list_.Styles, text, address);
  }
  NextSymbol();
}

void THtmlParser::DoBgSound() {
  const TAttribute* src = Attributes().Find(SrcSy);
  if (src && hooks_.OnSoundRequest) {
    const TAttribute* loop = Attributes().Find(LoopSy);
    hooks_.OnSoundRequest(list_.TheOwner, src->Name, loop ? loop->Value : 1, false);
  }
  NextSymbol();
}

void THtmlParser::DoMeta() {
  const std::string httpEq = AttributeText(HttpEqSy), name = AttributeText(NameSy);
  const std::string content = AttributeText(ContentSy);
  if (LowerCase(httpEq) == "content-type") {
    AssignCharSetName(content, props_.Top());
    NewFontRun();
  }
  if (hooks_.OnMeta) hooks_.OnMeta(list_.TheOwner, httpEq, name, content);
  NextSymbol();
}

void THtmlParser::AssignCharSetName(const std::string& name, TProperties& props) {
  const std::optional<TCharSetName> charSet = FindCharSetName(name);
  if (!charSet) return;
  if (charSet->EucJp && !eucJpDone_) {
    eucJpDone_ = true;
    if (text_.data() != converted_.data()) {
      converted_.assign(text_);
      text_ = converted_;
      reader_.ReplaceText(text_);
    }
    EucJpToShiftJis(converted_, reader_.TextOffset());
  }
  if (charSet->CodePage)
    props.AssignCharSet(charSet->CharSet, charSet->CodePage);
  else
    props.AssignCharSet(charSet->CharSet);
}

void THtmlParser::DoStyle() {
  int ch = reader_.Ch();
  ParseStyleSheet(*list_.Styles, ch, reader_.StyleSheetSource(), "");
  reader_.ResumeAfterStyleSheet(ch);
  NextSymbol();
}

}  // namespace lark
