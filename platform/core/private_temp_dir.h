#pragma once

#include <string>

namespace lark {

// The program's own folder in the temporary directory: "larkspan-<uid>",
// mode 0700, with a trailing "/". The shared temporary directory is
// writable by every user, so a folder there that is a symbolic link, is not
// a folder, or belongs to another user (who could read or plant files in
// it) is refused: the answer is then "" and the caller does without (the
// cache is off, no cookie file is read). A folder of ours with wider
// permissions is narrowed to 0700.
[[nodiscard]] std::string PrivateTempDirectory();

}  // namespace lark
