#pragma once
// Tables built the way the parser builds them: the table's box joins the
// current cell, the table goes into the box's cell, rows and cells are added
// in order, and sections go into the cells.

#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "html/attribute_list.h"
#include "html/paragraph_section.h"
#include "html/properties.h"
#include "html/section_list.h"
#include "html/section_style.h"
#include "html/table.h"
#include "html/table_box.h"
#include "platform/graphics/bitmap.h"

namespace lark::testing {

using Attributes = std::vector<std::tuple<Symb, int, std::string>>;

// A section 10 pixels wide and high that counts its layouts.
class CountingSection : public TSectionBase {
 public:
  CountingSection(TSectionList* list, int* layouts) : TSectionBase(list), layouts_(layouts) {}
  int DrawLogic(TCanvas&, int, int y, int, int, int, int, IndentManager&, int& maxWidth, int&) override {
    ++*layouts_;
    YValue = DrawTop = ContentTop = y;
    SectionHeight = DrawHeight = 10;
    ContentBot = DrawBot = y + 10;
    maxWidth = 10;
    return 10;
  }
  void MinMaxWidth(TCanvas&, int& min, int& max) override { min = max = 10; }

 private:
  int* layouts_;
};

class TableDocument {
 public:
  TableDocument() {
    props_.AddPropertyByName("font-family", "Arial");
    props_.SetProp(css::FontSize, 12.0);
    props_.SetProp(css::Color, 0);
    props_.PropTag = "td";
  }

  // A table in the current cell; its cells become where rows go.
  ThtmlTable* OpenTable(const Attributes& attributes = {}) {
    TAttributeList list;
    Fill(list, attributes);
    auto table = std::make_unique<ThtmlTable>(&List, &list, cell_);
    ThtmlTable* raw = table.get();
    auto box = std::make_unique<TTableBlock>(&List, &list, props_, cell_, raw);
    TTableBlock* boxRaw = box.get();
    cell_->Add(std::move(box));
    boxRaw->MyCell->Add(std::move(table));
    open_.push_back({raw, boxRaw, cell_});
    return raw;
  }
  void CloseTable() {
    cell_ = open_.back().Outer;
    open_.pop_back();
  }
  TCellList* Row(const Attributes& attributes = {}) {
    TAttributeList list;
    Fill(list, attributes);
    open_.back().Table->Rows.push_back(std::make_unique<TCellList>(&list, nullptr));
    return open_.back().Table->Rows.back().get();
  }
  // A cell in the last row; sections added next go into it.
  TCellObj* Cell(const Attributes& attributes = {}, int vAlign = 0, TProperties* props = nullptr) {
    TAttributeList list;
    Fill(list, attributes);
    auto cell = std::make_unique<TCellObj>(&List, props, &list, vAlign, open_.back().Box->MyCell.get());
    TCellObj* raw = cell.get();
    open_.back().Table->Rows.back()->Add(std::move(cell));
    cell_ = raw->Cell.get();
    return raw;
  }
  // A paragraph to fill before it joins the current cell.
  std::unique_ptr<TSection> MakeParagraph() { return CreateSection(&List, nullptr, props_, nullptr, true); }
  TSection* Text(const std::string& text) {
    auto section = MakeParagraph();
    section->AddText(text, 0);
    TSection* raw = section.get();
    cell_->Add(std::move(section));
    return raw;
  }
  // The cell of the open table's caption.
  void Caption() { cell_ = open_.back().Table->CaptionCell->Cell.get(); }
  TCellBasic& Current() { return *cell_; }

  int Layout(int width) {
    int scrollWidth = 0, curs = 0;
    return List.DoLogic(Surface.Canvas(), 0, width, 1000, scrollWidth, curs);
  }
  void Paint() {
    Surface.Canvas().Brush().Color = clWhite;
    Surface.Canvas().FillRect(Rect(0, 0, Surface.Width(), Surface.Height()));
    List.Draw(Surface.Canvas(), Rect(0, 0, Surface.Width(), Surface.Height()), Surface.Width(), 0, 0, 0, 0);
  }

  TSectionList List{nullptr, nullptr};
  TBitmap Surface{800, 600};

 private:
  struct Open {
    ThtmlTable* Table;
    TTableBlock* Box;
    TCellBasic* Outer;
  };
  static void Fill(TAttributeList& list, const Attributes& attributes) {
    for (const auto& [sy, value, text] : attributes) list.AddAttribute(sy, value, text);
  }

  TProperties props_;
  TCellBasic* cell_ = &List;
  std::vector<Open> open_;
};

}  // namespace lark::testing
