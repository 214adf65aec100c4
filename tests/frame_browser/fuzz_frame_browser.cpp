// A browser whose application answers every request, page or frame, with
// the input: frameset documents framing themselves, broken markup, refresh.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/core/exception.h"
#include "platform/windows/application.h"
#include "platform/windows/form.h"
#include "viewer/frame_browser.h"

namespace {

using namespace lark;

std::string g_input;
TMemoryStream g_answer;

TFrameBrowser& Browser() {
  static TForm* form = [] {
    auto* made = new TForm(nullptr);
    made->SetClientSize(700, 400);
    made->Show();
    return made;
  }();
  static TFrameBrowser* browser = [] {
    auto* made = new TFrameBrowser(form);
    made->SetParent(form);
    made->SetBounds(0, 0, 700, 400);
    made->SetHistoryMaxCount(3);
    made->SetfvOptions(made->fvOptions() | fvMetaRefresh);
    made->OnGetPostRequest = [](TObject*, bool, const std::string&, const std::string&, bool, std::string&,
                                ThtmlFileType&, TMemoryStream*& stream) {
      g_answer.Clear();
      g_answer.Write(g_input.data(), static_cast<std::int64_t>(g_input.size()));
      g_answer.SetPosition(0);
      stream = &g_answer;
    };
    return made;
  }();
  return *browser;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  Application();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFrameBrowser& browser = Browser();
  g_input.assign(reinterpret_cast<const char*>(data), size);
  try {
    browser.LoadURL("http://fuzz/page.html");
    browser.Reload();
    browser.GoBack();
    browser.GoFwd();
  } catch (const Exception&) {
    // A page that cannot be shown is reported to the caller.
  }
  if (browser.CurFrameSet()->FrameCount > kMaxFramesPerPage) std::abort();
  Application()->ProcessMessages();
  return 0;
}
