#include "html/url_helpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "html/document_utils.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

TEST(UrlHelpers, GetBaseKeepsTheFolder) {
  const std::pair<const char*, const char*> cases[] = {
      {"http://host", "http://host/"},
      {"http://host/a/b.html?x=/y", "http://host/a/"},
      {"  http://host/a/\r\n", "http://host/a/"},
      {"http://host/a/b.html#s/t", "http://host/a/"},  // a fragment is no folder
      {"file:///d/x.html", "file:///d/"},
      {"/d/x.html", "/d/"},
      {"", "/"},
  };
  for (const auto& [url, base] : cases) EXPECT_EQ(GetBase(url), base) << url;
}

struct Join {
  const char* Page;
  const char* Ref;
  const char* Expected;
};

// Pages and references where the join means what Python's urljoin means.
constexpr Join kAgreed[] = {
    {"http://h/a/b.html", "c.html", "http://h/a/c.html"},
    {"http://h/a/b.html", "../c.html", "http://h/c.html"},
    {"http://h/a/b/c.html", "../../x", "http://h/x"},
    {"http://h/a/b.html", "../../../x", "http://h/x"},
    {"http://h/a/b.html", "/x/y", "http://h/x/y"},
    {"http://h/a/b.html", "//other/x", "http://other/x"},
    {"https://h/a/b.html", "//other/x", "https://other/x"},
    {"http://h/a/b.html", "./x", "http://h/a/x"},
    {"http://h/a/b.html", "x/./y/../z", "http://h/a/x/z"},
    {"http://h", "x", "http://h/x"},
    {"http://h", "/x", "http://h/x"},
    {"http://h/a/b.html?q=1/2", "c", "http://h/a/c"},
    {"http://h/a/", "c?x=../y/./z", "http://h/a/c?x=../y/./z"},
    {"http://h/a/", "c#s/../t", "http://h/a/c#s/../t"},
    {"http://user:pw@h:8080/a/b", "../c", "http://user:pw@h:8080/c"},
    {"http://[::1]:8080/a/b", "c", "http://[::1]:8080/a/c"},
    {"file:///d/e/f.html", "../x.gif", "file:///d/x.gif"},
    {"file:///d/e/f.html", "/x.gif", "file:///x.gif"},
};

// Where the helpers knowingly differ from urljoin: the base is a folder, so
// an empty, query-only or fragment-only reference joins the folder, not the
// page; a last "." or ".." without "/" stays; "." segments go after ".."
// has taken its segment; an empty segment counts as a segment (urljoin drops
// it); dots in a "//" reference resolve too; a full URL is the callers' to
// recognise.
constexpr Join kDiffering[] = {
    {"http://h/a/b.html", "", "http://h/a/"},
    {"http://h/a/b.html", "?q", "http://h/a/?q"},
    {"http://h/a/b.html", "#f", "http://h/a/#f"},
    {"http://h/a/b.html", "..", "http://h/a/.."},
    {"http://h/a/b.html", "a/./../b", "http://h/a/a/b"},
    {"http://h/a/b.html", "x//../y", "http://h/a/x/y"},
    {"https://h/a/b.html", "//other/p/../x", "https://other/x"},
    {"http://h/a/b.html", "http://x/", "http://h/a/http://x/"},
};

std::string Joined(const Join& join) { return Combine(GetBase(join.Page), join.Ref); }

TEST(UrlHelpers, CombineResolvesReferences) {
  for (const Join& join : kAgreed) EXPECT_EQ(Joined(join), join.Expected) << join.Page << " + " << join.Ref;
  for (const Join& join : kDiffering) EXPECT_EQ(Joined(join), join.Expected) << join.Page << " + " << join.Ref;
}

TEST(UrlHelpers, CombineAgreesWithPythonUrljoin) {
  const char* python = "/usr/bin/python3";
  if (!test::HaveTool(python)) GTEST_SKIP() << "Debian's python3 is not installed";
  test::TempDir dir;
  std::string pairs;
  for (const Join& join : kAgreed) pairs += std::string(join.Page) + '\t' + join.Ref + '\n';
  const std::string input = dir.Write("pairs.txt", pairs);
  const std::string script = dir.Write("join.py",
                                       "import sys\n"
                                       "from urllib.parse import urljoin\n"
                                       "for line in open(sys.argv[1]):\n"
                                       "    page, ref = line.rstrip('\\n').split('\\t')\n"
                                       "    print(urljoin(page, ref))\n");
  const std::string command = std::string(python) + " " + script + " " + input;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_TRUE(pipe);
  char line[4096];
  for (const Join& join : kAgreed) {
    ASSERT_TRUE(fgets(line, sizeof line, pipe.get())) << "python stopped early";
    std::string python_joined(line);
    python_joined.pop_back();
    EXPECT_EQ(Joined(join), python_joined) << join.Page << " + " << join.Ref;
  }
}

