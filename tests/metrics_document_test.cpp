// Loading and writing back real files in a temporary folder.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "metrics_document.h"
#include "test_files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace {

class MetricsDocumentTest : public ::testing::Test {
 protected:
  void TearDown() override { ReleaseMetricsFile(doc); }

  LoadStatus Load(const std::string& path) {
    last = LoadMetricsFile(doc, path.c_str());
    return last.status;
  }
  SaveStatus Save(SaveCheck check = SaveCheck::RefuseOutsideChange) {
    return SaveMetricsFile(doc, check).status;
  }
  // Writes the image with one width changed, as the change command does.
  SaveStatus SaveWidth(uint8_t code, float width,
                       SaveCheck check = SaveCheck::RefuseOutsideChange) {
    Bytes edited(doc.image, doc.image + kMetricsImageSize);
    WriteSingle(edited.data(), ValueOffset(code, Width), width);
    return SaveEditedImage(doc, edited.data(), check).status;
  }

  Bytes ImageFileBytes() const { return Bytes(doc.image, doc.image + kMetricsFileSize); }

  TempFolder folder;
  MetricsDocument doc;
  LoadResult last;  // of the latest Load
};

TEST_F(MetricsDocumentTest, ZeroFileLoadsWithEveryValueZero) {
  std::string path = folder.Path("zero.fnt");
  WriteWholeFile(path, Bytes(kMetricsFileSize, 0));
  ASSERT_EQ(Load(path), LoadStatus::Loaded);
  EXPECT_TRUE(IsDocumentLoaded(doc));
  EXPECT_EQ(doc.fileSize, kMetricsFileSize);
  EXPECT_EQ(doc.file, kNoFile);
  EXPECT_EQ(ReadLineSpacing(doc.image), 0.0f);
  for (int code = 0; code < kCodeCount; ++code) {
    for (uint32_t value = kFirstEditedValue; value < kFirstEditedValue + kEditedValueCount; ++value) {
      EXPECT_EQ(ReadRecordValue(doc.image, static_cast<uint8_t>(code), value), 0.0f);
    }
  }
}

TEST_F(MetricsDocumentTest, ImageHoldsTheFileFollowedByAZeroTail) {
  std::string path = folder.Path("pattern.fnt");
  Bytes file = PatternedFile();
  WriteWholeFile(path, file);
  ASSERT_EQ(Load(path), LoadStatus::Loaded);
  EXPECT_EQ(ImageFileBytes(), file);
  for (uint32_t i = kMetricsFileSize; i < kMetricsImageSize; ++i) EXPECT_EQ(doc.image[i], 0) << i;
  // Record 255's value 13 lies in the tail and reads as zero.
  EXPECT_EQ(ReadRecordValue(doc.image, 255, 13), 0.0f);
}

TEST_F(MetricsDocumentTest, FilesOneByteOffAndEmptyAreRefused) {
  for (size_t size : {size_t{kMetricsFileSize - 1}, size_t{kMetricsFileSize + 1}, size_t{0}}) {
    std::string path = folder.Path("size" + std::to_string(size) + ".fnt");
    WriteWholeFile(path, Bytes(size, 0));
    EXPECT_EQ(Load(path), LoadStatus::WrongSize) << size;
    EXPECT_FALSE(IsDocumentLoaded(doc));
    EXPECT_EQ(doc.image, nullptr);
    EXPECT_EQ(doc.file, kNoFile);
    EXPECT_EQ(doc.fileSize, 0u) << "keeps its value from before the first load";
    EXPECT_EQ(last.kind, FileKind::RegularFile);
    EXPECT_EQ(last.size, size) << "the size found, for the report";
  }
}

