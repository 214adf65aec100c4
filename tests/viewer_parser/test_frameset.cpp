// Frameset documents through a test double of the frame classes.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "html/attribute_list.h"
#include "platform/core/stream.h"
#include "platform/core/string_list.h"
#include "tests/support/test_files.h"
#include "viewer/frameset_parser.h"

namespace lark {
namespace {

// Records what the reader asks of it; refuses a sub-frameset whose ID is
// "refuse" and a frame whose ID is "refuse".
class RecordingFrameSet : public TFrameSetBuilder {
 public:
  RecordingFrameSet(std::vector<std::string>& log, int depth) : log_(log), depth_(depth) {}
  void InitializeFromAttributes(const TAttributeList& attributes) override {
    log_.push_back(std::to_string(depth_) + " init " + Text(attributes, ColsSy));
  }
  bool AddFrame(const TAttributeList& attributes) override {
    log_.push_back(std::to_string(depth_) + " frame " + Text(attributes, SrcSy));
    return Text(attributes, IDSy) != "refuse";
  }
  TFrameSetBuilder* CreateSubFrameSet(const TAttributeList& attributes) override {
    if (Text(attributes, IDSy) == "refuse") return nullptr;
    children_.push_back(std::make_unique<RecordingFrameSet>(log_, depth_ + 1));
    return children_.back().get();
  }
  void Finish() override { log_.push_back(std::to_string(depth_) + " finish"); }
  int Deepest() const {
    int deepest = depth_;
    for (const auto& child : children_) deepest = std::max(deepest, child->Deepest());
    return deepest;
  }

 private:
  static std::string Text(const TAttributeList& attributes, Symb sy) {
    const TAttribute* a = attributes.Find(sy);
    return a ? a->Name : std::string();
  }
  std::vector<std::string>& log_;
  int depth_;
  std::vector<std::unique_ptr<RecordingFrameSet>> children_;
};

TEST(FrameSet, ReadsFramesNestedSetsAndTheHead) {
  std::vector<std::string> log;
  RecordingFrameSet top(log, 1);
  std::string script;
  TFrameSetHooks hooks;
  hooks.OnScript = [&](TObject*, const std::string&, const std::string&, const std::string& text) { script = text; };
  const THtmlDocumentInfo info = ParseFrameSet(
      "<title>Frames</title><base href=http://h/d/ target=main><script>'<frameset>'</script>"
      "<frameset cols=50,*><frame src=a.html><noframes><frame src=no.html></noframes>"
      "<frameset id=refuse><frame src=skipped.html></frameset>"
      "<frameset cols=1><frame src=b.html id=refuse></frameset></frameset><frame src=after.html>",
      top, hooks);
  EXPECT_EQ(info.Title, "Frames");
  EXPECT_EQ(info.Base, "http://h/d/");
  EXPECT_EQ(info.BaseTarget, "main");
  EXPECT_EQ(script, "'<frameset>'");
  const std::vector<std::string> expected = {"1 init 50,*", "1 frame a.html", "2 init 1", "2 frame b.html",
                                             "2 finish", "1 finish"};
  EXPECT_EQ(log, expected);
}

TEST(FrameSet, DeepNestingStopsAtEightWithoutRecursing) {
  std::string text;
  for (int i = 0; i < 100'000; ++i) text += "<frameset>";
  text += "<frame src=deep.html>";
  std::vector<std::string> log;
  RecordingFrameSet top(log, 1);
  ParseFrameSet(text, top);
  EXPECT_EQ(top.Deepest(), kMaxFrameSetDepth);
  EXPECT_TRUE(IsFrameSetDocument(text));
}

TEST(FrameSet, RecognisedOnlyBeforeABody) {
  EXPECT_TRUE(IsFrameSetDocument("<html><head><title>x</title></head><frameset rows=*>"));
  EXPECT_FALSE(IsFrameSetDocument("<script>document.write('<frameset>')</script><p>text<frameset>"));
  EXPECT_FALSE(IsFrameSetDocument("just text"));
}

TEST(FrameSet, EverySourceKindReadsAndAMissingOneReadsNothing) {
  const std::string text = "<frameset>\n<frame src=a.html>\n</frameset>";
  const test::TempDir dir;
  TStringList lines;
  lines.SetText(text);
  TMemoryStream stream;
  stream.Write(text.data(), static_cast<std::int64_t>(text.size()));
  TDocumentSource sources[4];
  sources[0].Kind = TDocumentSource::TKind::FileName;
  sources[0].FileName = dir.Write("frames.html", text);
  sources[1].Buffer = text.data();
  sources[1].Length = text.size();
  sources[2].Kind = TDocumentSource::TKind::Strings;
  sources[2].Strings = &lines;
  sources[3].Kind = TDocumentSource::TKind::Stream;
  sources[3].Stream = &stream;
  for (const TDocumentSource& source : sources) {
    std::vector<std::string> log;
    RecordingFrameSet top(log, 1);
    ParseFrameSet(source, top);
    EXPECT_EQ(log.size(), 3u);
    EXPECT_TRUE(IsFrameSetDocument(source));
  }
  EXPECT_EQ(*ReadDocumentSource(sources[0]), "<frameset>\r\n<frame src=a.html>\r\n</frameset>\r\n");
  std::vector<std::string> log;
  RecordingFrameSet top(log, 1);
  TDocumentSource missing;
  missing.Kind = TDocumentSource::TKind::Stream;
  ParseFrameSet(missing, top);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(IsFrameSetDocument(missing));
}

}  // namespace
}  // namespace lark
