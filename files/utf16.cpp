#include "files/utf16.h"

#include "calc/utf8.h"

namespace files {

using calc::appendUtf8;
using calc::DecodedChar;
using calc::decodeUtf8;
using calc::kReplacementCharacter;

std::u16string toUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    const DecodedChar c = decodeUtf8(utf8, pos);
    pos += c.length;
    if (c.codePoint < 0x10000) {
      out.push_back(static_cast<char16_t>(c.codePoint));
    } else {
      const char32_t v = c.codePoint - 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    }
  }
  return out;
}

std::string fromUtf16(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 3);
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    const bool high = c >= 0xD800 && c <= 0xDBFF;
    const bool low = c >= 0xDC00 && c <= 0xDFFF;
    if (high && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (high || low) {
      c = kReplacementCharacter;
    }
    appendUtf8(out, c);
  }
  return out;
}

}  // namespace files
