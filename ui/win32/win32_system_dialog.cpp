#include "ui/win32/win32_system_dialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <span>
#include <utility>

#include "ui/system_form.h"
#include "ui/win32/system_form_ids.h"
#include "ui/win32/win32_sheet_dialog.h"
#include "ui/win32/win32_text.h"

namespace ui::win32 {
namespace {

// Every entry and check box of systemFields() by its ID in the resource.
constexpr std::pair<std::string_view, int> kFieldIds[] = {
    {"project.name", IDC_SYS_PROJECT_NAME},
    {"project.number", IDC_SYS_PROJECT_NUMBER},
    {"project.designer", IDC_SYS_PROJECT_DESIGNER},
    {"hydrant.nozzle", IDC_SYS_HYDRANT_NOZZLE},
    {"hydrant.hose_material", IDC_SYS_HYDRANT_HOSE_MATERIAL},
    {"hydrant.hose_diameter", IDC_SYS_HYDRANT_HOSE_DIAMETER},
    {"hydrant.hose_length", IDC_SYS_HYDRANT_HOSE_LENGTH},
    {"hydrant.water_column", IDC_SYS_HYDRANT_WATER_COLUMN},
    {"hydrant.occupancy", IDC_SYS_HYDRANT_OCCUPANCY},
    {"hydrant.min_flow", IDC_SYS_HYDRANT_MIN_FLOW},
    {"building.floors", IDC_SYS_BUILDING_FLOORS},
    {"building.floor_heights", IDC_SYS_BUILDING_FLOOR_HEIGHTS},
    {"building.first_outlet_elevation", IDC_SYS_BUILDING_FIRST_OUTLET_ELEVATION},
    {"system.design_flow", IDC_SYS_SYSTEM_DESIGN_FLOW},
    {"system.riser_min_flow", IDC_SYS_SYSTEM_RISER_MIN_FLOW},
    {"supply.pool_level", IDC_SYS_SUPPLY_POOL_LEVEL},
    {"supply.pool_max_level", IDC_SYS_SUPPLY_POOL_MAX_LEVEL},
    {"pump.elevation", IDC_SYS_PUMP_ELEVATION},
    {"pump.rated_head", IDC_SYS_PUMP_RATED_HEAD},
    {"pump.shutoff_ratio", IDC_SYS_PUMP_SHUTOFF_RATIO},
    {"tank", IDC_SYS_TANK},
    {"tank.lowest_level", IDC_SYS_TANK_LOWEST_LEVEL},
    {"tank.highest_level", IDC_SYS_TANK_HIGHEST_LEVEL},
    {"tank.min_static", IDC_SYS_TANK_MIN_STATIC},
    {"stabilizer", IDC_SYS_STABILIZER},
    {"stabilizer.stop_pressure", IDC_SYS_STABILIZER_STOP_PRESSURE},
    {"stabilizer.elevation", IDC_SYS_STABILIZER_ELEVATION},
    {"design.local_loss", IDC_SYS_DESIGN_LOCAL_LOSS},
    {"design.k2", IDC_SYS_DESIGN_K2},
    {"design.branch_inner_diameter", IDC_SYS_DESIGN_BRANCH_INNER_DIAMETER},
    {"design.target_pressure", IDC_SYS_DESIGN_TARGET_PRESSURE},
    {"riser.dn", IDC_SYS_RISER_DN},
    {"riser.inner_diameter", IDC_SYS_RISER_INNER_DIAMETER},
    {"riser.c", IDC_SYS_RISER_C},
    {"riser.base_elevation", IDC_SYS_RISER_BASE_ELEVATION},
    {"main.length", IDC_SYS_MAIN_LENGTH},
    {"main.dn", IDC_SYS_MAIN_DN},
    {"main.inner_diameter", IDC_SYS_MAIN_INNER_DIAMETER},
    {"main.c", IDC_SYS_MAIN_C},
};

// Column widths at 96 DPI, in pixels: wide enough for every caption and cell of the example.
constexpr std::array kFloorWidths = {40, 56, 64, 104, 64, 64, 96, 104, 96};
constexpr std::array kCheckWidths = {64, 40, 600};

const COLORREF kMarked = RGB(255, 221, 221);  // floors that need reducing

UINT dpiOf(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow != nullptr) {
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

// `numbers`: every column but the first holds numbers, right-aligned.
void addColumns(HWND list, std::span<const std::string_view> captions, std::span<const int> widths,
                bool numbers, UINT dpi) {
  ListView_SetExtendedListViewStyle(
      list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER);
  for (std::size_t i = 0; i < captions.size(); ++i) {
    std::wstring caption = widen(captions[i]);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    // The first column of a list is always left-aligned.
    column.fmt = numbers && i > 0 ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = MulDiv(widths[i], static_cast<int>(dpi), 96);
    column.pszText = caption.data();
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
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

}  // namespace

void SystemDialog::run(HWND owner, SystemEntries& entries) {
  SystemDialog view;
  SystemForm form(view);
  view.form_ = &form;
  view.initial_ = &entries;
  SystemEntries last = entries;
  view.last_ = &last;
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SYSTEM_FORM), owner, dialogProc,
                  reinterpret_cast<LPARAM>(&view));
  entries = std::move(last);
}

INT_PTR CALLBACK SystemDialog::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<SystemDialog*>(lParam);
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    self->dialog_ = dialog;
    self->onInitDialog();
    return TRUE;  // the focus goes to the first tab stop
  }
  auto* self = reinterpret_cast<SystemDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR SystemDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_DPICHANGED: {
      // The dialog manager rescales the dialog and its font; the lists' columns are pixels.
      const UINT dpi = HIWORD(wParam);
      for (const auto& [id, widths] :
           {std::pair{IDC_SYS_FLOORS, std::span<const int>(kFloorWidths)},
            std::pair{IDC_SYS_CHECKS, std::span<const int>(kCheckWidths)}}) {
        for (std::size_t c = 0; c < widths.size(); ++c) {
          SendDlgItemMessageW(dialog_, id, LVM_SETCOLUMNWIDTH, c,
                              MulDiv(widths[c], static_cast<int>(dpi), 96));
        }
      }
      return FALSE;  // and the default handling
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == IDC_SYS_FLOORS && header->code == NM_CUSTOMDRAW) {
        SetWindowLongPtrW(dialog_, DWLP_MSGRESULT,
                          onCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam)));
        return TRUE;
      }
      return FALSE;
    }
  }
  return FALSE;
}

