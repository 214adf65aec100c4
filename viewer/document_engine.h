#pragma once

namespace lark {

// What the document engine needs once per process before the first viewer:
// the image unit (screen depth, picture formats) with the document cursors
// 1-5 drawn for this program and compiled in, the STYLE attribute reader,
// and the system clipboard as the place copied text goes. Safe to call
// more than once; every viewer calls it.
void StartDocumentEngine();

}  // namespace lark
