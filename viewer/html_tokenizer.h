#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "html/attribute_list.h"
#include "html/char_source.h"
#include "html/id_name_list.h"
#include "html/symbols.h"
#include "html/token_obj.h"
#include "platform/core/exception.h"
#include "platform/core/string_list.h"

namespace lark {

// The reader's failure: the parse ends with it and the caller decides what to
// show.
class EParseError : public Exception {
 public:
  using Exception::Exception;
};

// Answers a server-side include (a comment "<!--#command name=value ...-->"):
// the command as written, its parameters as "name=value" lines, and a buffer
// to fill with the text to read in place of the comment (left empty for
// none). The list belongs to the reader and lives for the call only.
using TIncludeHandler =
    std::function<void(const std::string& command, const TStringList& params, std::string& buffer)>;

// What an entry point of the parser hands the reader for one document.
struct TReaderSetup {
  std::string_view Text;  // must outlive the parse
  int SourceKind = 0;     // how the main text was obtained (0..3), kept for the parser
  TIncludeHandler OnInclude;
  // The anchor list of the section list being built, which learns every ID
  // attribute at once; nullptr when no section list is being built.
  TIDNameList* IDNameList = nullptr;
  // The code page in force for the text being read (the top of the parser's
  // property stack); the system code page when not given.
  std::function<int()> CodePageInForce;
  bool NoMarkup = false;  // plain text: "<!" never opens a comment
};

// The HTML tokenizer: the state of one parse, shared with the parser, which
// drives it symbol by symbol. One parse at a time per reader.
//
// End of input is EofChar, outside the byte values, so a 0x1A byte is text.
// Bytes 0, 5 and 8 read as "?": 5 and 8 are the document's own marks for a
// non-breaking space and a line break, and 0 ends C strings further on.
class THtmlReader {
 public:
  static constexpr int IncludeSourceKind = 4;

  // Resets the whole state, takes the document and reads the first character
  // and the first symbol.
  void Begin(TReaderSetup setup);
  // Back to the idle state between parses; forgets the text and the hooks.
  void Reset();

  // Character level. ReadChar folds line ends (CR LF, LF CR, CR and LF each
  // give one CR) and turns tab into a space; GetCh also skips comments and
  // declarations and expands includes.
  [[nodiscard]] int ReadRawChar();
  [[nodiscard]] int PeekRawChar() const;
  void ReadChar();
  void GetCh();
  void SkipWhiteSpace();
  // Reads the next symbol into Sy, with its text in Buff or its attributes in
  // Attributes.
  void NextSymbol();
  // Inside TEXTAREA, in place of NextSymbol: text, other characters and
  // references line by line (EndOfLineSymbol at each line end) up to the
  // end tag of TEXTAREA, which gives TextAreaEndSy with the reader on the
  // character after its name. Any other markup there is text.
  void NextTextAreaSymbol();

  // The style-sheet reader takes over after a STYLE start tag, where the
  // reader stays on the ">": it reads through this source (ReadChar, so the
  // reader's position follows) and hands back the character it stopped at.
  [[nodiscard]] TCharSource StyleSheetSource();
  void ResumeAfterStyleSheet(int stoppedAt);

  [[nodiscard]] int Ch() const { return ch_; }
  [[nodiscard]] int LCh() const { return lch_; }
  [[nodiscard]] Symb Sy() const { return sy_; }
  [[nodiscard]] std::int32_t Position() const { return position_; }
  [[nodiscard]] std::int32_t TagPosition() const { return tagPosition_; }
  // Where in the main text the reader reads next (after the current
  // character): the parser converts the rest of an EUC-JP page from there.
  [[nodiscard]] std::size_t TextOffset() const { return textPos_; }
  // The same document moved to another buffer of the same length (which
  // the caller converts from TextOffset on); the reading goes on there.
  void ReplaceText(std::string_view text) { text_ = text; }
  [[nodiscard]] int HeaderLevel() const { return headerLevel_; }
  [[nodiscard]] int SourceKind() const { return sourceKind_; }
  [[nodiscard]] TokenObj& Buff() { return buff_; }
  [[nodiscard]] TAttributeList& Attributes() { return attributes_; }

  [[nodiscard]] bool Preformatted() const { return preformatted_; }
  void SetPreformatted(bool on) { preformatted_ = on; }
  [[nodiscard]] bool NoMarkup() const { return noMarkup_; }
  void SetNoMarkup(bool on) { noMarkup_ = on; }

 private:
  enum class LineEnd { None, AfterCR, AfterLF };
  enum class QuotedCR { Drop, AsSpace };
  using Advance = void (THtmlReader::*)();

  bool TakePlainByte();
  void NextCh();
  void SkipBlanks();
  void Step(Advance advance);
  void GetChSlow();
  void AdvancePosition(std::size_t count);
  [[nodiscard]] std::int32_t NextPosition() const;
  void SkipRun(std::size_t count);
  [[nodiscard]] std::size_t QuotedRunLength(int quote) const;
  [[nodiscard]] std::size_t TextRunLength(std::size_t room) const;
  template <typename InName>
  std::string_view ReadUpperName(InName inName);
  bool ReadTag();
  bool ReadAttribute();
  bool ReadEntity(TokenObj& out, bool attributeMode, Advance advance);
  bool ReadText();
  bool ReadTextAreaText();
  [[nodiscard]] bool RawTextFollows(std::string_view upperWord) const;
  bool ReadQuotedValue(std::string& value, Advance advance, QuotedCR cr);
  bool ReadNumber(std::string& value, std::int32_t& number);
  void ReadUnquotedWord(std::string& value);
  void AppendReference(TokenObj& out, char32_t value, bool named, bool attributeMode, std::int32_t at);
  void SkipDeclaration();
  void SkipCommentBody();
  void ExpandInclude();
  void ReadIncludeParameters(TStringList& params);
  void SkipSpacesInComment();

  std::string_view text_;
  std::size_t textPos_ = 0;
  std::string include_;
  std::size_t includePos_ = 0;
  int sourceKind_ = 0;
  int savedSourceKind_ = 0;

  int ch_ = EofChar;
  int lch_ = EofChar;
  std::int32_t position_ = -1;
  LineEnd lineEnd_ = LineEnd::None;
  bool inComment_ = false;
  bool noMarkup_ = false;
  bool preformatted_ = false;

  Symb sy_ = EndOfFileSymbol;
  int headerLevel_ = 0;
  std::int32_t tagPosition_ = 0;
  TokenObj buff_;
  TokenObj scratch_;     // a reference as written, in case it is not valid
  TokenObj valueToken_;  // a reference inside a quoted value
  TAttributeList attributes_;
  std::string attributeValue_;
  char name_[24] = {};  // longer than any tag or attribute name of the tables

  TIncludeHandler onInclude_;
  TIDNameList* idNameList_ = nullptr;
  std::function<int()> codePageInForce_;
};

}  // namespace lark
