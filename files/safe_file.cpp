#include "files/safe_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <system_error>
#include <utility>

#include "calc/utf8.h"
#include "files/utf16.h"

#ifdef _WIN32
#include <windows.h>

#include <io.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#endif

namespace files {
namespace {

// The one failure the system's codes do not tell apart from a file without write permission:
// the folder refuses the temporary file, so the file itself cannot be replaced.
const std::error_category& writerCategory() {
  static const struct WriterCategory : std::error_category {
    const char* name() const noexcept override { return "hydrant-files"; }
    std::string message(int) const override { return "folder not writable"; }
  } category;
  return category;
}
const std::error_code kFolderNotWritable{1, writerCategory()};

// Reads the reasons below know, as the portable conditions, and says them in one phrase.
std::string reasonText(std::error_code ec) {
  if (ec == kFolderNotWritable) return "所在文件夹没有写入权限";
  if (ec == std::errc::no_such_file_or_directory) return "文件夹不存在";
  if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted) {
    return "没有写入权限";
  }
  if (ec == std::errc::is_a_directory) return "该路径是一个文件夹";
  if (ec == std::errc::not_a_directory) return "路径中有一段不是文件夹";
  if (ec == std::errc::no_space_on_device) return "磁盘空间不足";
  if (ec == std::errc::read_only_file_system) return "磁盘为只读";
  if (ec == std::errc::filename_too_long) return "文件名过长";
  if (ec == std::errc::device_or_resource_busy) return "文件正被其他程序使用";
  if (ec == std::errc::broken_pipe) return "管道的读取端已关闭";
  if (ec == std::errc::file_too_large) return "文件超过系统允许的大小";
  // ENXIO is a FIFO's; a device's is turned into ENODEV where it is opened.
  if (ec == std::errc::no_such_device_or_address) return "管道没有读取端";
  if (ec == std::errc::no_such_device) return "设备不存在或未就绪";
  if (ec == std::errc::too_many_symbolic_link_levels) return "符号链接层数过多";
  if (ec == std::errc::io_error) return "读写设备出错";
  return "系统错误 " + std::to_string(ec.value());
}

// 64 unpredictable bits for a temporary file's name. The name alone is no defence: the
// file is created exclusively and a name taken by anyone else is simply passed over.
std::string randomSuffix() {
  static std::random_device device;
  static std::uint64_t counter = 0;
  std::uint64_t bits = (std::uint64_t{device()} << 32) ^ device();
  bits ^= static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  bits += ++counter * 0x9E3779B97F4A7C15ull;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (int shift = 60; shift >= 0; shift -= 4) out += kHex[(bits >> shift) & 0xF];
  return out;
}

// The folder part of a path ("." when there is none) and the name part.
std::pair<std::string, std::string> splitPath(const std::string& path) {
  const std::size_t slash = path.find_last_of(
#ifdef _WIN32
      "/\\:"
#else
      "/"
#endif
  );
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? path.substr(0, 1) : path.substr(0, slash), path.substr(slash + 1)};
}

#ifdef _WIN32
// UTF-16 for the wide calls, so a path keeps every character; the ANSI calls would read it
// in the code page.
std::wstring widePath(std::string_view utf8) { return files::widen(utf8); }

std::FILE* openForReading(const std::string& path) {
  return _wfopen(widePath(path).c_str(), L"rb");
}

// The Win32 reasons the messages know, as the portable conditions.
std::error_code win32Error(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED:
      return std::make_error_code(std::errc::permission_denied);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return std::make_error_code(std::errc::device_or_resource_busy);
    case ERROR_WRITE_PROTECT:
      return std::make_error_code(std::errc::read_only_file_system);
    case ERROR_FILENAME_EXCED_RANGE:
      return std::make_error_code(std::errc::filename_too_long);
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
      return std::make_error_code(std::errc::broken_pipe);
    default:
      return {static_cast<int>(code), std::system_category()};
  }
}

std::error_code lastError() { return win32Error(GetLastError()); }

