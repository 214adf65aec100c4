#include "platform/windows/shell.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>

#include "platform/windows/gui_application.h"
#include "platform/windows/test_driver.h"

namespace lark {
namespace {

QStringList ToQList(const std::vector<std::string>& items) {
  QStringList list;
  for (const std::string& item : items) list << QString::fromStdString(item);
  return list;
}

bool Start(const std::string& program, const std::vector<std::string>& arguments) {
  if (InterceptStart(program, arguments)) return true;
  return QProcess::startDetached(QString::fromStdString(program), ToQList(arguments));
}

}  // namespace

bool ShellOpen(const std::string& target) { return Start("xdg-open", {target}); }

bool PlaySoundFile(const std::string& fileName) {
  // Whatever player the desktop has, PulseAudio's first, then ALSA's.
  for (const char* player : {"paplay", "aplay"})
    if (!QStandardPaths::findExecutable(player).isEmpty() || InterceptsStarts()) return Start(player, {fileName});
  return false;
}

bool StartNewInstance(const std::vector<std::string>& arguments) {
  EnsureGuiApplication();
  return Start(QCoreApplication::applicationFilePath().toStdString(), arguments);
}

bool StartProgram(const std::string& program, const std::vector<std::string>& arguments) {
  return Start(program, arguments);
}

TClipboard* Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}

std::string TClipboard::AsText() const {
  EnsureGuiApplication();
  return QGuiApplication::clipboard()->text().toUtf8().toStdString();
}

void TClipboard::SetAsText(const std::string& text) {
  EnsureGuiApplication();
  QGuiApplication::clipboard()->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

bool TClipboard::HasText() const {
  EnsureGuiApplication();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data && data->hasText();
}

}  // namespace lark
