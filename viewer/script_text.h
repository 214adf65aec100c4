#pragma once

#include <string>

#include "viewer/html_tokenizer.h"

namespace lark {

// Reads a SCRIPT element's text from the character after its start tag up
// to "</script>" (any case) or the end of input, and the symbol after it.
// The text, line ends written as CR LF, is appended to `text` when given;
// markup inside the script is never read as tags.
void ReadScriptText(THtmlReader& reader, std::string* text);

}  // namespace lark
