// The 消火栓系统计算 form's handlers on a fake view, each test starting from the worked example
// calculated: the results as the form formats them (the numbers are the command line's expected
// output), bad entries, open and save, and the sheet; the storey-height entry; what Form1 hands
// the form and keeps from it.

#include "ui/system_form.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "cli/system_command.h"
#include "files/project_file.h"
#include "files/safe_file.h"
#include "tests/ui/fake_system_view.h"
#include "tests/ui/fake_window.h"
#include "ui/form1.h"

namespace ui::test {
namespace {

using Strings = std::vector<std::string>;

const std::string kExample = std::string(HYDRANT_SOURCE_DIR) + "/examples/office-18f.toml";
const std::string kExampleMarks = "18- 17- 16- 15- 14+ 13+ 12+ 11+ 10+ 9+ 8+ 7+ 6+ 5+ 4+ 3+ 2+ 1+ ";

// The floors the grid marks, top floor first, as "18-" (not marked) or "15+".
std::string marks(const FakeSystemView& view) {
  std::string out;
  for (const SystemFloorRow& row : view.floors) out += row.cells[0] + (row.marked ? "+ " : "- ");
  return out;
}

// A first opening with the worked example's hydrant in the main window.
SystemSession exampleSession() {
  SystemSession s;
  s.hydrant.hoseLength = "25";
  s.hydrant.material = "衬胶";
  s.hydrant.hoseDiameter = "65";
  s.hydrant.waterColumn = "13";
  return s;
}

// The worked example, loaded and calculated.
struct Example {
  Example() {
    form.Form_Load(exampleSession());
    form.cmdCalculate_Click();
  }
  FakeSystemView view;
  SystemForm form{view};
};
class SystemFormTest : public ::testing::Test, protected Example {};

TEST_F(SystemFormTest, WorkedExampleAsTheFormShowsIt) {
  EXPECT_EQ(view.summary,
            "水泵流量 40.00 L/s，计算扬程 117.37 m（1.174 MPa），选用扬程 117.37 m（1.174 MPa）；"
            "系统工作压力 1.683 MPa；最大静压 0.759 MPa；1 项不满足");
  EXPECT_EQ(marks(view), kExampleMarks);
  EXPECT_EQ(view.floors.back().cells, (Strings{"1", "1.10", "0.759", "1.622", "1.093", "必须减压",
                                               "21（20.003）", "0.402", "0.560"}));
  // No orifice on floor 18; floor 2's is not below the limit, so no star.
  EXPECT_EQ(view.floors.at(0).cells[6] + view.floors.at(16).cells[6], "—21（20.37）");
  // The hydrant's own checks come first.
  EXPECT_EQ(view.checks.at(0).clause + view.checks.at(2).clause, "3.5.27.4.2-3");
  EXPECT_EQ(view.checks.at(12).clause + view.checks.at(12).verdict, "5.2.2不满足");
  EXPECT_TRUE(view.log.empty());
}

TEST(SystemFormBadEntry, ReadersMessageAndTheResultsEmptied) {
  // clang-format off
  const struct { const char* key; const char* text; const char* message; } rows[] = {
      {"riser.dn", "1a", "立管 管径DN“1a”不是有效的数字。"},
      {"building.floors", "0", "建筑与流量 消火栓层数“0”：消火栓层数应在 1 至 300 之间，现为 0。"},
      {"hydrant.hose_diameter", "70", "最不利消火栓 水龙带直径(mm)“70”：水龙带 70 mm 衬胶 "
                                      "不在水带阻力系数表中（麻质或衬胶，50、65、80 mm）。"},
      {"building.floor_heights", "5.1, 3.9*15",
       "建筑与流量 层高(m)“5.1, 3.9*15”：层高应有 17 个（层数 − 1），现有 16 个。"},
      {"supply.pool_level", "", "水源 水池最低水位(m)未填写。"},
      {"supply.mains", "3", "消防水池与进水 供水路数“3”：供水路数应在 1 至 2 之间，现为 3。"},
  };
  // clang-format on
  for (const auto& r : rows) {
    SCOPED_TRACE(r.key);
    Example e;
    e.view.userTypes(r.key, r.text);
    e.form.cmdCalculate_Click();
    // The message, then the entry in focus on its page.
    EXPECT_EQ(e.view.log,
              (Strings{std::string("message ") + r.message, std::string("focus ") + r.key}));
    // The last results described other entries.
    EXPECT_EQ(marks(e.view) + e.view.summary, "");
    EXPECT_TRUE(e.view.checks.empty());
    EXPECT_EQ(e.view.get("riser.inner_diameter").text, "106");  // "1a" is no size: left alone
  }
}

// 层数 carries the storey heights along.
TEST_F(SystemFormTest, DnGivesTheInnerDiameterAndFewerFloorsAreRecalculated) {
  view.userTypes("riser.dn", "150");
  view.userTypes("building.floors", "10");
  form.cmdCalculate_Click();
  EXPECT_TRUE(view.log.empty());
  EXPECT_EQ(view.get("riser.inner_diameter").text, "159.3");
  EXPECT_EQ(view.get("building.floor_heights").text, "5.1, 3.9×8");
  EXPECT_EQ(view.floors.size(), 10u);
}

// Failed checks are flagged for the red rows and counted in the result line; the hydrant's own
// checks are among them.
TEST_F(SystemFormTest, FailedChecksCountedAndFlagged) {
  view.userTypes("pump.rated_head", "100");  // below the calculated head: 10.1.7
  view.userTypes("riser.dn", "80");          // below DN100: 8.1.5
  view.userTypes("hydrant.hose_material", "麻质");
  view.userTypes("hydrant.hose_diameter", "50");  // not DN65 lined: 7.4.2
  form.cmdCalculate_Click();
  EXPECT_TRUE(view.summary.ends_with("；6 项不满足")) << view.summary;
  std::string failed;
  for (const SystemCheckRow& row : view.checks) {
    EXPECT_EQ(row.failed, row.verdict == "不满足") << row.clause;
    if (row.failed) failed += row.clause + " ";
  }
  EXPECT_EQ(failed, "7.4.2-2 10.3.1 7.4.12-2 8.1.5 5.2.2 10.1.7 ");
}

// 层数 carries a first storey and one height for the rest along, also through the first digit
// of a number typed (2 on the way to 20); other lists stay as typed.
TEST(SystemFormFloorHeights, AdaptedToTheNumberOfFloors) {
  // clang-format off
  const struct { const char* text; int floors; std::optional<std::string> adapted; } cases[] = {
      {"5.1, 3.9×16", 10, "5.1, 3.9×8"}, {"5.1, 3.9×16", 3, "5.1, 3.9"},
      {"5.1, 3.9×16", 2, std::nullopt},  {"5.1, 3.9×16", 1, std::nullopt},
      {"5.1, 3.9×16", 20, "5.1, 3.9×18"}, {"4×17", 2, "4"},
      {"4×17", 10, "4"},                 {"3.9", 10, std::nullopt},
      {"5.1, 3.9, 4.2", 5, std::nullopt}, {"abc", 10, std::nullopt},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + (" " + std::to_string(c.floors)));
    EXPECT_EQ(adaptFloorHeights(c.text, c.floors), c.adapted);
  }
}

// The example's groups in columns of about 16 rows, as both toolkits lay them out.
TEST(SystemFormLayout, GroupsInColumnsPageByPage) {
  EXPECT_EQ(systemGroupColumns(), (std::vector{0, 0, 1, 1, 2, 2, 2, 3, 3, 4, 0, 1, 2, 3, 3}));
  EXPECT_EQ(systemGroupPages(), (std::vector{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1}));
  // A section's entries may sit on both pages; a check box heads its first entry's group.
  const struct {
    const char* key;
    const char* group;
    int page;
  } rows[] = {
      {"supply.pool_level", "水源", 0},
      {"supply.mains", "消防水池与进水", 1},
      {"tank", "高位水箱", 0},
      {"tank.volume", "水箱与稳压设施", 1},
      {"sprinkler", "自动喷水灭火系统", 1},
      {"pump.curve", "消防水泵", 0},
      {"pump.suction_dn", "水泵吸水管与出水管", 1},
      {"riser.top_ring", "立管", 0},
  };
  for (const auto& r : rows) {
    const SystemField* f = findSystemField(r.key);
    ASSERT_NE(f, nullptr) << r.key;
    EXPECT_EQ(std::string(f->group) + "/" + std::to_string(f->page),
              std::string(r.group) + "/" + std::to_string(r.page))
        << r.key;
  }
}

TEST_F(SystemFormTest, StabilizerOnTankOff) {
  view.userChecks("tank", false);
  view.userChecks("stabilizer", true);
  form.cmdCalculate_Click();
  EXPECT_TRUE(view.log.empty());
  EXPECT_FALSE(view.get("tank.lowest_level").enabled);
  EXPECT_TRUE(view.get("stabilizer.stop_pressure").enabled);
  EXPECT_EQ(view.floors.back().cells[2], "0.549");  // 0.60 MPa at −4 m, outlet at 1.1 m
}

TEST_F(SystemFormTest, SaveChangeOpenGivesTheSavedEntriesAndNoResults) {
  const TempDir dir;
  view.userTypes("building.floors", "12");
  view.userTypes("building.floor_heights", "4.5, 3.6×10");
  view.userTypes("project.name", "“引号” \"and\" \\");
  view.pathAnswer = dir / "saved.toml";
  form.cmdSave_Click();
  view.userTypes("building.floors", "3");
  view.saveAnswer = SystemView::Answer::No;
  form.cmdOpen_Click();
  EXPECT_EQ(view.log, (Strings{"save dialog 消火栓系统.toml", "ask 保存对“saved.toml”的更改？",
                               "open dialog"}));
  EXPECT_EQ(view.get("building.floor_heights").text, "4.5, 3.6×10");
  EXPECT_EQ(view.get("project.name").text, "“引号” \"and\" \\");
  EXPECT_TRUE(view.floors.empty());
  // What the command line reads from the file is what the form holds.
  const auto read = files::loadProject(*view.pathAnswer);
  ASSERT_TRUE(read.ok()) << read.error().message;
  EXPECT_EQ(entriesFromProject(read.value()), form.entries());
}

TEST_F(SystemFormTest, AFileThatDoesNotOpenLeavesTheForm) {
  const TempDir dir;
  const std::string example = files::readWholeFile(kExample).value();
  const auto replaced = [&](const char* from, const char* to) {
    return std::regex_replace(example, std::regex(from), to);
  };
  // file name, text; the message after the path. Keys the form shows are named by caption.
  const std::pair<std::string, std::string> files[] = {
      {"none.toml", ""},
      {"bad.toml", "[building]\nfloors = \n"},
      {"floors.toml", replaced("floors = 18", "floors = 10")},
      {"no-hydrant.toml",
       example.substr(0, example.find("[hydrant]")) + example.substr(example.find("[building]"))},
      {"nozzle.toml", replaced("nozzle = 19", "nozzle = 99")},
  };
  const char* const messages[] = {
      ": 无法读取项目文件：文件不存在",
      ":2: TOML 语法错误：Error while parsing key-value pair: expected value, saw '\\n'",
      " 第 17 行：建筑与流量 层高(m)：层高应有 9 个（层数 − 1），现有 17 个",
      "：项目文件缺少[消火栓]一节",
      " 第 7 行：最不利消火栓 水枪喷嘴口径(mm)：水枪喷嘴口径应在 6 至 50 mm 之间，现为 99",
  };
  Strings expected;
  for (std::size_t i = 0; i < std::size(files); ++i) {
    const std::string path = dir / files[i].first.c_str();
    if (!files[i].second.empty()) std::ofstream(path, std::ios::binary) << files[i].second;
    view.pathAnswer = path;
    form.cmdOpen_Click();
    expected.insert(expected.end(), {"open dialog", "message " + path + messages[i]});
  }
  EXPECT_EQ(view.log, expected);
  EXPECT_EQ(form.entries(), defaultSystemEntries());
  EXPECT_EQ(marks(view), kExampleMarks);
}

TEST_F(SystemFormTest, SheetAsTheCommandLineWritesIt) {
  const TempDir dir;
  view.pathAnswer = dir / "sheet.html";
  form.cmdSheet_Click();
  EXPECT_EQ(view.log, (Strings{"sheet options 某办公楼/2026-031/张工", "remember title",
                               "sheet dialog 消火栓系统计算书.html",
                               "ask 计算书已保存到“" + *view.pathAnswer + "”。\n是否现在打开？"}));
  // hydrant-calc-cli --system office-18f.toml --report cli.html, dated today.
  cli::ReportOptions report;
  report.path = dir / "cli.html";
  report.date = files::todayText();
  EXPECT_EQ(cli::runSystem(kExample, cli::Format::Text, report).status, 0);
  const std::string html = files::readWholeFile(*view.pathAnswer).value_or("");
  EXPECT_EQ(html, files::readWholeFile(*report.path));
  EXPECT_NE(html.find("117.37"), std::string::npos);

  view.log.clear();
  view.sheetConfirmed = false;
  form.cmdSheet_Click();
  EXPECT_EQ(view.log, Strings{"sheet options 某办公楼/2026-031/张工"});

  // Never over the project file it came from: the project stays a project.
  view.sheetConfirmed = true;
  view.pathAnswer = dir / "p.toml";
  form.cmdSave_Click();
  form.cmdSheet_Click();
  EXPECT_EQ(view.log.back(),
            "message 计算书不能保存到项目文件“" + *view.pathAnswer + "”，否则项目会被覆盖。");
  EXPECT_TRUE(files::loadProject(*view.pathAnswer).ok());
}

// The sheet dialog starts from the project's title block; fields the project leaves empty come
// from the last sheet of any run, and what the user confirms is kept for the next.
TEST(SystemFormSheetTitle, ProjectWinsKeptFillsTheRest) {
  calc::TitleBlock kept;
  kept.project = "旧工程";
  kept.organization = "某设计院";
  kept.checker = "王工";
  calc::TitleBlock merged = kept;  // the example's name, number and designer over it
  merged.project = "某办公楼";
  merged.projectNumber = "2026-031";
  merged.designer = "张工";
  calc::TitleBlock unnamed = merged;
  unnamed.project = "旧工程";
  // clang-format off
  const struct { const char* name; bool confirm; calc::TitleBlock shown; bool stored; } rows[] = {
      {"某办公楼", true, merged, true},
      {"", true, unnamed, true},  // an emptied box takes the kept name
      {"某办公楼", false, merged, false},
  };
  // clang-format on
  for (const auto& r : rows) {
    SCOPED_TRACE(r.name);
    Example e;
    e.view.keptTitle = kept;
    e.view.sheetConfirmed = r.confirm;
    e.view.userTypes("project.name", r.name);
    e.view.log.clear();
    e.form.cmdSheet_Click();
    EXPECT_EQ(e.view.titleShown, r.shown);
    EXPECT_EQ(e.view.keptTitle, r.stored ? r.shown : kept);
    EXPECT_EQ(e.view.log.size() > 1 && e.view.log[1] == "remember title", r.stored);
  }
}

// The defaults are the worked example's file, as the form shows what it opens; tooltips speak
// of what is typed in the form, never of the file's keys.
TEST_F(SystemFormTest, DefaultsAreTheExampleAndListsAreFilled) {
  for (const SystemField& f : systemFields()) {
    for (const files::ProjectKey& k : files::projectKeys()) {
      if (k.name.find('_') != std::string_view::npos) {
        EXPECT_EQ(f.tooltip.find(k.name), std::string::npos) << f.key << ": " << f.tooltip;
      }
    }
  }
  const auto read = files::loadProject(kExample);
  ASSERT_TRUE(read.ok()) << read.error().message;
  EXPECT_EQ(entriesFromProject(read.value()), defaultSystemEntries());
  EXPECT_EQ(view.get("tank.min_static").items, (Strings{"0.07", "0.10", "0.15"}));
  EXPECT_EQ(view.get("riser.dn").items.front(), "15");
  EXPECT_FALSE(view.get("stabilizer.elevation").enabled);
}

TEST(SystemFormFloorHeights, ReadAndShownShortest) {
  // shown: floorHeightsText of the heights read.
  // clang-format off
  using Heights = std::optional<std::vector<double>>;
  const struct { const char* text; Heights heights; const char* shown; } cases[] = {
      {"3.9", std::vector{3.9}, "3.9"},
      {"5.1, 3.9×2", std::vector{5.1, 3.9, 3.9}, "5.1, 3.9×2"},
      {"5.1，3.9 * 2、4", std::vector{5.1, 3.9, 3.9, 4.0}, "5.1, 3.9×2, 4"},
      {"５．１ 3.9x2", std::vector{5.1, 3.9, 3.9}, "5.1, 3.9×2"},
      {"3.9*3", std::vector{3.9, 3.9, 3.9}, "3.9"},
      {"", std::nullopt, ""},      {"3.9,,4", std::nullopt, ""},  {"3.9×0", std::nullopt, ""},
      {"3.9×1.5", std::nullopt, ""}, {"-3", std::nullopt, ""},    {"3.9 m", std::nullopt, ""},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto heights = parseFloorHeights(c.text);
    EXPECT_EQ(heights, c.heights);
    EXPECT_EQ(heights ? floorHeightsText(*heights) : "", c.shown);
  }
}

// Form1 hands the form the window's hydrant and keeps the project the form left.
TEST(SystemFormFromForm1, OffersTheWindowsHydrantAndTheLastProject) {
  FakeWindow window;
  Form1 form(window);
  form.Form_Load();
  window.systemFormUser = [](SystemSession& s) { s.path = "楼.toml"; };
  form.mnuSystem_Click();
  window.userTypes(1, "衬胶");
  form.mnuSystem_Click();
  ASSERT_EQ(window.systemFormShown.size(), 2u);
  const SystemSession &first = window.systemFormShown[0], &second = window.systemFormShown[1];
  EXPECT_EQ(first.path + first.hydrant.material + second.path + second.hydrant.material,
            "麻质楼.toml衬胶");
}

// The project the form opens with: the file used last, or a new one with the main window's
// hydrant; a project from a file keeps its own hydrant.
TEST(SystemFormStart, LastProjectOrNew) {
  // remembered path; hose material shown; caption
  // clang-format off
  const struct { std::string remembered; const char* material; const char* title; } rows[] = {
      {kExample, "衬胶", "office-18f.toml - 消火栓系统计算"},
      {kExample + ".gone", "麻质", "未命名 - 消火栓系统计算"},
      {"", "麻质", "未命名 - 消火栓系统计算"},
  };
  // clang-format on
  for (const auto& r : rows) {
    SCOPED_TRACE(r.remembered);
    FakeSystemView view;
    SystemForm form(view);
    view.remembered = r.remembered;
    form.Form_Load(SystemSession{});  // the main window's hose: 麻质
    EXPECT_EQ(view.get("hydrant.hose_material").text, r.material);
    EXPECT_EQ(view.title, r.title);
    EXPECT_FALSE(form.modified());
  }
}

// Esc, 关闭, 打开… and the main window's close ask before changes are lost: 是 saves (and a
// cancelled save keeps the form), 否 leaves them, 取消 keeps the form.
TEST(SystemFormModified, CloseAsksWhenChanged) {
  const TempDir dir;
  using A = SystemView::Answer;
  // answer; the save dialog's path ("" cancels it); closes; caption after
  // clang-format off
  const struct { A answer; const char* path; bool closes; const char* title; } rows[] = {
      {A::Cancel, "", false, "未命名* - 消火栓系统计算"}, {A::No, "", true, "未命名* - 消火栓系统计算"},
      {A::Yes, "", false, "未命名* - 消火栓系统计算"}, {A::Yes, "a.toml", true, "a.toml - 消火栓系统计算"},
  };
  // clang-format on
  for (const auto& r : rows) {
    SCOPED_TRACE(static_cast<int>(r.answer));
    FakeSystemView view;
    SystemForm form(view);
    form.Form_Load(exampleSession());
    EXPECT_TRUE(form.closeRequested());  // unchanged: no question
    EXPECT_EQ(view.title, "未命名 - 消火栓系统计算");
    view.userTypes("riser.c", "100");
    view.saveAnswer = r.answer;
    if (*r.path) view.pathAnswer = dir / r.path;
    EXPECT_EQ(form.closeRequested(), r.closes);
    EXPECT_EQ(view.title, r.title);
    EXPECT_EQ(view.log.front(), "ask 保存对“未命名”的更改？");
  }
  // Typed back as it was: no change.
  Example e;
  e.view.userTypes("riser.c", "100");
  e.view.userTypes("riser.c", "120");
  EXPECT_EQ(e.view.title, "未命名 - 消火栓系统计算");
  // 打开… on a changed project: 取消 keeps it and opens nothing.
  e.view.userTypes("riser.c", "100");
  e.form.cmdOpen_Click();
  EXPECT_EQ(e.view.log, Strings{"ask 保存对“未命名”的更改？"});
}

// 打开示例 shows the worked example read-only: 保存 asks for a new file. Once it has one, 是 in
// the close question saves into it without a dialog.
TEST(SystemFormExample, ReadOnlySavedUnderANewName) {
  const TempDir dir;
  FakeSystemView view;
  SystemForm form(view);
  SystemSession s;
  s.path = dir / "mine.toml";
  s.entries = s.saved = defaultSystemEntries();
  form.Form_Load(s);
  form.cmdOpenExample_Click();
  EXPECT_EQ(view.title, "office-18f.toml（示例）（只读） - 消火栓系统计算");
  view.userTypes("riser.c", "100");
  view.pathAnswer = dir / "copy.toml";
  form.cmdSave_Click();
  EXPECT_EQ(view.log, Strings{"save dialog 消火栓系统.toml"});
  EXPECT_EQ(form.session().path + view.title, *view.pathAnswer + "copy.toml - 消火栓系统计算");
  view.log.clear();
  view.userTypes("riser.c", "110");
  view.saveAnswer = SystemView::Answer::Yes;
  EXPECT_TRUE(form.closeRequested());
  EXPECT_EQ(view.log, Strings{"ask 保存对“copy.toml”的更改？"});
  EXPECT_EQ(files::loadProject(dir / "copy.toml").value().inputs.riser.c, 110);
}

}  // namespace
}  // namespace ui::test
