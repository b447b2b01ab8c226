// What the user is told for each way a load or a save can end.
#include <gtest/gtest.h>

#include "error_report.h"
#include "modal_script.h"

namespace {

struct LoadCase {
  LoadStatus status;
  const char* message;  // nullptr: nothing is shown
};

struct SaveCase {
  SaveStatus status;
  const char* message;
};

std::string Shown() {
  const auto& shown = MessagesShown();
  if (shown.empty()) return "(nothing)";
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown.back().caption, "QUORVEL");
  EXPECT_EQ(shown.back().type, static_cast<unsigned>(MB_ICONERROR | MB_OK));
  return shown.back().text;
}

TEST(ReportLoadStatus, NamesEachFailure) {
  const LoadCase cases[] = {
      {LoadStatus::Loaded, nullptr},
      {LoadStatus::NoPath, nullptr},
      {LoadStatus::CannotOpen, "File Handle Error"},
      {LoadStatus::NotRegularFile, "File Handle Error"},  // as Windows, which cannot open it
      {LoadStatus::WrongSize, "Error"},
      {LoadStatus::OutOfMemory, "Error"},
      {LoadStatus::ReadFailed, "Error"},
  };
  for (const LoadCase& c : cases) {
    InstallModalScript();
    LoadResult result;
    result.status = c.status;
    ReportLoadResult(result, "main.fnt");
    EXPECT_EQ(Shown(), c.message ? c.message : "(nothing)") << static_cast<int>(c.status);
  }
}

TEST(ReportSaveStatus, NamesEachFailure) {
  const SaveCase cases[] = {
      {SaveStatus::Saved, nullptr},
      {SaveStatus::NoDocument, nullptr},
      {SaveStatus::CannotOpen, "File Handle Error"},
      {SaveStatus::WriteFailed, "Write Error"},
  };
  for (const SaveCase& c : cases) {
    InstallModalScript();
    SaveResult result;
    result.status = c.status;
    ReportSaveResult(result, "main.fnt");
    EXPECT_EQ(Shown(), c.message ? c.message : "(nothing)") << static_cast<int>(c.status);
  }
}

}  // namespace
