// Drives the real hydrant-calc.exe and its system form from a second process, as a user would:
// controls found by their IDs (1000 + tab position), characters typed, list entries chosen with
// the mouse, Tab pressed, the button clicked, the menu bar's entries chosen by ID and by
// shortcut. A watchdog thread closes every message box and records it. The program runs as a
// copy in a folder of its own, where no manual lies beside it.
//   window_driver <hydrant-calc.exe> <dpi> [screenshot.bmp [menu-screenshot.bmp]]
//   (the system form's screenshot: screenshot-system.bmp)
// Prints one line per failed check; the exit status is the number of failures.

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "calc/number_text.h"
#include "sheet/project_file.h"
#include "tests/ui/expected_window.h"
#include "ui/form_layout.h"
#include "ui/main_menu.h"
#include "ui/win32/system_form_ids.h"
#include "ui/win32/win32_sheet_dialog.h"
#include "ui/win32/win32_text.h"

namespace {

using ui::win32::narrow, ui::win32::widen;

HWND form = nullptr;
DWORD pid = 0;
HANDLE program = nullptr;
int failures = 0;

void expectEq(const std::string& actual, const std::string& expected, const std::string& what) {
  if (actual == expected) return;
  ++failures;
  std::printf("FAIL %s: \"%s\", expected \"%s\"\n", what.c_str(), actual.c_str(), expected.c_str());
}

LRESULT send(HWND w, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(w, message, wParam, lParam, SMTO_ABORTIFHUNG, 20000, &result);
  return static_cast<LRESULT>(result);
}

// Another process's texts come only through WM_GETTEXT.
std::string text(HWND w) {
  wchar_t buffer[512] = {};
  send(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer));
  return narrow(buffer);
}

std::string className(HWND w) {
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  return narrow(name);
}

// A control by its name, "Combo1(3)", through its ID (0 for none, which fails every check).
int id(std::string_view name) {
  for (const ui::ControlDesc& desc : ui::form1Controls()) {
    if (ui::qualifiedName(desc.name, desc.index) == name) return 1000 + desc.tab;
  }
  return 0;
}
HWND ctl(std::string_view name) { return GetDlgItem(form, id(name)); }

template <typename Condition>
bool waitFor(Condition condition) {
  for (int i = 0; i < 200 && !condition(); ++i) Sleep(10);
  return condition();
}

// The top-level windows of the program, visible ones of one class. EnumWindows calls back on
// the calling thread, and both threads search.
thread_local const char* wanted;
thread_local std::vector<HWND> found;
std::vector<HWND> windowsOf(const char* cls) {
  wanted = cls;
  found.clear();
  EnumWindows(
      [](HWND w, LPARAM) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid && IsWindowVisible(w) && className(w) == wanted) found.push_back(w);
        return TRUE;
      },
      0);
  return found;
}

struct Box {
  std::string text, caption;
  bool icon = false;
  std::vector<int> buttons;
};
std::mutex boxMutex;
std::vector<Box> boxes;
std::atomic<bool> stopWatchdog{false};
std::atomic<bool> dialogsByHand{false};  // the sheet's dialogs, driven by checkSheet()

void watchdog() {
  while (!stopWatchdog) {
    for (HWND w : windowsOf("#32770")) {
      Box box;
      box.caption = text(w);
      if (dialogsByHand && box.caption != expected::kTitle && box.caption != ui::kAboutTitle) {
        continue;
      }
      EnumChildWindows(
          w,
          [](HWND c, LPARAM p) {
            auto& b = *reinterpret_cast<Box*>(p);
            const LONG style = GetWindowLongW(c, GWL_STYLE);
            if (!(style & WS_VISIBLE)) return TRUE;
            if (className(c) == "Button") b.buttons.push_back(GetDlgCtrlID(c));
            if (className(c) == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
              b.icon = b.icon || send(c, STM_GETICON) != 0;
            }
            if (className(c) == "Static" && !text(c).empty()) b.text = text(c);
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&box));
      {
        const std::lock_guard lock(boxMutex);
        boxes.push_back(box);
      }
      // The last button: OK alone, or No, so nothing is opened or overwritten.
      PostMessageW(GetDlgItem(w, box.buttons.empty() ? IDOK : box.buttons.back()), BM_CLICK, 0, 0);
      waitFor([w] { return !IsWindowVisible(w); });
    }
    Sleep(20);
  }
}

