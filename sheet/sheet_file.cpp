#include "sheet/sheet_file.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "calc/utf8.h"

#ifdef _WIN32
#include <windows.h>

#include <process.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sheet {
namespace {

#ifdef _WIN32
// UTF-16 for the wide calls, so a path keeps every character; the ANSI calls would read it
// in the code page.
std::wstring widePath(std::string_view utf8) {
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

std::FILE* openFile(const std::string& path, bool forWriting) {
  return _wfopen(widePath(path).c_str(), forWriting ? L"wb" : L"rb");
}

bool isDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(widePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void removeFile(const std::string& path) { DeleteFileW(widePath(path).c_str()); }

// The Win32 reasons the messages below know, as the portable conditions.
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
    default:
      return {static_cast<int>(code), std::system_category()};
  }
}

std::error_code replaceFile(const std::string& from, const std::string& to) {
  // A virus scanner, an indexer or a file dialog's folder view may hold a file it has just
  // seen appear for a moment; the rename is tried again for up to a second before giving up.
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(widePath(from).c_str(), widePath(to).c_str(), MOVEFILE_REPLACE_EXISTING)) {
      return {};
    }
    const DWORD error = GetLastError();
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || attempt == 20) {
      return win32Error(error);
    }
    Sleep(50);
  }
}

int processId() { return _getpid(); }
#else
std::FILE* openFile(const std::string& path, bool forWriting) {
  return std::fopen(path.c_str(), forWriting ? "wb" : "rb");
}

bool isDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void removeFile(const std::string& path) { std::remove(path.c_str()); }

std::error_code replaceFile(const std::string& from, const std::string& to) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return {};
  return {errno, std::generic_category()};
}

int processId() { return static_cast<int>(::getpid()); }
#endif

std::string reasonText(std::error_code ec) {
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
  return "系统错误 " + std::to_string(ec.value());
}

std::error_code lastError() { return {errno, std::generic_category()}; }

}  // namespace

std::optional<std::string> writeFileAtomically(std::string_view path, std::string_view content) {
  const std::string target(path);
  const auto failed = [&](std::error_code ec) {
    // One line, and no longer than the longest path Windows' common dialogs hand over.
    return "无法保存“" + calc::oneLine(path, 260) + "”：" + reasonText(ec) + "。";
  };
  const char last = target.empty() ? '/' : target.back();
  if (last == '/' || last == '\\' || isDirectory(target)) {
    return failed(std::make_error_code(std::errc::is_a_directory));
  }

  // The process id keeps two programs writing the same file apart.
  const std::string temp = target + ".tmp" + std::to_string(processId());
  std::FILE* file = openFile(temp, true);
  if (file == nullptr) return failed(lastError());
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size() &&
                       std::fflush(file) == 0;
  const std::error_code writeError = written ? std::error_code{} : lastError();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    const std::error_code reason = written ? lastError() : writeError;
    removeFile(temp);
    return failed(reason);
  }
  if (const std::error_code renameError = replaceFile(temp, target)) {
    removeFile(temp);
    return failed(renameError);
  }
  return std::nullopt;
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
  std::FILE* file = openFile(std::string(path), false);
  if (file == nullptr) return std::nullopt;
  auto text = readStream(file);
  std::fclose(file);
  return text;
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

}  // namespace sheet
