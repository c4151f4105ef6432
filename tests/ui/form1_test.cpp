// Form1's handlers on a fake window: the load, the hose selection, the results and the width
// warning, and the option buttons. What the user sees on the real widgets is in
// qt_window_test.cpp.

#include "ui/form1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/run.h"
#include "tests/example_result.h"
#include "tests/ui/fake_window.h"

namespace ui::test {
namespace {

using Strings = std::vector<std::string>;

TEST(Form1Test, LoadFillsEachListOnceAfterItsTextAndEmptiesTheResults) {
  FakeWindow window;
  Form1 form(window);
  form.Form_Load();
  // clang-format off
  const struct { int combo; const char* text; Strings list; } combos[] = {
      {0, "20", {"20", "25"}},        {1, "麻质", {"麻质", "衬胶"}},  {2, "50", {"50", "65", "80"}},
      {3, "19", {"13", "16", "19"}},  {4, "2.5", {"2.5", "5", "10"}}, {5, "10", {"7", "10", "13"}}};
  // clang-format on
  for (const auto& c : combos) {
    SCOPED_TRACE(c.combo);
    const FakeWindow::Control& box = window.get({"Combo1", c.combo});
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.items, c.list);
    EXPECT_EQ(box.itemsWhenTextSet, 0u);
  }
  for (ControlId result : {ControlId{"Text1", 0}, ControlId{"Text1", 1}, ControlId{"Text1", 2},
                           ControlId{"Text8", 0}, ControlId{"Text8", 1}, ControlId{"Text9"}}) {
    EXPECT_EQ(window.text(result), "") << result.name << result.index;
  }
  EXPECT_EQ(window.text({"Text2"}), "0.01501");
  EXPECT_EQ(form.state().hoseSelection, (calc::HoseSelection{0.01501, "0.01501", "麻质", "50"}));
}

TEST(Form1Test, Text2FollowsTheHoseTable) {
  // Which rows the table holds is the hose table's test; here: typing into either box, in
  // either order, texts that match no row, and a box that is no hose box.
  const struct {
    std::vector<std::pair<int, std::string>> typed;  // (combo index, text) in order
    const char* text2;
  } rows[] = {
      {{{1, "衬胶"}, {2, "65"}}, "0.00172"}, {{{2, "80"}, {1, "衬胶"}}, "0.00075"},
      {{{2, "7"}, {2, "70"}}, "0.01501"},    {{{1, "衬胶"}, {2, "65"}, {2, "70"}}, "0.00172"},
      {{{1, "橡胶"}, {2, "80"}}, "0.01501"}, {{{2, "65"}, {3, "13"}}, "0.0043"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(&r - rows);
    FakeWindow window;
    Form1 form(window);
    form.Form_Load();
    for (const auto& [combo, typed] : r.typed) window.userTypes(combo, typed);
    EXPECT_EQ(window.text({"Text2"}), r.text2);
    EXPECT_EQ(form.state().hoseSelection.coefficientText, r.text2);
  }
}

// The example (water column 10), then the same with a width: every result text, the spacing
// kept when the width is too large, and the box after the last text so the user sees the
// results behind it. How a width compares with the radius is the run's test.
TEST(Form1Test, ResultsOfTheExampleAndTheWidthWarningAfterThem) {
  // clang-format off
  const struct { const char* width; const char* spacing; bool warns; } rows[] = {
      {"10", example::kSpacing.data(), false}, {"30", example::kSpacing.data(), true}, {"23.09", "0.68", false},
      {"12m", "19.74", false}, {"", example::kSpacing.data(), false}};
  // clang-format on
  for (const auto& r : rows) {
    SCOPED_TRACE(r.width);
    FakeWindow window;
    Form1 form(window);
    form.Form_Load();
    for (const char* width : {"10", r.width}) {
      window.userEdits({"Text9"}, width);
      form.Command1_Click();
    }
    Strings results;  // Text1(0) is the flow-given mode's output: not produced
    for (ControlId id :
         {ControlId{"Text1", 0}, ControlId{"Text1", 1}, ControlId{"Text1", 2}, ControlId{"Text3"},
          ControlId{"Text4"}, ControlId{"Text5"}, ControlId{"Text6"}, ControlId{"Text7"},
          ControlId{"Text8", 0}, ControlId{"Text8", 1}}) {
      results.push_back(window.text(id));
    }
    EXPECT_EQ(results, (Strings{"", std::string(example::kOutletPressure),
                                std::string(example::kFlow), "1.20", "0.0097", "1.576", "13.55",
                                "6.41", std::string(example::kRadius), r.spacing}));
    EXPECT_EQ(window.messages, r.warns ? Strings{calc::kWidthTooLargeMessage} : Strings{});
    EXPECT_EQ(window.log.back().starts_with("message "), r.warns) << window.log.back();
  }
}

TEST(Form1Test, OptionButtonEnablesTheBoxOfTheSelectedMode) {
  FakeWindow window;
  Form1 form(window);
  form.Form_Load();
  for (int mode : {1, 0, 1}) {  // 0: flow given (Combo1(4)), 1: water column given (Combo1(5))
    window.selectOption(mode);
    form.Option1_Click(mode);
    EXPECT_EQ(window.get({"Combo1", 4}).enabled, mode == 0) << mode;
    EXPECT_EQ(window.get({"Combo1", 5}).enabled, mode == 1) << mode;
  }
}

}  // namespace
}  // namespace ui::test
