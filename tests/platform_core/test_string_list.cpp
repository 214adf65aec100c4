#include "platform/core/string_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/exception.h"
#include "platform/core/stream.h"

namespace lark {
namespace {

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

// Counts its own deletions, to prove who frees what.
class Counted : public TObject {
 public:
  explicit Counted(int& deleted) : deleted_(deleted) {}
  ~Counted() override { ++deleted_; }

 private:
  int& deleted_;
};

TEST(StringList, UnsortedKeepsOrderAndFindsWithoutRegardToCase) {
  TStringList list;
  list.Add("beta");
  list.Add("Alpha");
  list.Insert(0, "gamma");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"gamma", "beta", "Alpha"}));
  EXPECT_EQ(list.IndexOf("ALPHA"), 2);
  EXPECT_EQ(list.IndexOf("delta"), -1);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("ALPHA"), -1);
  list.Put(1, "BETA");
  list.Delete(0);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"BETA", "Alpha"}));
}

TEST(StringList, BadIndicesRaiseWithTheIndex) {
  TStringList list;
  list.Add("a");
  try {
    (void)list.Strings(1);
    FAIL() << "no exception";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message, "List index out of bounds (1)");
  }
  EXPECT_THROW(list.Delete(-1), EStringListError);
  EXPECT_THROW(list.Insert(2, "x"), EStringListError);
  EXPECT_THROW(list.PutObject(1, nullptr), EStringListError);
  list.Insert(1, "end");  // inserting at Count appends
  EXPECT_EQ(list.At(1), "end");
}

TEST(StringList, SortedAddPlacesAndFindsCaseInsensitively) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"pear", "Apple", "fig", "banana", "apple"}) list.Add(s);
  // dupIgnore is the default: "apple" equals "Apple" without regard to case.
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"Apple", "banana", "fig", "pear"}));
  int index = -1;
  EXPECT_TRUE(list.Find("FIG", index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(list.Find("cherry", index));
  EXPECT_EQ(index, 2);  // where it would go
  EXPECT_FALSE(list.Find("zz", index));
  EXPECT_EQ(index, 4);
  EXPECT_EQ(list.IndexOf("PEAR"), 3);
  EXPECT_THROW(list.Insert(0, "x"), EStringListError);
  EXPECT_THROW(list.Put(0, "x"), EStringListError);
}

TEST(StringList, DuplicatesModes) {
  TStringList accept;
  accept.SetSorted(true);
  accept.SetDuplicates(dupAccept);
  accept.Add("b");
  accept.Add("a");
  EXPECT_EQ(accept.Add("B"), 1);  // an equal string goes before the equal ones
  accept.Add("c");
  EXPECT_EQ(Lines(accept), (std::vector<std::string>{"a", "B", "b", "c"}));
  int index = -1;
  EXPECT_TRUE(accept.Find("b", index));
  EXPECT_EQ(index, 1);  // the first of the equal ones

  TStringList error;
  error.SetSorted(true);
  error.SetDuplicates(dupError);
  error.Add("x");
  EXPECT_THROW(error.Add("X"), EStringListError);
  EXPECT_EQ(error.Count(), 1);

  TStringList ignore;
  ignore.SetSorted(true);
  ignore.Add("k");
  ignore.Add("m");
  EXPECT_EQ(ignore.Add("M"), 1);  // the existing index comes back
  EXPECT_EQ(ignore.Count(), 2);
}

TEST(StringList, CaseSensitiveSortedListSortsByBytes) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  for (const char* s : {"b", "B", "a", "A"}) list.Add(s);
  list.SetCaseSensitive(true);  // re-sorts
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"A", "B", "a", "b"}));
  int index = -1;
  EXPECT_FALSE(list.Find("c", index));
  EXPECT_EQ(index, 4);
  EXPECT_TRUE(list.Find("a", index));
  EXPECT_EQ(index, 2);
}

TEST(StringList, SettingSortedSortsExistingStrings) {
  TStringList list;
  list.SetText("c\nA\nb\n");
  list.SetSorted(true);
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"A", "b", "c"}));
}

