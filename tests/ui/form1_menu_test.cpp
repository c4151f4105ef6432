// The menu bar's entries on the fake window, raised through the menu table as the adapters
// raise them: what each one opens, the manual found or the places it was looked for, the about
// box's text; the sheet's dialogs in order, failures that write nothing, the window left as it
// was, and the answers remembered while it is open.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <tuple>

#include "files/safe_file.h"
#include "tests/ui/fake_window.h"
#include "ui/form1.h"
#include "ui/main_menu.h"

namespace ui::test {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

TEST(Form1MenuTest, EachEntryOpensWhatItShould) {
  const TempDir dir;
  const std::string folder = dir.path.string() + "/";
  const std::string beside = folder + "hydrant-calc-manual.html";
  const std::string system = "/usr/share/doc/hydrant-calc/hydrant-calc-manual.html";
#ifdef _WIN32
  const std::string nowhere = "message 找不到使用说明，已查找：\n" + beside;  // only beside it
#else
  const std::string nowhere = fs::exists(system)  // a machine with the package installed
                                  ? "open " + system
                                  : "message 找不到使用说明，已查找：\n" + beside + "\n" + system;
#endif
  // clang-format off
  const struct { MenuCommand command; bool manualBeside; std::string log; } cases[] = {
      {MenuCommand::Sheet, false, "ask sheet options"},
      {MenuCommand::System, false, "system form"},
      {MenuCommand::Exit, false, "close"},
      {MenuCommand::About, false, "about " + aboutText()},
      {MenuCommand::Manual, true, "open " + beside},
      {MenuCommand::Manual, false, nowhere},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log);
    if (c.manualBeside) std::ofstream(beside) << "<!doctype html>";
    FakeWindow window;
    window.folder = folder;
    Form1 form(window);
    form.Form_Load();
    window.log.clear();
    raiseMenuCommand(form, c.command);
    EXPECT_EQ(window.log, Strings{c.log});
    fs::remove(beside);
  }
}

// __DATE__ ("Dec  7 2026") turned into the date the about box shows; the box ends with what a
// sheet needs before it counts.
TEST(Form1MenuTest, AboutShowsTheBuildDateAndEndsWithTheSignatures) {
  EXPECT_TRUE(std::regex_search(
      aboutText(), std::regex("构建日期 20[0-9]{2}-(0[1-9]|1[0-2])-(0[1-9]|[12][0-9]|3[01])\n")))
      << aboutText();
  EXPECT_TRUE(
      aboutText().ends_with("\n程序校核结果供设计人复核；本计算书经设计、校对、审核签署后有效。"));
}

