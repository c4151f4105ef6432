#include "calc/utf8.h"

namespace calc {

namespace {

bool inRange(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

}  // namespace

DecodedChar decodeUtf8(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) return {lead, 1, true};

  // Length of the sequence and the allowed range of its second byte; the narrowed ranges
  // after E0, ED, F0 and F4 exclude overlong forms, surrogates and values past U+10FFFF.
  std::size_t length = 0;
  unsigned char secondLow = 0x80, secondHigh = 0xBF;
  char32_t value = 0;
  if (inRange(lead, 0xC2, 0xDF)) {
    length = 2;
    value = lead & 0x1F;
  } else if (inRange(lead, 0xE0, 0xEF)) {
    length = 3;
    value = lead & 0x0F;
    if (lead == 0xE0) secondLow = 0xA0;
    if (lead == 0xED) secondHigh = 0x9F;
  } else if (inRange(lead, 0xF0, 0xF4)) {
    length = 4;
    value = lead & 0x07;
    if (lead == 0xF0) secondLow = 0x90;
    if (lead == 0xF4) secondHigh = 0x8F;
  } else {
    return {kReplacementCharacter, 1, false};
  }

  for (std::size_t i = 1; i < length; ++i) {
    if (pos + i >= text.size()) return {kReplacementCharacter, i, false};
    const auto byte = static_cast<unsigned char>(text[pos + i]);
    const bool fits = i == 1 ? inRange(byte, secondLow, secondHigh) : inRange(byte, 0x80, 0xBF);
    if (!fits) return {kReplacementCharacter, i, false};
    value = (value << 6) | (byte & 0x3F);
  }
  return {value, length, true};
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool isControlCharacter(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

bool isBidiControl(char32_t c) {
  return c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::string withoutBidiControls(std::string_view text) {
  std::string out;
  for (std::size_t pos = 0; pos < text.size();) {
    const DecodedChar ch = decodeUtf8(text, pos);
    if (!ch.valid || !isBidiControl(ch.codePoint)) out.append(text.substr(pos, ch.length));
    pos += ch.length;
  }
  return out;
}

std::string oneLine(std::string_view text, std::size_t maxChars) {
  std::string out;
  std::size_t chars = 0;
  std::size_t pos = 0;
  for (; pos < text.size() && chars < maxChars; ++chars) {
    const DecodedChar ch = decodeUtf8(text, pos);
    const char32_t c = ch.codePoint;
    if (!ch.valid) {
      appendUtf8(out, kReplacementCharacter);
    } else if (isControlCharacter(c)) {
      out.push_back(' ');
    } else if (isBidiControl(c)) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "<U+";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
      out += '>';
    } else {
      out.append(text.substr(pos, ch.length));
    }
    pos += ch.length;
  }
  if (pos < text.size()) out += "…";
  return out;
}

}  // namespace calc
