#pragma once

#include <string>
#include <string_view>

namespace lark {

class TComponent;
class TCustomForm;
class TCustomIniFile;

// Where components keep their settings, and the window placement of forms
// in a settings file.

// A form's class name; for another control its parent form's class name
// followed by its Name (without a form, its parent's Name then its Name);
// for another component owned by a form "<form class>.<Name>", else its
// Name; "" for none.
[[nodiscard]] std::string GetDefaultSection(const TComponent* component);
// The one settings file: the executable's path with ".ini" appended.
[[nodiscard]] std::string GetDefaultIniName();
// "Software\<program name>", for callers that name a registry key (there is
// no registry here: settings live in the INI file).
[[nodiscard]] std::string GetDefaultIniRegKey();

// Reads and writes of a settings file; without one, reads give the default
// and writes do nothing. A string that begins and ends with the same quote
// is written inside one more pair of double quotes, since the file object
// strips one pair when it reads: what is written reads back unchanged.
[[nodiscard]] std::string IniReadString(const TCustomIniFile* ini, std::string_view section, std::string_view ident,
                                        std::string_view fallback);
void IniWriteString(TCustomIniFile* ini, std::string_view section, std::string_view ident, std::string_view value);
[[nodiscard]] int IniReadInteger(const TCustomIniFile* ini, std::string_view section, std::string_view ident,
                                 int fallback);
void IniWriteInteger(TCustomIniFile* ini, std::string_view section, std::string_view ident, int value);

// The form's placement (flags, show command, pixels per inch, minimised and
// maximised positions, normal rectangle) into section: the positions under
// the key with the screen size appended ("NormPos(800x600)") and under the
// plain key, so that each screen size keeps its own.
void WriteFormPlacement(TCustomForm* form, TCustomIniFile* ini, std::string_view section);
// Restores what WriteFormPlacement wrote: the position with loadPosition,
// the window state with loadState. Garbage (too few or non-numeric values,
// an empty or inverted rectangle) is ignored, and the window always ends up
// on the screen.
void ReadFormPlacement(TCustomForm* form, const TCustomIniFile* ini, std::string_view section, bool loadState,
                       bool loadPosition);

}  // namespace lark
