// libFuzzer target: the project file reader on any bytes, under ASan and UBSan, with the TOML
// library's own checks on (`make fuzz`). Beyond not crashing: a file that reads is written
// back to a text that reads to the same project, and a refusal is one line.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto project = files::readProject(text, "fuzz.toml");
  if (!project.ok()) {
    if (project.error().message.find('\n') != std::string_view::npos) std::abort();
    return 0;
  }
  const auto back = files::readProject(files::writeProject(project.value()), "back.toml");
  if (!back.ok() || !(back.value() == project.value())) std::abort();
  return 0;
}
