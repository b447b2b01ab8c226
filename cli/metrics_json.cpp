#include "metrics_json.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

#include "code_text.h"
#include "message_text.h"
#include "metrics_format.h"

using nlohmann::json;

namespace {

constexpr char kFormatName[] = "quorvel-metrics";
constexpr int kFormatVersion = 1;
constexpr size_t kHeaderHexDigits = 2 * (kHeaderSize - kFirstHeaderByte);
constexpr size_t kBitPatternLength = 10;  // "0x" and eight hexadecimal digits

// ---- Writing

json SingleToJson(const uint8_t* image, uint32_t offset) {
  float value = ReadSingle(image, offset);
  if (std::isfinite(value) && !(value == 0 && std::signbit(value))) {
    return static_cast<double>(value);
  }
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  char text[kBitPatternLength + 1];
  std::snprintf(text, sizeof text, "0x%08X", bits);
  return text;
}

std::string HeaderHex(const uint8_t* image) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (uint32_t offset = kFirstHeaderByte; offset < kHeaderSize; ++offset) {
    hex += kDigits[image[offset] >> 4];
    hex += kDigits[image[offset] & 0xF];
  }
  return hex;
}

nlohmann::ordered_json RecordToJson(const uint8_t* image, int code) {
  auto byte = static_cast<uint8_t>(code);
  json values = json::array();
  for (uint32_t value = 0; value < ValueCountInFile(code); ++value) {
    values.push_back(SingleToJson(image, ValueOffset(byte, value)));
  }
  nlohmann::ordered_json record;
  record["code"] = code;
  record["char"] = DisplayedCharacter(byte);
  record["values"] = values;
  return record;
}

// ---- Reading: each check returns false with *error set to "where: what".


bool Fail(std::string* error, const std::string& where, const std::string& what) {
  *error = where.empty() ? what : where + ": " + what;
  return false;
}

std::string Quoted(const std::string& text) { return "\"" + EscapedText(text, kQuotedTextCut) + "\""; }

// A value from the input for a message: a string quoted and cut, an array or object
// by its type alone (it may be megabytes long), anything else as written.
std::string Described(const json& value) {
  if (value.is_string()) return Quoted(value.get_ref<const std::string&>());
  if (value.is_structured()) return std::string("an ") + value.type_name();
  return value.dump();
}

// The parser's message without its tag ("[json.exception.parse_error.101] "), with
// the token it stopped at quoted short: that token is outside text, it may be a
// megabyte-long string.
std::string ParserMessage(const std::string& what, const std::string& token) {
  std::string message = what;
  size_t tagEnd = message.find("] ");
  if (message.rfind("[json.exception", 0) == 0 && tagEnd != std::string::npos) message.erase(0, tagEnd + 2);
  constexpr size_t kMaxUnknownMessageLength = 200;  // for a message of another form
  size_t at = message.find("'" + token + "'");
  if (at == std::string::npos) return EscapedText(message, kMaxUnknownMessageLength);
  return message.replace(at, token.size() + 2, "'" + EscapedText(token, kQuotedTextCut) + "'");
}

// A first pass over the text that builds nothing and stops at the first thing the
// DOM parser must not see: a syntax error, nesting deeper than kMaxJsonDepth (so
// that nothing afterwards recurses that deep), or a key given twice in one object
// (the DOM would silently keep the last).
class JsonChecker : public nlohmann::json_sax<json> {
 public:
  std::string message;
  bool null() override { return Value(); }
  bool boolean(bool) override { return Value(); }
  bool number_integer(number_integer_t) override { return Value(); }
  bool number_unsigned(number_unsigned_t) override { return Value(); }
  bool number_float(number_float_t, const string_t&) override { return Value(); }
  bool string(string_t&) override { return Value(); }
  bool binary(binary_t&) override { return Value(); }
  bool start_object(std::size_t) override { return Open(true); }
  bool key(string_t& key) override { return Key(key); }
  bool end_object() override { return Close(); }
  bool start_array(std::size_t) override { return Open(false); }
  bool end_array() override { return Close(); }
  bool parse_error(std::size_t, const std::string& token, const nlohmann::detail::exception& ex) override {
    message = "not valid JSON: " + ParserMessage(ex.what(), token);
    return false;
  }