std::error_code writeAll(HANDLE file, std::string_view content) {
  while (!content.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, content.data(), chunk, &written, nullptr)) return lastError();
    content.remove_prefix(written);
  }
  return {};
}

// A virus scanner, an indexer or a file dialog's folder view may hold a file it has just seen
// appear for a moment: the rename is tried again for up to a second before giving up.
bool replaceFile(const std::wstring& from, const std::wstring& to) {
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    const DWORD error = GetLastError();
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION &&
         error != ERROR_ACCESS_DENIED) ||
        attempt == 20) {
      SetLastError(error);
      return false;
    }
    Sleep(50);
  }
}

std::error_code writeFile(const std::string& target, std::string_view content) {
  const std::wstring wideTarget = widePath(target);
  const DWORD attributes = GetFileAttributesW(wideTarget.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      return std::make_error_code(std::errc::is_a_directory);
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
      return std::make_error_code(std::errc::permission_denied);
    }
  }
  const auto [folder, name] = splitPath(target);
  std::wstring temp;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temp = widePath(folder + "\\." + name + "." + randomSuffix() + ".tmp");
    file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
      return kFolderNotWritable;
    }
    if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
        GetLastError() != ERROR_ALREADY_EXISTS) {
      return lastError();
    }
  }
  if (file == INVALID_HANDLE_VALUE) return lastError();
  std::error_code ec = writeAll(file, content);
  if (!ec && !FlushFileBuffers(file)) ec = lastError();
  if (!CloseHandle(file) && !ec) ec = lastError();
  if (!ec && !replaceFile(temp, wideTarget)) ec = lastError();
  if (ec) DeleteFileW(temp.c_str());
  return ec;
}
#else
std::FILE* openForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

std::error_code lastError() { return {errno, std::generic_category()}; }

std::error_code writeAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return lastError();
    }
    content.remove_prefix(static_cast<std::size_t>(n));
  }
  return {};
}

// A device, a FIFO, a socket or a pipe of the shell (`>(wc -c)`) takes the content as it
// comes; replacing it by a regular file would break whatever reads it. A FIFO is opened
// without waiting, which fails with ENXIO while nobody reads it (a blocking open would wait
// for ever); a reader started beside the program is given a second to open it. Then it is
// written as usual.
std::error_code writeDirectly(const std::string& target, bool fifo, std::string_view content) {
  int fd = -1;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0 || errno != ENXIO || !fifo) break;
    ::usleep(10000);
  }
  if (fd < 0) {
    if (errno == ENXIO && !fifo) return std::make_error_code(std::errc::no_such_device);
    return lastError();
  }
  if (const int flags = ::fcntl(fd, F_GETFL); flags >= 0) {
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  }
  std::error_code ec = writeAll(fd, content);
  if (::close(fd) != 0 && !ec) ec = lastError();
  return ec;
}

// The temporary files being written, for the handler of the signals that end the program:
// a slot is armed while its file exists. Several threads may write at once.
struct TempSlot {
  char name[4096];
  std::atomic<int> state{0};  // 0 free, 1 taken, 2 armed
};
TempSlot tempSlots[8];
constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void removeTempFilesAndEnd(int signal) {
  for (TempSlot& slot : tempSlots) {
    if (slot.state.load() == 2) ::unlink(slot.name);
  }
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

// Once: a handler for each ending signal nobody else handles, and SIGXFSZ ignored so that
// a write beyond the size limit fails with EFBIG instead of ending the program.
void installSignalHandlers() {
  static const bool installed = [] {
    ::signal(SIGXFSZ, SIG_IGN);
    for (const int signal : kEndingSignals) {
      struct sigaction old {};
      if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) continue;
      struct sigaction action {};
      action.sa_handler = removeTempFilesAndEnd;
      sigemptyset(&action.sa_mask);
      ::sigaction(signal, &action, nullptr);
    }
    return true;
  }();
  (void)installed;
}

