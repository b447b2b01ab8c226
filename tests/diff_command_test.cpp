// quorvel-cli diff: every value and byte that differs, and diff's exit codes.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "cli_process.h"
#include "metrics_format.h"
#include "test_files.h"

namespace {

void WriteBits(Bytes& bytes, uint32_t offset, uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  WriteSingle(bytes.data(), offset, value);
}

class DiffCommandTest : public ::testing::Test {
 protected:
  std::string File(const std::string& name, const Bytes& bytes) {
    std::string path = folder.Path(name);
    WriteWholeFile(path, bytes);
    return path;
  }

  TempFolder folder;
};

TEST_F(DiffCommandTest, EqualFilesPrintNothingAndExitZero) {
  CliResult result = RunCli({"diff", File("a.fnt", PatternedFile(2)), File("b.fnt", PatternedFile(2))});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "");
}

TEST_F(DiffCommandTest, EachKindOfDifferenceOnItsOwnLine) {
  struct Case {
    const char* name;
    std::function<void(Bytes&)> change;  // applied to B, a zero file like A
    const char* expected;
  } cases[] = {
      {"line spacing", [](Bytes& b) { WriteSingle(b.data(), 0, 14.0f); }, "line_spacing: 0 -> 14\n"},
      {"opaque header byte", [](Bytes& b) { b[17] = 0x3F; }, "header byte 17: 0x00 -> 0x3F\n"},
      {"last header byte", [](Bytes& b) { b[299] = 0xFF; }, "header byte 299: 0x00 -> 0xFF\n"},
      {"width of a character", [](Bytes& b) { WriteSingle(b.data(), ValueOffset(0x41, Width), 12.0f); },
       "0x41 A width: 0 -> 12\n"},
      {"every named value", [](Bytes& b) {
         for (uint32_t v = Width; v <= OffsetY; ++v) WriteSingle(b.data(), ValueOffset(0xB1, v), 1.5f);
       },
       "0xB1 ｱ width: 0 -> 1.5\n0xB1 ｱ height: 0 -> 1.5\n0xB1 ｱ spacing_left: 0 -> 1.5\n"
       "0xB1 ｱ spacing_right: 0 -> 1.5\n0xB1 ｱ offset_y: 0 -> 1.5\n"},
      {"opaque values of a control code", [](Bytes& b) {
         WriteSingle(b.data(), ValueOffset(0x10, 0), -2.0f);
         WriteSingle(b.data(), ValueOffset(0x10, 13), 3.0f);
       },
       "0x10 value 0: 0 -> -2\n0x10 value 13: 0 -> 3\n"},
      {"last value of the file", [](Bytes& b) { WriteSingle(b.data(), ValueOffset(255, 12), 5.0f); },
       "0xFF offset_y: 0 -> 5\n"},
      {"negative zero shows its bits", [](Bytes& b) { WriteBits(b, ValueOffset(0x20, Width), 0x80000000); },
       "0x20   width: 0 -> 0 (0x00000000 -> 0x80000000)\n"},
      {"changes in file order", [](Bytes& b) {
         WriteSingle(b.data(), ValueOffset(0x42, Height), 2.0f);
         WriteSingle(b.data(), ValueOffset(0x41, Width), 1.0f);
         b[4] = 1;
       },
       "header byte 4: 0x00 -> 0x01\n0x41 A width: 0 -> 1\n0x42 B height: 0 -> 2\n"},
  };
  Bytes zero(kMetricsFileSize, 0);
  std::string a = File("a.fnt", zero);
  for (const auto& c : cases) {
    Bytes changed = zero;
    c.change(changed);
    CliResult result = RunCli({"diff", a, File("b.fnt", changed)});
    EXPECT_EQ(result.exitCode, 1) << c.name;
    EXPECT_EQ(result.out, c.expected) << c.name;
    EXPECT_EQ(result.err, "") << c.name;
  }
}

TEST_F(DiffCommandTest, NaNsDifferByTheirBits) {
  Bytes a(kMetricsFileSize, 0), b(kMetricsFileSize, 0);
  WriteBits(a, ValueOffset(3, 5), 0x7FC00000);
  WriteBits(b, ValueOffset(3, 5), 0x7FC00000);
  EXPECT_EQ(RunCli({"diff", File("a.fnt", a), File("b.fnt", b)}).exitCode, 0) << "the same NaN is equal";
  WriteBits(b, ValueOffset(3, 5), 0x7FC00001);
  CliResult result = RunCli({"diff", File("a.fnt", a), File("b.fnt", b)});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.out.find("0x03 value 5: "), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("(0x7FC00000 -> 0x7FC00001)"), std::string::npos) << result.out;
}

TEST_F(DiffCommandTest, FilesThatDoNotLoadAreErrors) {
  std::string good = File("good.fnt", PatternedFile(1));
  std::string shortFile = File("short.fnt", Bytes(10, 0));
  EXPECT_TRUE(IsOneLineError(RunCli({"diff", good, folder.Path("missing.fnt")}), {"missing.fnt", "cannot open"}));
  EXPECT_TRUE(IsOneLineError(RunCli({"diff", shortFile, good}), {"short.fnt", "wrong size: 10 bytes"}));
}

}  // namespace
