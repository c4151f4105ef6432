#pragma once
// Files by UTF-8 path (the sheet, the batch input), and the date the sheet carries. Plain C
// files and the system's calls rather than std::filesystem, which alone would more than
// double the size of a static Windows program.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace files {

// Writes `content` to the file at the UTF-8 path `path`: every file the program writes goes
// through here. A regular file (or a new one) is written to a temporary file created
// exclusively under an unpredictable name in the same folder, synced and renamed over it, so
// a reader never sees half a file, a failed write leaves nothing behind and nothing planted
// beside the target is followed. A link to a file replaces the file it points to; the old
// file's mode is kept; a file without write permission is refused. A device, FIFO or pipe
// is written to directly, never replaced. Returns nothing on success, else one Simplified
// Chinese line saying why.
std::optional<std::string> writeFileAtomically(std::string_view path, std::string_view content);

// The file at the UTF-8 path `path`, opened for reading; nothing, with `reason` set to one
// Simplified Chinese phrase ("文件不存在", "没有读取权限", ...), when it cannot be read.
std::FILE* openInput(std::string_view path, std::string& reason);

// The whole file at the UTF-8 path `path`, or what is left of an open stream; nothing when
// it cannot be read.
std::optional<std::string> readWholeFile(std::string_view path);
std::optional<std::string> readStream(std::FILE* stream);

// Today in local time as a Chinese document dates it: "2026年12月6日".
std::string todayText();

}  // namespace files
