#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/windows/form.h"

namespace lark {

class TButton;
class TDiskCache;
class TLabel;
class TLanguage;
class TPartFile;
class TProgressBar;
class TURLConnection;

// Asks the dialog to save its page once it shows (WM_USER+31).
inline constexpr UINT WM_SAVEPAGE = 0x0400 + 31;

// Saves the bytes of one page (no pictures) to a file: from the disk cache
// when it holds the page, else fetched. Like a download, the bytes go to a
// new file beside the target that takes its place only when whole.
class TfrmSaveHTML : public TForm {
 public:
  explicit TfrmSaveHTML(TComponent* owner);
  ~TfrmSaveHTML() override;

  // Set before Execute: where cached pages are looked up (may be null) and
  // the proxy a fetch goes through.
  TDiskCache* DiskCache = nullptr;
  std::string ProxyHost;
  std::string ProxyPort;

  // Saves URL to FileName; Cancelled tells whether the dialog ended with
  // Cancel (the user's Abort). A failure ends with Abort, after a message.
  void Execute(const std::string& URL, const std::string& FileName, bool& Cancelled);
  // True when the file holds the page.
  [[nodiscard]] bool Saved() const { return saved_; }

  TLabel* lbDocument = nullptr;
  TProgressBar* ProgressBar = nullptr;
  TButton* Button1 = nullptr;

  void ApplyLanguage(const TLanguage& language);
  void Button1Click(TObject* sender);

 protected:
  void WndProc(TMessage& message) override;

 private:
  void SavePage();
  // Fills the part file from the cache or the network; "" or why it failed.
  std::string FetchInto(TPartFile& part);
  void ConnectionProgress();

  std::string url_;
  std::string fileName_;
  std::unique_ptr<TURLConnection> connection_;
  bool aborted_ = false;
  bool saved_ = false;
  bool failed_ = false;
};

}  // namespace lark
