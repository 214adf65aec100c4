#include "controls/app_utils.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "controls/word_routines.h"
#include "platform/core/file_routines.h"
#include "platform/core/ini_file.h"
#include "platform/core/path_routines.h"
#include "platform/core/string_routines.h"
#include "platform/windows/application.h"
#include "platform/windows/form.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/system_metrics.h"

namespace lark {
namespace {

// The class's own name, without namespaces ("TfrmMain"): C++ has no class
// names at run time, so the compiler's type name stands in.
std::string ClassNameOf(const TObject& object) {
  const char* mangled = typeid(object).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                   std::free);
  std::string name = status == 0 && demangled ? demangled.get() : mangled;
  const std::size_t colon = name.rfind("::");
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

const char* const kWordDelimiters = " ,";

// The key of a value kept per screen size: "NormPos(1024x768)".
std::string ScreenSizedKey(std::string_view ident) {
  return std::string(ident) + "(" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
         std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ")";
}

void WriteSized(TCustomIniFile* ini, std::string_view section, std::string_view ident, std::string_view value) {
  IniWriteString(ini, section, ScreenSizedKey(ident), value);
  IniWriteString(ini, section, ident, value);
}

std::string ReadSized(const TCustomIniFile* ini, std::string_view section, std::string_view ident) {
  std::string value = IniReadString(ini, section, ScreenSizedKey(ident), "");
  if (value.empty()) value = IniReadString(ini, section, ident, "");
  return value;
}

std::string FourNumbers(int a, int b, int c, int d) {
  return IntToStr(a) + "," + IntToStr(b) + "," + IntToStr(c) + "," + IntToStr(d);
}

int NumberWord(const std::string& text, int n, int fallback) {
  return StrToIntDef(ExtractWord(n, text, kWordDelimiters), fallback);
}

bool IsMainFormOrNone(const TCustomForm* form) {
  const TCustomForm* main = Application()->MainForm();
  return main == nullptr || main == form;
}

}  // namespace

std::string GetDefaultSection(const TComponent* component) {
  if (component == nullptr) return {};
  if (dynamic_cast<const TCustomForm*>(component)) return ClassNameOf(*component);
  if (const auto* control = dynamic_cast<const TControl*>(component)) {
    if (const TCustomForm* form = GetParentForm(control)) return ClassNameOf(*form) + control->Name();
    if (control->Parent()) return control->Parent()->Name() + control->Name();
    return control->Name();
  }
  if (const auto* form = dynamic_cast<const TCustomForm*>(component->Owner())) {
    return ClassNameOf(*form) + "." + component->Name();
  }
  return component->Name();
}

std::string GetDefaultIniName() { return SettingsFileName(); }

std::string GetDefaultIniRegKey() { return "Software\\" + ChangeFileExt(ExtractFileName(ExecutablePath()), ""); }

std::string IniReadString(const TCustomIniFile* ini, std::string_view section, std::string_view ident,
                          std::string_view fallback) {
  return ini ? ini->ReadString(section, ident, fallback) : std::string(fallback);
}

void IniWriteString(TCustomIniFile* ini, std::string_view section, std::string_view ident, std::string_view value) {
  if (!ini) return;
  const bool quoted = !value.empty() && value.front() == value.back() && (value[0] == '"' || value[0] == '\'');
  if (quoted) {
    ini->WriteString(section, ident, "\"" + std::string(value) + "\"");
  } else {
    ini->WriteString(section, ident, value);
  }
}

int IniReadInteger(const TCustomIniFile* ini, std::string_view section, std::string_view ident, int fallback) {
  return ini ? ini->ReadInteger(section, ident, fallback) : fallback;
}

void IniWriteInteger(TCustomIniFile* ini, std::string_view section, std::string_view ident, int value) {
  if (ini) ini->WriteInteger(section, ident, value);
}

void WriteFormPlacement(TCustomForm* form, TCustomIniFile* ini, std::string_view section) {
  TWindowPlacement placement;
  form->GetWindowPlacement(placement);
  if (form == Application()->MainForm() && IsIconic(Application()->Handle())) placement.showCmd = SW_SHOWMINIMIZED;
  IniWriteInteger(ini, section, "Flags", static_cast<int>(placement.flags));
  IniWriteInteger(ini, section, "ShowCmd", static_cast<int>(placement.showCmd));
  IniWriteInteger(ini, section, "PixelsPerInch", Screen()->PixelsPerInch());
  WriteSized(ini, section, "MinMaxPos",
             FourNumbers(placement.ptMinPosition.X, placement.ptMinPosition.Y, placement.ptMaxPosition.X,
                         placement.ptMaxPosition.Y));
  const TRect& normal = placement.rcNormalPosition;
  WriteSized(ini, section, "NormPos", FourNumbers(normal.Left, normal.Top, normal.Right, normal.Bottom));
}

namespace {

// Step 2 and 3 of restoring: the stored positions, unless the screen's
// resolution differs from the one they were saved at.
void ReadPosition(TCustomForm* form, const TCustomIniFile* ini, std::string_view section,
                  TWindowPlacement& placement) {
  placement.flags = static_cast<unsigned>(IniReadInteger(ini, section, "Flags", static_cast<int>(placement.flags)));
  const std::string min_max = ReadSized(ini, section, "MinMaxPos");
  if (!min_max.empty()) {
    placement.ptMinPosition = Point(NumberWord(min_max, 1, 0), NumberWord(min_max, 2, 0));
    placement.ptMaxPosition = Point(NumberWord(min_max, 3, 0), NumberWord(min_max, 4, 0));
  }
  const std::string normal = ReadSized(ini, section, "NormPos");
  TRect& rect = placement.rcNormalPosition;
  if (!normal.empty()) {
    rect = Rect(NumberWord(normal, 1, form->Left()), NumberWord(normal, 2, form->Top()),
                NumberWord(normal, 3, form->Left() + form->Width()), NumberWord(normal, 4, form->Top() + form->Height()));
  }
  const bool found = (!min_max.empty() || !normal.empty()) &&
                     IniReadInteger(ini, section, "PixelsPerInch", Screen()->PixelsPerInch()) ==
                         Screen()->PixelsPerInch();
  if (!found) return;
  const TFormBorderStyle border = form->BorderStyle();
  if (border != TFormBorderStyle::bsSizeable && border != TFormBorderStyle::bsSizeToolWin) {
    rect = Rect(rect.Left, rect.Top, rect.Left + form->Width(), rect.Top + form->Height());
  }
  // An empty or inverted rectangle would give an invisible window; the layer
  // fits any other onto the screen.
  if (rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  if (form->Position == TPosition::poScreenCenter || form->Position == TPosition::poDesktopCenter) {
    form->Position = TPosition::poDesigned;
  }
  form->SetWindowPlacement(placement);
}

TWindowState StoredState(const TCustomForm* form, const TCustomIniFile* ini, std::string_view section) {
  TWindowState state = TWindowState::wsNormal;
  if (IsMainFormOrNone(form) && form->Position == TPosition::poDefault) state = TWindowState::wsMaximized;
  switch (IniReadInteger(ini, section, "ShowCmd", SW_HIDE)) {
    case 1: case 5: case 9:
      return TWindowState::wsNormal;
    case 2: case 6: case 7:
      return TWindowState::wsMinimized;
    case 3:
      return TWindowState::wsMaximized;
    default:
      return state;
  }
}

}  // namespace

void ReadFormPlacement(TCustomForm* form, const TCustomIniFile* ini, std::string_view section, bool loadState,
                       bool loadPosition) {
  if (!loadState && !loadPosition) return;
  TWindowPlacement placement;
  form->GetWindowPlacement(placement);
  if (loadPosition) ReadPosition(form, ini, section, placement);
  if (!loadState) return;
  const TWindowState state = StoredState(form, ini, section);
  if (state == TWindowState::wsMinimized && IsMainFormOrNone(form)) {
    form->SetWindowState(TWindowState::wsNormal);
    PostMessage(Application()->Handle(), WM_SYSCOMMAND, SC_MINIMIZE);
    return;
  }
  form->SetWindowState(state);
}

}  // namespace lark
