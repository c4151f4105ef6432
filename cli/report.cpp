#include "cli/report.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "sheet/sheet_file.h"

namespace cli {

namespace {

// The title block's options and where each value goes.
struct TitleOption {
  std::string_view name;
  std::string ReportOptions::*field;
};
constexpr TitleOption kTitleOptions[] = {
    {"--project", &ReportOptions::project},
    {"--project-number", &ReportOptions::projectNumber},
    {"--subproject", &ReportOptions::subproject},
    {"--stage", &ReportOptions::stage},
    {"--sheet-number", &ReportOptions::sheetNumber},
    {"--revision", &ReportOptions::revision},
    {"--designer", &ReportOptions::designer},
};

}  // namespace

std::variant<ReportOptions, UsageError> takeReportOptions(std::vector<std::string>& args) {
  ReportOptions report;
  std::vector<std::string> rest;
  bool titleGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::size_t eq = arg.find('=');
    const std::string_view name = std::string_view(arg).substr(0, eq);
    const auto title = std::find_if(std::begin(kTitleOptions), std::end(kTitleOptions),
                                    [name](const TitleOption& o) { return o.name == name; });
    if (title == std::end(kTitleOptions) && name != "--report" && name != "--date") {
      rest.push_back(arg);
      continue;
    }
    auto taken = optionValue(args, i);
    if (auto* error = std::get_if<UsageError>(&taken)) return *error;
    std::string value = std::move(std::get<std::string>(taken));
    if (name == "--report") {
      if (value.empty()) return UsageError{"--report 需要文件名（或 - 表示标准输出）"};
      report.path = value;
    } else if (name == "--date") {
      report.date = std::move(value);
      titleGiven = true;
    } else {
      report.*(title->field) = std::move(value);
      titleGiven = true;
    }
  }
  if (!report.path && titleGiven) {
    return UsageError{
        "--project、--project-number、--subproject、--stage、--sheet-number、--revision、"
        "--designer、--date 只用于计算书，须与 --report 同用"};
  }
  args = std::move(rest);
  return report;
}

Printed writeReport(const ReportOptions& report, sheet::SheetRequest request) {
  request.project = report.project;
  request.projectNumber = report.projectNumber;
  request.subproject = report.subproject;
  request.stage = report.stage;
  request.sheetNumber = report.sheetNumber;
  request.revision = report.revision;
  request.designer = report.designer;
  request.date = report.date.value_or(sheet::todayText());
  const calc::Result<std::string> html = sheet::makeSheet(request);
  Printed printed;
  if (!html.ok()) {
    printed.err = html.error().message + "\n";
    printed.status = kExitCalcFailed;
  } else if (*report.path == "-") {
    printed.out = html.value();
  } else if (const auto reason = sheet::writeFileAtomically(*report.path, html.value())) {
    printed.err = *reason + "\n";
    printed.status = kExitWriteFailed;
  }
  return printed;
}

std::string reportHelp() {
  return "\n"
         "计算书（HTML，可打印为 A4）：\n"
         "  --report 文件          "
         "写出室内消火栓水力计算书（含计算简图、计算过程、规范校核与设计工况）；\n"
         "                         - 表示写到标准输出。文件先写临时文件再改名，失败时不留残缺文件\n"
         "  --project 名称         工程名称（计算书标题栏，以下各项均可不填）\n"
         "  --project-number 编号  工程编号\n"
         "  --subproject 子项      子项名称\n"
         "  --stage 阶段           设计阶段（如 施工图）\n"
         "  --sheet-number 编号    计算书编号\n"
         "  --revision 版次        版次（如 A）\n"
         "  --designer 姓名        设计人\n"
         "  --date 日期            日期，默认今天（如 2026年12月6日）\n"
         "  --occupancy、--streams、--min-flow、--pressure 同样作用于计算书。\n"
         "  计算书无法写入时退出状态为 1，原因见标准错误输出。\n";
}

}  // namespace cli
