// The project file: every kind of bad file refused with one line naming the file and the key,
// and a save that reads back. The worked example's numbers, read from examples/office-18f.toml,
// are pinned by the command line's expected output (tests/cli/expected/system.txt).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/project_file.h"
#include "files/safe_file.h"

namespace {

std::string example() {
  const auto text = files::readWholeFile(HYDRANT_EXAMPLE);
  EXPECT_TRUE(text.has_value());
  return text.value_or("");
}

#define AAAA10 "AAAAAAAAAA"
#define AAAA40 AAAA10 AAAA10 AAAA10 AAAA10

TEST(ProjectFileTest, BadFiles) {
  struct Row {
    const char* name;
    const char* from;  // replaced in the example's text (empty: appended)
    const char* to;
    const char* message;  // the start of the one-line message
  };
  const Row rows[] = {
      {"syntax error", "floors = 18", "floors = = 18", "office.toml:16: TOML 语法错误"},
      {"unknown key", "nozzle = 19", "nozle = 19", "office.toml:7: hydrant.nozle: 未知的键"},
      {"unknown section", "[design]", "[desing]", "office.toml:55: desing: 未知的节"},
      {"missing key", "water_column = 13", "", "office.toml: hydrant.water_column: 缺少必需的键"},
      {"wrong type", "nozzle = 19", "nozzle = \"19\"", "office.toml:7: hydrant.nozzle: 应为数值"},
      {"negative length", "length = 60", "length = -60",
       "office.toml:50: main.length: 长度应在 0 至 10000 m 之间，现为 -60"},
      {"zero diameter", "inner_diameter = 106", "inner_diameter = 0",
       "office.toml:45: riser.inner_diameter: 内径应大于 0且不大于 1100 mm，现为 0"},
      {"inner diameter beyond the DN", "inner_diameter = 106", "inner_diameter = 1060",
       "office.toml:45: riser.inner_diameter: 内径应小于 DN100 的外径 114.3 mm 且大于其一半，现为 "
       "1060"},
      {"inner diameter above the outside", "inner_diameter = 106", "inner_diameter = 114.3",
       "office.toml:45: riser.inner_diameter: 内径应小于 DN100 的外径 114.3 mm 且大于其一半"},
      {"inner diameter below half", "inner_diameter = 106", "inner_diameter = 57",
       "office.toml:45: riser.inner_diameter: 内径应小于 DN100 的外径 114.3 mm 且大于其一半"},
      {"zero flow", "design_flow = 40", "design_flow = 0",
       "office.toml:22: system.design_flow: 设计流量应在 0.1 至 500 L/s 之间，现为 0"},
      {"zero head", "# rated_head = 120", "rated_head = 0",
       "office.toml:31: pump.rated_head: 选用扬程应大于 0且不大于 1000 m"},
      {"tiny C", "c = 120                       # Hazen", "c = 1e-300 # Hazen",
       "office.toml:46: riser.c: 海澄威廉系数C应在 60 至 160 之间，现为 1e-300"},
      {"C beyond a pipe's", "c = 120                       # Hazen", "c = 161 # Hazen",
       "office.toml:46: riser.c: 海澄威廉系数C应在 60 至 160 之间"},
      {"far elevation", "elevation = -5.0", "elevation = -40000000",
       "office.toml:30: pump.elevation: 水泵中心标高应在 -1000 至 1000 m 之间"},
      {"storey too low", "[5.1, 3.9,", "[5.1, 0.5,",
       "office.toml:17: building.floor_heights: 层高应在 1.5 至 20 m 之间，现为 0.5"},
      {"min flow beyond a nozzle", "min_flow = 5", "min_flow = 1000",
       "office.toml:13: hydrant.min_flow: 每支水枪最小流量应在 0.1 至 50 L/s 之间"},
      {"huge min flow", "min_flow = 5", "min_flow = 1e308",
       "office.toml:13: hydrant.min_flow: 每支水枪最小流量应在"},
      {"no riser", "base_elevation = -1.0", "count = 0\nbase_elevation = -1.0",
       "office.toml:47: riser.count: 立管数量应在 1 至 100 之间，现为 0"},
      {"half a riser", "base_elevation = -1.0", "count = 1.5\nbase_elevation = -1.0",
       "office.toml:47: riser.count: 应为整数"},
      {"ring without spacing", "base_elevation = -1.0", "count = 2\nbase_elevation = -1.0",
       "office.toml: riser.spacing: 两根及以上立管时应给出正的立管间距"},
      {"top ring on one riser", "base_elevation = -1.0", "top_ring = true\nbase_elevation = -1.0",
       "office.toml:47: riser.top_ring: 顶部环管至少需要两根立管"},
      {"curve of two points", "shutoff_ratio = 1.4", "curve = [[0, 160], [40, 120]]",
       "office.toml:32: pump.curve: 水泵特性曲线应为三个点"},
      {"curve not from zero", "shutoff_ratio = 1.4", "curve = [[5, 160], [40, 120], [60, 80]]",
       "office.toml:32: pump.curve: 水泵特性曲线的第一点流量应为 0"},
      {"curve not falling", "shutoff_ratio = 1.4", "curve = [[0, 160], [40, 170], [60, 80]]",
       "office.toml:32: pump.curve: 水泵特性曲线的扬程应满足 h₁ > h₂ > h₃ > 0"},
      {"curve beside a rated head", "shutoff_ratio = 1.4",
       "curve = [[0, 160], [40, 120], [60, 80]]\nrated_head = 120",
       "office.toml:33: pump.rated_head: 给出水泵特性曲线时不应再给选用扬程"},
      {"curve beside a shut-off ratio", "# rated_head = 120",
       "curve = [[0, 160], [40, 120], [60, 80]]",
       "office.toml:32: pump.shutoff_ratio: 给出水泵特性曲线 curve 时不应再给零流量扬程比"},
      {"shut-off ratio at 1", "shutoff_ratio = 1.4", "shutoff_ratio = 1",
       "office.toml:32: pump.shutoff_ratio: 零流量扬程比应大于 1且不大于 2"},
      {"component rating", "riser_min_flow = 15", "riser_min_flow = 15\ncomponent_rating = 0.1",
       "office.toml:24: system.component_rating: 组件额定压力应在 0.6 至 10 MPa 之间"},
      {"k2 above 2", "k2 = 1.2", "k2 = 2.5",
       "office.toml:57: design.k2: 安全系数k2应在 1 至 2 之间"},
      {"local loss above 1", "local_loss = 0.2", "local_loss = 1.5",
       "office.toml:56: design.local_loss: 局部损失比例应在 0 至 1 之间"},
      {"target above 0.50 MPa", "target_pressure = 0.35", "target_pressure = 0.6",
       "office.toml:59: design.target_pressure: 减压目标应大于 0.02 MPa且不大于 0.5 MPa"},
      {"tank below the top outlet", "lowest_level = 75.0", "lowest_level = 60.0",
       "office.toml:35: tank.lowest_level: 高位消防水箱最低有效水位应高于最不利"},
      {"occupancy", "occupancy = \"high\"", "occupancy = \"tall\"",
       "office.toml:12: hydrant.occupancy: 场所类别应为 high、other 之一"},
      {"long name", "name = \"某办公楼\"", "name = \"" AAAA40 AAAA40 AAAA40 AAAA40 AAAA40 "A\"",
       "office.toml:2: project.name: 工程名称过长，不超过 200 个字符"},
      {"water column beyond the nozzle", "water_column = 13", "water_column = 40",
       "office.toml:11: hydrant.water_column: 充实水柱长度“40”超出 19 mm 喷嘴"},
      {"no floors", "floors = 18", "floors = 0",
       "office.toml:16: building.floors: 消火栓层数应在 1 至 300 之间，现为 0"},
      {"fractional floors", "floors = 18", "floors = 18.5",
       "office.toml:16: building.floors: 应为整数"},
      {"floor_heights count", "[5.1, 3.9,", "[5.1,",
       "office.toml:17: building.floor_heights: 层高应有 17 个（层数 − 1），现有 16 个"},
      {"riser base above lowest outlet", "base_elevation = -1.0", "base_elevation = 2.0",
       "office.toml:47: riser.base_elevation: 立管底部标高不应高于最低层消火栓栓口"},
      {"pool above highest outlet", "pool_level = -4.5", "pool_level = 70",
       "office.toml:26: supply.pool_level: 水池最低有效水位不应高于最高层消火栓栓口"},
      {"hose pair", "hose_diameter = 65", "hose_diameter = 70",
       "office.toml:9: hydrant.hose_diameter: 水龙带 70 mm 衬胶 不在水带阻力系数表中"},
      {"incomplete tank", "highest_level = 77.0", "",
       "office.toml: tank.highest_level: 缺少必需的键（该节给出时每个键都要给出）：最高水位"},
      {"use not in the list", "floors = 18", "floors = 18\nuse = \"宿舍\"\nheight = 70",
       "office.toml:17: building.use: 使用性质应为 办公楼、其他公共建筑、综合楼、商业楼、展览楼、"},
      {"class not in the list", "floors = 18",
       "floors = 18\nuse = \"住宅\"\nheight = 70\nclass = \"高层\"",
       "office.toml:19: building.class: 建筑分类应为 一类高层公共建筑、"},
      {"height without use", "floors = 18", "floors = 18\nheight = 70",
       "office.toml: building.use: 缺少必需的键：使用性质（给出建筑高度、分类或体积时必填）"},
      {"mains without outdoor flow", "pool_level = -4.5", "pool_level = -4.5\nmains = 1",
       "office.toml: supply.outdoor_flow: 缺少必需的键：室外消防流量（计算消防水池时必填）"},
      {"three mains", "pool_level = -4.5", "pool_level = -4.5\nmains = 3\noutdoor_flow = 15",
       "office.toml:27: supply.mains: 供水路数应在 1 至 2 之间，现为 3"},
      {"flag as a number", "[pump]", "[sprinkler]\nflow = 30\nfull_cover = 1\n[pump]",
       "office.toml:31: sprinkler.full_cover: 应为true 或 false，现为"},
      {"sprinklers without flow", "[pump]", "[sprinkler]\nduration = 1\n[pump]",
       "office.toml: sprinkler.flow: 缺少必需的键（该节给出时每个键都要给出）：喷淋设计流量"},
      {"start above stop", "# [stabilizer]",
       "[stabilizer]\nstop_pressure = 0.3\nelevation = 80\nstart_pressure = 0.3\n",
       "office.toml:42: stabilizer.start_pressure: 启泵压力应小于停泵压力 0.3 MPa"},
      {"missing section", "[system]", "[systen]", "office.toml:21: systen: 未知的节或键"},
      {"Chinese table name", "[design]", "[消火栓]",
       "office.toml:55: 第 55 行第 2 列：键名和表名只能用英文字母、数字、下划线"},
      {"unquoted Chinese value", "name = \"某办公楼\"", "name = 「某办公楼」",
       "office.toml:2: 第 2 行第 8 列：键名和表名只能用英文字母、数字、下划线"},
      {"bare accented key", "nozzle = 19", "Düse = 19", "office.toml:7: 第 7 行第 2 列："},
      {"not UTF-8", "nozzle = 19", "nozzle = 19 # \xB1\xA3",
       "office.toml:7: 第 7 行第 15 列：不是有效的 UTF-8"},
      {"TOML words in Chinese", "nozzle = 19", "nozzle = 19x",
       "office.toml:7: TOML 语法错误：此处应为数字（Error while parsing decimal integer"},
      {"incomplete stabilizer", "# [stabilizer]", "[stabilizer]\nstop_pressure = 0.6\n",
       "office.toml: stabilizer.elevation: 缺少必需的键"},
      {"riser flow above design flow", "riser_min_flow = 15", "riser_min_flow = 45",
       "office.toml:23: system.riser_min_flow: 每根竖管最小流量不应大于消火栓设计流量"},
  };
  const std::string good = example();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::string text = good;
    const std::size_t at = text.find(row.from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, std::string_view(row.from).size(), row.to);
    const auto project = files::readProject(text, "office.toml");
    ASSERT_FALSE(project.ok());
    const std::string& message = project.error().message;
    EXPECT_EQ(message.substr(0, std::string_view(row.message).size()), row.message) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos);
  }
}

