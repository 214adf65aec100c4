#include "app/file_scan.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "app/scan_document_info.h"
#include "app/scan_result_page.h"
#include "platform/core/file_routines.h"
#include "platform/core/format.h"
#include "platform/core/message_pump.h"
#include "platform/core/path_routines.h"
#include "platform/core/string_routines.h"

namespace lark {

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// A month not yet chosen admits the longest month's days.
int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return month >= 0 && month <= 12 ? kDays[month] : 31;
}

void CheckYear(int year, const char* message) {
  if (year != 0 && year < 1901) throw EInvalidStartEndDate(message);
}
void CheckMonth(int month, const char* message) {
  if (month != 0 && (month < 1 || month > 12)) throw EInvalidStartEndDate(message);
}
void CheckDay(int year, int month, int day, const char* message) {
  if (day != 0 && (day < 1 || day > DaysInMonth(year, month))) throw EInvalidStartEndDate(message);
}

// Setting the current value again does nothing; a value the check refuses
// leaves the old one.
template <typename Check>
void SetDatePart(int& part, int value, Check check) {
  if (value == part) return;
  check(value);
  part = value;
}

// Midnight of a range date. An unset month or day stands for the first; a
// day beyond a month changed after it was set stands for the month's last.
TDateTime DayOf(int year, int month, int day) {
  month = std::max(month, 1);
  return EncodeDate(year, month, std::clamp(day, 1, DaysInMonth(year, month)));
}

template <typename T>
bool Compare(T value, T limit, TFileCompType comp) {
  switch (comp) {
    case TFileCompType::fctNone: return true;
    case TFileCompType::fctEqual: return value == limit;
    case TFileCompType::fctGreaterThan: return value > limit;
    case TFileCompType::fctLessThan: return value < limit;
    case TFileCompType::fctGreaterThanOrEqual: return value >= limit;
    case TFileCompType::fctLessThanOrEqual: return value <= limit;
  }
  return true;
}

// ---------------------------------------------------------------------------
// Names and directories.


constexpr std::size_t kMaxPatternLength = 10000;

std::vector<std::string> SplitPatterns(std::string_view specs) {
  std::vector<std::string> patterns;
  std::size_t start = 0;
  while (start <= specs.size()) {
    std::size_t end = specs.find(';', start);
    if (end == std::string_view::npos) end = specs.size();
    std::string piece = Trim(specs.substr(start, std::min(end - start, kMaxPatternLength)));
    if (!piece.empty()) patterns.push_back(std::move(piece));
    start = end + 1;
  }
  return patterns;
}

struct DirEntry {
  std::string Name;
  unsigned char Type;  // d_type: DT_UNKNOWN when the file system does not say
};

// The entries of a directory, sorted by name, so that results come out in
// the same order on every run.
bool ListDirectory(const std::string& directory, std::vector<DirEntry>& entries) {
  DIR* dir = opendir(directory.c_str());
  if (dir == nullptr) return false;
  while (const dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    entries.push_back({entry->d_name, entry->d_type});
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) { return a.Name < b.Name; });
  return true;
}

bool IsHiddenName(std::string_view name) { return !name.empty() && name[0] == '.'; }

TSearchRec MakeRec(const std::string& name, const struct stat& st) {
  TSearchRec rec;
  rec.Name = name;
  rec.Size = st.st_size;
  rec.TimeStamp = UnixTimeToDateTime(st.st_mtime);
  if ((st.st_mode & S_IWUSR) == 0) rec.Attr |= faReadOnly;
  if (IsHiddenName(name)) rec.Attr |= faHidden;
  rec.Attr |= S_ISDIR(st.st_mode) ? faDirectory : faArchive;
  return rec;
}

// Kernel interfaces shown as files: reading them can block, never end
// (/proc/kcore) or have side effects, and they hold no documents.
bool IsPseudoFileSystem(const std::string& directory) {
  struct statfs fs {};
  if (statfs(directory.c_str(), &fs) != 0) return false;
  switch (static_cast<unsigned long>(fs.f_type)) {
    case PROC_SUPER_MAGIC: case SYSFS_MAGIC: case DEBUGFS_MAGIC: case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC: case CGROUP_SUPER_MAGIC: case CGROUP2_SUPER_MAGIC: case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC: case DEVPTS_SUPER_MAGIC: case EFIVARFS_MAGIC: case 0x62656570 /* configfs */:
    case 0x65735543 /* fusectl */: case 0x19800202 /* mqueue */:
      return true;
    default:
      return false;
  }
}

// Opens a file for reading without blocking on whatever it turns out to be;
// -1 unless it is a regular file.
int OpenRegularFile(const std::string& path, struct stat& st) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return -1;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return -1;
  }
  return fd;
}

