#pragma once
// CSV for spreadsheets. Written as UTF-8 with a byte-order mark and CRLF line ends, so that
// a spreadsheet on a Chinese Windows opens the Chinese header intact; read as a spreadsheet
// or a script writes it.

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// One field: quoted (with inner quotes doubled) when it holds a comma, a quote, CR or LF,
// or starts or ends with a blank; ill-formed UTF-8 becomes U+FFFD.
std::string csvField(std::string_view text);

// A text cell the program echoes (an id, a message) as one line (calc::oneLine: no control
// character survives), with a leading ' when it begins with =, +, -, @, tab or CR, so that a
// spreadsheet shows it as text instead of evaluating it as a formula. Numbers the program
// formats itself do not go through here.
std::string csvTextCell(std::string_view text);

// The fields joined by commas, ended with CRLF.
std::string csvRow(const std::vector<std::string>& fields);

// Reads records one by one as RFC 4180 has them: fields separated by commas, records ended
// by CRLF, LF or a lone CR; a field in double quotes may hold commas, line ends and doubled
// quotes. A byte-order mark at the start is skipped, and so are empty lines. Written here
// rather than taken from fast-cpp-csv-parser (libfccp-dev): that one fixes the number of
// columns at compile time and ends a record at every line end, even inside quotes.
//
// Memory stays bounded whatever the input: a stream is read in blocks, a record keeps at
// most kMaxRecordBytes and setMaxFields fields, and the rest of an oversized record is
// skipped to its end (the next line end outside quotes) without being kept.
class CsvReader {
 public:
  static constexpr std::size_t kMaxRecordBytes = std::size_t{1} << 20;

  // Text already in memory.
  explicit CsvReader(std::string_view text);
  // A stream read as its bytes arrive; `beforeRead` runs before each read, so that what was
  // written so far can be flushed while the input is awaited.
  explicit CsvReader(std::FILE* stream, std::function<void()> beforeRead = {});

  // The most fields a record may have; the first field beyond makes the record's problem.
  void setMaxFields(std::size_t maxFields) { maxFields_ = maxFields; }

  // The next record's fields (the vector's strings are reused); false at the end. A record
  // that is not well-formed (a quote left open, text after a closing quote, too many fields,
  // too long) still comes back as far as it was kept, with `problem` set to what is wrong;
  // otherwise `problem` is emptied. A quote left open wins over any other problem.
  bool next(std::vector<std::string>& fields, std::string& problem);

  // The lines of the file (from 1) where the last record began and ended.
  std::size_t firstLine() const { return firstLine_; }
  std::size_t lastLine() const { return lastLine_; }
  // Whether reading the stream failed (not its end).
  bool failed() const { return failed_; }

 private:
  int peek() { return cur_ < end_ || refill() ? static_cast<unsigned char>(*cur_) : -1; }
  int get() { return cur_ < end_ || refill() ? static_cast<unsigned char>(*cur_++) : -1; }
  bool refill();
  // Counts the line end `c` just read (a CR followed by LF counts once, at the LF).
  void countLine(int c) {
    if (c == '\n' || (c == '\r' && peek() != '\n')) ++line_;
  }

  const char* cur_ = nullptr;
  const char* end_ = nullptr;
  std::FILE* stream_ = nullptr;
  std::function<void()> beforeRead_;
  std::vector<char> buffer_;
  std::size_t maxFields_ = std::size_t(-1);
  std::size_t line_ = 1;
  std::size_t firstLine_ = 0;
  std::size_t lastLine_ = 0;
  bool failed_ = false;
};

}  // namespace cli
