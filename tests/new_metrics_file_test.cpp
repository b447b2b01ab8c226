// Starting an empty document and writing documents as whole new files, on real
// files in a temporary folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "new_metrics_file.h"
#include "test_files.h"

namespace {

namespace fs = std::filesystem;

class NewMetricsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(StartEmptyMetricsDocument(doc));
    WriteSingle(doc.image, ValueOffset(65, Width), 12.5f);
    WriteSingle(doc.image, ValueOffset(255, 12), -3.0f);
    expected = Bytes(doc.image, doc.image + kMetricsFileSize);
  }
  void TearDown() override { ReleaseMetricsFile(doc); }

  CreateStatus Create(const std::string& path, bool replace) {
    return CreateMetricsFile(doc, path.c_str(), replace);
  }
  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Root())) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  TempFolder folder;
  MetricsDocument doc;
  Bytes expected;
};

TEST_F(NewMetricsFileTest, EmptyDocumentIsLoadedAndAllZero) {
  MetricsDocument empty;
  ASSERT_TRUE(StartEmptyMetricsDocument(empty));
  EXPECT_TRUE(IsDocumentLoaded(empty));
  EXPECT_EQ(empty.fileSize, kMetricsFileSize);
  EXPECT_EQ(Bytes(empty.image, empty.image + kMetricsImageSize), Bytes(kMetricsImageSize, 0));
  ReleaseMetricsFile(empty);
}

TEST_F(NewMetricsFileTest, MissingFileIsCreatedWithExactlyTheFileBytes) {
  for (bool replace : {false, true}) {
    std::string path = folder.Path(replace ? "b.fnt" : "a.fnt");
    ASSERT_EQ(Create(path, replace), CreateStatus::Created);
    EXPECT_EQ(ReadWholeFile(path), expected);
  }
  EXPECT_EQ(FolderNames().size(), 2u) << "no temporary sibling is left";
}

TEST_F(NewMetricsFileTest, ExistingFileIsRefusedUnlessReplacing) {
  std::string path = folder.Path("old.fnt");
  WriteWholeFile(path, PatternedFile(3));
  EXPECT_EQ(Create(path, false), CreateStatus::AlreadyExists);
  EXPECT_EQ(ReadWholeFile(path), PatternedFile(3));
}

TEST_F(NewMetricsFileTest, ReplacingALongerFileLeavesExactlyTheNewBytes) {
  std::string path = folder.Path("grown.fnt");
  Bytes grown = PatternedFile(4);
  grown.resize(kMetricsFileSize + 100, 9);
  WriteWholeFile(path, grown);
  ASSERT_EQ(Create(path, true), CreateStatus::Created);
  EXPECT_EQ(ReadWholeFile(path), expected) << "the old tail is gone, unlike a write-back";
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"grown.fnt"});
}

TEST_F(NewMetricsFileTest, HardLinkedFileIsWrittenInPlaceAndCutToSize) {
  std::string path = folder.Path("a.fnt");
  Bytes grown = PatternedFile(4);
  grown.resize(kMetricsFileSize + 100, 9);
  WriteWholeFile(path, grown);
  fs::create_hard_link(path, folder.Path("b.fnt"));
  ASSERT_EQ(Create(path, true), CreateStatus::Created);
  EXPECT_EQ(ReadWholeFile(folder.Path("b.fnt")), expected) << "both names still show the one file";
  EXPECT_EQ(FolderNames().size(), 2u) << "no temporary sibling is left";
}

TEST_F(NewMetricsFileTest, LeftoverTemporarySiblingDoesNotBlockReplacing) {
  std::string path = folder.Path("a.fnt");
  WriteWholeFile(path, PatternedFile(5));
  WriteWholeFile(path + ".quorvel-new0", Bytes{1, 2, 3});
  ASSERT_EQ(Create(path, true), CreateStatus::Created);
  EXPECT_EQ(ReadWholeFile(path), expected);
  EXPECT_EQ(ReadWholeFile(path + ".quorvel-new0"), (Bytes{1, 2, 3}));
}

TEST_F(NewMetricsFileTest, DirectoryIsNeverReplaced) {
  std::string path = folder.Path("folder.fnt");
  fs::create_directory(path);
  for (bool replace : {false, true}) {
    EXPECT_EQ(Create(path, replace), CreateStatus::NotRegularFile) << replace;
    EXPECT_TRUE(fs::is_directory(path));
  }
}

TEST_F(NewMetricsFileTest, MissingFolderCannotBeOpened) {
  std::string path = folder.Path("no-such-folder/a.fnt");
  EXPECT_EQ(Create(path, false), CreateStatus::CannotOpen);
  EXPECT_EQ(Create(path, true), CreateStatus::CannotOpen);
  EXPECT_FALSE(fs::exists(folder.Path("no-such-folder")));
}

TEST_F(NewMetricsFileTest, NothingIsWrittenWithoutADocument) {
  ReleaseMetricsFile(doc);
  std::string path = folder.Path("a.fnt");
  EXPECT_EQ(Create(path, true), CreateStatus::NoDocument);
  EXPECT_FALSE(fs::exists(path));
}

#ifndef _WIN32
TEST_F(NewMetricsFileTest, DeviceIsNeverReplaced) {
  EXPECT_EQ(CreateMetricsFile(doc, "/dev/full", true), CreateStatus::NotRegularFile);
  EXPECT_EQ(CreateMetricsFile(doc, "/dev/null", false), CreateStatus::NotRegularFile);
}
#endif

}  // namespace
