#include "ui/win32/win32_system_dialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <span>
#include <utility>

#include "ui/system_form.h"
#include "ui/win32/dialog_template.h"
#include "ui/win32/system_form_ids.h"
#include "ui/win32/win32_sheet_dialog.h"
#include "ui/win32/win32_text.h"

namespace ui::win32 {
namespace {

// Floor grid column widths, in pixels at 96 DPI: wide enough for every caption and cell.
constexpr std::array kFloorWidths = {40, 56, 64, 104, 64, 64, 96, 104, 96};

// Sizes in pixels at 96 DPI.
constexpr int kMargin = 8;      // around the form
constexpr int kGap = 8;         // between group boxes, and between the two lists
constexpr int kInset = 8;       // inside a group box
constexpr int kLabelGap = 6;    // between a label and its entry
constexpr int kMinEntry = 72;   // the narrowest entry
constexpr int kMaxEntry = 220;  // the widest
constexpr int kButtonHeight = 25;
constexpr int kMinButton = 88;
constexpr int kMinListHeight = 110;
constexpr int kMoreListHeight = 110;  // added at the first opening
constexpr int kMinExplanation = 220;  // the 说明 column

const COLORREF kMarked = RGB(255, 221, 221);  // floors that need reducing
const COLORREF kFailed = RGB(192, 0, 0);      // checks that fail

// Where the form's size is kept, in pixels at 96 DPI.
constexpr wchar_t kSettingsKey[] = L"Software\\Tavrel小工具";
constexpr const wchar_t* kSizeValues[] = {L"SystemFormWidth", L"SystemFormHeight",
                                          L"SystemFormDpi"};
constexpr wchar_t kLastProjectValue[] = L"LastProject";  // the project file used last

struct Button {
  int id;
  const wchar_t* caption;
};
constexpr Button kButtons[] = {{kSysCalculate, L"计 算"},
                               {kSysOpen, L"打开…"},
                               {kSysSave, L"保存…"},
                               {kSysSheet, L"生成计算书…"},
                               {IDCANCEL, L"关闭"}};

UINT dpiOf(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow != nullptr && window != nullptr) {
    if (const UINT dpi = getDpiForWindow(window); dpi != 0) return dpi;
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

std::wstring windowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

int textWidth(HDC dc, std::wstring_view text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

// The floor grid unfolds a cut cell; the check list has its own tip for 说明 instead, so no
// row ever shows two.
void addColumns(HWND list, std::span<const std::string_view> captions, bool numbers) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES |
                                              (numbers ? LVS_EX_LABELTIP : 0) |
                                              LVS_EX_DOUBLEBUFFER);
  for (std::size_t i = 0; i < captions.size(); ++i) {
    std::wstring caption = widen(captions[i]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    // The first column of a list is always left-aligned.
    column.fmt = numbers && i > 0 ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = 40;  // layout() sets the widths for the DPI
    column.pszText = caption.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

int stringWidth(HWND list, std::string_view text) {
  const std::wstring wide = widen(text);
  return static_cast<int>(
      SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

void setRows(HWND list, const std::vector<std::vector<std::string>>& rows) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      std::wstring text = widen(rows[r][c]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(r);
      item.iSubItem = static_cast<int>(c);
      item.pszText = text.data();
      SendMessageW(list, c == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, c == 0 ? 0 : r,
                   reinterpret_cast<LPARAM>(&item));
    }
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

// The common open or save dialog for the project file.
std::optional<std::string> askProjectPath(HWND owner, bool save, std::string_view fileName) {
  std::wstring path(32768, L'\0');
  const std::wstring proposed = widen(fileName);
  proposed.copy(path.data(), std::min(proposed.size(), path.size() - 1));
  static const std::wstring filter = widen(kProjectFileFilter) + L'\0' + L"*.toml" + L'\0';
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrDefExt = L"toml";
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                 (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) return std::nullopt;
  return narrow(path.c_str());
}

// Tab order is template order: the page tabs, the group boxes in order (page by page, column
// by column), each label before its entry, then the buttons and the two lists. The hidden page's
// entries are no tab stops.
DialogTemplate makeTemplate() {
  DialogTemplate t(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX,
                   widen(kSystemFormTitle));
  // Only the strip of tabs: the pages' group boxes sit below it, overlapping nothing.
  t.add(WC_TABCONTROLW, kSysPages, WS_GROUP | WS_TABSTOP, L"");
  const std::span<const std::string_view> groups = systemGroups();
  const std::span<const SystemField> fields = systemFields();
  for (std::size_t g = 0; g < groups.size(); ++g) {
    t.add(kButtonClass, kSysGroupBase + static_cast<int>(g), BS_GROUPBOX, widen(groups[g]));
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const SystemField& f = fields[i];
      if (f.group != groups[g]) continue;
      const int id = kSysFieldBase + static_cast<int>(i);
      const std::wstring caption = widen(f.caption);
      if (f.kind == FieldKind::Check) {
        t.add(kButtonClass, id, BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, caption);
        continue;
      }
      t.add(kStaticClass, kSysLabelBase + static_cast<int>(i),
            SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, caption);
      if (f.kind == FieldKind::Combo) {
        t.add(kComboClass, id, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_GROUP | WS_TABSTOP,
              L"");
      } else {
        t.add(kEditClass, id, ES_AUTOHSCROLL | WS_GROUP | WS_TABSTOP, L"", WS_EX_CLIENTEDGE);
      }
    }
  }
  for (const Button& b : kButtons) {
    t.add(kButtonClass, b.id,
          (b.id == kSysCalculate ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_GROUP | WS_TABSTOP,
          b.caption);
  }
  t.add(kButtonClass, kSysResults, BS_GROUPBOX, L"计算结果");
  t.add(kStaticClass, kSysSummary, SS_LEFT | SS_NOPREFIX, L"");
  for (int id : {kSysFloors, kSysChecks}) {
    t.add(L"SysListView32", id,
          LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_BORDER | WS_GROUP |
              WS_TABSTOP,
          L"");
  }
  return t;
}

// Over the middle of the owner, inside the work area of its monitor, and no larger than it.
void placeOnOwner(HWND dialog, HWND owner, SIZE size) {
  HMONITOR monitor = MonitorFromWindow(owner != nullptr ? owner : dialog, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  const RECT work = info.rcWork;
  RECT around = work;
  if (owner != nullptr) GetWindowRect(owner, &around);
  const int w = std::min(static_cast<int>(size.cx), static_cast<int>(work.right - work.left));
  const int h = std::min(static_cast<int>(size.cy), static_cast<int>(work.bottom - work.top));
  const int x = std::clamp(static_cast<int>(around.left + around.right - w) / 2,
                           static_cast<int>(work.left), static_cast<int>(work.right) - w);
  const int y = std::clamp(static_cast<int>(around.top + around.bottom - h) / 2,
                           static_cast<int>(work.top), static_cast<int>(work.bottom) - h);
  SetWindowPos(dialog, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

namespace {
SystemDialog* openForm = nullptr;  // the form on screen, for the main window's close
}  // namespace

void SystemDialog::run(HWND owner, SystemSession& session) {
  SystemDialog view;
  SystemForm form(view);
  view.form_ = &form;
  view.session_ = &session;
  openForm = &view;
  const DialogTemplate dialogTemplate = makeTemplate();
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.get(), owner, dialogProc,
                          reinterpret_cast<LPARAM>(&view));
  openForm = nullptr;
}

bool SystemDialog::mainWindowClosing(HWND mainWindow) {
  if (openForm == nullptr || openForm->dialog_ == nullptr) return true;
  // A box or file dialog of the form is up, its save question among them (the form is disabled
  // under it): a second request, as the installer's retry, waits for that answer instead of
  // asking again over it.
  if (!IsWindowEnabled(openForm->dialog_)) return false;
  if (openForm->finish()) PostMessageW(mainWindow, WM_CLOSE, 0, 0);
  return false;
}

bool SystemDialog::finish() {
  if (events_ && !events_->closeRequested()) return false;
  *session_ = form_->session();
  saveSize();
  EndDialog(dialog_, IDCANCEL);
  return true;
}

void SystemDialog::addMenu() {
  HMENU file = CreatePopupMenu();
  const std::pair<int, const wchar_t*> entries[] = {{kSysMenuOpen, L"打开(&O)…"},
                                                    {kSysMenuExample, L"打开示例(&E)"},
                                                    {kSysMenuSave, L"保存(&S)…"},
                                                    {kSysMenuSheet, L"生成计算书(&R)…"},
                                                    {0, nullptr},
                                                    {kSysMenuExit, L"退出(&X)"}};
  for (const auto& [id, text] : entries) {
    AppendMenuW(file, text ? MF_STRING : MF_SEPARATOR, static_cast<UINT_PTR>(id), text);
  }
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"文件(&F)");
  SetMenu(dialog_, bar);  // destroyed with the dialog
}

INT_PTR CALLBACK SystemDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<SystemDialog*>(lParam);
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    self->dialog_ = dialog;
    self->onInitDialog();
    // The focus in the first entry, 工程名称, rather than on the tabs.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kSysFieldBase)),
                 TRUE);
    return FALSE;
  }
  auto* self = reinterpret_cast<SystemDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR SystemDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_SIZE:
      if (laidOut_) placeResults();
      return TRUE;
    case WM_GETMINMAXINFO:
      if (laidOut_) reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {minWidth_, minHeight_};
      return TRUE;
    case WM_DPICHANGED: {
      const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
      layout(HIWORD(wParam));
      SetWindowPos(dialog_, nullptr, suggested.left, suggested.top,
                   std::max(static_cast<int>(suggested.right - suggested.left), minWidth_),
                   std::max(static_cast<int>(suggested.bottom - suggested.top), minHeight_),
                   SWP_NOZORDER | SWP_NOACTIVATE);
      placeResults();
      return TRUE;
    }
    case WM_NEXTDLGCTL:
      // Ctrl+Tab and Ctrl+Shift+Tab: the dialog manager's Tab with Ctrl held turns the page.
      if (LOWORD(lParam) == 0 && GetKeyState(VK_CONTROL) < 0) {
        const int pages = static_cast<int>(systemPages().size());
        showPage((page_ + (wParam != 0 ? pages - 1 : 1)) % pages);
        SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      return FALSE;
    case WM_NOTIFY:
      if (const LRESULT result = onNotify(*reinterpret_cast<NMHDR*>(lParam)); result != -1) {
        SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, result);
        return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

void SystemDialog::onInitDialog() {
  keepOwnDpiLayout(dialog_);
  const HWND tabs = GetDlgItem(dialog_, kSysPages);
  for (std::size_t i = 0; i < systemPages().size(); ++i) {
    std::wstring caption = widen(systemPages()[i]);
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = caption.data();
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&tab));
  }
  addColumns(GetDlgItem(dialog_, kSysFloors), systemFloorColumns(), true);
  addColumns(GetDlgItem(dialog_, kSysChecks), systemCheckColumns(), false);
  // Enter anywhere in the form presses 计 算.
  SendMessageW(dialog_, DM_SETDEFID, kSysCalculate, 0);
  addTooltips();
  addMenu();
  form_->Form_Load(*session_);
  HWND owner = GetWindow(dialog_, GW_OWNER);
  layout(dpiOf(owner != nullptr ? owner : dialog_));
  showPage(0);
  restoreSize();
}

void SystemDialog::showPage(int page) {
  page_ = page;
  SendMessageW(GetDlgItem(dialog_, kSysPages), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
  const std::span<const SystemField> fields = systemFields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const int show = fields[i].page == page ? SW_SHOW : SW_HIDE;
    ShowWindow(GetDlgItem(dialog_, kSysFieldBase + static_cast<int>(i)), show);
    if (const HWND label = GetDlgItem(dialog_, kSysLabelBase + static_cast<int>(i))) {
      ShowWindow(label, show);
    }
  }
  const std::vector<int> groupPages = systemGroupPages();
  for (std::size_t g = 0; g < groupPages.size(); ++g) {
    ShowWindow(GetDlgItem(dialog_, kSysGroupBase + static_cast<int>(g)),
               groupPages[g] == page ? SW_SHOW : SW_HIDE);
  }
  // The focus never stays on a hidden entry: it goes to the tabs.
  if (const HWND focus = GetFocus(); focus != nullptr && !IsWindowVisible(focus)) {
    SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog_, kSysPages)),
                 TRUE);
  }
}

void SystemDialog::focusEntry(std::string_view key) {
  const SystemField* field = findSystemField(key);
  if (field == nullptr) return;
  showPage(field->page);
  SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(key)), TRUE);
}