// The boxes since the last call: none, or (waiting for it) one box with these buttons, whose
// text it returns.
std::string takeBox(bool one, const std::string& what, const std::vector<int>& buttons = {IDOK},
                    std::string_view caption = expected::kTitle) {
  std::vector<Box> seen;
  waitFor([&] {
    const std::lock_guard lock(boxMutex);
    if (seen.empty()) seen.swap(boxes);  // waitFor asks once more at the end
    return !one || !seen.empty();
  });
  std::string count = std::to_string(seen.size());
  for (const Box& box : seen) count += " " + box.text;  // what they said, when they were not wanted
  expectEq(seen.size() == (one ? 1u : 0u) ? (one ? "1" : "0") : count, one ? "1" : "0",
           what + ": message boxes");
  if (seen.size() != 1) return "";
  expectEq(seen[0].caption, std::string(caption), what + ": box caption");
  expectEq(seen[0].icon ? "icon" : "none", "none", what + ": box icon");
  expectEq(seen[0].buttons == buttons ? "as asked" : "other, " + seen[0].text, "as asked",
           what + ": buttons");
  return seen[0].text;
}

void type(HWND w, const std::string& utf8) {
  if (className(w) == "ComboBox") w = FindWindowExW(w, nullptr, L"Edit", nullptr);
  send(w, EM_SETSEL, 0, -1);
  for (wchar_t ch : widen(utf8)) send(w, WM_CHAR, ch, 1);
}

INPUT event(DWORD type, DWORD flags, WORD key = 0) {
  INPUT in{};
  in.type = type;
  (type == INPUT_MOUSE ? in.mi.dwFlags : in.ki.dwFlags) = flags;
  in.ki.wVk = type == INPUT_KEYBOARD ? key : 0;
  return in;
}
void input(std::vector<INPUT> events) {
  SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

// Keys held down in order and released in reverse: {VK_MENU, VK_SPACE} is Alt+Space.
void press(std::initializer_list<WORD> keys) {
  std::vector<INPUT> events;
  for (WORD k : keys) events.push_back(event(INPUT_KEYBOARD, 0, k));
  for (auto k = std::rbegin(keys); k != std::rend(keys); ++k) {
    events.push_back(event(INPUT_KEYBOARD, KEYEVENTF_KEYUP, *k));
  }
  input(events);
}

// Drops the list down and clicks the entry with the mouse. On a busy machine the click can
// land before Wine has placed the list; the entry is then not chosen and the user's move is
// made again, up to three times.
void choose(HWND combo, int index) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    send(combo, CB_SHOWDROPDOWN, TRUE);
    std::vector<HWND> lists;
    waitFor([&] { return !(lists = windowsOf("ComboLBox")).empty(); });
    if (lists.empty()) return expectEq("no list", "a dropped list", "choose");
    Sleep(50);
    const auto itemHeight = static_cast<int>(send(lists[0], LB_GETITEMHEIGHT));
    const auto top = static_cast<int>(send(lists[0], LB_GETTOPINDEX));
    POINT p{4, (index - top) * itemHeight + itemHeight / 2};
    ClientToScreen(lists[0], &p);
    SetCursorPos(p.x, p.y);
    input({event(INPUT_MOUSE, MOUSEEVENTF_LEFTDOWN), event(INPUT_MOUSE, MOUSEEVENTF_LEFTUP)});
    waitFor([&] { return !IsWindowVisible(lists[0]); });
    if (send(combo, CB_GETCURSEL) == index) return;
    send(combo, CB_SHOWDROPDOWN, FALSE);
  }
}

void click(std::string_view button) { send(ctl(button), BM_CLICK); }

// The control that has the keyboard focus (a combo box for its inner edit), as an ID.
int focusedId() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
  HWND focus = info.hwndFocus;
  if (focus && className(GetParent(focus)) == "ComboBox") focus = GetParent(focus);
  return focus ? GetDlgCtrlID(focus) : 0;
}

