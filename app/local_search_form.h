#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/windows/form.h"

namespace lark {

// How often a running search shows its progress and lets messages (Stop)
// through: a pump per file cost more than the search of small files.
inline constexpr std::uint32_t kSearchProgressMs = 40;

class TButton;
class TCheckBox;
class TComboBox;
class TControl;
class TDateTimePicker;
class TEdit;
class TFileScan;
class TLabel;
class TLanguage;
class TPageControl;
class TSpeedButton;
class TSpinEdit;
class TTabSheet;

// The dialog in which the user describes a search of the local disk, runs
// it with a Stop button and, when it ends, closes with OK so that the main
// window opens the page it wrote. Created once and reused: it keeps its
// settings and histories between showings.
class TfrmLocalSearch : public TForm {
 public:
  // `programDir` is where the result folder goes unless `cdrom`.
  TfrmLocalSearch(TComponent* owner, std::string programDir, bool cdrom);
  ~TfrmLocalSearch() override;

  TPageControl* PageControl1 = nullptr;
  TTabSheet *tsGeneral = nullptr, *tsAdvanced = nullptr;
  TButton *btStart = nullptr, *btCancel = nullptr;
  TComboBox *cbKeyword = nullptr, *cbSearchType = nullptr, *cbLimitToDirectory = nullptr, *cbFileSizeComp = nullptr,
            *cbFileSizeK = nullptr, *cbFileAgeComp = nullptr, *cbSort = nullptr;
  TCheckBox *cbCaseSensitive = nullptr, *cbWholeWordOnly = nullptr, *cbIncludeSubDirectories = nullptr,
            *cbShowSize = nullptr, *cbShowAttr = nullptr, *cbArchive = nullptr, *cbReadOnly = nullptr,
            *cbHidden = nullptr, *cbSystem = nullptr, *cbNormal = nullptr, *cbShowDate = nullptr,
            *cbShowSummary = nullptr, *cbConvert = nullptr, *cbMetaSearchOnly = nullptr, *cbReverseOrder = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;
  TEdit* edFileToFind = nullptr;
  TSpinEdit *seFileSize = nullptr, *seFileAge = nullptr;
  TDateTimePicker *dtpDateStart = nullptr, *dtpDateEnd = nullptr;
  TLabel *lbScanning = nullptr, *Label1 = nullptr, *lbKeyword = nullptr, *lbSearchType = nullptr,
         *lbLimitToDirectory = nullptr, *lbFileToFind = nullptr, *lbFileAge = nullptr, *lbDays = nullptr,
         *lbSortBy = nullptr, *lbDateTo = nullptr;

  // The searches of this run so far; the last one's page is
  // ResultPageName().
  [[nodiscard]] int Counter() const { return counter_; }
  // With its trailing "/"; empty until the dialog first shows.
  [[nodiscard]] const std::string& ResultFolder() const { return resultFolder_; }
  [[nodiscard]] std::string ResultPageName() const;
  [[nodiscard]] bool Searching() const { return searching_; }
  [[nodiscard]] TFileScan& FileScan() { return *fileScan_; }

  // The main window's texts, applied at every showing; null: built-in.
  const TLanguage* Language = nullptr;

  // The texts of `language`, the built-in ones where it has none.
  void ApplyLanguage(const TLanguage& language);

  void FormCreate(TObject* sender);
  void FormActivate(TObject* sender);
  void FormShow(TObject* sender);
  void UpdateControls();
  void btStartClick(TObject* sender);
  void btCancelClick(TObject* sender);
  void SpeedButton1Click(TObject* sender);
  void HistoryKeyDown(TObject* sender, unsigned short& key, TShiftState shift);

 private:
  void FindComponents();
  void BindEvents();
  void ApplyControls();
  void ApplyDates();
  void StartSearch();
  void EndSearch();
  void ShowIdleLook();

  std::unique_ptr<TFileScan> fileScan_;
  // The captions of the form resource, put back where a language has none.
  std::vector<std::pair<TControl*, std::string>> builtInCaptions_;
  std::string programDir_;
  bool cdrom_ = false;
  std::string resultFolder_;
  // Cancel's caption in the language shown; Stop replaces it while a search runs.
  std::string cancelCaption_ = "Cancel";
  int counter_ = 0;
  bool searching_ = false;
  std::uint32_t lastProgress_ = 0;
};

}  // namespace lark
