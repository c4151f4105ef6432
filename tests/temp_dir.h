#pragma once
// A fresh folder for one test, named after it (test programs may run side by side), removed at
// the end.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace hydrant_test {

struct TempDir {
  TempDir() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path = std::filesystem::temp_directory_path() /
           (std::string("hydrant-") + test->test_suite_name() + "-" + test->name());
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TempDir() {
    std::error_code ignored;  // a destructor must not throw
    std::filesystem::remove_all(path, ignored);
  }
  std::string operator/(const char* file) const {
    return (path / file).lexically_normal().string();
  }
  int entries() const {
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(path), {}));
  }
  std::filesystem::path path;
};

}  // namespace hydrant_test
