#pragma once
// The one UTF-8/UTF-16 conversion of the Windows build: paths, arguments, window texts.

#include <string>
#include <string_view>

namespace files {

// UTF-16, as Windows' wide strings hold it. Ill-formed UTF-8 becomes U+FFFD as decodeUtf8
// reads it; a lone surrogate in UTF-16 becomes U+FFFD on the way back. The one conversion of
// the Windows build: paths, arguments, window texts.
std::u16string toUtf16(std::string_view utf8);
std::string fromUtf16(std::u16string_view utf16);

#ifdef _WIN32
inline std::wstring widen(std::string_view utf8) {
  const std::u16string utf16 = toUtf16(utf8);
  return std::wstring(utf16.begin(), utf16.end());
}
inline std::string narrow(std::wstring_view wide) {
  return fromUtf16(
      std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}
#endif

}  // namespace files