// Reads up to count bytes; -1 on a read error.
std::int64_t ReadFully(int fd, char* buffer, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = read(fd, buffer + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<std::int64_t>(done);
}

std::string ReadHead(const std::string& path) {
  struct stat st {};
  const int fd = OpenRegularFile(path, st);
  if (fd < 0) return {};
  std::string head(kDocumentHeadSize, '\0');
  const std::int64_t got = ReadFully(fd, head.data(), head.size());
  close(fd);
  head.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
  return head;
}

}  // namespace

// ---------------------------------------------------------------------------

TOneResult::TOneResult(std::string title, std::int64_t size, TDateTime date, const std::string& path,
                       std::string summary, bool titleIsPath)
    : Title(std::move(title)),
      Summary(std::move(summary)),
      URL(FileUrl(path)),
      Date(date),
      Size(size),
      TitleIsPath(titleIsPath) {}

// What one search keeps while it runs.
class TFileScan::Session {
 public:
  explicit Session(const TFileScan& scan)
      : today(Date() + 0.99999),
        rules{scan.SearchStringType, scan.BeforeDelimiters, scan.AfterDelimiters},
        windows(kScanBlockSize, LongestNeedle(scan)) {
    for (int i = 0; i < scan.SearchStrings.Count(); ++i) {
      const std::string& s = scan.SearchStrings.At(i);
      if (s.empty()) continue;
      strings.push_back(s);
      needles.emplace_back(s, scan.CaseSense);
    }
  }

  static std::size_t LongestNeedle(const TFileScan& scan) {
    std::size_t longest = 0;
    for (int i = 0; i < scan.SearchStrings.Count(); ++i) longest = std::max(longest, scan.SearchStrings.At(i).size());
    return longest;
  }

  double today;
  MatchRules rules;
  WindowBuilder windows;
  std::vector<std::string> strings;  // as given, for the buffer-scan events
  std::vector<TNeedle> needles;  // as matched
  // Directories already scanned, so that links never lead into a loop or
  // through the same tree twice.
  std::set<std::pair<dev_t, ino_t>> visited;
  // The first block of the file being looked at, for its title and summary,
  // so that each file is read only once. It views the scan's window while
  // that still holds the block, and the copy once a second block is read.
  std::string_view head;
  std::string headCopy;
  bool headValid = false;
  bool stoppedByUser = false;
};

TFileScan::TFileScan() = default;
TFileScan::~TFileScan() = default;

void TFileScan::SetStartYear(int year) {
  SetDatePart(startYear_, year, [](int y) { CheckYear(y, "Invalid Start Year: Year Must be > 1900 - Or Equal 0"); });
}
void TFileScan::SetStartMonth(int month) {
  SetDatePart(startMonth_, month,
              [](int m) { CheckMonth(m, "Invalid Start Month: Month Must be 0 < Month > 13 - Or Equal to 0"); });
}
void TFileScan::SetStartDay(int day) {
  SetDatePart(startDay_, day, [this](int d) {
    CheckDay(startYear_, startMonth_, d, "Invalid Start Day: Day Must be 0 > Day < (Max for Month)");
  });
}
void TFileScan::SetEndYear(int year) {
  SetDatePart(endYear_, year, [](int y) { CheckYear(y, "Invalid End Year: Year Must be > 1900 or Equal 0"); });
}
void TFileScan::SetEndMonth(int month) {
  SetDatePart(endMonth_, month,
              [](int m) { CheckMonth(m, "Invalid End Month: Month Must be 0 < Month > 13 - Or Equal to 0"); });
}
void TFileScan::SetEndDay(int day) {
  SetDatePart(endDay_, day, [this](int d) {
    CheckDay(endYear_, endMonth_, d, "Invalid End Day: Day Must be 0 > Day < (Max for Month)");
  });
}

void TFileScan::StartScan() {
  if (session_) throw EInvalidOperation("A local search is already running");
  const std::string root = IncludeTrailingPathDelimiter(ExpandFileName(SearchAllDrives ? "/" : Directory));
  struct stat st {};
  if (stat(root.c_str(), &st) != 0) throw EInOutError("Cannot search " + root + ": " + std::strerror(errno));
  if (!S_ISDIR(st.st_mode)) throw EInOutError("Cannot search " + root + ": it is not a folder");
  Aborted = false;
  if (!AppendItems) Results.Clear();
  unreadableFiles_ = 0;
  unreadableDirectories_ = 0;
  // The session ends however the search does, so the next one starts clean.
  session_ = std::make_unique<Session>(*this);
  struct EndSession {
    std::unique_ptr<Session>& session;
    ~EndSession() { session.reset(); }
  } endSession{session_};
  session_->visited.insert({st.st_dev, st.st_ino});

  if (OnStartSearch) OnStartSearch();
  if (!IsPseudoFileSystem(root)) ScanDirectory(root);
  const bool stoppedByUser = session_->stoppedByUser;
  session_.reset();
  if (stoppedByUser) return;
  WriteResultPage();
  if (OnEndSearch) OnEndSearch();
}

