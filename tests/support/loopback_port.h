#pragma once

namespace lark::test {

// A loopback port nothing listens on now, for a server a test starts.
[[nodiscard]] int FreePort();

}  // namespace lark::test
