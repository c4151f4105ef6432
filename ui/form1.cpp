#include "ui/form1.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "calc/design_check.h"
#include "calc/hydraulics.h"
#include "calc/run_errors.h"
#include "files/safe_file.h"
#include "sheet/calc_sheet.h"
#include "ui/system_form.h"

namespace ui {
namespace {

ControlId combo(int index) { return {"Combo1", index}; }

// The boxes a run writes, in the order it produces them.
constexpr ControlId kResultBoxes[] = {
    {"Text1", 0}, {"Text1", 2}, {"Text4"},    {"Text3"},    {"Text5"},
    {"Text6"},    {"Text7"},    {"Text1", 1}, {"Text8", 0}, {"Text8", 1},
};

// A sanity bound on the hose, not a clause: no hydrant feeds a kilometre of it.
constexpr double kLongestHose = 1000;

// Whether the text begins with a number as the run reads a width ("12m", "１０米"): some
// prefix of it parses. A leading number is never longer than the bytes looked at.
bool startsWithNumber(std::string_view text) {
  for (std::size_t n = std::min<std::size_t>(text.size(), 64); n > 0; --n) {
    if (calc::parseNumber(text.substr(0, n))) return true;
  }
  return false;
}

// What a check is about, in the status bar's few words.
std::string_view checkSubject(std::string_view id) {
  constexpr std::pair<std::string_view, std::string_view> subjects[] = {
      {"waterColumn", "充实水柱"}, {"minPressure", "栓口动压"}, {"maxPressure", "栓口动压"},
      {"minFlow", "出水量"},       {"spacing", "间距"},         {"hose", "水带"},
      {"nozzle", "水枪"},          {"streams", "股数"},
  };
  for (const auto& [key, subject] : subjects) {
    if (key == id) return subject;
  }
  return id;
}

// "校核：1 项不满足（7.4.2-2 水带）— …" for the worst verdict the checks reach.
std::string checkLine(const std::vector<calc::DesignCheck>& checks) {
  for (calc::Verdict worst : {calc::Verdict::Fail, calc::Verdict::Note, calc::Verdict::Advice}) {
    std::string which;
    int count = 0;
    for (const calc::DesignCheck& check : checks) {
      if (check.verdict != worst) continue;
      if (count++ > 0) which += "、";
      which += check.clause + " " + std::string(checkSubject(check.id));
    }
    if (count > 0) {
      return "校核：" + std::to_string(count) + " 项" + std::string(calc::verdictWords(worst)) +
             "（" + which + "）— Ctrl+P 生成计算书查看";
    }
  }
  return "校核：全部满足";
}

// The compiler's "Dec  7 2026" as "2026-12-07". Under SOURCE_DATE_EPOCH (Debian's builds) it
// is that date, so a rebuild gives the same program.
std::string buildDate() {
  constexpr std::string_view date = __DATE__;
  constexpr std::string_view months = "JanFebMarAprMayJunJulAugSepOctNovDec";
  const int month = static_cast<int>(months.find(date.substr(0, 3)) / 3) + 1;
  std::string day(date.substr(4, 2));
  if (day[0] == ' ') day[0] = '0';
  return std::string(date.substr(7, 4)) + (month < 10 ? "-0" : "-") + std::to_string(month) + "-" +
         day;
}

}  // namespace

std::vector<std::string> manualPlaces(const std::string& programFolder) {
  std::vector<std::string> places{programFolder + std::string(kManualFileName)};
#ifndef _WIN32
  places.push_back(std::string(kSystemDocFolder) + std::string(kManualFileName));
#endif
  return places;
}

std::string aboutText() {
  return std::string(kAppTitle) +
         "（hydrant-calc）\n"
         "室内消火栓水力计算\n"
         "版本 " HYDRANT_VERSION "，构建日期 " +
         buildDate() +
         "\n"
         "Copyright © 2026 hydrant-calc team，MIT（Expat）许可证\n"
         "\n"
         "程序校核结果供设计人复核；本计算书经设计、校对、审核签署后有效。";
}

Form1::Form1(Window& window) : window_(window) { window_.connect(*this); }

void Form1::Form_Load() {
  struct Fill {
    int index;
    std::string_view text;
    std::initializer_list<std::string_view> items;
  };
  // Text first (it raises the change, which follows the hose selection), then the list.
  const Fill fills[] = {
      {0, "20", {"20", "25"}},         // hose length, m
      {1, "麻质", {"麻质", "衬胶"}},   // hose material: linen, rubber-lined
      {2, "50", {"50", "65", "80"}},   // hose diameter, mm
      {3, "19", {"13", "16", "19"}},   // nozzle diameter, mm
      {4, "2.5", {"2.5", "5", "10"}},  // flow, l/s (flow-given mode)
      {5, "10", {"7", "10", "13"}},    // dense water column, m
  };
  for (const Fill& f : fills) {
    window_.setText(combo(f.index), f.text);
    for (std::string_view item : f.items) window_.appendItem(combo(f.index), item);
  }
  // Linen hose of 50 mm, the selection the boxes now show.
  state_.hoseSelection.coefficient = 0.01501;
  state_.hoseSelection.coefficientText = calc::numberToText(0.01501);
  for (ControlId id : {ControlId{"Text1", 0}, ControlId{"Text1", 1}, ControlId{"Text1", 2},
                       ControlId{"Text8", 0}, ControlId{"Text8", 1}, ControlId{"Text9"}}) {
    window_.setText(id, "");
  }
  // The sheet dialog offers the title block of the last sheet, from an earlier run too.
  sheetOptions_.title = window_.rememberedTitle();
}

void Form1::Option1_Click(int /*index*/) {
  entriesChanged();
  if (window_.isOptionSelected({"Option1", 0})) {  // flow given
    window_.setEnabled(combo(4), true);
    window_.setEnabled(combo(5), false);
  }
  if (window_.isOptionSelected({"Option1", 1})) {  // water column given
    window_.setEnabled(combo(5), true);
    window_.setEnabled(combo(4), false);
  }
}

void Form1::Combo1_Change(int /*index*/) {
  followHoseSelection();
  entriesChanged();
}

void Form1::Combo1_Click(int /*index*/) {
  followHoseSelection();
  entriesChanged();
}

void Form1::Text9_Change() { entriesChanged(); }

void Form1::entriesChanged() {
  if (!resultsShown_ || resultsStale_) return;
  resultsStale_ = true;
  for (const ControlId& id : kResultBoxes) window_.setDimmed(id, true);
  window_.setStatus("", "");
}

void Form1::followHoseSelection() {
  state_.hoseSelection.material = window_.text(combo(1));
  state_.hoseSelection.diameter = window_.text(combo(2));
  calc::updateHoseResistance(state_.hoseSelection);
  window_.setText({"Text2"}, state_.hoseSelection.coefficientText);
}

std::optional<std::string> Form1::refusal() const {
  const calc::Calculation hose = calc::calculate(entries());
  if (hose.outputs.error && hose.outputs.error->field == calc::kHosePairField) {
    return hose.outputs.error->message;
  }
  const std::string length = window_.text(combo(0));
  if (const auto metres = calc::parseNumber(length); metres && *metres > kLongestHose) {
    return std::string(calc::kHoseLengthField) + calc::errors::quoted(length) +
           "超过 1000 m，请输入不大于 1000 的长度（m），如 20 或 25。";
  }
  const std::string width = window_.text({"Text9"});
  if (!width.empty() && !startsWithNumber(width)) {
    return calc::errors::notANumber(calc::errors::Input::ProtectionWidth, width).message;
  }
  return std::nullopt;
}

void Form1::showDesignStatus() {
  const calc::Calculation calculation = calc::calculate(entries());
  if (calculation.outputs.error) return window_.setStatus("", "");
  calc::DesignSettings settings;
  // The group the entered water column stands for: 13 m is the high-rise group's.
  settings.occupancy =
      calculation.read.waterColumn >= 13 ? calc::Occupancy::High : calc::Occupancy::Other;
  const auto design = calc::checkDesign(calc::designInputs(calculation, settings));
  if (!design.ok()) return window_.setStatus("", "");
  const calc::ShownPoint point = calc::shownPoint(design.value().design);
  const bool byFlow = design.value().governedBy == calc::Governing::MinFlow;
  window_.setStatus("设计点：栓口动压 " + point.outletPressureMPa + " MPa，" + point.flow +
                        " L/s（GB 50974 " + (byFlow ? "表 3.5.2）" : "第 7.4.12 条）"),
                    checkLine(design.value().checks));
}

void Form1::Command1_Click() {
  if (const auto reason = refusal()) {
    window_.setStatus("", "");
    window_.showMessage(*reason);
    return;
  }
  calc::RunInputs in;
  in.givenFlowSelected = window_.isOptionSelected({"Option1", 0});
  in.givenWaterColumnSelected = window_.isOptionSelected({"Option1", 1});
  in.hoseLengthText = window_.text(combo(0));
  in.nozzleDiameterText = window_.text(combo(3));
  in.flowText = window_.text(combo(4));
  in.waterColumnText = window_.text(combo(5));
  in.protectionWidthText = window_.text({"Text9"});

  const calc::RunOutputs out = calc::runCalculation(in, state_);
  if (out.error) {
    // A failed run produced nothing else: the window stays as it was, the status bar blank.
    window_.setStatus("", "");
    window_.showMessage(out.error->message);
    return;
  }

  // In the order the run produces them: mode block, then the radius and the spacing.
  const std::pair<ControlId, const std::optional<std::string>&> writes[] = {
      {{"Text1", 0}, out.waterColumnOut},
      {{"Text1", 2}, out.flowOut},
      {{"Text4"}, out.phiOut},
      {{"Text3"}, out.alphaOut},
      {{"Text5"}, out.flowCoefficientOut},
      {{"Text6"}, out.nozzlePressureOut},
      {{"Text7"}, out.hoseLossOut},
      {{"Text1", 1}, out.outletPressureOut},
      {{"Text8", 0}, out.radiusOut},
      {{"Text8", 1}, out.spacingOut},
  };
  for (const auto& [id, value] : writes) {
    if (value) window_.setText(id, *value);
  }
  // The width is too large: the previous width's spacing is no spacing for this one.
  if (out.message) window_.setText({"Text8", 1}, "");
  if (resultsStale_) {
    for (const ControlId& id : kResultBoxes) window_.setDimmed(id, false);
  }
  resultsShown_ = true;
  resultsStale_ = false;
  showDesignStatus();
  if (out.message) window_.showMessage(*out.message);
}

calc::Entries Form1::entries() const {
  calc::Entries e;
  e.hoseLength = window_.text(combo(0));
  e.material = window_.text(combo(1));
  e.hoseDiameter = window_.text(combo(2));
  e.nozzle = window_.text(combo(3));
  if (window_.isOptionSelected({"Option1", 0})) e.flow = window_.text(combo(4));
  e.waterColumn = window_.text(combo(5));
  e.width = window_.text({"Text9"});
  return e;
}

// Works on a fresh calculation of its own: the window's entries, results and CalcState stay
// exactly as they are.
void Form1::mnuSheet_Click() {
  SheetOptions options = sheetOptions_;
  if (!window_.askSheetOptions(options)) return;
  sheetOptions_ = options;
  window_.rememberTitle(options.title);

  sheet::SheetRequest request;
  request.entries = entries();
  request.design.occupancy = options.occupancy;
  request.design.streams = options.streams;
  request.design.minFlow = options.minFlow;
  request.title = options.title;
  request.date = files::todayText();
  const calc::Result<std::string> html = sheet::makeSheet(request);
  if (!html.ok()) {
    window_.showMessage(html.error().message);
    return;
  }

  const std::optional<std::string> path = window_.askSavePath(kSheetFileName);
  if (!path) return;
  if (const auto reason = files::writeFileAtomically(*path, html.value())) {
    window_.showMessage(*reason);
    return;
  }
  if (window_.askYesNo("计算书已保存到“" + *path + "”。\n是否现在打开？")) window_.openFile(*path);
}

void Form1::mnuExit_Click() { window_.close(); }

// The first place that can be read; a box naming every place when there is none.
void Form1::mnuManual_Click() {
  const std::vector<std::string> places = manualPlaces(window_.programFolder());
  std::string tried;
  for (const std::string& place : places) {
    if (files::readWholeFile(place)) {
      window_.openFile(place);
      return;
    }
    tried += "\n" + place;
  }
  window_.showMessage("找不到使用说明，已查找：" + tried);
}

void Form1::mnuAbout_Click() { window_.showAbout(aboutText()); }

}  // namespace ui

namespace ui {

// The form shows the project it was left with, or the last project file used; a new project
// takes the window's current hydrant.
void Form1::mnuSystem_Click() {
  systemSession_.hydrant = entries();
  window_.runSystemForm(systemSession_);
}

}  // namespace ui
