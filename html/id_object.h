#pragma once

#include <cstdint>

#include "platform/core/object.h"

namespace lark {

// Anything an anchor name or ID can name: sections, inline images, form
// controls, character positions.
class TIDObject : public TObject {
 public:
  TIDObject() = default;
  TIDObject(const TIDObject&) = delete;
  TIDObject& operator=(const TIDObject&) = delete;
  virtual ~TIDObject() = default;
  // The object's top in document pixels.
  [[nodiscard]] virtual std::int32_t GetYPosition() = 0;
};

// What an anchor on a character position needs of its document: the Y of a
// text position. The section list provides it.
class TTextPositionLocator {
 public:
  virtual ~TTextPositionLocator() = default;
  // False when no section holds the position.
  [[nodiscard]] virtual bool FindYOfTextPosition(std::int32_t pos, std::int32_t& y) = 0;
};

// An anchor that names a character position of the document's text.
class TChPosObj : public TIDObject {
 public:
  TChPosObj(std::int32_t chPos, TTextPositionLocator* list) : ChPos(chPos), List(list) {}
  // The Y of the position, or 0 when no section holds it.
  [[nodiscard]] std::int32_t GetYPosition() override;

  const std::int32_t ChPos;
  TTextPositionLocator* const List;  // the owning document, not owned
};

}  // namespace lark
