// Waits until a top-level window of a class is open, or until none is: the installer check
// starts hydrant-calc.exe and must know its window exists before it uninstalls.
//   wait_window.exe CLASS open|closed SECONDS
// Exit status 0 when the state was reached in time, 1 when not, 2 on a usage error.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const bool wantOpen = std::wcscmp(argv[2], L"open") == 0;
  if (!wantOpen && std::wcscmp(argv[2], L"closed") != 0) return 2;
  const ULONGLONG deadline = GetTickCount64() + 1000ull * std::wcstoul(argv[3], nullptr, 10);
  do {
    if ((FindWindowW(argv[1], nullptr) != nullptr) == wantOpen) return 0;
    Sleep(50);
  } while (GetTickCount64() < deadline);
  return 1;
}
