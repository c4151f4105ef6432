// Waits until a top-level window of a class is open, or until none is: the installer check
// starts hydrant-calc.exe and must know its window exists before it uninstalls. `close` asks
// the window to close (WM_CLOSE, as its close button does) and waits until it is gone;
// `press:ID` waits for a window that takes input (visible, not disabled under a box of its
// own) with an enabled control ID and clicks it, so the setup's page, the box it asks over it
// and the program's own question are told apart; `command:ID` sends a menu command;
// `text:ID:TEXT` types TEXT into control ID (its owner sees a change, as from the user).
// TITLE picks windows whose caption ends with it ("* - 消火栓系统计算": the system form with
// unsaved changes).
//   wait_window.exe CLASS open|closed|close|press:ID|command:ID|text:ID:TEXT SECONDS [TITLE]
// Exit status 0 when the state was reached in time, 1 when not, 2 on a usage error.
#include <windows.h>

#include <cwchar>
#include <string_view>

// The topmost window of the class whose caption ends with `title`; with `id`, one where
// control `id` takes input.
static HWND find(const wchar_t* className, std::wstring_view title, int id) {
  for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w;
       w = FindWindowExW(nullptr, w, className, nullptr)) {
    wchar_t caption[512] = L"";
    GetWindowTextW(w, caption, 512);
    if (!std::wstring_view(caption).ends_with(title)) continue;
    const HWND control = GetDlgItem(w, id);
    if (id == 0 || (IsWindowVisible(w) && IsWindowEnabled(w) && IsWindowEnabled(control))) return w;
  }
  return nullptr;
}

int wmain(int argc, wchar_t** argv) {
  if (argc != 4 && argc != 5) return 2;
  const std::wstring_view title = argc == 5 ? argv[4] : L"", action = argv[2];
  const bool wantOpen = action == L"open", close = action == L"close";
  const bool press = action.starts_with(L"press:"), type = action.starts_with(L"text:");
  const bool command = action.starts_with(L"command:");
  if (!wantOpen && !close && !press && !command && !type && action != L"closed") return 2;
  wchar_t* rest = nullptr;
  const int id = press || command || type
                     ? static_cast<int>(std::wcstoul(argv[2] + action.find(L':') + 1, &rest, 10))
                     : 0;
  if (type && *rest != L':') return 2;
  if (close) {
    if (const HWND window = find(argv[1], title, 0)) PostMessageW(window, WM_CLOSE, 0, 0);
  }
  const ULONGLONG deadline = GetTickCount64() + 1000ull * std::wcstoul(argv[3], nullptr, 10);
  do {
    const HWND window = find(argv[1], title, press || type ? id : 0);
    if (type && window) {
      const LPARAM text = reinterpret_cast<LPARAM>(rest + 1);
      return SendMessageW(GetDlgItem(window, id), WM_SETTEXT, 0, text) ? 0 : 1;
    }
    if ((press || command) && window && IsWindowVisible(window)) {
      PostMessageW(window, WM_COMMAND, id, reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
      return 0;
    }
    if (!press && !command && !type && (window != nullptr) == wantOpen) return 0;
    Sleep(50);
  } while (GetTickCount64() < deadline);
  return 1;
}
