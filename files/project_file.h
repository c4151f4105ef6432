#pragma once
// The project file: one UTF-8 TOML file that describes a hydrant system (the most
// unfavourable hydrant, the building, flows, supply, pump, tank, stabilizer, riser, main and
// design settings). Read and written here, in one place, for the command line and the windows.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "calc/calc_error.h"
#include "calc/system.h"
#include "files/project_keys.h"

namespace files {

// Project files above this are refused before they are parsed: a project of 300 storeys is a
// few kilobytes.
inline constexpr std::size_t kMaxProjectBytes = std::size_t{1} << 20;

// The project in `text`. On a bad file the error's message is one line naming the file, the
// line, the key and what is wrong, e.g. "office.toml:31: riser.c: 海澄威廉系数C应在 60 至 160
// 之间，现为 1e-300"; its field is the key ("riser.c"), its text the value as written.
calc::Result<Project> readProject(std::string_view text, std::string_view fileName);

// The text a save writes; readProject gives back the same project from it.
std::string writeProject(const Project& project);

// `text` as a TOML basic string, quotes included: quote, backslash and control bytes escaped.
std::string tomlString(std::string_view text);

// readProject of the file at a UTF-8 path ("-": standard input); a file larger than
// kMaxProjectBytes is refused unread.
calc::Result<Project> loadProject(std::string_view path);
// The error of a project file that could not be read, `reason` as files::readWholeFile says
// it: "office.toml: 无法读取项目文件：文件不存在", "…: 项目文件过大（上限 1 MiB）".
calc::CalcError unreadableProject(std::string_view path, std::string_view reason);
// writeProject into the file at a UTF-8 path, written safely; one line saying why not.
std::optional<std::string> saveProject(std::string_view path, const Project& project);

}  // namespace files
