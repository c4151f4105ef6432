// hydrant-calc.exe: Form1 on the Win32 adapter with the same handlers as on Linux.

#include <windows.h>

#include <commctrl.h>

#include "ui/form1.h"
#include "ui/win32/win32_window.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  // The visual-styles controls of Common Controls 6 (the manifest asks for them), the status
  // bars and the tooltips.
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  ui::Win32Window window(instance);
  ui::Form1 form(window);
  form.Form_Load();
  window.show(showCommand);
  return window.run();
}
