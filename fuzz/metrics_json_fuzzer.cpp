// Import's reading of outside JSON on arbitrary bytes: no crash, no exception, and
// whatever it accepts as a whole file exports to JSON that reads back to exactly
// the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "metrics_format.h"
#include "metrics_json.h"

namespace {

// The file bytes that json describes, or an empty vector when import refuses it.
std::vector<uint8_t> ImportedBytes(const std::string& text) {
  nlohmann::json json;
  std::string error;
  std::vector<uint8_t> image(kMetricsImageSize, 0);
  if (!ParseJsonText(text, &json, &error)) return {};
  if (!MetricsImageFromJson(json, image.data(), &error)) return {};
  image.resize(kMetricsFileSize);
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<uint8_t> bytes = ImportedBytes(text);
  if (bytes.empty()) return 0;
  std::vector<uint8_t> image(bytes);
  image.resize(kMetricsImageSize, 0);
  if (ImportedBytes(MetricsJsonText(image.data())) != bytes) std::abort();
  return 0;
}
