#pragma once

#include <string>
#include <string_view>

namespace lark {

// File-name routines of the run-time library, with "/" as the only path
// delimiter on this platform. They work on the text alone, except
// ExpandFileName, which reads the current directory.
inline constexpr char PathDelim = '/';

// Up to and including the last "/" ("" when there is none).
[[nodiscard]] std::string ExtractFilePath(std::string_view file_name);
// ExtractFilePath without its trailing "/" (but "/" stays "/").
[[nodiscard]] std::string ExtractFileDir(std::string_view file_name);
// After the last "/".
[[nodiscard]] std::string ExtractFileName(std::string_view file_name);
// From the last "." of the file name on, with the "." ("" when there is none;
// a dot in a directory name does not count).
[[nodiscard]] std::string ExtractFileExt(std::string_view file_name);
// The extension replaced (extension given with its "."; "" removes it).
[[nodiscard]] std::string ChangeFileExt(std::string_view file_name, std::string_view extension);
[[nodiscard]] std::string IncludeTrailingPathDelimiter(std::string_view path);
[[nodiscard]] std::string ExcludeTrailingPathDelimiter(std::string_view path);
// An absolute path with "." and ".." steps and doubled "/" resolved by text
// (symbolic links are not followed); relative names start from the current
// directory.
[[nodiscard]] std::string ExpandFileName(std::string_view file_name);

}  // namespace lark