void pressTab(bool shift) {
  const int before = focusedId();
  shift ? press({VK_SHIFT, VK_TAB}) : press({VK_TAB});
  waitFor([&] { return focusedId() != before; });
}

// Every control as loading leaves it: class, caption, visibility and place as the layout table
// says, a few places written out by hand, one list and the option buttons.
void checkLoaded(int dpi) {
  // The window class of each kind of control, in ui::ControlKind's order.
  constexpr const char* kClass[] = {"Button", "Static", "Edit", "ComboBox", "Button", "Button"};
  auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
  auto rectText = [](int x, int y, int w, int h) {
    return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(w) + "x" +
           std::to_string(h);
  };
  auto placeOf = [&](HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    return rectText(r.left, r.top, r.right - r.left, r.bottom - r.top);
  };
  RECT client;
  GetClientRect(form, &client);
  expectEq(rectText(0, 0, client.right, client.bottom),
           rectText(0, 0, px(expected::kClientWidth), px(expected::kClientHeight)), "client area");
  for (const ui::ControlDesc& c : ui::form1Controls()) {
    const std::string name = ui::qualifiedName(c.name, c.index);
    const HWND w = ctl(name);
    expectEq(className(w), kClass[static_cast<int>(c.kind)], name + " class");
    if (!c.caption.empty()) expectEq(text(w), std::string(c.caption), name + " text");
    expectEq(IsWindowVisible(w) ? "shown" : "hidden", c.visible ? "shown" : "hidden",
             name + " visibility");
    // Frames are children of the form like everything else; their controls sit inside them.
    int left = c.left, top = c.top;
    if (const auto frame = ui::findControl(c.container)) left += frame->left, top += frame->top;
    expectEq(placeOf(w), rectText(px(left), px(top), px(c.width), px(c.height)),
             name + " geometry");
  }
  for (const expected::Place& p : expected::kPlaces) {
    expectEq(placeOf(ctl(p.name)), rectText(px(p.left), px(p.top), px(p.width), px(p.height)),
             std::string(p.name) + " place");
  }
  std::string items;
  for (LRESULT i = 0, n = send(ctl("Combo1(3)"), CB_GETCOUNT); i < n; ++i) {
    wchar_t item[64] = {};
    send(ctl("Combo1(3)"), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    items += narrow(item) + "|";
  }
  expectEq(items + text(ctl("Combo1(3)")), "13|16|19|19", "Combo1(3) list");
  expectEq(send(ctl("Option1(1)"), BM_GETCHECK) == BST_CHECKED ? "on" : "off", "on", "Option1(1)");
  expectEq(send(ctl("Option1(0)"), BM_GETCHECK) == BST_CHECKED ? "on" : "off", "off", "Option1(0)");
}

// Tab round the visible controls from Command1 and back to it, then Shift+Tab once.
void checkTabOrder() {
  const std::size_t n = std::size(expected::kTabOrder);
  SetForegroundWindow(form);
  for (std::size_t i = 1; i <= n; ++i) {
    pressTab(false);
    expectEq(std::to_string(focusedId()), std::to_string(id(expected::kTabOrder[i % n])), "Tab");
  }
  pressTab(true);
  expectEq(std::to_string(focusedId()), std::to_string(id(expected::kTabOrder[n - 1])),
           "Shift+Tab");
}

// The window's pixels, as a 24-bit BMP, straight from the screen. The GDI objects go with
// the process.
void screenshot(const wchar_t* path, HWND window = form) {
  RECT r;
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  BITMAPINFOHEADER header{
      sizeof header, w, h, 1, 24, BI_RGB, DWORD((w * 3 + 3) & ~3) * h, 0, 0, 0, 0};
  void* bits = nullptr;
  const HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  SelectObject(memory, CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                        DIB_RGB_COLORS, &bits, nullptr, 0));
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof header;
  const BITMAPFILEHEADER file{0x4D42, offset + header.biSizeImage, 0, 0, offset};
  FILE* out = _wfopen(path, L"wb");
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&header, sizeof header, 1, out);
  std::fwrite(bits, header.biSizeImage, 1, out);
  std::fclose(out);
}

