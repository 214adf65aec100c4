// Feeds arbitrary text to every URL helper (none may raise) and checks that
// a path comes back from its file URL unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "html/document_utils.h"
#include "html/url_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lark;
  const std::string input(reinterpret_cast<const char*>(data), size);
  // Base and reference, split at the first NUL byte.
  const std::size_t split = input.find('\0');
  const std::string base = input.substr(0, split);
  const std::string ref = split == std::string::npos ? input : input.substr(split + 1);

  (void)Combine(GetBase(base), ref);
  (void)Combine(base, ref);
  (void)Normalize(input);
  (void)IsFullURL(input);
  (void)GetProtocol(input);
  (void)GetURLExtension(input);
  (void)GetURLFileName(input);
  (void)LastPos(ref, base);
  (void)ParseURL(input);

  const std::string path = "/" + input;
  if (FileURLToPath("file://" + FileNameToURL(path)) != path) std::abort();
  return 0;
}
