#pragma once
// Documents built the way the parser builds them, at sizes real pages reach:
// a block is made in the cell it joins, added there, and its own cell then
// takes the content. Shared by the scaling tests and the fuzz target.

#include <memory>
#include <string>

#include "html/block.h"
#include "html/paragraph_section.h"
#include "html/properties.h"
#include "html/section_list.h"
#include "html/section_style.h"

namespace lark::testing {

class ScaleDocument {
 public:
  ScaleDocument() {
    props_.AddPropertyByName("font-family", "Arial");
    props_.SetProp(css::FontSize, 12.0);
    props_.SetProp(css::Color, 0);
    props_.PropTag = "div";
  }

  // A block styled by `style` ("name:value;..." pairs) in the current cell;
  // the cell inside it becomes current.
  TBlock* Open(const std::string& style = {}) {
    TProperties styled;
    if (!style.empty()) {
      styled.Inherit(props_);
      styled.PropTag = "div";
      ApplyStyle(styled, style);
    }
    auto block = std::make_unique<TBlock>(&List, nullptr, style.empty() ? props_ : styled, cell_, "div");
    TBlock* raw = block.get();
    cell_->Add(std::move(block));
    cell_ = raw->MyCell.get();
    return raw;
  }
  // Back to the cell that holds `block`.
  void Close(TBlock* block) { cell_ = block->OwnerCell; }

  // A paragraph to fill before it joins the current cell.
  std::unique_ptr<TSection> MakeParagraph() { return CreateSection(&List, nullptr, props_, nullptr, true); }

  TSection* Paragraph(const std::string& text) {
    auto section = MakeParagraph();
    section->AddText(text, 0);
    TSection* raw = section.get();
    cell_->Add(std::move(section));
    return raw;
  }

  TCellBasic& Cell() { return *cell_; }

  TSectionList List{nullptr, nullptr};

 private:
  static void ApplyStyle(TProperties& props, const std::string& style) {
    std::size_t pos = 0;
    while (pos < style.size()) {
      std::size_t end = style.find(';', pos);
      if (end == std::string::npos) end = style.size();
      const std::string pair = style.substr(pos, end - pos);
      const std::size_t colon = pair.find(':');
      if (colon != std::string::npos) props.AddPropertyByName(pair.substr(0, colon), pair.substr(colon + 1));
      pos = end + 1;
    }
  }

  TProperties props_;
  TCellBasic* cell_ = &List;
};

}  // namespace lark::testing
