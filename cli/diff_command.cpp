// diff A.fnt B.fnt: every value and byte that differs, old and new.
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "image_diff.h"

namespace {

constexpr char kDiffHelp[] = R"(One line per difference, in file order:
  line_spacing: 12 -> 14
  header byte 17: 0x00 -> 0x3F
  0x41 A width: 10 -> 12
  0x10 value 3: 0.1 -> 0.1 (0x3DCCCCCD -> 0x3DCCCCCE)
Every byte of the file counts: the line spacing, the opaque header bytes
(offsets 4-299) and all values of every record, named width, height,
spacing_left, spacing_right, offset_y or "value N" for the opaque ones. Values
are compared bit for bit and shown as the editor shows them; where those texts
are equal the bit patterns follow.

Either file may be "-" for standard input or a pipe, so that version control can
show a change: quorvel-cli diff <(git show HEAD:main.fnt) main.fnt

Exit status: 0 when the files are equal, 1 when they differ, 2 on an error.)";

}  // namespace

void DeclareDiff(CLI::App& app, CommandOptions& options) {
  app.description("Lists the values that differ between two metrics files.");
  app.add_option("A.fnt", options.file, "the old file (- for standard input)")->required();
  app.add_option("B.fnt", options.secondFile, "the new file (- for standard input)")->required();
  app.footer(kDiffHelp);
}

int RunDiff(const CommandOptions&, LoadedFiles& loaded) {
  const uint8_t* a = loaded.docs[0].image;
  const uint8_t* b = loaded.docs[1].image;
  std::vector<Difference> differences = CompareImages(a, b);
  for (const Difference& difference : differences) {
    std::printf("%s\n", DescribeDifference(a, b, difference).c_str());
  }
  return differences.empty() ? kExitOk : kExitNo;
}
