#pragma once
// Writing CSV for spreadsheets: UTF-8 with a byte-order mark and CRLF line ends, so that
// a spreadsheet on a Chinese Windows opens the Chinese header intact.

#include <string>
#include <string_view>
#include <vector>

namespace cli {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// One field: quoted (with inner quotes doubled) when it holds a comma, a quote, CR or LF,
// or starts or ends with a blank; ill-formed UTF-8 becomes U+FFFD.
std::string csvField(std::string_view text);

// The fields joined by commas, ended with CRLF.
std::string csvRow(const std::vector<std::string>& fields);

}  // namespace cli
