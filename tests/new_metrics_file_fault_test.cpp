// Failed writes of new files leave nothing half-written behind (fake file layer).
#include <gtest/gtest.h>

#include "fake_file_io.h"
#include "new_metrics_file.h"

namespace {

class NewMetricsFileFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeFiles() = FakeFileSystem{};
    ASSERT_TRUE(StartEmptyMetricsDocument(doc));
    doc.image[100] = 7;
  }
  void TearDown() override {
    ReleaseMetricsFile(doc);
    EXPECT_EQ(FakeFiles().openHandles, 0) << "every handle is closed again";
  }

  MetricsDocument doc;
};

struct WriteFault {
  const char* name;
  void (*arrange)(FakeFileSystem&);
};

const WriteFault kWriteFaults[] = {
    {"failed write", [](FakeFileSystem& fake) { fake.failWrite = true; }},
    {"short write", [](FakeFileSystem& fake) { fake.writeLimit = 10; }},
    {"failed close", [](FakeFileSystem& fake) { fake.failClose = true; }},
};

TEST_F(NewMetricsFileFaultTest, FailedWriteOfANewFileLeavesNothing) {
  for (const auto& fault : kWriteFaults) {
    FakeFiles().files.clear();
    FakeFileSystem& fake = FakeFiles();
    fake.failWrite = false, fake.writeLimit = UINT32_MAX, fake.failClose = false;
    fault.arrange(fake);
    EXPECT_EQ(CreateMetricsFile(doc, "new.fnt", false), CreateStatus::WriteFailed) << fault.name;
    EXPECT_TRUE(FakeFiles().files.empty()) << fault.name;
  }
}

TEST_F(NewMetricsFileFaultTest, FailedWriteOfAReplacementKeepsTheOldFile) {
  for (const auto& fault : kWriteFaults) {
    FakeFiles().files.clear();
    FakeFileSystem& fake = FakeFiles();
    fake.failWrite = false, fake.writeLimit = UINT32_MAX, fake.failClose = false;
    fake.files["old.fnt"] = PatternedFile(6);
    fault.arrange(fake);
    EXPECT_EQ(CreateMetricsFile(doc, "old.fnt", true), CreateStatus::WriteFailed) << fault.name;
    EXPECT_EQ(FakeFiles().files.size(), 1u) << fault.name << ": no temporary sibling is left";
    EXPECT_EQ(FakeFiles().files["old.fnt"], PatternedFile(6)) << fault.name;
  }
}

TEST_F(NewMetricsFileFaultTest, FailedMoveKeepsTheOldFileAndRemovesTheSibling) {
  FakeFiles().files["old.fnt"] = PatternedFile(6);
  FakeFiles().failMove = true;
  EXPECT_EQ(CreateMetricsFile(doc, "old.fnt", true), CreateStatus::CannotReplace);
  EXPECT_EQ(FakeFiles().files.size(), 1u);
  EXPECT_EQ(FakeFiles().files["old.fnt"], PatternedFile(6));
}

TEST_F(NewMetricsFileFaultTest, FailedAllocationStartsNoDocument) {
  FakeFiles().failAllocation = true;
  EXPECT_FALSE(StartEmptyMetricsDocument(doc));
  EXPECT_FALSE(IsDocumentLoaded(doc));
  EXPECT_EQ(CreateMetricsFile(doc, "new.fnt", false), CreateStatus::NoDocument);
  EXPECT_TRUE(FakeFiles().files.empty());
}

}  // namespace
