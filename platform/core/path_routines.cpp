#include "platform/core/path_routines.h"

#include <unistd.h>

#include <vector>

namespace lark {

std::string ExtractFilePath(std::string_view file_name) {
  const std::size_t slash = file_name.rfind(PathDelim);
  return slash == std::string_view::npos ? std::string() : std::string(file_name.substr(0, slash + 1));
}

std::string ExtractFileDir(std::string_view file_name) {
  const std::string path = ExtractFilePath(file_name);
  return path == "/" ? path : ExcludeTrailingPathDelimiter(path);
}

std::string ExtractFileName(std::string_view file_name) {
  const std::size_t slash = file_name.rfind(PathDelim);
  return std::string(slash == std::string_view::npos ? file_name : file_name.substr(slash + 1));
}

namespace {
// Index of the extension's "." in file_name, or npos.
std::size_t ExtensionStart(std::string_view file_name) {
  const std::size_t dot = file_name.rfind('.');
  const std::size_t slash = file_name.rfind(PathDelim);
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::string_view::npos;
  return dot;
}
}  // namespace

std::string ExtractFileExt(std::string_view file_name) {
  const std::size_t dot = ExtensionStart(file_name);
  return dot == std::string_view::npos ? std::string() : std::string(file_name.substr(dot));
}

std::string ChangeFileExt(std::string_view file_name, std::string_view extension) {
  const std::size_t dot = ExtensionStart(file_name);
  return std::string(file_name.substr(0, dot)) + std::string(extension);
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string r(path);
  if (r.empty() || r.back() != PathDelim) r += PathDelim;
  return r;
}

std::string ExcludeTrailingPathDelimiter(std::string_view path) {
  if (!path.empty() && path.back() == PathDelim) path.remove_suffix(1);
  return std::string(path);
}

std::string ExpandFileName(std::string_view file_name) {
  std::string full(file_name);
  if (full.empty() || full[0] != PathDelim) {
    char cwd[4096];
    full = IncludeTrailingPathDelimiter(::getcwd(cwd, sizeof cwd) ? cwd : "/") + full;
  }
  std::vector<std::string_view> steps;
  std::string_view rest(full);
  while (!rest.empty()) {
    const std::size_t slash = rest.find(PathDelim);
    const std::string_view step = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (step.empty() || step == ".") continue;
    if (step == "..") {
      if (!steps.empty()) steps.pop_back();
      continue;
    }
    steps.push_back(step);
  }
  std::string result;
  for (std::string_view step : steps) result.append(1, PathDelim).append(step);
  if (result.empty() || (full.back() == PathDelim && !steps.empty())) result += PathDelim;
  return result;
}

}  // namespace lark
