#include "app/test_control_commands.h"

#include <cstdio>
#include <limits>
#include <map>

#include "html/section_list.h"
#include "html/text_collector.h"
#include "platform/core/string_routines.h"
#include "platform/windows/application.h"
#include "platform/windows/bars.h"
#include "platform/windows/common_dialogs.h"
#include "platform/windows/form.h"
#include "platform/windows/menus.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/test_driver.h"
#include "platform/windows/timer.h"
#include "viewer/frame_viewer_base.h"
#include "viewer/html_viewer.h"

namespace lark {
namespace {

// What one "shown" reply carries at most; a longer document is cut at a
// character boundary.
constexpr int kMaxShownTextBytes = 1 << 20;
// Components visited when looking a control up: a form holds far fewer.
constexpr int kMaxComponentsWalked = 100000;

using Words = std::vector<std::string>;

Words SplitWords(const std::string& text) {
  Words words;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = std::min(text.find(' ', at), text.size());
    if (end > at) words.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return words;
}

std::string Ok(const std::string& value = {}) { return value.empty() ? "ok" : "ok " + value; }
std::string Error(const std::string& why) { return "error " + why; }

std::string JoinEscaped(const Words& items) {
  std::string joined;
  for (std::size_t i = 0; i < items.size(); ++i) joined += (i ? "\t" : "") + EscapeReplyText(items[i]);
  return joined;
}

bool ParseInt(const std::string& text, int& value) {
  if (text.empty() || text.size() > 9) return false;
  std::size_t at = text[0] == '-' ? 1 : 0;
  if (at == text.size()) return false;
  for (std::size_t i = at; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  value = std::stoi(text);
  return true;
}

// The form commands address: the active one, else the main form, else the
// first one showing.
TCustomForm* FrontForm() {
  if (TCustomForm* form = Screen()->ActiveForm()) return form;
  if (TCustomForm* form = Application()->MainForm(); form && form->Visible()) return form;
  for (int i = 0; i < Screen()->FormCount(); ++i)
    if (Screen()->Forms(i)->Visible()) return Screen()->Forms(i);
  return nullptr;
}

// The first component owned (at any depth) by root that `match` accepts.
template <typename Match>
TComponent* FindOwned(TComponent* root, Match match) {
  std::vector<TComponent*> pending{root};
  for (int walked = 0; !pending.empty() && walked < kMaxComponentsWalked; ++walked) {
    TComponent* component = pending.back();
    pending.pop_back();
    if (component != root && match(component)) return component;
    for (int i = component->ComponentCount(); i-- > 0;) pending.push_back(component->Components(i));
  }
  return nullptr;
}

// A control by name: in the front form first, then in any form. "." is the
// front form itself.
TControl* NamedControl(const std::string& name) {
  TCustomForm* front = FrontForm();
  if (name == ".") return front;
  auto named = [&name](TComponent* c) { return dynamic_cast<TControl*>(c) && SameText(c->Name(), name); };
  if (front)
    if (TComponent* found = FindOwned(front, named)) return static_cast<TControl*>(found);
  for (int i = 0; i < Screen()->FormCount(); ++i) {
    TCustomForm* form = Screen()->Forms(i);
    if (SameText(form->Name(), name)) return form;
    if (TComponent* found = FindOwned(form, named)) return static_cast<TControl*>(found);
  }
  return nullptr;
}

std::string WithoutAccelerators(const std::string& caption) {
  std::string plain;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    plain += caption[i];
  }
  return plain;
}

// The menu entry at a path of captions ("File/Exit" or "&File/E&xit"), and
// the exact captions leading to it; null when there is none.
TMenuItem* MenuEntry(TCustomForm* form, const std::string& path, std::string& exactPath) {
  if (!form || !form->Menu()) return nullptr;
  TMenuItem* entry = form->Menu()->Items();
  exactPath.clear();
  if (path.empty()) return entry;
  std::size_t at = 0;
  while (at <= path.size()) {
    const std::size_t end = std::min(path.find('/', at), path.size());
    const std::string caption = path.substr(at, end - at);
    TMenuItem* next = nullptr;
    for (int i = 0; i < entry->Count() && !next; ++i) {
      TMenuItem* child = entry->Items(i);
      if (child->Caption() == caption || WithoutAccelerators(child->Caption()) == caption) next = child;
    }
    if (!next) return nullptr;
    exactPath += (exactPath.empty() ? "" : "/") + next->Caption();
    entry = next;
    at = end + 1;
  }
  return entry;
}

bool ParseModalResult(const std::string& text, TModalResult& result) {
  static const std::map<std::string, TModalResult> names = {
      {"ok", mrOk}, {"cancel", mrCancel}, {"abort", mrAbort}, {"retry", mrRetry},
      {"ignore", mrIgnore}, {"yes", mrYes}, {"no", mrNo}, {"all", mrAll}};
  if (auto found = names.find(LowerCase(text)); found != names.end()) {
    result = found->second;
    return true;
  }
  return ParseInt(text, result) && result > 0;
}

// A key name with modifiers: "Return", "ctrl+L", "alt+Left", "shift+F10".
bool ParseKey(const std::string& text, unsigned short& key, TShiftState& shift) {
  static const std::map<std::string, unsigned short> names = {
      {"return", VK_RETURN}, {"enter", VK_RETURN}, {"escape", VK_ESCAPE}, {"tab", VK_TAB},
      {"backspace", VK_BACK}, {"space", VK_SPACE}, {"left", VK_LEFT}, {"right", VK_RIGHT},
      {"up", VK_UP}, {"down", VK_DOWN}, {"pageup", VK_PRIOR}, {"pagedown", VK_NEXT},
      {"home", VK_HOME}, {"end", VK_END}, {"insert", VK_INSERT}, {"delete", VK_DELETE}};
  shift = 0;
  std::string rest = text;
  for (std::size_t plus; (plus = rest.find('+')) != std::string::npos && plus + 1 < rest.size();) {
    const std::string modifier = LowerCase(rest.substr(0, plus));
    if (modifier == "ctrl") shift |= ssCtrl;
    else if (modifier == "shift") shift |= ssShift;
    else if (modifier == "alt") shift |= ssAlt;
    else return false;
    rest = rest.substr(plus + 1);
  }
  const std::string name = LowerCase(rest);
  if (name.size() == 1 && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= '0' && name[0] <= '9'))) {
    key = static_cast<unsigned short>(UpperCase(name)[0]);
    return true;
  }
  int number = 0;
  if (name.size() >= 2 && name[0] == 'f' && ParseInt(name.substr(1), number) && number >= 1 && number <= 24) {
    key = static_cast<unsigned short>(VK_F1 + number - 1);
    return true;
  }
  auto found = names.find(name);
  if (found == names.end()) return false;
  key = found->second;
  return true;
}

