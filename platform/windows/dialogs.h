#pragma once

#include <functional>
#include <string>

namespace lark {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : unsigned {
  mbYes = 1u << 0,
  mbNo = 1u << 1,
  mbOK = 1u << 2,
  mbCancel = 1u << 3,
  mbAbort = 1u << 4,
  mbRetry = 1u << 5,
  mbIgnore = 1u << 6,
};
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;

// A modal message box captioned by its type ("Warning", "Error",
// "Information", "Confirm"; a custom box takes the application's title);
// returns the modal result of the button pressed.
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons);
// A box captioned with the application's title and an OK button.
void ShowMessage(const std::string& text);
// A box with its own caption (the application's message box).
int MessageBox(const std::string& text, const std::string& caption, TMsgDlgType type, TMsgDlgButtons buttons);

}  // namespace lark