TEST_F(MetricsDocumentTest, FailedLoadDiscardsTheLoadedDocument) {
  std::string good = folder.Path("good.fnt"), bad = folder.Path("bad.fnt");
  WriteWholeFile(good, PatternedFile());
  WriteWholeFile(bad, Bytes(kMetricsFileSize + 1, 7));
  ASSERT_EQ(Load(good), LoadStatus::Loaded);
  EXPECT_EQ(Load(bad), LoadStatus::WrongSize);
  EXPECT_FALSE(IsDocumentLoaded(doc));
  EXPECT_EQ(doc.fileSize, kMetricsFileSize) << "the size field keeps its last value";
  // Nothing is loaded, so nothing is written, to either file.
  EXPECT_EQ(Save(SaveCheck::Overwrite), SaveStatus::NoDocument);
  EXPECT_EQ(ReadWholeFile(good), PatternedFile());
  EXPECT_EQ(ReadWholeFile(bad), Bytes(kMetricsFileSize + 1, 7));
}

TEST_F(MetricsDocumentTest, EmptyPathReleasesAndReportsNothing) {
  std::string path = folder.Path("a.fnt");
  WriteWholeFile(path, PatternedFile());
  ASSERT_EQ(Load(path), LoadStatus::Loaded);
  EXPECT_EQ(Load(""), LoadStatus::NoPath);
  EXPECT_FALSE(IsDocumentLoaded(doc));
}

TEST_F(MetricsDocumentTest, MissingFileCannotBeOpened) {
  EXPECT_EQ(Load(folder.Path("missing.fnt")), LoadStatus::CannotOpen);
  EXPECT_FALSE(IsDocumentLoaded(doc));
  EXPECT_EQ(last.kind, FileKind::Unknown);
#ifndef _WIN32
  EXPECT_EQ(last.systemError, ENOENT);
#endif
}

TEST_F(MetricsDocumentTest, DirectoryIsRefused) {
  std::string path = folder.Path("folder.fnt");
  std::filesystem::create_directory(path);
  LoadStatus status = Load(path);
  EXPECT_EQ(status, LoadStatus::NotRegularFile);
  EXPECT_EQ(last.kind, FileKind::Directory) << "the report says what it is";
  EXPECT_FALSE(IsDocumentLoaded(doc));
}

TEST_F(MetricsDocumentTest, SaveWritesEveryByteBack) {
  std::string path = folder.Path("roundtrip.fnt");
  WriteWholeFile(path, PatternedFile(5));
  ASSERT_EQ(Load(path), LoadStatus::Loaded);
  ASSERT_EQ(Save(), SaveStatus::Saved);
  EXPECT_EQ(ReadWholeFile(path), PatternedFile(5));
  EXPECT_EQ(doc.bytesTransferred, kMetricsFileSize);
  EXPECT_EQ(doc.file, kNoFile);
}

TEST_F(MetricsDocumentTest, SaveWritesTheChangedImage) {
  std::string path = folder.Path("changed.fnt");
  WriteWholeFile(path, PatternedFile());
  ASSERT_EQ(Load(path), LoadStatus::Loaded);
  ASSERT_EQ(SaveWidth(65, 12.5f), SaveStatus::Saved);
  Bytes expected = PatternedFile();
  WriteSingle(expected.data(), ValueOffset(65, Width), 12.5f);
  EXPECT_EQ(ReadWholeFile(path), expected);
}

// A file that grew since the load was changed by someone else: refused, and
// written over only when asked, keeping the bytes beyond the metrics.
TEST_F(MetricsDocumentTest, SaveOverAGrownFileAsksAndKeepsItsTail) {
  std::string path = folder.Path("grown.fnt");
  WriteWholeFile(path, Bytes(kMetricsFileSize, 0));
  ASSERT_EQ(Load(path), LoadStatus::Loaded);
  Bytes grown = PatternedFile(9);
  grown.insert(grown.end(), {1, 2, 3, 4, 5});
  WriteWholeFile(path, grown);
  ASSERT_EQ(Save(), SaveStatus::ChangedOutside);
  EXPECT_EQ(ReadWholeFile(path), grown);
  ASSERT_EQ(Save(SaveCheck::Overwrite), SaveStatus::Saved);
  Bytes expected(kMetricsFileSize, 0);
  expected.insert(expected.end(), {1, 2, 3, 4, 5});
  EXPECT_EQ(ReadWholeFile(path), expected);
}

