#pragma once
// Files by UTF-8 path (the sheet, the batch input), and the date the sheet carries. Plain C
// files and the system's calls rather than std::filesystem, which alone would more than
// double the size of a static Windows program.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace sheet {

// Writes `content` to the file at the UTF-8 path `path` through a temporary file in the
// same folder that is renamed over it, so a reader never sees half a sheet and a failed
// write leaves no file behind. Returns nothing on success, else one Simplified Chinese line
// saying why.
std::optional<std::string> writeFileAtomically(std::string_view path, std::string_view content);

// The whole file at the UTF-8 path `path`, or what is left of an open stream; nothing when
// it cannot be read.
std::optional<std::string> readWholeFile(std::string_view path);
std::optional<std::string> readStream(std::FILE* stream);

// Today in local time as a Chinese document dates it: "2026年12月6日".
std::string todayText();

}  // namespace sheet