// Texts on which the TOML library once stopped the program or reached undefined behaviour, and
// a file too large to parse: each is one line, never an abort.
TEST(ProjectFileTest, TextsTheTomlLibraryMustNotSee) {
  const struct {
    std::string text;
    const char* message;
  } rows[] = {
      {"[!]", "p.toml: TOML 语法错误"},
      {"[", "p.toml:1: TOML 语法错误：文件在此意外结束"},
      {"[ !]", "p.toml: TOML 语法错误"},
      {"[.a]", "p.toml: TOML 语法错误"},
      {"a = [}", "p.toml: TOML 语法错误"},
      {"name = t\nx = 1",
       "p.toml:1: TOML 语法错误：Error while parsing boolean: expected 'true', saw 't '"},
      {"[\xC3\xA9]", "p.toml:1: 第 1 行第 2 列：键名和表名只能用"},
      {"a = {N5fi= +[\"\"\"\"p\xC7\xB0 \"", "p.toml:1: TOML 语法错误"},
      {"a = \"\\\xE6\xB6\x88\"", "p.toml:1: 第 1 行第 6 列：反斜杠后不能是中文等文字"},
      {"x = 1\n\xE3\x80\x80= 2", "p.toml:2: 第 2 行第 1 列："},
      {"a = \"\"\"\n\xC3\xA9\"\"\"\" \xC3\xA9", "p.toml:2: 第 2 行第 7 列："},
      {"a = '''\xC3\xA9'''\n\xEF\xBC\xA1", "p.toml:2: 第 2 行第 1 列："},
      {"a = \"\\\"\xC3\xA9\" \xC3\xA9", "p.toml:1: 第 1 行第 11 列："},
      {std::string(files::kMaxProjectBytes + 1, '#'), "p.toml: 项目文件过大（上限 1 MiB）"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text.substr(0, 40));
    const auto project = files::readProject(row.text, "p.toml");
    ASSERT_FALSE(project.ok());
    EXPECT_TRUE(project.error().message.starts_with(row.message)) << project.error().message;
    EXPECT_EQ(project.error().message.find('\n'), std::string::npos);
  }
}