void SystemDialog::addTooltips() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, dialog_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  const std::span<const SystemField> fields = systemFields();
  tips_.clear();
  for (const SystemField& f : fields) tips_.push_back(widen(f.tooltip));
  const auto add = [&](HWND window, std::wstring& text) {
    if (window == nullptr || text.empty()) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog_;
    tool.uId = reinterpret_cast<UINT_PTR>(window);
    tool.lpszText = text.data();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  };
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const HWND entry = GetDlgItem(dialog_, kSysFieldBase + static_cast<int>(i));
    add(entry, tips_[i]);
    add(GetDlgItem(dialog_, kSysLabelBase + static_cast<int>(i)), tips_[i]);
    // A combo box's edit takes the mouse over most of it.
    if (fields[i].kind == FieldKind::Combo) add(GetWindow(entry, GW_CHILD), tips_[i]);
  }
  // The check list is one tool whose text follows the 说明 cell under the mouse.
  const HWND checks = GetDlgItem(dialog_, kSysChecks);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = dialog_;
  tool.uId = reinterpret_cast<UINT_PTR>(checks);
  tool.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SetWindowSubclass(checks, checkListProc, 0, reinterpret_cast<DWORD_PTR>(this));
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
  SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 20000);
}

LRESULT CALLBACK SystemDialog::checkListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR self) {
  if (message == WM_MOUSEMOVE) {
    reinterpret_cast<SystemDialog*>(self)->followCheckTip(
        POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(list, checkListProc, 0);
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

// The tip shows the whole 说明 of the row under the mouse, and nothing elsewhere in the list.
void SystemDialog::followCheckTip(POINT at) {
  const HWND list = GetDlgItem(dialog_, kSysChecks);
  LVHITTESTINFO hit{};
  hit.pt = at;
  SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  const int row = hit.iItem >= 0 && hit.iSubItem == 2 &&
                          static_cast<std::size_t>(hit.iItem) < explanations_.size()
                      ? hit.iItem
                      : -1;
  if (row == tipRow_) return;
  tipRow_ = row;
  SendMessageW(tooltip_, TTM_POP, 0, 0);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = dialog_;
  tool.uId = reinterpret_cast<UINT_PTR>(list);
  tool.lpszText =
      row < 0 ? const_cast<wchar_t*>(L"") : explanations_[static_cast<std::size_t>(row)].data();
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void SystemDialog::layout(UINT dpi) {
  dpi_ = dpi;
  Font font = songti(9, dpi);
  for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  }
  font_ = std::move(font);
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, px(400));

  const std::span<const SystemField> fields = systemFields();
  const std::span<const std::string_view> groups = systemGroups();
  const std::vector<int> columnOf = systemGroupColumns();
  const std::vector<int> pageOf = systemGroupPages();
  const auto groupOf = [&](const SystemField& f) {
    return static_cast<std::size_t>(std::find(groups.begin(), groups.end(), f.group) -
                                    groups.begin());
  };

  // Every width from the texts as the font measures them, so whatever font stands in for 宋体
  // nothing is cut.
  HDC dc = GetDC(dialog_);
  HGDIOBJ oldFont = SelectObject(dc, font_.get());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  lineHeight_ = metrics.tmHeight;
  const int arrow = GetSystemMetrics(SM_CXVSCROLL) * static_cast<int>(dpi) / 96;
  std::vector<int> labelWidth(fields.size()), entryWidth(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const SystemField& f = fields[i];
    const int caption = textWidth(dc, widen(f.caption));
    if (f.kind == FieldKind::Check) {
      entryWidth[i] = caption + px(24);  // the box and the gap after it
      continue;
    }
    labelWidth[i] = caption;
    int widest = textWidth(dc, widen(f.defaultText));
    for (const std::string& item : systemFieldItems(f)) {
      widest = std::max(widest, textWidth(dc, widen(item)));
    }
    const int extra = px(12) + (f.kind == FieldKind::Combo ? arrow : 0);
    entryWidth[i] = std::clamp(widest + extra, px(kMinEntry), px(kMaxEntry));
  }
  int buttonWidth = px(kMinButton);
  for (const Button& b : kButtons)
    buttonWidth = std::max(buttonWidth, textWidth(dc, b.caption) + px(24));
  SelectObject(dc, oldFont);
  ReleaseDC(dialog_, dc);

  // An entry is as tall as a closed combo box in this font.
  int entryHeight = lineHeight_ + px(8);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (fields[i].kind != FieldKind::Combo) continue;
    const HWND combo = GetDlgItem(dialog_, kSysFieldBase + static_cast<int>(i));
    MoveWindow(combo, 0, 0, entryWidth[i], px(300), FALSE);
    RECT closed{};
    GetWindowRect(combo, &closed);
    entryHeight = std::max(entryHeight, static_cast<int>(closed.bottom - closed.top));
    break;
  }
  const int pitch = entryHeight + px(4);

  const auto place = [&](int id, int x, int y, int w, int h) {
    MoveWindow(GetDlgItem(dialog_, id), x, y, w, h, FALSE);
  };
  // The strip of tabs, then each page's columns below it.
  const HWND tabs = GetDlgItem(dialog_, kSysPages);
  RECT tab{};
  SendMessageW(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
  const int stripHeight =
      (tab.bottom > 0 ? static_cast<int>(tab.bottom) : lineHeight_ + px(8)) + px(3);
  // The tabs close under the menu bar, the pages close under the tabs: the form fits 680 px.
  const int pagesTop = px(kMargin / 2) + stripHeight + px(kGap / 2);
  int right = px(kMargin), bottom = 0;
  for (int p = 0; p < static_cast<int>(systemPages().size()); ++p) {
    int x = px(kMargin);
    for (int c = 0;; ++c) {
      const auto inColumn = [&](std::size_t g) { return pageOf[g] == p && columnOf[g] == c; };
      bool any = false;
      for (std::size_t g = 0; g < groups.size(); ++g) any = any || inColumn(g);
      if (!any) break;
      int labels = 0, inner = 0;
      for (std::size_t i = 0; i < fields.size(); ++i) {
        if (inColumn(groupOf(fields[i]))) labels = std::max(labels, labelWidth[i]);
      }
      for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!inColumn(groupOf(fields[i]))) continue;
        inner = std::max(inner, fields[i].kind == FieldKind::Check
                                    ? entryWidth[i]
                                    : labels + px(kLabelGap) + entryWidth[i]);
      }
      const int width = inner + 2 * px(kInset);
      int y = pagesTop;
      for (std::size_t g = 0; g < groups.size(); ++g) {
        if (!inColumn(g)) continue;
        const int top = y;
        y += lineHeight_ + px(4);  // the group box's caption
        for (std::size_t i = 0; i < fields.size(); ++i) {
          if (fields[i].group != groups[g]) continue;
          const int id = kSysFieldBase + static_cast<int>(i);
          const int left = x + px(kInset);
          if (fields[i].kind == FieldKind::Check) {
            place(id, left, y, inner, entryHeight);
          } else {
            place(kSysLabelBase + static_cast<int>(i), left, y, labels, entryHeight);
            // A combo box's height includes its open list.
            place(id, left + labels + px(kLabelGap), y, entryWidth[i],
                  fields[i].kind == FieldKind::Combo ? px(300) : entryHeight);
          }
          y += pitch;
        }
        y += px(4);
        place(kSysGroupBase + static_cast<int>(g), x, top, width, y - top);
        y += px(kGap);
      }
      bottom = std::max(bottom, y);
      x += width + px(kGap);
    }
    right = std::max(right, x);
  }
  place(kSysPages, px(kMargin), px(kMargin / 2), right - px(kGap) - px(kMargin), stripHeight);
  int x = right;
  // The buttons in a column of their own, right of the entries.
  int y = px(kMargin) + lineHeight_ / 2;
  for (const Button& b : kButtons) {
    place(b.id, x, y, buttonWidth, px(kButtonHeight));
    y += px(kButtonHeight) + px(6);
  }
  topHeight_ = std::max(bottom, y);
  const int entriesWidth = x + buttonWidth + px(kMargin);

  // The floor grid shows every column; the check list gets what is left, at least its
  // two short columns and a readable 说明.
  const HWND floors = GetDlgItem(dialog_, kSysFloors);
  floorsWidth_ = GetSystemMetrics(SM_CXVSCROLL) * static_cast<int>(dpi) / 96 + px(6);
  for (std::size_t c = 0; c < kFloorWidths.size(); ++c) {
    SendMessageW(floors, LVM_SETCOLUMNWIDTH, c, px(kFloorWidths[c]));
    floorsWidth_ += px(kFloorWidths[c]);
  }
  const int resultsWidth = 2 * px(kMargin) + 2 * px(kInset) + floorsWidth_ + px(kGap) +
                           px(kMinExplanation) + px(110);  // 条文 and 结论
  const int summaryHeight = 2 * lineHeight_ + px(4);
  const int resultsHeight =
      lineHeight_ + px(4) + summaryHeight + px(4) + px(kMinListHeight) + px(kInset);

  RECT window{}, client{};
  GetWindowRect(dialog_, &window);
  GetClientRect(dialog_, &client);
  minWidth_ = std::max(entriesWidth, resultsWidth) + (window.right - window.left) - client.right;
  minHeight_ =
      topHeight_ + resultsHeight + px(kMargin) + (window.bottom - window.top) - client.bottom;
  laidOut_ = true;
  InvalidateRect(dialog_, nullptr, TRUE);
}

