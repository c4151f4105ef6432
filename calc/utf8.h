#pragma once
// Decoding of UTF-8 texts that may hold arbitrary bytes (typed, pasted or passed on a
// command line). Bytes that are not part of a well-formed sequence count as one U+FFFD per
// maximal ill-formed subpart, as the Unicode standard recommends: a lone continuation
// byte, a truncated sequence, an overlong form, a surrogate or a value beyond U+10FFFF.

#include <cstddef>
#include <string>
#include <string_view>

namespace calc {

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

// A character that can steer a terminal or break a line where none was meant: the C0
// controls, DEL, the C1 controls and the separators U+2028/U+2029.
bool isControlCharacter(char32_t c);

// The explicit bidirectional marks, embeddings, overrides and isolates (U+200E/F,
// U+202A–U+202E, U+2066–U+2069): invisible, they reorder the text that follows, so that a
// quoted name can show other characters than it holds.
bool isBidiControl(char32_t c);

// The text without its bidirectional controls.
std::string withoutBidiControls(std::string_view text);

// The text as one line of valid UTF-8 that cannot steer a terminal: every control
// character (C0, DEL, C1) and the line and paragraph separators U+2028/U+2029 become a
// blank, a bidirectional control its visible name "<U+202E>", ill-formed bytes U+FFFD.
// Longer than `maxChars` characters, it is cut there and ends in "…".
std::string oneLine(std::string_view text, std::size_t maxChars = std::string_view::npos);

}  // namespace calc
