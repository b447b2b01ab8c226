// Replacing an existing file with quorvel-cli new --force and import --force keeps
// what the file is: owner, group, mode, extended attributes, hard and symbolic
// links. No leftover name blocks it, a 250-byte name is no obstacle, and no
// temporary file outlives a run, whether it succeeds or fails.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "cli_process.h"
#include "metrics_format.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;
constexpr char kAccessList[] = "system.posix_acl_access";

// The file the path names, through a link.
struct stat Facts(const std::string& path) {
  struct stat info = {};
  stat(path.c_str(), &info);
  return info;
}

std::string Attribute(const std::string& path, const char* name) {
  char value[256];
  ssize_t size = lgetxattr(path.c_str(), name, value, sizeof value);
  return size < 0 ? "" : std::string(value, static_cast<size_t>(size));
}

// An access list in its extended-attribute form (version 2, then tag, permissions
// and id of each entry, little-endian as on the machines this runs on): the owner
// may read and write, nobody may read, nobody else anything.
std::string AccessList() {
  struct Entry {
    uint16_t tag, permissions;
    uint32_t id;
  };
  const Entry entries[] = {
      {0x01, 6, ~0u}, {0x02, 4, kNobody}, {0x04, 0, ~0u}, {0x10, 4, ~0u}, {0x20, 0, ~0u}};
  std::string list = {2, 0, 0, 0};
  list.append(reinterpret_cast<const char*>(entries), sizeof entries);
  return list;
}

std::set<std::string> Names(const TempFolder& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.Root()))
    names.insert(entry.path().filename());
  return names;
}

std::string OldFile(const TempFolder& folder, const std::string& name, mode_t mode = 0644) {
  std::string path = folder.Path(name);
  WriteWholeFile(path, PatternedFile(1));
  chmod(path.c_str(), mode);
  return path;
}

std::string Beside(const std::string& path, const char* name) {
  return fs::path(path).replace_filename(name).string();
}

void NoCheck(const std::string&) {}

struct ReplaceCase {
  const char* name;
  std::string (*make)(
      const TempFolder&);  // the file to replace; "" when the file system refuses the setup
  void (*check)(const std::string& path) = NoCheck;  // what else must be kept
  mode_t mode = 0644;                                // the file's mode afterwards, as before
  uid_t owner = 0;                                   // its owner and group, as before
  bool asNobody = false;
  bool sizeLimit = false;       // the run may write 8 KiB at most
  const char* error = nullptr;  // refused, with this in the message: every file stays as it was
};

void PrintTo(const ReplaceCase& c, std::ostream* out) { *out << c.name; }

std::string PlainFile(const TempFolder& f) { return OldFile(f, "a.fnt"); }

const ReplaceCase kCases[] = {
    {"another user's 0600 file keeps its owner, group and mode",
     [](const TempFolder& f) {
       std::string path = OldFile(f, "a.fnt", 0600);
       return chown(path.c_str(), kNobody, kNobody) == 0 ? path : "";
     },
     NoCheck, 0600, kNobody},
    {"extended attribute and access list are kept",
     [](const TempFolder& f) {
       std::string path = OldFile(f, "a.fnt", 0640);
       bool kept =
           setxattr(path.c_str(), "user.test", "kept", 4, 0) == 0 &&
           setxattr(path.c_str(), kAccessList, AccessList().data(), AccessList().size(), 0) == 0;
       return kept || errno != ENOTSUP ? path : "";
     },
     [](const std::string& path) {
       EXPECT_EQ(Attribute(path, "user.test"), "kept");
       EXPECT_EQ(Attribute(path, kAccessList), AccessList());
     },
     0640},
    {"the folder's default access list is not added to a file without one",
     [](const TempFolder& f) {
       std::string path = OldFile(f, "a.fnt", 0640), folder = f.Root().string();
       bool set = setxattr(folder.c_str(), "system.posix_acl_default", AccessList().data(),
                           AccessList().size(), 0) == 0;
       return set || errno != ENOTSUP ? path : "";
     },
     [](const std::string& path) {
       EXPECT_EQ(Attribute(path, kAccessList), "") << "nobody would be let read";
     },
     0640},
    {"a hard link goes on sharing the file",
     [](const TempFolder& f) {
       std::string path = PlainFile(f);
       link(path.c_str(), f.Path("b.fnt").c_str());
       return path;
     },
     [](const std::string& path) {
       EXPECT_EQ(ReadWholeFile(Beside(path, "b.fnt")), ReadWholeFile(path));
     }},
    {"a symbolic link stays a link and its target gets the bytes",
     [](const TempFolder& f) {
       OldFile(f, "target.fnt");
       fs::create_symlink("target.fnt", f.Path("link.fnt"));
       return f.Path("link.fnt");
     },
     [](const std::string& path) { EXPECT_EQ(fs::read_symlink(path), "target.fnt"); }},
    {"leftover temporary names do not block it",
     [](const TempFolder& f) {
       std::string path = PlainFile(f);
       for (int i = 0; i < 12; ++i) {
         WriteWholeFile(path + ".quorvel-new" + std::to_string(i), {1});
         WriteWholeFile(f.Path(".a.fnt." + std::string(6, static_cast<char>('a' + i))), {1});
       }
       return path;
     },
     [](const std::string& path) {
       EXPECT_EQ(ReadWholeFile(Beside(path, ".a.fnt.cccccc")), Bytes{1});
     }},
    {"a 250-byte name",
     [](const TempFolder& f) { return OldFile(f, std::string(246, 'n') + ".fnt"); }},
    {"a user who may write another user's file but not own it writes it in place",
     [](const TempFolder& f) {
       fs::permissions(f.Root(), fs::perms::all);
       return OldFile(f, "a.fnt", 0666);
     },
     NoCheck, 0666, 0, true},
    {"a user who may not write the folder is refused", PlainFile, NoCheck, 0644, 0, true, false,
     "Permission denied"},
    {"a write cut short by the file-size limit", PlainFile, NoCheck, 0644, 0, false, true,
     "nothing written: wrote 8192 of 14632 bytes"},
};

