#pragma once
// UTF-8 handling for texts that arrive from the command line as arbitrary bytes.
//
// Bytes that are not part of a well-formed UTF-8 sequence are replaced by U+FFFD, one
// replacement per maximal ill-formed subpart (the practice the Unicode standard
// recommends): a lone continuation byte, a truncated sequence, an overlong form, a
// surrogate or a value beyond U+10FFFF each become one U+FFFD.

#include <cstddef>
#include <string>
#include <string_view>

namespace cli {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

struct DecodedChar {
  char32_t codePoint;  // kReplacementCharacter when !valid
  std::size_t length;  // bytes consumed, at least 1
  bool valid;
};

// Decodes the character that starts at byte `pos` of `text` (pos < text.size()).
DecodedChar decodeUtf8(std::string_view text, std::size_t pos);

// Appends the UTF-8 form of a code point.
void appendUtf8(std::string& out, char32_t codePoint);

// The text with every ill-formed subpart replaced by U+FFFD; well-formed text is unchanged.
std::string toValidUtf8(std::string_view text);

// Terminal columns the text takes: 2 for East Asian wide and full-width characters
// (Chinese characters, the full-width colon), 1 for everything else.
std::size_t displayWidth(std::string_view text);

}  // namespace cli
