#include "companion_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "child_windows.h"
#include "code_rows.h"
#include "editor_dialog.h"
#include "editor_state.h"
#include "metrics_document.h"
#include "pending_change.h"
#include "preview_panel.h"
#include "program_dialog.h"
#include "program_files.h"
#include "resources/resource.h"
#include "wide_text.h"

namespace {

constexpr wchar_t kClassName[] = L"QuorvelCompanion";
constexpr UINT kRefreshPendingMessage = WM_APP + 1;
constexpr UINT kShowAtStartMessage = WM_APP + 2;
constexpr int kMargin = 6;
constexpr int kGap = 8;              // between the dialog and the companion
constexpr int kStartingHeight = 720;  // at start, when the screen has room
// Around a cell's text and a title's (which has the sort arrow beside it).
constexpr int kCellPadding = 14;
constexpr int kTitlePadding = 40;

// The companion's state: its windows, the rows it shows and how, the pending view.
struct Companion {
  HWND window = nullptr;
  HWND dialog = nullptr;
  HWND table = nullptr;
  HMENU classMenu = nullptr;            // 分類, the filter
  int lineHeight = 0;                   // of a line of text in the dialog's font
  RECT topLine = {}, summaryLine = {};  // the filter and line spacing; what 変更 will do
  std::wstring summary;
  bool loaded = false;
  std::vector<uint8_t> image, before;  // what the rows show; before empty: no highlight
  CodeRows rows;
  std::vector<uint8_t> order;  // the codes the filter lets through, in row order
  int sortColumn = kDecimalColumn;
  bool descending = false;
  ClassFilter classFilter = ClassFilter::All;
  bool following = false;  // selecting the dialog's code: no choice of the user's
  PendingView pendingView;
  bool pendingScheduled = false, settleScheduled = false, pendingShown = false;
  HBRUSH changedBrush = nullptr, pendingBrush = nullptr;
  SIZE laidOut = {-1, -1};  // the client size the children were placed for
};
Companion g_companion;

COLORREF ColourRef(RgbColour colour) { return RGB(colour.red, colour.green, colour.blue); }

// The codes the class filter lets through, ordered by the sort column.
void SortRows() {
  Companion& c = g_companion;
  c.order.clear();
  if (c.loaded) {
    for (int code = 0; code < kCodeCount; ++code) {
      if (RowInClass(static_cast<uint8_t>(code), c.classFilter))
        c.order.push_back(static_cast<uint8_t>(code));
    }
  }
  std::sort(c.order.begin(), c.order.end(), [&c](uint8_t a, uint8_t b) {
    return c.descending ? CodeRowSortsBefore(c.rows, c.sortColumn, b, a)
                        : CodeRowSortsBefore(c.rows, c.sortColumn, a, b);
  });
  SendMessageW(c.table, LVM_SETITEMCOUNT, c.order.size(), LVSICF_NOSCROLL);
  InvalidateRect(c.table, nullptr, FALSE);
}

// The arrow on the sort column's title, up for ascending.
void ShowSortArrow() {
  const HWND header = reinterpret_cast<HWND>(SendMessageW(g_companion.table, LVM_GETHEADER, 0, 0));
  for (int column = 0; column < kCodeColumnCount; ++column) {
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (column == g_companion.sortColumn)
      item.fmt |= g_companion.descending ? HDF_SORTDOWN : HDF_SORTUP;
    SendMessageW(header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
  }
}

// The row of the code selected in the dialog is the one selected here, in sight;
// none while a scope box is checked (the values then belong to a class).
void FollowSelection() {
  Companion& c = g_companion;
  const bool selectable = c.loaded && !AnyScopeBoxChecked();
  const auto found = std::find(c.order.begin(), c.order.end(), g_editor.currentCode[0]);
  const int row = selectable && found != c.order.end() ? int(found - c.order.begin()) : -1;
  const int selected = static_cast<int>(SendMessageW(c.table, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
  if (row == selected) return;
  c.following = true;
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  // The one row selected and the one focused (clearing every row costs a walk
  // over all of them).
  const int focused = static_cast<int>(SendMessageW(c.table, LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
  for (const int cleared : {selected, focused}) {
    if (cleared >= 0)
      SendMessageW(c.table, LVM_SETITEMSTATE, cleared, reinterpret_cast<LPARAM>(&item));
  }
  if (row >= 0) {
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(c.table, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    SendMessageW(c.table, LVM_ENSUREVISIBLE, row, FALSE);
  }
  c.following = false;
}

int TextWidth(const std::string& text) {
  const std::wstring wide = WideFromEditorText(text);
  return static_cast<int>(SendMessageW(g_companion.table, LVM_GETSTRINGWIDTHW, 0,
                                       reinterpret_cast<LPARAM>(wide.c_str())));
}

// A column as wide as its title with the arrow and its longest cell (the values and
// roles have characters of one width each).
int FittingWidth(int column) {
  const Companion& c = g_companion;
  int width = TextWidth(kCodeColumns[column].title) + kTitlePadding;
  if (!c.loaded) return width;
  const std::string* longest = &c.rows.rows[0].cells[column];
  for (const CodeRow& row : c.rows.rows) {
    if (row.cells[column].size() > longest->size()) longest = &row.cells[column];
  }
  return std::max(width, TextWidth(*longest) + kCellPadding);
}

// Each column wide enough; a column the user widened stays so.
void FitColumns() {
  for (int column = 0; column < kCodeColumnCount; ++column) {
    const int width = FittingWidth(column);
    if (SendMessageW(g_companion.table, LVM_GETCOLUMNWIDTH, column, 0) < width)
      SendMessageW(g_companion.table, LVM_SETCOLUMNWIDTH, column, width);
  }
}

void ShowTopLine() { InvalidateRect(g_companion.window, &g_companion.topLine, TRUE); }

// The rows as they are now, in order, with the dialog's code selected.
void ShowRows() {
  SortRows();
  ShowTopLine();
  FollowSelection();
}

// The rows again from what they show, with pending's values over them (null: none).
void FillRows(const uint8_t* pending) {
  Companion& c = g_companion;
  if (c.loaded)
    FillCodeRows(c.image.data(), c.before.empty() ? nullptr : c.before.data(), &c.rows, pending);
  ShowRows();
}

// The rows of the file's image now, with what before (null: nothing) held
// highlighted.
void TakeImage(const uint8_t* image, const uint8_t* before) {
  Companion& c = g_companion;
  c.loaded = image != nullptr;
  c.image.assign(image, image ? image + kMetricsImageSize : image);
  c.before.assign(before, before ? before + kMetricsImageSize : before);
  if (c.loaded) FillCodeRows(image, before, &c.rows, nullptr);
}

// The image taken last shown in the rows, the columns and the preview.
void ShowTakenImage() {
  const Companion& c = g_companion;
  ShowRows();
  FitColumns();
  ShowPreviewImage(c.loaded ? c.image.data() : nullptr);
}

// The file's image now shown, with what before (null: nothing) held highlighted.
void ShowImage(const uint8_t* image, const uint8_t* before) {
  TakeImage(image, before);
  ShowTakenImage();
}

// Once the dialog's handlers have run: showing a record sets the six fields one by
// one, and only the last of them gives inputs worth showing.
void SchedulePendingRefresh() {
  if (g_companion.pendingScheduled || !g_companion.window) return;
  g_companion.pendingScheduled = true;
  PostMessageW(g_companion.window, kRefreshPendingMessage, 0, 0);
}

void RefreshPending() {
  Companion& c = g_companion;
  c.pendingScheduled = false;
  if (c.settleScheduled) {
    SettlePendingView(&c.pendingView);
    c.settleScheduled = false;
  }
  const PendingChange pending = ReadPendingChange(c.pendingView);
  const std::wstring summary = WideFromEditorText(PendingSummary(pending));
  if (summary != c.summary) {
    c.summary = summary;
    InvalidateRect(c.window, &c.summaryLine, TRUE);
  }
  // Browsing codes changes the fields at every step; with nothing pending before or
  // now the rows already show the file.
  const bool wasShown = c.pendingShown;
  c.pendingShown = !pending.image.empty();
  if (!wasShown && !c.pendingShown) return;
  FillRows(pending.image.empty() ? nullptr : pending.image.data());
  ShowPreviewPending(pending.image.empty() ? nullptr : pending.image.data(), pending.codes);
}

// As if its number were typed into the number field: the dialog's own handlers
// select the code and show its values.
void SelectCode(uint8_t code) {
  SetDlgItemTextW(g_companion.dialog, IDC_NUMBER, WideFromUtf8(std::to_string(code)).c_str());
}

void OnGetDisplayInfo(NMLVDISPINFOW* info) {
  const Companion& c = g_companion;
  LVITEMW& item = info->item;
  if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || item.iItem >= int(c.order.size())) return;
  const std::string& cell = c.rows.rows[c.order[item.iItem]].cells[item.iSubItem];
  lstrcpynW(item.pszText, WideFromEditorText(cell).c_str(), item.cchTextMax);
}

// Changed values on kChangedColour, those 変更 would alter now on kPendingColour.
LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) {
  const Companion& c = g_companion;
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) return CDRF_NOTIFYSUBITEMDRAW;
  if (draw->nmcd.dwDrawStage != (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) return CDRF_DODEFAULT;
  const size_t row = draw->nmcd.dwItemSpec;
  if (row >= c.order.size() || (draw->nmcd.uItemState & CDIS_SELECTED)) return CDRF_DODEFAULT;
  const CodeRow& cells = c.rows.rows[c.order[row]];
  const int value = draw->iSubItem - kFirstValueColumn;
  draw->clrTextBk = GetSysColor(COLOR_WINDOW);
  if (value >= 0 && value < int(kEditedValueCount) && cells.pending[value]) {
    draw->clrTextBk = ColourRef(kPendingColour);
  } else if (value >= 0 && value < int(kEditedValueCount) && cells.changed[value]) {
    draw->clrTextBk = ColourRef(kChangedColour);
  }
  return CDRF_NEWFONT;
}

// A click on a title sorts by it, ascending first, descending when clicked again.
void OnColumnClick(int column) {
  Companion& c = g_companion;
  c.descending = column == c.sortColumn && !c.descending;
  c.sortColumn = column;
  SortRows();
  ShowSortArrow();
  FollowSelection();
}

LRESULT OnNotify(NMHDR* header) {
  if (header->hwndFrom != g_companion.table) return 0;
  switch (header->code) {
    case LVN_GETDISPINFOW: OnGetDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(header)); break;
    case NM_CUSTOMDRAW: return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    case LVN_COLUMNCLICK: OnColumnClick(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem); break;
    case LVN_ITEMCHANGED: {
      const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      const bool chosen =
          (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED);
      if (chosen && !g_companion.following && change->iItem >= 0 &&
          change->iItem < int(g_companion.order.size()) && !AnyScopeBoxChecked())
        SelectCode(g_companion.order[change->iItem]);
      break;
    }
  }
  return 0;
}

// The filter and the line spacing along the top, the table below, then what 変更
// will do and the preview; again only when the size changed (showing the window the
// first time tells its size again).
void LayOut() {
  Companion& c = g_companion;
  RECT client;
  GetClientRect(c.window, &client);
  if (client.right == c.laidOut.cx && client.bottom == c.laidOut.cy) return;
  c.laidOut = {client.right, client.bottom};
  const int width = std::max(0, int(client.right) - 2 * kMargin), right = kMargin + width;
  c.topLine = {kMargin, kMargin, right, kMargin + c.lineHeight};
  // The table takes two fifths of what is left, the preview the rest.
  const int tableTop = c.topLine.bottom + kMargin;
  const int tableHeight = std::max(0, (int(client.bottom) - tableTop) * 2 / 5);
  MoveWindow(c.table, kMargin, tableTop, width, tableHeight, TRUE);
  const int summaryTop = tableTop + tableHeight + kMargin / 2;
  c.summaryLine = {kMargin, summaryTop, right, summaryTop + c.lineHeight};
  const RECT preview = {kMargin, c.summaryLine.bottom + kMargin / 2, right,
                        std::max(int(c.summaryLine.bottom), int(client.bottom) - kMargin)};
  LayOutPreviewPanel(preview);
  InvalidateRect(c.window, nullptr, TRUE);
}

// Where the companion stood when the program ended, if that is still on a screen;
// else beside the dialog, wide enough for every column: to its right, or to its
// left when the screen has no room there, or against the screen's right edge.
RECT StartingPlacement() {
  const Companion& c = g_companion;
  const ProgramSettings& settings = g_programSettings;
  RECT rect = {settings.companionLeft, settings.companionTop,
               settings.companionLeft + settings.companionWidth,
               settings.companionTop + settings.companionHeight};
  if (settings.hasCompanionPlacement && IsCaptionOnScreen(rect)) return rect;
  RECT dialog;
  GetWindowRect(c.dialog, &dialog);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(c.dialog, MONITOR_DEFAULTTONEAREST), &monitor);
  int width = 2 * kMargin + GetSystemMetrics(SM_CXVSCROLL) + 4;
  for (int column = 0; column < kCodeColumnCount; ++column)
    width += static_cast<int>(SendMessageW(c.table, LVM_GETCOLUMNWIDTH, column, 0));
  RECT outer = {0, 0, width, 0};
  AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_CONTROLPARENT);
  width = outer.right - outer.left;
  int left = dialog.right + kGap;
  if (left + width > monitor.rcWork.right && dialog.left - kGap - width >= monitor.rcWork.left)
    left = dialog.left - kGap - width;
  left = std::max(int(monitor.rcWork.left), std::min(left, int(monitor.rcWork.right) - width));
  const int height = std::min(kStartingHeight, int(monitor.rcWork.bottom - dialog.top));
  return {left, dialog.top, left + width,
          dialog.top + std::max(int(dialog.bottom - dialog.top), height)};
}

// The placement and state kept for the next start (a minimised companion keeps the
// placement it had).
void KeepPlacement() {
  RECT rect;
  if (IsIconic(g_companion.window) || !GetWindowRect(g_companion.window, &rect)) return;
  ProgramSettings& settings = g_programSettings;
  settings.hasCompanionPlacement = true;
  settings.companionLeft = rect.left;
  settings.companionTop = rect.top;
  settings.companionWidth = rect.right - rect.left;
  settings.companionHeight = rect.bottom - rect.top;
}

HFONT DialogFont() {
  return reinterpret_cast<HFONT>(SendMessageW(g_companion.dialog, WM_GETFONT, 0, 0));
}

void DrawLine(HDC dc, const std::wstring& text, RECT rect) {
  DrawTextW(dc, text.c_str(), int(text.size()), &rect,
            DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_VCENTER);
}

// The filter, then the line spacing on kChangedColour or kPendingColour when it
// changed or 変更 would change it.
void PaintTopLine(HDC dc) {
  const Companion& c = g_companion;
  const std::wstring filter =
      L"分類: " + WideFromEditorText(kClassFilterNames[int(c.classFilter)]) + L"    ";
  DrawLine(dc, filter, c.topLine);
  if (!c.loaded) return;
  SIZE size = {};
  GetTextExtentPoint32W(dc, filter.c_str(), int(filter.size()), &size);
  const std::wstring spacing = WideFromEditorText(c.rows.lineSpacingText);
  RECT rect = c.topLine;
  rect.left = std::min(rect.right, rect.left + size.cx);
  if (c.rows.lineSpacingPending || c.rows.lineSpacingChanged) {
    SIZE spacingSize = {};
    GetTextExtentPoint32W(dc, spacing.c_str(), int(spacing.size()), &spacingSize);
    RECT behind = {rect.left, rect.top, std::min(rect.right, rect.left + spacingSize.cx),
                   rect.bottom};
    FillRect(dc, &behind, c.rows.lineSpacingPending ? c.pendingBrush : c.changedBrush);
  }
  DrawLine(dc, spacing, rect);
}

void Paint(HWND window) {
  const Companion& c = g_companion;
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  const HGDIOBJ old = SelectObject(dc, DialogFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  PaintTopLine(dc);
  DrawLine(dc, c.summary, c.summaryLine);
  PaintPreviewPanel(dc);
  SelectObject(dc, old);
  EndPaint(window, &paint);
}

void MarkFilterInMenu() {
  const Companion& c = g_companion;
  CheckMenuRadioItem(c.classMenu, kCompanionFilterFirstId,
                     kCompanionFilterFirstId + kClassFilterCount - 1,
                     kCompanionFilterFirstId + int(c.classFilter), MF_BYCOMMAND);
}

// 分類's item chosen: the rows of that class.
void FilterRows(ClassFilter filter) {
  g_companion.classFilter = filter;
  MarkFilterInMenu();
  SortRows();
  FollowSelection();
  ShowTopLine();
}

LRESULT CALLBACK CompanionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: LayOut(); return 0;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_PAINT: Paint(window); return 0;
    case WM_COMMAND:
      if (HandlePreviewPanelCommand(wParam, lParam)) return 0;
      if (LOWORD(wParam) >= kCompanionFilterFirstId &&
          LOWORD(wParam) < kCompanionFilterFirstId + kClassFilterCount)
        FilterRows(static_cast<ClassFilter>(LOWORD(wParam) - kCompanionFilterFirstId));
      // Esc in the companion goes back to the dialog, where the focus was.
      if (LOWORD(wParam) == IDCANCEL) SetActiveWindow(g_companion.dialog);
      return 0;
    case WM_DROPFILES: OpenDroppedFile(reinterpret_cast<HDROP>(wParam)); return 0;
    case kRefreshPendingMessage: RefreshPending(); return 0;
    case kShowAtStartMessage: ShowWindow(window, SW_SHOWNOACTIVATE); return 0;
    // Closing only hides it: the system menu opens it again.
    case WM_CLOSE:
      ShowWindow(window, SW_HIDE);
      g_programSettings.companionOpen = false;
      return 0;
    case WM_DESTROY:
      KeepPlacement();
      ClosePreviewPanel();
      DeleteObject(g_companion.changedBrush);
      DeleteObject(g_companion.pendingBrush);
      g_companion = Companion{};
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateChild(const wchar_t* className, const wchar_t* text, DWORD style, int id) {
  return CreateChildControl(g_companion.window, DialogFont(), className, text, style, id);
}

void CreateTable() {
  Companion& c = g_companion;
  c.table = CreateChild(
      WC_LISTVIEWW, L"",
      WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
      kCompanionTableId);
  SendMessageW(c.table, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
  // With drawing on, every column inserted moves the header and sets the scroll bars
  // again; with it off the list view does that once, when drawing is back on.
  SendMessageW(c.table, WM_SETREDRAW, FALSE, 0);
  for (int column = 0; column < kCodeColumnCount; ++column) {
    std::wstring title = WideFromEditorText(kCodeColumns[column].title);
    LVCOLUMNW info = {};
    info.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    info.fmt = kCodeColumns[column].alignment == CellAlignment::Left ? LVCFMT_LEFT : LVCFMT_RIGHT;
    info.cx = FittingWidth(column);  // set now: widening a column later redraws the titles
    info.pszText = &title[0];
    SendMessageW(c.table, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
  }
  SendMessageW(c.table, WM_SETREDRAW, TRUE, 0);
}

// The list view works out its row metrics and scroll bars at its first paint. Shown,
// it would then draw its scroll bar and move its header twice over before its first
// row; a print while the companion is hidden does that work where nothing is drawn.
// A new memory DC holds a one-pixel bitmap, which keeps the print itself to the
// corner of one row.
void SettleTable() {
  const HDC memory = CreateCompatibleDC(nullptr);
  SendMessageW(g_companion.table, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  DeleteDC(memory);
}

// The menus 分類 and プレビュー, the table and the preview below it.
void CreateChildren() {
  Companion& c = g_companion;
  c.lineHeight = TextLineHeight(c.window, DialogFont());
  const HMENU bar = CreateMenu();
  c.classMenu = CreatePopupMenu();
  for (int filter = 0; filter < kClassFilterCount; ++filter) {
    AppendMenuW(c.classMenu, MF_STRING, kCompanionFilterFirstId + filter,
                WideFromEditorText(kClassFilterNames[filter]).c_str());
  }
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(c.classMenu), L"分類(&C)");
  MarkFilterInMenu();
  CreateTable();
  ShowSortArrow();
  CreatePreviewPanel(c.window, DialogFont(), bar);
  SetMenu(c.window, bar);
}

}  // namespace

void CreateCompanion(HWND dialog) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = CompanionProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // already registered by an earlier dialog: fine

  Companion& c = g_companion;
  c.dialog = dialog;
  c.changedBrush = CreateSolidBrush(ColourRef(kChangedColour));
  c.pendingBrush = CreateSolidBrush(ColourRef(kPendingColour));
  c.window =
      CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"一覧とプレビュー", WS_OVERLAPPEDWINDOW, 0,
                      0, 0, 0, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
  // The rows first: the table's columns are made as wide as they need.
  TakeImage(IsDocumentLoaded(g_document) ? g_document.image : nullptr, nullptr);
  CreateChildren();
  DragAcceptFiles(c.window, TRUE);
  c.settleScheduled = true;
  ShowTakenImage();
  const RECT place = StartingPlacement();
  SetWindowPos(c.window, nullptr, place.left, place.top, place.right - place.left,
               place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
  // WM_SIZE has laid the children out.
  SettleTable();
  // Once the dialog shows and is active: shown before it, the companion would be
  // the one window on the screen and drawn as the active one.
  if (g_programSettings.companionOpen) PostMessageW(c.window, kShowAtStartMessage, 0, 0);
}

HWND CompanionWindow() { return g_companion.window; }

std::wstring CompanionSummary() { return g_companion.summary; }

namespace {

void FocusCompanionChild(HWND child) {
  if (!g_companion.window) return;
  g_programSettings.companionOpen = true;
  ShowWindow(g_companion.window, SW_SHOW);
  SetActiveWindow(g_companion.window);
  SetFocus(child);
}

}  // namespace

void FocusCompanionTable() { FocusCompanionChild(g_companion.table); }

bool HandleCompanionMessage(MSG* message) {
  static bool inside = false;  // IsDialogMessageW runs the message filter again
  const Companion& c = g_companion;
  if (!c.window || inside) return false;
  const HWND root = GetAncestor(message->hwnd, GA_ROOT);
  const bool control = (GetKeyState(VK_CONTROL) & 0x8000) && !(GetKeyState(VK_MENU) & 0x8000);
  // Ctrl+1 to the table, Ctrl+2 to the sample text.
  if (message->message == WM_KEYDOWN && (message->wParam == '1' || message->wParam == '2') &&
      control && (root == c.dialog || root == c.window) && IsWindowEnabled(c.dialog)) {
    FocusCompanionChild(message->wParam == '1' ? c.table : PreviewSampleField());
    return true;
  }
  if (root != c.window) return false;
  inside = true;
  const bool handled = IsDialogMessageW(c.window, message);
  inside = false;
  return handled;
}

void CompanionDocumentLoaded() {
  if (!g_companion.window) return;
  ShowImage(IsDocumentLoaded(g_document) ? g_document.image : nullptr, nullptr);
  g_companion.pendingShown = false;
  g_companion.settleScheduled = true;
  SchedulePendingRefresh();
}

void CompanionImageWritten(const uint8_t* before) {
  if (!g_companion.window) return;
  ShowImage(g_document.image, before);
  g_companion.pendingShown = false;
  g_companion.settleScheduled = true;
  SchedulePendingRefresh();
}

void CompanionCommandHandled() {
  if (!g_companion.window) return;
  FollowSelection();
  SchedulePendingRefresh();
}
