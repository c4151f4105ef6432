// The one writer of every file: what it does with links, devices, pipes, modes and
// names planted beside the target.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>

#include "files/safe_file.h"
#include "files/utf16.h"
#include "tests/temp_dir.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>

#include <thread>
#else
#include <windows.h>
#endif

namespace {

std::string slurp(const std::string& path) { return files::readWholeFile(path).value_or("<none>"); }

void put(const std::string& path, const std::string& text) {
  EXPECT_TRUE(std::ofstream(path, std::ios::binary) << text) << path;
}

#ifndef _WIN32
mode_t modeOf(const std::string& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info.st_mode;
}

TEST(WriteFileAtomically, LinksDevicesPipesAndModes) {
  struct Case {
    const char* name;
    // Prepares the folder and returns the target's path.
    std::function<std::string(const std::string& dir)> setup;
    const char* error;  // part of the expected message, or "" for success
    std::function<void(const std::string& dir)> check;
    int files;  // entries left in the folder: no temporary file stays behind
  };
  const std::string kSheet = "<html>sheet</html>";
  const Case cases[] = {
      {"new file", [](const std::string& d) { return d + "/a.html"; }, "",
       [&](const std::string& d) { EXPECT_EQ(slurp(d + "/a.html"), kSheet); }, 1},
      {"links planted at predictable temporary names are not followed",
       [](const std::string& d) {
         put(d + "/victim", "victim");
         for (const std::string& suffix :
              {".tmp" + std::to_string(::getpid()), std::string(".tmp"), std::string("~")}) {
           EXPECT_EQ(::symlink((d + "/victim").c_str(), (d + "/a.html" + suffix).c_str()), 0);
         }
         return d + "/a.html";
       },
       "",
       [&](const std::string& d) {
         EXPECT_EQ(slurp(d + "/victim"), "victim");
         EXPECT_EQ(slurp(d + "/a.html"), kSheet);
       },
       5},
      {"a link to a file replaces the file, the link stays",
       [](const std::string& d) {
         put(d + "/real.html", "old");
         EXPECT_EQ(::symlink("real.html", (d + "/a.html").c_str()), 0);
         return d + "/a.html";
       },
       "",
       [&](const std::string& d) {
         EXPECT_TRUE(S_ISLNK(modeOf(d + "/a.html")));
         EXPECT_EQ(slurp(d + "/real.html"), kSheet);
       },
       2},
      {"the old file's mode is kept",
       [](const std::string& d) {
         put(d + "/a.html", "old");
         ::chmod((d + "/a.html").c_str(), 0600);
         return d + "/a.html";
       },
       "",
       [&](const std::string& d) {
         EXPECT_EQ(modeOf(d + "/a.html") & 07777, 0600u);
         EXPECT_EQ(slurp(d + "/a.html"), kSheet);
       },
       1},
      // No write permission for anyone: refused even for root, whom access() lets through.
      {"a read-only file is refused, not replaced",
       [](const std::string& d) {
         put(d + "/a.html", "old");
         ::chmod((d + "/a.html").c_str(), 0444);
         return d + "/a.html";
       },
       "没有写入权限", [&](const std::string& d) { EXPECT_EQ(slurp(d + "/a.html"), "old"); }, 1},
      {"setuid and setgid do not survive the replacement",
       [](const std::string& d) {
         put(d + "/a.html", "old");
         ::chmod((d + "/a.html").c_str(), 06755);
         return d + "/a.html";
       },
       "", [&](const std::string& d) { EXPECT_EQ(modeOf(d + "/a.html") & 07777, 0755u); }, 1},
      {"a FIFO nobody reads is refused",
       [](const std::string& d) {
         EXPECT_EQ(::mkfifo((d + "/pipe").c_str(), 0600), 0);
         return d + "/pipe";
       },
       "管道没有读取端", [&](const std::string& d) { EXPECT_TRUE(S_ISFIFO(modeOf(d + "/pipe"))); },
       1},
      {"a FIFO's reader gets the sheet, the FIFO stays",
       [](const std::string& d) {
         EXPECT_EQ(::mkfifo((d + "/pipe").c_str(), 0600), 0);
         return d + "/pipe";
       },
       "", [&](const std::string& d) { EXPECT_TRUE(S_ISFIFO(modeOf(d + "/pipe"))); }, 1},
      {"a missing folder", [](const std::string& d) { return d + "/no/a.html"; }, "文件夹不存在",
       [](const std::string&) {}, 0},
      {"a folder", [](const std::string& d) { return d; }, "该路径是一个文件夹",
       [](const std::string&) {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const hydrant_test::TempDir folder;
    const std::string dir = folder.path.string();
    const std::string target = c.setup(dir);
    // A FIFO blocks its writer until someone reads.
    std::string fromPipe;
    std::thread reader;
    if (S_ISFIFO(modeOf(target)) && *c.error == '\0') {
      reader = std::thread([&] { fromPipe = slurp(target); });
    }
    const auto error = files::writeFileAtomically(target, kSheet);
    if (reader.joinable()) {
      reader.join();
      EXPECT_EQ(fromPipe, kSheet);
    }
    if (*c.error == '\0') {
      EXPECT_FALSE(error) << *error;
    } else {
      ASSERT_TRUE(error);
      EXPECT_NE(error->find(c.error), std::string::npos) << *error;
    }
    c.check(dir);
    EXPECT_EQ(folder.entries(), c.files);
  }
}

// A child process writes; what it leaves behind is looked at after it ended.
TEST(WriteFileAtomically, SignalsAndTheSizeLimit) {
  const hydrant_test::TempDir folder;
  const std::string target = folder / "a.html";
  // Beyond the size limit: EFBIG in words, not the end of the program by SIGXFSZ.
  if (const pid_t child = ::fork(); child == 0) {
    const rlimit limit{10, 10};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const auto error = files::writeFileAtomically(target, std::string(100, 'x'));
    ::_exit(error && error->find("文件超过系统允许的大小") != std::string::npos ? 0 : 1);
  } else {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(folder.entries(), 0);
  }
  // Ended by SIGTERM while its temporary file exists: the file goes with it.
  const pid_t child = ::fork();
  if (child == 0) {
    for (const std::string big(32 << 20, 'x');;) files::writeFileAtomically(target, big);
  }
  const auto tempExists = [&] {
    for (const auto& entry : std::filesystem::directory_iterator(folder.path)) {
      if (entry.path().extension() == ".tmp") return true;
    }
    return false;
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!tempExists() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  ::kill(child, SIGTERM);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_FALSE(tempExists());
}

TEST(WriteFileAtomically, DeviceIsWrittenNotReplaced) {
  // Only the device that fails every write; a plain file of that name would be replaced.
  if (!S_ISCHR(modeOf("/dev/full"))) GTEST_SKIP() << "/dev/full is not a character device here";
  const auto error = files::writeFileAtomically("/dev/full", "x");
  ASSERT_TRUE(error);
  EXPECT_NE(error->find("磁盘空间不足"), std::string::npos) << *error;
  EXPECT_TRUE(S_ISCHR(modeOf("/dev/full")));
  EXPECT_FALSE(files::writeFileAtomically("/dev/null", "x"));
}
#else
TEST(WriteFileAtomically, ReplacesAndRefusesReadOnly) {
  const hydrant_test::TempDir folder;
  const std::string target = folder / "sheet_file_test.html";
  put(target, "old");
  EXPECT_FALSE(files::writeFileAtomically(target, "new"));
  EXPECT_EQ(slurp(target), "new");
  const std::wstring wide(target.begin(), target.end());
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY);
  const auto error = files::writeFileAtomically(target, "newer");
  SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(error);
  EXPECT_NE(error->find("没有写入权限"), std::string::npos) << *error;
  EXPECT_EQ(slurp(target), "new");
}
#endif

TEST(SameFile, NamesOfOneRegularFile) {
  const hydrant_test::TempDir folder;
  const std::string a = folder / "a.toml", b = folder / "b.toml";
  put(a, "x");
  put(b, "x");
  std::filesystem::create_directories(folder.path / "sub");
  const struct {
    std::string first, second;
    bool same;
  } cases[] = {
      {a, a, true},
      {a, folder.path.string() + "/./sub/../a.toml", true},
      {a, b, false},  // equal contents, two files
      {a, folder / "none.toml", false},
      {folder.path.string(), folder.path.string(), false},  // a folder is never written over
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first + " / " + c.second);
    EXPECT_EQ(files::sameFile(c.first, c.second), c.same);
  }
#ifndef _WIN32
  ASSERT_EQ(::symlink(a.c_str(), (folder / "link").c_str()), 0);
  EXPECT_TRUE(files::sameFile(folder / "link", a));
  EXPECT_FALSE(files::sameFile("/dev/null", "/dev/null"));
#endif
}

TEST(ReadWholeFile, BoundedAndSaysWhy) {
  const hydrant_test::TempDir folder;
  put(folder / "k", std::string(1024, 'k'));
  put(folder / "k1", std::string(1025, 'k'));
  const struct {
    std::string path;
    const char* reason;  // "" when read
  } cases[] = {
      {folder / "k", ""},
      {folder / "k1", "文件过大（上限 1 KiB）"},
      {"", "文件名为空"},
      {folder / "none", "文件不存在"},
      {folder.path.string(), "该路径是一个文件夹"},
#ifndef _WIN32
      {"/dev/zero", "文件过大（上限 1 KiB）"},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    std::string reason;
    const auto text = files::readWholeFile(c.path, 1024, reason);
    EXPECT_EQ(reason, c.reason);
    EXPECT_EQ(text.has_value(), *c.reason == '\0');
  }
}

// The Windows build's one conversion: paths, arguments and window texts go through it.
TEST(Utf16, ConvertsEveryCharacterAndReplacesWhatIsIllFormed) {
  const struct {
    const char* name;
    std::string utf8;
    std::u16string utf16;
    std::string back;  // fromUtf16(utf16)
  } cases[] = {
      {"ascii", "Az 1.5", u"Az 1.5", "Az 1.5"},
      {"chinese", "消火栓计算书", u"消火栓计算书", "消火栓计算书"},
      {"beyond the BMP", "\xF0\x9F\x94\xA5", u"\U0001F525", "\xF0\x9F\x94\xA5"},
      {"lone byte", "a\xFFz", u"a\uFFFDz", "a\xEF\xBF\xBDz"},
      {"empty", "", u"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(files::toUtf16(c.utf8), c.utf16);
    EXPECT_EQ(files::fromUtf16(c.utf16), c.back);
  }
  // A surrogate without its partner, high or low, is one U+FFFD.
  EXPECT_EQ(files::fromUtf16(std::u16string{u'x', char16_t(0xD800)}), "x\xEF\xBF\xBD");
  EXPECT_EQ(files::fromUtf16(std::u16string{char16_t(0xDC00), u'y'}), "\xEF\xBF\xBDy");
}

}  // namespace
