#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "viewer/document_source.h"
#include "viewer/html_parser.h"

namespace lark {

class TAttributeList;
class TObject;

// What the frame classes offer the frameset reader: one object per
// FRAMESET element.
class TFrameSetBuilder {
 public:
  virtual ~TFrameSetBuilder() = default;
  // The FRAMESET tag's own attributes (rows, columns, borders).
  virtual void InitializeFromAttributes(const TAttributeList& attributes) = 0;
  // A FRAME; false when refused (too many frames), and the FRAME is skipped.
  virtual bool AddFrame(const TAttributeList& attributes) = 0;
  // A nested FRAMESET's object, owned by this one; nullptr when refused,
  // and the FRAMESET is skipped with its content.
  virtual TFrameSetBuilder* CreateSubFrameSet(const TAttributeList& attributes) = 0;
  // Every frame and sub-frameset has been read.
  virtual void Finish() = 0;
};

// A FRAMESET nested deeper than this is skipped with its content.
constexpr int kMaxFrameSetDepth = 8;

struct TFrameSetHooks {
  TObject* Sender = nullptr;  // the frame viewer
  TMetaHandler OnMeta;
  TSoundRequestHandler OnSoundRequest;
  TIncludeHandler OnInclude;
  std::function<void(TObject* sender, const std::string& name, const std::string& language,
                     const std::string& script)>
      OnScript;
};

// Reads the FRAMESET structure of a frameset document into `frameSet` (the
// outermost FRAMESET's object) and hands back its TITLE, BASE and BASE
// TARGET. Raises EParseError as ParseHTMLDocument does.
THtmlDocumentInfo ParseFrameSet(std::string_view text, TFrameSetBuilder& frameSet, const TFrameSetHooks& hooks = {});

// True when a FRAMESET start tag comes before anything that belongs in a
// body; script text is passed over; no hook is called.
[[nodiscard]] bool IsFrameSetDocument(std::string_view text);

// The same from a frame viewer's source; a missing source reads nothing
// (ParseFrameSet returns at once, IsFrameSetDocument answers false).
THtmlDocumentInfo ParseFrameSet(const TDocumentSource& source, TFrameSetBuilder& frameSet,
                                const TFrameSetHooks& hooks = {});
[[nodiscard]] bool IsFrameSetDocument(const TDocumentSource& source);

}  // namespace lark