TEST(UrlHelpers, DotSegmentsResolveInOnePass) {
  std::string climb;
  for (int i = 0; i < 1'000'000; ++i) climb += "../";
  EXPECT_EQ(Combine("http://h/a/b/", climb + "x"), "http://h/x");
  std::string here = "http://h";
  for (int i = 0; i < 1'000'000; ++i) here += "/.";
  EXPECT_EQ(Normalize(here + "/x"), "http://h/x");
  std::string escapes = "/d/";
  for (int i = 0; i < 300'000; ++i) escapes += "%2541";
  std::string decoded = FileURLToPath("file://" + escapes);
  EXPECT_EQ(decoded.size(), 3 + 300'000 * 3u);
  EXPECT_EQ(decoded.substr(0, 9), "/d/%41%41");
}

TEST(UrlHelpers, Normalize) {
  const std::pair<const char*, const char*> cases[] = {
      {"www.example.com", "http://www.example.com/"},
      {" example.com/a/./b/././c ", "http://example.com/a/b/c"},
      {"ftp://h", "ftp://h/"},
      {"http://h?q=1", "http://h/?q=1"},
      {"http://h#top", "http://h/#top"},
      {"http://h/a/./b?x=/./", "http://h/a/b?x=/./"},
      {"file:///d/My%20Page.html#s", "file:///d/My%20Page.html#s"},
      {" FILE:///d/./x ", "FILE:///d/./x"},
  };
  for (const auto& [url, normal] : cases) EXPECT_EQ(Normalize(url), normal) << url;
}

TEST(UrlHelpers, ProtocolsExtensionsAndFileNames) {
  EXPECT_TRUE(IsFullURL("http://x") && IsFullURL("MAILTO:joe@x"));
  EXPECT_FALSE(IsFullURL("a/b://c") || IsFullURL("//h/x") || IsFullURL("x.html"));
  EXPECT_EQ(GetProtocol("HTTPS://h/?a=b://"), "https");
  EXPECT_EQ(GetProtocol("/x"), "http");
  EXPECT_EQ(GetProtocol("x.html"), "");
  const std::pair<const char*, const char*> extensions[] = {
      {"http://h/a.html?x=y.z", "html"}, {"x.shtml", "shtml"}, {"http://h/a.longer", ""},
      {"http://h/a.", ""},               {"", ""},             {"?a.b", ""},
  };
  for (const auto& [url, extension] : extensions) EXPECT_EQ(GetURLExtension(url), extension) << url;
  EXPECT_EQ(GetURLFileName("http://h/a/b.gif"), "b.gif");
  EXPECT_EQ(GetURLFileName("/" + std::string(300, 'n')).size(), MaxURLFileName);
  EXPECT_EQ(LastPos("@", "a@b@c"), 3u);
  EXPECT_EQ(LastPos("", "abc"), std::string::npos);
}

TEST(UrlHelpers, ParseUrl) {
  // protocol|user|password|host|port|path
  const std::pair<const char*, const char*> cases[] = {
      {"http://user:p@ss@host:8080/path?q", "http|user|p@ss|host|8080|/path?q"},
      {"http://[::1]:8080/x", "http|||[::1]|8080|/x"},
      {"http://u@[fe80::1]/", "http|u||[fe80::1]||/"},
      {"/local/path", "http|||||/local/path"},
      {"http:/x", "http|||||/x"},
      {"mailto:joe@example.com", "mailto|joe||example.com||"},
      {"example.com:80", "|||example.com|80|"},
      {"http://h?x=/y", "http|||h||?x=/y"},
      {"", "|||||"},
  };
  for (const auto& [url, expected] : cases) {
    const TURLParts p = ParseURL(url);
    EXPECT_EQ(p.Protocol + '|' + p.User + '|' + p.Password + '|' + p.Host + '|' + p.Port + '|' + p.Path, expected)
        << url;
  }
}

TEST(UrlHelpers, FileNamesSurviveTheRoundTrip) {
  EXPECT_EQ(FileNameToURL("/d/My Page#1?.html"), "/d/My%20Page%231%3F.html");
  EXPECT_EQ(FileNameToURL("/d/%41%25"), "/d/%2541%2525");
  EXPECT_EQ(FileNameToURL("/d/\xC3\xA9"), "/d/%C3%A9");
  for (const char* name : {"/tmp/My Page.html", "/d/a#b?c.html", "/d/%41%25.txt",
                           "/d/Gr\xC3\xBC\xC3\x9F" "e/\xE6\x97\xA5.html", "/d/tab\there ", "/d/x:y\\z|w",
                           "/d/100%"}) {
    const std::string url = "file://" + FileNameToURL(name);
    EXPECT_EQ(FileURLToPath(url), name) << url;
    EXPECT_EQ(Normalize(url), url);
  }
  // A real file under such a name is found again through its URL.
  test::TempDir dir;
  const std::string path = dir.Write("My Page #1?%41%25 \xC3\xA9.txt", "found");
  EXPECT_EQ(test::ReadFile(FileURLToPath("file://" + FileNameToURL(path))), "found");
}

}  // namespace
}  // namespace lark
