#include <gtest/gtest.h>

#include "app/program_switches.h"
#include "app/url_lists.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

TEST(CanonicalURL, SpellingsOfOneAddressMeetInOneForm) {
  const struct {
    const char* written;
    const char* canonical;
  } rows[] = {
      {"HTTP://Evil.EXAMPLE/x/", "http://evil.example/x/"},
      {"http://user:pw@evil.example/x/", "http://evil.example/x/"},
      {"http://evil.example.:80/x/", "http://evil.example/x/"},
      {"https://evil.example:443/", "https://evil.example/"},
      {"http://evil.example:8080/", "http://evil.example:8080/"},
      {"http://%65vil.example/%78/", "http://evil.example/x/"},
      {"http://evil.example/a/../x/./", "http://evil.example/x/"},
      {"http://evil.example/%2e%2e/x/", "http://evil.example/x/"},
      {"http:\\\\evil.example\\x\\", "http://evil.example/x/"},
      {"evil.example/x/", "http://evil.example/x/"},
      {"http://2130706433/", "http://127.0.0.1/"},
      {"http://0x7f.1/", "http://127.0.0.1/"},
      {"http://0177.0.0.1/", "http://127.0.0.1/"},
      {"http://127.1.256/", "http://127.1.1.0/"},
      {"http://4294967296/", "http://4294967296/"},  // too large: no address, left as a name
      {"http://a/b%2fc?q=%41#frag", "http://a/b%2Fc?q=A"},
      {"http://a/%%36%31/", "http://a/%2561/"},
      {"http://a/b c/\x01#x", "http://a/b%20c/%01"},
  };
  for (const auto& row : rows) {
    const std::string once = CanonicalURL(row.written);
    EXPECT_EQ(once, row.canonical) << row.written;
    EXPECT_EQ(CanonicalURL(once), once) << row.written;
  }
}

TEST(URLLists, ListLinesAgainstAddresses) {
  test::TempDir dir;
  TURLList deny;
  deny.LoadFromFile(dir.Write("Deny.lst", "  http://Evil.example/  \r\n*://tracker.*\n*\n\nhttp://exact.example/dir/\n"));
  EXPECT_EQ(deny.Count(), 4);
  const struct {
    const char* url;
    bool denied;
  } rows[] = {
      {"http://evil.example/page.html", true},
      {"HTTP://EVIL.EXAMPLE./index.html?x=/y", true},
      {"http://me@evil.example:80/", true},
      {"evil.example", true},
      {"http://evil.example/sub/page.html", false},  // exact lines name one folder
      {"https://Tracker.Example/pixel", true},
      {"http://exact.example/dir/x/../page", true},
      {"http://exact.example/Dir/", false},  // the path keeps its case
      {"http://good.example/", false},  // a lone "*" matches nothing
  };
  for (const auto& row : rows) EXPECT_EQ(URLDenied(deny, row.url), row.denied) << row.url;

  TURLList allow;
  allow.LoadFromFile(dir.File("missing.lst"));
  EXPECT_TRUE(URLAllowed(allow, "http://anything/")) << "an empty allow list allows everything";
  allow.AddLine("http://127.0.0.1/");
  EXPECT_TRUE(URLAllowed(allow, "http://0x7f000001/a"));
  EXPECT_FALSE(URLAllowed(allow, "http://127.0.0.2/"));
}

TEST(ProgramSwitches, FoundInAnyCaseButNotInsideTheHomeValue) {
  const std::vector<std::string> params = {"/NoWindowState", "/home=/cdrom/index.html", "x/CACHE=OFF"};
  EXPECT_EQ(FindParam(params, "/nowindowstate"), 1);
  EXPECT_EQ(FindParam(params, "/home="), 2);
  EXPECT_EQ(FindParam(params, "/cdrom"), -1) << "the home value may not pick modes";
  EXPECT_EQ(SwitchValue(params, "/home=").value(), "/cdrom/index.html");
  EXPECT_EQ(SwitchValue(params, "/cache=").value(), "OFF");
  EXPECT_FALSE(SwitchValue({"/home=http://a/?/cache=off"}, "/cache="));
  EXPECT_EQ(FindParam({"/cdrom", "/home=x"}, "/cdrom"), 1);
}

}  // namespace
}  // namespace lark
