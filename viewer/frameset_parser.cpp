#include "viewer/frameset_parser.h"

#include "viewer/html_parser_state.h"
#include "viewer/script_text.h"

namespace lark {

namespace {

// What ends the search for a frameset: the start of a body.
const TSymbolSet kBodySymbols = Symbols({BodySy, PSy, HeadingSy, HRSy, OLSy, ULSy, DirSy, MenuSy, DLSy, AddressSy,
                                          BlockQuoteSy, PreSy, ImageSy, TableSy, FormSy});

void SkipTo(THtmlReader& reader, Symb endSy) {
  while (reader.Sy() != endSy && reader.Sy() != EndOfFileSymbol) reader.NextSymbol();
  reader.NextSymbol();
}

// Skips a FRAMESET start tag and everything up to its matching end tag,
// counting nested ones instead of recursing.
void SkipFrameSet(THtmlReader& reader) {
  std::size_t open = 0;
  do {
    if (reader.Sy() == FrameSetSy) ++open;
    else if (reader.Sy() == FrameSetEndSy) --open;
    reader.NextSymbol();
  } while (open > 0 && reader.Sy() != EndOfFileSymbol);
}

class FrameSetReader {
 public:
  FrameSetReader(std::string_view text, const TFrameSetHooks& hooks) : hooks_(hooks) {
    TReaderSetup setup;
    setup.Text = text;
    setup.OnInclude = hooks.OnInclude;
    reader_.Begin(std::move(setup));
  }

  THtmlDocumentInfo Read(TFrameSetBuilder& frameSet) {
    while (reader_.Sy() != EndOfFileSymbol && !kBodySymbols[reader_.Sy()]) {
      switch (reader_.Sy()) {
        case FrameSetSy: DoFrameSet(frameSet, 1); break;
        case TitleSy: DoTitle(); break;
        case BaseSy:
          if (const TAttribute* href = Find(HrefSy)) info_.Base = href->Name;
          if (const TAttribute* target = Find(TargetSy)) info_.BaseTarget = target->Name;
          reader_.NextSymbol();
          break;
        default: DoHeadSymbol();
      }
    }
    return info_;
  }

 private:
  const TAttribute* Find(Symb sy) { return reader_.Attributes().Find(sy); }
  std::string Text(Symb sy) {
    const TAttribute* a = Find(sy);
    return a ? a->Name : std::string();
  }

  void DoTitle() {
    reader_.NextSymbol();
    while (reader_.Sy() == TextSymbol) {
      info_.Title += reader_.Buff().GetString();
      reader_.NextSymbol();
    }
  }

  // META, BGSOUND, SCRIPT and NOFRAMES; anything else is passed over.
  void DoHeadSymbol() {
    switch (reader_.Sy()) {
      case MetaSy:
        if (hooks_.OnMeta) hooks_.OnMeta(hooks_.Sender, Text(HttpEqSy), Text(NameSy), Text(ContentSy));
        reader_.NextSymbol();
        break;
      case BgSoundSy:
        if (const TAttribute* src = Find(SrcSy); src && hooks_.OnSoundRequest) {
          const TAttribute* loop = Find(LoopSy);
          hooks_.OnSoundRequest(hooks_.Sender, src->Name, loop ? loop->Value : 1, false);
        }
        reader_.NextSymbol();
        break;
      case ScriptSy: DoScript(); break;
      case NoFramesSy: SkipTo(reader_, NoFramesEndSy); break;
      default: reader_.NextSymbol();
    }
  }

  void DoScript() {
    const std::string name = Text(NameSy), language = Text(LanguageSy);
    if (!hooks_.OnScript) {
      ReadScriptText(reader_, nullptr);
      return;
    }
    std::string script;
    ReadScriptText(reader_, &script);
    hooks_.OnScript(hooks_.Sender, name, language, script);
  }

  void DoFrameSet(TFrameSetBuilder& frameSet, int depth) {
    frameSet.InitializeFromAttributes(reader_.Attributes());
    reader_.NextSymbol();
    while (reader_.Sy() != FrameSetEndSy && reader_.Sy() != EndOfFileSymbol) {
      if (reader_.Sy() == FrameSy) {
        (void)frameSet.AddFrame(reader_.Attributes());
        reader_.NextSymbol();
      } else if (reader_.Sy() == FrameSetSy) {
        TFrameSetBuilder* sub = depth < kMaxFrameSetDepth ? frameSet.CreateSubFrameSet(reader_.Attributes()) : nullptr;
        if (sub)
          DoFrameSet(*sub, depth + 1);
        else
          SkipFrameSet(reader_);
      } else if (reader_.Sy() == ScriptSy || reader_.Sy() == NoFramesSy) {
        DoHeadSymbol();
      } else {
        reader_.NextSymbol();
      }
    }
    frameSet.Finish();
    reader_.NextSymbol();
  }

  const TFrameSetHooks& hooks_;
  THtmlReader reader_;
  THtmlDocumentInfo info_;
};

}  // namespace

THtmlDocumentInfo ParseFrameSet(std::string_view text, TFrameSetBuilder& frameSet, const TFrameSetHooks& hooks) {
  return FrameSetReader(text, hooks).Read(frameSet);
}

bool IsFrameSetDocument(std::string_view text) {
  THtmlReader reader;
  TReaderSetup setup;
  setup.Text = text;
  reader.Begin(std::move(setup));
  while (reader.Sy() != EndOfFileSymbol) {
    if (reader.Sy() == FrameSetSy) return true;
    if (kBodySymbols[reader.Sy()]) return false;
    if (reader.Sy() == ScriptSy)
      ReadScriptText(reader, nullptr);
    else
      reader.NextSymbol();
  }
  return false;
}

THtmlDocumentInfo ParseFrameSet(const TDocumentSource& source, TFrameSetBuilder& frameSet,
                                const TFrameSetHooks& hooks) {
  const std::optional<std::string> text = ReadDocumentSource(source);
  return text ? ParseFrameSet(*text, frameSet, hooks) : THtmlDocumentInfo{};
}

bool IsFrameSetDocument(const TDocumentSource& source) {
  const std::optional<std::string> text = ReadDocumentSource(source);
  return text && IsFrameSetDocument(*text);
}

}  // namespace lark
