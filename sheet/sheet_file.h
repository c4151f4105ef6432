#pragma once
// Writing the sheet to disk, and the date it carries.

#include <optional>
#include <string>
#include <string_view>

namespace sheet {

// Writes `content` to the file at the UTF-8 path `path` through a temporary file in the
// same folder that is renamed over it, so a reader never sees half a sheet and a failed
// write leaves no file behind. Returns nothing on success, else one Simplified Chinese line
// saying why.
std::optional<std::string> writeFileAtomically(std::string_view path, std::string_view content);

// Today in local time as a Chinese document dates it: "2026年12月6日".
std::string todayText();

}  // namespace sheet
