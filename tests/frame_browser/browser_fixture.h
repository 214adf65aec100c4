#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/stream.h"
#include "platform/windows/application.h"
#include "tests/platform_windows/window_fixture.h"
#include "viewer/frame_browser.h"

namespace lark {

// What the application answers for one URL.
struct TMemoryAnswer {
  std::string Bytes;
  ThtmlFileType DocType = ThtmlFileType::ftHTML;
  std::string NewURL{};
  bool Raise = false;
};

// One request as the browser made it.
struct TRecordedRequest {
  TObject* Sender;
  bool IsGet;
  std::string URL, Query, EncType, Referer;
  bool Reload;
};

// The application's side in memory: URL -> answer, one stream reused for
// every answer (as the real application does), every request recorded.
class TMemoryHost {
 public:
  std::map<std::string, TMemoryAnswer> Pages;
  std::vector<TRecordedRequest> Requests;
  // Run while answering, as a blocking fetch that lets messages run.
  std::function<void()> Pump;

  void Attach(TFrameBrowser& browser) {
    browser.OnGetPostRequestEx = [this](TObject* sender, bool isGet, const std::string& url,
                                        const std::string& query, const std::string& encType,
                                        const std::string& referer, bool reload, std::string& newURL,
                                        ThtmlFileType& docType, TMemoryStream*& stream) {
      Requests.push_back({sender, isGet, url, query, encType, referer, reload});
      if (Pump) Pump();
      const auto found = Pages.find(url);
      if (found == Pages.end()) return;
      if (found->second.Raise) throw std::runtime_error("host failed for " + url);
      reused_.Clear();
      reused_.Write(found->second.Bytes.data(), static_cast<std::int64_t>(found->second.Bytes.size()));
      reused_.SetPosition(0);
      newURL = found->second.NewURL;
      docType = found->second.DocType;
      stream = &reused_;
    };
  }

 private:
  TMemoryStream reused_;
};

// A browser on a shown 700 x 400 form answered by a memory host.
class BrowserTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetClientSize(700, 400);
    browser = new TFrameBrowser(form.get());
    browser->SetParent(form.get());
    browser->SetBounds(0, 0, 700, 400);
    host.Attach(*browser);
    form->Show();
    Drain();
  }
  void TearDown() override {
    form.reset();
    Drain();
    WindowTest::TearDown();
  }

  std::unique_ptr<TForm> form;
  TFrameBrowser* browser = nullptr;  // owned by the form
  TMemoryHost host;
};

}  // namespace lark