TEST(Form1MenuTest, SheetDialogsInOrderAndTheWindowUntouched) {
  const TempDir dir;
  // Confirmed answers are kept for the next run at once, whatever becomes of the sheet.
  const std::string ask = "ask sheet options", kept = "remember title 楼",
                    save = "ask save path 消火栓计算书.html";
  const std::string bad =
      "message 充实水柱长度“1a”不是有效的数字，请输入不小于 0 的长度（m），如 7、10 或 13。";
  const auto saved = [&](const char* file) {
    return "ask 计算书已保存到“" + dir / file + "”。\n是否现在打开？";
  };
  const auto cannot = [&](const char* file, const char* why) {
    return "message 无法保存“" + dir / file + "”：" + why;
  };
  SheetOptions answer{calc::Occupancy::High, 2, 5, {}};
  answer.title.project = "楼";
  answer.title.projectNumber = "P-7";
  answer.title.subproject = "地下室";
  // file: the save dialog's answer, nullptr when cancelled.
  // clang-format off
  const struct {
    const char* waterColumn; bool confirm; const char* file; bool open; Strings log;
  } cases[] = {
      {"10", true, "a.html", true, {ask, kept, save, saved("a.html"), "open " + dir / "a.html"}},
      {"10", true, "b.html", false, {ask, kept, save, saved("b.html")}},
      {"10", false, nullptr, true, {ask}},
      {"10", true, nullptr, true, {ask, kept, save}},
      {"1a", true, "c.html", true, {ask, kept, bad}},
      {"10", true, "a.html", false, {ask, kept, save, saved("a.html")}},  // replaces the file
      {"10", true, "no/d.html", true, {ask, kept, save, cannot("no/d.html", "文件夹不存在。")}},
      {"10", true, ".", true, {ask, kept, save, cannot(".", "该路径是一个文件夹。")}},
  };
  // clang-format on
  for (const auto& c : cases) {
    const std::string path = c.file ? dir / c.file : "";
    SCOPED_TRACE(path + " " + c.waterColumn);
    FakeWindow window;
    Form1 form(window);
    form.Form_Load();
    window.userTypes(5, c.waterColumn);
    window.userEdits({"Text9"}, "10");
    form.Command1_Click();  // results and CalcState as a calculation leaves them
    const auto texts = [&] {
      Strings all;
      for (const ControlDesc& d : form1Controls()) all.push_back(window.text({d.name, d.index}));
      return all;
    };
    const Strings before = texts();
    const calc::CalcState state = form.state();
    window.log.clear();
    if (c.confirm) window.sheetAnswer = answer;
    if (c.file) window.savePathAnswer = path;
    window.yesNoAnswer = c.open;
    raiseMenuCommand(form, MenuCommand::Sheet);

    EXPECT_EQ(window.log, c.log);
    EXPECT_EQ(texts(), before);
    EXPECT_EQ(form.state().nozzlePressure, state.nozzlePressure);
    EXPECT_EQ(form.state().hoseSelection, state.hoseSelection);
    const bool written = c.log.size() > 3 && c.log[3].starts_with("ask ");
    EXPECT_EQ(fs::is_regular_file(path), written);
    if (written) {  // the title block from the dialog's answers
      EXPECT_NE(files::readWholeFile(path).value_or("").find(
                    "工程编号</td><td>P-7</td><td class=\"k\">子项</td><td>地下室</td>"),
                std::string::npos);
    }
  }
  // a.html and b.html, and no temporary file left behind.
  EXPECT_EQ(dir.entries(), 2);
}

// The answers stay while the window is open; of them only the title block outlives it.
TEST(Form1MenuTest, SheetAnswersAreOfferedAgainAndTheTitleAcrossRuns) {
  SheetOptions chosen{calc::Occupancy::High, 1, 2.5, {}};
  for (const calc::TitleField& field : calc::kTitleFields) chosen.title.*field.member = field.name;
  SheetOptions earlier;  // the title block an earlier run kept
  earlier.title.project = "上次的工程";
  earlier.title.designer = "李工";
  SheetOptions restarted;
  restarted.title = chosen.title;

  FakeWindow window;
  window.keptTitle = earlier.title;
  auto form = std::make_unique<Form1>(window);
  form->Form_Load();
  // restart: a new window, loaded (it reads the kept title) or not; keptChosen: the store
  // holds the chosen title afterwards, else the earlier run's.
  // clang-format off
  const struct {
    const char* step; bool confirm; bool restart; bool load; SheetOptions shown; bool keptChosen;
  } rows[] = {
      {"cancelled: nothing kept", false, false, false, earlier, false},
      {"confirmed, save cancelled", true, false, false, earlier, true},
      {"cancelled: the answers stay", false, false, false, chosen, true},
      {"a new window: defaults", false, true, false, {}, true},
      {"the next run: kept title", false, true, true, restarted, true},
  };
  // clang-format on
  for (const auto& r : rows) {
    SCOPED_TRACE(r.step);
    if (r.restart) form = std::make_unique<Form1>(window);
    if (r.load) form->Form_Load();
    window.sheetAnswer.reset();
    if (r.confirm) window.sheetAnswer = chosen;
    window.sheetOptionsShown.clear();
    form->mnuSheet_Click();
    ASSERT_EQ(window.sheetOptionsShown.size(), 1u);
    const SheetOptions& o = window.sheetOptionsShown[0];
    EXPECT_EQ(std::tuple(o.occupancy, o.streams, o.minFlow, o.title),
              std::tuple(r.shown.occupancy, r.shown.streams, r.shown.minFlow, r.shown.title));
    EXPECT_EQ(window.keptTitle, r.keptChosen ? chosen.title : earlier.title);
  }
}

}  // namespace
}  // namespace ui::test