void SystemDialog::placeResults() {
  RECT client{};
  GetClientRect(dialog_, &client);
  const int left = px(kMargin), top = topHeight_;
  const int right = static_cast<int>(client.right) - px(kMargin);
  const int bottom =
      std::max(static_cast<int>(client.bottom), top + px(kMinListHeight)) - px(kMargin);
  const auto place = [&](int id, int x, int y, int w, int h) {
    MoveWindow(GetDlgItem(dialog_, id), x, y, w, h, FALSE);
  };
  place(kSysResults, left, top, right - left, bottom - top);
  const int inLeft = left + px(kInset), inRight = right - px(kInset);
  int y = top + lineHeight_ + px(4);
  const int summaryHeight = 2 * lineHeight_ + px(4);
  place(kSysSummary, inLeft, y, inRight - inLeft, summaryHeight);
  y += summaryHeight + px(4);
  const int listHeight = std::max(bottom - px(kInset) - y, px(40));
  place(kSysFloors, inLeft, y, floorsWidth_, listHeight);
  const int checksLeft = inLeft + floorsWidth_ + px(kGap);
  place(kSysChecks, checksLeft, y, std::max(inRight - checksLeft, px(100)), listHeight);
  fitCheckColumns();
  InvalidateRect(dialog_, nullptr, TRUE);
}