// A project name in every kind of TOML string reads as written, Chinese punctuation included
// (the reader hands toml++ escapes instead of the characters).
TEST(ProjectFileTest, ChineseInEveryKindOfString) {
  const struct {
    const char* written;
    const char* name;
  } rows[] = {
      {"\"某办公楼、裙房。「一期」\"", "某办公楼、裙房。「一期」"},
      {"'某\"办公\\楼'", "某\"办公\\楼"},
      {"'''某''办公楼'''''", "某''办公楼''"},
      {"\"\"\"\n某\\\"办公楼\"\"\"\"", "某\"办公楼\""},
      {"\"\\u6D88防\"", "消防"},
  };
  const std::string good = example();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.written);
    std::string text = good;
    const std::string from = "name = \"某办公楼\"";
    text.replace(text.find(from), from.size(), std::string("name = ") + row.written);
    const auto project = files::readProject(text, "p.toml");
    ASSERT_TRUE(project.ok()) << project.error().message;
    EXPECT_EQ(project.value().title.project, row.name);
  }
}

TEST(ProjectFileTest, SaveReadsBack) {
  const auto first = files::readProject(example(), "office-18f.toml");
  ASSERT_TRUE(first.ok()) << first.error().message;
  EXPECT_EQ(first.value().title.designer, "张工");
  files::Project odd = first.value();
  for (const calc::TitleField& f : calc::kTitleFields) {
    odd.title.*f.member = std::string(f.label) + "「" + std::string(f.tomlKey) + "」";
  }
  odd.title.project = "楼 \"A\" \\ 1\n2";
  odd.inputs.tank.reset();
  odd.inputs.stabilizer = calc::StabilizerInputs{0.1 + 0.2, -4};
  odd.inputs.ratedHead = 1.0 / 3 + 120;
  odd.inputs.floors = 1;
  odd.inputs.floorHeights.clear();
  odd.inputs.targetPressureMPa.reset();
  odd.inputs.riserBaseElevation = -1e-7;
  odd.inputs.riser.innerDiameter = 105.3;
  odd.inputs.book.building = {calc::BuildingUse::Residence, 95.7,
                              calc::BuildingClass::ResidenceHigh2, 1e4};
  odd.inputs.book.supply = {1, 15, true, 12.5, 150, 1.2};
  odd.inputs.book.sprinkler = {30, 1.5, true};
  odd.inputs.book.tank.reset();
  odd.inputs.book.stabilizer = {1.1, 0.25, 150, 1.5};
  odd.inputs.book.pump = {{}, 150};
  files::Project ringed = first.value();  // four risers, a ring pipe of its own, a real pump
  ringed.title.project = "ringed";
  ringed.inputs.riserCount = 4;
  ringed.inputs.riserSpacing = 30.5;
  ringed.inputs.topRing = true;
  ringed.inputs.ring = calc::PipeInputs{125, 131.7, 110};
  ringed.inputs.pumpCurve = {{0, 160}, {40, 1.0 / 3 + 117}, {60, 80}};
  for (const files::Project& p : {first.value(), odd, ringed}) {
    SCOPED_TRACE(p.title.project);
    const std::string saved = files::writeProject(p);
    const auto back = files::readProject(saved, "saved.toml");
    ASSERT_TRUE(back.ok()) << back.error().message << "\n" << saved;
    EXPECT_EQ(files::writeProject(back.value()), saved);
    // Every input read back whole, to the last bit.
    EXPECT_TRUE(back.value() == p) << saved;
  }
}