TEST(StringList, NameValuePairs) {
  TStringList list;
  list.SetText("a=b=c\r\nnoequals\r\n=empty name\r\nKey=1\r\nkey=2\r\nblank=");
  EXPECT_EQ(list.Names(0), "a");
  EXPECT_EQ(list.ValueFromIndex(0), "b=c");
  EXPECT_EQ(list.Names(1), "");
  EXPECT_EQ(list.ValueFromIndex(1), "");  // a line without "=" has no value
  EXPECT_EQ(list.IndexOfName("noequals"), -1);
  EXPECT_EQ(list.IndexOfName(""), 2);
  EXPECT_EQ(list.Values("KEY"), "1");  // the first of that name, any case
  EXPECT_EQ(list.IndexOfName("blank"), 5);
  EXPECT_EQ(list.Values("blank"), "");
  EXPECT_EQ(list.Values("missing"), "");
  EXPECT_EQ(list.ValueFromIndex(-1), "");

  list.SetValue("key", "new");
  EXPECT_EQ(list.At(3), "key=new");
  EXPECT_EQ(list.At(4), "key=2");
  list.SetValue("added", "x");
  EXPECT_EQ(list.At(list.Count() - 1), "added=x");
  list.SetValue("KEY", "");  // deletes the first line of that name only
  EXPECT_EQ(list.Values("key"), "2");
  const int count = list.Count();
  list.SetValue("missing", "");
  EXPECT_EQ(list.Count(), count);
}

TEST(StringList, TextSplitsAtCrLfLfAndLoneCr) {
  TStringList list;
  list.SetText("one\r\ntwo\nthree\rfour\r\n");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"one", "two", "three", "four"}));
  list.SetText("a\n\nb");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "", "b"}));
  list.SetText("a\n\n");  // the last break adds no line, the one before it does
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", ""}));
  list.SetText("\n");
  EXPECT_EQ(Lines(list), (std::vector<std::string>{""}));
  list.SetText("");
  EXPECT_TRUE(list.Empty());
  list.SetText("x\n\ry");  // LF then CR: two breaks
  EXPECT_EQ(Lines(list), (std::vector<std::string>{"x", "", "y"}));
  list.SetText("x\ny");
  EXPECT_EQ(list.Text(), "x\r\ny\r\n");
}

TEST(StringList, StreamsAndFilesRoundTrip) {
  TStringList list;
  list.Add("first");
  list.Add("");
  list.Add("last");
  TMemoryStream stream;
  stream.WriteString("ignored prefix|");
  const std::int64_t start = stream.Position();
  list.SaveToStream(stream);
  stream.SetPosition(start);
  TStringList back;
  back.Add("old");
  back.LoadFromStream(stream);  // from the position on, replacing the old lines
  EXPECT_EQ(Lines(back), Lines(list));

  const std::string name = (std::filesystem::temp_directory_path() / "lark-core-list.txt").string();
  list.SaveToFile(name);
  TStringList from_file;
  from_file.LoadFromFile(name);
  std::filesystem::remove(name);
  EXPECT_EQ(Lines(from_file), Lines(list));
  EXPECT_THROW(from_file.LoadFromFile(name), EFOpenError);
  EXPECT_EQ(from_file.Count(), 3);  // a failed load keeps what was there
}

TEST(StringList, ObjectsAreBackReferencesUnlessOwned) {
  int deleted = 0;
  Counted kept(deleted);
  {
    TStringList list;
    list.AddObject("a", &kept);
    EXPECT_EQ(list.Objects(0), &kept);
    list.Delete(0);
    list.AddObject("b", &kept);
  }
  EXPECT_EQ(deleted, 0);

  {
    TStringList owner(TStringList::Ownership::OwnsObjects);
    owner.AddObject("x", new Counted(deleted));
    owner.AddObject("y", new Counted(deleted));
    owner.AddObject("z", new Counted(deleted));
    owner.Delete(1);
    EXPECT_EQ(deleted, 1);
    owner.Clear();
    EXPECT_EQ(deleted, 3);
    owner.AddObject("w", new Counted(deleted));
  }
  EXPECT_EQ(deleted, 4);
}

TEST(StringList, SortedListCarriesObjectsWithTheirStrings) {
  TStringList list;
  list.SetSorted(true);
  TObject one, two;
  list.AddObject("zeta", &one);
  list.AddObject("Eta", &two);
  EXPECT_EQ(list.Objects(list.IndexOf("ETA")), &two);
  EXPECT_EQ(list.Objects(list.IndexOf("zeta")), &one);
  EXPECT_EQ(list.IndexOfObject(&one), 1);
  EXPECT_EQ(list.IndexOfObject(nullptr), -1);
}

TEST(StringList, AssignAndAddStringsCopyStringsAndObjects) {
  TObject marker;
  TStringList source;
  source.AddObject("s1", &marker);
  source.Add("s2");
  TStringList dest;
  dest.Add("old");
  dest.AddStrings(source);
  EXPECT_EQ(Lines(dest), (std::vector<std::string>{"old", "s1", "s2"}));
  EXPECT_EQ(dest.Objects(1), &marker);
  dest.Assign(source);
  EXPECT_EQ(Lines(dest), Lines(source));
  dest.AddStrings(dest);  // adding a list to itself doubles it once
  EXPECT_EQ(dest.Count(), 4);
  dest.Assign(dest);
  EXPECT_EQ(dest.Count(), 4);
}

}  // namespace
}  // namespace lark
