#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "html/block.h"
#include "html/paragraph_section.h"
#include "html/section_list.h"
#include "html/table.h"
#include "html/table_box.h"
#include "platform/graphics/bitmap.h"
#include "viewer/html_parser.h"

namespace lark::testing {

// A page parsed into a fresh document, with the sections in document order.
struct ParsedPage {
  explicit ParsedPage(std::string_view html, const THtmlParserHooks& hooks = {}) {
    Info = ParseHTMLDocument(html, List, hooks);
  }
  // Panels need the window they are shown on; it must outlive the page.
  ParsedPage(std::string_view html, TControl& paintPanel) {
    List.PPanel = &paintPanel;
    Info = ParseHTMLDocument(html, List, {});
  }

  [[nodiscard]] TBodyBlock& Body() const { return static_cast<TBodyBlock&>(*List[List.Count() - 1]); }

  // Every paragraph, in document order, table cells included.
  [[nodiscard]] std::vector<TSection*> Sections() const {
    std::vector<TSection*> found;
    Collect(List, found);
    return found;
  }
  [[nodiscard]] TSection* SectionWith(std::string_view text) const {
    for (TSection* section : Sections())
      if (section->Text().find(text) != std::string::npos) return section;
    return nullptr;
  }
  // The font run of the first character of `text`.
  [[nodiscard]] const TFontObj* RunOf(std::string_view text) const {
    TSection* section = SectionWith(text);
    return section ? section->Fonts.GetFontObjAt(static_cast<int>(section->Text().find(text))) : nullptr;
  }

  int LayoutAndPaint(int width) {
    int curs = 0, scrollWidth = 0;
    const int height = List.DoLogic(Surface.Canvas(), 0, width, 768, scrollWidth, curs);
    List.Draw(Surface.Canvas(), Rect(0, 0, width, 768), width, 0, 0, 0, 0);
    return height;
  }

  static void Collect(const TCellBasic& cell, std::vector<TSection*>& found) {
    for (std::size_t i = 0; i < cell.Count(); ++i) {
      if (auto* section = dynamic_cast<TSection*>(cell[i])) found.push_back(section);
      if (auto* block = dynamic_cast<TBlock*>(cell[i])) Collect(*block->MyCell, found);
      if (auto* box = dynamic_cast<TTableBlock*>(cell[i]); box && box->Table) {
        Collect(*box->Table->CaptionCell->Cell, found);
        for (const auto& row : box->Table->Rows)
          for (const auto& slot : row->Cells)
            if (slot) Collect(*slot->Cell, found);
      }
    }
  }

  TSectionList List{nullptr, nullptr};
  TBitmap Surface{1024, 768};
  THtmlDocumentInfo Info;
};

}  // namespace lark::testing
