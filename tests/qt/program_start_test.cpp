// The Qt program's first argument into the path buffer: whole or not at all.
#include "program_start.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace {

TEST(TakeFirstArgument, FitsOrCountsAsNone) {
  struct Case {
    const char* name;
    std::string argument;
    bool missing;
    size_t bufferSize;
    bool taken;
    std::string path;
  } cases[] = {
      {"no argument", "", true, 8, false, ""},
      {"plain path", "a.fnt", false, 8, true, "a.fnt"},
      {"spaces and quotes stay as given", "my \"x\".fnt", false, 16, true, "my \"x\".fnt"},
      {"empty argument", "", false, 8, true, ""},
      {"exactly fills the buffer with its NUL", "1234567", false, 8, true, "1234567"},
      {"one byte too long is refused, not cut", "12345678", false, 8, false, ""},
  };
  for (const auto& c : cases) {
    char path[32];
    std::fill(std::begin(path), std::end(path), 'x');
    EXPECT_EQ(TakeFirstArgument(c.missing ? nullptr : c.argument.c_str(), path, c.bufferSize),
              c.taken)
        << c.name;
    EXPECT_EQ(std::string(path), c.path) << c.name;
  }
}

}  // namespace
