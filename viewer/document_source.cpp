#include "viewer/document_source.h"

#include "platform/core/stream.h"
#include "platform/core/string_list.h"

namespace lark {

std::optional<std::string> ReadDocumentSource(const TDocumentSource& source) {
  TStringList lines;
  switch (source.Kind) {
    case TDocumentSource::TKind::FileName:
      if (source.FileName.empty()) return std::nullopt;
      lines.LoadFromFile(source.FileName);
      return lines.Text();
    case TDocumentSource::TKind::Buffer:
      if (!source.Buffer) return std::nullopt;
      return std::string(source.Buffer, source.Length);
    case TDocumentSource::TKind::Strings:
      if (!source.Strings) return std::nullopt;
      return source.Strings->Text();
    case TDocumentSource::TKind::Stream:
      if (!source.Stream) return std::nullopt;
      source.Stream->SetPosition(0);
      lines.LoadFromStream(*source.Stream);
      return lines.Text();
  }
  return std::nullopt;
}

}  // namespace lark