 private:
  // An array or object being read.
  struct Container {
    bool isObject = false;
    size_t elements = 0;         // array: elements begun so far
    std::string key;             // object: the key of the member being read
    std::set<std::string> keys;  // object: every key so far
  };

  // Every value, containers too, begins an element of the array it is in.
  bool Value() {
    if (!open_.empty() && !open_.back().isObject) ++open_.back().elements;
    return true;
  }
  bool Open(bool isObject) {
    Value();
    if (open_.size() == kMaxJsonDepth) {
      message = "arrays and objects nested deeper than " + std::to_string(kMaxJsonDepth) + " levels";
      return false;
    }
    open_.push_back({isObject, 0, {}, {}});
    return true;
  }
  bool Close() {
    open_.pop_back();
    return true;
  }
  bool Key(const std::string& key) {
    if (!open_.back().keys.insert(key).second) return Fail(&message, Where(), "duplicate key " + Quoted(key));
    open_.back().key = key;
    return true;
  }
  // Where the innermost open container is, named as MetricsImageFromJson names
  // places ("records[7]").
  std::string Where() const {
    std::string where;
    for (size_t i = 0; i + 1 < open_.size(); ++i) {
      if (!open_[i].isObject) {
        where += "[" + std::to_string(open_[i].elements - 1) + "]";
      } else {
        where += (where.empty() ? "" : ".") + EscapedText(open_[i].key, kQuotedTextCut);
      }
    }
    return where;
  }

  std::vector<Container> open_;
};

// Every key of object must be one of the required or optional ones, and every
// required one must be there. Unknown keys are named first: a misspelt key is
// better reported as itself than as the key it was meant to be.
bool CheckKeys(const json& object, const std::string& where, std::initializer_list<const char*> required,
               std::initializer_list<const char*> optional, std::string* error) {
  if (!object.is_object()) {
    return Fail(error, where, std::string("expected an object, found ") + object.type_name());
  }
  for (const auto& item : object.items()) {
    bool known = false;
    for (const char* key : required) known = known || item.key() == key;
    for (const char* key : optional) known = known || item.key() == key;
    if (!known) return Fail(error, where, "unknown key " + Quoted(item.key()));
  }
  for (const char* key : required) {
    if (!object.contains(key)) return Fail(error, where, std::string("missing key \"") + key + "\"");
  }
  return true;
}

