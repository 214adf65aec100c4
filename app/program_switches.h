#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lark {

// The command-line switches of the program ("/home=", "/cache=", "/cdrom",
// "/nowindowstate") and the files it keeps outside its folder.

// Parameters 1..N of the running process (without the program's path).
[[nodiscard]] std::vector<std::string> ProgramParameters();

// The 1-based number of the first parameter whose text contains the switch
// anywhere, without regard to ASCII case; -1 when none does. A parameter
// that holds "/home=" counts for that switch only: its value is an address
// or a path and may itself contain "/cdrom" or "/cache=".
[[nodiscard]] int FindParam(const std::vector<std::string>& params, std::string_view switch_text);

// The text behind the switch to the end of its parameter, as written;
// nothing when no parameter holds the switch.
[[nodiscard]] std::optional<std::string> SwitchValue(const std::vector<std::string>& params,
                                                     std::string_view switch_text);

// The settings file: the executable's path with ".ini" appended.
[[nodiscard]] std::string GetIniFileName();
// The program's private folder in the temporary directory, with its trailing
// "/"; "" when it cannot be had safely.
[[nodiscard]] std::string GetTempDirectory();

}  // namespace lark
