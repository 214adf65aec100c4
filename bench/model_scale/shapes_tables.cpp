// Table shapes: many rows of cells, and a few tables nested around a grid.
// Built as the parser builds them and timed over the document's layout.
#include <string>

#include "bench/model_scale/scale_harness.h"
#include "platform/graphics/bitmap.h"
#include "tests/html_table/table_document.h"

namespace lark::bench {
namespace {

using testing::TableDocument;

double TimeLayout(TableDocument& doc) {
  return SecondsOf([&] { doc.Layout(800); });
}

void FillRows(TableDocument& doc, int rows, int columns) {
  for (int row = 0; row < rows; ++row) {
    doc.Row();
    for (int cell = 0; cell < columns; ++cell) {
      doc.Cell();
      doc.Text("cell " + std::to_string(row));
    }
  }
}

// n rows of three cells of text.
double TableRows(int n) {
  TableDocument doc;
  doc.OpenTable({{BorderSy, 1, "1"}});
  FillRows(doc, n, 3);
  return TimeLayout(doc);
}

// Eight tables nested around a grid of n rows of four cells.
double NestedTables(int n) {
  TableDocument doc;
  for (int level = 0; level < 8; ++level) {
    doc.OpenTable();
    doc.Row();
    doc.Cell();
  }
  doc.OpenTable();
  FillRows(doc, n, 4);
  return TimeLayout(doc);
}

const int kRegistered[] = {
    RegisterScaleShape("table rows of three cells", 5000, TableRows),
    RegisterScaleShape("grid inside eight nested tables", 2000, NestedTables),
};

}  // namespace
}  // namespace lark::bench
