// Drives the real hydrant-calc.exe and its system form from a second process, as a user would:
// controls found by their IDs (1000 + tab position), characters typed, list entries chosen with
// the mouse, Tab pressed, the button clicked, the menu entries chosen by ID, by shortcut and from
// the system menu. A watchdog thread closes every message box and records it. The program runs
// as a copy in a folder of its own, where no manual lies beside it.
//   window_driver <hydrant-calc.exe> <dpi> [window.bmp system-form.bmp [menu.bmp]]
// Prints one line per failed check; the exit status is the number of failures.

#include <windows.h>

#include <commctrl.h>
#include <process.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "files/project_file.h"
#include "files/safe_file.h"
#include "tests/ui/expected_window.h"
#include "ui/form_layout.h"
#include "ui/main_menu.h"
#include "ui/win32/system_form_ids.h"
#include "ui/win32/win32_sheet_dialog.h"
#include "ui/win32/win32_text.h"
#include "ui/win32/win32_window.h"

namespace {

using ui::win32::narrow, ui::win32::widen;

HWND form = nullptr;
// The system form's caption on a new project.
const std::string kNewSystemForm = "未命名 - 消火栓系统计算";
DWORD pid = 0;
HANDLE program = nullptr;
int failures = 0;

void expect(bool ok, const std::string& what, const std::string& shown) {
  if (ok) return;
  ++failures;
  std::printf("FAIL %s: %s\n", what.c_str(), shown.c_str());
}
void expectEq(const std::string& actual, const std::string& expected, const std::string& what) {
  expect(actual == expected, what, "\"" + actual + "\", expected \"" + expected + "\"");
}
void expectEq(long long actual, long long expected, const std::string& what) {
  expectEq(std::to_string(actual), std::to_string(expected), what);
}
void expectHas(const std::string& whole, const std::string& part, const std::string& what) {
  expect(whole.find(part) != std::string::npos, what, "\"" + whole + "\" lacks \"" + part + "\"");
}

LRESULT send(HWND w, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(w, message, wParam, lParam, SMTO_ABORTIFHUNG, 20000, &result);
  return static_cast<LRESULT>(result);
}

// A window's text or its class name. Another process's texts come only through WM_GETTEXT.
std::string text(HWND w, bool ofClass = false) {
  wchar_t buffer[512] = {};
  ofClass ? GetClassNameW(w, buffer, 512) : send(w, WM_GETTEXT, 512, LPARAM(buffer));
  return narrow(buffer);
}
std::string className(HWND w) { return text(w, true); }

// A control by its name, "Combo1(3)", through its ID (0 for none, which fails every check).
int id(std::string_view name) {
  for (const ui::ControlDesc& desc : ui::form1Controls()) {
    if (ui::qualifiedName(desc.name, desc.index) == name) return 1000 + desc.tab;
  }
  return 0;
}
HWND ctl(std::string_view name) { return GetDlgItem(form, id(name)); }

// Five seconds by default: a busy machine can take seconds over a dialog or a window.
template <typename Condition>
bool waitFor(Condition condition, int tries = 500) {
  for (int i = 0; i < tries && !condition(); ++i) Sleep(10);
  return condition();
}

// The top-level windows of the program, visible ones of one class. EnumWindows calls back on
// the calling thread, and both threads search.
thread_local const char* wanted;
thread_local std::vector<HWND> found;
// `all`: hidden ones too.
std::vector<HWND> windowsOf(const char* cls, bool all = false) {
  wanted = cls;
  found.clear();
  EnumWindows(
      [](HWND w, LPARAM all) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid && (all || IsWindowVisible(w)) && className(w) == wanted)
          found.push_back(w);
        return TRUE;
      },
      all);
  return found;
}

struct Box {
  std::string caption, text;
  bool icon = false;
  std::vector<int> buttons;
};
std::mutex boxMutex;
std::vector<Box> boxes;
std::atomic<bool> stopWatchdog{false};

