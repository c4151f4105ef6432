// Form1's handlers on a fake window: the load, the hose selection, the results and the width
// warning, and the option buttons. What the user sees on the real widgets is in
// qt_window_test.cpp.

#include "ui/form1.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "calc/entries.h"
#include "calc/run.h"
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
  EXPECT_EQ(form.state().hoseSelection, (calc::HoseSelection{"0.01501", "麻质", "50"}));
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
    EXPECT_EQ(form.state().hoseSelection[0], r.text2);
  }
}

// The example (water column 10), then the same with a width: every result text, the spacing
// emptied when the width is too large, and the box after the last text so the user sees the
// results behind it. How a width compares with the radius is the run's test.
TEST(Form1Test, ResultsOfTheExampleAndTheWidthWarningAfterThem) {
  // clang-format off
  const struct { const char* width; const char* spacing; bool warns; } rows[] = {
      {"10", "20.82", false}, {"30", "", true}, {"23.09", "0.68", false},
      {"12m", "19.74", false}, {"", "20.82", false}};
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
    EXPECT_EQ(results, (Strings{"", "21.96(mH2o)", "4.62(l/s)", "1.20", "0.0097", "1.576", "13.55",
                                "6.41", "23.10", r.spacing}));
    EXPECT_EQ(window.messages, r.warns ? Strings{calc::kWidthTooLargeMessage} : Strings{});
    EXPECT_EQ(window.log.back().starts_with("message "), r.warns) << window.log.back();
  }
}

const ControlId kResults[] = {{"Text1", 0}, {"Text1", 1}, {"Text1", 2}, {"Text3"},    {"Text4"},
                              {"Text5"},    {"Text6"},    {"Text7"},    {"Text8", 0}, {"Text8", 1}};

Strings resultTexts(const FakeWindow& window) {
  Strings texts;
  for (ControlId id : kResults) texts.push_back(window.text(id));
  return texts;
}

// Every kind of entry change greys every result and blanks the status bar until the next run;
// before the first run there is nothing to grey.
TEST(Form1Test, ResultsGreyedFromAnEntryChangeUntilTheNextRun) {
  const std::pair<const char*, std::function<void(FakeWindow&, Form1&)>> changes[] = {
      {"typed", [](FakeWindow& w, Form1&) { w.userTypes(0, "25"); }},
      {"chosen", [](FakeWindow&, Form1& f) { f.Combo1_Click(3); }},
      {"width", [](FakeWindow& w, Form1&) { w.userEdits({"Text9"}, "12"); }},
      {"mode", [](FakeWindow& w, Form1& f) { w.selectOption(1), f.Option1_Click(1); }},
  };
  const auto dimmed = [](const FakeWindow& window) {
    std::vector<bool> shown;
    for (ControlId id : kResults) shown.push_back(window.get(id).dimmed);
    return shown;
  };
  const std::vector<bool> none(std::size(kResults), false), all(std::size(kResults), true);
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    FakeWindow window;
    Form1 form(window);
    form.Form_Load();
    change(window, form);
    EXPECT_EQ(dimmed(window), none);
    window.userEdits({"Text9"}, "10");
    form.Command1_Click();
    const Strings results = resultTexts(window);
    EXPECT_NE(window.status.first, "");
    change(window, form);
    EXPECT_EQ(dimmed(window), all);
    EXPECT_EQ(resultTexts(window), results);
    EXPECT_EQ(window.status, (std::pair<std::string, std::string>{}));
    form.Command1_Click();
    EXPECT_EQ(dimmed(window), none);
    EXPECT_NE(window.status.first, "");
  }
}

