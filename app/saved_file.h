#pragma once

// Writing a fetched document to the file the user chose, so that the file
// never holds less than the whole document and the program's own files are
// never what gets written.

#include <cstdint>
#include <memory>
#include <string>

namespace lark {

class TFileStream;
class TURLConnection;

// Why nothing may be saved at `path`, or "" when it may: the program's own
// files (settings, lists, language file, pages, animation, the executable)
// in its folder, existing or not, and anything in the cache folder, where
// the cache would delete or serve it.
[[nodiscard]] std::string RefusedSaveTarget(const std::string& path, const std::string& programDir,
                                            const std::string& cacheDir);

// A new file beside the target, taken with O_EXCL so that neither another
// save nor a planted link is written through. It takes the target's place
// (rename(2), one step) at Commit; until then, and when Commit is never
// reached, the target stays as it was and the part file goes.
class TPartFile {
 public:
  // Raises EFCreateError when no such file can be made.
  explicit TPartFile(const std::string& target);
  ~TPartFile();
  TPartFile(const TPartFile&) = delete;
  TPartFile& operator=(const TPartFile&) = delete;

  [[nodiscard]] TFileStream& Stream() { return *stream_; }
  [[nodiscard]] const std::string& Name() const { return name_; }
  // Closes the file and renames it over the target; raises EFCreateError
  // when that fails (the part file is then removed).
  void Commit();

 private:
  std::string target_;
  std::string name_;
  std::unique_ptr<TFileStream> stream_;
  bool committed_ = false;
};

// Why a fetch that raised nothing still did not bring the whole document, or
// "": an HTTP status other than 2xx, or fewer (or more) bytes than the
// server announced.
[[nodiscard]] std::string IncompleteFetch(TURLConnection& connection, std::int64_t bytesWritten);

// The message a failed save shows: what failed and that `target` was not
// written (or kept as it was).
[[nodiscard]] std::string SaveFailureText(const std::string& URL, const std::string& target, bool targetExisted,
                                          const std::string& reason);

}  // namespace lark
