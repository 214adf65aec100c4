#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/core/object.h"

namespace lark {

// Collectors of selected text. The document feeds them run by run, each run
// with the code page of its font; what they gather is UTF-8 (the system code
// page), decoded run by run so that no run is read in another's code page.
// Object placeholders (character codes 2 and 4) are never text.
class SelTextCount : public TObject {
 public:
  SelTextCount() = default;
  virtual void AddText(std::string_view text, int codePage);
  // The result: the number of bytes gathered.
  virtual int Terminate();

  [[nodiscard]] int Leng() const { return leng_; }

 protected:
  // Every character of the run that `keep` accepts, as UTF-8, in order.
  template <typename Sink>
  void ForEachCharacter(std::string_view text, int codePage, Sink sink);

  int leng_ = 0;
};

// The run's text followed by a line break (CR LF).
void AddTextCR(SelTextCount& collector, std::string_view text, int codePage);

// Writes into a caller's buffer of `size` bytes, keeping room for the
// terminating zero; characters that no longer fit whole are dropped. Line
// break characters (code 8) are left out as well.
class SelTextBuf : public SelTextCount {
 public:
  SelTextBuf(char* buffer, int size);
  void AddText(std::string_view text, int codePage) override;
  // Writes the zero and returns the bytes used including it.
  int Terminate() override;

 protected:
  char* Buffer;
  int BufferLeng;
};

// What puts text on the system clipboard. The window layer installs it; a
// document has no clipboard of its own.
using TClipboardWriter = std::function<void(const std::string& text)>;
void SetClipboardWriter(TClipboardWriter writer);

// Gathers at most 32499 bytes and puts them on the clipboard at Terminate.
// Raises EInvalidOperation when no clipboard writer is installed.
class ClipBuffer : public SelTextBuf {
 public:
  static constexpr int kSize = 32500;
  ClipBuffer();
  int Terminate() override;

 private:
  std::string storage_;
};

}  // namespace lark
