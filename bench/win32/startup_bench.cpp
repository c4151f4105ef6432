// Start-up of hydrant-calc.exe beside a bare Win32 window, and the click on "计 算" until the
// results are written; run under Wine by `make bench-windows`.
//   hydrant-startup-bench <hydrant-calc.exe> <bare-window.exe> [rounds]
//
// Start-up is process creation until WaitForInputIdle returns: both programs paint their
// first frame (UpdateWindow) before they first wait for input, so that is the first
// painted frame. The click is a BM_CLICK sent to Command1, which returns once the handler
// has written the result texts.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Started {
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
  double startup = 0;
};

HWND visibleWindowOf(DWORD pid) {
  struct Search {
    DWORD pid;
    HWND found;
  } search{pid, nullptr};
  EnumWindows(
      [](HWND w, LPARAM p) {
        auto& s = *reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == s.pid && IsWindowVisible(w) && !GetWindow(w, GW_OWNER)) s.found = w;
        return s.found ? FALSE : TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

Started start(const wchar_t* exe) {
  Started s;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  const Clock::time_point t0 = Clock::now();
  if (!CreateProcessW(exe, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &s.process)) {
    std::fwprintf(stderr, L"cannot start %ls\n", exe);
    std::exit(1);
  }
  WaitForInputIdle(s.process.hProcess, 20000);
  s.startup = millisecondsSince(t0);
  s.window = visibleWindowOf(s.process.dwProcessId);
  return s;
}

void stop(Started& s) {
  PostMessageW(s.window, WM_CLOSE, 0, 0);
  WaitForSingleObject(s.process.hProcess, 10000);
  CloseHandle(s.process.hThread);
  CloseHandle(s.process.hProcess);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: hydrant-startup-bench <hydrant-calc.exe> <bare.exe> [rounds]\n");
    return 2;
  }
  const int rounds = argc > 3 ? std::max(1, _wtoi(argv[3])) : 10;
  std::vector<double> calculator, bare, click;
  for (const wchar_t* exe : {argv[1], argv[2]}) {  // warm-up: the first start loads DLLs cold
    Started warm = start(exe);
    stop(warm);
  }
  for (int i = 0; i < rounds; ++i) {
    Started b = start(argv[2]);
    bare.push_back(b.startup);
    stop(b);

    Started c = start(argv[1]);
    calculator.push_back(c.startup);
    const HWND button = GetDlgItem(c.window, 1000);  // Command1, tab position 0
    const HWND radius = GetDlgItem(c.window, 1037);  // Text8(0)
    const Clock::time_point t0 = Clock::now();
    SendMessageW(button, BM_CLICK, 0, 0);
    click.push_back(millisecondsSince(t0));
    wchar_t text[32] = {};
    SendMessageW(radius, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text));
    if (std::wcscmp(text, L"23.10") != 0) std::fprintf(stderr, "the click wrote no radius\n");
    stop(c);
  }
  std::printf("median of %d rounds\n", rounds);
  std::printf("start-up to first frame, bare window   %8.1f ms\n", median(bare));
  std::printf("start-up to first frame, hydrant-calc  %8.1f ms\n", median(calculator));
  std::printf("ratio hydrant-calc / bare              %8.2f\n", median(calculator) / median(bare));
  std::printf("click on 计 算 to written results      %8.2f ms\n", median(click));
  return 0;
}
