#include "ui/win32/win32_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <optional>
#include <stdexcept>

#include "ui/main_menu.h"
#include "ui/win32/win32_sheet_dialog.h"
#include "ui/win32/win32_system_dialog.h"
#include "ui/win32/win32_text.h"

namespace ui {
namespace {

using win32::narrow;
using win32::widen;

constexpr wchar_t kClassName[] = L"HydrantCalcForm1";
constexpr wchar_t kIconName[] = L"IDI_ICON1";  // app/hydrant-calc.rc.in
constexpr int kFirstControlId = 1000;          // a control's ID is this + its tab position
// The system menu's entry for the calculation sheet; the low four bits belong to Windows.
constexpr UINT kSheetCommand = 0x0010;
constexpr UINT kSystemCommand = 0x0020;  // 系统计算…, right below it
// Fixed size: caption, system menu and minimise, no sizing border and no maximise.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr UINT kDesignDpi = 96;

// Functions newer than Windows 7, looked up at run time; nullptr where the system lacks them.
template <typename Function>
Function optionalApi(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const FARPROC found = user32 ? GetProcAddress(user32, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

UINT windowDpi(HWND hwnd) {
  static const auto getDpiForWindow = optionalApi<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (getDpiForWindow) return getDpiForWindow(hwnd);
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

int systemMetric(int index, UINT dpi) {
  static const auto forDpi = optionalApi<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  return forDpi ? forDpi(index, dpi) : GetSystemMetrics(index);
}

RECT windowRectForClient(int width, int height, UINT dpi) {
  static const auto forDpi =
      optionalApi<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  RECT r{0, 0, width, height};
  if (forDpi) {
    forDpi(&r, kFormStyle, TRUE, 0, dpi);  // with the menu bar
  } else {
    AdjustWindowRectEx(&r, kFormStyle, TRUE, 0);
  }
  return r;
}

// An accelerator for "Ctrl+P" or "F1"; nothing for a shortcut the table cannot hold.
std::optional<ACCEL> accelerator(std::string_view shortcut, int id) {
  ACCEL a{FVIRTKEY, 0, static_cast<WORD>(id)};
  constexpr std::string_view ctrl = "Ctrl+";
  if (shortcut.starts_with(ctrl)) {
    a.fVirt |= FCONTROL;
    shortcut.remove_prefix(ctrl.size());
  }
  if (shortcut.size() == 1 && shortcut[0] >= 'A' && shortcut[0] <= 'Z') {
    a.key = static_cast<WORD>(shortcut[0]);  // a letter's virtual key is its capital
  } else if (shortcut.size() >= 2 && shortcut[0] == 'F') {
    const int n = std::atoi(std::string(shortcut.substr(1)).c_str());
    if (n < 1 || n > 24) return std::nullopt;
    a.key = static_cast<WORD>(VK_F1 + n - 1);
  } else {
    return std::nullopt;
  }
  return a;
}

int scale(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

struct WindowClass {
  const wchar_t* name;
  DWORD style;
  DWORD exStyle;
};

WindowClass windowClass(const ControlDesc& desc) {
  switch (desc.kind) {
    case ControlKind::Frame:
      // Underneath every control; clipping keeps it from drawing over them.
      return {L"BUTTON", BS_GROUPBOX | WS_CLIPSIBLINGS, 0};
    case ControlKind::Label:
      // An auto-size label is exactly one line of 宋体 high; centring keeps the glyphs of a
      // substitute face with taller ascent and descent inside it, and changes nothing in 宋体.
      // Clipped by the controls above it: "水龙带直径：:" reaches under its combo box.
      return {L"STATIC",
              SS_LEFT | SS_NOPREFIX | WS_CLIPSIBLINGS | (desc.autoSize ? DWORD{SS_CENTERIMAGE} : 0),
              0};
    case ControlKind::TextBox:
      return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::ComboBox:
      // Editable, unsorted, no completion: typed texts never join the list.
      return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::OptionButton:
      return {L"BUTTON", BS_AUTORADIOBUTTON, 0};
    case ControlKind::CommandButton:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
  }
  return {L"STATIC", 0, 0};
}

// The closed height of a combo box: CB_SETITEMHEIGHT sets the selection field, and the border
// around it depends on the theme, so the field is corrected once against what was measured.
void setComboHeight(HWND combo, int height) {
  int field = height - 6;
  SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  RECT r;
  GetWindowRect(combo, &r);
  if (const int error = height - (r.bottom - r.top); error != 0) {
    field += error;
    SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
  }
}

}  // namespace

Win32Window::Win32Window(HINSTANCE instance) : instance_(instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, kIconName);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);  // fails harmlessly when a second window registers again

  // The size follows once the window knows its DPI (onCreate).
  CreateWindowExW(0, kClassName, widen(kAppTitle).c_str(), kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                  0, 0, nullptr, nullptr, instance, this);
  if (!hwnd_) throw std::runtime_error("CreateWindowExW failed for Form1");
}

Win32Window::~Win32Window() {
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return self->handle(message, wParam, lParam);
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      onCreate();
      return 0;
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == kSheetCommand) {
        if (events_) events_->mnuSheet_Click();
        return 0;
      }
      if ((wParam & 0xFFF0) == kSystemCommand) {
        if (events_) events_->mnuSystem_Click();
        return 0;
      }
      break;
    case WM_ACTIVATE:
      onActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_CTLCOLOREDIT:
      if (const HBRUSH brush =
              editColours(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam))) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_DPICHANGED:
      onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_CLOSE:
      // An open system form asks about its unsaved changes first. A box or dialog of the
      // window's own (it is disabled under it) is answered first: a close request from outside,
      // the installer's, waits for that rather than destroying the window under it.
      if (!win32::SystemDialog::mainWindowClosing(hwnd_)) return 0;
      if (!IsWindowEnabled(hwnd_)) return 0;
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32Window::onCreate() {
  const std::span<const ControlDesc> table = form1Controls();
  controls_.assign(table.size(), nullptr);

  // Created in tab order, so the z-order is the order Tab moves in; the frames go last, to
  // the bottom, where they hold no tab position and draw under the controls.
  std::vector<std::size_t> order(table.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const bool frameA = table[a].kind == ControlKind::Frame;
    const bool frameB = table[b].kind == ControlKind::Frame;
    return frameA != frameB ? frameB : table[a].tab < table[b].tab;
  });

