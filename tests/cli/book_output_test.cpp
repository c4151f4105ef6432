// The book as the sheet and the JSON carry it: the worked office and a residence with a
// stabilising pump on the example project's riser.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/book_output.h"
#include "files/project_file.h"
#include "sheet/book_sheet.h"

namespace {

calc::SystemInputs example() {
  const auto project = files::loadProject(HYDRANT_EXAMPLE);
  EXPECT_TRUE(project.ok());
  return project.ok() ? project.value().inputs : calc::SystemInputs{};
}

std::vector<std::string> keys(const cli::Json& object) {
  std::vector<std::string> out;
  for (const auto& [key, value] : object.items()) out.push_back(key);
  return out;
}

TEST(BookOutputTest, SheetAndJson) {
  calc::SystemInputs office = example();
  EXPECT_EQ(calc::calculateSystem(office).value().book, std::nullopt);
  office.book.building = calc::BookBuilding{calc::BuildingUse::Office, 72.5, {}, {}};
  office.book.supply = calc::BookSupply{2, 40, true, {}, 100, 1.5};
  office.book.sprinkler = calc::BookSprinkler{30, 1.0, false};
  office.book.tank = calc::BookTank{36, {}};

  calc::SystemInputs home = example();
  home.designFlow = 20;
  home.tank.reset();
  home.stabilizer = calc::StabilizerInputs{0.30, 75};
  home.book.building = calc::BookBuilding{calc::BuildingUse::Residence, 95.7, {}, {}};
  home.book.supply = calc::BookSupply{1, 15, false, {}, {}, 1.5};

  using Strings = std::vector<std::string>;
  const struct {
    const char* name;
    const calc::SystemInputs& in;
    Strings sheet;
    Strings json;
    Strings pool;
  } rows[] = {
      {"office",
       office,
       {"3.6×(40×2.0 + 30×1) = 396.00 m³", "42.41 m³/h × 2.0 h = 84.82 m³",
        "有效容积 V = 311.18 m³", "⌈40/15⌉ = 3", "2 台（1 用 1 备）",
        "消火栓系统 3 个，自动喷水系统 2 个", "条文待核"},
       {"use", "class", "duration", "pool", "tank", "adapters", "pumpSet"},
       {"required", "volumeBeforeRefill", "refill", "volume", "compartments"}},
      {"residence",
       home,
       {"3.6×(20×2.0 + 15×2.0) = 252.00 m³", "0.15 + (-6.40)/100", "（建议值）", "0–4.0 MPa"},
       {"use", "class", "duration", "pool", "tank", "stabilizer", "adapters", "pumpSet"},
       {"required", "volumeBeforeRefill", "refill", "volume", "compartments"}},
  };
  for (const auto& row : rows) {
    const auto result = calc::calculateSystem(row.in);
    ASSERT_TRUE(result.ok()) << row.name;
    const std::string html = sheet::renderBookSection(row.in, result.value(), 12);
    for (const std::string& s : row.sheet) EXPECT_NE(html.find(s), std::string::npos) << s;
    const cli::Json json = cli::bookJson(*result.value().book);
    EXPECT_EQ(keys(json), row.json) << row.name;
    EXPECT_EQ(keys(json["pool"]), row.pool) << row.name;
  }
  const auto r = calc::calculateSystem(office).value();
  EXPECT_NEAR(cli::bookJson(*r.book)["pool"]["volume"].get<double>(), 311.1769984, 1e-6);
}

}  // namespace