std::vector<std::string> allTexts() {
  std::vector<std::string> texts;
  for (const ui::ControlDesc& c : ui::form1Controls()) {
    texts.push_back(ui::qualifiedName(c.name, c.index) + " " +
                    text(ctl(ui::qualifiedName(c.name, c.index))));
  }
  return texts;
}
void expectTexts(const std::vector<std::string>& before, const std::string& what) {
  const std::vector<std::string> after = allTexts();
  for (std::size_t i = 0; i < after.size(); ++i) expectEq(after[i], before[i], what);
}

// The program's visible dialog box with that caption (any, if empty) and child, once it is there.
HWND dialog(const std::string& caption, int child = 0) {
  HWND found = nullptr;
  waitFor([&] {
    for (HWND w : windowsOf("#32770")) {
      if ((caption.empty() || text(w) == caption) && (!child || GetDlgItem(w, child))) found = w;
    }
    return found != nullptr;
  });
  return found;
}

// An entry of the system menu, as the keyboard reaches it: Alt+Space, then up from the bottom
// (1: the last entry, 系统计算…; 2: 生成计算书…). False when the menu did not open.
bool chooseSystemMenuEntry(int fromBottom, const std::string& what) {
  waitFor([] { return windowsOf("#32770").empty(); });  // the last box has gone
  SetForegroundWindow(form);
  press({VK_MENU, VK_SPACE});
  if (!waitFor([] { return !windowsOf("#32768").empty(); })) {
    press({VK_ESCAPE});
    expectEq("no menu", "system menu", what);
    return false;
  }
  for (int i = 0; i < fromBottom; ++i) press({VK_UP});
  press({VK_RETURN});
  return true;
}

// The sheet's entry in the system menu. Checks what the options dialog shows: the four
// radios, the flow and the project.
HWND openSheetDialog(const std::string& shows, const std::string& what) {
  using namespace ui::win32;
  if (!chooseSystemMenuEntry(2, what)) return nullptr;
  const HWND box = dialog("生成计算书");
  std::string state;
  for (int child : {kSheetHigh, kSheetOther, kSheetTwoStreams, kSheetOneStream}) {
    state += send(GetDlgItem(box, child), BM_GETCHECK) == BST_CHECKED ? "1" : "0";
  }
  for (int child : {kSheetFlow, kSheetProject, kSheetRevision}) {
    (state += ' ') += text(GetDlgItem(box, child));
  }
  expectEq(box ? state : "no dialog", shows, what + ": options dialog");
  return box;
}

