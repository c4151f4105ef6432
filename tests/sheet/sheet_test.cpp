// The sheet's steps for each direction and its escaping. How it prints is checked in a
// browser by browser_sheet.sh, the file writing through the window's handler.

#include <gtest/gtest.h>

#include "sheet/calc_sheet.h"

namespace {

using Strings = std::vector<std::string>;

TEST(SheetTest, EachDirectionShowsItsOwnSteps) {
  const struct {
    std::optional<std::string> flow;
    std::optional<double> pressure;
    int streams;
    const char* width;
    Strings present, absent;
  } cases[] = {
      // clang-format off
      {{}, {}, 2, "10", {"= 13.55 + 6.41 + 2", "21.96 m<br>0.2196 MPa", "20.82 m"}, {"整米", "100×"}},
      // The outlet pressure as the design check forms it for the same flow: 25.37, not the
      // 25.38 of a hose loss kept to 0.01 m.
      {"5", {}, 2, "", {"按整米试算", "<span>5<sup>2</sup>", "25.37 m<br>0.2537 MPa"}, {"1 − 0.0097"}},
      {{}, 0.3, 2, "", {"= 100×0.3", "30.00 m", "二分法求解"}, {"整米", "4.62"}},
      // One stream covers twice the distance; the width is shown as typed, its bytes made good.
      {{}, {}, 1, "10\xff", {"41.65 m", "S</i> = 2√", "10\uFFFD m"}, {"20.82 m"}},
      {{}, {}, 2, "30<i>", {"保护宽度过大", "30&lt;i&gt; m"}, {"30<i>", "NaN", "nan"}},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.present.front());
    sheet::SheetRequest request;
    request.entries.flow = c.flow;
    request.entries.width = c.width;
    request.design.pressureMPa = c.pressure;
    request.design.streams = c.streams;
    const auto html = sheet::makeSheet(request);
    ASSERT_TRUE(html.ok());
    for (const std::string& s : c.present) EXPECT_NE(html.value().find(s), std::string::npos) << s;
    for (const std::string& s : c.absent) EXPECT_EQ(html.value().find(s), std::string::npos) << s;
  }
}

}  // namespace