// The ending signals held back while a temporary file and its slot change together.
class EndingSignalsHeld {
 public:
  EndingSignalsHeld() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kEndingSignals) sigaddset(&set, signal);
    ::pthread_sigmask(SIG_BLOCK, &set, &old_);
  }
  ~EndingSignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
  EndingSignalsHeld(const EndingSignalsHeld&) = delete;
  EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

 private:
  sigset_t old_;
};

// A slot armed with `name`, or nothing when all are taken (the file is then not removed).
TempSlot* armSlot(const std::string& name) {
  if (name.size() >= sizeof TempSlot::name) return nullptr;
  for (TempSlot& slot : tempSlots) {
    int expected = 0;
    if (!slot.state.compare_exchange_strong(expected, 1)) continue;
    std::memcpy(slot.name, name.c_str(), name.size() + 1);
    slot.state.store(2);
    return &slot;
  }
  return nullptr;
}

std::error_code writeFile(const std::string& path, std::string_view content) {
  std::string target = path;
  // The new file's mode: the umask's, as any program creates files; an old file's is kept.
  mode_t mode = 0666;
  bool keepMode = false;
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return std::make_error_code(std::errc::is_a_directory);
    if (!S_ISREG(info.st_mode)) return writeDirectly(path, S_ISFIFO(info.st_mode), content);
    // A link to a file: the file is replaced, the link stays. Resolved once, here.
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
    // A file nobody may write is not to be replaced, even by root, whom access() lets by.
    if (::access(target.c_str(), W_OK) != 0 || (info.st_mode & 0222) == 0) {
      return std::make_error_code(std::errc::permission_denied);
    }
    // A program that was set to run as its owner is not one after a sheet replaced it.
    mode = info.st_mode & 01777;
    keepMode = true;
  } else if (errno != ENOENT) {
    return lastError();
  }

  installSignalHandlers();
  const auto [folder, name] = splitPath(target);
  std::string temp;
  int fd = -1;
  TempSlot* slot = nullptr;
  {
    const EndingSignalsHeld held;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
      temp = folder + "/." + name + "." + randomSuffix() + ".tmp";
      fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd < 0 && (errno == EACCES || errno == EPERM)) return kFolderNotWritable;
      if (fd < 0 && errno != EEXIST) return lastError();
    }
    if (fd < 0) return lastError();
    slot = armSlot(temp);
  }
  std::error_code ec = writeAll(fd, content);
  if (!ec && keepMode && ::fchmod(fd, mode) != 0) ec = lastError();
  if (!ec && ::fsync(fd) != 0 && errno != EINVAL) ec = lastError();
  if (::close(fd) != 0 && !ec) ec = lastError();
  const EndingSignalsHeld held;
  if (!ec && ::rename(temp.c_str(), target.c_str()) != 0) ec = lastError();
  if (ec) ::unlink(temp.c_str());
  if (slot) slot->state.store(0);
  return ec;
}
#endif

}  // namespace

std::optional<std::string> writeFileAtomically(std::string_view path, std::string_view content) {
  const std::string target(path);
  const char last = target.empty() ? '/' : target.back();
  std::error_code ec;
  if (last == '/' || last == '\\') {
    ec = std::make_error_code(std::errc::is_a_directory);
  } else {
    ec = writeFile(target, content);
  }
  if (!ec) return std::nullopt;
  // One line, and no longer than the longest path Windows' common dialogs hand over.
  return "无法保存“" + calc::oneLine(path, 260) + "”：" + reasonText(ec) + "。";
}