// Read, write, read: the same project, for every seed of the fuzz target that reads.
TEST(ProjectFileTest, CorpusReadsBackAsWritten) {
  int read = 0;
  for (const auto& entry : std::filesystem::directory_iterator(HYDRANT_PROJECT_CORPUS)) {
    SCOPED_TRACE(entry.path().filename().string());
    const auto text = files::readWholeFile(entry.path().string());
    ASSERT_TRUE(text.has_value());
    const auto first = files::readProject(*text, "seed.toml");
    if (!first.ok()) continue;
    ++read;
    const auto back = files::readProject(files::writeProject(first.value()), "back.toml");
    ASSERT_TRUE(back.ok()) << back.error().message;
    EXPECT_TRUE(back.value() == first.value());
  }
  EXPECT_GT(read, 0);
}

// The manual's table of keys is the key table: a key added, renamed or re-ranged without the
// manual fails here, and the message holds the rows to paste between the markers.
TEST(ProjectFileTest, ManualListsEveryKey) {
  std::string rows;
  for (const files::ProjectKey& k : files::projectKeys()) {
    const std::string unit = k.unit.empty() ? "—" : std::string(k.unit);
    std::string meaning = std::string(k.caption) + "：" + std::string(k.tooltip);
    if (k.need == files::Need::Required) meaning += "；必填";
    if (k.need == files::Need::WithSection) meaning += "；设此节时必填";
    if (k.type != files::KeyType::Text && k.type != files::KeyType::Choice &&
        k.type != files::KeyType::Flag) {
      meaning += "；" + files::rangeWords(k);
    }
    if (!k.clause.empty()) meaning += "（第 " + std::string(k.clause) + " 条）";
    rows += "<tr><td class=\"k\">[" + std::string(k.section) + "] " + std::string(k.name) +
            "</td><td class=\"c\">" + unit + "</td><td>" + meaning + "</td></tr>\n";
  }
  const std::string manual = files::readWholeFile(HYDRANT_MANUAL).value_or("");
  const std::size_t begin = manual.find("<!-- keys -->\n");
  const std::size_t end = manual.find("<!-- /keys -->");
  ASSERT_NE(begin, std::string::npos);
  ASSERT_NE(end, std::string::npos);
  const std::size_t from = begin + std::string_view("<!-- keys -->\n").size();
  EXPECT_EQ(manual.substr(from, end - from), rows) << "The rows:\n" << rows;
}

}  // namespace
