#pragma once
// Writing what the program produces. Every output, to standard output or to a file the
// program creates, goes through writeOutput and is closed with closeOutput, so that output
// lost to a full disk or a closed pipe is reported instead of ending in success.

#include <cstdio>
#include <string_view>

namespace cli {

// Exit status when output was lost; the same as a failed calculation: there is no result.
inline constexpr int kExitWriteFailed = 1;

// Writes all of `text` and flushes the stream; false when any of it did not arrive.
bool writeOutput(std::FILE* stream, std::string_view text);

// Closes the stream; false when that failed or the stream had failed before (a write error
// that only shows when the last buffer is written out).
bool closeOutput(std::FILE* stream);

}  // namespace cli