// Runs quorvel-cli with the file-size limit of the row (the child inherits it).
CliResult RunLimited(const std::vector<std::string>& arguments, const CliRun& run, bool sizeLimit) {
  struct rlimit before;
  getrlimit(RLIMIT_FSIZE, &before);
  struct rlimit limited = {8192, before.rlim_max};
  if (sizeLimit) setrlimit(RLIMIT_FSIZE, &limited);
  CliResult result = RunCli(arguments, run);
  setrlimit(RLIMIT_FSIZE, &before);
  return result;
}

class ReplaceFile : public ::testing::TestWithParam<std::tuple<ReplaceCase, const char*>> {
 protected:
  // A copy of quorvel-cli that the user nobody can run, the JSON of a patterned file and the
  // bytes that each command writes.
  static void SetUpTestSuite() {
    tools = new TempFolder;
    fs::copy_file(QUORVEL_CLI_PATH, tools->Path("quorvel-cli"));
    WriteWholeFile(tools->Path("patterned.fnt"), PatternedFile(2));
    CliRun toFile;
    toFile.outputPath = tools->Path("new.json");
    ASSERT_EQ(RunCli({"export", tools->Path("patterned.fnt")}, toFile).exitCode, 0);
  }
  static void TearDownTestSuite() { delete tools; }

  static TempFolder* tools;
};
TempFolder* ReplaceFile::tools = nullptr;

TEST_P(ReplaceFile, KeepsWhatTheFileIsAndLeavesNoTemporary) {
  const auto& [c, command] = GetParam();
  if ((c.asNobody || c.owner != 0) && geteuid() != 0) GTEST_SKIP() << "needs root to set up";
  TempFolder folder;
  std::string path = c.make(folder);
  if (path.empty())
    GTEST_SKIP() << "the temporary folder's file system keeps no extended attributes";
  bool isNew = std::string(command) == "new";
  std::vector<std::string> arguments = {command, path, "--force"};
  if (!isNew) arguments.insert(arguments.begin() + 1, tools->Path("new.json"));
  CliRun run;
  run.program = tools->Path("quorvel-cli");
  run.unprivileged = c.asNobody;
  std::set<std::string> names = Names(folder);
  Bytes old = ReadWholeFile(path);

  CliResult result = RunLimited(arguments, run, c.sizeLimit);

  EXPECT_EQ(Names(folder), names) << "no temporary left, no name lost";
  EXPECT_EQ(Facts(path).st_mode & 07777, c.mode);
  EXPECT_EQ(Facts(path).st_uid, c.owner);
  EXPECT_EQ(Facts(path).st_gid, c.owner);
  if (c.error) {
    EXPECT_TRUE(IsOneLineError(result, {path, c.error}));
    EXPECT_EQ(ReadWholeFile(path), old);
    return;
  }
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadWholeFile(path), isNew ? Bytes(kMetricsFileSize, 0) : PatternedFile(2));
  c.check(path);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, ReplaceFile,
                         ::testing::Combine(::testing::ValuesIn(kCases),
                                            ::testing::Values("new", "import")),
                         [](const auto& info) {
                           std::string name = std::get<1>(info.param);
                           for (const char* p = std::get<0>(info.param).name; *p; ++p) {
                             if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                           }
                           return name;
                         });

}  // namespace
