#pragma once

// Runs the reader over a text and records every symbol, for the tests.

#include <string>
#include <tuple>
#include <vector>

#include "viewer/html_tokenizer.h"

namespace lark::testing {

struct Token {
  Symb Sy;
  std::string Text;                       // the token buffer
  std::vector<std::int32_t> Positions;    // one per byte of Text
  std::vector<std::tuple<Symb, std::int32_t, std::string>> Attributes;
  int HeaderLevel = 0;
};

enum class Pre { No, Yes };

// Reads symbols up to and including end of file (at most `limit`). With
// Pre::Yes the preformatted flag is set once the first symbol has been read,
// as the parser does after PRE.
inline std::vector<Token> Tokenize(THtmlReader& reader, TReaderSetup setup, Pre pre = Pre::No,
                                   std::size_t limit = 1'000'000) {
  std::vector<Token> tokens;
  reader.Begin(std::move(setup));
  reader.SetPreformatted(pre == Pre::Yes);
  for (;;) {
    Token token{reader.Sy(), std::string(reader.Buff().Chars()), {reader.Buff().Positions().begin(), reader.Buff().Positions().end()}, {},
                reader.HeaderLevel()};
    for (const auto& a : reader.Attributes()) token.Attributes.emplace_back(a->Which, a->Value, a->Name);
    tokens.push_back(std::move(token));
    if (reader.Sy() == EndOfFileSymbol || tokens.size() >= limit) return tokens;
    reader.NextSymbol();
  }
}

inline std::vector<Token> Tokenize(std::string_view text, Pre pre = Pre::No) {
  THtmlReader reader;
  TReaderSetup setup;
  setup.Text = text;
  return Tokenize(reader, std::move(setup), pre);
}

// The text of all text symbols, joined.
inline std::string JoinedText(const std::vector<Token>& tokens) {
  std::string text;
  for (const Token& t : tokens)
    if (t.Sy == TextSymbol || t.Sy == OtherCharSymbol) text += t.Text;
  return text;
}

}  // namespace lark::testing