  for (std::size_t i : order) {
    const ControlDesc& desc = table[i];
    WindowClass wc = windowClass(desc);
    DWORD style = WS_CHILD | wc.style;
    // Hidden controls are never shown and never take the focus.
    style = desc.visible ? style | WS_VISIBLE : style & ~WS_TABSTOP;
    // Option1(0) opens the two option buttons' group; every other control is a group alone.
    if (!(desc.kind == ControlKind::OptionButton && desc.index == 1)) style |= WS_GROUP;
    controls_[i] = CreateWindowExW(
        wc.exStyle, wc.name, widen(creationText(desc)).c_str(), style, 0, 0, 0, 0, hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + desc.tab)), instance_,
        nullptr);
    // The water-column-given mode is selected at creation; this raises no click.
    if (desc.kind == ControlKind::OptionButton && desc.index == 1) {
      SendMessageW(controls_[i], BM_SETCHECK, BST_CHECKED, 0);
    }
  }
  lastFocus_ = control({"Command1"});
  dimmed_.assign(table.size(), false);

  for (std::size_t i = 0; i < std::size(statusBars_); ++i) {
    // Placed by layout(), under the form, not aligned by the bar itself; no sizing grip on a
    // window of fixed size.
    statusBars_[i] = CreateWindowExW(
        0, STATUSCLASSNAMEW, L"",
        WS_CHILD | WS_VISIBLE | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | SBARS_TOOLTIPS,
        0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarIds[i])),
        instance_, nullptr);
  }
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_,
                             nullptr, instance_, nullptr);
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].kind != ControlKind::TextBox || !table[i].visible) continue;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(controls_[i]);
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }

  const HMENU systemMenu = GetSystemMenu(hwnd_, FALSE);
  AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(systemMenu, MF_STRING, kSheetCommand, widen(kSheetMenuText).c_str());
  createMenuBar();
  AppendMenuW(systemMenu, MF_STRING, kSystemCommand, widen(kSystemMenuText).c_str());

  layout(windowDpi(hwnd_), nullptr);
}

