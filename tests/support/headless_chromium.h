#pragma once
// Headless Chromium as a test peer: the page's DOM after its scripts ran.

#include <string>

namespace lark::test {

// The DOM Chromium serialises for `url` (--dump-dom), run headless with a
// fresh profile in `profileDir` and with its background networking off (the
// machine has no network). `extraFlags` go on the command line as written.
// Empty when Chromium is missing or fails; it is stopped after
// `timeoutSeconds`.
[[nodiscard]] std::string HeadlessChromiumDom(const std::string& url, const std::string& profileDir,
                                              const std::string& extraFlags = "", int timeoutSeconds = 60);

}  // namespace lark::test
