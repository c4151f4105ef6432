#include "cli/csv.h"

#include <algorithm>

#include "cli/utf8.h"

namespace cli {

namespace {

// Plain ASCII with nothing to quote, as numbers and keys are: written as it is.
bool isPlainAscii(std::string_view text) {
  if (!text.empty() && (text.front() == ' ' || text.back() == ' ')) return false;
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80 || c == ',' || c == '"' || c == '\r' || c == '\n') {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string csvField(std::string_view text) {
  if (isPlainAscii(text)) return std::string(text);
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
    if (isPlainAscii(fields[i])) {
      out += fields[i];
    } else {
      out += csvField(fields[i]);
    }
  }
  out += "\r\n";
  return out;
}

CsvReader::CsvReader(std::string_view text) : text_(text) {
  if (text_.starts_with(kUtf8Bom)) pos_ = kUtf8Bom.size();
}

bool CsvReader::next(std::vector<std::string>& fields, std::string& problem) {
  problem.clear();
  // Empty lines carry no record.
  while (pos_ < text_.size() && (text_[pos_] == '\n' || text_[pos_] == '\r')) ++pos_;
  if (pos_ >= text_.size()) return false;

  std::size_t count = 0;
  const auto newField = [&]() -> std::string& {
    if (count == fields.size()) fields.emplace_back();
    std::string& field = fields[count++];
    field.clear();
    return field;
  };
  const std::size_t end = text_.size();
  while (true) {
    std::string& field = newField();
    const bool quoted = pos_ < end && text_[pos_] == '"';
    if (quoted) {
      ++pos_;
      while (true) {
        const std::size_t quote = text_.find('"', pos_);
        if (quote == std::string_view::npos) {
          field.append(text_.substr(pos_));
          pos_ = end;
          problem = "引号未闭合";
          break;
        }
        field.append(text_.substr(pos_, quote - pos_));
        pos_ = quote + 1;
        if (pos_ < end && text_[pos_] == '"') {  // a doubled quote stands for one
          field += '"';
          ++pos_;
          continue;
        }
        break;
      }
    }
    // The unquoted field, or what follows a closing quote up to the separator.
    const std::size_t stop = std::min(text_.find_first_of(",\r\n", pos_), end);
    if (quoted && stop > pos_ && problem.empty()) problem = "引号后有多余的字符";
    field.append(text_.substr(pos_, stop - pos_));
    pos_ = stop;
    if (pos_ < end && text_[pos_] == ',') {
      ++pos_;
      continue;
    }
    if (pos_ < end && text_[pos_] == '\r') ++pos_;
    if (pos_ < end && text_[pos_] == '\n') ++pos_;
    break;
  }
  fields.resize(count);
  return true;
}

}  // namespace cli
