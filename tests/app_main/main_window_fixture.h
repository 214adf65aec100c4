#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_entry.h"
#include "tests/support/test_files.h"

namespace lark {

// The real main window, made in-process through the test entry in a
// temporary program folder that holds the shipped files.
class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The texts of the message boxes shown, answered with OK.
  std::vector<std::string> boxes_;

  // Writes a file of the program folder; returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const { return dir_.Write(name, bytes); }
  [[nodiscard]] std::string Path(const std::string& name) const { return dir_.File(name); }
  [[nodiscard]] std::string IniFile() const { return Path("larkspan.ini"); }
  [[nodiscard]] std::string StartPage() const { return Path("start.html"); }
  [[nodiscard]] std::string FileURL(const std::string& name) const { return "file://" + Path(name); }

  // Creates and shows the window, and lets its start-up navigation run.
  TfrmMain& Open(std::vector<std::string> params);
  // Runs pending messages until the queue stays empty.
  static void Settle();
  // Destroys the window (its settings are written).
  void Close();
  // The URL the browser shows and its title.
  [[nodiscard]] std::string ShownURL() const;
  [[nodiscard]] std::string ShownTitle() const;
  // Types an address into the box and presses Enter.
  void Navigate(const std::string& address);

  TfrmMain* window_ = nullptr;

 private:
  test::TempDir dir_;
  bool filled_ = FillProgramDir();
  bool FillProgramDir() const;
};

}  // namespace lark
