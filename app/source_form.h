#pragma once

#include <string>
#include <string_view>

#include "platform/windows/form.h"

namespace lark {

class TDiskCache;
class THTMLViewer;
class TLanguage;
class TMemo;
class TMenuItem;
class TSaveDialog;

// The code page the source of a page reads in: the charset its META
// content-type names, else the viewer's charset.
[[nodiscard]] int SourceCodePage(std::string_view source, int viewerCharSet);

// Shows the source of the page on show, read-only, and saves it unchanged.
class TfrmSource : public TForm {
 public:
  explicit TfrmSource(TComponent* owner);

  TMemo* Memo = nullptr;
  TMenuItem *miFile = nullptr, *miSaveAs = nullptr, *miExit = nullptr;
  TSaveDialog* SaveDialog = nullptr;

  void ApplyLanguage(const TLanguage& language);

  // Takes the source of `address`: an http page from the disk cache, a file
  // through a file connection. Anything else (https, a cache switched off,
  // a form result, a file gone meanwhile) takes what `viewer` parsed, so
  // showing the source never asks a server again. `documentAddress` is the
  // name "Save as" proposes.
  void LoadSource(const std::string& address, TDiskCache* cache, const THTMLViewer* viewer,
                  const std::string& documentAddress);
  [[nodiscard]] const std::string& SourceBytes() const { return source_; }

  void miSaveAsClick(TObject* sender);
  void miExitClick(TObject* sender);

 private:
  std::string source_;
  std::string documentAddress_;
};

}  // namespace lark
