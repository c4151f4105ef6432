#pragma once
// UTF-8 handling for texts that arrive from the command line as arbitrary bytes; the
// decoding itself is calc's (calc/utf8.h).

#include <cstddef>
#include <string>
#include <string_view>

#include "calc/utf8.h"

namespace cli {

using calc::appendUtf8;
using calc::DecodedChar;
using calc::decodeUtf8;
using calc::kReplacementCharacter;

// The text with every ill-formed subpart replaced by U+FFFD; well-formed text is unchanged.
std::string toValidUtf8(std::string_view text);

// Terminal columns the text takes: 2 for East Asian wide and full-width characters
// (Chinese characters, the full-width colon), 1 for everything else.
std::size_t displayWidth(std::string_view text);

}  // namespace cli