// 条文 and 结论 as wide as their widest text (不满足 among them) in the list's font; 说明 takes
// the rest, and the row's tip shows it whole.
void SystemDialog::fitCheckColumns() {
  const HWND list = GetDlgItem(dialog_, kSysChecks);
  const int pad = px(14);
  int clause = stringWidth(list, systemCheckColumns()[0]);
  int verdict = std::max(stringWidth(list, systemCheckColumns()[1]), stringWidth(list, "不满足"));
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < rows; ++r) {
    wchar_t text[64] = {};
    ListView_GetItemText(list, r, 0, text, 64);
    clause = std::max(clause, static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0,
                                                            reinterpret_cast<LPARAM>(text))));
  }
  clause += pad;
  verdict += pad;
  RECT inside{};
  GetClientRect(list, &inside);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, clause);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, verdict);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 2,
               std::max(static_cast<int>(inside.right) - clause - verdict, px(120)));
}

// The size is kept in pixels with the DPI it was taken at, so it comes back exactly at that
// DPI and scaled at another.
void SystemDialog::restoreSize() {
  // Unless a size is kept, the lists get room for about ten rows where the screen has it.
  SIZE size{minWidth_, minHeight_ + px(kMoreListHeight)};
  DWORD kept[3] = {};  // width, height, DPI
  for (int i = 0; i < 3; ++i) {
    DWORD bytes = sizeof(DWORD);
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kSizeValues[i], RRF_RT_REG_DWORD, nullptr,
                     &kept[i], &bytes) != ERROR_SUCCESS) {
      kept[2] = 0;
      break;
    }
  }
  if (kept[2] >= 48 && kept[2] <= 960) {
    const auto scaled = [&](DWORD pixels) {
      return MulDiv(static_cast<int>(std::min<DWORD>(pixels, 30000)), static_cast<int>(dpi_),
                    static_cast<int>(kept[2]));
    };
    size = {std::max(minWidth_, scaled(kept[0])), std::max(minHeight_, scaled(kept[1]))};
  }
  placeOnOwner(dialog_, GetWindow(dialog_, GW_OWNER), size);
  placeResults();
}

