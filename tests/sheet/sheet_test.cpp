// The calculation sheet's contents for each direction, its escaping, its errors, and the
// atomic file write. How it looks in a browser is checked by browser_sheet.sh.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "sheet/calc_sheet.h"
#include "sheet/sheet_file.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

struct DirectionCase {
  const char* name;
  std::optional<std::string> flow;
  std::optional<double> pressure;
  int streams;
  const char* width;
  Strings present;
  Strings absent;
};

TEST(SheetTest, EachDirectionShowsItsOwnSteps) {
  const DirectionCase cases[] = {
      {"water column",
       {},
       {},
       2,
       "10",
       {"= 13.55 + 6.41 + 2", "21.96 m<br>0.2196 MPa", "23.10 m", "20.82 m", "4.62 l/s"},
       {"按整米试算", "100×"}},
      {"flow given",
       "5",
       {},
       2,
       "",
       {"按整米试算", "= <span class=\"fr\"><span>5<sup>2</sup>"},
       {"1 − 0.0097", "100×", "消火栓间距"}},
      {"pressure given", {}, 0.3, 2, "", {"= 100×0.3", "30.00 m", "二分法求解"}, {"按整米试算"}},
      {"one stream", {}, {}, 1, "10", {"41.65 m", "S</i> = 2√"}, {"20.82 m"}},
      {"width too large", {}, {}, 2, "30", {"保护宽度过大"}, {"NaN", "nan"}},
  };
  for (const DirectionCase& c : cases) {
    SCOPED_TRACE(c.name);
    sheet::SheetRequest request;
    request.entries.flow = c.flow;
    request.entries.width = c.width;
    request.pressureMPa = c.pressure;
    request.streams = c.streams;
    const auto html = sheet::makeSheet(request);
    ASSERT_TRUE(html.ok());
    for (const std::string& s : c.present) EXPECT_NE(html.value().find(s), std::string::npos) << s;
    for (const std::string& s : c.absent) EXPECT_EQ(html.value().find(s), std::string::npos) << s;
  }
}

TEST(SheetTest, TypedTextIsEscapedAndIllFormedBytesReplaced) {
  sheet::SheetRequest request;
  request.project = "<script>x</script>&\"'";
  request.designer = "张\xff三";
  request.entries.width = "10<i>";  // read by its leading number, shown as typed
  const std::string html = sheet::makeSheet(request).value();
  EXPECT_NE(html.find("&lt;script&gt;x&lt;/script&gt;&amp;&quot;&#39;"), std::string::npos);
  EXPECT_NE(html.find("张\uFFFD三"), std::string::npos);
  EXPECT_NE(html.find("10&lt;i&gt; m"), std::string::npos);
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("10<i>"), std::string::npos);
}

TEST(SheetTest, FailsWithTheCalculationsError) {
  for (const char* waterColumn : {"1a", "40"}) {
    SCOPED_TRACE(waterColumn);
    sheet::SheetRequest request;
    request.entries.waterColumn = waterColumn;
    const auto html = sheet::makeSheet(request);
    ASSERT_FALSE(html.ok());
    EXPECT_NE(html.error().message.find(waterColumn), std::string::npos);
  }
}

TEST(SheetFileTest, WritesWholeOrNothing) {
  const fs::path dir = fs::temp_directory_path() / "hydrant-sheet-file-test";
  fs::remove_all(dir);
  fs::create_directories(dir / "子目录");
  std::ofstream(dir / "旧.html") << "old";
  const struct {
    fs::path target;
    const char* reason;  // nullptr: written
  } cases[] = {
      {dir / "旧.html", nullptr},
      {dir / "新.html", nullptr},
      {dir / "无此目录" / "a.html", "文件夹不存在"},
      {dir / "子目录", "该路径是一个文件夹"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target.string());
    const auto u8 = c.target.u8string();
    const auto reason = sheet::writeFileAtomically(std::string(u8.begin(), u8.end()), "新内容");
    ASSERT_EQ(reason.has_value(), c.reason != nullptr);
    if (reason) {
      EXPECT_NE(reason->find(c.reason), std::string::npos) << *reason;
      continue;
    }
    std::ostringstream text;
    text << std::ifstream(c.target).rdbuf();
    EXPECT_EQ(text.str(), "新内容");
  }
  // No temporary file stays behind: the two sheets and the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
  fs::remove_all(dir);
}

}  // namespace