void Win32Window::createMenuBar() {
  const HMENU bar = CreateMenu();
  std::vector<ACCEL> keys;
  for (const Menu& menu : kMainMenu) {
    const HMENU popup = CreatePopupMenu();
    for (const MenuItem& item : menu.items) {
      if (item.separatorBefore) AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
      const int id = menuCommandId(item.command);
      std::wstring text = widen(item.text);
      if (!item.shortcut.empty()) text += L'\t' + widen(item.shortcut);
      AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(id), text.c_str());
      if (const auto key = accelerator(item.shortcut, id)) keys.push_back(*key);
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), widen(menu.title).c_str());
  }
  SetMenu(hwnd_, bar);  // destroyed with the window
  accelerators_.reset(CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size())));
}

void Win32Window::layout(UINT dpi, const RECT* suggested) {
  // New fonts and icons first; the old ones are released when the controls have let go.
  Font font = win32::songti(9, dpi);
  Font buttonFont = win32::songti(kButtonFontPointSize, dpi);
  const int big = systemMetric(SM_CXICON, dpi), small = systemMetric(SM_CXSMICON, dpi);
  Icon bigIcon(static_cast<HICON>(LoadImageW(instance_, kIconName, IMAGE_ICON, big, big, 0)));
  Icon smallIcon(static_cast<HICON>(LoadImageW(instance_, kIconName, IMAGE_ICON, small, small, 0)));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));

  // Each status line one line of the window's font high, with its margins.
  const HDC screen = GetDC(hwnd_);
  const HGDIOBJ before = SelectObject(screen, font.get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  SelectObject(screen, before);
  ReleaseDC(hwnd_, screen);
  const int line = metrics.tmHeight + MulDiv(6, static_cast<int>(dpi), 96);
  const int formWidth = scale(kClientWidthTwips, dpi), formHeight = scale(kClientHeightTwips, dpi);
  const int clientHeight = formHeight + line * static_cast<int>(std::size(statusBars_));

  const RECT frame = windowRectForClient(formWidth, clientHeight, dpi);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | (suggested ? 0 : SWP_NOMOVE);
  SetWindowPos(hwnd_, nullptr, suggested ? suggested->left : 0, suggested ? suggested->top : 0,
               frame.right - frame.left, frame.bottom - frame.top, flags);
  // The menu bar's real height can differ from the system metric the frame was computed
  // with (another menu font, a bar wrapped in two lines): the client height decides.
  RECT client;
  GetClientRect(hwnd_, &client);
  if (const int missing = clientHeight - client.bottom; missing != 0) {
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + missing,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }

  const std::span<const ControlDesc> table = form1Controls();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const ControlDesc& desc = table[i];
    int left = desc.left, top = desc.top;  // twips from the container
    if (desc.container != kFormName) {
      const ControlDesc& container = table[row({desc.container})];
      left += container.left;
      top += container.top;
    }
    const HWND w = controls_[i];
    const bool combo = desc.kind == ControlKind::ComboBox;
    SendMessageW(w, WM_SETFONT,
                 reinterpret_cast<WPARAM>(desc.kind == ControlKind::CommandButton ? buttonFont.get()
                                                                                  : font.get()),
                 FALSE);  // the whole window is repainted after a layout
    // A combo box's window height includes its dropped list, room for five entries or so.
    const int listHeight = combo ? scale(1500, dpi) : 0;
    SetWindowPos(w, nullptr, scale(left, dpi), scale(top, dpi), scale(desc.width, dpi),
                 scale(desc.height, dpi) + listHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    if (combo) setComboHeight(w, scale(desc.height, dpi));
  }
  for (std::size_t i = 0; i < std::size(statusBars_); ++i) {
    SendMessageW(statusBars_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    SetWindowPos(statusBars_[i], nullptr, 0, formHeight + line * static_cast<int>(i), formWidth,
                 line, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  font_ = std::move(font);
  buttonFont_ = std::move(buttonFont);
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i].kind == ControlKind::TextBox) followText(controls_[i]);
  }
  bigIcon_ = std::move(bigIcon);
  smallIcon_ = std::move(smallIcon);
}

