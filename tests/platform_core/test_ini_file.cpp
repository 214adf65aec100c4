#include "platform/core/ini_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/core/exception.h"
#include "platform/core/string_list.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

constexpr const char* kSettings =
    "; written by hand\n"
    "[Buttons]\n"
    "Back=1\n"
    "  Forward =  0  \n"
    "junk line\n"
    "\n"
    "[Home]\n"
    "Address=\"http://example.org/\"\n"
    "Title='single'\n"
    "Mixed=\"left'\n"
    "Empty=\n"
    "Hex=0x1F\n"
    "[buttons]\n"
    "Back=7\n";

// Reads every case both classes share.
void ExpectSharedReading(const TCustomIniFile& ini) {
  EXPECT_EQ(ini.ReadInteger("BUTTONS", "back", 5), 1);  // first section and key of a name win
  EXPECT_EQ(ini.ReadInteger("Buttons", "Forward", 5), 0);  // blanks around names and values
  EXPECT_FALSE(ini.ReadBool("Buttons", "Forward", true));
  EXPECT_TRUE(ini.ReadBool("Buttons", "Back", false));
  EXPECT_EQ(ini.ReadInteger("Buttons", "Missing", 5), 5);
  EXPECT_EQ(ini.ReadInteger("Home", "Address", 5), 5);  // not a number
  EXPECT_EQ(ini.ReadInteger("Home", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadString("Home", "Empty", "default"), "");  // present but empty
  EXPECT_EQ(ini.ReadString("Home", "junk line", "d"), "d");
  EXPECT_EQ(ini.ReadString("Nowhere", "Back", "d"), "d");
  EXPECT_EQ(ini.ReadString("Home", "Mixed", ""), "\"left'");  // unmatched quotes stay
  EXPECT_TRUE(ini.ValueExists("home", "EMPTY"));
  EXPECT_FALSE(ini.ValueExists("home", "nothing"));
  EXPECT_TRUE(ini.SectionExists("HOME"));
  EXPECT_FALSE(ini.SectionExists("Nowhere"));
  TStringList list;
  ini.ReadSection("Buttons", list);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"Back", "Forward"}));
  ini.ReadSections(list);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"Buttons", "Home", "buttons"}));
}

TEST(IniFile, ReadsLikeTheWindowsProfileRoutines) {
  TempDir dir;
  WriteFile(dir.File("a.ini"), kSettings);
  TIniFile ini(dir.File("a.ini"));
  ExpectSharedReading(ini);
  EXPECT_EQ(ini.ReadString("Home", "Address", ""), "http://example.org/");  // one pair of quotes goes
  EXPECT_EQ(ini.ReadString("Home", "Title", ""), "single");
  TStringList values;
  ini.ReadSectionValues("Home", values);
  EXPECT_EQ(values.Values("Address"), "http://example.org/");
  EXPECT_EQ(values.Count(), 5);
}

TEST(MemIniFile, ReadsValuesExactlyAsStored) {
  TempDir dir;
  WriteFile(dir.File("a.ini"), kSettings);
  TMemIniFile ini(dir.File("a.ini"));
  ExpectSharedReading(ini);
  EXPECT_EQ(ini.ReadString("Home", "Address", ""), "\"http://example.org/\"");
  EXPECT_EQ(ini.ReadString("Home", "Title", ""), "'single'");
}

TEST(IniFile, WritesThroughAndKeepsEveryOtherLine) {
  TempDir dir;
  const std::string name = dir.File("a.ini");
  WriteFile(name, kSettings);
  TIniFile ini(name);
  ini.WriteString("BUTTONS", "FORWARD", "1");  // replaced in place, spelling of the file kept
  ini.WriteInteger("Buttons", "Stop", 0);       // after the section's last key
  ini.WriteBool("Placement", "Saved", true);    // a new section at the end
  EXPECT_EQ(ReadFile(name),
            "; written by hand\n[Buttons]\nBack=1\nForward=1\nStop=0\njunk line\n\n"
            "[Home]\nAddress=\"http://example.org/\"\nTitle='single'\nMixed=\"left'\nEmpty=\nHex=0x1F\n"
            "[buttons]\nBack=7\n[Placement]\nSaved=1\n");
  TIniFile other(name);  // a second object sees the change at once
  EXPECT_EQ(other.ReadInteger("Buttons", "Stop", 9), 0);

  ini.DeleteKey("home", "title");
  ini.EraseSection("buttons");  // every section of that name goes, with its lines
  EXPECT_EQ(ReadFile(name),
            "; written by hand\n"
            "[Home]\nAddress=\"http://example.org/\"\nMixed=\"left'\nEmpty=\nHex=0x1F\n[Placement]\nSaved=1\n");
}

