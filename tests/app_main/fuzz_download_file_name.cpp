#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/download_file_name.h"
#include "platform/core/code_page.h"

// Whatever a server names a page or a file, the proposal stays one component
// of the folder the user chose.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const std::string& name : {lark::SafeFileName(text), lark::URLFileNameProposal(text)}) {
    if (name.empty() || name.size() > lark::kMaxFileNameBytes || name.front() == '.') std::abort();
    if (name.find('/') != std::string::npos || name.find('\0') != std::string::npos) std::abort();
    // Valid UTF-8 throughout, so the dialogs show and give back the same bytes.
    if (lark::EncodeUtf32(lark::DecodeToUtf32(name, lark::CP_UTF8), lark::CP_UTF8) != name) std::abort();
    if (lark::SafeFileName(name) != name) std::abort();
  }
  return 0;
}
