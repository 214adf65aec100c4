#include "platform/windows/dialogs.h"

#include <QMessageBox>

#include "platform/windows/application.h"
#include "platform/windows/control_types.h"
#include "platform/windows/gui_application.h"
#include "platform/windows/test_driver.h"

namespace lark {
namespace {

struct ButtonMap {
  TMsgDlgBtn button;
  QMessageBox::StandardButton qt;
  int result;
};

constexpr ButtonMap kButtons[] = {
    {mbYes, QMessageBox::Yes, mrYes},       {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},          {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort}, {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},
};

QMessageBox::Icon IconOf(TMsgDlgType type) {
  switch (type) {
    case TMsgDlgType::mtWarning:
      return QMessageBox::Warning;
    case TMsgDlgType::mtError:
      return QMessageBox::Critical;
    case TMsgDlgType::mtInformation:
      return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation:
      return QMessageBox::Question;
    default:
      return QMessageBox::NoIcon;
  }
}

std::string CaptionOf(TMsgDlgType type) {
  switch (type) {
    case TMsgDlgType::mtWarning:
      return "Warning";
    case TMsgDlgType::mtError:
      return "Error";
    case TMsgDlgType::mtInformation:
      return "Information";
    case TMsgDlgType::mtConfirmation:
      return "Confirm";
    default:
      return Application()->Title();
  }
}

}  // namespace

int MessageBox(const std::string& text, const std::string& caption, TMsgDlgType type, TMsgDlgButtons buttons) {
  int result = mrNone;
  if (AnswerMessageBox(text, caption, type, buttons, result)) return result;
  EnsureGuiApplication();
  QMessageBox box(IconOf(type), QString::fromStdString(caption), QString::fromStdString(text));
  for (const ButtonMap& b : kButtons)
    if (buttons & b.button) box.addButton(b.qt);
  // The box runs in the layer's own loop, so posted messages and timers go on.
  box.open();
  while (box.isVisible() && !Application()->Terminated()) Application()->HandleMessage();
  QAbstractButton* pressed = box.clickedButton();
  for (const ButtonMap& b : kButtons)
    if (pressed && box.standardButton(pressed) == b.qt) return b.result;
  return (buttons & mbCancel) ? mrCancel : mrNone;
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  return MessageBox(text, CaptionOf(type), type, buttons);
}

void ShowMessage(const std::string& text) { MessageDlg(text, TMsgDlgType::mtCustom, mbOK); }

}  // namespace lark