TEST(IniFile, QuotedWritesReadBackUnchanged) {
  TempDir dir;
  TIniFile ini(dir.File("q.ini"));
  ini.WriteString("F", "Value", "\"'abc'\"");  // the form placement wraps such values itself
  EXPECT_EQ(ini.ReadString("F", "Value", ""), "'abc'");
}

TEST(IniFile, MissingFileReadsEmptyAndIsCreatedByTheFirstWrite) {
  TempDir dir;
  const std::string name = dir.File("new.ini");
  TIniFile ini(name);
  EXPECT_EQ(ini.ReadString("S", "K", "d"), "d");
  ini.DeleteKey("S", "K");
  ini.EraseSection("S");
  EXPECT_FALSE(std::ifstream(name).good());  // nothing changed, nothing written
  ini.WriteString("S", "K", "v");
  EXPECT_EQ(ReadFile(name), "[S]\nK=v\n");
}

TEST(IniFile, KeepsCrLfLineEnds) {
  TempDir dir;
  const std::string name = dir.File("crlf.ini");
  WriteFile(name, "[A]\r\nx=1\r\n");
  TIniFile(name).WriteString("A", "y", "2");
  EXPECT_EQ(ReadFile(name), "[A]\r\nx=1\r\ny=2\r\n");
}

TEST(IniFile, AByteOrderMarkBeforeTheFirstHeaderIsReadPastAndKept) {
  TempDir dir;
  const std::string name = dir.File("BROWSER.LGV");
  WriteFile(name, "\xEF\xBB\xBF[Languages]\nn=1\n");
  TIniFile ini(name);
  EXPECT_EQ(ini.ReadInteger("Languages", "n", 0), 1);
  ini.WriteString("Languages", "1", "English");
  EXPECT_EQ(ReadFile(name), "\xEF\xBB\xBF[Languages]\nn=1\n1=English\n");
}

TEST(IniFile, LineBreaksInWrittenTextCannotAddLines) {
  TempDir dir;
  TMemIniFile ini(dir.File("b.ini"));
  ini.WriteString("Bookmarks", "Name0", "Title\r\n[Buttons]\nBack=0");
  EXPECT_EQ(ini.ReadString("Bookmarks", "Name0", ""), "Title  [Buttons] Back=0");
  EXPECT_FALSE(ini.SectionExists("Buttons"));
  ini.UpdateFile();
  EXPECT_FALSE(TIniFile(dir.File("b.ini")).SectionExists("Buttons"));
}

TEST(MemIniFile, ChangesReachTheDiskOnlyWithUpdateFile) {
  TempDir dir;
  const std::string name = dir.File("m.ini");
  WriteFile(name, "[Directory]\nCaption0=Docs\nHTMLFile0=/docs/index.htm\n");
  TMemIniFile ini(name);
  ini.DeleteKey("Directory", "Caption0");
  ini.WriteString("Bookmarks", "Name0", "\"Quoted\" title");
  EXPECT_EQ(TIniFile(name).ReadString("Directory", "Caption0", ""), "Docs");
  ini.UpdateFile();
  EXPECT_EQ(ReadFile(name), "[Directory]\nHTMLFile0=/docs/index.htm\n[Bookmarks]\nName0=\"Quoted\" title\n");
  TMemIniFile again(name);
  EXPECT_EQ(again.ReadString("Bookmarks", "Name0", ""), "\"Quoted\" title");
}

TEST(MemIniFile, UpdateFileRaisesWhenTheFileCannotBeWritten) {
  TempDir dir;
  TMemIniFile ini(dir.File("missing-dir/settings.ini"));
  ini.WriteString("S", "K", "v");
  EXPECT_THROW(ini.UpdateFile(), EFCreateError);
}

}  // namespace
}  // namespace lark
