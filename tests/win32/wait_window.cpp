// Waits until a top-level window of a class is open, or until none is: the installer check
// starts hydrant-calc.exe and must know its window exists before it uninstalls. `close` asks
// the window to close (WM_CLOSE, as its close button does) and waits until it is gone;
// `press:ID` waits for the window and clicks its button ID (the topmost window of the class:
// a setup's page, or the box it asks over it).
//   wait_window.exe CLASS open|closed|close|press:ID SECONDS
// Exit status 0 when the state was reached in time, 1 when not, 2 on a usage error.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const bool wantOpen = std::wcscmp(argv[2], L"open") == 0;
  const bool close = std::wcscmp(argv[2], L"close") == 0;
  const bool press = std::wcsncmp(argv[2], L"press:", 6) == 0;
  if (!wantOpen && !close && !press && std::wcscmp(argv[2], L"closed") != 0) return 2;
  if (close) {
    if (const HWND window = FindWindowW(argv[1], nullptr)) PostMessageW(window, WM_CLOSE, 0, 0);
  }
  const ULONGLONG deadline = GetTickCount64() + 1000ull * std::wcstoul(argv[3], nullptr, 10);
  do {
    const HWND window = FindWindowW(argv[1], nullptr);
    if (press && window && IsWindowVisible(window)) {
      PostMessageW(window, WM_COMMAND, std::wcstoul(argv[2] + 6, nullptr, 10), 0);
      return 0;
    }
    if (!press && (window != nullptr) == wantOpen) return 0;
    Sleep(50);
  } while (GetTickCount64() < deadline);
  return 1;
}
