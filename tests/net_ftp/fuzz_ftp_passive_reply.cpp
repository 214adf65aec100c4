// The PASV reply reader on arbitrary reply lines: it may refuse a line, but
// must never read out of bounds or accept an address outside 0-255 / a port
// outside 0-65535.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/ftp_client.h"
#include "net/net_exception.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string line(reinterpret_cast<const char*>(data), size);
  try {
    lark::TNetPassiveAddress address = lark::ParsePassiveReply(line);
    if (address.port < 0 || address.port > 65535 || address.host.size() > 15) std::abort();
  } catch (const lark::ENetProtocolReplyError&) {
    // A refused line is fine.
  }
  return 0;
}
