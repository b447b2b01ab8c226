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
#include "metrics_data.h"
#include "metrics_format.h"
#include "value_names.h"

using nlohmann::json;

namespace {

constexpr char kFormatName[] = "quorvel-metrics";
constexpr int kFormatVersion = 2;
constexpr int kFirstFormatVersion = 1;  // still read: a "values" array per record, "header"
constexpr size_t kHeaderHexDigits = 2 * (kHeaderSize - kFirstHeaderByte);
constexpr char kHeaderKey[] = "header_bytes";
constexpr char kFirstValuesKey[] = "values_0_to_7";
constexpr char kLastValueKey[] = "value_13";
constexpr uint32_t kLastValue = 13;

// ---- Writing

json SingleToJson(const uint8_t* image, uint32_t offset) {
  float value = ReadSingle(image, offset);
  if (HasNumberForm(value)) return static_cast<double>(value);
  return ValueDataText(image, offset);
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

// A record: its code, its character when it has a visible one, the five values by
// name, then the values no tool names, so that every byte is there.
nlohmann::ordered_json RecordToJson(const uint8_t* image, uint8_t code) {
  nlohmann::ordered_json record;
  record["code"] = code;
  std::string character = DisplayedCharacter(code);
  if (!character.empty()) record["char"] = character;
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    record[kValueNames[i].key] = SingleToJson(image, ValueOffset(code, kFirstEditedValue + i));
  }
  json first = json::array();
  for (uint32_t value = 0; value < kFirstEditedValue; ++value) {
    first.push_back(SingleToJson(image, ValueOffset(code, value)));
  }
  record[kFirstValuesKey] = first;
  if (ValueCountInFile(code) > kLastValue)
    record[kLastValueKey] = SingleToJson(image, ValueOffset(code, kLastValue));
  return record;
}

// ---- Reading: each check returns false with *error set to "where: what".

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

// A value into data at offset: a number, rounded to single precision, or a bit
// pattern string taken as it is.
bool SingleFromJson(const json& value, const std::string& where, uint32_t offset, MetricsData* data,
                    std::string* error) {
  float single = 0;
  if (value.is_number()) {
    if (!SingleFromNumber(value.get<double>(), &single))
      return Fail(error, where, OutOfRangeMessage(Described(value)));
  } else if (value.is_string()) {
    uint32_t bits = 0;
    if (!ReadBitPattern(value.get<std::string>(), &bits))
      return Fail(error, where, NotABitPatternMessage(Described(value)));
    std::memcpy(&single, &bits, sizeof single);
  } else {
    return Fail(error, where, std::string("expected a number or a bit pattern string, found ") + value.type_name());
  }
  GiveValue(data, offset, single);
  return true;
}

bool HeaderFromJson(const json& value, const char* key, MetricsData* data, std::string* error) {
  if (!value.is_string())
    return Fail(error, key, std::string("expected a string, found ") + value.type_name());
  const std::string& hex = value.get_ref<const std::string&>();
  if (hex.size() != kHeaderHexDigits) {
    return Fail(error, key,
                std::to_string(hex.size()) + " hexadecimal digits, expected " +
                    std::to_string(kHeaderHexDigits) + " (296 bytes)");
  }
  for (size_t i = 0; i < hex.size(); i += 2) {
    uint32_t byte = 0;
    auto [end, failure] = std::from_chars(hex.data() + i, hex.data() + i + 2, byte, 16);
    if (failure != std::errc() || end != hex.data() + i + 2) {
      return Fail(error, key,
                  Quoted(hex.substr(i, 2)) + " at digit " + std::to_string(i) +
                      " is not a hexadecimal byte");
    }
    GiveByte(data, static_cast<uint32_t>(kFirstHeaderByte + i / 2), static_cast<uint8_t>(byte));
  }
  return true;
}

// An array of exactly count values, into the record's values first, first + 1, ...
bool ValueArrayFromJson(const json& values, const std::string& where, uint8_t code, uint32_t first,
                        uint32_t count, MetricsData* data, std::string* error) {
  if (!values.is_array())
    return Fail(error, where, std::string("expected an array, found ") + values.type_name());
  if (values.size() != count) {
    return Fail(error, where,
                std::to_string(values.size()) + " values, expected " + std::to_string(count));
  }
  for (uint32_t i = 0; i < count; ++i) {
    std::string at = where + "[" + std::to_string(i) + "]";
    if (!SingleFromJson(values[i], at, ValueOffset(code, first + i), data, error)) return false;
  }
  return true;
}

// A record's char, when given, must be a string and its code's character.
bool CharFromJson(const json& record, const std::string& where, uint8_t code, std::string* error) {
  if (!record.contains("char")) return true;
  const json& character = record["char"];
  if (!character.is_string())
    return Fail(error, where + ".char",
                std::string("expected a string, found ") + character.type_name());
  std::string mismatch = CharacterMismatch(code, character.get_ref<const std::string&>(), Quoted);
  return mismatch.empty() || Fail(error, where + ".char", mismatch);
}

// ---- Version 1: every record in code order, with all its values in one array.

bool RecordFromFirstVersion(const json& record, int code, MetricsData* data, std::string* error) {
  std::string where = "records[" + std::to_string(code) + "]";
  if (!CheckKeys(record, where, {"code", "values"}, {"char"}, error)) return false;
  const json& number = record["code"];
  if (!number.is_number_integer() || number.get<int64_t>() != code) {
    return Fail(error, where + ".code",
                Described(number) + ", expected " + std::to_string(code) + " (records are in code order)");
  }
  auto byte = static_cast<uint8_t>(code);
  return CharFromJson(record, where, byte, error) &&
         ValueArrayFromJson(record["values"], where + ".values", byte, 0, ValueCountInFile(byte),
                            data, error);
}

bool FirstVersionFromJson(const json& object, MetricsData* data, std::string* error) {
  if (!CheckKeys(object, "", {"format", "version", "line_spacing", "header", "records"}, {}, error))
    return false;
  if (!SingleFromJson(object["line_spacing"], kLineSpacingKey, kLineSpacingOffset, data, error))
    return false;
  if (!HeaderFromJson(object["header"], "header", data, error)) return false;
  const json& records = object["records"];
  if (!records.is_array())
    return Fail(error, "records", std::string("expected an array, found ") + records.type_name());
  if (records.size() != static_cast<size_t>(kCodeCount)) {
    return Fail(error, "records", std::to_string(records.size()) + " records, expected 256");
  }
  for (int code = 0; code < kCodeCount; ++code) {
    if (!RecordFromFirstVersion(records[static_cast<size_t>(code)], code, data, error))
      return false;
  }
  return true;
}

// ---- Version 2: any records, each with any of its values, by name.

bool CodeFromJson(const json& number, const std::string& where, const std::vector<bool>& seen,
                  uint8_t* code, std::string* error) {
  if (!number.is_number_integer() || number.get<int64_t>() < 0 ||
      number.get<int64_t>() >= kCodeCount) {
    return Fail(error, where, Described(number) + ", expected a code 0-255");
  }
  *code = static_cast<uint8_t>(number.get<int64_t>());
  if (seen[*code]) return Fail(error, where, std::to_string(*code) + " is given twice");
  return true;
}

bool RecordFromJson(const json& record, const std::string& where, std::vector<bool>* seen,
                    MetricsData* data, std::string* error) {
  if (!CheckKeys(record, where, {"code"},
                 {"char", kValueNames[0].key, kValueNames[1].key, kValueNames[2].key,
                  kValueNames[3].key, kValueNames[4].key, kFirstValuesKey, kLastValueKey},
                 error)) {
    return false;
  }
  uint8_t code = 0;
  if (!CodeFromJson(record["code"], where + ".code", *seen, &code, error)) return false;
  (*seen)[code] = true;
  if (!CharFromJson(record, where, code, error)) return false;
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    const char* key = kValueNames[i].key;
    if (record.contains(key) &&
        !SingleFromJson(record[key], where + "." + key, ValueOffset(code, kFirstEditedValue + i),
                        data, error)) {
      return false;
    }
  }
  if (record.contains(kFirstValuesKey) &&
      !ValueArrayFromJson(record[kFirstValuesKey], where + "." + kFirstValuesKey, code, 0,
                          kFirstEditedValue, data, error)) {
    return false;
  }
  if (!record.contains(kLastValueKey)) return true;
  std::string at = where + "." + kLastValueKey;
  if (ValueCountInFile(code) <= kLastValue)
    return Fail(error, at, "code 255 has no value 13: the file ends before it");
  return SingleFromJson(record[kLastValueKey], at, ValueOffset(code, kLastValue), data, error);
}

