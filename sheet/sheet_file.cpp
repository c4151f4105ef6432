#include "sheet/sheet_file.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <system_error>

#include "calc/utf8.h"

namespace sheet {
namespace {

namespace fs = std::filesystem;

// From UTF-8 through char8_t, so the path keeps every character on Windows too, where a
// plain std::string would be read in the ANSI code page.
fs::path pathFromUtf8(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

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

std::FILE* openForWriting(const fs::path& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wb");
#else
  return std::fopen(path.c_str(), "wb");
#endif
}

std::error_code lastError() { return {errno, std::generic_category()}; }

}  // namespace

std::optional<std::string> writeFileAtomically(std::string_view path, std::string_view content) {
  const fs::path target = pathFromUtf8(path);
  const auto failed = [&](std::error_code ec) {
    // One line, and no longer than the longest path Windows' common dialogs hand over.
    return "无法保存“" + calc::oneLine(path, 260) + "”：" + reasonText(ec) + "。";
  };
  std::error_code ec;
  if (target.filename().empty()) return failed(std::make_error_code(std::errc::is_a_directory));
  if (fs::is_directory(target, ec)) return failed(std::make_error_code(std::errc::is_a_directory));

  // A random suffix keeps two writers of the same file apart.
  std::random_device random;
  fs::path temp = target;
  temp += pathFromUtf8(".tmp" + std::to_string(random() % 1000000));

  std::FILE* file = openForWriting(temp);
  if (file == nullptr) return failed(lastError());
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size() &&
                       std::fflush(file) == 0;
  const std::error_code writeError = written ? std::error_code{} : lastError();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    fs::remove(temp, ec);
    return failed(written ? lastError() : writeError);
  }
  fs::rename(temp, target, ec);
  if (ec) {
    const std::error_code renameError = ec;
    fs::remove(temp, ec);
    return failed(renameError);
  }
  return std::nullopt;
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
