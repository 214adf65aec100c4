// Hostile pages read by the parser: tags nested far past the nesting limit,
// piles of text-level tags, stray end tags, constructs left open to the end
// and a style sheet of one long selector. Timed over parsing and the layout.
#include "bench/model_scale/parsed_page_work.h"
#include "bench/model_scale/scale_harness.h"

namespace lark::bench {
namespace {

ScaleWork Page(std::string before, std::string piece, std::string after = "end") {
  return [=](int n) { return ParseAndLayOut(before + Repeat(piece, static_cast<std::size_t>(n)) + after); };
}

const int kRegistered[] = {
    RegisterScaleShape("page: nested DIV", 250000, Page("", "<div>")),
    RegisterScaleShape("page: nested UL and LI", 25000, Page("", "<ul><li>x")),
    RegisterScaleShape("page: open FONT and B", 25000, Page("", "<font size=2><b>x ")),
    RegisterScaleShape("page: stray end tags", 250000, Page("<p>x", "</div></p></li>")),
    RegisterScaleShape("page: comment left open", 250000, Page("<p>x<!--", "<b>y ")),
    RegisterScaleShape("page: script left open", 250000, Page("<script>", "x = '<b>';\n")),
    RegisterScaleShape("page: sheet of one selector", 250000, Page("<style>", "a ", "{color:red}</style>x")),
};

}  // namespace
}  // namespace lark::bench