void SystemDialog::saveSize() {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(dialog_, &placement)) return;
  const RECT& r = placement.rcNormalPosition;
  const DWORD kept[3] = {static_cast<DWORD>(r.right - r.left), static_cast<DWORD>(r.bottom - r.top),
                         dpi_};
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;  // the size is a convenience: a locked registry only loses it
  }
  for (int i = 0; i < 3; ++i) {
    RegSetValueExW(key, kSizeValues[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kept[i]),
                   sizeof(DWORD));
  }
  RegCloseKey(key);
}

void SystemDialog::onCommand(int id, int code) {
  if (!events_) return;
  switch (id) {
    case kSysCalculate:
    case IDOK:  // Enter when the focus is on no button
      events_->cmdCalculate_Click();
      return;
    case kSysOpen:
    case kSysMenuOpen:
      events_->cmdOpen_Click();
      return;
    case kSysMenuExample:
      events_->cmdOpenExample_Click();
      return;
    case kSysSave:
    case kSysMenuSave:
      events_->cmdSave_Click();
      return;
    case kSysSheet:
    case kSysMenuSheet:
      events_->cmdSheet_Click();
      return;
    case IDCANCEL:  // 关闭, Esc and the close box
    case kSysMenuExit:
      finish();
      return;
  }
  const SystemField* field = systemFieldOfId(id);
  if (field == nullptr || quiet_) return;
  if (field->kind == FieldKind::Check) {
    if (code == BN_CLICKED) {
      events_->sectionToggled(field->key);
      events_->entryChanged();
    }
    return;
  }
  if (field->kind == FieldKind::Combo && code == CBN_SELCHANGE) {
    // The edit still shows the old text while the selection is the new one.
    const HWND combo = GetDlgItem(dialog_, id);
    const LRESULT chosen = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (chosen == CB_ERR) return;
    std::wstring text(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, chosen, 0)), L'\0');
    SendMessageW(combo, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(text.data()));
    SetWindowTextW(combo, text.c_str());
  }
  const bool changed = field->kind == FieldKind::Combo
                           ? code == CBN_SELCHANGE || code == CBN_EDITCHANGE
                           : code == EN_CHANGE;
  if (!changed) return;
  if (field->key.ends_with(".dn")) events_->dnChanged(field->key);
  if (field->key == "building.floors") events_->floorsChanged();
  events_->entryChanged();
}

