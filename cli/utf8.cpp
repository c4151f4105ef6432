#include "cli/utf8.h"

namespace cli {

namespace {

bool inRange(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
         (c >= 0x3041 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) ||
         (c >= 0x20000 && c <= 0x3FFFD);
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

std::string toValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const DecodedChar ch = decodeUtf8(text, pos);
    if (ch.valid) {
      out.append(text.substr(pos, ch.length));
    } else {
      appendUtf8(out, kReplacementCharacter);
    }
    pos += ch.length;
  }
  return out;
}

std::size_t displayWidth(std::string_view text) {
  std::size_t width = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const DecodedChar ch = decodeUtf8(text, pos);
    width += isWide(ch.codePoint) ? 2 : 1;
    pos += ch.length;
  }
  return width;
}

}  // namespace cli
