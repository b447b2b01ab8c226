// quorvel-cli: metrics files from the command line. For now: show FILE.
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "metrics_document.h"

namespace {

void PrintRecord(const uint8_t* image, int code) {
  std::printf("%3d  %10.7g %10.7g %10.7g %10.7g %10.7g\n", code,
              ReadRecordValue(image, static_cast<uint8_t>(code), Width),
              ReadRecordValue(image, static_cast<uint8_t>(code), Height),
              ReadRecordValue(image, static_cast<uint8_t>(code), SpacingLeft),
              ReadRecordValue(image, static_cast<uint8_t>(code), SpacingRight),
              ReadRecordValue(image, static_cast<uint8_t>(code), OffsetY));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || std::strcmp(argv[1], "show") != 0) {
    std::fprintf(stderr, "usage: quorvel-cli show FILE\n");
    return 2;
  }
  MetricsDocument doc;
  char caption[kTextBufferSize];
  if (LoadMetricsFile(doc, argv[2], caption) != LoadStatus::Loaded) {
    std::fprintf(stderr, "quorvel-cli: %s: cannot load\n", argv[2]);
    return 2;
  }
  std::printf("line spacing %.7g\ncode      width     height  spacing-l  spacing-r   offset-y\n",
              ReadLineSpacing(doc.image));
  for (int code : {16, 18, 19, 0x41, 0x67, 0xB1}) PrintRecord(doc.image, code);
  ReleaseMetricsFile(doc);
  return 0;
}
