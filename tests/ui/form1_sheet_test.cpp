// The sheet's menu entry on the fake window: the order of the dialogs, what is written,
// the remembered answers, and that the window itself is left exactly as it was.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/ui/fake_window.h"
#include "ui/form1.h"

namespace ui::test {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct SheetCase {
  const char* name;
  const char* waterColumn;
  bool confirm;
  const char* saveName;  // nullptr: the save dialog is cancelled
  bool open;
  Strings tail;  // the log after "ask sheet options"; {path} stands for the file
};

TEST(Form1SheetTest, DialogsInOrderAndTheWindowUntouched) {
  const fs::path dir = fs::temp_directory_path() / "hydrant-sheet-handler-test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string saved = "计算书已保存到“{path}”。\n是否现在打开？";
  const SheetCase cases[] = {
      {"saved and opened",
       "10",
       true,
       "a.html",
       true,
       {"ask save path 消火栓计算书.html", "ask " + saved, "open {path}"}},
      {"saved, not opened",
       "10",
       true,
       "b.html",
       false,
       {"ask save path 消火栓计算书.html", "ask " + saved}},
      {"dialog cancelled", "10", false, nullptr, false, {}},
      {"save cancelled", "10", true, nullptr, false, {"ask save path 消火栓计算书.html"}},
      {"calculation fails", "1a", true, "c.html", true, {"message {error}"}},
      {"folder missing",
       "10",
       true,
       "no/such/d.html",
       true,
       {"ask save path 消火栓计算书.html", "message 无法保存“{path}”：文件夹不存在。"}},
  };
  for (const SheetCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWindow window;
    Form1 form(window);
    form.Form_Load();
    window.userTypes(5, c.waterColumn);
    window.userEdits({"Text9"}, "10");
    form.Command1_Click();  // results and CalcState as a calculation leaves them
    const std::string error = window.messages.empty() ? "" : window.messages.back();

    Strings before;
    for (const ControlDesc& d : form1Controls()) before.push_back(window.text({d.name, d.index}));
    const calc::CalcState state = form.state();
    window.log.clear();

    const std::string path = c.saveName ? (dir / c.saveName).string() : "";
    if (c.confirm) window.sheetAnswer = SheetOptions{calc::Occupancy::High, 2, 5, "<b>楼</b>", ""};
    if (c.saveName) window.savePathAnswer = path;
    window.yesNoAnswer = c.open;
    form.mnuSheet_Click();

    Strings expected{"ask sheet options"};
    for (std::string line : c.tail) {
      for (const auto& [key, value] :
           {std::pair<std::string_view, std::string>{"{path}", path}, {"{error}", error}}) {
        if (const auto at = line.find(key); at != std::string::npos) {
          line.replace(at, key.size(), value);
        }
      }
      expected.push_back(line);
    }
    EXPECT_EQ(window.log, expected);

    Strings after;
    for (const ControlDesc& d : form1Controls()) after.push_back(window.text({d.name, d.index}));
    EXPECT_EQ(after, before);
    EXPECT_EQ(form.state().flow, state.flow);
    EXPECT_EQ(form.state().nozzlePressure, state.nozzlePressure);
    EXPECT_EQ(form.state().hoseSelection, state.hoseSelection);

    const bool written = c.tail.size() >= 2 && c.tail[1].starts_with("ask");
    EXPECT_EQ(!path.empty() && fs::exists(path), written);
    if (written) {
      const std::string html = readFile(path);
      EXPECT_NE(html.find("21.96"), std::string::npos);
      EXPECT_NE(html.find("&lt;b&gt;楼&lt;/b&gt;"), std::string::npos);
    }
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
  fs::remove_all(dir);
}

TEST(Form1SheetTest, AnswersAreOfferedAgainUntilTheWindowCloses) {
  const SheetOptions chosen{calc::Occupancy::High, 1, 2.5, "办公楼", "张工"};
  FakeWindow window;
  {
    Form1 form(window);
    form.Form_Load();
    window.sheetAnswer = chosen;  // confirmed, then the save dialog is cancelled
    form.mnuSheet_Click();
    window.sheetAnswer.reset();  // cancelled: the last confirmed answers stay
    form.mnuSheet_Click();
    form.mnuSheet_Click();
  }
  Form1 reopened(window);
  reopened.mnuSheet_Click();

  ASSERT_EQ(window.sheetOptionsShown.size(), 4u);
  const SheetOptions defaults;
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const SheetOptions& shown = window.sheetOptionsShown[i];
    const SheetOptions& want = i == 1 || i == 2 ? chosen : defaults;
    EXPECT_EQ(shown.occupancy, want.occupancy);
    EXPECT_EQ(shown.streams, want.streams);
    EXPECT_EQ(shown.minFlow, want.minFlow);
    EXPECT_EQ(shown.project, want.project);
    EXPECT_EQ(shown.designer, want.designer);
  }
}

}  // namespace
}  // namespace ui::test
