#pragma once
// The menu bar above the form, one table for both toolkits. To add an entry: a command, its
// row in a menu below, its case in raiseMenuCommand and its handler in FormEvents; the
// adapters build their menu bars and shortcuts from the table and need no change.

#include <span>
#include <string_view>

#include "ui/window.h"

namespace ui {

enum class MenuCommand { Sheet, Exit, Manual, About, System };

struct MenuItem {
  MenuCommand command;
  std::string_view text;      // "&" marks the mnemonic, as both toolkits read it
  std::string_view shortcut;  // "Ctrl+<letter>", "F<n>" or empty
  bool separatorBefore = false;
};

struct Menu {
  std::string_view title;
  std::span<const MenuItem> items;
};

inline constexpr MenuItem kFileMenu[] = {
    {MenuCommand::Sheet, "生成计算书(&R)…", "Ctrl+P"},
    {MenuCommand::System, "系统计算(&S)…", "Ctrl+M"},
    {MenuCommand::Exit, "退出(&X)", "", true},
};
inline constexpr MenuItem kHelpMenu[] = {
    {MenuCommand::Manual, "使用说明(&H)", "F1"},
    {MenuCommand::About, "关于(&A)…", ""},
};
inline constexpr Menu kMainMenu[] = {
    {"文件(&F)", kFileMenu},
    {"帮助(&H)", kHelpMenu},
};

// The Win32 command ID of an entry, sent by the menu bar and the accelerator table alike;
// below the controls' IDs (1000 + tab position) and above IDOK and IDCANCEL.
inline constexpr int kFirstMenuCommandId = 100;
constexpr int menuCommandId(MenuCommand command) {
  return kFirstMenuCommandId + static_cast<int>(command);
}

inline void raiseMenuCommand(FormEvents& events, MenuCommand command) {
  switch (command) {
    case MenuCommand::Sheet:
      return events.mnuSheet_Click();
    case MenuCommand::Exit:
      return events.mnuExit_Click();
    case MenuCommand::Manual:
      return events.mnuManual_Click();
    case MenuCommand::About:
      return events.mnuAbout_Click();
    case MenuCommand::System:
      return events.mnuSystem_Click();
  }
}

}  // namespace ui
