#pragma once
// CSV for spreadsheets. Written as UTF-8 with a byte-order mark and CRLF line ends, so that
// a spreadsheet on a Chinese Windows opens the Chinese header intact; read as a spreadsheet
// or a script writes it.

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

// Reads records one by one as RFC 4180 has them: fields separated by commas, records ended
// by CRLF, LF or a lone CR; a field in double quotes may hold commas, line ends and doubled
// quotes. A byte-order mark at the start is skipped, and so are empty lines. Written here
// rather than taken from fast-cpp-csv-parser (libfccp-dev): that one fixes the number of
// columns at compile time and ends a record at every line end, even inside quotes.
class CsvReader {
 public:
  explicit CsvReader(std::string_view text);

  // The next record's fields (the vector's strings are reused); false at the end. A record
  // that is not well-formed (a quote left open, text after a closing quote) still comes
  // back as read, with `problem` set to what is wrong; otherwise `problem` is emptied.
  bool next(std::vector<std::string>& fields, std::string& problem);

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace cli
