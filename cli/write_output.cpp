#include "cli/write_output.h"

namespace cli {

bool writeOutput(std::FILE* stream, std::string_view text) {
  const std::size_t written = std::fwrite(text.data(), 1, text.size(), stream);
  const bool flushed = std::fflush(stream) == 0;
  return written == text.size() && flushed && std::ferror(stream) == 0;
}

bool closeOutput(std::FILE* stream) {
  const bool clean = std::ferror(stream) == 0;
  return std::fclose(stream) == 0 && clean;
}

}  // namespace cli
