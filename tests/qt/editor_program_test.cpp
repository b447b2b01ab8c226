// The Qt program's run from its argument vector to the exit code: the real dialog,
// modal, closed through its window's close button.
#include "editor_program.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <string>
#include <vector>

#include "editor_state.h"
#include "metrics_format.h"
#include "test_files.h"

namespace {

struct RunResult {
  int exitCode;
  QString caption;
};

// The program's window, once it is shown.
QWidget* ShownWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible()) return widget;
  }
  return nullptr;
}

// Runs the program with args, reads the caption once the window is up, then
// closes the window as the user does.
RunResult RunAndClose(std::vector<std::string> args) {
  ResetEditorState();
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  RunResult result{-2, QString()};
  QTimer::singleShot(0, [&result] {
    QWidget* window = ShownWindow();
    if (!window) return;
    result.caption = window->windowTitle();
    window->close();
  });
  result.exitCode = RunEditorProgram(static_cast<int>(args.size()), argv.data());
  ResetEditorState();
  return result;
}

TEST(EditorProgram, OpensTheFileAndEndsWithZero) {
  TempFolder folder;
  const std::string path = folder.Path("start.fnt");
  WriteWholeFile(path, PatternedFile());
  RunResult run = RunAndClose({"quorvel", path});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.caption, "QUORVEL - start.fnt");
}

TEST(EditorProgram, WithoutArgumentStartsEmpty) {
  RunResult run = RunAndClose({"quorvel"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.caption, "QUORVEL");
}

TEST(EditorProgram, ArgumentLongerThanThePathBufferIsNone) {
  TempFolder folder;
  std::string tooLong = folder.Path("");
  while (tooLong.size() < kPathBufferSize) tooLong += "sub/";
  tooLong += "x.fnt";
  RunResult run = RunAndClose({"quorvel", tooLong});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.caption, "QUORVEL") << "nothing loaded, nothing reported";
}

}  // namespace
