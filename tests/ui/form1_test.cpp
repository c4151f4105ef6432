// Form1's handlers on a fake window, where the order of every call can be seen: the load
// sequence, the hose selection, the order of the result texts and the warning, and the
// option buttons. What the user sees on the real widgets is in qt_window_test.cpp.

#include "ui/form1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/run.h"
#include "tests/ui/fake_window.h"

namespace ui::test {
namespace {

using Strings = std::vector<std::string>;

class Form1Test : public ::testing::Test {
 protected:
  Form1Test() : form(window) {}

  void load() {
    form.Form_Load();
    window.log.clear();
  }
  std::string text(std::string_view name, int index = kNoIndex) {
    return window.text({name, index});
  }

  FakeWindow window;
  Form1 form;
};

TEST_F(Form1Test, LoadFillsEachBoxAndListAndLeavesTheResultsEmpty) {
  form.Form_Load();
  const struct {
    int combo;
    const char* text;
    Strings list;
  } combos[] = {{0, "20", {"20", "25"}},        {1, "麻质", {"麻质", "衬胶"}},
                {2, "50", {"50", "65", "80"}},  {3, "19", {"13", "16", "19"}},
                {4, "2.5", {"2.5", "5", "10"}}, {5, "10", {"7", "10", "13"}}};
  for (const auto& c : combos) {
    SCOPED_TRACE(c.combo);
    EXPECT_EQ(text("Combo1", c.combo), c.text);
    // A list filled twice, or before its text is set, shows as entries out of place.
    Strings appended;
    const std::string prefix = "append Combo1(" + std::to_string(c.combo) + ")=";
    for (const std::string& line : window.log) {
      if (line.starts_with(prefix)) appended.push_back(line.substr(prefix.size()));
    }
    EXPECT_EQ(appended, c.list);
  }
  for (const ControlId& result :
       {ControlId{"Text1", 0}, ControlId{"Text1", 1}, ControlId{"Text1", 2}, ControlId{"Text8", 0},
        ControlId{"Text8", 1}, ControlId{"Text9"}}) {
    EXPECT_EQ(window.text(result), "") << result.name << result.index;
  }
  EXPECT_EQ(text("Text2"), "0.01501");
  EXPECT_EQ(form.state().hoseSelection, (calc::HoseSelection{"0.01501", "麻质", "50"}));
}

TEST(Form1Hoses, Text2FollowsTheHoseTable) {
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
    EXPECT_EQ(form.state().hoseSelection[0], r.text2);
  }
}

TEST_F(Form1Test, ExampleWritesEveryResultInRunOrder) {
  load();
  window.userEdits({"Text9"}, "10");
  form.Command1_Click();
  const Strings expected = {
      "set Text1(2)=4.62(l/s)",   "set Text4=0.0097",   "set Text3=1.20",
      "set Text5=1.576",          "set Text6=13.55",    "set Text7=6.41",
      "set Text1(1)=21.96(mH2o)", "set Text8(0)=23.10", "set Text8(1)=20.82",
  };
  EXPECT_EQ(window.log, expected);
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(text("Text1", 0), "");  // flow-given output, not produced
}

TEST(Form1Width, SpacingOrWarningAfterARunWithTen) {
  // How a width compares with the radius is the run's test; here: what the window keeps,
  // and that the box comes after every result text.
  const struct {
    const char* width;
    const char* spacing;
    bool warns;
  } rows[] = {{"30", "20.82", true},
              {"23.09", "0.68", false},
              {"12m", "19.74", false},
              {"", "20.82", false}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.width);
    FakeWindow window;
    Form1 form(window);
    form.Form_Load();
    window.userEdits({"Text9"}, "10");
    form.Command1_Click();
    window.userEdits({"Text9"}, r.width);
    form.Command1_Click();
    EXPECT_EQ(window.text({"Text8", 1}), r.spacing);
    EXPECT_EQ(window.text({"Text8", 0}), "23.10");
    EXPECT_EQ(window.text({"Text1", 2}), "4.62(l/s)");
    EXPECT_EQ(window.messages, r.warns ? Strings{calc::kWidthTooLargeMessage} : Strings{});
    if (r.warns) {
      EXPECT_EQ(window.log.back(), std::string("message ") + calc::kWidthTooLargeMessage);
    }
  }
}

TEST_F(Form1Test, OptionClickEnablesTheBoxOfTheSelectedMode) {
  load();
  window.selectOption(0);
  form.Option1_Click(0);
  EXPECT_EQ(window.log, (Strings{"enable Combo1(4)=1", "enable Combo1(5)=0"}));

  window.log.clear();
  window.selectOption(1);
  form.Option1_Click(1);  // the index is not used: both buttons are examined
  EXPECT_EQ(window.log, (Strings{"enable Combo1(5)=1", "enable Combo1(4)=0"}));
}

}  // namespace
}  // namespace ui::test
