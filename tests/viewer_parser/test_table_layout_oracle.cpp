// Tables, rules and images against Chromium (see layout_oracle.h).
#include <gtest/gtest.h>

#include "layout_oracle.h"

namespace lark {
namespace {

const std::vector<testing::OracleCase> kCases = {
    {"fixed", 1,
     "<table id=t width=400 border=0 cellspacing=0 cellpadding=0><tr><td id=a width=100 height=30>x</td>"
     "<td id=b width=300>y</td></tr></table><div id=after style='height:10px'></div>"},
    {"spacing", 1,
     "<table id=t cellspacing=5 cellpadding=10><tr><td id=a width=100><div style='height:30px'>x</div>"
     "<td id=b width=200>y<td id=c width=50>z</table>"},
    {"spans", 1,
     "<table id=t cellspacing=2 cellpadding=3><tr><td id=a colspan=2 width=200>a"
     "<td id=b rowspan=2 width=100>b<tr><td id=c width=94><div style='height:40px'>c</div><td id=d width=100>d"
     "<tr><td id=e colspan=3>e</table>"},
    {"cellheight", 1,
     "<table id=t cellspacing=0 cellpadding=5><tr><td id=a width=100 height=40>x</table>"},
    {"border1", 1,
     "<table id=t border=1 cellspacing=0 cellpadding=2><tr><td id=a width=80 height=20>x<td id=b width=120>y"
     "</table>"},
    {"border1spaced", 1,
     "<table id=t border=1 cellspacing=3 cellpadding=4><tr><td id=a width=80 height=20>x<td id=b width=120>y"
     "</table>"},
    {"captions", 1,
     "<table id=t cellspacing=0 cellpadding=0><caption>Top</caption><tr><td id=a width=300 height=30>x"
     "</table><table id=u cellspacing=0 cellpadding=0><caption align=bottom>Bottom</caption><tr>"
     "<td id=b width=300 height=30>y</table><div id=after style='height:10px'></div>"},
    {"valign", 1,
     "<table id=t cellspacing=0 cellpadding=0><tr valign=bottom><td id=tall height=100 width=50>"
     "<td valign=top width=50><div id=dt>t</div><td valign=middle width=50><div id=dm>m</div>"
     "<td valign=bottom width=50><div id=db>b</div><td width=50><div id=dr>r</div></table>"},
    {"percent", 1,
     "<table id=t width=600 cellspacing=0 cellpadding=0><tr><td id=a width=30%>x<td id=b width=20%>y"
     "<td id=c>z</table>"},
    {"auto", 3,
     "<table id=t cellspacing=0 cellpadding=0 width=500><tr><td id=a>short<td id=b>a cell with a good deal"
     " more text in it than the first</table>"},
    {"tableheight", 1,
     "<table id=t height=200 cellspacing=0 cellpadding=0><tr><td id=a><div style='height:20px'>x</div>"
     "<tr><td id=b><div style='height:60px'>y</div></table>"},
    {"rules", 1,
     "<style>hr { margin-top: 10px; margin-bottom: 10px }</style><hr id=full size=6>"
     "<hr id=a size=6 width=300 align=left><hr id=b width=50% size=4><hr id=c size=10 width=200 align=right>"
     "<div id=after style='height:10px'></div>"},
    {"images", 3,
     "<p id=p>text <img id=i width=40 height=30> more <img id=j width=100 height=50> end</p>"
     "<div id=after style='height:10px'></div>"},
};

// Where the 1990s table and rule model knowingly lays out otherwise.
const testing::KnownDifferences kKnownDifferences = {
    {"cellheight a", "a cell's HEIGHT is its whole height, padding included; CSS adds the padding to it"},
    {"cellheight t", "the same rule for the cell's row"},
    {"border1 a", "with BORDER a cell's 1-pixel sunken edge lies in the cell spacing (which BORDER widens by 2), "
                  "outside the cell's box; CSS draws it inside the cell's border box"},
    {"border1 b", "the same edge rule"},
    {"border1spaced a", "the same edge rule"},
    {"border1spaced b", "the same edge rule"},
    {"auto a", "spare width goes to auto columns in proportion to (max - min) width; CSS weights it by the "
               "columns' max widths"},
    {"auto b", "the same column rule"},
    {"tableheight a", "a table HEIGHT taller than its rows is spread evenly over them; CSS gives it in "
                      "proportion to the rows' heights"},
    {"tableheight b", "the same height rule"},
    {"rules a", "HR WIDTH is the whole drawn rule; CSS puts the rule's 1-pixel inset border outside that width"},
    {"rules b", "the same WIDTH rule"},
    {"rules c", "the same WIDTH rule"},
};

TEST(TableLayoutOracle, BoxesAgreeWithChromium) {
  if (!testing::ChromiumInstalled()) GTEST_SKIP() << "chromium is not installed";
  testing::ExpectBoxesAgreeWithChromium(kCases, kKnownDifferences);
}

}  // namespace
}  // namespace lark
