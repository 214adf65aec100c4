// Files the browser reads at start-up and whose size is in the user's (or an
// attacker's) hands: a language file with many texts, allow and deny lists
// with many lines, canonical forms of long addresses, a settings file with
// many lines around the bookmarks. Each is timed on files written
// beforehand.

#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/language.h"
#include "app/options.h"
#include "app/url_lists.h"
#include "scale_harness.h"

namespace lark::bench {
namespace {

std::string TempFile(const char* name, const std::string& bytes) {
  const std::string path = "/tmp/bench_app_scale_" + std::to_string(getpid()) + "_" + name;
  if (FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
  }
  return path;
}

// n texts in each of four languages (held within the text cap).
double LanguageTexts(int n) {
  std::string file = "[Languages]\nn=4\n1=A\n2=B\n3=C\n4=D\n";
  for (const char* name : {"A", "B", "C", "D"}) {
    file += std::string("[") + name + "]\nn=" + std::to_string(n) + "\n";
    for (int i = 1; i <= n; ++i) file += std::to_string(i) + "=text number " + std::to_string(i) + "\n";
  }
  const std::string path = TempFile("lgv", file);
  TLanguage language;
  language.SetFileName(path);
  language.LoadTexts();  // the first load also grows the heap; time a later one
  const double seconds = SecondsOf([&] {
    language.FillLanguages();
    language.SetLanguage(4);
    language.LoadTexts();
    std::string text;
    for (int i = 1; i <= n; ++i) (void)language.GetText(std::to_string(i), text);
  });
  std::remove(path.c_str());
  return seconds;
}

// A deny list of n lines, half exact and half patterns, asked about 100
// addresses.
double URLListLines(int n) {
  std::string file;
  for (int i = 0; i < n; ++i) {
    file += i % 2 ? "*://tracker" + std::to_string(i) + ".example/*\n" : "http://host" + std::to_string(i) + ".example/dir/\n";
  }
  const std::string path = TempFile("lst", file);
  TURLList deny;
  const double seconds = SecondsOf([&] {
    deny.LoadFromFile(path);
    for (int i = 0; i < 100; ++i) (void)URLDenied(deny, "http://user@Page" + std::to_string(i) + ".example:80/a/../b/");
  });
  std::remove(path.c_str());
  return seconds;
}

// One address of n path segments, with escapes and dot segments.
double CanonicalLongURL(int n) {
  std::string url = "HTTP://Example.COM.:80";
  for (int i = 0; i < n; ++i) url += i % 7 == 6 ? "/.." : "/s%41g" + std::to_string(i);
  return SecondsOf([&] { (void)CanonicalURL(url); });
}

// A settings file of n other lines; one bookmark added (read, insert, write
// the two sections under the lock).
double BookmarkInLargeSettings(int n) {
  std::string file = "[Other]\n";
  for (int i = 0; i < n; ++i) file += "key" + std::to_string(i) + "=value\n";
  const std::string path = TempFile("ini", file);
  TOptions(path).AddBookmark("warm-up", "http://example.com/");  // the heap grows here, not below
  const double seconds = SecondsOf([&] {
    TOptions options(path);
    options.AddBookmark("name", "http://example.com/");
  });
  std::remove(path.c_str());
  std::remove((path + ".lock").c_str());
  return seconds;
}

const int registered[] = {
    RegisterScaleShape("language texts (4 languages)", 1000, LanguageTexts),
    RegisterScaleShape("URL list lines", 2500, URLListLines),
    RegisterScaleShape("canonical URL segments", 20000, CanonicalLongURL),
    RegisterScaleShape("bookmark in settings lines", 20000, BookmarkInLargeSettings),
};

}  // namespace
}  // namespace lark::bench