bool SecondVersionFromJson(const json& object, MetricsData* data, std::string* error) {
  if (!CheckKeys(object, "", {"format", "version"}, {kLineSpacingKey, kHeaderKey, "records"},
                 error))
    return false;
  if (object.contains(kLineSpacingKey) &&
      !SingleFromJson(object[kLineSpacingKey], kLineSpacingKey, kLineSpacingOffset, data, error)) {
    return false;
  }
  if (object.contains(kHeaderKey) && !HeaderFromJson(object[kHeaderKey], kHeaderKey, data, error))
    return false;
  if (!object.contains("records")) return true;
  const json& records = object["records"];
  if (!records.is_array())
    return Fail(error, "records", std::string("expected an array, found ") + records.type_name());
  std::vector<bool> seen(kCodeCount, false);
  for (size_t i = 0; i < records.size(); ++i) {
    if (!RecordFromJson(records[i], "records[" + std::to_string(i) + "]", &seen, data, error))
      return false;
  }
  return true;
}

// The format's name and a version this program reads, into *version. Unknown keys
// are named before missing ones, as everywhere.
bool VersionFromJson(const json& object, int64_t* version, std::string* error) {
  if (!object.contains("format") || !object.contains("version")) {
    return CheckKeys(object, "", {"format", "version"},
                     {kLineSpacingKey, kHeaderKey, "records", "header"}, error);
  }
  const json& format = object["format"];
  if (!format.is_string() || format.get<std::string>() != kFormatName) {
    return Fail(error, "format", Described(format) + ", expected \"" + std::string(kFormatName) + "\"");
  }
  const json& number = object["version"];
  *version = number.is_number_integer() ? number.get<int64_t>() : 0;
  if (*version != kFirstFormatVersion && *version != kFormatVersion) {
    return Fail(error, "version",
                Described(number) + ", expected " + std::to_string(kFirstFormatVersion) + " or " +
                    std::to_string(kFormatVersion));
  }
  return true;
}

}  // namespace

