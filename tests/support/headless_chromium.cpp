#include "tests/support/headless_chromium.h"

#include <cstdio>

namespace lark::test {

std::string HeadlessChromiumDom(const std::string& url, const std::string& profileDir, const std::string& extraFlags,
                                int timeoutSeconds) {
  const std::string command = "timeout " + std::to_string(timeoutSeconds) +
                              " chromium --headless --no-sandbox --disable-gpu --disable-background-networking "
                              "--disable-component-update --disable-sync --no-first-run " +
                              extraFlags + " --user-data-dir='" + profileDir + "' --dump-dom '" + url +
                              "' 2>/dev/null";
  std::string dom;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) dom.append(buffer, got);
    pclose(pipe);
  }
  return dom;
}

}  // namespace lark::test
