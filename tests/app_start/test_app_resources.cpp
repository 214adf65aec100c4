#include <gtest/gtest.h>

#include "app/app_resources.h"
#include "app/language.h"
#include "platform/core/file_routines.h"
#include "platform/graphics/avi_reader.h"
#include "platform/graphics/resources.h"

namespace lark {
namespace {

TEST(AppResources, TheBusyClipPlaysAndMoves) {
  RegisterAppResources();
  const auto bytes = FindResource("AviDefault");
  ASSERT_TRUE(bytes);
  TAviClip clip{std::string(*bytes)};
  ASSERT_GT(clip.FrameCount(), 1);
  const auto first = clip.Frame(0);
  EXPECT_NE(clip.Frame(1), first);
}

// The shipped language file lies beside the test as beside the program.
TEST(AppResources, TheShippedLanguageFileHasEveryMainWindowText) {
  TLanguage language;
  language.SetFileName(ProgramDir() + "BROWSER.LGV");
  language.FillLanguages();
  ASSERT_EQ(language.Languages().size(), 2u);
  for (int index : {1, 2}) {
    language.SetLanguage(index);
    language.LoadTexts();
    std::string text;
    for (int id = 72; id <= 185; ++id) {
      if (id == 99 || id == 112 || id == 117 || id == 128 || id == 173 || id == 177) continue;  // unused ids
      EXPECT_TRUE(language.GetText(std::to_string(id), text) && !text.empty()) << index << ": " << id;
    }
    EXPECT_TRUE(language.GetText("l2", text) && !text.empty());
  }
  EXPECT_TRUE(FileExists(ProgramDir() + "block.html"));
}

}  // namespace
}  // namespace lark