// -1 when the notification is not the form's to answer.
LRESULT SystemDialog::onNotify(NMHDR& header) {
  if (header.code == TCN_SELCHANGE && header.idFrom == kSysPages) {
    showPage(static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
    return 0;
  }
  if (header.code == NM_CUSTOMDRAW &&
      (header.idFrom == kSysFloors || header.idFrom == kSysChecks)) {
    auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(header);
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
      const auto row = static_cast<std::size_t>(draw.nmcd.dwItemSpec);
      if (header.idFrom == kSysFloors && row < marked_.size() && marked_[row]) {
        draw.clrTextBk = kMarked;
      }
      if (header.idFrom == kSysChecks && row < failed_.size() && failed_[row]) {
        draw.clrText = kFailed;
      }
    }
    return CDRF_DODEFAULT;
  }
  return -1;
}

HWND SystemDialog::control(std::string_view key) const {
  if (const int id = systemFieldId(key); id != 0) return GetDlgItem(dialog_, id);
  throw std::logic_error("the system form has no entry " + std::string(key));
}

void SystemDialog::connect(SystemEvents& events) { events_ = &events; }

std::string SystemDialog::entry(std::string_view key) const {
  return narrow(windowText(control(key)));
}

void SystemDialog::setEntry(std::string_view key, std::string_view text) {
  // WM_SETTEXT raises no CBN_EDITCHANGE, but an edit's EN_CHANGE, which is not the user's.
  quiet_ = true;
  SetWindowTextW(control(key), widen(text).c_str());
  quiet_ = false;
}