void SystemDialog::onInitDialog() {
  const UINT dpi = dpiOf(dialog_);
  addColumns(GetDlgItem(dialog_, IDC_SYS_FLOORS), systemFloorColumns(), kFloorWidths, true, dpi);
  addColumns(GetDlgItem(dialog_, IDC_SYS_CHECKS), systemCheckColumns(), kCheckWidths, false, dpi);
  // Enter anywhere in the form presses 计 算.
  SendMessageW(dialog_, DM_SETDEFID, IDC_SYS_CALCULATE, 0);
  form_->Form_Load(*initial_);
}

void SystemDialog::onCommand(int id, int code) {
  if (!events_) return;
  switch (id) {
    case IDC_SYS_CALCULATE:
    case IDOK:  // Enter when the focus is on no button
      events_->cmdCalculate_Click();
      return;
    case IDC_SYS_OPEN:
      events_->cmdOpen_Click();
      return;
    case IDC_SYS_SAVE:
      events_->cmdSave_Click();
      return;
    case IDC_SYS_SHEET:
      events_->cmdSheet_Click();
      return;
    case IDCANCEL:
      *last_ = form_->entries();
      EndDialog(dialog_, IDCANCEL);
      return;
    case IDC_SYS_TANK:
    case IDC_SYS_STABILIZER:
      if (code == BN_CLICKED) events_->sectionToggled(id == IDC_SYS_TANK ? "tank" : "stabilizer");
      return;
    case IDC_SYS_RISER_DN:
    case IDC_SYS_MAIN_DN: {
      const HWND combo = GetDlgItem(dialog_, id);
      if (code == CBN_SELCHANGE) {
        // The edit still shows the old text while the selection is the new one.
        const LRESULT chosen = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        if (chosen == CB_ERR) return;
        std::wstring text(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, chosen, 0)),
                          L'\0');
        SendMessageW(combo, CB_GETLBTEXT, chosen, reinterpret_cast<LPARAM>(text.data()));
        SetWindowTextW(combo, text.c_str());
      }
      if (code == CBN_SELCHANGE || code == CBN_EDITCHANGE) {
        events_->dnChanged(id == IDC_SYS_RISER_DN ? "riser.dn" : "main.dn");
      }
      return;
    }
  }
}

