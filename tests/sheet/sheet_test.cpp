// The sheet's steps for each direction, what a plan reviewer reads, typed text in it, and the
// system sheet's elevation axis. How it prints is checked in a browser by browser_sheet.sh, the
// file writing through the window's handler.

#include <gtest/gtest.h>

#include "sheet/calc_sheet.h"

#include <functional>
#include <regex>
#include <string>

#include "calc/number_text.h"
#include "files/project_file.h"
#include "sheet/system_sheet.h"

namespace {

using Strings = std::vector<std::string>;

// Each direction with its own steps; what a plan reviewer objects to, and what must be there
// instead: the two radii each labelled, the two flows side by side and neither called the
// design flow, the code in force, the units of GB 50974 and no window texts.
TEST(SheetTest, StepsAndWhatAPlanReviewerReads) {
  const auto high = calc::Occupancy::High, other = calc::Occupancy::Other;
  const struct {
    const char* name;
    std::optional<std::string> flow;
    std::optional<double> pressure;
    calc::Occupancy occupancy;
    int streams;
    const char* width;
    Strings present, absent;
  } cases[] = {
      // clang-format off
      {"column given", {}, {}, other, 2, "10", {"= 13.55 + 6.41 + 2", "21.96 mH<sub>2</sub>O<br>0.220 MPa", "20.82 m"}, {"整米", "100×"}},
      // The outlet pressure as the design check forms it for the same flow: 25.37, not the
      // 25.38 of a hose loss kept to 0.01 m.
      // One S_k, solved as the check solves it: 11.4 m in the steps as in the checks.
      {"flow given", "5", {}, other, 2, "", {"迭代求解", "<span>5<sup>2</sup>", "25.37 mH<sub>2</sub>O<br>0.254 MPa", "11.4 m</span></td>", "按 <i>S</i><sub>k</sub> = 11.4 m"}, {"1 − 0.0097×", "整米", "11 m</span>"}},
      {"pressure given", {}, 0.3, other, 2, "", {"= 100×0.3", "30.00 mH<sub>2</sub>O", "迭代求解"}, {"整米", "4.62"}},
      // One stream covers twice the distance; the width is shown as typed, its bytes made good.
      {"one stream", {}, {}, other, 1, "10\xff", {"41.65 m", "S</i> = 2√", "10\uFFFD m"}, {"20.82 m"}},
      {"markup in the width", {}, {}, other, 2, "30<i>", {"单排不能布置", "30&lt;i&gt; m"}, {"30<i>", "NaN", "nan"}},
      {"two radii", {}, {}, high, 2, "10",
       {"按输入 <i>S</i><sub>k</sub>", "23.10 m", "设计保护半径", "= 0.8×20 + 0.71×13", "25.23 m",
        "单支水枪计算出水量", "（由表 3.5.2 折算）", "<svg", "第 10.2.1 条", "第 7.4.6 条", "45°"},
       {"设计流量", "l/s", "_", "max(", "末位可能相差", "Tavrel", "!", "旧版规范", "0.2196", "<th style=\"width:9%\"></th>"}},
      {"7 m entered", {}, {}, other, 2, "10",
       {"GB 50974-2014 第7.4.12条第2款：其他场所充实水柱应按10 m计算"}, {"GB 50016"}},
      {"unreduced 0.8 MPa", {}, 0.8, other, 2, "",
       {"未经减压时单支水枪出水量为 9.13 L/s", "按减压后的栓口动压重新计算"}, {"设计流量"}},
      {"width over R", {}, {}, other, 2, "30",
       {">7.4.6<", "消火栓应两排布置，或减小保护宽度"}, {"Tavrel", "!"}},
      {"one stream, high", {}, {}, high, 1, "",
       {">7.4.6<", "可按 1 股充实水柱布置", ">建议<"}, {}},
      {"one stream, other", {}, {}, other, 1, "", {">7.4.6<", "可按 1 股充实水柱布置"}, {}},
      // The textbook named in full; B computed, the table's rounded value and what it changes.
      {"named source", {}, {}, other, 2, "",
       {"王增长主编《建筑给水排水工程》（第 7 版，中国建筑工业出版社）", "若取书中表列取整值 1.577，<span class=\"f\"><i>H</i><sub>xh</sub></span> 大 0.01 m"},
       {"建筑给水排水教材", "施工图审查"}},
      // The window's linen DN50 hose: the failure listed by clause with what to change.
      {"failure listed", {}, {}, other, 2, "", {"1）第 7.4.2-2 条：应改用 65 mm 衬胶水带后重新计算。"}, {}},
      {"flow given", "5", {}, high, 2, "",
       {"给定出水量</b>确定（不提高）", "给定单支水枪出水量 5.00 L/s 所需栓口动压 0.254 MPa"}, {"（控制）"}},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sheet::SheetRequest request;
    request.entries.flow = c.flow;
    request.entries.width = c.width;
    if (std::string_view(c.name) == "7 m entered") request.entries.waterColumn = "7";
    request.design.pressureMPa = c.pressure;
    request.design.occupancy = c.occupancy;
    request.design.streams = c.streams;
    const auto html = sheet::makeSheet(request);
    ASSERT_TRUE(html.ok());
    // The style sheet may hold underscores and "!" of its own; the text after it may not.
    const std::string body = html.value().substr(html.value().find("<body>"));
    for (const std::string& s : c.present) EXPECT_NE(body.find(s), std::string::npos) << s;
    for (const std::string& s : c.absent) EXPECT_EQ(body.find(s), std::string::npos) << s;
  }
}

// The result cell of the step row whose caption starts with `caption`.
std::string stepResult(const std::string& html, const std::string& caption) {
  const std::size_t row = html.find("<tr><td>" + caption);
  const std::size_t end = html.find("</td></tr>", row);
  const std::size_t cell = html.rfind("<span class=\"f\">", end) + 16;
  return html.substr(cell, html.find("</span>", cell) - cell);
}

// φ and α_f are printed with the digits that make the substitution give the printed H_q.
TEST(SheetTest, SubstitutedValuesReproduceTheNozzlePressure) {
  for (const char* nozzle : {"13", "16", "19"}) {
    for (const char* column : {"7", "10", "13", "15", "17"}) {
      SCOPED_TRACE(std::string(nozzle) + " mm, " + column + " m");
      sheet::SheetRequest request;
      request.entries.nozzle = nozzle;
      request.entries.waterColumn = column;
      const auto html = sheet::makeSheet(request);
      ASSERT_TRUE(html.ok());
      const double phi = std::stod(stepResult(html.value(), "喷嘴阻力系数"));
      const double alpha = std::stod(stepResult(html.value(), "实验系数"));
      const double sk = std::stod(column);
      const std::string hq = stepResult(html.value(), "水枪喷嘴压力");
      EXPECT_EQ(calc::formatFixed(alpha * sk / (1 - phi * alpha * sk), 2) + " mH<sub>2</sub>O", hq);
    }
  }
}

// Typed text in the sheet: markup escaped and no control character passed on, whichever entry
// it came in; every field of the title block in its cell, and the signature lines.
TEST(SheetTest, TitleBlockAndTypedText) {
  const struct {
    const char* name;
    std::string text;
    std::string html;
  } cases[] = {
      {"markup", "<i>&\"'", "&lt;i&gt;&amp;&quot;&#39;"},
      {"escape sequence and bell", "\x1b[31mX\x07", " [31mX "},
      {"nul", std::string("a\0b", 3), "a b"},
      {"line ends and tab", "a\r\n\tb", "a   b"},
      {"DEL and C1", "a\x7f\xC2\x85\xC2\x9bz", "a   z"},
      {"line and paragraph separators", "a\xE2\x80\xA8\xE2\x80\xA9z", "a  z"},
      {"ill-formed byte", "a\xFF", "a\uFFFD"},
      {"chinese kept", "设计人", "设计人"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(sheet::escapeHtml(c.text), c.html);
  }
  // Every field of the block in its cell, each with a value of its own.
  sheet::SheetRequest request;
  for (const calc::TitleField& field : calc::kTitleFields) {
    request.title.*field.member = std::string(field.name) + "<" + std::string(field.caption);
  }
  request.title.project = "楼<1>";
  request.title.designer = std::string("张三\x1b[31m\x07\0\xC2\x9b", 15);
  const auto html = sheet::makeSheet(request);
  ASSERT_TRUE(html.ok());
  for (const char* s :
       {"工程名称</td><td colspan=\"3\">楼&lt;1&gt;</td>",
        "设计单位</td><td colspan=\"3\">organization&lt;设计单位</td>",
        "工程编号</td><td>projectNumber&lt;工程编号</td>",
        "子项</td><td>subproject&lt;子项</td></tr>", "设计阶段</td><td>stage&lt;设计阶段</td>",
        "计算书编号</td><td>sheetNumber&lt;计算书编号</td></tr>",
        "版次</td><td>revision&lt;版次</td><td class=\"k\">日期</td>",
        "计算程序</td><td colspan=\"3\">hydrant-calc ",
        ">设计</td><td class=\"sign\">张三 [31m   </td>",
        ">校对</td><td class=\"sign\">checker&lt;校对</td>",
        ">审核</td><td class=\"sign\">reviewer&lt;审核</td>",
        ">审定</td><td class=\"sign\">approver&lt;审定</td>",
        ">注册章</td><td class=\"stamp\"></td>"}) {
    EXPECT_NE(html.value().find(s), std::string::npos) << s;
  }
  for (const char* control : {"\x1b", "\x07", "\xC2\x9b"}) {
    EXPECT_EQ(html.value().find(control), std::string::npos) << control;
  }
  EXPECT_EQ(html.value().find('\0'), std::string::npos);
}

// The system sheet of the example and its variants: the conclusion counts and lists every
// check, plates below 10.3.1's limit show no pressure behind them, each pressure says where.
TEST(SheetTest, SystemSheet) {
  using In = calc::SystemInputs;
  const auto example = files::loadProject(HYDRANT_EXAMPLE);
  ASSERT_TRUE(example.ok()) << example.error().message;
  const struct {
    const char* name;
    std::function<void(In&)> change;
    Strings present, absent;
  } cases[] = {
      // clang-format off
      {"example", [](In&) {},
       {"校核 21 项（单栓 6 项，系统 15 项）：满足 13 项，不满足 1 项", "1）第 5.2.2 条：应设稳压泵",
        "系统：消防水泵流量 40.00 L/s，扬程 117.37 m（取计算扬程）；水泵出口系统工作压力 1.683 MPa；不分区",
        "第 1–14 层设减压孔板", "<th>单栓动压 (m)</th>", "<td>56.00</td>", "设计工况（工况②）水泵工作点 (40.00 L/s, 117.37 m)",
        "<i>R</i> = max(40 − 22.14, 0)</span> = 17.86 L/s", "存在不满足项", "5）《消防设施通用规范》GB 55036-2022",
        "13）减压孔板", "在水泵出口（标高 -5.00 m）处", "本计算书经设计、校对、审核签署后有效",
        // The inputs from the project's keys, with units, clauses and the inner diameter's source.
        "<h2>7 系统输入参数</h2>", "设计流量<span class=\"small\">（3.5.2）</span></td><td class=\"l\">40 L/s",
        "立管 内径<span class=\"small\">（10.1.2）</span></td><td class=\"l\">106 mm（输入）", "<h2>13 结论</h2>",
        // Printed with the places that give the next line: 1.4×117.365 = 164.31, not 164.32.
        "= 1.4×117.365 + max(", "消防水池 -4.50～-1.00"},
       {"校核无不满足项", "施工图审查", ">7.4.12<", "<sub>k−1</sub>", "环状干管", "<td>20 *</td>"}},
      {"four risers and a top ring", [](In& in) { in.riserCount = 4; in.riserSpacing = 30; in.topRing = true; },
       {"最不利立管 <i>r</i>* = <b>3 号</b>", "3 号 r*", "顶部环管", "环状干管 DN150，间距 30 m", "<td>53.36（1）</td>"}, {}},
      {"stabiliser", [](In& in) { in.stabilizer = calc::StabilizerInputs{0.6, -5}; },
       {">5.3.3<", "已设稳压泵", "稳压泵 停泵压力<span class=\"small\">（5.3.3）</span></td><td class=\"l\">0.6 MPa", ">稳压泵 停泵 0.6 MPa</text>", "稳压泵停泵压力 0.6 MPa 在其出口（标高 -5.00 m），折算至水泵出口"}, {"应设稳压泵"}},
      {"six floors, other, no plate", [](In& in) { in.floors = 6; in.floorHeights.resize(5); in.tank.reset(); in.hydrant.occupancy = calc::Occupancy::Other; },
       {"各层栓口动压均不大于 0.50 MPa，无需减压", ">不适用<"}, {"孔径小于第 10.3.1 条下限", "减压孔板（第 10.3.3 条）"}},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    calc::SystemInputs in = example.value().inputs;
    c.change(in);
    const auto html = sheet::makeSystemSheet(in, {});
    ASSERT_TRUE(html.ok()) << html.error().message;
    const std::string body = html.value().substr(html.value().find("<body>"));
    for (const std::string& s : c.present) EXPECT_NE(body.find(s), std::string::npos) << s;
    for (const std::string& s : c.absent) EXPECT_EQ(body.find(s), std::string::npos) << s;
    // The plate's ζ from its printed ΔH and V, to the printed digit.
    std::smatch m;
    if (std::regex_search(body, m,
                          std::regex("2×9\\.81×([0-9.]+)</span><span>([0-9.]+)<sup>2</sup>"
                                     "</span></span> = ([0-9.]+)"))) {
      const double loss = std::stod(m[1]), v = std::stod(m[2]);
      EXPECT_EQ(calc::formatFixed(2 * 9.81 * loss / (v * v), 1), m[3].str());
    }
  }
}

// The elevation axis: a tick every 10 m, or at a rounder step, never more than 51 whatever
// the span a file gives.
TEST(SheetTest, ElevationAxisTicksAreBounded) {
  const auto project = files::loadProject(HYDRANT_EXAMPLE);
  ASSERT_TRUE(project.ok());
  const struct {
    double pumpElevation;
    int ticks;
  } rows[] = {{-4, 8}, {-400, 48}, {-4e7, 41}, {-1e308, 11}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.pumpElevation);
    calc::SystemInputs in = project.value().inputs;
    in.pumpElevation = row.pumpElevation;
    const auto html = sheet::makeSystemSheet(in, {});
    ASSERT_TRUE(html.ok()) << html.error().message;
    std::size_t ticks = 0;
    for (std::size_t at = 0;
         (at = html.value().find("<line x1=\"596.00\"", at)) != std::string::npos; ++at)
      ++ticks;
    EXPECT_EQ(ticks, row.ticks);
  }
}

}  // namespace