// Every character the viewer's document shows, in order, lines ended by
// CR LF: the document's own copy routine over a selection of everything,
// into a bounded buffer, the user's selection left as it was.
std::string DocumentText(THTMLViewer& viewer) {
  TSectionList& list = viewer.SectionList();
  std::string buffer(static_cast<std::size_t>(kMaxShownTextBytes) + 1, '\0');
  SelTextBuf collector(buffer.data(), static_cast<int>(buffer.size()));
  const int selB = list.SelB, selE = list.SelE;
  SelTextCount* clip = list.ClipBuf;
  auto restore = [&] {
    list.SelB = selB;
    list.SelE = selE;
    list.ClipBuf = clip;
  };
  list.SelB = 0;
  list.SelE = std::numeric_limits<int>::max() / 2;
  list.ClipBuf = &collector;
  try {
    list.TCell::CopyToClipboard();
  } catch (...) {
    restore();
    throw;
  }
  restore();
  buffer.resize(static_cast<std::size_t>(collector.Terminate() - 1));
  return buffer;
}

}  // namespace

std::string EscapeReplyText(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': escaped += "\\\\"; break;
      case '\n': escaped += "\\n"; break;
      case '\r': escaped += "\\r"; break;
      case '\t': escaped += "\\t"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

TTestControlCommands::TTestControlCommands() : player_(std::make_unique<TTimer>(nullptr)) {
  player_->SetEnabled(false);
  player_->SetInterval(1);
  player_->OnTimer = [this](TObject*) { PlayNext(); };
}

TTestControlCommands::~TTestControlCommands() {
  if (!boxAnswers_.empty()) test_driver::AnswerMessageBoxes(nullptr);
  if (!dialogAnswers_.empty()) test_driver::AnswerDialogs(nullptr);
  if (!formAnswers_.empty()) test_driver::OnModalShown(nullptr);
}

std::string TTestControlCommands::Execute(const std::string& line) {
  const std::size_t space = line.find(' ');
  const std::string command = line.substr(0, space);
  const std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
  const Words words = SplitWords(rest);
  try {
    if (command == "ping") return Ok("pong");
    if (command == "type") return TypeText(rest);
    if (command == "key") return Key(words);
    if (command == "click") return Click(words);
    if (command == "click-at") return ClickAt(words);
    if (command == "choose") return ChooseMenu(rest);
    if (command == "close") return Close();
    if (command == "answer") return Answer(rest, words);
    if (command == "caption") return Caption();
    if (command == "text") return ControlText(words);
    if (command == "showing") return ControlShowing(words);
    if (command == "status") return StatusTexts();
    if (command == "menu") return MenuCaptions(rest);
    if (command == "shown") return ShownText(words);
    if (command == "pixel") return Pixel(words);
    if (command == "screenshot") return Screenshot(rest, words);
    if (command == "last-box") return LastBox();
    return Error("unknown command \"" + EscapeReplyText(command.substr(0, 40)) + "\"");
  } catch (const std::exception& error) {
    return Error(EscapeReplyText(error.what()));
  }
}

bool TTestControlCommands::Quiet() {
  TMsg msg{};
  return input_.empty() && !PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE);
}

