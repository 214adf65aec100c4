#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/language.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string file = "/tmp/fuzz_language_" + std::to_string(getpid()) + ".lgv";
  if (FILE* out = std::fopen(file.c_str(), "wb")) {
    std::fwrite(data, 1, size, out);
    std::fclose(out);
  }
  lark::TLanguage language;
  language.SetFileName(file);
  language.FillLanguages();
  language.SetLanguage(1);
  language.LoadTexts();
  std::string text;
  (void)language.GetText("1", text);
  return 0;
}