bool ReadBitPattern(const std::string& text, uint32_t* bits) {
  if (text.size() != kBitPatternLength || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return false;
  for (size_t i = 2; i < text.size(); ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  std::from_chars(text.data() + 2, text.data() + text.size(), *bits, 16);
  return true;
}

bool SingleFromJson(const json& value, const std::string& where, uint8_t* image, uint32_t offset,
                    std::string* error) {
  float single = 0;
  if (value.is_number()) {
    double number = value.get<double>();
    single = static_cast<float>(number);
    if (!std::isfinite(single)) {
      return Fail(error, where, Described(value) + " is out of range for a single-precision value");
    }
  } else if (value.is_string()) {
    uint32_t bits = 0;
    if (!ReadBitPattern(value.get<std::string>(), &bits)) {
      return Fail(error, where, Described(value) + " is not a bit pattern such as \"0x7FC00000\"");
    }
    std::memcpy(&single, &bits, sizeof single);
  } else {
    return Fail(error, where, std::string("expected a number or a bit pattern string, found ") + value.type_name());
  }
  WriteSingle(image, offset, single);
  return true;
}

bool HeaderFromJson(const json& value, uint8_t* image, std::string* error) {
  if (!value.is_string()) return Fail(error, "header", std::string("expected a string, found ") + value.type_name());
  const std::string& hex = value.get_ref<const std::string&>();
  if (hex.size() != kHeaderHexDigits) {
    return Fail(error, "header", std::to_string(hex.size()) + " hexadecimal digits, expected " +
                                     std::to_string(kHeaderHexDigits) + " (296 bytes)");
  }
  for (size_t i = 0; i < hex.size(); i += 2) {
    uint32_t byte = 0;
    auto [end, failure] = std::from_chars(hex.data() + i, hex.data() + i + 2, byte, 16);
    if (failure != std::errc() || end != hex.data() + i + 2) {
      return Fail(error, "header",
                  Quoted(hex.substr(i, 2)) + " at digit " + std::to_string(i) + " is not a hexadecimal byte");
    }
    image[kFirstHeaderByte + i / 2] = static_cast<uint8_t>(byte);
  }
  return true;
}

bool RecordFromJson(const json& record, int code, uint8_t* image, std::string* error) {
  std::string where = "records[" + std::to_string(code) + "]";
  if (!CheckKeys(record, where, {"code", "values"}, {"char"}, error)) return false;
  const json& number = record["code"];
  if (!number.is_number_integer() || number.get<int64_t>() != code) {
    return Fail(error, where + ".code",
                Described(number) + ", expected " + std::to_string(code) + " (records are in code order)");
  }
  if (record.contains("char") && !record["char"].is_string()) {
    return Fail(error, where + ".char", std::string("expected a string, found ") + record["char"].type_name());
  }
  const json& values = record["values"];
  if (!values.is_array()) {
    return Fail(error, where + ".values", std::string("expected an array, found ") + values.type_name());
  }
  uint32_t expected = ValueCountInFile(code);
  if (values.size() != expected) {
    return Fail(error, where + ".values", std::to_string(values.size()) + " values, expected " +
                                             std::to_string(expected));
  }
  for (uint32_t value = 0; value < expected; ++value) {
    std::string at = where + ".values[" + std::to_string(value) + "]";
    if (!SingleFromJson(values[value], at, image, ValueOffset(static_cast<uint8_t>(code), value), error)) {
      return false;
    }
  }
  return true;
}

bool FormatFromJson(const json& object, std::string* error) {
  const json& format = object["format"];
  if (!format.is_string() || format.get<std::string>() != kFormatName) {
    return Fail(error, "format", Described(format) + ", expected \"" + std::string(kFormatName) + "\"");
  }
  const json& version = object["version"];
  if (!version.is_number_integer() || version.get<int64_t>() != kFormatVersion) {
    return Fail(error, "version", Described(version) + ", expected " + std::to_string(kFormatVersion));
  }
  return true;
}

}  // namespace

std::string MetricsJsonText(const uint8_t* image) {
  // The top level is laid out here so that each record stays on one line; every
  // key and value is written by the JSON library.
  std::string text = "{\n";
  text += "  \"format\": " + json(kFormatName).dump() + ",\n";
  text += "  \"version\": " + json(kFormatVersion).dump() + ",\n";
  text += "  \"line_spacing\": " + SingleToJson(image, kLineSpacingOffset).dump() + ",\n";
  text += "  \"header\": " + json(HeaderHex(image)).dump() + ",\n";
  text += "  \"records\": [\n";
  for (int code = 0; code < kCodeCount; ++code) {
    text += "    " + RecordToJson(image, code).dump() + (code + 1 < kCodeCount ? ",\n" : "\n");
  }
  text += "  ]\n}\n";
  return text;
}

bool ParseJsonText(const std::string& text, json* out, std::string* error) {
  if (text.size() > kMaxJsonTextSize) {
    return Fail(error, "",
                "larger than 1 MiB (" + std::to_string(kMaxJsonTextSize) + " bytes); an export is about 31 KB");
  }
  JsonChecker checker;
  if (!json::sax_parse(text, &checker)) return Fail(error, "", checker.message);
  *out = json::parse(text, nullptr, /*allow_exceptions=*/false);
  return !out->is_discarded() || Fail(error, "", "not valid JSON");
}

bool MetricsImageFromJson(const json& object, uint8_t* image, std::string* error) {
  if (!CheckKeys(object, "", {"format", "version", "line_spacing", "header", "records"}, {}, error)) return false;
  if (!FormatFromJson(object, error)) return false;
  if (!SingleFromJson(object["line_spacing"], "line_spacing", image, kLineSpacingOffset, error)) return false;
  if (!HeaderFromJson(object["header"], image, error)) return false;
  const json& records = object["records"];
  if (!records.is_array()) {
    return Fail(error, "records", std::string("expected an array, found ") + records.type_name());
  }
  if (records.size() != static_cast<size_t>(kCodeCount)) {
    return Fail(error, "records", std::to_string(records.size()) + " records, expected 256");
  }
  for (int code = 0; code < kCodeCount; ++code) {
    if (!RecordFromJson(records[static_cast<size_t>(code)], code, image, error)) return false;
  }
  return true;
}