void Win32Window::onDpiChanged(UINT dpi, const RECT& suggested) {
  layout(dpi, &suggested);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Win32Window::onActivate(bool active) {
  // Like a dialog: the focus leaves with the window and comes back to the same control.
  if (!active) {
    const HWND focus = GetFocus();
    if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
  } else if (lastFocus_) {
    SetFocus(lastFocus_);
  }
}

void Win32Window::onCommand(int id, int code) {
  for (const Menu& menu : kMainMenu) {
    for (const MenuItem& item : menu.items) {
      if (menuCommandId(item.command) == id) {
        if (events_) raiseMenuCommand(*events_, item.command);
        return;
      }
    }
  }
  // Enter goes to the dialog manager, which sends IDOK when the focused control is no
  // default button: on 计 算 it clicks, as on a classic form; elsewhere it does nothing.
  if (id == IDOK) {
    if (events_ && GetFocus() == control({"Command1"})) events_->Command1_Click();
    return;
  }
  const std::span<const ControlDesc> table = form1Controls();
  const auto it = std::find_if(table.begin(), table.end(), [&](const ControlDesc& desc) {
    return kFirstControlId + desc.tab == id;
  });
  // IDCANCEL comes from the dialog manager for Escape: nothing to do.
  if (it == table.end() || !events_) return;
  const ControlDesc& desc = *it;
  switch (desc.kind) {
    case ControlKind::ComboBox:
      if (code == CBN_EDITCHANGE) events_->Combo1_Change(desc.index);
      if (code == CBN_SELCHANGE) {
        // The edit still shows the old text while the selection is already the new one; the
        // handler must read the chosen entry.
        const HWND combo = controls_[static_cast<std::size_t>(it - table.begin())];
        const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        if (selected == CB_ERR) return;
        std::wstring entry(SendMessageW(combo, CB_GETLBTEXTLEN, selected, 0), L'\0');
        SendMessageW(combo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(entry.data()));
        SetWindowTextW(combo, entry.c_str());
        events_->Combo1_Click(desc.index);
      }
      break;
    case ControlKind::OptionButton:
      if (code == BN_CLICKED) events_->Option1_Click(desc.index);
      break;
    case ControlKind::TextBox: {
      const HWND edit = controls_[static_cast<std::size_t>(it - table.begin())];
      if (code == EN_KILLFOCUS) showFromStart(edit);
      if (code == EN_CHANGE) {
        followText(edit);
        if (desc.name == "Text9") events_->Text9_Change();
      }
      break;
    }
    case ControlKind::CommandButton:
      if (code == BN_CLICKED) events_->Command1_Click();
      break;
    default:
      break;
  }
}

void Win32Window::show(int showCommand) {
  ShowWindow(hwnd_, showCommand);
  UpdateWindow(hwnd_);
  if (lastFocus_) SetFocus(lastFocus_);
}

int Win32Window::run() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    // The menu's shortcuts first: the dialog manager would take their keys for the controls.
    if (hwnd_ && TranslateAcceleratorW(hwnd_, accelerators_.get(), &msg)) continue;
    // Tab, Shift+Tab, Enter and Space on buttons, as in a dialog.
    if (hwnd_ && IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

std::size_t Win32Window::row(ControlId id) const {
  const std::span<const ControlDesc> table = form1Controls();
  const auto it = std::find_if(table.begin(), table.end(), [&](const ControlDesc& desc) {
    return desc.name == id.name && desc.index == id.index;
  });
  if (it == table.end()) {
    throw std::logic_error("Form1 has no control " + qualifiedName(id.name, id.index));
  }
  return static_cast<std::size_t>(it - table.begin());
}

void Win32Window::connect(FormEvents& events) { events_ = &events; }

std::string Win32Window::text(ControlId id) const {
  const HWND w = control(id);
  std::wstring text(GetWindowTextLengthW(w) + 1, L'\0');
  text.resize(GetWindowTextW(w, text.data(), static_cast<int>(text.size())));
  return narrow(text);
}

void Win32Window::setText(ControlId id, std::string_view text) {
  const HWND w = control(id);
  SetWindowTextW(w, widen(text).c_str());
  const ControlKind kind = form1Controls()[row(id)].kind;
  if (kind == ControlKind::TextBox) showFromStart(w);
  // WM_SETTEXT on a combo box notifies nothing, yet the handlers expect one change for every
  // text set from code.
  if (kind == ControlKind::ComboBox && events_) events_->Combo1_Change(id.index);
}

void Win32Window::appendItem(ControlId id, std::string_view item) {
  SendMessageW(control(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
}

bool Win32Window::isOptionSelected(ControlId id) const {
  return SendMessageW(control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Window::setEnabled(ControlId id, bool enabled) { EnableWindow(control(id), enabled); }

void Win32Window::setDimmed(ControlId id, bool dimmed) {
  dimmed_[row(id)] = dimmed;
  InvalidateRect(control(id), nullptr, TRUE);
}

HBRUSH Win32Window::editColours(HWND edit, HDC dc) {
  const auto it = std::find(controls_.begin(), controls_.end(), edit);
  if (it == controls_.end() || !dimmed_[static_cast<std::size_t>(it - controls_.begin())]) {
    return nullptr;
  }
  // A disabled edit's colours on an enabled one: the text stays selectable and in tab order.
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

void Win32Window::setStatus(std::string_view designPoint, std::string_view checks) {
  const std::string_view lines[] = {designPoint, checks};
  for (std::size_t i = 0; i < std::size(statusBars_); ++i) {
    const std::wstring line = widen(lines[i]);
    SendMessageW(statusBars_[i], SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(line.c_str()));
    // Shown when the line is cut at the window's width.
    SendMessageW(statusBars_[i], SB_SETTIPTEXTW, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
}

void Win32Window::showFromStart(HWND edit) {
  // The caret to the first character and the view after it: an edit scrolls to the caret,
  // which Windows leaves at the end of a long text after typing or tabbing through it.
  SendMessageW(edit, EM_SETSEL, 0, 0);
  SendMessageW(edit, EM_SCROLLCARET, 0, 0);
  SendMessageW(edit, WM_HSCROLL, SB_LEFT, 0);
  followText(edit);
}

void Win32Window::followText(HWND edit) {
  if (!tooltip_) return;
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  RECT room{};
  SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
  const HDC dc = GetDC(edit);
  const HGDIOBJ before =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(edit, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, before);
  ReleaseDC(edit, dc);
  if (extent.cx <= room.right - room.left) text.clear();
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(edit);
  tool.lpszText = text.data();
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32Window::showMessage(std::string_view prompt) {
  MessageBoxW(hwnd_, widen(prompt).c_str(), widen(kAppTitle).c_str(), MB_OK);
}

bool Win32Window::askSheetOptions(SheetOptions& options) {
  return win32::askSheetOptions(hwnd_, options);
}

calc::TitleBlock Win32Window::rememberedTitle() { return win32::rememberedTitle(); }

void Win32Window::rememberTitle(const calc::TitleBlock& title) { win32::rememberTitle(title); }

std::optional<std::string> Win32Window::askSavePath(std::string_view fileName) {
  return win32::askSavePath(hwnd_, fileName);
}

bool Win32Window::askYesNo(std::string_view prompt) {
  return MessageBoxW(hwnd_, widen(prompt).c_str(), widen(kAppTitle).c_str(), MB_YESNO) == IDYES;
}

void Win32Window::openFile(const std::string& path) {
  ShellExecuteW(hwnd_, L"open", widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Window::showAbout(std::string_view text) {
  // Ctrl+C in a message box copies its caption and text.
  MessageBoxW(hwnd_, widen(text).c_str(), widen(kAboutTitle).c_str(), MB_OK);
}

std::string Win32Window::programFolder() const {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length;
  while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
         path.size()) {
    path.resize(path.size() * 2);  // truncated: a longer path than MAX_PATH
  }
  path.resize(length);
  path.erase(path.find_last_of(L'\\') + 1);
  return narrow(path);
}

void Win32Window::close() { PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

void Win32Window::runSystemForm(SystemSession& session) {
  win32::SystemDialog::run(hwnd_, session);
}

}  // namespace ui