std::string TTestControlCommands::Queue(std::function<void()> action) {
  input_.push_back(std::move(action));
  player_->SetEnabled(true);
  return Ok();
}

// One queued input per tick. The action may run a modal loop; the timer
// stays on while more wait, so the next ones play inside that loop.
void TTestControlCommands::PlayNext() {
  if (input_.empty()) {
    player_->SetEnabled(false);
    return;
  }
  std::function<void()> action = std::move(input_.front());
  input_.pop_front();
  if (input_.empty()) player_->SetEnabled(false);
  action();
}

std::string TTestControlCommands::TypeText(const std::string& text) {
  if (text.empty()) return Error("usage: type <text>");
  if (!Screen()->ActiveForm()) return Error("no active form to type into");
  return Queue([text] { test_driver::TypeText(text); });
}

std::string TTestControlCommands::Key(const Words& words) {
  unsigned short key = 0;
  TShiftState shift = 0;
  if (words.size() != 1) return Error("usage: key [ctrl+][shift+][alt+]<name>");
  if (!ParseKey(words[0], key, shift)) return Error("unknown key \"" + EscapeReplyText(words[0]) + "\"");
  if (!Screen()->ActiveForm()) return Error("no active form to send keys to");
  return Queue([key, shift] { test_driver::PressKey(key, shift); });
}

std::string TTestControlCommands::Click(const Words& words) {
  int x = 0, y = 0;
  if (words.size() != 1 && (words.size() != 3 || !ParseInt(words[1], x) || !ParseInt(words[2], y)))
    return Error("usage: click <control> [<x> <y>]");
  TControl* control = NamedControl(words[0]);
  if (!control) return Error("no control \"" + EscapeReplyText(words[0]) + "\"");
  const bool centre = words.size() == 1;
  // Looked up again when played: the control may be gone by then.
  const std::string name = words[0];
  return Queue([name, centre, x, y] {
    if (TControl* target = NamedControl(name))
      test_driver::Click(target, centre ? target->ClientWidth() / 2 : x, centre ? target->ClientHeight() / 2 : y);
  });
}

std::string TTestControlCommands::ClickAt(const Words& words) {
  int x = 0, y = 0;
  if (words.size() != 2 || !ParseInt(words[0], x) || !ParseInt(words[1], y)) return Error("usage: click-at <x> <y>");
  if (!FrontForm()) return Error("no form");
  return Queue([x, y] {
    if (TCustomForm* form = FrontForm()) test_driver::Click(form, x, y);
  });
}

