#include "input_stream.h"

#include <cstring>

#include "failure_reason.h"
#include "new_metrics_file.h"

std::string InputName(const std::string& path) { return path == "-" ? "standard input" : path; }

LoadResult LoadStreamedMetricsFile(MetricsDocument& doc, const std::string& path,
                                   std::string* reason) {
  LoadResult result;
  std::string bytes;
  if (!ReadInputText(path, kMetricsFileSize, "metrics file", &bytes, reason)) {
    result.status = LoadStatus::ReadFailed;
    return result;
  }
  result.kind = FileKind::Other;
  result.size = bytes.size();
  if (bytes.size() != kMetricsFileSize) {
    result.status = LoadStatus::WrongSize;
    *reason = bytes.size() > kMetricsFileSize
                  ? "wrong size: more than " + std::to_string(kMetricsFileSize) +
                        " bytes, a metrics file has exactly " + std::to_string(kMetricsFileSize) +
                        " bytes"
                  : LoadFailureReason(result);
    return result;
  }
  if (!StartEmptyMetricsDocument(doc)) {
    result.status = LoadStatus::OutOfMemory;
    *reason = LoadFailureReason(result);
    return result;
  }
  std::memcpy(doc.image, bytes.data(), bytes.size());
  result.status = LoadStatus::Loaded;
  return result;
}
