// The settings file, the program folder and the language file as the real
// program treats them, end to end.
#include <filesystem>
#include <map>
#include <random>
#include <sstream>

#include "tests/app_e2e/larkspan_fixture.h"
#include "tests/support/test_files.h"

namespace lark::test {
namespace {

namespace fs = std::filesystem;

const std::string kSettings =
    "; kiosk settings\n[Kiosk]\nOwner=desk 4\n[Bar]\nStatusBar=0\nPanelAddress=0\n"
    "[Proxy]\nProxy=proxy.local\nPort=3128\n";

bool HasLine(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Every file under `folder` with its bytes.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
    files[entry.path().string()] = entry.is_regular_file() ? ReadFile(entry.path()) : "<" + entry.path().string() + ">";
  return files;
}

using LarkspanSettings = LarkspanTest;

TEST_F(LarkspanSettings, NonDefaultsShowAndTheExitWritesKeepingOtherLines) {
  program->WriteProgramFile("larkspan.ini", kSettings);
  Start({"/home=" + Page()});
  EXPECT_EQ(program->Command("showing StatusBar").Text(), "no");
  EXPECT_EQ(program->Command("showing PanelAddress").Text(), "no");
  EXPECT_EQ(program->Command("showing CoolBar").Text(), "yes");
  CloseAndWait();
  const std::string written = ReadFile(Settings());
  for (const char* line : {"; kiosk settings", "[Kiosk]", "Owner=desk 4", "StatusBar=0", "PanelAddress=0",
                           "Proxy=proxy.local", "Port=3128", "ButtonsBars=1"})
    EXPECT_TRUE(HasLine(written, line)) << line << " in\n" << written;
}

// "/cdrom" promises a folder left as it was, by this window and by the
// windows it opens.
TEST_F(LarkspanSettings, CdromModeLeavesTheProgramFolderByteIdentical) {
  program->WriteProgramFile("larkspan.ini", kSettings);
  program->WriteProgramFile(
      "page.html", "<html><body><a href=\"page.html#part\" target=\"_blank\"><font size=7>NEW WINDOW NEW WINDOW"
                   "</font></a></body></html>");
  const auto before = Snapshot(program->ProgramDir());
  Start({"/home=" + Page(), "/cdrom"});
  ASSERT_TRUE(program->Command("click FrameBrowser 60 20").ok);
  ASSERT_TRUE(WaitFor([&] { return !program->OtherInstanceSockets().empty(); }, kIdleMs)) << program->Output();
  const std::string socket = program->OtherInstanceSockets()[0];
  TestControlClient other;
  ASSERT_TRUE(other.Connect(socket, kIdleMs)) << other.Error();
  ASSERT_TRUE(other.Command("idle " + std::to_string(kIdleMs), kIdleMs + 5000).ok);
  ASSERT_TRUE(other.Command("close").ok);
  other.Disconnect();
  // The new window ends by itself, before the group goes with the first.
  const int otherPid = std::stoi(socket.substr(socket.rfind('-') + 1));
  EXPECT_TRUE(WaitFor([&] { return ProcessEnded(otherPid); }, kExitMs));
  CloseAndWait();
  EXPECT_EQ(Snapshot(program->ProgramDir()), before);
}

// Killed at any moment of its exit, the program leaves a whole settings
// file: each value is written atomically, so what is left holds every line
// it had and only lines of a whole exit's file, none cut short.
TEST_F(LarkspanSettings, KillsDuringTheExitWritesLeaveAWholeFile) {
  program->WriteProgramFile("larkspan.ini", kSettings);
  // How long a whole exit takes here spreads the kills over it.
  Start({"/home=" + Page()});
  const auto started = std::chrono::steady_clock::now();
  CloseAndWait();
  const auto exitMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  const std::string whole = ReadFile(Settings());
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> moment(0, static_cast<int>(exitMs.count()) + 20);
  for (int kill = 0; kill < 30; ++kill) {
    program->WriteProgramFile("larkspan.ini", kSettings);
    Start({"/home=" + Page()});
    ASSERT_TRUE(program->Command("close").ok);
    std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
    program->Kill();
    const std::string left = ReadFile(Settings());
    const std::vector<std::string> lines = Lines(left);
    EXPECT_TRUE(left.ends_with('\n')) << "kill " << kill << " left:\n" << left;
    for (const std::string& line : Lines(kSettings)) EXPECT_TRUE(HasLine(left, line)) << "kill " << kill << ": " << line;
    for (const std::string& line : lines) EXPECT_TRUE(HasLine(whole, line)) << "kill " << kill << ": " << line;
  }
}

TEST_F(LarkspanSettings, ALanguageFileSwitchesCaptionsAndItsAbsenceHidesTheMenu) {
  program->WriteProgramFile("larkspan.ini", "[FormMain]\nLanguage=2\n");
  Start({"/home=" + Page()});
  ASSERT_FALSE(program->Command("menu").Items().empty());
  EXPECT_EQ(program->Command("menu").Items()[0], "&Datei");
  const ControlReply chosen = program->Command("choose Optionen/Sprache/Englisch");
  ASSERT_TRUE(chosen.ok) << chosen.raw;
  ASSERT_TRUE(program->Command("idle " + std::to_string(kIdleMs), kIdleMs + 5000).ok);
  EXPECT_EQ(program->Command("menu").Items()[0], "&File");
  CloseAndWait();
  Start({"/home=" + Page()});
  EXPECT_EQ(program->Command("menu").Items()[0], "&File");
  const std::vector<std::string> options = program->Command("menu Options").Items();
  EXPECT_NE(std::find(options.begin(), options.end(), "&Language"), options.end());
  CloseAndWait();
  fs::remove(program->ProgramDir() + "BROWSER.LGV");
  Start({"/home=" + Page()});
  const std::vector<std::string> bare = program->Command("menu Options").Items();
  EXPECT_FALSE(bare.empty());
  EXPECT_EQ(std::find(bare.begin(), bare.end(), "&Language"), bare.end());
}

}  // namespace
}  // namespace lark::test
