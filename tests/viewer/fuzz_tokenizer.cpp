// Feeds arbitrary bytes to the HTML reader as a document, with an include
// handler and an ID list, in text and preformatted mode and with a single-byte
// and a double-byte code page in force. The first byte picks the options.

#include <cstddef>
#include <cstdint>
#include <string>

#include "viewer/html_tokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lark;
  if (size == 0) return 0;
  const std::uint8_t options = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  THtmlReader reader;
  TIDNameList ids(nullptr);
  TReaderSetup setup;
  setup.Text = text;
  setup.IDNameList = &ids;
  setup.NoMarkup = (options & 1) != 0;
  const int codePages[] = {65001, 1252, 932, 1251};
  setup.CodePageInForce = [cp = codePages[(options >> 2) & 3]] { return cp; };
  if (options & 16)
    setup.OnInclude = [](const std::string& command, const TStringList& params, std::string& buffer) {
      buffer = command;
      for (int i = 0; i < params.Count(); ++i) buffer += params.Strings(i);
    };
  try {
    reader.Begin(setup);
    reader.SetPreformatted((options & 2) != 0);
    std::size_t symbols = 0;
    while (reader.Sy() != EndOfFileSymbol) {
      if (reader.Sy() == StyleSy && (options & 32)) {
        const TCharSource source = reader.StyleSheetSource();
        int c;
        while ((c = source()) != '<' && c != EofChar) {
        }
        reader.ResumeAfterStyleSheet(c);
      }
      (void)reader.Buff().GetString();
      (void)reader.Attributes().GetID();
      reader.NextSymbol();
      // Every symbol consumes input, so a document of n bytes (plus what its
      // includes add) ends within a bounded number of symbols.
      if (++symbols > 4 * size + 16) __builtin_trap();
    }
  } catch (const EParseError&) {
  }
  return 0;
}
