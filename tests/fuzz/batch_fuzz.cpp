// libFuzzer target: the CSV reader and the batch on any bytes, under ASan and UBSan
// (`make fuzz`). Beyond not crashing, what comes out must hold: a record never has more
// fields than allowed, and no control character of the input reaches the output.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch.h"
#include "cli/csv.h"

namespace {

// CSV: line ends only as CRLF between rows. JSON lines: no raw control byte but the LF
// that ends an object.
bool cleanOutput(std::string_view out, bool json) {
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (c >= 0x20 && c != 0x7F) continue;
    if (json && c == '\n') continue;
    if (!json && c == '\r' && i + 1 < out.size() && out[i + 1] == '\n') {
      ++i;
      continue;
    }
    return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  // The reader alone, with a small field limit so that it is reached often.
  cli::CsvReader reader(text);
  constexpr std::size_t kMaxFields = 3;
  reader.setMaxFields(kMaxFields);
  std::vector<std::string> fields;
  std::string problem;
  while (reader.next(fields, problem)) {
    if (fields.size() > kMaxFields || reader.lastLine() < reader.firstLine()) __builtin_trap();
  }

  // The whole batch, the form of output chosen by the input's length.
  cli::Options options;
  const bool json = size % 2 == 1;
  options.format = json ? cli::Format::Json : cli::Format::Csv;
  const cli::Printed printed = cli::runBatch(text, options);
  if (!cleanOutput(printed.out, json)) __builtin_trap();
  return 0;
}