// Changes another program made since the load, on every platform: refused with
// the file untouched, written over only when the user said so.
TEST_F(MetricsDocumentTest, OutsideChangesAreRefusedUnlessOverwriteIsAsked) {
  const struct {
    const char* name;
    void (*change)(const std::string& path, const std::string& spare);
  } cases[] = {
      {"bytes changed in place",
       [](const std::string& path, const std::string&) { WriteWholeFile(path, PatternedFile(8)); }},
      {"replaced by another file",
       [](const std::string& path, const std::string& spare) {
         WriteWholeFile(spare, PatternedFile(9));
         std::filesystem::rename(spare, path);
       }},
      {"grew",
       [](const std::string& path, const std::string&) {
         Bytes grown = PatternedFile();
         grown.push_back(1);
         WriteWholeFile(path, grown);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string path = folder.Path("a.fnt");
    WriteWholeFile(path, PatternedFile());
    ASSERT_EQ(Load(path), LoadStatus::Loaded);
    c.change(path, folder.Path("spare.fnt"));
    Bytes theirs = ReadWholeFile(path);
    EXPECT_EQ(SaveWidth(65, 3.0f), SaveStatus::ChangedOutside);
    EXPECT_EQ(ReadWholeFile(path), theirs);
    EXPECT_EQ(SaveWidth(65, 3.0f, SaveCheck::Overwrite), SaveStatus::Saved);
    EXPECT_EQ(ReadRecordValue(ReadWholeFile(path).data(), 65, Width), 3.0f);
    EXPECT_EQ(SaveWidth(65, 4.0f), SaveStatus::Saved) << "the file written is the one known now";
  }
}

TEST_F(MetricsDocumentTest, SaveNeverCreatesAFile) {
  std::string path = folder.Path("gone.fnt");
  WriteWholeFile(path, PatternedFile(3));
  ASSERT_EQ(Load(path), LoadStatus::Loaded);
  std::filesystem::remove(path);
  EXPECT_EQ(SaveWidth(65, 1.0f, SaveCheck::Overwrite), SaveStatus::CannotOpen);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(MetricsDocumentTest, SaveOverADirectoryIsRefused) {
  std::string path = folder.Path("replaced.fnt");
  WriteWholeFile(path, PatternedFile());
  ASSERT_EQ(Load(path), LoadStatus::Loaded);
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  EXPECT_EQ(Save(SaveCheck::Overwrite), SaveStatus::NotRegularFile);
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_TRUE(IsDocumentLoaded(doc)) << "a failed write keeps the document";
}

TEST_F(MetricsDocumentTest, ReleaseTwiceIsHarmless) {
  std::string path = folder.Path("a.fnt");
  WriteWholeFile(path, PatternedFile());
  ASSERT_EQ(Load(path), LoadStatus::Loaded);
  ReleaseMetricsFile(doc);
  ReleaseMetricsFile(doc);
  EXPECT_EQ(doc.image, nullptr);
  EXPECT_EQ(doc.file, kNoFile);
}

#ifdef _WIN32
// Wine run as root ignores the read-only attribute, as root does natively. What
// another program's sharing allows decides the save: no write sharing refuses it,
// write but no delete sharing writes in place, full sharing lets it replace.
TEST_F(MetricsDocumentTest, SharingOfAnotherProgramDecidesTheSave) {
  struct Case {
    DWORD share;
    SaveStatus status;
    bool replaced;
  };
  const Case cases[] = {
      {0, SaveStatus::CannotOpen, false},
      {FILE_SHARE_READ, SaveStatus::CannotOpen, false},
      {FILE_SHARE_READ | FILE_SHARE_WRITE, SaveStatus::Saved, false},
      {FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, SaveStatus::Saved, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.share);
    std::string path = folder.Path("held.fnt");
    WriteWholeFile(path, PatternedFile(4));
    ASSERT_EQ(Load(path), LoadStatus::Loaded);
    HANDLE other =
        CreateFileA(path.c_str(), GENERIC_READ, c.share, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SaveWidth(0, 1.0f), c.status);
    Bytes seen(kMetricsFileSize);
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(other, seen.data(), kMetricsFileSize, &got, nullptr));
    CloseHandle(other);
    Bytes now = ReadWholeFile(path);
    EXPECT_EQ(now != PatternedFile(4), c.status == SaveStatus::Saved);
    // A handle on the replaced file still reads the old bytes; one written in place, the new.
    EXPECT_EQ(seen == now, !c.replaced);
    ReleaseMetricsFile(doc);
  }
}

// Both runs share the file: the second opens and waits for the first's lock.
TEST_F(MetricsDocumentTest, ASecondRunOpensTheFileAndWaitsForTheLock) {
  std::string path = folder.Path("queued.fnt");
  WriteWholeFile(path, PatternedFile(4));
  FileHandle first = kNoFile;
  FileHandle second = kNoFile;
  FileFacts facts;
  ASSERT_EQ(OpenFileForUpdate(path.c_str(), &first, &facts), FileOpenStatus::Opened);
  ASSERT_EQ(OpenFileForUpdate(path.c_str(), &second, &facts), FileOpenStatus::Opened);
  ASSERT_TRUE(LockFileExclusive(first));
  HANDLE unlocker = CreateThread(
      nullptr, 0,
      [](LPVOID file) -> DWORD {
        Sleep(200);
        CloseFileHandle(reinterpret_cast<FileHandle>(file));
        return 0;
      },
      reinterpret_cast<LPVOID>(first), 0, nullptr);
  EXPECT_TRUE(LockFileExclusive(second));
  WaitForSingleObject(unlocker, INFINITE);
  CloseHandle(unlocker);
  CloseFileHandle(second);
}
#else
TEST_F(MetricsDocumentTest, FifoIsRefusedWithoutWaiting) {
  std::string path = folder.Path("pipe.fnt");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  EXPECT_EQ(Load(path), LoadStatus::NotRegularFile);
  EXPECT_EQ(last.kind, FileKind::Other);
  EXPECT_FALSE(IsDocumentLoaded(doc));
}

TEST_F(MetricsDocumentTest, DeviceIsRefused) {
  EXPECT_EQ(Load("/dev/zero"), LoadStatus::NotRegularFile);
  EXPECT_EQ(Load("/dev/null"), LoadStatus::NotRegularFile);
}

// A file-size limit below the metrics size would cut an in-place write off
// half-way: the save refuses before it writes a byte.
TEST_F(MetricsDocumentTest, FileSizeLimitBelowTheMetricsIsRefusedBeforeWriting) {
  std::string path = folder.Path("limited.fnt");
  WriteWholeFile(path, PatternedFile());
  ASSERT_EQ(Load(path), LoadStatus::Loaded);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {8192, 8192};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(10);
    Bytes edited(doc.image, doc.image + kMetricsImageSize);
    edited[0] ^= 1;
    SaveResult saved = SaveEditedImage(doc, edited.data());
    _exit(saved.status == SaveStatus::WriteFailed && saved.written == 0 && saved.systemError == EFBIG ? 0 : 11);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10: no limit, 11: not refused as too large";
  EXPECT_EQ(ReadWholeFile(path), PatternedFile());
}

// Root writes to files without write permission, so the check runs in a child
// that gives up root first.
TEST_F(MetricsDocumentTest, ReadOnlyFileLoadsButCannotBeWritten) {
  std::string path = folder.Path("readonly.fnt");
  WriteWholeFile(path, PatternedFile(4));
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  ASSERT_EQ(chmod(folder.Root().c_str(), 0755), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(10);
    MetricsDocument readonlyDoc;
    if (LoadMetricsFile(readonlyDoc, path.c_str()).status != LoadStatus::Loaded) _exit(11);
    Bytes edited(readonlyDoc.image, readonlyDoc.image + kMetricsImageSize);
    edited[ValueOffset(0, Width)] ^= 1;
    _exit(SaveEditedImage(readonlyDoc, edited.data()).status == SaveStatus::CannotOpen ? 0 : 12);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "10: cannot drop root, 11: load failed, 12: wrote";
  EXPECT_EQ(ReadWholeFile(path), PatternedFile(4));
}
#endif

}  // namespace
