// Loading files of random bytes and sizes, then editing and saving them: a file
// loads exactly when it has the one valid size, a save writes back exactly the
// loaded bytes plus the edit, and a file changed by someone else between load
// and save is refused, the document unchanged.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "metrics_document.h"
#include "value_edit.h"

namespace {

std::string ScratchPath() {
  static std::string path = "/tmp/quorvel-load-fuzz-" + std::to_string(getpid()) + ".fnt";
  return path;
}

bool WriteScratch(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Inputs shorter than the file are padded out to it half of the time, so that
  // valid files are common.
  static uint8_t padded[kMetricsFileSize];
  const uint8_t* bytes = data;
  if (size > 0 && size < kMetricsFileSize && (data[0] & 1)) {
    std::memset(padded, 0, sizeof padded);
    std::memcpy(padded, data, size);
    bytes = padded;
    size = kMetricsFileSize;
  }
  if (!WriteScratch(bytes, size)) return 0;

  MetricsDocument doc;
  LoadMode mode = (bytes[0] & 2) ? LoadMode::Hold : LoadMode::Read;
  LoadStatus status = LoadMetricsFile(doc, ScratchPath().c_str(), mode).status;
  if ((status == LoadStatus::Loaded) != (size == kMetricsFileSize)) std::abort();
  if (status != LoadStatus::Loaded) return 0;
  if (std::memcmp(doc.image, bytes, kMetricsFileSize) != 0) std::abort();

  // Show, apply the shown texts to the code named by the first byte, save.
  uint8_t code = bytes[0];
  RecordTexts texts;
  FormatRecordFields(doc.image, code, &texts);
  RecordEdit edit;
  for (uint32_t i = 0; i < kEditedValueCount; ++i) edit.values[i] = ReadFieldText(texts.field[i]);
  edit.lineSpacing = ReadFieldText(texts.field[kLineSpacingField]);
  static uint8_t edited[kMetricsImageSize];
  std::memcpy(edited, doc.image, kMetricsImageSize);
  ApplyRecordEdit(edited, edit, EditScope::CurrentCode, code);

  // Another program may change the file meanwhile (a byte flipped or one
  // appended, chosen by the input): then nothing is written and the document
  // stays.
  static uint8_t other[kMetricsFileSize + 1];
  std::memcpy(other, bytes, kMetricsFileSize);
  other[(bytes[1] * 57u) % kMetricsFileSize] ^= 1 + (bytes[2] & 0x7F);
  other[kMetricsFileSize] = bytes[3];
  int interference = bytes[4] % 3;
  if (interference != 0 && !WriteScratch(other, kMetricsFileSize + (interference == 2 ? 1 : 0)))
    std::abort();
  SaveStatus saved = SaveEditedImage(doc, edited).status;
  if (saved != (interference == 0 ? SaveStatus::Saved : SaveStatus::ChangedOutside)) std::abort();
  const uint8_t* expected = interference == 0 ? edited : bytes;
  if (std::memcmp(doc.image, expected, kMetricsFileSize) != 0) std::abort();
  ReleaseMetricsFile(doc);
  return 0;
}
