// The menu bar's entries on the fake window, raised through the menu table as the adapters
// raise them: what each one opens, the manual found or the places it was looked for, and
// the about box's text.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "tests/ui/fake_window.h"
#include "ui/form1.h"
#include "ui/main_menu.h"

namespace ui::test {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

TEST(Form1MenuTest, EachEntryOpensWhatItShould) {
  const fs::path dir = fs::temp_directory_path() / "hydrant-menu-handler-test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string folder = dir.string() + "/";
  const std::string beside = folder + "hydrant-calc-manual.html";
  const std::string system = "/usr/share/doc/hydrant-calc/hydrant-calc-manual.html";
#ifdef _WIN32
  const bool systemManual = false;
  const std::string looked = beside;  // only beside the program
#else
  const bool systemManual = fs::exists(system);  // a machine with the package installed
  const std::string looked = beside + "\n" + system;
#endif
  const struct {
    const char* name;
    MenuCommand command;
    bool manualBeside;
    Strings log;
  } cases[] = {
      {"sheet", MenuCommand::Sheet, false, {"ask sheet options"}},
      {"system", MenuCommand::System, false, {"system form"}},
      {"exit", MenuCommand::Exit, false, {"close"}},
      {"about", MenuCommand::About, false, {"about " + aboutText()}},
      {"manual beside the program", MenuCommand::Manual, true, {"open " + beside}},
      {"manual nowhere",
       MenuCommand::Manual,
       false,
       {systemManual ? "open " + system : "message 找不到使用说明，已查找：\n" + looked}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.manualBeside) std::ofstream(beside) << "<!doctype html>";
    FakeWindow window;
    window.folder = folder;
    Form1 form(window);
    form.Form_Load();
    const auto before = window.log.size();
    raiseMenuCommand(form, c.command);
    EXPECT_EQ(Strings(window.log.begin() + static_cast<long>(before), window.log.end()), c.log);
    fs::remove(beside);
  }
  fs::remove_all(dir);
}

TEST(Form1MenuTest, AboutNamesVersionDateLicenceAndLimits) {
  const std::string text = aboutText();
  for (const std::string part : {"Tavrel小工具（hydrant-calc）", "版本 " HYDRANT_VERSION "，",
                                 "MIT（Expat）许可证", "不能代替施工图审查"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part;
  }
  EXPECT_TRUE(
      std::regex_search(text, std::regex("构建日期 20[0-9]{2}-(0[1-9]|1[0-2])-[0-3][0-9]\n")))
      << text;
}

}  // namespace
}  // namespace ui::test
