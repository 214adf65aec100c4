#include "platform/windows/edit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>

#include "platform/core/exception.h"
#include "platform/windows/native_widget.h"

namespace lark {
namespace {

QString ToQ(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string FromQ(const QString& text) { return text.toUtf8().toStdString(); }

bool ShowsVerticalBar(TScrollStyle bars) { return bars == TScrollStyle::ssVertical || bars == TScrollStyle::ssBoth; }
bool ShowsHorizontalBar(TScrollStyle bars) { return bars == TScrollStyle::ssHorizontal || bars == TScrollStyle::ssBoth; }

// Lone CR and LF become CR LF, the memo's line break.
std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      out += "\r\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The widget breaks lines at "\n" alone.
std::string WithoutCarriageReturns(const std::string& text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) plain += text[i];
  return plain;
}

}  // namespace

TEdit::TEdit(TComponent* owner) : TNativeControl(owner) {
  TabStop = true;
  SetColor(clWindow);
  SetBounds(0, 0, 121, 21);
}

std::string TEdit::GetText() const {
  if (auto* edit = NativeWidget<QLineEdit>(const_cast<TEdit*>(this))) return FromQ(edit->text());
  return text_;
}

void TEdit::SetText(const std::string& text) {
  if (text == GetText()) return;
  text_ = text;
  if (auto* edit = NativeWidget<QLineEdit>(this)) edit->setText(ToQ(text));
  if (OnChange) OnChange(this);
}

void TEdit::SetPasswordChar(char ch) {
  password_char_ = ch;
  ShowOptions();
}

void TEdit::SetMaxLength(int length) {
  max_length_ = length < 0 ? 0 : length;
  ShowOptions();
}

void TEdit::SetReadOnly(bool value) {
  read_only_ = value;
  ShowOptions();
}

void TEdit::SelectAll() {
  if (auto* edit = NativeWidget<QLineEdit>(this)) edit->selectAll();
}

int TEdit::SelStart() const {
  auto* edit = NativeWidget<QLineEdit>(const_cast<TEdit*>(this));
  if (!edit) return 0;
  return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

int TEdit::SelLength() const {
  auto* edit = NativeWidget<QLineEdit>(const_cast<TEdit*>(this));
  return edit ? static_cast<int>(edit->selectedText().size()) : 0;
}

void TEdit::WndProc(TMessage& message) {
  if (message.Msg == WM_GETDLGCODE) {
    message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
    return;
  }
  TNativeControl::WndProc(message);
}

void TEdit::CreateNativeWidget() {
  auto* edit = new QLineEdit;
  edit->setFocusPolicy(Qt::StrongFocus);
  edit->setFrame(true);
  QObject::connect(edit, &QLineEdit::textEdited, [this](const QString&) {
    if (OnChange) OnChange(this);
  });
  AttachNativeWidget(this, edit);
}

void TEdit::PushState() {
  auto* edit = NativeWidget<QLineEdit>(this);
  if (!edit) return;
  {
    // Filling a new window with the kept text is no change of it.
    QSignalBlocker quiet(edit);
    edit->setText(ToQ(text_));
  }
  ShowOptions();
}

void TMemo::SetScrollBars(TScrollStyle value) {
  ChangeClientArea([&] {
    scroll_bars_ = value;
    ShowOptions();
  });
}

TRect TMemo::ClientRect() const {
  return FramedClientRect(ShowsVerticalBar(scroll_bars_), ShowsHorizontalBar(scroll_bars_));
}

int TMemo::PositionOf(int offset) const {
  std::string before = WithoutCarriageReturns(GetText().substr(0, static_cast<size_t>(std::max(offset, 0))));
  return static_cast<int>(ToQ(before).size());
}

int TMemo::OffsetOf(int position) const {
  auto* edit = NativeWidget<QPlainTextEdit>(const_cast<TMemo*>(this));
  if (!edit) return 0;
  std::string before = FromQ(edit->toPlainText().left(position));
  return static_cast<int>(before.size() + std::count(before.begin(), before.end(), '\n'));
}

int TMemo::SelStart() const {
  auto* edit = NativeWidget<QPlainTextEdit>(const_cast<TMemo*>(this));
  return edit ? OffsetOf(edit->textCursor().selectionStart()) : 0;
}

void TMemo::SetSelStart(int start) {
  HandleNeeded();
  auto* edit = NativeWidget<QPlainTextEdit>(this);
  QTextCursor cursor = edit->textCursor();
  cursor.setPosition(PositionOf(start));
  edit->setTextCursor(cursor);
}

int TMemo::SelLength() const {
  auto* edit = NativeWidget<QPlainTextEdit>(const_cast<TMemo*>(this));
  if (!edit) return 0;
  QTextCursor cursor = edit->textCursor();
  return OffsetOf(cursor.selectionEnd()) - OffsetOf(cursor.selectionStart());
}

void TMemo::SetSelLength(int length) {
  HandleNeeded();
  auto* edit = NativeWidget<QPlainTextEdit>(this);
  QTextCursor cursor = edit->textCursor();
  int start = cursor.selectionStart();
  cursor.setPosition(start);
  cursor.setPosition(PositionOf(OffsetOf(start) + std::max(length, 0)), QTextCursor::KeepAnchor);
  edit->setTextCursor(cursor);
}

// Options only: the window's text stays as the user left it.
void TEdit::ShowOptions() {
  auto* edit = NativeWidget<QLineEdit>(this);
  if (!edit) return;
  edit->setReadOnly(read_only_);
  edit->setMaxLength(max_length_ > 0 ? max_length_ : 32767);
  // The toolkit masks with its own character; ours is drawn the same way.
  edit->setEchoMode(password_char_ ? QLineEdit::Password : QLineEdit::Normal);
}

void TEdit::PullState() {
  if (auto* edit = NativeWidget<QLineEdit>(this)) text_ = FromQ(edit->text());
}

// The memo's lines, read from the window as displayed. Changes edit the text
// in place, as the desktop's memo does: a line goes in before the one at its
// index (with a line break after it), a line goes out up to where the next
// one starts, so a wrapped paragraph elsewhere stays one paragraph.
class TMemoLines : public TStrings {
 public:
  explicit TMemoLines(TMemo* memo) : memo_(memo) {}
  int Count() const override {
    std::vector<Line> lines = Shown();
    // The empty line after a final line break (or of an empty memo) is none.
    return static_cast<int>(lines.size()) - (lines.back().text.empty() ? 1 : 0);
  }
  std::string Get(int index) const override {
    if (index < 0 || index >= Count()) throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    return Shown()[static_cast<size_t>(index)].text;
  }
  TObject* GetObject(int) const override { return nullptr; }
  void PutObject(int, TObject*) override {}
  void Put(int index, const std::string& s) override {
    std::vector<Line> lines = Shown();
    if (index < 0 || index >= static_cast<int>(lines.size())) return;
    const Line& line = lines[static_cast<size_t>(index)];
    Replace(line.start, line.text.size(), s);
  }
  void Insert(int index, const std::string& s) override {
    std::vector<Line> lines = Shown();
    if (index < 0 || index > static_cast<int>(lines.size())) return;
    if (index < static_cast<int>(lines.size())) {
      Replace(lines[static_cast<size_t>(index)].start, 0, s + "\r\n");
    } else {
      const Line& last = lines.back();
      Replace(last.start + last.text.size(), 0, "\r\n" + s);
    }
  }
  void Delete(int index) override {
    std::vector<Line> lines = Shown();
    if (index < 0 || index >= static_cast<int>(lines.size())) return;
    size_t start = lines[static_cast<size_t>(index)].start;
    size_t end = static_cast<size_t>(index) + 1 < lines.size() ? lines[static_cast<size_t>(index) + 1].start
                                                                : start + lines[static_cast<size_t>(index)].text.size();
    Replace(start, end - start, "");
  }
  void Clear() override { memo_->SetText(""); }
  // The whole text in one change, line breaks made CR LF.
  void SetText(std::string_view text) override { memo_->SetText(WithCrLf(text)); }

  struct Line {
    size_t start;  // byte offset in the memo's text
    std::string text;
  };

  void Replace(size_t start, size_t length, const std::string& with) {
    std::string text = memo_->GetText();
    memo_->SetText(text.replace(start, length, with));
  }

  // Every line the memo shows, the last one possibly empty; never none.
  std::vector<Line> Shown() const {
    auto* edit = NativeWidget<QPlainTextEdit>(memo_);
    if (edit && memo_->word_wrap_) return Wrapped(edit);
    std::vector<Line> lines;
    std::string text = memo_->GetText();
    size_t start = 0;
    for (;;) {
      size_t end = text.find('\n', start);
      std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (end != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back({start, line});
      if (end == std::string::npos) return lines;
      start = end + 1;
    }
  }

  // Paragraphs are the widget's blocks, joined by "\r\n" in the text.
  static std::vector<Line> Wrapped(QPlainTextEdit* edit) {
    std::vector<Line> lines;
    edit->ensurePolished();
    size_t blockStart = 0;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
      QString text = block.text();
      QTextLayout* layout = block.layout();
      if (!layout || layout->lineCount() == 0) {
        lines.push_back({blockStart, FromQ(text)});
      } else {
        for (int i = 0; i < layout->lineCount(); ++i) {
          QTextLine line = layout->lineAt(i);
          size_t offset = FromQ(text.left(line.textStart())).size();
          lines.push_back({blockStart + offset, FromQ(text.mid(line.textStart(), line.textLength()))});
        }
      }
      blockStart += FromQ(text).size() + 2;
    }
    if (lines.empty()) lines.push_back({0, ""});
    return lines;
  }

 private:
  TMemo* memo_;
};

TMemo::TMemo(TComponent* owner) : TNativeControl(owner), lines_(std::make_unique<TMemoLines>(this)) {
  TabStop = true;
  SetColor(clWindow);
  SetBounds(0, 0, 185, 89);
}

TMemo::~TMemo() { Destroying(); }

std::string TMemo::GetText() const {
  if (auto* edit = NativeWidget<QPlainTextEdit>(const_cast<TMemo*>(this))) {
    std::string plain = FromQ(edit->toPlainText());
    std::string text;
    for (char c : plain) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return text;
  }
  return text_;
}

void TMemo::SetText(const std::string& text) {
  if (text == GetText()) return;
  text_ = text;
  if (auto* edit = NativeWidget<QPlainTextEdit>(this)) {
    edit->setPlainText(ToQ(WithoutCarriageReturns(text)));  // its change signal runs OnChange
  } else if (OnChange) {
    OnChange(this);
  }
}

TStrings& TMemo::Lines() { return *lines_; }

std::vector<std::string> TMemo::ShownLines() const {
  std::vector<std::string> texts;
  for (auto& line : lines_->Shown()) texts.push_back(std::move(line.text));
  // The empty line after a final line break (or of an empty memo) is none.
  if (!texts.empty() && texts.back().empty()) texts.pop_back();
  return texts;
}

void TMemo::SetWordWrap(bool value) {
  word_wrap_ = value;
  ShowOptions();
}

void TMemo::SetReadOnly(bool value) {
  read_only_ = value;
  ShowOptions();
}

void TMemo::WndProc(TMessage& message) {
  if (message.Msg == WM_GETDLGCODE) {
    message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
    if (WantReturns) message.Result |= DLGC_WANTALLKEYS;
    if (WantTabs) message.Result |= DLGC_WANTTAB;
    return;
  }
  if (message.Msg == WM_CHAR && message.WParam == '\r' && WantReturns) {
    if (auto* edit = NativeWidget<QPlainTextEdit>(this)) edit->insertPlainText(QStringLiteral("\n"));
    return;
  }
  TNativeControl::WndProc(message);
}

// Enter breaks the line through its WM_CHAR, as on the desktop; the key
// itself, replayed to the widget, would break it a second time.
void TMemo::DefaultHandler(TMessage& message) {
  if ((message.Msg == WM_KEYDOWN || message.Msg == WM_KEYUP) && message.WParam == VK_RETURN) return;
  TNativeControl::DefaultHandler(message);
}

void TMemo::CreateNativeWidget() {
  auto* edit = new QPlainTextEdit;
  edit->setFocusPolicy(Qt::StrongFocus);
  QObject::connect(edit, &QPlainTextEdit::textChanged, [this] {
    if (OnChange && !HasState(csDestroying)) OnChange(this);
  });
  AttachNativeWidget(this, edit);
}

void TMemo::PushState() {
  auto* edit = NativeWidget<QPlainTextEdit>(this);
  if (!edit) return;
  ShowOptions();
  // Filling a new window with the kept text is no change of it.
  QSignalBlocker quiet(edit);
  edit->setPlainText(ToQ(WithoutCarriageReturns(text_)));
}

// Options only: the window's text stays as the user left it.
void TMemo::ShowOptions() {
  auto* edit = NativeWidget<QPlainTextEdit>(this);
  if (!edit) return;
  edit->setLineWrapMode(word_wrap_ ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  ShowOwnScrollBars(edit, ShowsVerticalBar(scroll_bars_), ShowsHorizontalBar(scroll_bars_));
  edit->setReadOnly(read_only_);
}

void TMemo::PullState() { text_ = GetText(); }

}  // namespace lark
