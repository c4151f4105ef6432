#pragma once
// Writing JSON: string literals that are valid for any bytes, and flat objects.

#include <string>
#include <string_view>

namespace cli {

// The text as a JSON string literal, quotes included. Well-formed UTF-8 is kept as it
// is; each ill-formed subpart (see cli/utf8.h) is written as the escape \ufffd. Quote,
// backslash, the control characters (C0, DEL, C1) and U+2028/U+2029 are escaped, so the literal
// is also safe to embed in JavaScript.
std::string jsonString(std::string_view text);

// Builds one object member by member, in the order added.
class JsonObject {
 public:
  JsonObject& add(std::string_view key, std::string_view text);
  // `json` must already be a JSON value (an object or array written by this file).
  JsonObject& addRaw(std::string_view key, std::string_view json);
  std::string str() const { return body_ + "}"; }

 private:
  void startMember(std::string_view key);
  std::string body_ = "{";
};

}  // namespace cli
