#pragma once
// Layout against a real browser: case pages are parsed and laid out here at
// 1024 and 800 pixels, and loaded by headless Chromium (each case in an
// iframe of that width on one index page, served by Python's http.server),
// whose getBoundingClientRect boxes a script on the index page prints into
// the dumped DOM. The boxes of every element with an ID must agree.

#include <map>
#include <string>
#include <vector>

namespace lark::testing {

struct OracleCase {
  const char* Name;
  int Tolerance;  // 1 where pixel and percentage values fix the boxes, 3 where text width does
  const char* Body;
};

// Where the document model knowingly lays out otherwise, by "case id", with the reason.
using KnownDifferences = std::map<std::string, const char*>;

// Fonts, sizes, line heights and margins are pinned, and every page is in
// standards mode.
constexpr const char* kOracleHead =
    "<!DOCTYPE html><html><head><style>body { margin: 0; font-family: 'Liberation Sans'; font-size: 16px;"
    " line-height: 20px } p { margin: 0 }</style></head><body>";

[[nodiscard]] bool ChromiumInstalled();

// Compares every case's boxes at both widths with Chromium's (gtest
// expectations), passing over the known differences.
void ExpectBoxesAgreeWithChromium(const std::vector<OracleCase>& cases, const KnownDifferences& known);

}  // namespace lark::testing
