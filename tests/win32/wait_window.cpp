// Waits until a top-level window of a class is open, or until none is: the installer check
// starts hydrant-calc.exe and must know its window exists before it uninstalls. `close` asks
// the window to close (WM_CLOSE, as its close button does) and waits until it is gone;
// `press:ID` waits for a window that can take input (visible, enabled: not under a box of its
// own) with an enabled control ID and clicks it, so the setup's page, the box it asks over it and
// the program's own question are told apart; `command:ID` sends a menu command to the window;
// `text:ID:TEXT` types TEXT into its control ID (the owner sees a change, as from the user).
// TITLE, when given, picks windows whose caption ends with it ("* - 消火栓系统计算": the
// system form with unsaved changes).
//   wait_window.exe CLASS open|closed|close|press:ID|command:ID|text:ID:TEXT SECONDS [TITLE]
// Exit status 0 when the state was reached in time, 1 when not, 2 on a usage error.
#include <windows.h>

#include <cwchar>
#include <string_view>

namespace {

std::wstring_view titleEnd;

bool matches(HWND window) {
  if (titleEnd.empty()) return true;
  wchar_t title[512] = L"";
  GetWindowTextW(window, title, 512);
  return std::wstring_view(title).ends_with(titleEnd);
}

// The topmost window of the class that matches; with `id`, one where control `id` takes input.
HWND find(const wchar_t* className, int id) {
  for (HWND w = FindWindowExW(nullptr, nullptr, className, nullptr); w;
       w = FindWindowExW(nullptr, w, className, nullptr)) {
    if (!matches(w)) continue;
    if (id == 0) return w;
    const HWND control = GetDlgItem(w, id);
    if (IsWindowVisible(w) && IsWindowEnabled(w) && control && IsWindowEnabled(control)) return w;
  }
  return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4 && argc != 5) return 2;
  if (argc == 5) titleEnd = argv[4];
  const std::wstring_view action = argv[2];
  const bool wantOpen = action == L"open";
  const bool close = action == L"close";
  const bool press = action.starts_with(L"press:");
  const bool command = action.starts_with(L"command:");
  const bool type = action.starts_with(L"text:");
  if (!wantOpen && !close && !press && !command && !type && action != L"closed") return 2;
  wchar_t* rest = nullptr;
  const int id = press || command || type
                     ? static_cast<int>(std::wcstoul(argv[2] + action.find(L':') + 1, &rest, 10))
                     : 0;
  if (type && *rest != L':') return 2;
  if (close) {
    if (const HWND window = find(argv[1], 0)) PostMessageW(window, WM_CLOSE, 0, 0);
  }
  const ULONGLONG deadline = GetTickCount64() + 1000ull * std::wcstoul(argv[3], nullptr, 10);
  do {
    if (press || type) {
      if (const HWND window = find(argv[1], id)) {
        const HWND control = GetDlgItem(window, id);
        if (type) {
          DWORD_PTR result = 0;
          return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(rest + 1),
                                     SMTO_ABORTIFHUNG, 5000, &result) &&
                         result
                     ? 0
                     : 1;
        }
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
        return 0;
      }
    } else if (command) {
      if (const HWND window = find(argv[1], 0); window && IsWindowVisible(window)) {
        PostMessageW(window, WM_COMMAND, id, 0);
        return 0;
      }
    } else if ((find(argv[1], 0) != nullptr) == wantOpen) {
      return 0;
    }
    Sleep(50);
  } while (GetTickCount64() < deadline);
  return 1;
}
