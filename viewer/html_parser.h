#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "viewer/html_tokenizer.h"

namespace lark {

class TObject;
class TSectionList;

// BGSOUND: the sound's address, how often it plays (1 when not given) and
// whether it stops a sound playing.
using TSoundRequestHandler = std::function<void(TObject* sender, const std::string& src, int loop, bool terminate)>;
// META: HTTP-EQUIV, NAME and CONTENT as written.
using TMetaHandler =
    std::function<void(TObject* sender, const std::string& httpEq, const std::string& name, const std::string& content)>;
// A linked style sheet: its address as the page wrote it and the page's base;
// answers the sheet's text and the address its url() values resolve against
// (empty text: none could be fetched, and the sheet is skipped).
using TStyleSheetFetcher =
    std::function<void(const std::string& href, const std::string& base, std::string& text, std::string& address)>;

// What the caller of a parse hands in. The hooks' Sender is the section
// list's owner.
struct THtmlParserHooks {
  TMetaHandler OnMeta;
  TSoundRequestHandler OnSoundRequest;
  TIncludeHandler OnInclude;
  TStyleSheetFetcher OnFetchStyleSheet;
};

// What a document names for itself: TITLE, BASE HREF and BASE TARGET.
struct THtmlDocumentInfo {
  std::string Title;
  std::string Base;
  std::string BaseTarget;
};

// Parses HTML text into `list` (which should be empty; its defaults set by
// SetFonts, else the viewer's defaults are taken). The text must outlive
// the call only. Raises EParseError for a comment left open at the end of
// the text, and when a parse is already running (a hook must not start
// one); whatever was built stays in `list`, consistent.
THtmlDocumentInfo ParseHTMLDocument(std::string_view text, TSectionList& list, const THtmlParserHooks& hooks = {});

// Plain text: one preformatted paragraph per line.
void ParseTextDocument(std::string_view text, TSectionList& list);

}  // namespace lark