std::string MetricsJsonText(const uint8_t* image, const std::vector<uint8_t>* codes) {
  // The top level is laid out here so that each record stays on one line; every
  // key and value is written by the JSON library.
  std::vector<uint8_t> every;
  for (int code = 0; code < kCodeCount && !codes; ++code)
    every.push_back(static_cast<uint8_t>(code));
  const std::vector<uint8_t>& shown = codes ? *codes : every;
  std::string text = "{\n";
  text += "  \"format\": " + json(kFormatName).dump() + ",\n";
  text += "  \"version\": " + json(kFormatVersion).dump() + ",\n";
  text += std::string("  \"") + kLineSpacingKey +
          "\": " + SingleToJson(image, kLineSpacingOffset).dump() + ",\n";
  if (!codes)
    text += std::string("  \"") + kHeaderKey + "\": " + json(HeaderHex(image)).dump() + ",\n";
  text += "  \"records\": [";
  for (size_t i = 0; i < shown.size(); ++i) {
    text += (i == 0 ? "\n    " : ",\n    ") + RecordToJson(image, shown[i]).dump();
  }
  text += shown.empty() ? "]\n}\n" : "\n  ]\n}\n";
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

bool MetricsDataFromJson(const json& object, MetricsData* data, std::string* error) {
  if (!object.is_object())
    return Fail(error, "", std::string("expected an object, found ") + object.type_name());
  int64_t version = 0;
  if (!VersionFromJson(object, &version, error)) return false;
  if (version == kFirstFormatVersion) return FirstVersionFromJson(object, data, error);
  return SecondVersionFromJson(object, data, error);
}
