#include "cli/json.h"

#include "cli/utf8.h"

namespace cli {

namespace {

void appendUnicodeEscape(std::string& out, char32_t c) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
}

}  // namespace

std::string jsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t pos = 0; pos < text.size();) {
    const DecodedChar ch = decodeUtf8(text, pos);
    const char32_t c = ch.codePoint;
    if (!ch.valid) {
      appendUnicodeEscape(out, kReplacementCharacter);
    } else if (c == '"') {
      out += "\\\"";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\b') {
      out += "\\b";
    } else if (c == '\f') {
      out += "\\f";
    } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029) {
      appendUnicodeEscape(out, c);
    } else {
      out.append(text.substr(pos, ch.length));
    }
    pos += ch.length;
  }
  out += '"';
  return out;
}

void JsonObject::startMember(std::string_view key) {
  if (body_.size() > 1) body_ += ',';
  body_ += jsonString(key);
  body_ += ':';
}

JsonObject& JsonObject::add(std::string_view key, std::string_view text) {
  startMember(key);
  body_ += jsonString(text);
  return *this;
}

JsonObject& JsonObject::addRaw(std::string_view key, std::string_view json) {
  startMember(key);
  body_ += json;
  return *this;
}

}  // namespace cli
