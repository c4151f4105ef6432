#include "cli/csv.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "calc/utf8.h"
#include "cli/utf8.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

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

std::string csvTextCell(std::string_view text) {
  std::string cell = calc::oneLine(text);
  if (!cell.empty() && std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos) {
    cell.insert(cell.begin(), '\'');
  }
  return cell;
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

CsvReader::CsvReader(std::string_view text) : cur_(text.data()), end_(text.data() + text.size()) {
  if (text.starts_with(kUtf8Bom)) cur_ += kUtf8Bom.size();
}

CsvReader::CsvReader(std::FILE* stream, std::function<void()> beforeRead)
    : stream_(stream), beforeRead_(std::move(beforeRead)), buffer_(std::size_t{1} << 16) {
  for (char b : kUtf8Bom) {
    if (peek() != static_cast<unsigned char>(b)) break;
    get();
  }
}

bool CsvReader::refill() {
  if (stream_ == nullptr || failed_) return false;
  if (beforeRead_) beforeRead_();
    // What has arrived, not a full block: fread would wait for the block from a pipe and
    // hold back the rows of records already there.
#ifdef _WIN32
  const int n = _read(_fileno(stream_), buffer_.data(), static_cast<unsigned>(buffer_.size()));
#else
  ssize_t n = 0;
  do {
    n = ::read(::fileno(stream_), buffer_.data(), buffer_.size());
  } while (n < 0 && errno == EINTR);
#endif
  if (n <= 0) {
    failed_ = n < 0;
    // A terminal can deliver more after an end of file; this reader takes the first end.
    stream_ = nullptr;
    return false;
  }
  cur_ = buffer_.data();
  end_ = cur_ + static_cast<std::size_t>(n);
  return true;
}

bool CsvReader::next(std::vector<std::string>& fields, std::string& problem) {
  problem.clear();
  // Empty lines carry no record.
  for (int c = peek(); c == '\n' || c == '\r'; c = peek()) countLine(get());
  if (peek() < 0) return false;
  firstLine_ = line_;

  std::size_t count = 0;
  std::size_t bytes = 0;
  // Once the record is too long or has too many fields nothing more is kept, but the
  // quotes are still followed to find where it ends.
  bool keeping = true;
  const auto stopKeeping = [&](std::string what) {
    if (problem.empty()) problem = std::move(what);
    keeping = false;
  };
  std::string* field = nullptr;
  const auto keep = [&](int c) {
    if (!keeping) return;
    if (++bytes > kMaxRecordBytes) {
      stopKeeping("记录长于 1 MiB");
      return;
    }
    field->push_back(static_cast<char>(c));
  };
  const auto newField = [&] {
    if (keeping && count == maxFields_)
      stopKeeping("字段多于表头的 " + std::to_string(maxFields_) + " 列");
    if (!keeping) return;
    if (count == fields.size()) fields.emplace_back();
    field = &fields[count++];
    field->clear();
  };

  while (true) {
    newField();
    if (peek() == '"') {
      get();
      const std::size_t opened = line_;
      bool afterLineEnd = false;  // a final line end starts no further line of the file
      while (true) {
        const int c = get();
        if (c < 0) {
          // The rest of the file went into this field; say so rather than what it holds.
          lastLine_ = afterLineEnd ? line_ - 1 : line_;
          problem = "第 " + std::to_string(opened) + " 行的引号未闭合";
          if (lastLine_ > opened) {
            problem += "，其后 " + std::to_string(lastLine_ - opened) + " 行都并入了该字段";
          }
          fields.resize(count);
          return true;
        }
        afterLineEnd = c == '\n' || c == '\r';
        if (c == '"') {
          if (peek() != '"') break;
          get();  // a doubled quote stands for one
        }
        countLine(c);
        keep(c);
      }
      // What follows a closing quote up to the separator.
      for (int c = peek(); c >= 0 && c != ',' && c != '\r' && c != '\n'; c = peek()) {
        if (problem.empty()) problem = "引号后有多余的字符";
        keep(get());
      }
    } else {
      for (int c = peek(); c >= 0 && c != ',' && c != '\r' && c != '\n'; c = peek()) keep(get());
    }
    const int c = get();
    if (c == ',') continue;
    lastLine_ = line_;
    if (c >= 0) {
      countLine(c);
      if (c == '\r' && peek() == '\n') countLine(get());
    }
    break;
  }
  fields.resize(count);
  return true;
}

}  // namespace cli