std::string TTestControlCommands::ChooseMenu(const std::string& path) {
  std::string exactPath;
  TMenuItem* entry = MenuEntry(FrontForm(), path, exactPath);
  if (!entry || path.empty()) return Error("no menu entry \"" + EscapeReplyText(path) + "\"");
  if (!entry->Enabled()) return Error("menu entry \"" + EscapeReplyText(path) + "\" is disabled");
  return Queue([exactPath] {
    if (TCustomForm* form = FrontForm()) test_driver::ChooseMenuBarEntry(form, exactPath);
  });
}

std::string TTestControlCommands::Close() {
  if (!FrontForm()) return Error("no form");
  return Queue([] {
    if (TCustomForm* form = FrontForm()) test_driver::ClickCloseBox(form);
  });
}

// The driver's callbacks stay installed while answers wait. Each removes
// itself when it takes the last one: nothing of the callback is used after
// that, since it only forwards to this object through a copy of `this`.
std::string TTestControlCommands::Answer(const std::string& rest, const Words& words) {
  TModalResult result = mrNone;
  if (words.size() == 2 && words[0] == "box" && ParseModalResult(words[1], result)) {
    if (boxAnswers_.empty())
      test_driver::AnswerMessageBoxes([this](const std::string& text, TMsgDlgType, TMsgDlgButtons) {
        TTestControlCommands* self = this;
        return self->TakeBoxAnswer(text);
      });
    boxAnswers_.push_back(result);
    return Ok();
  }
  if (words.size() >= 2 && words[0] == "dialog" && (words[1] == "ok" || words[1] == "cancel")) {
    if (dialogAnswers_.empty())
      test_driver::AnswerDialogs([this](TCommonDialog* dialog) {
        TTestControlCommands* self = this;
        return self->TakeDialogAnswer(dialog);
      });
    // The file name is the rest of the line, spaces and all.
    const std::string withFile = "dialog ok ";
    dialogAnswers_.push_back({words[1] == "ok", rest.rfind(withFile, 0) == 0 ? rest.substr(withFile.size()) : ""});
    return Ok();
  }
  if (words.size() == 2 && words[0] == "form" && ParseModalResult(words[1], result)) {
    if (formAnswers_.empty())
      test_driver::OnModalShown([this](TCustomForm* form) {
        TTestControlCommands* self = this;
        self->TakeFormAnswer(form);
      });
    formAnswers_.push_back(result);
    return Ok();
  }
  return Error("usage: answer box <result> | answer dialog ok [<file>] | answer dialog cancel | answer form <result>");
}

int TTestControlCommands::TakeBoxAnswer(const std::string& text) {
  const TModalResult result = boxAnswers_.front();
  boxAnswers_.pop_front();
  lastBoxText_ = text;
  if (boxAnswers_.empty()) test_driver::AnswerMessageBoxes(nullptr);
  return result;
}

bool TTestControlCommands::TakeDialogAnswer(TCommonDialog* dialog) {
  const DialogAnswer answer = dialogAnswers_.front();
  dialogAnswers_.pop_front();
  if (dialogAnswers_.empty()) test_driver::AnswerDialogs(nullptr);
  if (auto* files = dynamic_cast<TOpenDialog*>(dialog); files && !answer.fileName.empty())
    files->FileName = answer.fileName;
  return answer.confirm;
}

void TTestControlCommands::TakeFormAnswer(TCustomForm* form) {
  const TModalResult result = formAnswers_.front();
  formAnswers_.pop_front();
  if (formAnswers_.empty()) test_driver::OnModalShown(nullptr);
  form->ModalResult = result;
}

std::string TTestControlCommands::Caption() {
  TCustomForm* form = FrontForm();
  return form ? Ok(EscapeReplyText(form->Caption())) : Error("no form");
}

std::string TTestControlCommands::ControlText(const Words& words) {
  if (words.size() != 1) return Error("usage: text <control>");
  TControl* control = NamedControl(words[0]);
  return control ? Ok(EscapeReplyText(control->GetText())) : Error("no control \"" + EscapeReplyText(words[0]) + "\"");
}

