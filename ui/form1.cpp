#include "ui/form1.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "calc/hydraulics.h"
#include "files/safe_file.h"
#include "sheet/calc_sheet.h"
#include "ui/system_form.h"

namespace ui {
namespace {

ControlId combo(int index) { return {"Combo1", index}; }

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

Form1::Form1(Window& window) : window_(window), systemEntries_(defaultSystemEntries()) {
  window_.connect(*this);
}

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
  state_.hoseSelection[0] = calc::numberToText(0.01501);
  for (ControlId id : {ControlId{"Text1", 0}, ControlId{"Text1", 1}, ControlId{"Text1", 2},
                       ControlId{"Text8", 0}, ControlId{"Text8", 1}, ControlId{"Text9"}}) {
    window_.setText(id, "");
  }
}

void Form1::Option1_Click(int /*index*/) {
  if (window_.isOptionSelected({"Option1", 0})) {  // flow given
    window_.setEnabled(combo(4), true);
    window_.setEnabled(combo(5), false);
  }
  if (window_.isOptionSelected({"Option1", 1})) {  // water column given
    window_.setEnabled(combo(5), true);
    window_.setEnabled(combo(4), false);
  }
}

void Form1::Combo1_Change(int /*index*/) { followHoseSelection(); }

void Form1::Combo1_Click(int /*index*/) { followHoseSelection(); }

void Form1::followHoseSelection() {
  state_.hoseSelection[1] = window_.text(combo(1));
  state_.hoseSelection[2] = window_.text(combo(2));
  calc::updateHoseResistance(state_.hoseSelection);
  window_.setText({"Text2"}, state_.hoseSelection[0]);
}

void Form1::Command1_Click() {
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
    // A failed run produced nothing else: the window stays exactly as it was.
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

  sheet::SheetRequest request;
  request.entries = entries();
  request.design.occupancy = options.occupancy;
  request.design.streams = options.streams;
  request.design.minFlow = options.minFlow;
  request.project = options.project;
  request.projectNumber = options.projectNumber;
  request.subproject = options.subproject;
  request.stage = options.stage;
  request.sheetNumber = options.sheetNumber;
  request.revision = options.revision;
  request.designer = options.designer;
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

// The hydrant is always the window's current one; everything else is what the form showed
// when it was last closed, or the worked example.
void Form1::mnuSystem_Click() {
  SystemEntries entries = systemEntries_;
  takeHydrantEntries(this->entries(), entries);
  window_.runSystemForm(entries);
  systemEntries_ = std::move(entries);
}

}  // namespace ui
