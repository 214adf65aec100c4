// The document's lists and characters: IDs registered in three orders,
// paragraphs and runs freed in a document full of IDs, Finish over doubled
// blanks, and find over a paragraph of many runs. Documents are built the way
// the parser builds them: paragraphs given to their cell with Add (which
// finishes them and frees the empty ones), runs started with AddFont, IDs
// registered in the document's ID list.

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "scale_harness.h"
#include "html/paragraph_section.h"
#include "html/section_list.h"

namespace lark::bench {
namespace {

TRunFont Font(int points) {
  TRunFont font;
  font.Font.SetName("Times New Roman");
  font.Font.SetSize(points);
  return font;
}

std::unique_ptr<TSection> NewParagraph(TSectionList& list) {
  return std::make_unique<TSection>(&list, TParagraphStyle{}, Font(12), "");
}

std::vector<std::string> IdNames(int n, const char* order) {
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) names.push_back("section-" + std::to_string(1000000 + i));
  if (order == std::string("descending")) std::reverse(names.begin(), names.end());
  if (order == std::string("random")) std::shuffle(names.begin(), names.end(), std::mt19937(13));
  return names;
}

double RegisterIds(int n, const char* order) {
  const std::vector<std::string> names = IdNames(n, order);
  TSectionList list(nullptr, nullptr);
  return SecondsOf([&] {
    for (int i = 0; i < n; ++i) list.IDNameList->AddChPosObject(names[static_cast<std::size_t>(i)], i);
  });
}

// A document that already holds n IDs.
std::unique_ptr<TSectionList> DocumentWithIds(int n) {
  auto list = std::make_unique<TSectionList>(nullptr, nullptr);
  for (const std::string& name : IdNames(n, "random")) list->IDNameList->AddChPosObject(name, 0);
  return list;
}

const int kIds = RegisterScaleShape("ids ascending", 50000, [](int n) { return RegisterIds(n, "ascending"); });
const int kIdsDown = RegisterScaleShape("ids descending", 50000, [](int n) { return RegisterIds(n, "descending"); });
const int kIdsRandom = RegisterScaleShape("ids random", 50000, [](int n) { return RegisterIds(n, "random"); });

// n empty paragraphs (a <p> closed at once) in a document of n IDs.
const int kFreed = RegisterScaleShape("freed paragraphs", 20000, [](int n) {
  auto list = DocumentWithIds(n);
  return SecondsOf([&] {
    for (int i = 0; i < n; ++i) list->Add(NewParagraph(*list));
  });
});

// n font changes with no text between them (<b><i><font>...) in a document
// of n IDs: each new run replaces the one before it.
const int kRuns = RegisterScaleShape("run replacements", 20000, [](int n) {
  auto list = DocumentWithIds(n);
  auto paragraph = NewParagraph(*list);
  paragraph->AddText("x", 0);
  return SecondsOf([&] {
    for (int i = 0; i < n; ++i) paragraph->AddFont(Font(10 + i % 3), "");
  });
});

// One paragraph of n words, each followed by two blanks (as preformatted
// source copied into a paragraph gives), finished when added.
const int kFinish = RegisterScaleShape("Finish, doubled blanks", 80000, [](int n) {
  TSectionList list(nullptr, nullptr);
  auto paragraph = NewParagraph(list);
  for (int i = 0; i < n; ++i) paragraph->AddText("word  ", i * 6);
  return SecondsOf([&] { list.Add(std::move(paragraph)); });
});

// A paragraph that is a list of n links, one run each, searched for text
// that is not there.
const int kFind = RegisterScaleShape("FindString, many runs", 8000, [](int n) {
  TSectionList list(nullptr, nullptr);
  auto paragraph = NewParagraph(list);
  for (int i = 0; i < n; ++i) {
    paragraph->AddFont(Font(10 + i % 3), "");
    paragraph->AddText("entry " + std::to_string(i) + " ", i * 16);
  }
  TSection* raw = paragraph.get();
  list.Add(std::move(paragraph));
  int end = 0;
  return SecondsOf([&] { (void)raw->FindString(0, "not in the list", false, end); });
});

}  // namespace
}  // namespace lark::bench
