#pragma once

// The local file search: walks a directory tree (or the whole file system),
// filters files by name pattern, attributes, size, age and date, looks for
// search strings in their bytes (or in their META text), and collects the
// hits with their titles and summaries for the result page.

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "app/scan_matcher.h"
#include "platform/core/date_time.h"
#include "platform/core/exception.h"
#include "platform/core/file_routines.h"
#include "platform/core/object.h"
#include "platform/core/string_list.h"

namespace lark {

class EInvalidStartEndDate : public Exception {
 public:
  using Exception::Exception;
};

// File attributes a search admits. Only "hidden" (a name starting with ".")
// changes what is found here: read-only files are always found, and the
// system, volume and archive attributes do not exist on this platform.
enum class TFileAttr : unsigned { ftReadOnly = 1, ftHidden = 2, ftSystem = 4, ftVolumeID = 8, ftArchive = 32, ftNormal = 128 };

class TFileTypeSet {
 public:
  TFileTypeSet(std::initializer_list<TFileAttr> attrs) {
    for (TFileAttr a : attrs) bits_ |= static_cast<unsigned>(a);
  }
  [[nodiscard]] bool Has(TFileAttr a) const { return (bits_ & static_cast<unsigned>(a)) != 0; }

 private:
  unsigned bits_ = 0;
};

enum class TSearchType { st_And, st_Or, st_Not };
enum class TFileCompType {
  fctNone,
  fctEqual,
  fctGreaterThan,
  fctLessThan,
  fctGreaterThanOrEqual,
  fctLessThanOrEqual
};
enum class TSortType { stNone, stTitle, stDate, stSize };

// One hit.
class TOneResult : public TObject {
 public:
  // path is the file's absolute path; the URL is built from it.
  TOneResult(std::string title, std::int64_t size, TDateTime date, const std::string& path, std::string summary,
             bool titleIsPath);

  std::string Title;
  std::string Summary;
  std::string URL;
  TDateTime Date;  // modification time
  std::int64_t Size;
  // The title is the file's path, plain text; otherwise it is HTML source
  // taken from the file.
  bool TitleIsPath;
};

// Texts of the lines that end a stopped search.
inline constexpr std::string_view kAbortedLine = "   ***** Search Aborted by User *****   ";
inline constexpr std::string_view kMatchLimitLine = "  *** Search Match Limit has been meet!  Search Stopped.";

constexpr std::size_t kScanBlockSize = 30000;

class TFileScan {
 public:
  TFileScan();
  ~TFileScan();
  TFileScan(const TFileScan&) = delete;
  TFileScan& operator=(const TFileScan&) = delete;

  TFileTypeSet FileType{TFileAttr::ftNormal};
  bool IncSubDir = true;
  std::string Directory = "/";
  // The whole file system, from its root.
  bool SearchAllDrives = false;
  std::string FileSpecs = "*.*";
  TStringList SearchStrings;
  TSearchStringType SearchStringType = TSearchStringType::sst_Normal;
  TSearchType SearchType = TSearchType::st_Or;
  bool CaseSense = false;
  std::int64_t FileSize = 0;
  TFileCompType FileSizeComp = TFileCompType::fctNone;
  int FileAge = 0;
  TFileCompType FileAgeComp = TFileCompType::fctNone;
  bool ShowSize = false;
  bool ShowDate = false;
  bool ShowAttr = false;
  bool AppendItems = false;
  bool IncDirName = true;
  int MatchLimit = 0;
  std::string BGColor;
  std::string Title;
  std::string Header;
  std::string Footer;
  std::string OutputFile;
  bool ShowTitle = false;
  bool ShowSummary = false;
  bool SWFileDate = false;
  bool SWFileSize = false;
  TSortType Sort = TSortType::stNone;
  bool METASearch = false;
  bool Reverse = false;

  // The characters that may stand before and after a match of a word,
  // prefix or suffix search.
  TDelimiterSet BeforeDelimiters = MakeDelimiterSet(" ");
  TDelimiterSet AfterDelimiters = MakeDelimiterSet(" ,.");

  // Progress: the entry being looked at. The dialog shows it in its label.
  std::function<void(const std::string& text)> OnScanProgress;
  std::function<void(const std::string& dirPath, const TSearchRec& fileInfo)> OnFoundFile;
  std::function<void(const std::string& dirPath, const TSearchRec& dirInfo)> OnFoundDirectory;
  std::function<void()> OnStartSearch;
  std::function<void()> OnEndSearch;
  // Around the scan of one search string in one block; blockNumber counts
  // from 1.
  std::function<void(const std::string& fileName, const std::string& searchString, std::string_view fileBuffer,
                      int blockNumber, bool caseSense)>
      OnBeforeBufferScan;
  std::function<void(const std::string& fileName, const std::string& searchString, std::string_view fileBuffer,
                     int blockNumber, bool caseSense, bool scanSuccessful)>
      OnAfterBufferScan;

  // Set by the dialog's Stop button; the search stops after the current file.
  bool Aborted = false;
  // Display lines of the hits, each with its TOneResult, and the line that
  // ends a stopped search (without an object).
  TStringList Results{TStringList::Ownership::OwnsObjects};

  // Files that had to be read but could not be, and directories that could
  // not be listed, in the last search.
  [[nodiscard]] int UnreadableFiles() const { return unreadableFiles_; }
  [[nodiscard]] int UnreadableDirectories() const { return unreadableDirectories_; }

  // Date range, 0 meaning unset; the setters raise EInvalidStartEndDate.
  [[nodiscard]] int StartYear() const { return startYear_; }
  [[nodiscard]] int StartMonth() const { return startMonth_; }
  [[nodiscard]] int StartDay() const { return startDay_; }
  [[nodiscard]] int EndYear() const { return endYear_; }
  [[nodiscard]] int EndMonth() const { return endMonth_; }
  [[nodiscard]] int EndDay() const { return endDay_; }
  void SetStartYear(int year);
  void SetStartMonth(int month);
  void SetStartDay(int day);
  void SetEndYear(int year);
  void SetEndMonth(int month);
  void SetEndDay(int day);

  // Runs the whole search: resets Aborted, clears Results unless
  // AppendItems, scans, writes the result page when OutputFile is set and
  // the search was not stopped by the user. A search that reaches
  // MatchLimit still writes its page.
  void StartScan();

  // The content test of one file: 1 it matches, 0 it does not, -1 it cannot
  // be opened, -2 a read failed.
  [[nodiscard]] int SearchFile(const std::string& path);

  // Writes the hits as an HTML page to OutputFile (nothing without one).
  void WriteResultPage();

 private:
  enum class Walk { Continue, Stop };
  class Session;
  class ContentScan;

  Walk ScanDirectory(const std::string& directory);
  Walk ScanFile(const std::string& directory, const TSearchRec& file);
  Walk AfterFile();
  [[nodiscard]] bool PassesFilters(const TSearchRec& file) const;
  [[nodiscard]] bool PassesDateRange(TDateTime modified) const;
  int ScanContent(Session& session, int fd, const std::string& path, std::int64_t size);
  void AddHit(const std::string& directory, const TSearchRec& file);
  [[nodiscard]] std::string DisplayLine(const std::string& path, const TSearchRec& file) const;

  int startYear_ = 0;
  int startMonth_ = 0;
  int startDay_ = 0;
  int endYear_ = 0;
  int endMonth_ = 0;
  int endDay_ = 0;

  // State of the search that runs; null between searches.
  std::unique_ptr<Session> session_;
  int unreadableFiles_ = 0;
  int unreadableDirectories_ = 0;
};

}  // namespace lark
