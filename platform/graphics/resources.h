#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lark {

// Resources by name (bitmaps, cursors, animations) that the program carries
// inside itself. Whoever ships a resource registers its bytes at start-up,
// usually from a source file generated from the resource file; names compare
// without regard to case, and numbered resources use the decimal number as
// their name. The bytes must live as long as the program.
void RegisterResource(const std::string& name, std::string_view bytes);
[[nodiscard]] std::optional<std::string_view> FindResource(const std::string& name);

}  // namespace lark
