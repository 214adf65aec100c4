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

}  // namespace

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons) {
  int result = mrNone;
  if (AnswerMessageBox(text, type, buttons, result)) return result;
  EnsureGuiApplication();
  QMessageBox box(IconOf(type), QString::fromStdString(Application()->Title()), QString::fromStdString(text));
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

void ShowMessage(const std::string& text) { MessageDlg(text, TMsgDlgType::mtCustom, mbOK); }

}  // namespace lark