TFileScan::Walk TFileScan::ScanDirectory(const std::string& directory) {
  std::vector<DirEntry> entries;
  if (!ListDirectory(directory, entries)) {
    ++unreadableDirectories_;
    return Walk::Continue;
  }
  for (const std::string& pattern : SplitPatterns(FileSpecs)) {
    for (const DirEntry& entry : entries) {
      if (!MatchesMask(entry.Name, pattern)) continue;
      if (entry.Type != DT_REG && entry.Type != DT_LNK && entry.Type != DT_UNKNOWN) continue;
      if (IsHiddenName(entry.Name) && !FileType.Has(TFileAttr::ftHidden)) continue;
      struct stat st {};
      // Devices, FIFOs and sockets are never files of a search.
      if (stat((directory + entry.Name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
      if (ScanFile(directory, MakeRec(entry.Name, st)) == Walk::Stop) return Walk::Stop;
    }
  }
  if (!IncSubDir) return Walk::Continue;
  for (const DirEntry& entry : entries) {
    // Names with a dot are not searched: this also leaves out "." and "..".
    if (entry.Name.find('.') != std::string::npos) continue;
    if (entry.Type != DT_DIR && entry.Type != DT_LNK && entry.Type != DT_UNKNOWN) continue;
    const std::string path = directory + entry.Name;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
    if (!session_->visited.insert({st.st_dev, st.st_ino}).second) continue;
    if (IsPseudoFileSystem(path)) continue;
    if (OnFoundDirectory) OnFoundDirectory(directory, MakeRec(entry.Name, st));
    if (ScanDirectory(path + "/") == Walk::Stop) return Walk::Stop;
  }
  return Walk::Continue;
}

TFileScan::Walk TFileScan::ScanFile(const std::string& directory, const TSearchRec& file) {
  session_->headValid = false;
  if (OnScanProgress) OnScanProgress(directory + file.Name + std::string(78, ' '));
  bool passed = PassesFilters(file);
  if (passed && SearchStrings.Count() > 0) {
    const int found = SearchFile(directory + file.Name);
    if (found < 0) ++unreadableFiles_;
    passed = found > 0;
  }
  if (passed) AddHit(directory, file);
  return AfterFile();
}

TFileScan::Walk TFileScan::AfterFile() {
  ProcessPendingMessages();
  if (Aborted) {
    Results.Add(std::string(kAbortedLine));
    session_->stoppedByUser = true;
    return Walk::Stop;
  }
  if (MatchLimit > 0 && Results.Count() >= MatchLimit) {
    Results.Add(std::string(kMatchLimitLine));
    return Walk::Stop;
  }
  return Walk::Continue;
}

bool TFileScan::PassesFilters(const TSearchRec& file) const {
  if (!Compare<std::int64_t>(file.Size, FileSize, FileSizeComp)) return false;
  if (FileAgeComp != TFileCompType::fctNone) {
    const double age = std::nearbyint(session_->today - file.TimeStamp);
    if (!Compare<double>(age, FileAge, FileAgeComp)) return false;
  }
  return PassesDateRange(file.TimeStamp);
}

bool TFileScan::PassesDateRange(TDateTime modified) const {
  if (startYear_ == 0 && endYear_ == 0) return true;
  const TDateTime start = startYear_ != 0 ? DayOf(startYear_, startMonth_, startDay_) : EncodeDate(1900, 1, 1);
  const TDateTime end = endYear_ != 0 ? DayOf(endYear_, endMonth_, endDay_) : std::numeric_limits<double>::infinity();
  return start < modified && modified < end;
}

int TFileScan::SearchFile(const std::string& path) {
  std::unique_ptr<Session> own;
  if (!session_) own = std::make_unique<Session>(*this);
  struct stat st {};
  const int fd = OpenRegularFile(path, st);
  if (fd < 0) return -1;
  const int result = ScanContent(session_ ? *session_ : *own, fd, path, st.st_size);
  close(fd);
  return result;
}

// Looks for the search strings window by window until the file is decided.
class TFileScan::ContentScan {
 public:
  ContentScan(const TFileScan& scan, const Session& session, const std::string& path)
      : scan_(scan), session_(session), path_(path), done_(session.needles.size()), remaining_(done_.size()) {}

  // True once the file is decided.
  bool Scan(const ScanWindow& window, int blockNumber) {
    for (std::size_t i = 0; i < done_.size(); ++i) {
      if (done_[i]) continue;
      const std::string& given = session_.strings[i];
      if (scan_.OnBeforeBufferScan) scan_.OnBeforeBufferScan(path_, given, window.Text, blockNumber, scan_.CaseSense);
      const bool hit = ScanBuffer(window, session_.needles[i], session_.rules) == BufferScan::Found;
      if (hit && (scan_.SearchType != TSearchType::st_And || --remaining_ == 0)) found_ = true;
      done_[i] = hit;
      if (scan_.OnAfterBufferScan)
        scan_.OnAfterBufferScan(path_, given, window.Text, blockNumber, scan_.CaseSense, found_);
      if (found_) return true;
    }
    return false;
  }

  [[nodiscard]] int Result() const {
    if (scan_.SearchType == TSearchType::st_Not) return found_ ? 0 : 1;
    return found_ ? 1 : 0;
  }

 private:
  const TFileScan& scan_;
  const Session& session_;
  const std::string& path_;
  std::vector<bool> done_;
  std::size_t remaining_;
  bool found_ = false;
};

int TFileScan::ScanContent(Session& session, int fd, const std::string& path, std::int64_t size) {
  ContentScan content(*this, session, path);
  const bool keepHead = (ShowTitle || ShowSummary || METASearch) && IsDocumentFile(path);
  if (METASearch) {
    // Only the META description and keywords are searched.
    session.headCopy.resize(kDocumentHeadSize);
    const std::int64_t got = ReadFully(fd, session.headCopy.data(), session.headCopy.size());
    if (got < 0) return -2;
    session.headCopy.resize(static_cast<std::size_t>(got));
    session.head = session.headCopy;
    session.headValid = true;
    const std::string meta = keepHead ? ReadDocumentInfo(session.head, {.Meta = true}).MetaText : std::string();
    content.Scan(ScanWindow{meta, 0, true, true}, 1);
    return content.Result();
  }
  session.windows.Reset();
  std::int64_t total = 0;
  for (int block = 1;; ++block) {
    char* space = session.windows.BlockSpace();
    // Asking for just the bytes the file has spares the read that finds its
    // end; a file that shrank meanwhile ends at the short read.
    const std::size_t want =
        size > total ? static_cast<std::size_t>(std::min<std::int64_t>(kScanBlockSize, size - total)) : kScanBlockSize;
    const std::int64_t got = ReadFully(fd, space, want);
    if (got < 0) return -2;
    if (got == 0) break;
    total += got;
    const bool endsFile = got < static_cast<std::int64_t>(want) || total >= size;
    const ScanWindow window = session.windows.Commit(static_cast<std::size_t>(got), endsFile);
    if (block == 1 && keepHead) {
      session.head = window.Text;
      session.headValid = true;
    }
    if (content.Scan(window, block) || endsFile) break;
    if (block == 1 && keepHead) {
      session.headCopy.assign(window.Text);
      session.head = session.headCopy;
    }
  }
  return content.Result();
}

void TFileScan::AddHit(const std::string& directory, const TSearchRec& file) {
  const std::string path = directory + file.Name;
  if (OnFoundFile) OnFoundFile(directory, file);
  TDocumentInfo info;
  if ((ShowTitle || ShowSummary) && IsDocumentFile(file.Name)) {
    if (!session_->headValid) {
      session_->headCopy = ReadHead(path);
      session_->head = session_->headCopy;
    }
    info = ReadDocumentInfo(session_->head, {.Title = ShowTitle, .Summary = ShowSummary});
  }
  const bool titleIsPath = info.Title.empty();
  Results.AddObject(DisplayLine(path, file), new TOneResult(titleIsPath ? path : info.Title, file.Size, file.TimeStamp,
                                                            path, info.Summary, titleIsPath));
}

std::string TFileScan::DisplayLine(const std::string& path, const TSearchRec& file) const {
  std::string line = IncDirName ? path : file.Name;
  if (ShowSize) line += "  " + Format("%12.0n", static_cast<double>(file.Size));
  if (ShowDate) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
    DecodeDate(file.TimeStamp, year, month, day);
    DecodeTime(file.TimeStamp, hour, minute, second, millisecond);
    if (year < 1930) year += 100;
    line += "  " + Format("%10s", Format("%4.2d/%2.2d/%2.2d", year, month, day));
    line += "  " + Format("%8s", Format("%2.2d:%2.2d:%2.2d", hour, minute, second));
  }
  if (ShowAttr) {
    line += "  ";
    line += (file.Attr & faReadOnly) ? 'R' : '-';
    line += (file.Attr & faHidden) ? 'H' : '-';
    line += (file.Attr & faSysFile) ? 'S' : '-';
    line += (file.Attr & faVolumeID) ? 'V' : '-';
    line += (file.Attr & faDirectory) ? 'D' : '-';
    line += (file.Attr & faArchive) ? 'A' : '-';
  }
  return line;
}

}  // namespace lark
