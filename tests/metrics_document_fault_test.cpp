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

// Another run's save may put a new file at the path between the open and the
// resolve: the load opens it again, a bounded number of times.
TEST_F(DocumentFaultTest, APathReplacedWhileOpeningIsOpenedAgain) {
  for (int replaces : {1, 99, 100}) {
    SCOPED_TRACE(replaces);
    FakeFiles().replacesBeforeResolve = replaces;
    EXPECT_EQ(LoadMetricsFile(doc, "a.fnt").status,
              replaces < 100 ? LoadStatus::Loaded : LoadStatus::CannotOpen);
    ReleaseMetricsFile(doc);
  }
}

// A short write of the new content leaves the file as it was, and no sibling; a
// file written in place (it has a second name) keeps what arrived, which is ours:
// a retry writes it whole without asking.
TEST_F(DocumentFaultTest, ShortWriteIsReportedAndLeavesTheFileOrWhatArrived) {
  for (bool inPlace : {false, true}) {
    SCOPED_TRACE(inPlace ? "in place" : "replaced");
    FakeFiles().files = {{"a.fnt", PatternedFile(2)}};
    FakeFiles().linked = inPlace ? std::set<std::string>{"a.fnt"} : std::set<std::string>{};
    ASSERT_EQ(LoadMetricsFile(doc, "a.fnt").status, LoadStatus::Loaded);
    Bytes edited(doc.image, doc.image + kMetricsImageSize);
    edited[0] ^= 0xFF;
    FakeFiles().writeLimit = 10;
    SaveResult saved = SaveEditedImage(doc, edited.data());
    EXPECT_EQ(saved.status, SaveStatus::WriteFailed);
    EXPECT_EQ(FakeFiles().files.size(), 1u) << "no sibling left";
    EXPECT_EQ(FakeFiles().files["a.fnt"][0],
              static_cast<uint8_t>(PatternedFile(2)[0] ^ (inPlace ? 0xFF : 0)));
    EXPECT_EQ(FakeFiles().files["a.fnt"][10], PatternedFile(2)[10]);
    EXPECT_TRUE(IsDocumentLoaded(doc));
    FakeFiles().writeLimit = UINT32_MAX;
    EXPECT_EQ(SaveEditedImage(doc, edited.data()).status, SaveStatus::Saved);
    EXPECT_EQ(FakeFiles().files["a.fnt"], Bytes(edited.begin(), edited.begin() + kMetricsFileSize));
    ReleaseMetricsFile(doc);
  }
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

// A save stopped after any number of steps, each byte written counting as one,
// leaves the file as it was or as written, never a mix; the next save removes
// what the stopped one left beside it.
TEST_F(DocumentFaultTest, AStoppedSaveLeavesTheOldFileOrTheNewOne) {
  const Bytes before = PatternedFile(2);
  Bytes edited = PatternedFile(3);
  edited.resize(kMetricsImageSize, 0);
  const Bytes after(edited.begin(), edited.begin() + kMetricsFileSize);
  long steps = 0;
  for (bool stopped = true; stopped; ++steps) {
    FakeFiles() = FakeFileSystem{};
    FakeFiles().files["a.fnt"] = before;
    ASSERT_EQ(LoadMetricsFile(doc, "a.fnt").status, LoadStatus::Loaded);
    FakeFiles().stepsBeforeStop = steps;
    SaveEditedImage(doc, edited.data());
    stopped = FakeFiles().stopped;
    ReleaseMetricsFile(doc);
    const Bytes& now = FakeFiles().files["a.fnt"];
    ASSERT_TRUE(now == before || now == after) << "stopped after " << steps << " steps";
    // The next run.
    FakeFiles().stopped = false;
    FakeFiles().stepsBeforeStop = -1;
    ASSERT_EQ(LoadMetricsFile(doc, "a.fnt").status, LoadStatus::Loaded);
    ASSERT_EQ(SaveEditedImage(doc, edited.data()).status, SaveStatus::Saved);
    ReleaseMetricsFile(doc);
    ASSERT_EQ(FakeFiles().files.size(), 1u) << "a leftover after " << steps << " steps";
    ASSERT_EQ(FakeFiles().files["a.fnt"], after);
  }
  EXPECT_GT(steps, static_cast<long>(kMetricsFileSize)) << "every byte was a place to stop";
}

// Where a replace would change what the file is or cannot be done, the file is
// written in place (it keeps its identity); a full disk writes nothing at all.
TEST_F(DocumentFaultTest, AReplaceThatCannotKeepTheFileWritesInPlaceAndAFullDiskNothing) {
  struct Case {
    const char* name;
    void (*arrange)(FakeFileSystem&);
    SaveStatus status;
    bool replaced;
  };
  const Case cases[] = {
      {"one name", [](FakeFileSystem&) {}, SaveStatus::Saved, true},
      {"a second name", [](FakeFileSystem& f) { f.linked = {"a.fnt"}; }, SaveStatus::Saved, false},
      {"an owner not to give", [](FakeFileSystem& f) { f.failOwnership = true; }, SaveStatus::Saved,
       false},
      {"a rename refused", [](FakeFileSystem& f) { f.failMove = true; }, SaveStatus::Saved, false},
      {"a full disk", [](FakeFileSystem& f) { f.noRoom = true; }, SaveStatus::WriteFailed, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeFiles() = FakeFileSystem{};
    FakeFiles().files["a.fnt"] = PatternedFile(2);
    ASSERT_EQ(LoadMetricsFile(doc, "a.fnt").status, LoadStatus::Loaded);
    const FileIdentity loaded = doc.identity;
    c.arrange(FakeFiles());
    Bytes edited(doc.image, doc.image + kMetricsImageSize);
    edited[5] ^= 0xFF;
    EXPECT_EQ(SaveEditedImage(doc, edited.data()).status, c.status);
    EXPECT_EQ(FakeFiles().files.size(), 1u) << "no sibling left";
    EXPECT_EQ(FakeFiles().files["a.fnt"][5], c.status == SaveStatus::Saved ? edited[5] : PatternedFile(2)[5]);
    EXPECT_EQ(doc.identity != loaded, c.replaced);
    ReleaseMetricsFile(doc);
  }
}

}  // namespace