void watchdog() {
  while (!stopWatchdog) {
    for (HWND w : windowsOf("#32770")) {
      Box box{text(w), "", false, {}};
      // The program's message boxes; its dialogs are the driver's to answer.
      if (box.caption != expected::kTitle && box.caption != ui::kAboutTitle) continue;
      EnumChildWindows(
          w,
          [](HWND c, LPARAM p) {
            auto& b = *reinterpret_cast<Box*>(p);
            const LONG style = GetWindowLongW(c, GWL_STYLE);
            const std::string cls = className(c);
            if (!(style & WS_VISIBLE)) return TRUE;
            if (cls == "Button") b.buttons.push_back(GetDlgCtrlID(c));
            b.icon |= cls == "Static" && (style & SS_TYPEMASK) == SS_ICON && send(c, STM_GETICON);
            if (cls == "Static" && !text(c).empty()) b.text = text(c);
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
  std::string said = std::to_string(seen.size());
  for (const Box& box : seen) said += " " + box.text;  // what they said, when they were not wanted
  expect(seen.size() == (one ? 1u : 0u), what + ": message boxes", said);
  if (seen.size() != 1) return "";
  expectEq(seen[0].caption, std::string(caption), what + ": box caption");
  expect(!seen[0].icon, what + ": box icon", "an icon");
  expect(seen[0].buttons == buttons, what + ": buttons", "others, " + seen[0].text);
  return seen[0].text;
}

void type(HWND w, const std::string& utf8) {
  if (className(w) == "ComboBox") w = FindWindowExW(w, nullptr, L"Edit", nullptr);
  send(w, EM_SETSEL, 0, -1);
  for (wchar_t ch : widen(utf8)) send(w, WM_CHAR, ch, 1);
}

// Keys held down in order and released in reverse: {VK_MENU, VK_SPACE} is Alt+Space.
void press(const std::vector<WORD>& keys) {
  for (WORD k : keys) keybd_event(BYTE(k), 0, 0, 0);
  for (auto k = keys.rbegin(); k != keys.rend(); ++k) keybd_event(BYTE(*k), 0, KEYEVENTF_KEYUP, 0);
}

// Drops the list down and clicks the entry with the mouse. On a busy machine the click can
// land before Wine has placed the list; the entry is then not chosen and the user's move is
// made again, up to three times.
void choose(HWND combo, int index) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    send(combo, CB_SHOWDROPDOWN, TRUE);
    std::vector<HWND> lists;
    waitFor([&] { return !(lists = windowsOf("ComboLBox")).empty(); });
    if (lists.empty()) return expect(false, "choose", "no dropped list");
    Sleep(50);
    const auto itemHeight = static_cast<int>(send(lists[0], LB_GETITEMHEIGHT));
    const auto top = static_cast<int>(send(lists[0], LB_GETTOPINDEX));
    POINT p{4, (index - top) * itemHeight + itemHeight / 2};
    ClientToScreen(lists[0], &p);
    SetCursorPos(p.x, p.y);
    mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    waitFor([&] { return !IsWindowVisible(lists[0]); });
    if (send(combo, CB_GETCURSEL) == index) return;
    send(combo, CB_SHOWDROPDOWN, FALSE);
  }
}

// The control that has the keyboard focus (a combo box for its inner edit), as an ID.
int focusedId() {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
  HWND focus = info.hwndFocus;
  if (focus && className(GetParent(focus)) == "ComboBox") focus = GetParent(focus);
  return focus ? GetDlgCtrlID(focus) : 0;
}

// Every control as loading leaves it: class, caption, visibility and place as the layout table
// says, a few places written out by hand, one list and the option buttons.
void checkLoaded(int dpi) {
  // The window class of each kind of control, in ui::ControlKind's order.
  constexpr const char* kClass[] = {"Button", "Static", "Edit", "ComboBox", "Button", "Button"};
  auto rectText = [](int x, int y, int w, int h) {
    return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(w) + "x" +
           std::to_string(h);
  };
  auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
  auto twips = [&](int x, int y, int w, int h) { return rectText(px(x), px(y), px(w), px(h)); };
  auto placeOf = [&](HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    return rectText(r.left, r.top, r.right - r.left, r.bottom - r.top);
  };
  // The form's area, then the two status bars under it across its width.
  RECT client;
  GetClientRect(form, &client);
  int statusHeight = 0;
  for (int bar : ui::kStatusBarIds) {
    const HWND w = GetDlgItem(form, bar);
    RECT r{};
    GetWindowRect(w, &r);
    expect(r.bottom - r.top > 12 * dpi / 96, "status bar height", placeOf(w));
    expectEq(
        placeOf(w),
        rectText(0, px(expected::kClientHeight) + statusHeight, client.right, r.bottom - r.top),
        "status bar " + std::to_string(bar));
    statusHeight += r.bottom - r.top;
  }
  expectEq(rectText(0, 0, client.right, client.bottom - statusHeight),
           twips(0, 0, expected::kClientWidth, expected::kClientHeight), "client area");
  for (const ui::ControlDesc& c : ui::form1Controls()) {
    const std::string name = ui::qualifiedName(c.name, c.index);
    const HWND w = ctl(name);
    expectEq(className(w), kClass[static_cast<int>(c.kind)], name + " class");
    if (!c.caption.empty()) expectEq(text(w), std::string(c.caption), name + " text");
    expect(IsWindowVisible(w) == c.visible, name + " visibility", c.visible ? "hidden" : "shown");
    // Frames are children of the form like everything else; their controls sit inside them.
    int left = c.left, top = c.top;
    if (const auto frame = ui::findControl(c.container)) left += frame->left, top += frame->top;
    expectEq(placeOf(w), twips(left, top, c.width, c.height), name + " geometry");
  }
  for (const expected::Place& p : expected::kPlaces)
    expectEq(placeOf(ctl(p.name)), twips(p.left, p.top, p.width, p.height), std::string(p.name));
  std::string items;
  for (LRESULT i = 0, n = send(ctl("Combo1(3)"), CB_GETCOUNT); i < n; ++i) {
    wchar_t item[64] = {};
    send(ctl("Combo1(3)"), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    items += narrow(item) + "|";
  }
  items += text(ctl("Combo1(3)")) + " " + std::to_string(send(ctl("Option1(0)"), BM_GETCHECK));
  expectEq(items + std::to_string(send(ctl("Option1(1)"), BM_GETCHECK)), "13|16|19|19 01",
           "Combo1(3) list and the option buttons");
}

// Tab round the visible controls from Command1 and back to it, then Shift+Tab once.
void checkTabOrder() {
  const std::size_t n = std::size(expected::kTabOrder);
  SetForegroundWindow(form);
  for (std::size_t i = 1; i <= n + 1; ++i) {
    const int before = focusedId();
    press(i <= n ? std::vector<WORD>{VK_TAB} : std::vector<WORD>{VK_SHIFT, VK_TAB});
    waitFor([&] { return focusedId() != before; }, 200);
    expectEq(focusedId(), id(expected::kTabOrder[i <= n ? i % n : n - 1]),
             i <= n ? "Tab" : "Shift+Tab");
  }
}

// The window's pixels, as a 24-bit BMP, straight from the screen. The GDI objects go with
// the process.
void screenshot(const wchar_t* path, HWND window = form) {
  // Painted whole before the pixels are taken, however busy the machine.
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  send(window, WM_NULL);
  Sleep(300);
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

// Every control's text, one per line, to show that nothing changed.
std::string allTexts() {
  std::string texts;
  for (const ui::ControlDesc& c : ui::form1Controls()) {
    const std::string name = ui::qualifiedName(c.name, c.index);
    texts += name + " " + text(ctl(name)) + "\n";
  }
  return texts;
}

std::string statusLines() {
  return text(GetDlgItem(form, ui::kStatusBarIds[0])) + "|" +
         text(GetDlgItem(form, ui::kStatusBarIds[1]));
}

// A text the program writes through the pointers of a message: the structure T (set up by
// `fill`, given where the text goes) and its text buffer are placed in the program's memory.
template <class T, class Fill>
std::string remoteText(HWND w, UINT message, WPARAM wParam, Fill fill) {
  struct Remote {
    T data;
    wchar_t text[1024];
  };
  auto* remote = static_cast<Remote*>(
      VirtualAllocEx(program, nullptr, sizeof(Remote), MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return "(no memory)";
  Remote local{};
  fill(local.data, remote->text);
  WriteProcessMemory(program, remote, &local, sizeof local, nullptr);
  send(w, message, wParam, reinterpret_cast<LPARAM>(remote));
  ReadProcessMemory(program, remote, &local, sizeof local, nullptr);
  VirtualFreeEx(program, remote, 0, MEM_RELEASE);
  return narrow(local.text);
}

// The tooltip the program shows for `tool` of `box`, from the tooltip windows the box owns.
std::string tooltipText(HWND box, HWND tool) {
  std::string text = "(no tooltip window)";
  for (HWND tips : windowsOf("tooltips_class32", true)) {
    if (GetWindow(tips, GW_OWNER) != box) continue;  // a status bar has a tooltip of its own
    text = remoteText<TOOLINFOW>(tips, TTM_GETTEXTW, 1024, [&](TOOLINFOW& info, wchar_t* out) {
      info.cbSize = sizeof info;
      info.hwnd = box;
      info.uId = reinterpret_cast<UINT_PTR>(tool);
      info.lpszText = out;
    });
    if (!text.empty()) break;
  }
  return text;
}

// A result longer than its box, 121.98(mH2o) in 消防栓口水压, shows its first digit at the box's
// left edge after the run writes it, with the whole text as tooltip (a result that fits has
// none), and again after Tab has passed through it and End moved the caret to its end. A box that
// refuses a hose pair the table lacks changes nothing.
void checkLeadingDigitsAndHosePair() {
  const HWND pressure = ctl("Text1(1)");
  const auto firstShown = [&] {
    RECT r{};
    GetClientRect(pressure, &r);
    return static_cast<int>(LOWORD(send(pressure, EM_CHARFROMPOS, 0, MAKELPARAM(4, r.bottom / 2))));
  };
  type(ctl("Combo1(0)"), "25");
  type(ctl("Combo1(5)"), "27");
  send(ctl("Command1"), BM_CLICK);
  expectEq(text(pressure), "121.98(mH2o)", "long result");
  expectEq(firstShown(), 0, "first character shown after the run");
  expectEq(tooltipText(form, pressure) + "|" + tooltipText(form, ctl("Text8(0)")), "121.98(mH2o)|",
           "tooltips of the results");
  SetForegroundWindow(form);
  for (int i = 0; i < 3 && focusedId() != id("Text1(1)"); ++i) {
    const int before = focusedId();
    press({VK_TAB});
    waitFor([&] { return focusedId() != before; }, 200);
  }
  expectEq(focusedId(), id("Text1(1)"), "Tab into 消防栓口水压");
  press({VK_END});
  press({VK_TAB});
  waitFor([] { return focusedId() != id("Text1(1)"); });
  expectEq(firstShown(), 0, "first character shown after the focus left");

  type(ctl("Combo1(2)"), "40");
  const std::string before = allTexts();
  send(ctl("Command1"), BM_CLICK);
  expectHas(takeBox(true, "hose pair"), "没有材料“麻质”与直径“40”", "hose pair refused");
  expectEq(allTexts(), before, "after the hose pair");
  expectEq(statusLines(), "|", "status after the hose pair");
  for (const auto& [box, entry] :
       {std::pair{"Combo1(0)", "20"}, {"Combo1(2)", "50"}, {"Combo1(5)", "10"}})
    type(ctl(box), entry);
}

// The program's visible dialog box (or window of another class) with that caption (any, if
// empty) and child, once it is there.
HWND dialog(const std::string& caption, int child = 0, const char* cls = "#32770") {
  HWND match = nullptr;
  waitFor([&] {
    for (HWND w : windowsOf(cls)) {
      if ((caption.empty() || text(w) == caption) && (!child || GetDlgItem(w, child))) match = w;
    }
    return match != nullptr;
  });
  return match;
}

// An entry of the system menu, as the keyboard reaches it: Alt+Space, End, then up from the
// bottom (1: the last entry, 系统计算…; 2: 生成计算书…). End, since the highlight may start on
// the first entry or on none; the mouse is moved away first, since over the menu it would
// highlight the entry beneath it. False when the menu did not open.
bool chooseSystemMenuEntry(int fromBottom, const std::string& what) {
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
  SetForegroundWindow(form);
  press({VK_MENU, VK_SPACE});
  const bool open = waitFor([] { return !windowsOf("#32768").empty(); });
  expect(open, what, "no system menu");
  for (int i = 0; open && i < fromBottom; ++i) press({WORD(i ? VK_UP : VK_END)});
  press({static_cast<WORD>(open ? VK_RETURN : VK_ESCAPE)});
  return open;
}

// Answers the common open or save dialog with a whole path: typed into its name box (cmb13,
// 1148: a ComboBoxEx around a combo box and its edit) until the box holds exactly that, since
// the dialog may still be putting its proposed name there, then OK (the command its button sends).
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
  PostMessageW(files, WM_COMMAND, IDOK, 0);
}

// A file in the user's documents folder, removed if it is there.
std::wstring freshDocument(const wchar_t* name) {
  wchar_t documents[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
  const std::wstring path = std::wstring(documents) + L"\\" + name;
  DeleteFileW(path.c_str());
  return path;
}

// The title block's value `name` kept in the registry, or "(none)".
std::string keptTitle(const wchar_t* name) {
  wchar_t value[256] = {};
  DWORD bytes = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, ui::win32::kTitleKey, name, RRF_RT_REG_SZ, nullptr, value,
                   &bytes) != ERROR_SUCCESS) {
    return "(none)";
  }
  return narrow(value);
}

// What the sheet's options dialog shows: the four radios, the flow, the project, the revision.
std::string sheetOptions(HWND box) {
  using namespace ui::win32;
  std::string shown;
  for (int c : {int{kSheetHigh}, int{kSheetOther}, int{kSheetTwoStreams}, int{kSheetOneStream},
                int{kSheetFlow}, sheetTitleEditId(&calc::TitleBlock::project),
                sheetTitleEditId(&calc::TitleBlock::revision)}) {  // radios 0 or 1, then texts
    shown += c < kSheetFlow ? std::to_string(send(GetDlgItem(box, c), BM_GETCHECK))
                            : text(GetDlgItem(box, c)).insert(0, 1, ' ');
  }
  return box ? shown : "no dialog";
}

void command(ui::MenuCommand entry) {
  PostMessageW(form, WM_COMMAND, MAKEWPARAM(ui::menuCommandId(entry), 0), 0);
}

// The sheet by its menu ID: the options dialog, offering the kept revision, answered (高层建筑…,
// one stream, a project name with markup in it, a revision), the save dialog, No in the yes/no
// box. The answers reach the file and the registry; the window's texts and focus stay.
void checkSheet() {
  using namespace ui::win32;
  const std::wstring path = freshDocument(L"消火栓计算书 试算.html");
  const std::string before = allTexts();
  const int focus = focusedId();
  command(ui::MenuCommand::Sheet);
  const HWND box = dialog("生成计算书");
  expectEq(sheetOptions(box), "0110 5 L/s  A", "sheet: options dialog");
  for (int radio : {kSheetHigh, kSheetOneStream}) send(GetDlgItem(box, radio), BM_CLICK);
  type(GetDlgItem(box, sheetTitleEditId(&calc::TitleBlock::project)), "工程<b>&\"");
  type(GetDlgItem(box, sheetTitleEditId(&calc::TitleBlock::revision)), "B");
  PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  answerFileDialog(narrow(path), "sheet");
  expectEq(keptTitle(L"name") + " " + keptTitle(L"revision") + " " + keptTitle(L"designer"),
           "工程<b>&\" B ", "sheet: title block kept");
  expectHas(takeBox(true, "sheet saved", {IDYES, IDNO}), narrow(path), "sheet saved");
  for (HWND left : windowsOf("#32770")) PostMessageW(left, WM_CLOSE, 0, 0);

  const std::string html = files::readWholeFile(narrow(path)).value_or("");
  for (const char* part : {"工程&lt;b&gt;&amp;&quot;", "一支水枪充实水柱到达"}) {
    expectHas(html, part, "the sheet");
  }
  expectEq(allTexts(), before, "after the sheet");
  expectEq(focusedId(), focus, "focus after the sheet");
  takeBox(false, "sheet");
}

// The menu's entries by each way in: the command ID (as the menu bar sends it), the shortcut,
// the system menu. A message box says what it must; a dialog opens, showing what it must, and
// Esc closes it.
void checkMenus(const std::string& folder) {
  using ui::MenuCommand, ui::win32::kSheetHigh;
  const std::string manual = "找不到使用说明，已查找：\n" + folder + "hydrant-calc-manual.html";
  const char* const ways[] = {" by ID", " by its key", " from the system menu"};
  const struct {
    MenuCommand entry;
    std::vector<WORD> keys;     // the shortcut
    int fromBottom;             // the place in the system menu, 0 for none
    std::string caption, says;  // says: the box's text, or what the sheet's dialog shows
    int child;                  // the dialog's, 0 for a message box
  } rows[] = {
      // clang-format off
      {MenuCommand::Manual, {VK_F1}, 0, std::string(expected::kTitle), manual, 0},
      {MenuCommand::About, {}, 0, std::string(ui::kAboutTitle), "版本 " HYDRANT_VERSION, 0},
      // checkSheet()'s answers, remembered while the window is open
      {MenuCommand::Sheet, {VK_CONTROL, 'P'}, 2, "生成计算书", "1001 5 L/s 工程<b>&\" B", kSheetHigh},
      {MenuCommand::System, {VK_CONTROL, 'M'}, 1, kNewSystemForm, "", ui::win32::kSysFloors},
      // clang-format on
  };
  for (const auto& row : rows) {
    for (int way = 0; way < 3; ++way) {
      if ((way == 1 && row.keys.empty()) || (way == 2 && !row.fromBottom)) continue;
      const std::string what = row.caption + ways[way];
      waitFor([] { return windowsOf("#32770").empty(); });  // the last one has gone
      SetForegroundWindow(form);
      if (way == 0) command(row.entry);
      if (way == 1) press(row.keys);
      if (way == 2 && !chooseSystemMenuEntry(row.fromBottom, what)) continue;
      if (!row.child) {
        expectHas(takeBox(true, what, {IDOK}, row.caption), row.says, what);
        continue;
      }
      const HWND box = dialog(row.caption, row.child);
      expect(box, what, "no dialog");
      if (!row.says.empty()) expectEq(sheetOptions(box), row.says, what);
      SetForegroundWindow(box);
      press({VK_ESCAPE});
      expect(waitFor([box] { return !IsWindow(box); }), what + ", Esc", "still open");
    }
  }
  takeBox(false, "menus");
}

// The 文件 menu dropped down by Alt+F, for the README's picture, then closed.
void menuScreenshot(const wchar_t* path) {
  SetForegroundWindow(form);
  press({VK_MENU, 'F'});
  if (!waitFor([] { return !windowsOf("#32768").empty(); })) {
    return expect(false, "menu screenshot", "no 文件 menu");
  }
  screenshot(path);
  press({VK_ESCAPE});
  press({VK_ESCAPE});
  waitFor([] { return windowsOf("#32768").empty(); });
}

// A message whose structure the program fills in: `value` goes to the program's memory and back.
template <class T>
T remoteCall(HWND w, UINT message, WPARAM wParam, T value) {
  auto* remote =
      static_cast<T*>(VirtualAllocEx(program, nullptr, sizeof(T), MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return value;
  WriteProcessMemory(program, remote, &value, sizeof value, nullptr);
  send(w, message, wParam, reinterpret_cast<LPARAM>(remote));
  ReadProcessMemory(program, remote, &value, sizeof value, nullptr);
  VirtualFreeEx(program, remote, 0, MEM_RELEASE);
  return value;
}

// A ListView's row in the other process, its cells joined by spaces.
std::string listRow(HWND list, int row) {
  const HWND header = reinterpret_cast<HWND>(send(list, LVM_GETHEADER));
  std::string out;
  for (int c = 0, n = static_cast<int>(send(header, HDM_GETITEMCOUNT)); c < n; ++c) {
    if (c) out += ' ';  // piece by piece: " " + string trips a false -Wrestrict in GCC 12
    out += remoteText<LVITEMW>(list, LVM_GETITEMTEXTW, row, [c](LVITEMW& item, wchar_t* text) {
      item.iSubItem = c;
      item.pszText = text;
      item.cchTextMax = 1023;
    });
  }
  return out;
}

// A fresh start: the system form's size and project an earlier run left are forgotten, and
// the title block is one with only 版次 "A", which the sheet dialog must offer.
void forgetSettings() {
  RegDeleteKeyW(HKEY_CURRENT_USER, ui::win32::kTitleKey);
  HKEY title = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, ui::win32::kTitleKey, 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &title, nullptr) == ERROR_SUCCESS) {
    RegSetValueExW(title, L"revision", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"A"),
                   2 * sizeof(wchar_t));
    RegCloseKey(title);
  }
  HKEY settings = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tavrel小工具", 0, KEY_SET_VALUE, &settings) ==
      ERROR_SUCCESS) {
    for (const wchar_t* value :
         {L"SystemFormWidth", L"SystemFormHeight", L"SystemFormDpi", L"LastProject"}) {
      RegDeleteValueW(settings, value);
    }
    RegCloseKey(settings);
  }
}

RECT frameOf(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}
// "960x540", wider by dx and taller by dy.
std::string sizeText(const RECT& r, int dx = 0, int dy = 0) {
  return std::to_string(r.right - r.left + dx) + "x" + std::to_string(r.bottom - r.top + dy);
}

// The system form by its menu ID, driven through the IDs its fields take from their place in
// the field table: the tab order of both pages turned by Ctrl+Tab, the worked example typed in,
// 计 算 by Enter, the grid read back, a bad entry on the hidden page bringing it up, fewer
// floors, 保存… into a file that the project reader gives back, 打开… the example, a larger
// size that the lists take and that the next opening keeps, and Esc; the main window stays as
// it was.
void checkSystemForm(int dpi, const wchar_t* shot) {
  using namespace ui::win32;
  const std::string before = allTexts();
  const std::string hose = text(ctl("Combo1(1)"));
  command(ui::MenuCommand::System);
  HWND box = dialog(kNewSystemForm, kSysFloors);
  if (!box) return expect(false, "system form", "not open");
  const auto item = [&](int id) { return GetDlgItem(box, id); };
  const auto field = [&](std::string_view key) { return item(systemFieldId(key)); };
  expectEq(text(field("hydrant.hose_material")), hose, "hydrant from the main window");

  // The grid's columns follow the DPI.
  const HWND floors = item(kSysFloors), checks = item(kSysChecks);
  expectEq(send(floors, LVM_GETCOLUMNWIDTH), MulDiv(40, dpi, 96), "grid column width");

  // A field's tooltip on the entry and on the label.
  const int shutoff = systemFieldId("pump.shutoff_ratio");
  const std::string tip = ui::systemFields()[shutoff - kSysFieldBase].tooltip;
  expectEq(tooltipText(box, item(shutoff)) +
               tooltipText(box, item(shutoff - kSysFieldBase + kSysLabelBase)),
           tip + tip, "tooltips of 零流量扬程比");

  // Tab order per page, Ctrl+Tab turning it: the tabs, the page's fields in the table's order
  // (the switched-off sprinkler's and stabilizer's are skipped), the buttons and the two lists.
  const auto page = [&] { return static_cast<int>(send(item(kSysPages), TCM_GETCURSEL)); };
  for (int p : {0, 1, 0}) {
    if (page() != p) {
      SetForegroundWindow(box);
      press(p == 1 ? std::vector<WORD>{VK_CONTROL, VK_TAB}
                   : std::vector<WORD>{VK_CONTROL, VK_SHIFT, VK_TAB});
      waitFor([&] { return page() == p; });
    }
    std::string tabs, expectedTabs = std::to_string(kSysPages) + " ";
    for (const ui::SystemField& f : ui::systemFields()) {
      if (f.page == p && !f.key.starts_with("stabilizer.") && !f.key.starts_with("sprinkler."))
        expectedTabs += std::to_string(systemFieldId(f.key)) + " ";
    }
    for (int id : {kSysCalculate, kSysOpen, kSysSave, kSysSheet, IDCANCEL, kSysFloors, kSysChecks})
      expectedTabs += std::to_string(id) + " ";
    for (HWND stop = item(kSysPages); stop && tabs.size() < 1000;) {
      tabs += std::to_string(GetDlgCtrlID(stop)) + " ";
      if ((stop = GetNextDlgTabItem(box, stop, FALSE)) == item(kSysPages)) break;
    }
    expectEq(tabs, expectedTabs, "system form tab order, page " + std::to_string(p + 1));
  }

  // The worked example's hydrant, then Enter in an entry presses 计 算.
  const std::pair<const char*, const char*> example[] = {
      {"hydrant.nozzle", "19"},        {"hydrant.hose_material", "衬胶"},
      {"hydrant.hose_diameter", "65"}, {"hydrant.hose_length", "25"},
      {"hydrant.water_column", "13"},
  };
  for (const auto& [key, value] : example) type(field(key), value);
  PostMessageW(field("riser.c"), WM_KEYDOWN, VK_RETURN, 0);
  const auto rows = [&] { return static_cast<int>(send(floors, LVM_GETITEMCOUNT)); };
  waitFor([&] { return rows() == 18; });
  expectEq(rows(), 18, "floors");
  expectEq(listRow(floors, 17), "1 1.10 0.759 1.622 1.093 必须减压 21（20.003） 0.402 0.560",
           "floor 1");
  expectEq(listRow(checks, 12).substr(0, 15), "5.2.2 不满足", "5.2.2");
  expectHas(text(item(kSysSummary)), "计算扬程 117.37 m（1.174 MPa）", "pump head");
  // 结论 fits 不满足 (three characters of the 9 pt font, 12 px each at 96 DPI, and a margin).
  expect(send(checks, LVM_GETCOLUMNWIDTH, 1) >= MulDiv(3 * 12 + 8, dpi, 96), "结论 column",
         std::to_string(send(checks, LVM_GETCOLUMNWIDTH, 1)));
  // A pump head below the calculated one: its check fails, counted; the first failed check is
  // scrolled into view.
  type(field("pump.rated_head"), "100");
  send(item(kSysCalculate), BM_CLICK);
  expectHas(text(item(kSysSummary)), "；3 项不满足", "failed count");
  int failed = 0;
  while (failed < 30 && listRow(checks, failed).find(" 不满足 ") == std::string::npos) ++failed;
  const auto top = send(checks, LVM_GETTOPINDEX);
  expect(top <= failed && failed < top + send(checks, LVM_GETCOUNTPERPAGE), "failed row in view",
         std::to_string(failed) + " from " + std::to_string(top));
  // The mouse over a row's 说明 shows it whole; over its 条文, no tip.
  const auto hover = [&](int row, int column) {
    const RECT cell = remoteCall(checks, LVM_GETSUBITEMRECT, row,
                                 RECT{.left = LVIR_BOUNDS, .top = column, .right = 0, .bottom = 0});
    send(checks, WM_MOUSEMOVE, 0, MAKELPARAM(cell.left + 4, (cell.top + cell.bottom) / 2));
    return tooltipText(box, checks);
  };
  const auto explanation = [&](int row) {
    return remoteText<LVITEMW>(checks, LVM_GETITEMTEXTW, row, [](LVITEMW& item, wchar_t* text) {
      item.iSubItem = 2;
      item.pszText = text;
      item.cchTextMax = 1023;
    });
  };
  expectEq(hover(failed, 2) + "|" + hover(failed, 0) + "|" + hover(top, 2),
           explanation(failed) + "||" + explanation(top), "说明 tips");
  if (shot) screenshot(shot, box);
  type(field("pump.rated_head"), "");
  // A bad entry on the hidden page: its message, then that page with the entry in focus.
  type(field("supply.mains"), "3");
  PostMessageW(item(kSysCalculate), BM_CLICK, 0, 0);
  expectEq(takeBox(true, "bad entry on page 2"),
           "消防水池与进水 供水路数“3”：供水路数应在 1 至 2 之间，现为 3。", "bad entry on page 2");
  waitFor([&] { return focusedId() == systemFieldId("supply.mains"); });
  expectEq(std::to_string(page()) + " " + std::to_string(focusedId()),
           "1 " + std::to_string(systemFieldId("supply.mains")), "page and focus of a bad entry");
  if (shot) {
    std::wstring second = shot;
    second.insert(second.rfind(L'.'), L"-2");
    screenshot(second.c_str(), box);
  }
  type(field("supply.mains"), "\b");
  SetForegroundWindow(box);
  press({VK_CONTROL, VK_TAB});
  waitFor([&] { return page() == 0; });

  // Ten floors: the storey heights follow; saved through the save dialog, read back by the
  // project reader.
  type(field("building.floors"), "10");
  expectEq(text(field("building.floor_heights")), "5.1, 3.9×8", "heights for ten floors");
  send(item(kSysCalculate), BM_CLICK);
  waitFor([&] { return rows() == 10; });
  expectEq(rows(), 10, "ten floors");
  const std::wstring path = freshDocument(L"楼 10.toml");
  PostMessageW(item(kSysSave), BM_CLICK, 0, 0);
  answerFileDialog(narrow(path), "system form save");
  // A busy machine may take more than five seconds over the dialog and the write, and Wine may
  // hold the file a moment after its rename.
  auto read = files::loadProject(narrow(path));
  waitFor([&] { return (read = files::loadProject(narrow(path))).ok(); }, 1000);
  expectEq(read.ok() ? std::to_string(read.value().inputs.floors) : read.error().message, "10",
           "floors in the saved file");
  takeBox(false, "system form");

  // 打开… the worked example's file: its entries, the results cleared until 计 算.
  PostMessageW(item(kSysOpen), BM_CLICK, 0, 0);
  answerFileDialog(HYDRANT_EXAMPLE, "system form open");
  waitFor([&] { return text(field("building.floors")) == "18"; });
  expectEq(text(field("building.floor_heights")) + " " + std::to_string(rows()), "5.1, 3.9×16 0",
           "opened the example");
  takeBox(false, "system form, opened");

  // A change: the caption says so; Esc and the main window's close ask first (the watchdog
  // answers 取消, so both stay); typed back, there is nothing to ask.
  type(field("riser.c"), "100");
  expectEq(text(box), "office-18f.toml* - 消火栓系统计算", "caption, changed");
  for (const char* way : {"Esc on a change", "main window closed on a change"}) {
    SetForegroundWindow(box);
    *way == 'E' ? press({VK_ESCAPE}) : void(PostMessageW(form, WM_CLOSE, 0, 0));
    expectEq(takeBox(true, way, {IDYES, IDNO, IDCANCEL}), "保存对“office-18f.toml”的更改？", way);
  }
  expect(IsWindow(box) && IsWindow(form), "form and window kept", "closed");
  type(field("riser.c"), "120");

  // At its smallest it fits a 1366×768 screen at 100 % and a 1920×1080 one at 150 % (less a
  // task bar of 40 px).
  SetWindowPos(box, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER);  // held at its minimum
  const RECT smallest = frameOf(box);
  expect(MulDiv(smallest.right - smallest.left, 96, dpi) <= 1280 &&
             MulDiv(smallest.bottom - smallest.top, 96, dpi) <= 680,
         "fits 1366x768 and 1920x1080 at 150 %", sizeText(smallest) + " at " + std::to_string(dpi));
  // Larger by up to 200 × 100 px, as far as the screen allows: the check list takes the width,
  // both lists the height.
  const RECT floorsBefore = frameOf(floors), checksBefore = frameOf(checks);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int wider = static_cast<int>(
      std::clamp((work.right - work.left) - (smallest.right - smallest.left), 0L, 200L));
  const int taller = static_cast<int>(
      std::clamp((work.bottom - work.top) - (smallest.bottom - smallest.top), 0L, 100L));
  SetWindowPos(box, nullptr, 0, 0, smallest.right - smallest.left + wider,
               smallest.bottom - smallest.top + taller, SWP_NOMOVE | SWP_NOZORDER);
  expectEq(sizeText(frameOf(floors)), sizeText(floorsBefore, 0, taller), "floor grid, enlarged");
  expectEq(sizeText(frameOf(checks)), sizeText(checksBefore, wider, taller), "checks, enlarged");
  const std::string enlarged = sizeText(frameOf(box));

  SetForegroundWindow(box);
  press({VK_ESCAPE});
  expect(waitFor([&] { return !IsWindow(box); }), "system form, Esc", "still open");
  // Opened again, it has the size it was left with.
  command(ui::MenuCommand::System);
  box = dialog("office-18f.toml - 消火栓系统计算", kSysFloors);
  expectEq(box ? sizeText(frameOf(box)) : "", enlarged, "size kept");
  if (box) PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  expect(waitFor([&] { return !IsWindow(box); }), "system form, 关闭", "still open");
  expectEq(allTexts(), before, "after the system form");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 99;
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder =
      std::wstring(temp) + L"hydrant-window-test-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
  const std::wstring copy = folder + L"hydrant-calc.exe";
  forgetSettings();
  CreateDirectoryW(folder.c_str(), nullptr);
  if (CopyFileW(argv[1], copy.c_str(), FALSE)) {
    program = reinterpret_cast<HANDLE>(_wspawnl(_P_NOWAIT, copy.c_str(), copy.c_str(), nullptr));
  }
  pid = GetProcessId(program);
  WaitForInputIdle(program, 20000);
  if (!(form = dialog("", 0, "HydrantCalcForm1")))
    return std::printf("FAIL no window of a copy of the program\n"), 99;
  std::thread dog(watchdog);

  expectEq(text(form), std::string(expected::kTitle), "caption");
  checkLoaded(_wtoi(argv[2]));
  expectEq(focusedId(), id("Command1"), "initial focus on Command1");

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
  expectEq(statusLines(),
           "设计点：栓口动压 0.254 MPa，5.00 L/s（GB 50974 表 3.5.2）|"
           "校核：1 项不满足（7.4.2-2 水带）— Ctrl+P 生成计算书查看",
           "status after the example");
  if (argc > 3) screenshot(argv[3]);
  if (argc > 5) menuScreenshot(argv[5]);
  checkTabOrder();
  checkLeadingDigitsAndHosePair();

  // A letter in the water column: the error box, and nothing else changes.
  type(ctl("Combo1(5)"), "1a");
  const std::string before = allTexts();
  send(ctl("Command1"), BM_CLICK);
  expectHas(takeBox(true, "letter in water column"), "“1a”", "error names the entry");
  expectEq(allTexts(), before, "after the error");

  type(ctl("Combo1(5)"), "10");
  // Entries chosen from the lists with the mouse reach the handlers.
  choose(ctl("Combo1(1)"), 1);
  choose(ctl("Combo1(2)"), 1);
  expectEq(text(ctl("Combo1(1)")) + " " + text(ctl("Combo1(2)")) + " " + text(ctl("Text2")),
           "衬胶 65 0.00172", "chosen entries");

  checkSheet();
  checkMenus(narrow(folder));
  checkSystemForm(_wtoi(argv[2]), argc > 4 ? argv[4] : nullptr);

  command(ui::MenuCommand::Exit);
  DWORD status = 1;
  WaitForSingleObject(program, 10000);
  GetExitCodeProcess(program, &status);
  expectEq(status, 0, "exit status");
  stopWatchdog = true;
  dog.join();
  DeleteFileW(copy.c_str());
  RemoveDirectoryW(folder.c_str());
  std::printf("%d failed checks\n", failures);
  return failures;
}