std::string TTestControlCommands::ControlShowing(const Words& words) {
  if (words.size() != 1) return Error("usage: showing <control>");
  TControl* control = NamedControl(words[0]);
  if (!control) return Error("no control \"" + EscapeReplyText(words[0]) + "\"");
  return Ok(control->Showing() ? "yes" : "no");
}

std::string TTestControlCommands::StatusTexts() {
  TCustomForm* form = FrontForm();
  auto* bar = form ? static_cast<TStatusBar*>(FindOwned(form, [](TComponent* c) {
    return dynamic_cast<TStatusBar*>(c) != nullptr;
  })) : nullptr;
  if (!bar) return Error("no status bar");
  if (bar->SimplePanel) return Ok(EscapeReplyText(bar->SimpleText()));
  Words texts;
  for (const TStatusPanel& panel : bar->Panels()) texts.push_back(panel.Text);
  return Ok(JoinEscaped(texts));
}

std::string TTestControlCommands::MenuCaptions(const std::string& path) {
  std::string exactPath;
  TMenuItem* entry = MenuEntry(FrontForm(), path, exactPath);
  if (!entry) return Error(path.empty() ? "no menu bar" : "no menu entry \"" + EscapeReplyText(path) + "\"");
  Words captions;
  for (int i = 0; i < entry->Count(); ++i)
    if (entry->Items(i)->Visible()) captions.push_back(entry->Items(i)->Caption());
  return Ok(JoinEscaped(captions));
}

std::string TTestControlCommands::ShownText(const Words& words) {
  if (words.size() > 1) return Error("usage: shown [<viewer>]");
  TControl* control = nullptr;
  if (words.empty()) {
    TCustomForm* form = FrontForm();
    if (form)
      control = static_cast<TControl*>(FindOwned(form, [](TComponent* c) {
        return dynamic_cast<THTMLViewer*>(c) || dynamic_cast<TFVBase*>(c);
      }));
  } else {
    control = NamedControl(words[0]);
  }
  std::string text;
  if (auto* viewer = dynamic_cast<THTMLViewer*>(control)) {
    text = DocumentText(*viewer);
  } else if (auto* frames = dynamic_cast<TFVBase*>(control)) {
    // A frameset shows each frame's document; they are read in order.
    for (int i = 0; i < frames->ViewerCount() && text.size() < kMaxShownTextBytes; ++i)
      if (THTMLViewer* viewer = frames->Viewers(i)) text += DocumentText(*viewer);
  } else {
    return Error("no viewer");
  }
  return Ok(EscapeReplyText(text));
}

std::string TTestControlCommands::Pixel(const Words& words) {
  int x = 0, y = 0;
  if (words.size() != 3 || !ParseInt(words[1], x) || !ParseInt(words[2], y)) return Error("usage: pixel <control> <x> <y>");
  auto* window = dynamic_cast<TWinControl*>(NamedControl(words[0]));
  if (!window) return Error("no window \"" + EscapeReplyText(words[0]) + "\"");
  if (x < 0 || y < 0 || x >= window->ClientWidth() || y >= window->ClientHeight()) return Error("point outside the window");
  char hex[8];
  std::snprintf(hex, sizeof hex, "%06x", static_cast<unsigned>(test_driver::PixelAt(window, x, y) & 0xFFFFFF));
  return Ok(hex);
}

// The file name is the rest of the line, spaces and all.
std::string TTestControlCommands::Screenshot(const std::string& rest, const Words& words) {
  if (words.size() < 2) return Error("usage: screenshot <control> <file.png>");
  auto* window = dynamic_cast<TWinControl*>(NamedControl(words[0]));
  if (!window) return Error("no window \"" + EscapeReplyText(words[0]) + "\"");
  const std::size_t afterControl = rest.find(' ', rest.find_first_not_of(' '));
  const std::string fileName = rest.substr(rest.find_first_not_of(' ', afterControl));
  if (!test_driver::SaveWindowPicture(window, fileName)) return Error("cannot write \"" + EscapeReplyText(fileName) + "\"");
  return Ok();
}

std::string TTestControlCommands::LastBox() {
  return Ok(JoinEscaped({test_driver::LastMessageBoxCaption(), lastBoxText_}));
}

}  // namespace lark
