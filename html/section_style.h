#pragma once

#include <memory>

#include "html/font_run.h"
#include "html/paragraph_section.h"
#include "html/properties.h"

namespace lark {

class TAttributeList;

// How the sections read their element's style: the bridge between the
// property values and the layout's own plain values.
[[nodiscard]] TRunFont RunFontOf(TProperties& props);
[[nodiscard]] TLinkFonts LinkFontsOf(const TFontInfoArray& infos);
// The run font of an element's properties, shared by the runs of elements
// styled alike.
[[nodiscard]] std::shared_ptr<const TRunFont> SharedRunFontOf(TProperties& props);
// The same for a link element's properties (which have link fonts), shared
// by the runs of links styled alike.
[[nodiscard]] std::shared_ptr<const TLinkFonts> SharedLinkFontsOf(const TProperties& props);
// text-align, clear, line-height and (for a first line) text-indent.
[[nodiscard]] TParagraphStyle ParagraphStyleOf(TProperties& props, bool firstLine);
// The CLEAR attribute: "left", "right", any other value both.
[[nodiscard]] TClearAttr ClearAttributeOf(const TAttributeList* attributes);

// A new font run at the end of the section's text for the element whose
// properties are `props`, raised or lowered by the parser's sub/superscript
// state; a link run when anUrl names a link.
TFontObj* ChangeFont(TSection& section, TProperties& props, const TUrlTarget* anUrl);

// A paragraph for an element: its first run from the properties' font with
// the element's title (a link run when anUrl names a link), its style, and
// its ID registered in the document's anchor list.
std::unique_ptr<TSection> CreateSection(TSectionList* masterList, TAttributeList* attributes, TProperties& props,
                                        const TUrlTarget* anUrl, bool firstLine);

}  // namespace lark
