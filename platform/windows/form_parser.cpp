#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "platform/windows/form_reader.h"

namespace lark {
namespace {

// Components nest no deeper than this; a resource asking for more is refused
// rather than read with unbounded recursion.
constexpr int kMaxDepth = 64;

class Parser {
 public:
  Parser(std::string_view text, const std::string& resource) : text_(text), resource_(resource) {}

  TFormObject ParseRoot() {
    TFormObject root = ParseObject(0);
    SkipBlank();
    if (pos_ < text_.size()) Fail("text after the last 'end'");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw EFormResourceError(resource_ + "(" + std::to_string(line_) + "): " + what);
  }

  void SkipBlank() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        ++pos_;
      } else if (c == '#' || (c == '/' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '/')) {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else {
        return;
      }
    }
  }

  bool Peek(char c) {
    SkipBlank();
    return pos_ < text_.size() && text_[pos_] == c;
  }

  void Expect(char c) {
    if (!Peek(c)) Fail(std::string("'") + c + "' expected");
    ++pos_;
  }

  static bool IdentChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.'; }

  std::string Ident() {
    SkipBlank();
    size_t start = pos_;
    while (pos_ < text_.size() && IdentChar(text_[pos_])) ++pos_;
    if (start == pos_ || std::isdigit(static_cast<unsigned char>(text_[start]))) Fail("name expected");
    return std::string(text_.substr(start, pos_ - start));
  }

  bool NextWordIs(const char* word) {
    SkipBlank();
    size_t length = std::char_traits<char>::length(word);
    if (text_.substr(pos_, length) != word) return false;
    return pos_ + length >= text_.size() || !IdentChar(text_[pos_ + length]);
  }

  TFormObject ParseObject(int depth) {
    if (depth > kMaxDepth) Fail("components nested too deeply");
    if (!NextWordIs("object")) Fail("'object' expected");
    pos_ += 6;
    TFormObject object;
    object.line = line_;
    object.name = Ident();
    Expect(':');
    object.className = Ident();
    for (;;) {
      if (NextWordIs("end")) {
        pos_ += 3;
        return object;
      }
      if (pos_ >= text_.size()) Fail("'end' expected");
      if (NextWordIs("object")) {
        object.children.push_back(ParseObject(depth + 1));
        continue;
      }
      object.properties.push_back(ParseAssignment(depth));
    }
  }

  TPropAssignment ParseAssignment(int depth) {
    TPropAssignment assignment;
    assignment.name = Ident();
    assignment.line = line_;
    Expect('=');
    assignment.value = ParseValue(depth);
    return assignment;
  }

  std::string QuotedString() {
    char quote = text_[pos_++];
    std::string out;
    for (;;) {
      if (pos_ >= text_.size() || text_[pos_] == '\n') Fail("unterminated string");
      char c = text_[pos_++];
      if (c == quote) {
        if (pos_ < text_.size() && text_[pos_] == quote) {
          out += quote;
          ++pos_;
          continue;
        }
        return out;
      }
      out += c;
    }
  }

  TFormValue ParseValue(int depth) {
    SkipBlank();
    if (pos_ >= text_.size()) Fail("value expected");
    TFormValue value;
    char c = text_[pos_];
    if (c == '"' || c == '\'') {
      value.kind = TFormValue::Kind::String;
      value.text = QuotedString();
    } else if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
      ParseNumber(value);
    } else if (c == '[') {
      ++pos_;
      value.kind = TFormValue::Kind::Set;
      while (!Peek(']')) {
        value.items.push_back(Ident());
        if (!Peek(']')) Expect(',');
      }
      ++pos_;
    } else if (c == '(') {
      ++pos_;
      value.kind = TFormValue::Kind::Strings;
      while (!Peek(')')) {
        if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) Fail("string expected");
        value.items.push_back(QuotedString());
      }
      ++pos_;
    } else if (c == '{') {
      ++pos_;
      value.kind = TFormValue::Kind::Binary;
      ParseHex(value.bytes);
    } else if (c == '<') {
      ++pos_;
      value.kind = TFormValue::Kind::Collection;
      while (!Peek('>')) {
        if (!NextWordIs("item")) Fail("'item' expected");
        pos_ += 4;
        std::vector<TPropAssignment> item;
        while (!NextWordIs("end")) {
          if (pos_ >= text_.size()) Fail("'end' expected");
          item.push_back(ParseAssignment(depth + 1));
        }
        pos_ += 3;
        value.collection.push_back(std::move(item));
      }
      ++pos_;
    } else {
      value.kind = TFormValue::Kind::Ident;
      value.text = Ident();
    }
    return value;
  }

  void ParseNumber(TFormValue& value) {
    size_t start = pos_;
    if (text_[pos_] == '-') ++pos_;
    while (pos_ < text_.size() && (std::isdigit(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '.')) ++pos_;
    std::string number(text_.substr(start, pos_ - start));
    if (number == "-" || number.empty()) Fail("number expected");
    char* end = nullptr;
    if (number.find('.') != std::string::npos) {
      value.kind = TFormValue::Kind::Float;
      value.number = std::strtod(number.c_str(), &end);
    } else {
      value.kind = TFormValue::Kind::Integer;
      errno = 0;
      value.integer = std::strtoll(number.c_str(), &end, 10);
      if (errno == ERANGE) Fail("number out of range");
    }
    if (end != number.c_str() + number.size()) Fail("malformed number");
  }

  void ParseHex(std::string& bytes) {
    int pending = -1;
    for (;;) {
      SkipBlank();
      if (pos_ >= text_.size()) Fail("'}' expected");
      char c = text_[pos_++];
      if (c == '}') break;
      int digit = std::isxdigit(static_cast<unsigned char>(c)) ? std::stoi(std::string(1, c), nullptr, 16) : -1;
      if (digit < 0) Fail("hexadecimal digit expected");
      if (pending < 0) {
        pending = digit;
      } else {
        bytes += static_cast<char>(pending * 16 + digit);
        pending = -1;
      }
    }
    if (pending >= 0) Fail("odd number of hexadecimal digits");
  }

  std::string_view text_;
  const std::string& resource_;
  size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

TFormObject ParseFormResource(std::string_view text, const std::string& resourceName) {
  return Parser(text, resourceName).ParseRoot();
}

}  // namespace lark
