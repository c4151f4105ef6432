#include "cli/csv.h"

#include "cli/utf8.h"

namespace cli {

std::string csvField(std::string_view text) {
  const std::string valid = toValidUtf8(text);
  const bool needsQuotes = valid.find_first_of(",\"\r\n") != std::string::npos ||
                           (!valid.empty() && (valid.front() == ' ' || valid.back() == ' '));
  if (!needsQuotes) return valid;
  std::string out = "\"";
  for (char c : valid) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::string csvRow(const std::vector<std::string>& fields) {
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    out += csvField(fields[i]);
  }
  out += "\r\n";
  return out;
}

}  // namespace cli
