#pragma once
// Control IDs of the 消火栓系统计算 dialog, for the Win32 adapter and the Wine test. The entries
// follow ui::systemFields(): the field at index i has the ID kSysFieldBase + i and its label
// kSysLabelBase + i, the group box at index g of ui::systemGroups() kSysGroupBase + g, so a new
// key needs nothing here. The buttons, the result line and the two lists keep fixed IDs.

#include <string_view>

#include "ui/system_form.h"

namespace ui::win32 {

inline constexpr int kSysFieldBase = 4001;
inline constexpr int kSysLabelBase = 5001;
inline constexpr int kSysGroupBase = 3201;

inline constexpr int kSysCalculate = 3101;  // 计 算, the default button: Enter
inline constexpr int kSysOpen = 3102;       // 打开…
inline constexpr int kSysSave = 3103;       // 保存…
inline constexpr int kSysSheet = 3104;  // 生成计算书…; 关闭 is IDCANCEL (2), which Esc also sends
inline constexpr int kSysSummary = 3110;  // the result line
inline constexpr int kSysFloors = 3111;   // the floor grid, top floor first
inline constexpr int kSysChecks = 3112;   // the check list: 条文, 结论, 说明
inline constexpr int kSysResults = 3113;  // the group box 计算结果
inline constexpr int kSysPages = 3114;    // the tab control over ui::systemPages()
// The form's 文件 menu.
inline constexpr int kSysMenuOpen = 3121;     // 打开…
inline constexpr int kSysMenuExample = 3122;  // 打开示例
inline constexpr int kSysMenuSave = 3123;     // 保存…
inline constexpr int kSysMenuSheet = 3124;    // 生成计算书…
inline constexpr int kSysMenuExit = 3125;     // 退出: closes the form

// The ID of the entry or check box of a project key ("riser.dn") or section ("tank"); 0 for
// none.
inline int systemFieldId(std::string_view key) {
  const std::span<const SystemField> fields = systemFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].key == key) return kSysFieldBase + static_cast<int>(i);
  }
  return 0;
}

// The field of an ID, or nothing.
inline const SystemField* systemFieldOfId(int id) {
  const std::span<const SystemField> fields = systemFields();
  const int index = id - kSysFieldBase;
  if (index < 0 || index >= static_cast<int>(fields.size())) return nullptr;
  return &fields[static_cast<std::size_t>(index)];
}

}  // namespace ui::win32