// After the example, entries typed, then 计 算: the status bar's design point and worst
// verdict (the occupancy from the water column, 13 m: high), or a refusal that changes no result
// and blanks the status bar. Refused are also what the run would take silently: a hose pair the
// table lacks ("hose": the sheet's and the command line's refusal for it), which would keep the
// previous coefficient, and a width of no number, which would count as 0; the bounds' other
// side still runs.
TEST(Form1Test, StatusBarAfterEachRunBlankAfterARefusal) {
  const std::string fails = "校核：1 项不满足（7.4.2-2 水带）— Ctrl+P 生成计算书查看";
  const std::string example = "设计点：栓口动压 0.254 MPa，5.00 L/s（GB 50974 表 3.5.2）";
  const std::string width = "最大保护宽度“%”不是有效的数字，请输入不小于 0 的宽度（m），如 10。";
  const auto noWidth = [&](const char* typed) {
    return std::string(width).replace(width.find('%'), 1, typed);
  };
  // clang-format off
  const struct { std::vector<std::pair<int, std::string>> typed; std::string width, message, point, checks; } rows[] = {
      {{}, "10", "", example, fails},
      {{{1, "衬胶"}, {2, "65"}, {0, "25"}, {5, "13"}}, "10", "", "设计点：栓口动压 0.350 MPa，6.98 L/s（GB 50974 第 7.4.12 条）",
       "校核：1 项注意（7.4.12-2 栓口动压）— Ctrl+P 生成计算书查看"},
      {{{2, "65"}, {5, "13"}}, "30", calc::kWidthTooLargeMessage, "设计点：栓口动压 0.350 MPa，6.77 L/s（GB 50974 第 7.4.12 条）",
       "校核：2 项不满足（7.4.6 间距、7.4.2-2 水带）— Ctrl+P 生成计算书查看"},
      {{{1, "衬胶"}, {2, "65"}, {0, "25"}, {5, "7"}}, "10", "", "设计点：栓口动压 0.250 MPa，5.83 L/s（GB 50974 第 7.4.12 条）",
       "校核：3 项注意（7.4.12-2 充实水柱、7.4.12-2 栓口动压、3.5.2 出水量）— Ctrl+P 生成计算书查看"},
      {{{0, "1000"}}, "10", "", "设计点：栓口动压 3.931 MPa，5.00 L/s（GB 50974 表 3.5.2）",
       "校核：2 项不满足（7.4.12-1 栓口动压、7.4.2-2 水带）— Ctrl+P 生成计算书查看"},
      {{}, "１０米", "", example, fails},
      {{}, ".5m", "", example, fails},
      {{{5, "1a"}}, "10", "充实水柱长度“1a”不是有效的数字，请输入不小于 0 的长度（m），如 7、10 或 13。", "", ""},
      {{{2, "40"}}, "10", "hose", "", ""},
      {{{1, "橡胶"}}, "10", "hose", "", ""},
      {{{0, "1000.5"}}, "10", "水龙带长度“1000.5”超过 1000 m，请输入不大于 1000 的长度（m），如 20 或 25。", "", ""},
      {{}, "abc", noWidth("abc"), "", ""},
      {{}, " ", noWidth(" "), "", ""},
      {{}, "米10", noWidth("米10"), "", ""},
  };
  // clang-format on
  for (const auto& r : rows) {
    SCOPED_TRACE(r.message + r.width);
    FakeWindow window;
    Form1 form(window);
    form.Form_Load();
    window.userEdits({"Text9"}, "10");
    form.Command1_Click();
    const Strings before = resultTexts(window);
    for (const auto& [combo, typed] : r.typed) window.userTypes(combo, typed);
    window.userEdits({"Text9"}, r.width);
    form.Command1_Click();
    EXPECT_EQ(window.status, std::make_pair(r.point, r.checks));
    calc::Entries hose;
    hose.material = window.text({"Combo1", 1});
    hose.hoseDiameter = window.text({"Combo1", 2});
    const auto refusal = calc::calculate(hose).outputs.error;
    const std::string message = r.message == "hose" && refusal ? refusal->message : r.message;
    EXPECT_EQ(window.messages, message.empty() ? Strings{} : Strings{message});
    if (r.point.empty()) {
      EXPECT_EQ(resultTexts(window), before);
    }
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
