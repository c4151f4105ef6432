#pragma once
// Files by UTF-8 path (the sheet, the batch input), and the date the sheet carries. Plain C
// files and the system's calls rather than std::filesystem, which alone would more than
// double the size of a static Windows program.

#include <cstdint>
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
// file's mode is kept but for setuid and setgid; a file without write permission is refused.
// A device, FIFO or pipe is written to directly, never replaced; a FIFO nobody reads is
// refused after a second instead of waiting for a reader. A temporary file is removed when
// SIGTERM, SIGINT or SIGHUP ends the program mid-write, and SIGXFSZ is ignored so that a
// file beyond the size limit is a message. Returns nothing on success, else one Simplified
// Chinese line saying why.
std::optional<std::string> writeFileAtomically(std::string_view path, std::string_view content);

// The file at the UTF-8 path `path`, opened for reading; nothing, with `reason` set to one
// Simplified Chinese phrase ("文件不存在", "没有读取权限", ...), when it cannot be read.
std::FILE* openInput(std::string_view path, std::string& reason);

// The whole file at the UTF-8 path `path`, or what is left of an open stream; nothing when
// it cannot be read.
std::optional<std::string> readWholeFile(std::string_view path);
std::optional<std::string> readStream(std::FILE* stream);

// The whole file at `path` ("-": standard input), read no further than `limit` bytes, so a
// device or an endless pipe cannot fill memory. Nothing, with `reason` set to one phrase as
// openInput's ("文件名为空", "文件过大（上限 1 MiB）", ...), when it cannot be read or holds more.
std::optional<std::string> readWholeFile(std::string_view path, std::size_t limit,
                                         std::string& reason);

// Which file a name or an open stream is: device and inode, on Windows the volume's serial
// number and the file index, so that two names of one file (a link, "./x" and "x") compare
// equal. Only a regular file has one here: a device or a pipe is never replaced.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  bool operator==(const FileIdentity&) const = default;
};
std::optional<FileIdentity> fileIdentity(std::string_view path);  // "-": standard input
std::optional<FileIdentity> fileIdentity(std::FILE* stream);

// Whether `a` and `b` name one existing regular file ("-": standard input): writing one would
// destroy the other.
bool sameFile(std::string_view a, std::string_view b);

// Today in local time as a Chinese document dates it: "2026年12月6日".
std::string todayText();

}  // namespace files