void SystemDialog::setTitle(std::string_view title) {
  SetWindowTextW(dialog_, widen(title).c_str());
}

SystemView::Answer SystemDialog::askYesNoCancel(std::string_view prompt) {
  switch (MessageBoxW(dialog_, widen(prompt).c_str(), widen(kAppTitle).c_str(), MB_YESNOCANCEL)) {
    case IDYES:
      return Answer::Yes;
    case IDNO:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

std::string SystemDialog::rememberedProjectPath() {
  std::wstring path(32768, L'\0');
  DWORD bytes = static_cast<DWORD>(path.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kLastProjectValue, RRF_RT_REG_SZ, nullptr,
                   path.data(), &bytes) != ERROR_SUCCESS) {
    return "";
  }
  return narrow(path.c_str());
}

void SystemDialog::rememberProjectPath(const std::string& path) {
  const std::wstring wide = widen(path);
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;  // a convenience: a locked registry only loses it
  }
  RegSetValueExW(key, kLastProjectValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                 static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

void SystemDialog::appendItem(std::string_view key, std::string_view item) {
  if (const HWND c = control(key)) {
    SendMessageW(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
  }
}

bool SystemDialog::isChecked(std::string_view section) const {
  return SendMessageW(control(section), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SystemDialog::setChecked(std::string_view section, bool checked) {
  SendMessageW(control(section), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void SystemDialog::setEnabled(std::string_view key, bool enabled) {
  EnableWindow(control(key), enabled);
}

void SystemDialog::setSummary(std::string_view text) {
  SetDlgItemTextW(dialog_, kSysSummary, widen(text).c_str());
}

void SystemDialog::setFloorRows(const std::vector<SystemFloorRow>& rows) {
  std::vector<std::vector<std::string>> cells;
  marked_.clear();
  for (const SystemFloorRow& row : rows) {
    cells.push_back(row.cells);
    marked_.push_back(row.marked);
  }
  setRows(GetDlgItem(dialog_, kSysFloors), cells);
}

void SystemDialog::setCheckRows(const std::vector<SystemCheckRow>& rows) {
  std::vector<std::vector<std::string>> cells;
  failed_.clear();
  explanations_.clear();
  followCheckTip(POINT{-1, -1});  // the tip's text is about to go
  for (const SystemCheckRow& row : rows) {
    cells.push_back({row.clause, row.verdict, row.text});
    failed_.push_back(row.failed);
    explanations_.push_back(widen(row.text));
  }
  const HWND list = GetDlgItem(dialog_, kSysChecks);
  setRows(list, cells);
  fitCheckColumns();
  // The first failed check in view.
  if (const auto first = std::find(failed_.begin(), failed_.end(), true); first != failed_.end()) {
    ListView_EnsureVisible(list, static_cast<int>(first - failed_.begin()), FALSE);
  }
}

void SystemDialog::showMessage(std::string_view prompt) {
  MessageBoxW(dialog_, widen(prompt).c_str(), widen(kAppTitle).c_str(), MB_OK);
}

bool SystemDialog::askYesNo(std::string_view prompt) {
  return MessageBoxW(dialog_, widen(prompt).c_str(), widen(kAppTitle).c_str(), MB_YESNO) == IDYES;
}

std::optional<std::string> SystemDialog::askOpenProjectPath() {
  return askProjectPath(dialog_, false, "");
}

std::optional<std::string> SystemDialog::askSaveProjectPath(std::string_view fileName) {
  return askProjectPath(dialog_, true, fileName);
}

bool SystemDialog::askSheetOptions(SheetOptions& options) {
  return win32::askSheetOptions(dialog_, options);
}

calc::TitleBlock SystemDialog::rememberedTitle() { return win32::rememberedTitle(); }

void SystemDialog::rememberTitle(const calc::TitleBlock& title) { win32::rememberTitle(title); }

std::optional<std::string> SystemDialog::askSaveSheetPath(std::string_view fileName) {
  return win32::askSavePath(dialog_, fileName);
}

void SystemDialog::openFile(const std::string& path) {
  ShellExecuteW(dialog_, L"open", widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace ui::win32
