// The document's reaction to failures that real files rarely produce: short and
// failed reads and writes, failed closes and allocations (fake file layer).
#include <gtest/gtest.h>

#include "fake_file_io.h"
#include "metrics_document.h"

namespace {

class DocumentFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeFiles() = FakeFileSystem{};
    FakeFiles().files["a.fnt"] = PatternedFile(2);
  }
  void TearDown() override {
    ReleaseMetricsFile(doc);
    EXPECT_EQ(FakeFiles().openHandles, 0) << "every handle is closed again";
  }

  MetricsDocument doc;
};

TEST_F(DocumentFaultTest, ShortReadIsAFailedLoad) {
  FakeFiles().readLimit = kMetricsFileSize - 1;
  EXPECT_EQ(LoadMetricsFile(doc, "a.fnt").status, LoadStatus::ReadFailed);
  EXPECT_FALSE(IsDocumentLoaded(doc));
  EXPECT_EQ(doc.image, nullptr);
}

TEST_F(DocumentFaultTest, FailedReadIsAFailedLoad) {
  FakeFiles().failRead = true;
  LoadResult result = LoadMetricsFile(doc, "a.fnt");
  EXPECT_EQ(result.status, LoadStatus::ReadFailed);
  EXPECT_NE(result.systemError, 0) << "the read's own error, for the report";
  EXPECT_FALSE(IsDocumentLoaded(doc));
}

TEST_F(DocumentFaultTest, FailedAllocationIsAFailedLoad) {
  FakeFiles().failAllocation = true;
  EXPECT_EQ(LoadMetricsFile(doc, "a.fnt").status, LoadStatus::OutOfMemory);
  EXPECT_FALSE(IsDocumentLoaded(doc));
}

TEST_F(DocumentFaultTest, ShortWriteIsReportedAndLeavesWhatArrived) {
  ASSERT_EQ(LoadMetricsFile(doc, "a.fnt").status, LoadStatus::Loaded);
  Bytes edited(doc.image, doc.image + kMetricsImageSize);
  edited[0] ^= 0xFF;
  FakeFiles().writeLimit = 10;
  SaveResult saved = SaveEditedImage(doc, edited.data());
  EXPECT_EQ(saved.status, SaveStatus::WriteFailed);
  EXPECT_EQ(saved.written, 10u);
  EXPECT_EQ(FakeFiles().files["a.fnt"][0], static_cast<uint8_t>(PatternedFile(2)[0] ^ 0xFF));
  EXPECT_EQ(FakeFiles().files["a.fnt"][10], PatternedFile(2)[10]);
  EXPECT_TRUE(IsDocumentLoaded(doc));
  // The part that arrived is ours, not another program's: a retry writes it whole.
  FakeFiles().writeLimit = UINT32_MAX;
  EXPECT_EQ(SaveEditedImage(doc, edited.data()).status, SaveStatus::Saved);
}

TEST_F(DocumentFaultTest, FailedWriteIsReported) {
  ASSERT_EQ(LoadMetricsFile(doc, "a.fnt").status, LoadStatus::Loaded);
  FakeFiles().failWrite = true;
  EXPECT_EQ(SaveMetricsFile(doc).status, SaveStatus::WriteFailed);
  EXPECT_EQ(FakeFiles().files["a.fnt"], PatternedFile(2));
}

TEST_F(DocumentFaultTest, FailedCloseAfterWriteIsReported) {
  ASSERT_EQ(LoadMetricsFile(doc, "a.fnt").status, LoadStatus::Loaded);
  FakeFiles().failClose = true;
  EXPECT_EQ(SaveMetricsFile(doc).status, SaveStatus::WriteFailed);
  EXPECT_EQ(doc.file, kNoFile) << "the handle is gone even when closing failed";
}

// The edited image becomes the document only when it reached the file whole.
TEST_F(DocumentFaultTest, EditedImageIsAdoptedOnlyAfterAWholeWrite) {
  ASSERT_EQ(LoadMetricsFile(doc, "a.fnt").status, LoadStatus::Loaded);
  Bytes edited(doc.image, doc.image + kMetricsImageSize);
  edited[100] ^= 0xFF;
  for (bool failWrite : {true, false}) {
    FakeFiles().writeLimit = failWrite ? 10 : UINT32_MAX;
    SaveStatus status = SaveEditedImage(doc, edited.data()).status;
    EXPECT_EQ(status, failWrite ? SaveStatus::WriteFailed : SaveStatus::Saved);
    EXPECT_EQ(doc.image[100], failWrite ? PatternedFile(2)[100] : edited[100]) << failWrite;
  }
}

}  // namespace
