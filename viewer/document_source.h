#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace lark {

class TStream;
class TStrings;

// Where a frame viewer's document comes from: a file (read through a string
// list, so its lines end in CR LF), a memory buffer, a string list's text,
// or a stream read from its start through a string list.
struct TDocumentSource {
  enum class TKind { FileName = 0, Buffer = 1, Strings = 2, Stream = 3 };
  TKind Kind = TKind::Buffer;
  std::string FileName;
  const char* Buffer = nullptr;
  std::size_t Length = 0;
  const TStrings* Strings = nullptr;
  TStream* Stream = nullptr;
};

// The document's text; nullopt when the source of its kind is missing.
// Raises what reading the file or the stream raises.
[[nodiscard]] std::optional<std::string> ReadDocumentSource(const TDocumentSource& source);

}  // namespace lark
