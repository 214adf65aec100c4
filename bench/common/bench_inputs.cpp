#include "bench/common/bench_inputs.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace lark::bench {

std::string InputSet(const std::string& set) {
  const std::string command = std::string("bash '") + LARK_MAKE_INPUTS + "' " + set;
  std::string folder;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr) folder = line;
    if (pclose(pipe) != 0) folder.clear();
  }
  while (!folder.empty() && (folder.back() == '\n' || folder.back() == '\r')) folder.pop_back();
  if (folder.empty()) {
    std::fprintf(stderr, "could not make the benchmark inputs \"%s\" (see the message above)\n", set.c_str());
    std::exit(1);
  }
  return folder;
}

const std::string& BenchPage() {
  static const std::string page = [] {
    std::ifstream in(InputSet("page") + "/bench-page.html", std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (text.empty()) {
      std::fprintf(stderr, "the benchmark page is empty\n");
      std::exit(1);
    }
    return text;
  }();
  return page;
}

}  // namespace lark::bench
