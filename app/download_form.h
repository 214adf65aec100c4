#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/windows/form.h"

namespace lark {

class TButton;
class TLabel;
class TLanguage;
class TURLConnection;

// Asks the dialog to run its download once it shows (WM_USER+111).
inline constexpr UINT WM_STARTDOWNLOAD = 0x0400 + 111;
// Labels repaint at most this often while bytes arrive.
inline constexpr std::uint32_t kDownloadRepaintMs = 100;

// Fetches one URL into a file with its progress shown. The bytes go to a new
// file beside the target as they arrive, and take the target's place only
// when the transfer is whole (a 2xx answer or a complete FTP transfer, as
// long as announced); a failed or cancelled one leaves the target as it was,
// and a failure says what failed.
class TDownLoadForm : public TForm {
 public:
  explicit TDownLoadForm(TComponent* owner);
  ~TDownLoadForm() override;

  std::string URL;
  std::string FileName;
  std::string ProxyHost;
  std::string ProxyPort;
  bool Cancelled = false;
  // True when the target holds the whole document.
  [[nodiscard]] bool Completed() const { return completed_; }
  // Bytes so far and the announced length (0 or less: none announced).
  [[nodiscard]] std::int64_t Received() const { return received_; }
  [[nodiscard]] std::int64_t Total() const { return total_; }

  TLabel *lbStatus = nullptr, *lbTimeLeft = nullptr, *Status = nullptr, *TimeLeft = nullptr;
  TButton* CancelButton = nullptr;

  void ApplyLanguage(const TLanguage& language);
  void FormShow(TObject* sender);
  void CancelButtonClick(TObject* sender);

  // "%dk of %dk (at %4.1fk/sec)" and "%2.2d:%2.2d:%2.2d" for the bytes so
  // far, the announced total and the milliseconds since the start.
  [[nodiscard]] static std::string StatusText(std::int64_t received, std::int64_t total, std::int64_t elapsedMs);
  [[nodiscard]] static std::string TimeLeftText(std::int64_t received, std::int64_t total, std::int64_t elapsedMs);

 protected:
  void WndProc(TMessage& message) override;

 private:
  void Download();
  void ConnectionStarted(TObject* sender);
  void ConnectionProgress(TObject* sender);

  std::unique_ptr<TURLConnection> connection_;
  std::int64_t total_ = 0;
  std::int64_t received_ = 0;
  std::uint32_t startTime_ = 0;
  std::uint32_t lastPaint_ = 0;
  bool completed_ = false;
};

}  // namespace lark
