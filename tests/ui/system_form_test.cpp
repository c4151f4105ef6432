// The 消火栓系统计算 form's handlers on a fake view: the worked example, bad entries, open and
// save, and the sheet; the storey-height entry; what Form1 hands the form and keeps from it.

#include "ui/system_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "cli/system_command.h"
#include "sheet/project_file.h"
#include "sheet/sheet_file.h"
#include "tests/ui/fake_system_view.h"
#include "tests/ui/fake_window.h"
#include "ui/form1.h"

namespace ui::test {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

const std::string kExample = std::string(HYDRANT_SOURCE_DIR) + "/examples/office-18f.toml";

std::string slurp(const fs::path& path) {
  return sheet::readWholeFile(path.string()).value_or("<unreadable>");
}

// The floors the grid marks, top floor first, as "18-" (not marked) or "15+".
std::string marks(const FakeSystemView& v) {
  std::string out;
  for (const SystemFloorRow& row : v.floors) out += row.cells[0] + (row.marked ? "+ " : "- ");
  return out;
}

TEST(SystemFormTest, Scenarios) {
  const fs::path dir = fs::temp_directory_path() / "hydrant-system-form-test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string saved = (dir / "saved.toml").string();
  const std::string sheetPath = (dir / "sheet.html").string();
  fs::path bad = dir / "bad.toml";
  std::FILE* out = std::fopen(bad.string().c_str(), "wb");
  std::fputs("[building]\nfloors = \n", out);
  std::fclose(out);

  const std::string example18 = "18- 17- 16- 15+ 14+ 13+ 12+ 11+ 10+ 9+ 8+ 7+ 6+ 5+ 4+ 3+ 2+ 1+ ";
  const Strings floor1 = {"1",     "1.10",     "0.759",        "1.622",
                          "1.116", "必须减压", "20（19.87）*", "0.372"};
  struct Row {
    const char* name;
    std::function<void(FakeSystemView&, SystemForm&)> act;  // after loading the example, calculated
    Strings log;                                            // the dialogs and messages, in order
    std::function<void(const FakeSystemView&, const SystemForm&)> check;
  };
  const Row rows[] = {
      {"worked example",
       [](FakeSystemView&, SystemForm&) {},
       {},
       [&](const FakeSystemView& v, const SystemForm&) {
         EXPECT_EQ(v.summary,
                   "水泵流量 40.00 L/s，计算扬程 117.37 m（1.174 MPa），选用扬程 117.37 m（1.174 "
                   "MPa）；系统工作压力 1.673 MPa；最大静压 0.759 MPa");
         EXPECT_EQ(marks(v), example18);
         EXPECT_EQ(v.floors.back().cells, floor1);
         EXPECT_EQ(v.floors[16].cells[6], "21（20.21）");  // floor 2
         EXPECT_EQ(v.floors[0].cells[6], "—");
         ASSERT_EQ(v.checks.size(), 11u);
         EXPECT_EQ(v.checks[6].clause + v.checks[6].verdict, "5.2.2注意");
       }},
      {"bad number: the results stay",
       [](FakeSystemView& v, SystemForm& f) {
         v.userTypes("riser.dn", "1a");
         f.cmdCalculate_Click();
       },
       {"message 立管 管径DN“1a”不是有效的数字。"},
       [&](const FakeSystemView& v, const SystemForm&) {
         EXPECT_EQ(marks(v), example18);
         EXPECT_EQ(v.get("riser.inner_diameter").text, "106");  // not a size: left alone
       }},
      {"out of range, as the reader says",
       [](FakeSystemView& v, SystemForm& f) {
         v.userTypes("building.floors", "0");
         f.cmdCalculate_Click();
       },
       {"message 建筑与流量 消火栓层数“0”：楼层数应为 1 至 1000 的整数。"},
       nullptr},
      {"hose pair not in the table",
       [](FakeSystemView& v, SystemForm& f) {
         v.userTypes("hydrant.hose_diameter", "70");
         f.cmdCalculate_Click();
       },
       {"message 最不利消火栓 水龙带直径(mm)“70”：水龙带 70 mm 衬胶 "
        "不在水带阻力系数表中（麻质或衬胶，50、65、80 mm）。"},
       nullptr},
      {"storeys one short",
       [](FakeSystemView& v, SystemForm& f) {
         v.userTypes("building.floor_heights", "5.1, 3.9*15");
         f.cmdCalculate_Click();
       },
       {"message 建筑与流量 层高(m)“5.1, 3.9*15”：应有 floors - 1 = 17 个层高，现有 16 个。"},
       nullptr},
      {"empty required entry",
       [](FakeSystemView& v, SystemForm& f) {
         v.userTypes("supply.pool_level", "");
         f.cmdCalculate_Click();
       },
       {"message 水源与水泵 水池最低水位(m)未填写：缺少必需的键。"},
       nullptr},
      {"DN chosen: inner diameter from the pipe table; fewer floors recalculated",
       [](FakeSystemView& v, SystemForm& f) {
         v.userTypes("riser.dn", "150");
         v.userTypes("building.floors", "10");
         v.userTypes("building.floor_heights", "3");
         f.cmdCalculate_Click();
       },
       {},
       [](const FakeSystemView& v, const SystemForm&) {
         EXPECT_EQ(v.get("riser.inner_diameter").text, "159.3");
         EXPECT_EQ(v.floors.size(), 10u);
       }},
      {"stabilizer on, tank off",
       [](FakeSystemView& v, SystemForm& f) {
         v.userChecks("tank", false);
         v.userChecks("stabilizer", true);
         f.cmdCalculate_Click();
       },
       {},
       [](const FakeSystemView& v, const SystemForm&) {
         EXPECT_FALSE(v.get("tank.lowest_level").enabled);
         EXPECT_TRUE(v.get("stabilizer.stop_pressure").enabled);
         EXPECT_EQ(v.floors.back().cells[2], "0.549");  // 0.60 MPa at −4 m, outlet at 1.1 m
       }},
      {"save, change, open: the saved entries and no results",
       [&](FakeSystemView& v, SystemForm& f) {
         v.userTypes("building.floors", "12");
         v.userTypes("building.floor_heights", "4.5, 3.6×10");
         v.userTypes("project.name", "“引号” \"and\" \\");
         v.pathAnswer = saved;
         f.cmdSave_Click();
         v.userTypes("building.floors", "3");
         f.cmdOpen_Click();
       },
       {"save dialog 消火栓系统.toml", "open dialog"},
       [&](const FakeSystemView& v, const SystemForm& f) {
         EXPECT_EQ(v.get("building.floor_heights").text, "4.5, 3.6×10");
         EXPECT_EQ(v.get("project.name").text, "“引号” \"and\" \\");
         EXPECT_TRUE(v.floors.empty());
         // What the command line reads from the file is what the form holds.
         const auto read = sheet::loadProject(saved);
         ASSERT_TRUE(read.ok()) << read.error().message;
         EXPECT_EQ(entriesFromProject(read.value()), f.entries());
       }},
      {"a file that does not open leaves the form",
       [&](FakeSystemView& v, SystemForm& f) {
         v.pathAnswer = (dir / "none.toml").string();
         f.cmdOpen_Click();
         v.pathAnswer = bad.string();
         f.cmdOpen_Click();
       },
       {"open dialog", "message " + (dir / "none.toml").string() + ": 无法读取项目文件",
        "open dialog",
        "message " + bad.string() +
            ":2: TOML 语法错误：Error while parsing key-value pair: expected value, saw '\\n'"},
       [&](const FakeSystemView& v, const SystemForm& f) {
         EXPECT_EQ(f.entries(), defaultSystemEntries());
         EXPECT_EQ(marks(v), example18);
       }},
      {"the sheet, as the command line writes it",
       [&](FakeSystemView& v, SystemForm& f) {
         v.pathAnswer = sheetPath;
         f.cmdSheet_Click();
       },
       {"sheet options 某办公楼（2026-031）/张工", "sheet dialog 消火栓系统计算书.html",
        "ask 计算书已保存到“" + sheetPath + "”。\n是否现在打开？"},
       [&](const FakeSystemView&, const SystemForm&) {
         // hydrant-calc-cli --system office-18f.toml --report cli.html, dated today.
         cli::ReportOptions report;
         report.path = (dir / "cli.html").string();
         report.date = sheet::todayText();
         EXPECT_EQ(cli::runSystem(kExample, cli::Format::Text, report).status, 0);
         const std::string html = slurp(sheetPath);
         EXPECT_EQ(html, slurp(*report.path));
         EXPECT_NE(html.find("117.37"), std::string::npos);
       }},
      {"the sheet, cancelled",
       [&](FakeSystemView& v, SystemForm& f) {
         v.sheetConfirmed = false;
         f.cmdSheet_Click();
       },
       {"sheet options 某办公楼（2026-031）/张工"},
       nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FakeSystemView view;
    SystemForm form(view);
    form.Form_Load(defaultSystemEntries());
    form.cmdCalculate_Click();
    row.act(view, form);
    EXPECT_EQ(view.log, row.log);
    if (row.check) row.check(view, form);
  }
  fs::remove_all(dir);
}

// The defaults are the worked example's file, as the form shows what it opens.
TEST(SystemFormTest, DefaultsAreTheExampleAndListsAreFilled) {
  const auto read = sheet::loadProject(kExample);
  ASSERT_TRUE(read.ok()) << read.error().message;
  EXPECT_EQ(entriesFromProject(read.value()), defaultSystemEntries());
  FakeSystemView view;
  SystemForm form(view);
  form.Form_Load({});
  EXPECT_EQ(view.get("tank.min_static").items, (Strings{"0.07", "0.10", "0.15"}));
  EXPECT_EQ(view.get("riser.dn").items.front(), "15");
  EXPECT_FALSE(view.get("stabilizer.elevation").enabled);
}

TEST(SystemFormTest, FloorHeights) {
  const struct {
    const char* text;
    std::optional<std::vector<double>> heights;
    const char* shown;  // floorHeightsText of the heights
  } cases[] = {
      {"3.9", std::vector{3.9}, "3.9"},
      {"5.1, 3.9×2", std::vector{5.1, 3.9, 3.9}, "5.1, 3.9×2"},
      {"5.1，3.9 * 2、4", std::vector{5.1, 3.9, 3.9, 4.0}, "5.1, 3.9×2, 4"},
      {"５．１ 3.9x2", std::vector{5.1, 3.9, 3.9}, "5.1, 3.9×2"},
      {"3.9*3", std::vector{3.9, 3.9, 3.9}, "3.9"},
      {"", std::nullopt, ""},
      {"3.9,,4", std::nullopt, ""},
      {"3.9×0", std::nullopt, ""},
      {"3.9×1.5", std::nullopt, ""},
      {"-3", std::nullopt, ""},
      {"3.9 m", std::nullopt, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const auto heights = parseFloorHeights(c.text);
    EXPECT_EQ(heights, c.heights);
    if (heights) {
      EXPECT_EQ(floorHeightsText(*heights), c.shown);
    }
  }
}

// Form1 hands the form the window's hydrant and keeps the rest of what the user left.
TEST(SystemFormTest, Form1OffersTheWindowsHydrantAndTheLastEntries) {
  FakeWindow window;
  Form1 form(window);
  form.Form_Load();
  window.systemFormUser = [](SystemEntries& e) {
    e["riser.dn"] = "150";
    e["hydrant.nozzle"] = "16";
  };
  form.mnuSystem_Click();
  form.mnuSystem_Click();
  ASSERT_EQ(window.systemFormShown.size(), 2u);
  SystemEntries first = defaultSystemEntries();
  takeHydrantEntries(calc::Entries{}, first);  // the window's initial entries
  EXPECT_EQ(window.systemFormShown[0], first);
  EXPECT_EQ(first["hydrant.hose_material"], "麻质");
  SystemEntries second = first;
  second["riser.dn"] = "150";
  EXPECT_EQ(window.systemFormShown[1], second);
}

}  // namespace
}  // namespace ui::test
