#include "bench/common/bench_inputs.h"

#include <algorithm>
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

std::string ReadInput(const std::string& path) {
  // Read at its size, so that the input costs each contender its bytes
  // and no more.
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  std::string text(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
  in.seekg(0);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (!in || text.empty()) {
    std::fprintf(stderr, "cannot read %s, or it is empty\n", path.c_str());
    std::exit(1);
  }
  return text;
}

const std::string& BenchPage() {
  static const std::string page = ReadInput(InputSet("page") + "/bench-page.html");
  return page;
}

}  // namespace lark::bench
