#include "cli/utf8.h"

namespace cli {

namespace {

bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
         (c >= 0x3041 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) ||
         (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

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