LRESULT SystemDialog::onCustomDraw(NMLVCUSTOMDRAW& draw) const {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
    const auto row = static_cast<std::size_t>(draw.nmcd.dwItemSpec);
    if (row < marked_.size() && marked_[row]) draw.clrTextBk = kMarked;
  }
  return CDRF_DODEFAULT;
}

HWND SystemDialog::control(std::string_view key) const {
  for (const auto& [k, id] : kFieldIds) {
    if (k == key) return GetDlgItem(dialog_, id);
  }
  return nullptr;
}

void SystemDialog::connect(SystemEvents& events) { events_ = &events; }

std::string SystemDialog::entry(std::string_view key) const {
  if (const HWND c = control(key)) return narrow(windowText(c));
  const auto it = unplaced_.find(key);
  return it == unplaced_.end() ? std::string() : it->second;
}

void SystemDialog::setEntry(std::string_view key, std::string_view text) {
  if (const HWND c = control(key)) {
    SetWindowTextW(c, widen(text).c_str());  // WM_SETTEXT raises no CBN_EDITCHANGE
  } else {
    unplaced_.insert_or_assign(std::string(key), std::string(text));
  }
}

void SystemDialog::appendItem(std::string_view key, std::string_view item) {
  if (const HWND c = control(key)) {
    SendMessageW(c, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
  }
}

bool SystemDialog::isChecked(std::string_view section) const {
  if (const HWND c = control(section)) return SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
  return entry(section) == "1";
}

void SystemDialog::setChecked(std::string_view section, bool checked) {
  if (const HWND c = control(section)) {
    SendMessageW(c, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  } else {
    unplaced_.insert_or_assign(std::string(section), std::string(checked ? "1" : "0"));
  }
}

void SystemDialog::setEnabled(std::string_view key, bool enabled) {
  if (const HWND c = control(key)) EnableWindow(c, enabled);
}

void SystemDialog::setSummary(std::string_view text) {
  SetDlgItemTextW(dialog_, IDC_SYS_SUMMARY, widen(text).c_str());
}

void SystemDialog::setFloorRows(const std::vector<SystemFloorRow>& rows) {
  std::vector<std::vector<std::string>> cells;
  marked_.clear();
  for (const SystemFloorRow& row : rows) {
    cells.push_back(row.cells);
    marked_.push_back(row.marked);
  }
  setRows(GetDlgItem(dialog_, IDC_SYS_FLOORS), cells);
}

void SystemDialog::setCheckRows(const std::vector<SystemCheckRow>& rows) {
  std::vector<std::vector<std::string>> cells;
  for (const SystemCheckRow& row : rows) cells.push_back({row.clause, row.verdict, row.text});
  setRows(GetDlgItem(dialog_, IDC_SYS_CHECKS), cells);
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

std::optional<std::string> SystemDialog::askSaveSheetPath(std::string_view fileName) {
  return win32::askSavePath(dialog_, fileName);
}

void SystemDialog::openFile(const std::string& path) {
  ShellExecuteW(dialog_, L"open", widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace ui::win32