std::FILE* openInput(std::string_view path, std::string& reason) {
  const std::string name(path);
  std::error_code ec;
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(widePath(name).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ec = std::make_error_code(std::errc::is_a_directory);
  } else if (std::FILE* file = openForReading(name)) {
    return file;
  } else {
    ec = attributes == INVALID_FILE_ATTRIBUTES ? lastError()
                                               : std::error_code{errno, std::generic_category()};
  }
#else
  if (std::FILE* file = openForReading(name)) {
    struct stat info {};
    if (::fstat(::fileno(file), &info) == 0 && !S_ISDIR(info.st_mode)) return file;
    std::fclose(file);
    ec = std::make_error_code(std::errc::is_a_directory);
  } else {
    ec = lastError();
  }
#endif
  if (ec == std::errc::no_such_file_or_directory) {
    reason = "文件不存在";
  } else if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted) {
    reason = "没有读取权限";
  } else {
    reason = reasonText(ec);
  }
  return nullptr;
}

std::optional<std::string> readStream(std::FILE* stream) {
  std::string text;
  char buffer[65536];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, stream)) > 0) text.append(buffer, n);
  if (std::ferror(stream)) return std::nullopt;
  return text;
}

std::optional<std::string> readWholeFile(std::string_view path) {
  std::FILE* file = openForReading(std::string(path));
  if (file == nullptr) return std::nullopt;
  auto text = readStream(file);
  std::fclose(file);
  return text;
}

namespace {

// "1 MiB", "64 KiB" or "1000 字节".
std::string sizeText(std::size_t bytes) {
  if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " KiB";
  return std::to_string(bytes) + " 字节";
}

}  // namespace

std::optional<std::string> readWholeFile(std::string_view path, std::size_t limit,
                                         std::string& reason) {
  if (path.empty()) {
    reason = "文件名为空";
    return std::nullopt;
  }
  std::FILE* file = path == "-" ? stdin : openInput(path, reason);
  if (file == nullptr) return std::nullopt;
  std::string text;
  char buffer[65536];
  // One byte beyond the limit tells a file of exactly the limit from a larger one.
  while (text.size() <= limit) {
    const std::size_t room = limit - text.size();
    const std::size_t n =
        std::fread(buffer, 1, room >= sizeof buffer ? sizeof buffer : room + 1, file);
    if (n == 0) break;
    text.append(buffer, n);
  }
  const bool failed = std::ferror(file) != 0;
  if (file != stdin) std::fclose(file);
  if (text.size() > limit) {
    reason = "文件过大（上限 " + sizeText(limit) + "）";
    return std::nullopt;
  }
  if (failed) {
    reason = "读写设备出错";
    return std::nullopt;
  }
  return text;
}

#ifdef _WIN32
namespace {

std::optional<FileIdentity> identityOfHandle(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_DISK ||
      !GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::nullopt;
  }
  return FileIdentity{info.dwVolumeSerialNumber,
                      (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

}  // namespace

std::optional<FileIdentity> fileIdentity(std::FILE* stream) {
  return identityOfHandle(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))));
}

std::optional<FileIdentity> fileIdentity(std::string_view path) {
  if (path == "-") return fileIdentity(stdin);
  if (path.empty()) return std::nullopt;
  const HANDLE handle = CreateFileW(widePath(std::string(path)).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  const auto identity = identityOfHandle(handle);
  CloseHandle(handle);
  return identity;
}
#else
namespace {

std::optional<FileIdentity> identityOf(const struct stat& info) {
  if (!S_ISREG(info.st_mode)) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                      static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace

std::optional<FileIdentity> fileIdentity(std::FILE* stream) {
  struct stat info {};
  if (::fstat(::fileno(stream), &info) != 0) return std::nullopt;
  return identityOf(info);
}

std::optional<FileIdentity> fileIdentity(std::string_view path) {
  if (path == "-") return fileIdentity(stdin);
  struct stat info {};
  if (path.empty() || ::stat(std::string(path).c_str(), &info) != 0) return std::nullopt;
  return identityOf(info);
}
#endif

bool sameFile(std::string_view a, std::string_view b) {
  const auto first = fileIdentity(a);
  return first && first == fileIdentity(b);
}

std::string todayText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return std::to_string(local.tm_year + 1900) + "年" + std::to_string(local.tm_mon + 1) + "月" +
         std::to_string(local.tm_mday) + "日";
}

}  // namespace files
