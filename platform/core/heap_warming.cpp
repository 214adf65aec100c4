#include "platform/core/heap_warming.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <thread>
#include <vector>

namespace lark {
namespace {

constexpr std::size_t kBlock = std::size_t{1} << 20;

void Warm(std::size_t bytes) {
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  // All blocks are taken before any is freed: a block freed and asked for
  // again would be the same block.
  std::vector<char*> blocks;
  for (std::size_t done = 0; done < bytes; done += kBlock)
    if (auto* block = static_cast<char*>(std::malloc(kBlock))) blocks.push_back(block);
  // Each is given back as soon as its pages are present, for the GUI
  // thread's allocations to find.
  for (char* block : blocks) {
    for (std::size_t at = 0; at < kBlock; at += page) static_cast<volatile char*>(block)[at] = 0;
    std::free(block);
  }
}

}  // namespace

void WarmHeapInBackground(std::size_t bytes) {
  try {
    std::thread(Warm, bytes).detach();
  } catch (const std::system_error&) {
    // No thread to spare: the allocations provide their own pages.
  }
}

}  // namespace lark
