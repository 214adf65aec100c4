// Block layout against Chromium (see layout_oracle.h): margins, widths,
// floats, clearing, nesting, wrapped text and lists.
#include <gtest/gtest.h>

#include "layout_oracle.h"

namespace lark {
namespace {

const std::vector<testing::OracleCase> kCases = {
    {"margins", 1,
     "<div id=a style='margin:10px 0 20px;height:30px'>x</div>"
     "<div id=b style='margin-top:15px;height:40px;border:5px solid black;padding:5px'>x</div>"
     "<div id=c style='margin:-5px 30px 0;height:10px'>x</div>"},
    {"widths", 1,
     "<div id=p style='width:50%;height:20px'>x</div>"
     "<div id=f style='width:300px;height:20px;margin-left:auto;margin-right:auto'>x</div>"
     "<div id=r style='width:25%;margin-left:100px;padding:0 10px;height:20px'>x</div>"},
    {"floats", 3,
     "<div id=l style='float:left;width:100px;height:50px'>x</div>"
     "<div id=r style='float:right;width:150px;height:80px'>y</div>"
     "<div id=t>A short line of text beside the floats</div>"
     "<div id=c style='clear:both;height:10px'>z</div>"},
    {"clear", 1,
     "<div id=l style='float:left;width:200px;height:60px'>x</div>"
     "<div id=c style='clear:left;margin-top:5px;height:20px'>y</div>"},
    {"nested", 1,
     "<div id=o style='margin:20px;padding:10px;border:1px solid black'>"
     "<div id=i style='width:50%;margin:5px auto;height:30px'>x</div>"
     "<div id=j style='margin:0 10% 0 20%;height:25px'>y</div></div>"},
    {"wrapped", 3,
     "<div id=w style='width:200px;padding:4px'>Several words of running text that wrap onto more than one"
     " line in a box two hundred pixels wide</div><div id=after style='height:20px'>x</div>"},
    {"around", 3,
     "<div id=box style='width:320px'><div id=f style='float:left;width:100px;height:45px;margin-right:8px'>x"
     "</div>Text that flows around the float on its right and then below it once the float ends, over"
     " several lines of a narrow box</div><div id=next style='height:20px'>y</div>"},
    {"collapse", 1,
     "<div id=o style='margin-top:20px;margin-bottom:10px'><div id=i style='margin-top:30px;height:20px'>x"
     "</div></div><div id=n style='margin-top:25px;height:20px'>y</div>"},
    {"lists", 3,
     "<ul id=u style='margin:10px 0;padding-left:40px'><li id=i1 style='height:20px'>one</li>"
     "<li id=i2 style='height:20px'>two</li></ul>"},
};
// Where the document model knowingly lays out otherwise, by case and ID.
const testing::KnownDifferences kKnownDifferences = {
    {"margins c", "a block's height is its least height: a line taller than height:10px grows the box, where "
                  "CSS lets the line overflow"},
    {"floats c", "the same least-height rule"},
    {"clear c", "the model puts the top margin below the float it clears; CSS clearance takes the margin in"},
    {"collapse o", "a first child's top margin stays inside its parent's box; CSS collapses it through a parent "
                   "without border or padding (the parent moves down, its child with it)"},
    {"collapse i", "the same parent-child rule"},
    {"collapse n", "the same parent-child rule, which also keeps the parent taller"},
};

TEST(LayoutOracle, BoxesAgreeWithChromium) {
  if (!testing::ChromiumInstalled()) GTEST_SKIP() << "chromium is not installed";
  testing::ExpectBoxesAgreeWithChromium(kCases, kKnownDifferences);
}

}  // namespace
}  // namespace lark