// 高层建筑…, one stream, a project name with markup in it, a revision, then 确定.
void fillSheetDialog(HWND box) {
  using namespace ui::win32;
  send(GetDlgItem(box, kSheetHigh), BM_CLICK);
  send(GetDlgItem(box, kSheetOneStream), BM_CLICK);
  type(GetDlgItem(box, kSheetProject), "工程<b>&\"");
  type(GetDlgItem(box, kSheetRevision), "B");
  PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

// Answers the common open or save dialog with a whole path: typed into its name box (cmb13,
// 1148: a ComboBoxEx around a combo box and its edit) until the box holds exactly that, since
// the dialog may still be putting its proposed name there, then its OK button.
void answerFileDialog(const std::string& path, const std::string& what) {
  const HWND files = dialog("", 1148);
  const HWND combo = FindWindowExW(GetDlgItem(files, 1148), nullptr, L"ComboBox", nullptr);
  const HWND name = FindWindowExW(combo, nullptr, L"Edit", nullptr);
  for (int attempt = 0; attempt < 10; ++attempt) {
    type(name, path);
    Sleep(50);
    if (text(name) == path) break;
  }
  expectEq(text(name), path, what + ": file name");
  HWND ok = nullptr;
  while ((ok = FindWindowExW(files, ok, L"Button", nullptr)) && GetDlgCtrlID(ok) != IDOK) {
  }
  PostMessageW(ok, BM_CLICK, 0, 0);
}

// The sheet from the system menu, through the options dialog, the save dialog and the yes/no
// box; then Esc cancels the dialog.
void checkSheet() {
  wchar_t documents[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
  const std::wstring path = std::wstring(documents) + L"\\消火栓计算书 试算.html";
  DeleteFileW(path.c_str());
  dialogsByHand = true;  // the watchdog still answers the program's own boxes

  const std::vector<std::string> before = allTexts();
  const int focus = focusedId();
  // The dialog remembers the last answers; the path is typed into the save dialog's name box
  // (cmb13, 1148: a ComboBoxEx around a combo box and its edit), then Save, then No.
  if (const HWND box = openSheetDialog("0110 5 L/s  ", "sheet")) fillSheetDialog(box);
  answerFileDialog(narrow(path), "sheet");
  const std::string asked = takeBox(true, "sheet saved", {IDYES, IDNO});
  expectEq(asked.find(narrow(path)) != std::string::npos ? "names the file" : asked,
           "names the file", "sheet saved");

  // Esc cancels.
  if (const HWND box = openSheetDialog("1001 5 L/s 工程<b>&\" B", "cancel")) {
    press({VK_ESCAPE});
    waitFor([box] { return !IsWindow(box); });
  }
  for (HWND left : windowsOf("#32770")) PostMessageW(left, WM_CLOSE, 0, 0);
  dialogsByHand = false;

  std::string html;
  if (FILE* in = _wfopen(path.c_str(), L"rb")) {
    for (int ch; (ch = std::fgetc(in)) != EOF;) html += static_cast<char>(ch);
    std::fclose(in);
  }
  // The dialog's answers reach the sheet.
  for (const std::string part : {"工程&lt;b&gt;&amp;&quot;", "一支水枪充实水柱到达"}) {
    expectEq(html.find(part) != std::string::npos ? part : "missing", part, "the sheet");
  }
  expectTexts(before, "after the sheet");
  expectEq(std::to_string(focusedId()), std::to_string(focus), "focus after the sheet");
  takeBox(false, "sheet");
}

void command(ui::MenuCommand entry) {
  PostMessageW(form, WM_COMMAND, MAKEWPARAM(ui::menuCommandId(entry), 0), 0);
}

// The menu bar's entries, each by its ID and the two shortcuts by their keys: the manual's
// box naming where it was looked for, the about box, the sheet's dialog (cancelled).
void checkMenuBar(const std::string& folder) {
  const std::string missing = "找不到使用说明，已查找：\n" + folder + "hydrant-calc-manual.html";
  command(ui::MenuCommand::Manual);
  expectEq(takeBox(true, "manual by ID"), missing, "manual by ID");
  SetForegroundWindow(form);
  press({VK_F1});
  expectEq(takeBox(true, "manual by F1"), missing, "manual by F1");

  command(ui::MenuCommand::About);
  const std::string about = takeBox(true, "about", {IDOK}, ui::kAboutTitle);
  expectEq(about.find("版本 " HYDRANT_VERSION) != std::string::npos ? "version" : about, "version",
           "about");

  // The sheet's dialog and the system form, each by its ID and by its shortcut, then cancelled.
  dialogsByHand = true;
  const struct {
    ui::MenuCommand entry;
    WORD key;
    const char* caption;
    int child;
  } dialogs[] = {{ui::MenuCommand::Sheet, 'P', "生成计算书", 0},
                 {ui::MenuCommand::System, 'M', "消火栓系统计算", IDC_SYS_FLOORS}};
  for (const auto& d : dialogs) {
    for (bool byKey : {false, true}) {
      const std::string what = d.caption + std::string(byKey ? " by Ctrl+" : " by ID");
      SetForegroundWindow(form);
      byKey ? press({VK_CONTROL, d.key}) : command(d.entry);
      const HWND box = dialog(d.caption, d.child);
      expectEq(box ? "dialog" : "none", "dialog", what);
      if (box) PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
      waitFor([box] { return !IsWindow(box); });
    }
  }
  dialogsByHand = false;
  takeBox(false, "menu bar");
}

// The 文件 menu dropped down by Alt+F, for the README's picture, then closed.
void menuScreenshot(const wchar_t* path) {
  SetForegroundWindow(form);
  press({VK_MENU, 'F'});
  if (!waitFor([] { return !windowsOf("#32768").empty(); })) {
    return expectEq("no menu", "文件 menu", "menu screenshot");
  }
  Sleep(300);
  screenshot(path);
  press({VK_ESCAPE});
  press({VK_ESCAPE});
  waitFor([] { return windowsOf("#32768").empty(); });
}

// A ListView's cell in the other process: the item and its text buffer are placed in the
// program's memory, as LVM_GETITEMTEXT writes through the pointer it is given.
std::string listCell(HWND list, int row, int column) {
  struct Remote {
    LVITEMW item;
    wchar_t text[256];
  };
  void* remote = VirtualAllocEx(program, nullptr, sizeof(Remote), MEM_COMMIT, PAGE_READWRITE);
  if (!remote) return "<no memory>";
  Remote local{};
  local.item.iSubItem = column;
  local.item.cchTextMax = 256;
  local.item.pszText = reinterpret_cast<Remote*>(remote)->text;
  WriteProcessMemory(program, remote, &local, sizeof local, nullptr);
  send(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
  ReadProcessMemory(program, remote, &local, sizeof local, nullptr);
  VirtualFreeEx(program, remote, 0, MEM_RELEASE);
  local.text[255] = L'\0';
  return narrow(local.text);
}
std::string listRow(HWND list, int row) {
  std::string out;
  const HWND header = reinterpret_cast<HWND>(send(list, LVM_GETHEADER));
  for (int c = 0, n = static_cast<int>(send(header, HDM_GETITEMCOUNT)); c < n; ++c) {
    if (c) out += ' ';  // piece by piece: " " + string trips a false -Wrestrict in GCC 12
    out += listCell(list, row, c);
  }
  return out;
}

// The system form from the system menu, driven through its control IDs: the worked example
// typed in, 计 算 by Enter, the grid read back, fewer floors, 保存… into a file that the
// project reader gives back, 打开… the example, and Esc.
void checkSystemForm(int dpi, const wchar_t* shot) {
  dialogsByHand = true;  // the watchdog still answers the program's message boxes
  const std::vector<std::string> before = allTexts();
  const std::string hose = text(ctl("Combo1(1)"));
  if (!chooseSystemMenuEntry(1, "system form")) return;
  HWND box = dialog("消火栓系统计算", IDC_SYS_FLOORS);
  expectEq(box ? "open" : "none", "open", "system form");
  if (!box) return;
  const auto item = [&](int id) { return GetDlgItem(box, id); };
  expectEq(text(item(IDC_SYS_HYDRANT_HOSE_MATERIAL)), hose, "hydrant from the main window");

  // Laid out in dialog units of its 宋体 9 pt, whose average character is 6 px at 96 DPI: the
  // template's 640 units across are 960 px there and grow with the DPI, as do the grid's columns.
  RECT client{}, frame{};
  GetClientRect(box, &client);
  GetWindowRect(box, &frame);
  expectEq(std::to_string(client.right), std::to_string(MulDiv(960, dpi, 96)), "dialog width");
  const HWND floors = item(IDC_SYS_FLOORS);
  expectEq(std::to_string(send(floors, LVM_GETCOLUMNWIDTH, 0)), std::to_string(MulDiv(40, dpi, 96)),
           "grid column width");
  if (dpi == 96) {
    const bool fits = frame.right - frame.left <= 1024 && frame.bottom - frame.top <= 768;
    expectEq(fits ? "fits"
                  : std::to_string(frame.right - frame.left) + "x" +
                        std::to_string(frame.bottom - frame.top),
             "fits", "1024x768");
  }

  // Tab order: the entries column by column, each top to bottom (their IDs ascending; the
  // switched-off stabilizer's are skipped), then the buttons and the two lists.
  std::string tabs, expectedTabs;
  for (int id = IDC_SYS_PROJECT_NAME; id <= IDC_SYS_MAIN_C; ++id) {
    if (id != IDC_SYS_STABILIZER_STOP_PRESSURE && id != IDC_SYS_STABILIZER_ELEVATION) {
      expectedTabs += std::to_string(id) + " ";
    }
  }
  for (int id : {IDC_SYS_CALCULATE, IDC_SYS_OPEN, IDC_SYS_SAVE, IDC_SYS_SHEET, IDCANCEL,
                 IDC_SYS_FLOORS, IDC_SYS_CHECKS}) {
    expectedTabs += std::to_string(id) + " ";
  }
  HWND stop = item(IDC_SYS_PROJECT_NAME);
  for (int i = 0; i < 60 && stop; ++i) {
    tabs += std::to_string(GetDlgCtrlID(stop)) + " ";
    stop = GetNextDlgTabItem(box, stop, FALSE);
    if (stop == item(IDC_SYS_PROJECT_NAME)) break;
  }
  expectEq(tabs, expectedTabs, "system form tab order");

  // The worked example's hydrant, then Enter in an entry presses 计 算.
  const std::pair<int, const char*> example[] = {
      {IDC_SYS_HYDRANT_NOZZLE, "19"},        {IDC_SYS_HYDRANT_HOSE_MATERIAL, "衬胶"},
      {IDC_SYS_HYDRANT_HOSE_DIAMETER, "65"}, {IDC_SYS_HYDRANT_HOSE_LENGTH, "25"},
      {IDC_SYS_HYDRANT_WATER_COLUMN, "13"},
  };
  for (const auto& [id, value] : example) type(item(id), value);
  PostMessageW(item(IDC_SYS_RISER_C), WM_KEYDOWN, VK_RETURN, 0);
  const auto rows = [&] { return static_cast<int>(send(floors, LVM_GETITEMCOUNT)); };
  waitFor([&] { return rows() == 18; });
  expectEq(std::to_string(rows()), "18", "floors");
  expectEq(listRow(floors, 17), "1 1.10 0.759 1.622 1.116 必须减压 20（19.87）* 0.372", "floor 1");
  expectEq(listRow(item(IDC_SYS_CHECKS), 6).substr(0, 12), "5.2.2 注意", "5.2.2");
  const std::string summary = text(item(IDC_SYS_SUMMARY));
  expectEq(summary.find("计算扬程 117.37 m（1.174 MPa）") != std::string::npos ? "117.37" : summary,
           "117.37", "pump head");
  if (shot) {
    // Painted whole before the pixels are taken, however busy the machine.
    RedrawWindow(box, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    send(box, WM_NULL);
    Sleep(500);
    screenshot(shot, box);
  }

  // Ten floors of 3.9 m, saved through the save dialog, read back by the project reader.
  type(item(IDC_SYS_BUILDING_FLOORS), "10");
  type(item(IDC_SYS_BUILDING_FLOOR_HEIGHTS), "3.9");
  send(item(IDC_SYS_CALCULATE), BM_CLICK);
  waitFor([&] { return rows() == 10; });
  expectEq(std::to_string(rows()), "10", "ten floors");
  wchar_t documents[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
  const std::wstring path = std::wstring(documents) + L"\\楼 10.toml";
  DeleteFileW(path.c_str());
  PostMessageW(item(IDC_SYS_SAVE), BM_CLICK, 0, 0);
  answerFileDialog(narrow(path), "system form save");
  // A busy machine may take more than waitFor's two seconds over the dialog and the write.
  for (int i = 0; i < 5 && GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
    waitFor([&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; });
  }
  const auto read = sheet::loadProject(narrow(path));
  expectEq(read.ok() ? "read" : read.error().message, "read", "saved file");
  if (read.ok()) {
    const auto run = calc::calculateSystem(read.value().inputs);
    const calc::SystemFloor& top = run.value().floors.back();
    expectEq(std::to_string(read.value().inputs.floors), "10", "saved floors");
    expectEq(listCell(floors, 0, 4), calc::formatFixed(top.dynamicPressure / 100, 3),
             "grid against the saved file");
  }
  takeBox(false, "system form");

  // 打开… the worked example's file: its entries, the results cleared until 计 算.
  PostMessageW(item(IDC_SYS_OPEN), BM_CLICK, 0, 0);
  std::string examplePath = HYDRANT_EXAMPLE;
  for (char& c : examplePath) c = c == '/' ? '\\' : c;
  answerFileDialog(examplePath, "system form open");
  waitFor([&] { return text(item(IDC_SYS_BUILDING_FLOORS)) == "18"; });
  expectEq(text(item(IDC_SYS_BUILDING_FLOOR_HEIGHTS)) + " " + std::to_string(rows()),
           "5.1, 3.9×16 0", "opened the example");
  takeBox(false, "system form, opened");

  // Esc closes.
  SetForegroundWindow(box);
  press({VK_ESCAPE});
  waitFor([&] { return !IsWindow(box); });
  expectEq(IsWindow(box) ? "open" : "closed", "closed", "Esc key");
  expectTexts(before, "after the system form");
  dialogsByHand = false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 99;
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder =
      std::wstring(temp) + L"hydrant-window-test-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  const std::wstring copy = folder + L"hydrant-calc.exe";
  CreateDirectoryW(folder.c_str(), nullptr);
  if (!CopyFileW(argv[1], copy.c_str(), FALSE)) {
    std::printf("FAIL cannot copy the program\n");
    return 99;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(copy.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::printf("FAIL cannot start the program\n");
    return 99;
  }
  pid = process.dwProcessId;
  program = process.hProcess;
  WaitForInputIdle(process.hProcess, 20000);
  waitFor([] {
    for (HWND w : windowsOf("HydrantCalcForm1")) form = w;
    return form != nullptr;
  });
  if (!form) return std::printf("FAIL no window\n"), 99;
  std::thread dog(watchdog);

  expectEq(text(form), std::string(expected::kTitle), "caption");
  checkLoaded(_wtoi(argv[2]));
  expectEq(std::to_string(focusedId()), "1000", "initial focus on Command1");

  // The complete example: initial entries, protection width 10, then Enter on the focused
  // 计 算.
  type(ctl("Text9"), std::string(expected::kExampleWidth));
  SetForegroundWindow(form);
  press({VK_RETURN});
  waitFor([] { return !text(ctl("Text8(1)")).empty(); });
  for (const auto& [name, shown] : expected::kExample) {
    expectEq(text(ctl(name)), std::string(shown), "example " + std::string(name));
  }
  takeBox(false, "example");
  if (argc > 3) screenshot(argv[3]);
  if (argc > 4) menuScreenshot(argv[4]);
  checkTabOrder();

  // A letter in the water column: the error box, and nothing else changes.
  type(ctl("Combo1(5)"), "1a");
  const std::vector<std::string> before = allTexts();
  click("Command1");
  const std::string error = takeBox(true, "letter in water column");
  expectEq(error.find("“1a”") != std::string::npos ? "names 1a" : error, "names 1a", "error");
  expectTexts(before, "after the error");

  type(ctl("Combo1(5)"), "10");
  // Entries chosen from the lists with the mouse reach the handlers.
  choose(ctl("Combo1(1)"), 1);
  choose(ctl("Combo1(2)"), 1);
  expectEq(text(ctl("Combo1(1)")) + " " + text(ctl("Combo1(2)")) + " " + text(ctl("Text2")),
           "衬胶 65 0.00172", "chosen entries");
  checkSheet();
  checkMenuBar(narrow(folder));
  // The system form's screenshot beside the window's: "x.bmp" gives "x-system.bmp".
  std::wstring systemShot = argc > 3 ? std::wstring(argv[3]) : L"";
  if (!systemShot.empty()) systemShot.insert(systemShot.size() - 4, L"-system");
  checkSystemForm(_wtoi(argv[2]), systemShot.empty() ? nullptr : systemShot.c_str());

  command(ui::MenuCommand::Exit);
  DWORD status = 1;
  WaitForSingleObject(process.hProcess, 10000);
  GetExitCodeProcess(process.hProcess, &status);
  expectEq(std::to_string(status), "0", "exit status");
  stopWatchdog = true;
  dog.join();
  DeleteFileW(copy.c_str());
  RemoveDirectoryW(folder.c_str());
  std::printf("%d failed checks\n", failures);
  return failures;
}
