// The project file: every kind of bad file refused with one line naming the file and the key,
// and a save that reads back. The worked example's numbers, read from examples/office-18f.toml,
// are pinned by the command line's expected output (tests/cli/expected/system.txt).

#include <gtest/gtest.h>

#include <string>

#include "files/project_file.h"
#include "files/safe_file.h"

namespace {

std::string example() {
  const auto text = files::readWholeFile(HYDRANT_EXAMPLE);
  EXPECT_TRUE(text.has_value());
  return text.value_or("");
}

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
      {"negative length", "length = 60", "length = -60", "office.toml:50: main.length: 应为正数"},
      {"zero diameter", "inner_diameter = 106", "inner_diameter = 0",
       "office.toml:45: riser.inner_diameter: 应为正数"},
      {"zero flow", "design_flow = 40", "design_flow = 0",
       "office.toml:22: system.design_flow: 应为正数"},
      {"zero head", "# rated_head = 120", "rated_head = 0",
       "office.toml:31: pump.rated_head: 应为正数"},
      {"zero C", "c = 120                       # Hazen", "c = 0 # Hazen",
       "office.toml:46: riser.c: 应为正数"},
      {"no floors", "floors = 18", "floors = 0", "office.toml:16: building.floors: 楼层数应为"},
      {"fractional floors", "floors = 18", "floors = 18.5",
       "office.toml:16: building.floors: 应为整数"},
      {"floor_heights count", "[5.1, 3.9,", "[5.1,",
       "office.toml:17: building.floor_heights: 应有 floors - 1 = 17 个层高，现有 16 个"},
      {"riser base above lowest outlet", "base_elevation = -1.0", "base_elevation = 2.0",
       "office.toml:47: riser.base_elevation: 立管底部标高不应高于最低层消火栓栓口"},
      {"pool above highest outlet", "pool_level = -4.5", "pool_level = 70",
       "office.toml:26: supply.pool_level: 水池最低有效水位不应高于最高层消火栓栓口"},
      {"hose pair", "hose_diameter = 65", "hose_diameter = 70",
       "office.toml:9: hydrant.hose_diameter: 水龙带 70 mm 衬胶 不在水带阻力系数表中"},
      {"incomplete tank", "min_static = 0.10", "", "office.toml: tank.min_static: 缺少必需的键"},
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

TEST(ProjectFileTest, SaveReadsBack) {
  const auto first = files::readProject(example(), "office-18f.toml");
  ASSERT_TRUE(first.ok()) << first.error().message;
  EXPECT_EQ(first.value().info.designer, "张工");
  files::Project odd = first.value();
  odd.info.name = "楼 \"A\" \\ 1\n2";
  odd.inputs.tank.reset();
  odd.inputs.stabilizer = calc::StabilizerInputs{0.1 + 0.2, -4};
  odd.inputs.ratedHead = 1.0 / 3 + 120;
  odd.inputs.floors = 1;
  odd.inputs.floorHeights.clear();
  odd.inputs.targetPressureMPa.reset();
  odd.inputs.riserBaseElevation = -1e-7;
  for (const files::Project& p : {first.value(), odd}) {
    SCOPED_TRACE(p.info.name);
    const std::string saved = files::writeProject(p);
    const auto back = files::readProject(saved, "saved.toml");
    ASSERT_TRUE(back.ok()) << back.error().message << "\n" << saved;
    EXPECT_EQ(files::writeProject(back.value()), saved);
    // Every input read back whole, to the last bit.
    EXPECT_TRUE(back.value() == p) << saved;
  }
}

}  // namespace
