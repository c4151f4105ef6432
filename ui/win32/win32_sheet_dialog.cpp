#include "ui/win32/win32_sheet_dialog.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <type_traits>
#include <vector>

#include "ui/win32/dialog_template.h"
#include "ui/win32/gdi.h"
#include "ui/win32/win32_text.h"

// The options dialog is a real dialog box (DialogBoxIndirectParamW) built from a template in
// memory: the dialog manager then runs the modal loop, disables and re-enables the owner,
// moves through the controls with Tab and the arrow keys, turns Esc into 取消 and Enter into
// the default button, all as on every other Windows dialog. The template carries only the
// controls, their styles and texts; sizes come from the owner's DPI in WM_INITDIALOG, with
// the window's 宋体 9 pt font, so the dialog matches the main window instead of the
// dialog manager's own font scaling.

namespace ui::win32 {
namespace {

constexpr double kFlows[] = {5, 2.5};  // the list's entries, L/s

// The title block's rows, with their edits' and labels' IDs.
struct TextField {
  int id;
  int label;
  const calc::TitleField& field;
};
std::vector<TextField> textFields() {
  std::vector<TextField> fields;
  int row = 0;
  for (const calc::TitleField& field : calc::kTitleFields) {
    fields.push_back({kSheetTitleEdit + row, kSheetTitleLabel + row, field});
    ++row;
  }
  return fields;
}

// Dialog sizes in pixels at 96 DPI.
constexpr int kMargin = 10;
constexpr int kMinContentWidth = 480;
constexpr int kRowHeight = 24;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

// ---- The template ----------------------------------------------------------------------

constexpr WORD kButton = kButtonClass, kEdit = kEditClass, kStatic = kStaticClass,
               kCombo = kComboClass;

// Tab order is template order: the first radio of each pair starts a group and is the tab
// stop; the control after a pair ends the group.
DialogTemplate makeTemplate() {
  DialogTemplate t(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, L"生成计算书");
  const auto radio = [&](int id, std::wstring_view text, bool first) {
    t.add(kButton, id, BS_AUTORADIOBUTTON | (first ? WS_GROUP | WS_TABSTOP : 0), text);
  };
  t.add(kButton, kSheetOccupancyBox, BS_GROUPBOX, L"场所类别");
  radio(kSheetHigh, widen(calc::occupancyText(calc::Occupancy::High)), true);
  radio(kSheetOther, widen(calc::occupancyText(calc::Occupancy::Other)), false);
  t.add(kButton, kSheetStreamsBox, BS_GROUPBOX | WS_GROUP, L"布置方式");
  radio(kSheetTwoStreams, L"两股水柱同时到达", true);
  radio(kSheetOneStream, L"一股水柱到达", false);
  t.add(kStatic, kSheetFlowLabel, SS_LEFT | SS_CENTERIMAGE | WS_GROUP, L"每支水枪最小流量：");
  t.add(kCombo, kSheetFlow, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, L"");
  for (const TextField& field : textFields()) {
    t.add(kStatic, field.label, SS_LEFT | SS_CENTERIMAGE,
          widen(std::string(field.field.label) + "："));
    t.add(kEdit, field.id, ES_AUTOHSCROLL | WS_TABSTOP, L"", WS_EX_CLIENTEDGE);
  }
  t.add(kButton, IDOK, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, L"确定");
  t.add(kButton, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, L"取消");
  return t;
}

// ---- DPI and font ----------------------------------------------------------------------

// The window's DPI; GetDpiForWindow exists from Windows 10 1607 on, before that the
// screen's DPI is the only one.
UINT dpiOf(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow != nullptr && window != nullptr) {
    if (const UINT dpi = getDpiForWindow(window); dpi != 0) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// ---- The dialog ------------------------------------------------------------------------

struct DialogState {
  SheetOptions* options;  // written only on 确定, as a whole
  Font font;
};

// The whole text of one of the dialog's own controls.
std::wstring windowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

int textWidth(HDC dc, HWND control) {
  const std::wstring text = windowText(control);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// Places every control for `dpi` and sizes the dialog to fit; widths follow the captions as
// the font measures them, so every caption fits whatever font stands in for 宋体.
void layout(HWND dialog, DialogState& state, UINT dpi) {
  const auto px = [dpi](int pixels96) { return MulDiv(pixels96, static_cast<int>(dpi), 96); };
  Font font = songti(9, dpi);
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  }
  state.font = std::move(font);

  const auto item = [dialog](int id) { return GetDlgItem(dialog, id); };
  HDC dc = GetDC(dialog);
  HGDIOBJ oldFont = SelectObject(dc, state.font.get());
  const int indicator = px(24);  // the radio's circle and the gap after it
  int radioWidth = 0;
  for (int id : {kSheetHigh, kSheetOther, kSheetTwoStreams, kSheetOneStream}) {
    radioWidth = std::max(radioWidth, textWidth(dc, item(id)) + indicator);
  }
  const std::vector<TextField> fields = textFields();
  const int labelWidth = textWidth(dc, item(kSheetFlowLabel)) + px(6);
  int titleLabelWidth = 0;
  for (const TextField& field : fields) {
    titleLabelWidth = std::max(titleLabelWidth, textWidth(dc, item(field.label)) + px(6));
  }
  SelectObject(dc, oldFont);
  ReleaseDC(dialog, dc);

  const int margin = px(kMargin), inset = px(12);
  const int width = std::max(px(kMinContentWidth), radioWidth + 2 * inset);
  const int row = px(kRowHeight), radioHeight = px(20);
  const auto place = [&](int id, int x, int y, int w, int h) {
    MoveWindow(item(id), x, y, w, h, FALSE);
  };
  int y = px(6);
  const auto group = [&](int box, int first, int second) {
    const int boxHeight = px(22) + 2 * radioHeight + px(8);
    place(box, margin, y, width, boxHeight);
    place(first, margin + inset, y + px(22), width - 2 * inset, radioHeight);
    place(second, margin + inset, y + px(22) + radioHeight, width - 2 * inset, radioHeight);
    y += boxHeight + px(8);
  };
  group(kSheetOccupancyBox, kSheetHigh, kSheetOther);
  group(kSheetStreamsBox, kSheetTwoStreams, kSheetOneStream);
  const int fieldX = margin + labelWidth;
  place(kSheetFlowLabel, margin, y, labelWidth, row);
  place(kSheetFlow, fieldX, y, px(100), px(120));  // the height includes the open list
  y += row + px(8);
  // The project's name across the dialog, the other fields two to a row so that the
  // dialog stays within a small screen at 150 %.
  const int gap = px(12), half = (width - gap) / 2;
  int column = 0;
  for (const TextField& field : fields) {
    const bool whole = field.field.member == &calc::TitleBlock::project;
    const int x = margin + (column == 1 ? half + gap : 0);
    const int w = whole ? width : half;
    place(field.label, x, y, titleLabelWidth, row);
    place(field.id, x + titleLabelWidth, y, w - titleLabelWidth, row);
    column = whole ? 2 : column + 1;
    if (column == 2) {
      column = 0;
      y += row + px(6);
    }
  }
  if (column != 0) y += row + px(6);
  y += px(8);
  const int buttonWidth = px(kButtonWidth), buttonHeight = px(kButtonHeight);
  place(IDCANCEL, margin + width - buttonWidth, y, buttonWidth, buttonHeight);
  place(IDOK, margin + width - 2 * buttonWidth - px(8), y, buttonWidth, buttonHeight);

  // The frame around a client area of width + margins by the last row + a margin.
  RECT window{}, client{};
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  const int frameWidth = (window.right - window.left) - client.right;
  const int frameHeight = (window.bottom - window.top) - client.bottom;
  SetWindowPos(dialog, nullptr, 0, 0, width + 2 * margin + frameWidth,
               y + buttonHeight + margin + frameHeight, SWP_NOMOVE | SWP_NOZORDER);
  InvalidateRect(dialog, nullptr, TRUE);
}

// Over the middle of the owner, inside the work area of its monitor.
void centerOnOwner(HWND dialog, HWND owner) {
  RECT box{}, around{};
  GetWindowRect(dialog, &box);
  HMONITOR monitor = MonitorFromWindow(owner != nullptr ? owner : dialog, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  if (owner == nullptr || !GetWindowRect(owner, &around)) around = info.rcWork;
  const int w = box.right - box.left, h = box.bottom - box.top;
  int x = (around.left + around.right - w) / 2, y = (around.top + around.bottom - h) / 2;
  x = std::clamp(
      x, static_cast<int>(info.rcWork.left),
      std::max(static_cast<int>(info.rcWork.left), static_cast<int>(info.rcWork.right) - w));
  y = std::clamp(
      y, static_cast<int>(info.rcWork.top),
      std::max(static_cast<int>(info.rcWork.top), static_cast<int>(info.rcWork.bottom) - h));
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void onInitDialog(HWND dialog, DialogState& state) {
  const SheetOptions& options = *state.options;
  keepOwnDpiLayout(dialog);
  const bool high = options.occupancy == calc::Occupancy::High;
  CheckRadioButton(dialog, kSheetHigh, kSheetOther, high ? kSheetHigh : kSheetOther);
  CheckRadioButton(dialog, kSheetTwoStreams, kSheetOneStream,
                   options.streams == 1 ? kSheetOneStream : kSheetTwoStreams);
  HWND flow = GetDlgItem(dialog, kSheetFlow);
  for (const wchar_t* text : {L"5 L/s", L"2.5 L/s"}) {
    SendMessageW(flow, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  }
  // The entry nearest to the value, so an odd value still shows one of the two.
  const WPARAM nearest = options.minFlow < (kFlows[0] + kFlows[1]) / 2 ? 1 : 0;
  SendMessageW(flow, CB_SETCURSEL, nearest, 0);
  for (const TextField& field : textFields()) {
    SetDlgItemTextW(dialog, field.id, widen(options.title.*field.field.member).c_str());
  }

  HWND owner = GetWindow(dialog, GW_OWNER);
  layout(dialog, state, dpiOf(owner != nullptr ? owner : dialog));
  centerOnOwner(dialog, owner);
  SetFocus(GetDlgItem(dialog, high ? kSheetHigh : kSheetOther));
}

void readOptions(HWND dialog, SheetOptions& options) {
  options.occupancy = IsDlgButtonChecked(dialog, kSheetHigh) == BST_CHECKED
                          ? calc::Occupancy::High
                          : calc::Occupancy::Other;
  options.streams = IsDlgButtonChecked(dialog, kSheetOneStream) == BST_CHECKED ? 1 : 2;
  const LRESULT chosen = SendDlgItemMessageW(dialog, kSheetFlow, CB_GETCURSEL, 0, 0);
  options.minFlow = kFlows[chosen == 1 ? 1 : 0];
  for (const TextField& field : textFields()) {
    options.title.*field.field.member = narrow(windowText(GetDlgItem(dialog, field.id)));
  }
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    onInitDialog(dialog, *reinterpret_cast<DialogState*>(lParam));
    return FALSE;  // focus is set
  }
  auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (state == nullptr) return FALSE;  // the controls' messages before WM_INITDIALOG
  switch (message) {
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      layout(dialog, *state, LOWORD(wParam));
      SetWindowPos(dialog, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: {
          SheetOptions chosen = *state->options;
          readOptions(dialog, chosen);
          *state->options = std::move(chosen);
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

bool askSheetOptions(HWND owner, SheetOptions& options) {
  const DialogTemplate dialogTemplate = makeTemplate();
  DialogState state{&options, nullptr};
  const INT_PTR result =
      DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.get(), owner, dialogProc,
                              reinterpret_cast<LPARAM>(&state));
  return result == IDOK;
}

calc::TitleBlock rememberedTitle() {
  calc::TitleBlock title;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kTitleKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return title;
  }
  for (const calc::TitleField& field : calc::kTitleFields) {
    const std::wstring name = widen(field.tomlKey);
    DWORD bytes = 0;
    if (RegGetValueW(key, nullptr, name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        bytes < sizeof(wchar_t)) {
      continue;
    }
    std::wstring value(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(key, nullptr, name.c_str(), RRF_RT_REG_SZ, nullptr, value.data(), &bytes) ==
        ERROR_SUCCESS) {
      title.*field.member = narrow(value.c_str());
    }
  }
  RegCloseKey(key);
  return title;
}

void rememberTitle(const calc::TitleBlock& title) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kTitleKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  for (const calc::TitleField& field : calc::kTitleFields) {
    const std::wstring value = widen(title.*field.member);
    RegSetValueExW(key, widen(field.tomlKey).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(key);
}

int sheetTitleEditId(std::string calc::TitleBlock::*member) {
  for (const TextField& field : textFields()) {
    if (field.field.member == member) return field.id;
  }
  return 0;
}

std::optional<std::string> askSavePath(HWND owner, std::string_view fileName) {
  // The whole path in the name box makes the dialog open in the documents folder and show
  // only the name; without a documents folder it opens where it last was.
  std::wstring proposed = widen(fileName);
  if (wchar_t documents[MAX_PATH]{}; SUCCEEDED(
          SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents))) {
    proposed = std::wstring(documents) + L'\\' + proposed;
  }
  std::wstring path(32768, L'\0');  // the longest path Windows has
  proposed.copy(path.data(), std::min(proposed.size(), path.size() - 1));

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = L"HTML 文件 (*.html)\0*.html\0";
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrDefExt = L"html";
  dialog.Flags =
      OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  return narrow(path.c_str());
}

}  // namespace ui::win32
