#include "platform/windows/edit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>

#include "platform/windows/native_widget.h"

namespace lark {
namespace {

QString ToQ(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string FromQ(const QString& text) { return text.toUtf8().toStdString(); }

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
  PushState();
}

void TEdit::SetMaxLength(int length) {
  max_length_ = length < 0 ? 0 : length;
  PushState();
}

void TEdit::SetReadOnly(bool value) {
  read_only_ = value;
  PushState();
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
    message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
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
  if (edit->text() != ToQ(text_)) edit->setText(ToQ(text_));
  edit->setReadOnly(read_only_);
  edit->setMaxLength(max_length_ > 0 ? max_length_ : 32767);
  // The toolkit masks with its own character; ours is drawn the same way.
  edit->setEchoMode(password_char_ ? QLineEdit::Password : QLineEdit::Normal);
}

void TEdit::PullState() {
  if (auto* edit = NativeWidget<QLineEdit>(this)) text_ = FromQ(edit->text());
}

// The memo's lines, read from the window as displayed.
class TMemoLines : public TStrings {
 public:
  explicit TMemoLines(TMemo* memo) : memo_(memo) {}
  int Count() const override { return static_cast<int>(Displayed().size()); }
  std::string Get(int index) const override { return Displayed().at(static_cast<size_t>(index)); }
  TObject* GetObject(int) const override { return nullptr; }
  void PutObject(int, TObject*) override {}
  void Insert(int index, const std::string& s) override {
    std::vector<std::string> lines = Displayed();
    lines.insert(lines.begin() + std::clamp(index, 0, static_cast<int>(lines.size())), s);
    Store(lines);
  }
  void Delete(int index) override {
    std::vector<std::string> lines = Displayed();
    lines.erase(lines.begin() + index);
    Store(lines);
  }
  void Clear() override { memo_->SetText(""); }

 private:
  std::vector<std::string> Displayed() const {
    std::vector<std::string> lines;
    auto* edit = NativeWidget<QPlainTextEdit>(memo_);
    if (!edit || !memo_->word_wrap_) {
      std::string text = memo_->GetText();
      size_t start = 0;
      while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
      }
      return lines;
    }
    edit->ensurePolished();
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
      QTextLayout* layout = block.layout();
      if (!layout || layout->lineCount() == 0) {
        lines.push_back(FromQ(block.text()));
        continue;
      }
      for (int i = 0; i < layout->lineCount(); ++i) {
        QTextLine line = layout->lineAt(i);
        lines.push_back(FromQ(block.text().mid(line.textStart(), line.textLength())));
      }
    }
    return lines;
  }
  void Store(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
    memo_->SetText(text);
  }

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
  text_ = text;
  if (auto* edit = NativeWidget<QPlainTextEdit>(this)) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i)
      if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) plain += text[i];
    edit->setPlainText(ToQ(plain));  // its change signal runs OnChange
  } else if (OnChange) {
    OnChange(this);
  }
}

TStrings& TMemo::Lines() { return *lines_; }

void TMemo::SetWordWrap(bool value) {
  word_wrap_ = value;
  PushState();
}

void TMemo::SetReadOnly(bool value) {
  read_only_ = value;
  PushState();
}

void TMemo::WndProc(TMessage& message) {
  if (message.Msg == WM_GETDLGCODE) {
    message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
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
  edit->setLineWrapMode(word_wrap_ ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  edit->setReadOnly(read_only_);
  QSignalBlocker quiet(edit);
  std::string kept = text_;
  SetText(kept);
}

void TMemo::PullState() { text_ = GetText(); }

}  // namespace lark
