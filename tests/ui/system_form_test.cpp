// The 消火栓系统计算 form's handlers on a fake view, each test starting from the worked example
// calculated: the results as the form formats them (the numbers are the command line's expected
// output), bad entries, open and save, and the sheet; the storey-height entry; what Form1 hands
// the form and keeps from it.

#include "ui/system_form.h"

#include <gtest/gtest.h>

#include <fstream>

#include "calc/utf8.h"
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

// The worked example, loaded and calculated.
struct Example {
  Example() {
    form.Form_Load(defaultSystemEntries());
    form.cmdCalculate_Click();
  }
  FakeSystemView view;
  SystemForm form{view};
};
class SystemFormTest : public ::testing::Test, protected Example {};

TEST_F(SystemFormTest, WorkedExampleAsTheFormShowsIt) {
  EXPECT_EQ(view.summary,
            "水泵流量 40.00 L/s，计算扬程 117.37 m（1.174 MPa），选用扬程 117.37 m（1.174 MPa）；"
            "系统工作压力 1.683 MPa；最大静压 0.759 MPa");
  EXPECT_EQ(marks(view), kExampleMarks);
  EXPECT_EQ(view.floors.back().cells, (Strings{"1", "1.10", "0.759", "1.622", "1.093", "必须减压",
                                               "21（20.00）", "0.402", "0.560"}));
  // No orifice on floor 18; floor 2's is not below the limit, so no star.
  EXPECT_EQ(view.floors.at(0).cells[6] + view.floors.at(16).cells[6], "—21（20.37）");
  EXPECT_EQ(view.checks.at(9).clause + view.checks.at(9).verdict, "5.2.2不满足");
  EXPECT_TRUE(view.log.empty());
}

TEST(SystemFormBadEntry, ReadersMessageAndTheResultsKept) {
  // clang-format off
  const struct { const char* key; const char* text; const char* message; } rows[] = {
      {"riser.dn", "1a", "立管 管径DN“1a”不是有效的数字。"},
      {"building.floors", "0", "建筑与流量 消火栓层数“0”：消火栓层数应在 1 至 300 之间，现为 0。"},
      {"hydrant.hose_diameter", "70", "最不利消火栓 水龙带直径(mm)“70”：水龙带 70 mm 衬胶 "
                                      "不在水带阻力系数表中（麻质或衬胶，50、65、80 mm）。"},
      {"building.floor_heights", "5.1, 3.9*15",
       "建筑与流量 层高(m)“5.1, 3.9*15”：层高应有 17 个（层数 − 1），现有 16 个。"},
      {"supply.pool_level", "", "水源与水泵 水池最低水位(m)未填写。"},
  };
  // clang-format on
  for (const auto& r : rows) {
    SCOPED_TRACE(r.key);
    Example e;
    e.view.userTypes(r.key, r.text);
    e.form.cmdCalculate_Click();
    EXPECT_EQ(e.view.log, Strings{std::string("message ") + r.message});
    EXPECT_EQ(marks(e.view), kExampleMarks);
    EXPECT_EQ(e.view.get("riser.inner_diameter").text, "106");  // "1a" is no size: left alone
  }
}

TEST_F(SystemFormTest, DnGivesTheInnerDiameterAndFewerFloorsAreRecalculated) {
  view.userTypes("riser.dn", "150");
  view.userTypes("building.floors", "10");
  view.userTypes("building.floor_heights", "3");
  form.cmdCalculate_Click();
  EXPECT_TRUE(view.log.empty());
  EXPECT_EQ(view.get("riser.inner_diameter").text, "159.3");
  EXPECT_EQ(view.floors.size(), 10u);
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
  form.cmdOpen_Click();
  EXPECT_EQ(view.log, (Strings{"save dialog 消火栓系统.toml", "open dialog"}));
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
  const std::string none = dir / "none.toml", bad = dir / "bad.toml";
  std::ofstream(bad, std::ios::binary) << "[building]\nfloors = \n";
  for (const std::string& path : {none, bad}) {
    view.pathAnswer = path;
    form.cmdOpen_Click();
  }
  EXPECT_EQ(view.log,
            (Strings{"open dialog",
                     "message " + calc::oneLine(none, 64) + ": 无法读取项目文件：文件不存在",
                     "open dialog",
                     "message " + bad +
                         ":2: TOML 语法错误：Error while parsing key-value pair: "
                         "expected value, saw '\\n'"}));
  EXPECT_EQ(form.entries(), defaultSystemEntries());
  EXPECT_EQ(marks(view), kExampleMarks);
}

TEST_F(SystemFormTest, SheetAsTheCommandLineWritesIt) {
  const TempDir dir;
  view.pathAnswer = dir / "sheet.html";
  form.cmdSheet_Click();
  EXPECT_EQ(view.log, (Strings{"sheet options 某办公楼（2026-031）/张工",
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
  EXPECT_EQ(view.log, Strings{"sheet options 某办公楼（2026-031）/张工"});

  // Never over the project file it came from: the project stays a project.
  view.sheetConfirmed = true;
  view.pathAnswer = dir / "p.toml";
  form.cmdSave_Click();
  form.cmdSheet_Click();
  EXPECT_EQ(view.log.back(),
            "message 计算书不能保存到项目文件“" + *view.pathAnswer + "”，否则项目会被覆盖。");
  EXPECT_TRUE(files::loadProject(*view.pathAnswer).ok());
}

// The defaults are the worked example's file, as the form shows what it opens.
TEST_F(SystemFormTest, DefaultsAreTheExampleAndListsAreFilled) {
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

// Form1 hands the form the window's hydrant and keeps the rest of what the user left.
TEST(SystemFormFromForm1, OffersTheWindowsHydrantAndTheLastEntries) {
  FakeWindow window;
  Form1 form(window);
  form.Form_Load();
  window.systemFormUser = [](SystemEntries& e) {
    e["riser.dn"] = "150";
    e["hydrant.nozzle"] = "16";
  };
  form.mnuSystem_Click();
  form.mnuSystem_Click();
  SystemEntries first = defaultSystemEntries();
  takeHydrantEntries(calc::Entries{}, first);  // the window's initial entries
  EXPECT_EQ(first["hydrant.hose_material"], "麻质");
  SystemEntries second = first;
  second["riser.dn"] = "150";
  EXPECT_EQ(window.systemFormShown, (std::vector{first, second}));
}

}  // namespace
}  // namespace ui::test
