#include "html/style_sheet_parser.h"

#include <algorithm>
#include <array>
#include <unordered_set>
#include <vector>

#include "html/attribute_list.h"
#include "html/colors.h"
#include "html/properties.h"
#include "html/selector.h"
#include "html/style_list.h"
#include "html/style_shorthands.h"
#include "html/url_helpers.h"
#include "platform/core/string_routines.h"

namespace lark {

namespace {

constexpr std::size_t npos = std::string::npos;
constexpr int CR = 13, LF = 10;

[[nodiscard]] bool IsLetterOrDigit(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Characters of a property name.
[[nodiscard]] bool IsNameChar(int c) { return c == '-' || IsLetterOrDigit(c); }

// Characters of the selectors this reader understands: tags, classes, IDs,
// pseudo classes and descendants. Bytes above ASCII belong to names.
[[nodiscard]] bool IsSelectorChar(int c) {
  return c == ' ' || c == '#' || c == '-' || c == '.' || c == ':' || c == '_' || IsLetterOrDigit(c) ||
         (c >= 0x80 && c <= 0xFF);
}

// The text without one pair of the same quotes around it.
[[nodiscard]] std::string Unquote(std::string text) {
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
    return text.substr(1, text.size() - 2);
  return text;
}

// An address from a linked sheet: a full URL stays; against a URL base it is
// joined to the base's folder; against a local path, an absolute path stays
// and any other name goes into the sheet's folder.
[[nodiscard]] std::string ResolveAddress(const std::string& address, const std::string& base) {
  if (base.empty() || address.empty() || IsFullURL(address)) return address;
  if (base.find("://") != npos) return Combine(GetBase(base), address);
  if (address.front() == '/') return address;
  return base.substr(0, base.rfind('/') + 1) + address;
}

// A value holding "url(...)" as "url(" + the resolved address + ")".
[[nodiscard]] std::string ResolveUrlValue(const std::string& value, const std::string& base) {
  const std::size_t open = PosText("url(", value) + 4;
  const std::size_t close = std::min(value.find(')', open), value.size());
  return "url(" + ResolveAddress(Unquote(Trim(value.substr(open, close - open))), base) + ")";
}

// A fetched sheet one character at a time: CR LF and a lone LF read as one CR
// (which the reader takes as a blank), tab as a blank.
[[nodiscard]] TCharSource LinkedSheetSource(std::string_view text) {
  return [text, position = std::size_t{0}, previous = 0]() mutable -> int {
    for (;;) {
      if (position >= text.size()) return EofChar;
      const int c = static_cast<unsigned char>(text[position++]);
      const int before = previous;
      previous = c;
      if (c == LF) {
        if (before == CR) continue;
        return CR;
      }
      return c == '\t' ? ' ' : c;
    }
  };
}

// The characters of a sheet: one character of push-back, CR read as a blank,
// comments skipped. A comment ends at "*/", or at "<" or the end of input,
// which then end the sheet too.
class TSheetReader {
 public:
  // Reading starts on a blank, with the caller's character to come next.
  TSheetReader(const TCharSource& source, int callersChar) : source_(source), pushed_(callersChar) {}

  [[nodiscard]] int Ch() const { return ch_; }
  void Next() {
    for (;;) {
      ch_ = Take();
      if (ch_ != '/') return;
      const int after = Take();
      if (after != '*') {
        pushed_ = after;
        return;
      }
      if (!SkipCommentBody()) return;
    }
  }
  void SkipBlanks() {
    while (ch_ == ' ') Next();
  }
  // After a "<" at the start of a sheet: true when "!" follows (an HTML
  // comment opener around the sheet). Otherwise the sheet is empty and the
  // "<" opened a tag (the STYLE end tag): it is read to its ">", and the
  // character after it, as the source gave it, becomes the current one.
  bool OpensHtmlComment() {
    int c = TakeRaw();
    if (c == '!') {
      ch_ = c;
      return true;
    }
    while (c != '>' && c != EofChar) c = TakeRaw();
    ch_ = c == EofChar ? c : TakeRaw();
    return false;
  }

 private:
  static constexpr int kNothing = -2;

  int TakeRaw() {
    if (pushed_ == kNothing) return source_();
    const int c = pushed_;
    pushed_ = kNothing;
    return c;
  }
  int Take() {
    const int c = TakeRaw();
    return c == CR ? ' ' : c;
  }
  // False when the comment ran into "<" or the end (then the current one).
  bool SkipCommentBody() {
    for (int previous = 0;;) {
      const int c = Take();
      if (c == EofChar || c == '<') {
        ch_ = c;
        return false;
      }
      if (previous == '*' && c == '/') return true;
      previous = c;
    }
  }

  const TCharSource& source_;
  int pushed_;
  int ch_ = ' ';
};

// The declarations of one block, reduced to those that change a rule: for each
// property the last declaration that takes effect, in the order they come.
// Applying the reduced list to a selector gives what applying every
// declaration would, so a rule costs its selectors times at most one
// declaration per property however long its block is.
class TDeclarationList {
 public:
  TDeclarationList() { latest_.fill(kNone); }

  void Add(const std::string& property, const std::string& value) {
    const int index = PropertyIndex(property);
    if (index < 0 || !TakesEffect(index, value)) return;
    std::size_t& latest = latest_[static_cast<std::size_t>(index)];
    if (latest != kNone) items_[latest].Live = false;
    latest = items_.size();
    items_.push_back({property, value, true});
  }
  [[nodiscard]] bool Empty() const { return items_.empty(); }
  template <typename Visit>
  void ForEach(const Visit& visit) const {
    for (const Declaration& declaration : items_)
      if (declaration.Live) visit(declaration.Property, declaration.Value);
  }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // A colour that is no colour and a visibility that is neither word leave
  // the rule as it was; every other declaration sets its properties.
  static bool TakesEffect(int index, const std::string& value) {
    if (index == css::Color) {
      TColor color = 0;
      return ColorFromString(value, false, color);
    }
    if (index == css::Visibility) {
      const std::string word = LowerCase(Trim(value));
      return word == "visible" || word == "hidden";
    }
    return true;
  }

  struct Declaration {
    std::string Property, Value;
    bool Live;
  };
  std::vector<Declaration> items_;
  std::array<std::size_t, css::PropCount> latest_;  // per property, its live declaration
};

class TSheetParser {
 public:
  TSheetParser(TStyleList& styles, const TCharSource& source, int callersChar, std::string base)
      : styles_(styles), reader_(source, callersChar), base_(std::move(base)) {}

  // Reads rules until "<" or the end; returns the character it stopped at.
  int Parse() {
    if (!SkipOpening()) return reader_.Ch();
    while (!AtEnd()) {
      if (reader_.Ch() == '@') {
        ReadAtRule();
      } else {
        ReadRule();
      }
      // A trailing HTML comment closer, "-->".
      while (reader_.Ch() == ' ' || reader_.Ch() == '-' || reader_.Ch() == '>') reader_.Next();
    }
    return reader_.Ch();
  }

 private:
  [[nodiscard]] bool AtEnd() const { return reader_.Ch() == '<' || reader_.Ch() == EofChar; }
  [[nodiscard]] bool AtBlockOrEnd() const { return reader_.Ch() == '{' || AtEnd(); }

  // Passes the ">" of the STYLE tag and an HTML comment opener, "<!--".
  // False when the sheet turns out empty.
  bool SkipOpening() {
    for (;;) {
      const int c = reader_.Ch();
      if (c == '<') {
        if (!reader_.OpensHtmlComment()) return false;
      } else if (c == ' ' || c == '!' || c == '-' || c == '>') {
        reader_.Next();
      } else {
        return true;
      }
    }
  }

  // "@" rules are skipped: up to ";", or a block up to its first "}".
  void ReadAtRule() {
    while (reader_.Ch() != ';' && reader_.Ch() != '{' && !AtEnd()) reader_.Next();
    if (reader_.Ch() == '{') {
      while (reader_.Ch() != '}' && !AtEnd()) reader_.Next();
      if (reader_.Ch() == '}') reader_.Next();
    } else if (reader_.Ch() == ';') {
      reader_.Next();
    }
  }

  void ReadRule() {
    bool understood = true;
    const std::vector<std::string> selectors = ReadSelectors(understood);
    const TDeclarationList declarations = ReadBlock();
    if (understood) Apply(selectors, declarations);
  }

  // The rule's selectors, lower-cased, each once. `understood` is cleared
  // when a character outside the understood ones ends the list.
  std::vector<std::string> ReadSelectors(bool& understood) {
    std::vector<std::string> selectors;
    do {
      if (reader_.Ch() == ',') reader_.Next();
      reader_.SkipBlanks();
      std::string text;
      while (IsSelectorChar(reader_.Ch())) {
        text += static_cast<char>(reader_.Ch());
        reader_.Next();
      }
      std::string selector = Trim(LowerCase(text));
      if (!selector.empty()) selectors.push_back(std::move(selector));
    } while (reader_.Ch() == ',');
    understood = AtBlockOrEnd();
    while (!AtBlockOrEnd()) reader_.Next();
    return WithoutRepeats(std::move(selectors));
  }

  // Each selector once, where it first came.
  static std::vector<std::string> WithoutRepeats(std::vector<std::string> selectors) {
    if (selectors.size() < 2) return selectors;
    std::unordered_set<std::string> seen;
    std::vector<std::string> once;
    for (std::string& selector : selectors)
      if (seen.insert(selector).second) once.push_back(std::move(selector));
    return once;
  }

  TDeclarationList ReadBlock() {
    TDeclarationList declarations;
    if (reader_.Ch() != '{') return declarations;
    reader_.Next();
    for (;;) {
      reader_.SkipBlanks();
      std::string name;
      while (IsNameChar(reader_.Ch())) {
        name += static_cast<char>(reader_.Ch());
        reader_.Next();
      }
      reader_.SkipBlanks();
      if (reader_.Ch() == ':') {
        reader_.Next();
        std::string value;
        while (reader_.Ch() != ';' && reader_.Ch() != '}' && !AtEnd()) {
          value += static_cast<char>(reader_.Ch());
          reader_.Next();
        }
        AddDeclaration(LowerCase(name), Unquote(Trim(value)), declarations);
      }
      reader_.SkipBlanks();
      if (reader_.Ch() == ';') reader_.Next();
      while (!IsNameChar(reader_.Ch()) && reader_.Ch() != '}' && !AtEnd()) reader_.Next();
      if (reader_.Ch() == '}') {
        reader_.Next();
        return declarations;
      }
      if (AtEnd()) return declarations;
    }
  }

  void AddDeclaration(const std::string& name, const std::string& value, TDeclarationList& declarations) const {
    const TPropertySetter set = [&](const std::string& property, const std::string& text) {
      const bool resolve = !base_.empty() && PosText("url(", text) != npos;
      declarations.Add(property, resolve ? ResolveUrlValue(text, base_) : text);
    };
    if (!ExpandShorthand(name, value, set)) set(name, value);
  }

  // Every declaration for every selector, through the style list's entry. A
  // selector that would be a new entry past MaxStyleRules is dropped.
  void Apply(const std::vector<std::string>& selectors, const TDeclarationList& declarations) {
    if (declarations.Empty()) return;
    std::size_t room = styles_.Count() < MaxStyleRules ? MaxStyleRules - styles_.Count() : 0;
    std::vector<std::string> keys;
    for (const std::string& selector : selectors) {
      std::string key =
          selector.find(' ') == npos ? selector : MakeDescendantKey(selector, styles_.NextSequence());
      if (!styles_.Find(key)) {
        if (room == 0) continue;
        --room;
      }
      keys.push_back(std::move(key));
    }
    declarations.ForEach([&](const std::string& property, const std::string& value) {
      for (const std::string& key : keys) styles_.AddModifyProp(key, property, value);
    });
  }

  TStyleList& styles_;
  TSheetReader reader_;
  const std::string base_;
};

// The attribute's text with names and keywords lower-cased and line ends and
// tabs as blanks; quoted text and url() addresses keep their case.
[[nodiscard]] std::string FoldAttributeCase(std::string_view text) {
  std::string folded;
  folded.reserve(text.size());
  char quote = 0;
  bool inUrl = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    if (quote) {
      quote = c == quote ? 0 : quote;
    } else if (inUrl) {
      inUrl = c != ')';
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (StartsText("url(", text.substr(i))) {
      folded += "url(";
      i += 3;
      inUrl = true;
      continue;
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
    folded += c;
  }
  return folded;
}

}  // namespace

void ParseStyleSheet(TStyleList& StyleList, int& Ch, const TCharSource& GetChar, const std::string& Base) {
  Ch = TSheetParser(StyleList, GetChar, Ch, Base).Parse();
}

void ParseLinkedStyleSheet(TStyleList& StyleList, std::string_view Text, const std::string& Address) {
  int ch = ' ';
  ParseStyleSheet(StyleList, ch, LinkedSheetSource(Text), Address);
}

void ParseStyleAttribute(const std::string& Text, TProperties& Props) {
  const std::string text = FoldAttributeCase(Text);
  const TPropertySetter set = [&Props](const std::string& property, const std::string& value) {
    Props.AddPropertyByName(property, value);
  };
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    const std::size_t nameStart = i;
    while (i < text.size() && IsNameChar(static_cast<unsigned char>(text[i]))) ++i;
    const std::string name = text.substr(nameStart, i - nameStart);
    while (i < text.size() && text[i] == ' ') ++i;
    const bool hasValue = i < text.size() && text[i] == ':';
    const std::size_t end = std::min(text.find(';', i), text.size());
    if (hasValue) {
      const std::string value = Unquote(Trim(std::string_view(text).substr(i + 1, end - i - 1)));
      if (!ExpandShorthand(name, value, set)) set(name, value);
    }
    i = end + 1;  // past the ";" (a declaration without ":" is skipped)
  }
}

void InstallStyleAttributeParser() { SetStyleAttributeParser(&ParseStyleAttribute); }

}  // namespace lark
