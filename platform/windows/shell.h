#pragma once

#include <string>
#include <vector>

namespace lark {

// The desktop services the program hands work to. Arguments are lists, never
// a command line for a shell.

// Opens a document or address with the desktop's opener (xdg-open).
bool ShellOpen(const std::string& target);
// Plays a sound file; false when nothing here can play it.
bool PlaySoundFile(const std::string& fileName);
// Starts the program again (a new window) with these arguments.
bool StartNewInstance(const std::vector<std::string>& arguments);
// Starts another program with arguments.
bool StartProgram(const std::string& program, const std::vector<std::string>& arguments);

// The clipboard's text.
class TClipboard {
 public:
  std::string AsText() const;
  void SetAsText(const std::string& text);
  bool HasText() const;
};
TClipboard* Clipboard();

}  // namespace lark
