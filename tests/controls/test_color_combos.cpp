// The colour and font lists, owner-drawn through the window layer.

#include "controls/color_combos.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "platform/core/string_routines.h"
#include "tests/platform_windows/window_fixture.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

// Every family name fontconfig lists for a pattern, a line's secondary names
// included ("DejaVu Sans,DejaVu Sans Light").
std::set<std::string> FcFamilies(const std::string& pattern) {
  std::set<std::string> names;
  FILE* out = ::popen(("fc-list '" + pattern + "' family").c_str(), "r");
  char line[512];
  while (out && std::fgets(line, sizeof line, out)) {
    std::string text(line);
    text = text.substr(0, text.find('\n'));
    for (std::size_t start = 0; start <= text.size();) {
      const std::size_t comma = std::min(text.find(',', start), text.size());
      if (comma > start) names.insert(text.substr(start, comma - start));
      start = comma + 1;
    }
  }
  if (out) ::pclose(out);
  return names;
}

std::set<std::string> Listed(TComboBox& combo) {
  std::set<std::string> names;
  for (int i = 0; i < combo.Items().Count(); ++i) names.insert(combo.Items().Get(i));
  return names;
}

// Records where the selection field was drawn.
class ProbeColorCombo : public TColorComboBox {
 public:
  using TColorComboBox::TColorComboBox;
  TRect field{};

 protected:
  void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override {
    if (state & odComboBoxEdit) field = rect;
    TColorComboBox::DrawItem(index, rect, state);
  }
};

class ColorCombos : public FormTest {};

TEST_F(ColorCombos, SixteenNamedColoursPartlyRenamedAndUnlistedValuesReadBack) {
  auto* combo = new ProbeColorCombo(form.get());
  combo->SetParent(form.get());
  combo->ColorNames().Add("Schwarz");
  combo->ColorNames().Add("");
  combo->ColorNames().Add("Grün");
  form->Show();
  ASSERT_EQ(combo->Items().Count(), 16);
  EXPECT_EQ(combo->Items().Get(0), "Schwarz");
  EXPECT_EQ(combo->Items().Get(1), "Maroon");
  EXPECT_EQ(combo->Items().Get(2), "Grün");
  EXPECT_EQ(combo->Items().Get(15), "White");
  EXPECT_EQ(combo->ItemColor(4), RGB(0, 0, 128));

  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  combo->SetColorValue(0x123456);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->ColorValue(), 0x123456);
  combo->SetColorValue(RGB(255, 0, 0));
  EXPECT_EQ(combo->Items().Get(combo->ItemIndex()), "Red");
  EXPECT_EQ(changes, 2);

  Drain();
  const TRect f = combo->field;
  ASSERT_GT(f.Right, f.Left);
  EXPECT_EQ(test_driver::PixelAt(combo, f.Left + 12, (f.Top + f.Bottom) / 2), 0xFF0000u);  // the swatch
  EXPECT_EQ(test_driver::PixelAt(combo, f.Left + 2, (f.Top + f.Bottom) / 2), 0x000000u);   // its outline
}

TEST_F(ColorCombos, AnEditableBoxReadsTypedNamesAndNumbers) {
  auto* combo = new TColorComboBox(form.get());
  combo->SetParent(form.get());
  combo->SetStyle(TOwnerDrawComboStyle::csDropDown);
  form->Show();
  combo->SetColorValue(0x123456);
  EXPECT_EQ(combo->GetText(), "$00123456");
  combo->SetText("navy");
  EXPECT_EQ(combo->ColorValue(), RGB(0, 0, 128));
  combo->SetText("$00654321");
  EXPECT_EQ(combo->ColorValue(), 0x654321);
  combo->SetText("no colour");
  EXPECT_EQ(combo->ColorValue(), 0x123456);  // the stored value
}

TEST_F(ColorCombos, TheFontListHoldsTheInstalledFamiliesAndFilters) {
  auto* combo = new TFontComboBox(form.get());
  combo->SetParent(form.get());
  form->Show();
  // Fontconfig's names, the classic ones and the generic ones, nothing else.
  std::set<std::string> expected = FcFamilies(":");
  expected.insert({"Arial", "Times New Roman", "Courier New", "Serif", "Sans Serif", "Monospace"});
  EXPECT_EQ(Listed(*combo), expected);
  EXPECT_EQ(combo->FontTypeOf("DejaVu Sans") & TRUETYPE_FONTTYPE, TRUETYPE_FONTTYPE);

  combo->SetFontName("dejavu sans mono");
  EXPECT_EQ(combo->FontName(), "DejaVu Sans Mono");
  combo->SetOptions(foFixedPitchOnly);
  std::set<std::string> fixed = FcFamilies(":spacing=mono");
  fixed.insert({"Courier New", "Monospace"});
  std::set<std::string> fixed_listed = Listed(*combo);
  for (const std::string& family : fixed) EXPECT_EQ(fixed_listed.count(family), 1u) << family;
  EXPECT_EQ(fixed_listed.count("DejaVu Sans"), 0u);
  EXPECT_EQ(combo->FontName(), "DejaVu Sans Mono");  // kept through the rebuild

  combo->SetOptions(0);
  combo->SetTrueTypeOnly(true);
  EXPECT_TRUE(combo->TrueTypeOnly());
  for (const std::string& family : FcFamilies(":scalable=true")) EXPECT_EQ(Listed(*combo).count(family), 1u) << family;
}

// A copy of DejaVu Sans under another family name, made with Debian's
// fontTools, installed while the list shows.
TEST_F(ColorCombos, AFontInstalledMeanwhileShowsUpAndTheChosenNameStays) {
  const std::string source = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
  test::TempDir dir;
  const std::string copy = dir.File("renamed.ttf");
  const std::string script =
      "import sys\nfrom fontTools.ttLib import TTFont\nf = TTFont(sys.argv[1])\n"
      "for r in f['name'].names:\n"
      "    if r.nameID in (1, 4, 6, 16): r.string = 'Larkspan Renamed Sans' if r.nameID != 6 else 'LarkspanRenamedSans'\n"
      "f.save(sys.argv[2])\n";
  test::WriteFile(dir.File("rename.py"), script);
  ASSERT_EQ(std::system(("/usr/bin/python3 " + dir.File("rename.py") + " " + source + " " + copy).c_str()), 0);
  auto* combo = new TFontComboBox(form.get());
  combo->SetParent(form.get());
  form->Show();
  combo->SetFontName("Liberation Serif");
  EXPECT_EQ(Listed(*combo).count("Larkspan Renamed Sans"), 0u);
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  ASSERT_TRUE(test_driver::InstallFont(copy));
  Drain();
  EXPECT_EQ(Listed(*combo).count("Larkspan Renamed Sans"), 1u);
  EXPECT_EQ(combo->FontName(), "Liberation Serif");
  EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace lark
