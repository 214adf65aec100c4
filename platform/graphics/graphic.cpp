#include "platform/graphics/graphic.h"

#include "platform/core/file_stream.h"

namespace lark {

void TGraphic::LoadFromFile(const std::string& file_name) {
  TFileStream stream(file_name, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& file_name) const {
  TFileStream stream(file_name, fmCreate);
  SaveToStream(stream);
}

}  // namespace lark
