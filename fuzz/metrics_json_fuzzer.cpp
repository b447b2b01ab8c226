// Import's reading of outside JSON and CSV on arbitrary bytes: no crash, no
// exception, no message that could break its line, and whatever it accepts,
// applied to an all-zero file, exports to JSON (and CSV) that reads back to
// exactly the same bytes. What the parser
// accepts nests at most kMaxJsonDepth deep and gives every key once. An input that
// begins with a space is also tried padded with spaces to one byte over the size
// limit, where it must be refused whatever it holds. (The text at exactly the limit
// is left to bad_json_test: parsing a megabyte would make such runs five times
// slower.)
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "metrics_csv.h"
#include "metrics_format.h"
#include "metrics_json.h"

namespace {

using nlohmann::json;

// No C0 control, DEL or C1 control (U+0080-U+009F in UTF-8) in a message.
void RequireOneLine(const std::string& message) {
  for (size_t i = 0; i < message.size(); ++i) {
    auto byte = static_cast<unsigned char>(message[i]);
    auto next = static_cast<unsigned char>(i + 1 < message.size() ? message[i + 1] : 0);
    if (byte < 0x20 || byte == 0x7F || (byte == 0xC2 && next >= 0x80 && next <= 0x9F)) std::abort();
  }
}

// How deep value nests and how many object members it keeps, counted on the DOM.
void Measure(const json& value, size_t depth, size_t* maxDepth, size_t* members) {
  if (!value.is_structured()) return;
  *maxDepth = std::max(*maxDepth, depth + 1);
  if (value.is_object()) *members += value.size();
  for (const json& item : value) Measure(item, depth + 1, maxDepth, members);
}

// Counts the keys the parser meets, a repeated one each time; accepts all else.
struct KeyCounter : nlohmann::detail::json_sax_acceptor<json> {
  size_t keys = 0;
  bool key(std::string&) {
    ++keys;
    return true;
  }
};

size_t KeysInText(const std::string& text) {
  KeyCounter counter;
  json::sax_parse(text, &counter);
  return counter.keys;
}

void RequireWithinLimits(const std::string& text, const json& parsed) {
  size_t depth = 0, members = 0;
  Measure(parsed, 0, &depth, &members);
  if (depth > kMaxJsonDepth || members != KeysInText(text)) std::abort();
}

// The bytes of an all-zero file with data applied.
std::vector<uint8_t> AppliedToZeroFile(const MetricsData& data) {
  std::vector<uint8_t> image(kMetricsImageSize, 0);
  ApplyMetricsData(data, image.data());
  image.resize(kMetricsFileSize);
  return image;
}

// The bytes of an all-zero file with what text gives applied, or an empty vector
// when import refuses it.
std::vector<uint8_t> ImportedBytes(const std::string& text) {
  json parsed;
  std::string error;
  MetricsData data;
  if (!ParseJsonText(text, &parsed, &error)) {
    RequireOneLine(error);
    return {};
  }
  RequireWithinLimits(text, parsed);
  if (!MetricsDataFromJson(parsed, &data, &error)) {
    RequireOneLine(error);
    return {};
  }
  return AppliedToZeroFile(data);
}

// The same for CSV.
std::vector<uint8_t> ImportedCsvBytes(const std::string& text) {
  std::string error;
  MetricsData data;
  if (!MetricsDataFromCsv(text, &data, &error)) {
    RequireOneLine(error);
    return {};
  }
  return AppliedToZeroFile(data);
}

std::vector<uint8_t> AsImage(std::vector<uint8_t> bytes) {
  bytes.resize(kMetricsImageSize, 0);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  if (size > 0 && data[0] == ' ') {
    std::string overLimit = std::string(kMaxJsonTextSize + 1 - size, ' ') + text;
    if (!ImportedBytes(overLimit).empty()) std::abort();
  }
  std::vector<uint8_t> bytes = ImportedBytes(text);
  if (!bytes.empty() && ImportedBytes(MetricsJsonText(AsImage(bytes).data())) != bytes)
    std::abort();
  std::vector<uint8_t> csvBytes = ImportedCsvBytes(text);
  if (!csvBytes.empty() &&
      ImportedCsvBytes(MetricsCsvText(AsImage(csvBytes).data(), true)) != csvBytes)
    std::abort();
  return 0;
}
