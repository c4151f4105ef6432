#pragma once
// The title block a drawing office puts on every calculation sheet, and one table of its
// fields. The command line's options, the project file's [project] keys, both sheet dialogs
// and both sheets are all made from kTitleFields, so a field is one row here.

#include <span>
#include <string>
#include <string_view>

namespace calc {

// Each field may be empty.
struct TitleBlock {
  std::string project;        // 工程名称
  std::string organization;   // 设计单位
  std::string projectNumber;  // 工程编号
  std::string subproject;     // 子项
  std::string stage;          // 设计阶段
  std::string sheetNumber;    // 计算书编号
  std::string revision;       // 版次
  std::string designer;       // 设计
  std::string checker;        // 校对
  std::string reviewer;       // 审核
  std::string approver;       // 审定
  bool operator==(const TitleBlock&) const = default;
};

struct TitleField {
  std::string_view name;     // the dialogs' object name
  std::string_view caption;  // the sheet's cell
  std::string_view label;    // the dialogs' and the project form's label
  std::string_view option;   // the command line's option
  std::string_view tomlKey;  // the key in the project file's [project]
  std::string_view value;    // what the command line's help calls the value
  std::string_view help;     // the command line's help
  std::string TitleBlock::*member;
  // A signature: one of the sheet's signature cells rather than a line of the block.
  bool signs = false;
};

// In the order the dialogs, the help and the project file list them.
inline constexpr TitleField kTitleFields[] = {
    {"project", "工程名称", "工程名称", "--project", "name", "名称",
     "工程名称（计算书标题栏，以下各项均可不填）", &TitleBlock::project},
    {"organization", "设计单位", "设计单位", "--organization", "organization", "单位", "设计单位",
     &TitleBlock::organization},
    {"projectNumber", "工程编号", "工程编号", "--project-number", "number", "编号", "工程编号",
     &TitleBlock::projectNumber},
    {"subproject", "子项", "子项", "--subproject", "subproject", "子项", "子项名称",
     &TitleBlock::subproject},
    {"stage", "设计阶段", "设计阶段", "--stage", "stage", "阶段", "设计阶段（如 施工图）",
     &TitleBlock::stage},
    {"sheetNumber", "计算书编号", "计算书编号", "--sheet-number", "sheet_number", "编号",
     "计算书编号", &TitleBlock::sheetNumber},
    {"revision", "版次", "版次", "--revision", "revision", "版次", "版次（如 A）",
     &TitleBlock::revision},
    {"designer", "设计", "设计人", "--designer", "designer", "姓名", "设计人",
     &TitleBlock::designer, true},
    {"checker", "校对", "校对人", "--checker", "checker", "姓名", "校对人", &TitleBlock::checker,
     true},
    {"reviewer", "审核", "审核人", "--reviewer", "reviewer", "姓名", "审核人",
     &TitleBlock::reviewer, true},
    {"approver", "审定", "审定人", "--approver", "approver", "姓名", "审定人",
     &TitleBlock::approver, true},
};

// `base` with every non-empty field of `over` in its place: the command line over the
// project file.
inline TitleBlock overlaid(TitleBlock base, const TitleBlock& over) {
  for (const TitleField& field : kTitleFields) {
    if (!(over.*field.member).empty()) base.*field.member = over.*field.member;
  }
  return base;
}

}  // namespace calc
