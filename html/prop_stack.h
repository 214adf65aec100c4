#pragma once

#include "html/free_list.h"
#include "html/properties.h"

namespace lark {

// The properties of the open elements while a document is parsed, the
// document defaults at the bottom and the innermost element on top. The
// parser pushes and pops entries; the cascade walks them for descendant
// rules and link fonts.
class TPropStack : public TFreeList<TProperties> {};

}  // namespace lark
