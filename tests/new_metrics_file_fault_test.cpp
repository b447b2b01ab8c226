// Failed writes of new and replaced files leave nothing half-written behind, and
// files with more than one name are written in place (fake file layer).
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

enum class Before { Missing, OneName, Linked };
// What the path holds afterwards. Unknown: a failed write in place may leave a part.
enum class After { Missing, Old, New, Unknown };

struct FaultCase {
  const char* name;
  Before before;
  void (*arrange)(FakeFileSystem&);
  CreateStatus status;
  After after;
};

void NoFault(FakeFileSystem&) {}
void FailWrite(FakeFileSystem& fake) { fake.failWrite = true; }
void ShortWrite(FakeFileSystem& fake) { fake.writeLimit = 10; }
void FailFlush(FakeFileSystem& fake) { fake.failFlush = true; }
void FailClose(FakeFileSystem& fake) { fake.failClose = true; }
void FailFolderFlush(FakeFileSystem& fake) { fake.failFolderFlush = true; }

const FaultCase kFaults[] = {
    {"new file: failed write", Before::Missing, FailWrite, CreateStatus::WriteFailed,
     After::Missing},
    {"new file: short write", Before::Missing, ShortWrite, CreateStatus::WriteFailed,
     After::Missing},
    {"new file: failed flush", Before::Missing, FailFlush, CreateStatus::WriteFailed,
     After::Missing},
    {"new file: failed close", Before::Missing, FailClose, CreateStatus::WriteFailed,
     After::Missing},
    {"new file: folder not flushed", Before::Missing, FailFolderFlush, CreateStatus::NotDurable,
     After::New},
    {"replacement: failed write", Before::OneName, FailWrite, CreateStatus::WriteFailed,
     After::Old},
    {"replacement: short write", Before::OneName, ShortWrite, CreateStatus::WriteFailed,
     After::Old},
    {"replacement: failed flush", Before::OneName, FailFlush, CreateStatus::WriteFailed,
     After::Old},
    {"replacement: failed close", Before::OneName, FailClose, CreateStatus::WriteFailed,
     After::Old},
    {"replacement: failed move", Before::OneName,
     [](FakeFileSystem& fake) { fake.failMove = true; }, CreateStatus::CannotReplace, After::Old},
    {"replacement: folder not flushed", Before::OneName, FailFolderFlush, CreateStatus::NotDurable,
     After::New},
    {"replacement: owner not kept, so written in place and cut to size", Before::OneName,
     [](FakeFileSystem& fake) { fake.failOwnership = true; }, CreateStatus::Created, After::New},
    {"replacement: owner not kept, then the flush in place fails", Before::OneName,
     [](FakeFileSystem& fake) { fake.failOwnership = fake.failFlush = true; },
     CreateStatus::InPlaceWriteFailed, After::Unknown},
    {"linked file: written in place and cut to size", Before::Linked, NoFault,
     CreateStatus::Created, After::New},
    {"linked file: failed write", Before::Linked, FailWrite, CreateStatus::InPlaceWriteFailed,
     After::Old},
    {"linked file: short write", Before::Linked, ShortWrite, CreateStatus::InPlaceWriteFailed,
     After::Unknown},
    {"linked file: failed flush", Before::Linked, FailFlush, CreateStatus::InPlaceWriteFailed,
     After::Unknown},
    {"linked file: failed close", Before::Linked, FailClose, CreateStatus::InPlaceWriteFailed,
     After::Unknown},
    {"linked file: locked too long", Before::Linked,
     [](FakeFileSystem& fake) { fake.failLock = true; }, CreateStatus::Locked, After::Old},
};

TEST_F(NewMetricsFileFaultTest, EveryFailureLeavesOnlyTheOldOrTheNewFile) {
  // Longer than a metrics file: a write in place that is not cut to size shows.
  Bytes old = PatternedFile(6);
  old.resize(kMetricsFileSize + 100, 9);
  const Bytes written(doc.image, doc.image + kMetricsFileSize);
  for (const FaultCase& c : kFaults) {
    FakeFiles() = FakeFileSystem{};
    if (c.before != Before::Missing) FakeFiles().files["out.fnt"] = old;
    if (c.before == Before::Linked) FakeFiles().linked.insert("out.fnt");
    c.arrange(FakeFiles());
    EXPECT_EQ(CreateMetricsFile(doc, "out.fnt", true), c.status) << c.name;
    EXPECT_EQ(FakeFiles().files.size(), c.after == After::Missing ? 0u : 1u)
        << c.name << ": no sibling is left";
    if (c.after == After::Old || c.after == After::New) {
      EXPECT_EQ(FakeFiles().files["out.fnt"], c.after == After::Old ? old : written) << c.name;
    }
  }
}

TEST_F(NewMetricsFileFaultTest, FailedAllocationStartsNoDocument) {
  FakeFiles().failAllocation = true;
  EXPECT_FALSE(StartEmptyMetricsDocument(doc));
  EXPECT_FALSE(IsDocumentLoaded(doc));
  EXPECT_EQ(CreateMetricsFile(doc, "new.fnt", false), CreateStatus::NoDocument);
  EXPECT_TRUE(FakeFiles().files.empty());
}

}  // namespace
