// The sheet's menu entry on the fake window: the dialogs in order, failures that write
// nothing, the window left as it was, and the answers remembered while it is open.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <tuple>

#include "tests/ui/fake_window.h"
#include "ui/form1.h"

namespace ui::test {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

TEST(Form1SheetTest, DialogsInOrderAndTheWindowUntouched) {
  const fs::path dir = fs::temp_directory_path() / "hydrant-sheet-handler-test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string save = "ask save path 消火栓计算书.html";
  const std::string ask = "ask 计算书已保存到“@”。\n是否现在打开？";
  const struct {
    const char* waterColumn;
    bool confirm;
    const char* file;  // the save dialog's answer; nullptr: cancelled
    bool open;
    Strings tail;  // the log after "ask sheet options"; @ stands for the path, # the error
  } cases[] = {
      {"10", true, "a.html", true, {save, ask, "open @"}},
      {"10", true, "b.html", false, {save, ask}},
      {"10", false, nullptr, true, {}},
      {"10", true, nullptr, true, {save}},
      {"1a", true, "c.html", true, {"message #"}},
      {"10", true, "a.html", false, {save, ask}},  // replaces the file
      {"10", true, "no/d.html", true, {save, "message 无法保存“@”：文件夹不存在。"}},
      {"10", true, ".", true, {save, "message 无法保存“@”：该路径是一个文件夹。"}},
  };
  for (const auto& c : cases) {
    const std::string path = c.file ? (dir / c.file).lexically_normal().string() : "";
    SCOPED_TRACE(path + " " + c.waterColumn);
    FakeWindow window;
    Form1 form(window);
    form.Form_Load();
    window.userTypes(5, c.waterColumn);
    window.userEdits({"Text9"}, "10");
    form.Command1_Click();  // results and CalcState as a calculation leaves them
    const std::string error = window.messages.empty() ? "" : window.messages.back();
    const auto texts = [&] {
      Strings all;
      for (const ControlDesc& d : form1Controls()) all.push_back(window.text({d.name, d.index}));
      return all;
    };
    const Strings before = texts();
    const calc::CalcState state = form.state();
    window.log.clear();
    if (c.confirm) {
      window.sheetAnswer =
          SheetOptions{calc::Occupancy::High, 2, 5, "楼", "", "P-7", "地下室", "", "", ""};
    }
    if (c.file) window.savePathAnswer = path;
    window.yesNoAnswer = c.open;
    form.mnuSheet_Click();

    Strings expected{"ask sheet options"};
    for (std::string line : c.tail) {
      if (const auto at = line.find('@'); at != std::string::npos) line.replace(at, 1, path);
      if (const auto at = line.find('#'); at != std::string::npos) line.replace(at, 1, error);
      expected.push_back(line);
    }
    EXPECT_EQ(window.log, expected);
    EXPECT_EQ(texts(), before);
    EXPECT_EQ(form.state().nozzlePressure, state.nozzlePressure);
    EXPECT_EQ(form.state().hoseSelection, state.hoseSelection);
    EXPECT_EQ(fs::is_regular_file(path), c.tail.size() > 1 && c.tail[1] == ask);
    if (fs::is_regular_file(path)) {
      // The title block from the dialog's answers.
      std::ifstream in(path, std::ios::binary);
      const std::string html((std::istreambuf_iterator<char>(in)), {});
      EXPECT_NE(html.find("工程编号</td><td>P-7</td><td class=\"k\">子项</td><td>地下室</td>"),
                std::string::npos);
    }
  }
  // a.html and b.html, and no temporary file left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
  fs::remove_all(dir);
}

TEST(Form1SheetTest, AnswersAreOfferedAgainWhileTheWindowIsOpen) {
  const SheetOptions chosen{
      calc::Occupancy::High, 1, 2.5, "办公楼", "张工", "2026-01", "主楼", "施工图", "JS-1", "B"};
  FakeWindow window;
  auto form = std::make_unique<Form1>(window);
  form->Form_Load();
  window.sheetAnswer = chosen;  // confirmed, then the save dialog is cancelled
  form->mnuSheet_Click();
  window.sheetAnswer.reset();  // cancelled: the confirmed answers stay
  form->mnuSheet_Click();
  form->mnuSheet_Click();
  form = std::make_unique<Form1>(window);  // a new window starts from the defaults
  form->mnuSheet_Click();

  const auto key = [](const SheetOptions& o) {
    return std::tuple(o.occupancy, o.streams, o.minFlow, o.project, o.designer, o.projectNumber,
                      o.subproject, o.stage, o.sheetNumber, o.revision);
  };
  ASSERT_EQ(window.sheetOptionsShown.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(key(window.sheetOptionsShown[i]), key(i == 1 || i == 2 ? chosen : SheetOptions{}));
  }
}

}  // namespace
}  // namespace ui::test
