#include "app/local_search_form.h"

#include "app/file_scan.h"
#include "app/language.h"
#include "app/scan_result_page.h"
#include "platform/core/clock.h"
#include "platform/core/date_time.h"
#include "platform/core/exception.h"
#include "platform/graphics/color.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/check_box.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/date_time_picker.h"
#include "platform/windows/dialogs.h"
#include "platform/windows/edit.h"
#include "platform/windows/form_reader.h"
#include "platform/windows/form_registry.h"
#include "platform/windows/label.h"
#include "platform/windows/messages.h"
#include "platform/windows/page_control.h"
#include "platform/windows/small_controls.h"

namespace lark {
namespace {

template <typename T>
T* Component(const TComponent& owner, const std::string& name) {
  auto* found = dynamic_cast<T*>(owner.FindComponent(name));
  if (!found) throw EFormResourceError("frmLocalSearch: component " + name + " missing");
  return found;
}

// The built-in combo items, in the order of their text ids.
constexpr const char* kSearchTypeItems[] = {"any of the words (OR)", "all the words (AND)", "the phrase"};
constexpr int kFirstSearchTypeText = 44;
constexpr const char* kSortItems[] = {"No Sorting", "File Date", "File Size", "File Title"};
constexpr int kFirstSortText = 65;

// Dates the search admits when the date boxes are off.
constexpr int kFirstYear = 1901;
constexpr int kLastYear = 3000;

// The characters around a whole word.
constexpr const char kWordDelimiters[] = "\n\r !,./:?";

constexpr TFileCompType kAgeComps[] = {TFileCompType::fctNone,        TFileCompType::fctEqual,
                                       TFileCompType::fctGreaterThan, TFileCompType::fctGreaterThanOrEqual,
                                       TFileCompType::fctLessThan,    TFileCompType::fctLessThanOrEqual};
constexpr TFileCompType kSizeComps[] = {TFileCompType::fctEqual, TFileCompType::fctGreaterThan,
                                        TFileCompType::fctGreaterThanOrEqual, TFileCompType::fctLessThan,
                                        TFileCompType::fctLessThanOrEqual};
constexpr TSortType kSorts[] = {TSortType::stNone, TSortType::stDate, TSortType::stSize, TSortType::stTitle};
constexpr std::int64_t kSizeUnits[] = {1, 1024, 1048576};

template <typename T, std::size_t N>
T ByIndex(const T (&table)[N], int index) {
  return table[index >= 0 && static_cast<std::size_t>(index) < N ? index : 0];
}

void FillItems(TComboBox* combo, const TLanguage* language, int firstText, const char* const* builtIn, int count) {
  std::vector<std::string> items;
  for (int i = 0; i < count; ++i) {
    std::string text;
    if (!language || !language->GetText(std::to_string(firstText + i), text) || text.empty()) text = builtIn[i];
    items.push_back(text);
  }
  const int index = combo->ItemIndex();
  combo->SetItemStrings(std::move(items));
  combo->SetItemIndex(index);
}

// Window colour and black text when enabled, button face and grey text
// when not, so that a disabled edit reads as one.
void EnableEdit(TControl* control, bool enabled) {
  control->SetEnabled(enabled);
  control->SetColor(enabled ? clWindow : clBtnFace);
  TFont font = control->Font();
  font.SetColor(enabled ? clBlack : clGray);
  control->SetFont(font);
}

void AddToHistory(TComboBox* combo, const std::string& text) {
  if (text.empty() || combo->Items().IndexOf(text) >= 0) return;
  combo->Items().Insert(0, text);
}

// The keyword as search strings: the words for "any" and "all", the whole
// text for the phrase.
void SetSearchStrings(TStringList& strings, const std::string& keyword, bool phrase) {
  strings.Clear();
  if (phrase) {
    strings.Add(keyword);
    return;
  }
  std::size_t at = 0;
  while (at < keyword.size()) {
    const std::size_t start = keyword.find_first_not_of(' ', at);
    if (start == std::string::npos) break;
    const std::size_t end = std::min(keyword.find(' ', start), keyword.size());
    strings.Add(keyword.substr(start, end - start));
    at = end;
  }
}

}  // namespace

TfrmLocalSearch::TfrmLocalSearch(TComponent* owner, std::string programDir, bool cdrom)
    : TForm(owner), programDir_(std::move(programDir)), cdrom_(cdrom) {
  LoadFormResource(this, "frmLocalSearch");
  FindComponents();
  BindEvents();
  for (TControl* c : std::initializer_list<TControl*>{
           lbScanning, tsGeneral, lbKeyword, lbSearchType, lbLimitToDirectory, lbFileToFind, cbCaseSensitive,
           cbWholeWordOnly, cbIncludeSubDirectories, tsAdvanced, lbFileAge, lbDays, lbSortBy, cbShowSize,
           cbShowAttr, cbArchive, cbReadOnly, cbHidden, cbSystem, cbNormal, cbShowDate, cbShowSummary, cbConvert,
           cbMetaSearchOnly, cbReverseOrder, btStart, btCancel})
    builtInCaptions_.emplace_back(c, c->GetText());
}

TfrmLocalSearch::~TfrmLocalSearch() = default;

void TfrmLocalSearch::FindComponents() {
  PageControl1 = Component<TPageControl>(*this, "PageControl1");
  tsGeneral = Component<TTabSheet>(*this, "tsGeneral");
  tsAdvanced = Component<TTabSheet>(*this, "tsAdvanced");
  btStart = Component<TButton>(*this, "btStart");
  btCancel = Component<TButton>(*this, "btCancel");
  cbKeyword = Component<TComboBox>(*this, "cbKeyword");
  cbSearchType = Component<TComboBox>(*this, "cbSearchType");
  cbLimitToDirectory = Component<TComboBox>(*this, "cbLimitToDirectory");
  cbFileSizeComp = Component<TComboBox>(*this, "cbFileSizeComp");
  cbFileSizeK = Component<TComboBox>(*this, "cbFileSizeK");
  cbFileAgeComp = Component<TComboBox>(*this, "cbFileAgeComp");
  cbSort = Component<TComboBox>(*this, "cbSort");
  cbCaseSensitive = Component<TCheckBox>(*this, "cbCaseSensitive");
  cbWholeWordOnly = Component<TCheckBox>(*this, "cbWholeWordOnly");
  cbIncludeSubDirectories = Component<TCheckBox>(*this, "cbIncludeSubDirectories");
  cbShowSize = Component<TCheckBox>(*this, "cbShowSize");
  cbShowAttr = Component<TCheckBox>(*this, "cbShowAttr");
  cbArchive = Component<TCheckBox>(*this, "cbArchive");
  cbReadOnly = Component<TCheckBox>(*this, "cbReadOnly");
  cbHidden = Component<TCheckBox>(*this, "cbHidden");
  cbSystem = Component<TCheckBox>(*this, "cbSystem");
  cbNormal = Component<TCheckBox>(*this, "cbNormal");
  cbShowDate = Component<TCheckBox>(*this, "cbShowDate");
  cbShowSummary = Component<TCheckBox>(*this, "cbShowSummary");
  cbConvert = Component<TCheckBox>(*this, "cbConvert");
  cbMetaSearchOnly = Component<TCheckBox>(*this, "cbMetaSearchOnly");
  cbReverseOrder = Component<TCheckBox>(*this, "cbReverseOrder");
  SpeedButton1 = Component<TSpeedButton>(*this, "SpeedButton1");
  edFileToFind = Component<TEdit>(*this, "edFileToFind");
  seFileSize = Component<TSpinEdit>(*this, "seFileSize");
  seFileAge = Component<TSpinEdit>(*this, "seFileAge");
  dtpDateStart = Component<TDateTimePicker>(*this, "dtpDateStart");
  dtpDateEnd = Component<TDateTimePicker>(*this, "dtpDateEnd");
  lbScanning = Component<TLabel>(*this, "lbScanning");
  Label1 = Component<TLabel>(*this, "Label1");
  lbKeyword = Component<TLabel>(*this, "lbKeyword");
  lbSearchType = Component<TLabel>(*this, "lbSearchType");
  lbLimitToDirectory = Component<TLabel>(*this, "lbLimitToDirectory");
  lbFileToFind = Component<TLabel>(*this, "lbFileToFind");
  lbFileAge = Component<TLabel>(*this, "lbFileAge");
  lbDays = Component<TLabel>(*this, "lbDays");
  lbSortBy = Component<TLabel>(*this, "lbSortBy");
  lbDateTo = Component<TLabel>(*this, "lbDateTo");
}

// Wired here rather than by name in the resource: the names FormShow and
// FormActivate are the main window's too.
void TfrmLocalSearch::BindEvents() {
  OnCreate = [this](TObject* s) { FormCreate(s); };
  // Texts first, then the state of the controls, at every showing.
  OnShow = [this](TObject* s) {
    FormShow(s);
    FormActivate(s);
  };
  const TNotifyEvent update = [this](TObject*) { UpdateControls(); };
  cbKeyword->OnChange = update;
  cbLimitToDirectory->OnChange = update;
  edFileToFind->OnChange = update;
  cbFileAgeComp->OnChange = update;
  cbShowDate->OnClick = update;
  cbShowSize->OnClick = update;
  cbShowAttr->OnClick = update;
  const TKeyEvent history = [this](TObject* s, unsigned short& key, TShiftState shift) { HistoryKeyDown(s, key, shift); };
  cbKeyword->OnKeyDown = history;
  cbLimitToDirectory->OnKeyDown = history;
  // Enter there goes into the history; without this the form would take it
  // first for its default button and start a search instead.
  for (TComboBox* combo : {cbKeyword, cbLimitToDirectory}) {
    combo->WindowProc = [combo, previous = combo->WindowProc](TMessage& message) {
      previous(message);
      if (message.Msg == WM_GETDLGCODE && message.WParam == VK_RETURN) message.Result |= DLGC_WANTALLKEYS;
    };
  }
  SpeedButton1->OnClick = [this](TObject* s) { SpeedButton1Click(s); };
  btStart->OnClick = [this](TObject* s) { btStartClick(s); };
  btCancel->OnClick = [this](TObject* s) { btCancelClick(s); };
}

std::string TfrmLocalSearch::ResultPageName() const { return ScanResultFileName(resultFolder_, counter_); }

void TfrmLocalSearch::FormCreate(TObject*) {
  fileScan_ = std::make_unique<TFileScan>();
  fileScan_->OnStartSearch = [this] { StartSearch(); };
  fileScan_->OnEndSearch = [this] { EndSearch(); };
  fileScan_->Header = "<H1>Result of search</H1>";
  fileScan_->OnScanProgress = [this](const std::string& text) {
    const std::uint32_t now = timeGetTime();
    if (now - lastProgress_ < kSearchProgressMs) return;
    lastProgress_ = now;
    Label1->SetCaption(text);
    // Paints the label and lets Stop through while the search runs.
    Application()->ProcessMessages();
  };
  counter_ = 0;
}

void TfrmLocalSearch::FormActivate(TObject*) {
  // A folder that cannot be had is said when Start is pressed.
  try {
    resultFolder_ = ScanResultFolder(programDir_, cdrom_ ? CdRom::Yes : CdRom::No);
  } catch (const Exception&) {
    resultFolder_.clear();
  }
  for (TComboBox* combo : {cbSearchType, cbSort, cbFileAgeComp, cbFileSizeComp, cbFileSizeK})
    if (combo->GetText().empty() && combo->Items().Count() > 0) combo->SetItemIndex(0);
  ShowIdleLook();
  UpdateControls();
}

void TfrmLocalSearch::FormShow(TObject*) {
  if (Language) ApplyLanguage(*Language);
}

void TfrmLocalSearch::ApplyLanguage(const TLanguage& language) {
  static const char* const kIds[] = {"38", "39", "40", "41", "42", "43", "47", "48", "49", "50", "51", "52", "53", "54",
                                     "55", "56", "57", "58", "59", "60", "61", "62", "63", "64", "69", "70", "5"};
  for (std::size_t i = 0; i < builtInCaptions_.size(); ++i) {
    std::string text;
    if (!language.GetText(kIds[i], text) || text.empty()) text = builtInCaptions_[i].second;
    builtInCaptions_[i].first->SetCaption(text);
  }
  cancelCaption_ = btCancel->GetText();
  FillItems(cbSearchType, &language, kFirstSearchTypeText, kSearchTypeItems, 3);
  FillItems(cbSort, &language, kFirstSortText, kSortItems, 4);
}

void TfrmLocalSearch::UpdateControls() {
  const bool keyword = !cbKeyword->GetText().empty();
  const bool directory = !cbLimitToDirectory->GetText().empty();
  const bool all = keyword && directory && !edFileToFind->GetText().empty();
  lbSearchType->SetEnabled(keyword);
  EnableEdit(cbSearchType, keyword);
  cbCaseSensitive->SetEnabled(keyword);
  cbWholeWordOnly->SetEnabled(keyword);
  cbIncludeSubDirectories->SetEnabled(directory);
  for (TControl* c : std::initializer_list<TControl*>{btStart, cbShowSummary, cbConvert, cbMetaSearchOnly, lbSortBy,
                                                      cbReverseOrder, lbFileAge, cbShowDate, cbShowSize, cbShowAttr})
    c->SetEnabled(all);
  EnableEdit(cbSort, all);
  EnableEdit(cbFileAgeComp, all);
  const bool age = all && cbFileAgeComp->ItemIndex() > 0;
  EnableEdit(seFileAge, age);
  lbDays->SetEnabled(age);
  const bool dates = all && cbShowDate->Checked();
  EnableEdit(dtpDateStart, dates);
  EnableEdit(dtpDateEnd, dates);
  lbDateTo->SetEnabled(dates);
  const bool size = all && cbShowSize->Checked();
  EnableEdit(cbFileSizeComp, size);
  EnableEdit(seFileSize, size);
  EnableEdit(cbFileSizeK, size);
  const bool attributes = all && cbShowAttr->Checked();
  for (TControl* c : std::initializer_list<TControl*>{cbArchive, cbReadOnly, cbHidden, cbSystem, cbNormal})
    c->SetEnabled(attributes);
}

void TfrmLocalSearch::HistoryKeyDown(TObject* sender, unsigned short& key, TShiftState) {
  if (key != VK_RETURN) return;
  auto* combo = static_cast<TComboBox*>(sender);
  AddToHistory(combo, combo->GetText());
}

void TfrmLocalSearch::SpeedButton1Click(TObject*) {
  std::string directory = cbLimitToDirectory->GetText();
  if (!SelectDirectory("Limit to Directory:", "", directory)) return;
  cbLimitToDirectory->SetText(directory);
  AddToHistory(cbLimitToDirectory, directory);
  UpdateControls();
}

void TfrmLocalSearch::ApplyControls() {
  TFileScan& scan = *fileScan_;
  std::string keyword = cbKeyword->GetText();
  if (cbConvert->Checked()) EncodeEntities(keyword);
  // By index: a language may translate the items' texts.
  const int searchType = cbSearchType->ItemIndex();
  SetSearchStrings(scan.SearchStrings, keyword, searchType == 2);
  scan.SearchType = searchType == 1 ? TSearchType::st_And : TSearchType::st_Or;
  scan.CaseSense = cbCaseSensitive->Checked();
  if (cbWholeWordOnly->Checked()) {
    scan.BeforeDelimiters = MakeDelimiterSet(kWordDelimiters);
    scan.AfterDelimiters = MakeDelimiterSet(kWordDelimiters);
    scan.SearchStringType = TSearchStringType::sst_Word;
  } else {
    scan.SearchStringType = TSearchStringType::sst_Normal;
  }
  scan.Directory = cbLimitToDirectory->GetText();
  scan.FileSpecs = edFileToFind->GetText();
  scan.IncSubDir = cbIncludeSubDirectories->Checked();
  scan.ShowSummary = cbShowSummary->Checked();
  scan.METASearch = cbMetaSearchOnly->Checked();
  scan.Reverse = cbReverseOrder->Checked();
  scan.Sort = ByIndex(kSorts, cbSort->ItemIndex());
  // Hidden is the one attribute files have here: dot files.
  const bool hidden = cbShowAttr->Checked() && cbHidden->Checked();
  scan.FileType = hidden ? TFileTypeSet{TFileAttr::ftNormal, TFileAttr::ftHidden} : TFileTypeSet{TFileAttr::ftNormal};
  scan.FileAge = seFileAge->Value();
  scan.FileAgeComp = scan.FileAge == 0 ? TFileCompType::fctNone : ByIndex(kAgeComps, cbFileAgeComp->ItemIndex());
  ApplyDates();
  scan.ShowSize = cbShowSize->Checked();
  scan.FileSizeComp = ByIndex(kSizeComps, cbFileSizeComp->ItemIndex());
  scan.FileSize = std::int64_t{seFileSize->Value()} * ByIndex(kSizeUnits, cbFileSizeK->ItemIndex());
  if (scan.FileSizeComp == TFileCompType::fctEqual && scan.FileSize == 0)
    scan.FileSizeComp = TFileCompType::fctGreaterThanOrEqual;
  if (!scan.ShowSize) scan.FileSizeComp = TFileCompType::fctNone;
  scan.ShowTitle = true;
  scan.SWFileDate = true;
  scan.SWFileSize = true;
}

void TfrmLocalSearch::ApplyDates() {
  TFileScan& scan = *fileScan_;
  scan.ShowDate = cbShowDate->Checked();
  int startYear = kFirstYear, startMonth = 1, startDay = 1, endYear = kLastYear, endMonth = 1, endDay = 1;
  if (scan.ShowDate) {
    DecodeDate(dtpDateStart->DateTime(), startYear, startMonth, startDay);
    DecodeDate(dtpDateEnd->DateTime(), endYear, endMonth, endDay);
  }
  // The day goes first to "unset", so that the previous search's day is
  // never checked against the new month (29 February, then 30 March).
  scan.SetStartDay(0);
  scan.SetEndDay(0);
  scan.SetStartYear(startYear);
  scan.SetStartMonth(startMonth);
  scan.SetStartDay(startDay);
  scan.SetEndYear(endYear);
  scan.SetEndMonth(endMonth);
  scan.SetEndDay(endDay);
}

void TfrmLocalSearch::btStartClick(TObject*) {
  if (resultFolder_.empty()) {
    MessageDlg("There is no private folder for the search results: the search cannot write its page.",
               TMsgDlgType::mtError, mbOK);
    return;
  }
  try {
    ApplyControls();
  } catch (const EInvalidStartEndDate& e) {
    MessageDlg(e.Message, TMsgDlgType::mtError, mbOK);
    return;
  }
  ++counter_;
  fileScan_->Title = "<head><title>Result of search " + ShortDateTime(Now()) + "</title></head>";
  fileScan_->OutputFile = ResultPageName();
  try {
    fileScan_->StartScan();
  } catch (const Exception& e) {
    // The page could not be written (or the folder searched): nothing to
    // open, and the dialog stays for another try.
    searching_ = false;
    ShowIdleLook();
    MessageDlg(fileScan_->OutputFile + ": " + e.Message, TMsgDlgType::mtError, mbOK);
    return;
  }
  // A stopped search ends without the end-of-search handler.
  searching_ = false;
  ShowIdleLook();
}

void TfrmLocalSearch::StartSearch() {
  lbScanning->Show();
  Label1->SetCaption("");
  btStart->SetEnabled(false);
  PageControl1->SetEnabled(false);
  btCancel->SetCaption("Stop");
  searching_ = true;
}

void TfrmLocalSearch::EndSearch() {
  ShowIdleLook();
  if (searching_) ModalResult = mrOk;
  searching_ = false;
}

void TfrmLocalSearch::ShowIdleLook() {
  btStart->SetEnabled(!cbKeyword->GetText().empty() && !cbLimitToDirectory->GetText().empty() &&
                      !edFileToFind->GetText().empty());
  PageControl1->SetEnabled(true);
  btCancel->SetCaption(cancelCaption_);
  lbScanning->Hide();
  Label1->SetCaption("");
}

void TfrmLocalSearch::btCancelClick(TObject*) {
  if (searching_) {
    searching_ = false;
    fileScan_->Aborted = true;
    return;
  }
  ModalResult = mrCancel;
}

}  // namespace lark
