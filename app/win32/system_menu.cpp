#include "system_menu.h"

#include <string>
#include <vector>

#include "companion_window.h"
#include "editor_dialog.h"
#include "editor_state.h"
#include "measure_dialog.h"
#include "metrics_document.h"
#include "program_files.h"
#include "wide_text.h"

namespace {

// Multiples of 16 below 0xF000 (the system's own commands), clear of the controls'
// ids (1000-1312) and of IDOK and IDCANCEL.
constexpr UINT kUndoItem = 0x2000;
constexpr UINT kRedoItem = 0x2010;
constexpr UINT kCompanionItem = 0x2020;
constexpr UINT kMeasureItem = 0x2030;
constexpr UINT kFirstRecentItem = 0x2100;  // then one every 16
constexpr UINT kClearRecentItem = 0x2200;

HWND g_dialog = nullptr;
HMENU g_systemMenu = nullptr;
HMENU g_recentMenu = nullptr;
// The files of the recent menu as last filled, by item.
std::vector<std::string> g_recentItemPaths;

void GreyUnless(HMENU menu, UINT id, bool enabled) {
  EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

// An "&" in a file name is doubled, or the menu would take it for a mnemonic.
std::wstring MenuText(const std::string& text) {
  std::wstring menuText;
  for (wchar_t c : WideFromUtf8(text)) {
    if (c == L'&') menuText += L'&';
    menuText += c;
  }
  return menuText;
}

// Each file as its name and folder, greyed when it is not there; 履歴を消去 last.
void FillRecentMenu() {
  while (GetMenuItemCount(g_recentMenu) > 0) DeleteMenu(g_recentMenu, 0, MF_BYPOSITION);
  g_recentItemPaths.clear();
  for (const RecentEntry& entry : RecentMenuEntries(g_programSettings.recent)) {
    const UINT id = kFirstRecentItem + 16 * static_cast<UINT>(g_recentItemPaths.size());
    AppendMenuW(g_recentMenu, entry.available ? MF_STRING : MF_STRING | MF_GRAYED, id,
                MenuText(entry.text).c_str());
    g_recentItemPaths.push_back(entry.path);
  }
  if (g_recentItemPaths.empty()) AppendMenuW(g_recentMenu, MF_STRING | MF_GRAYED, 0, L"(なし)");
  AppendMenuW(g_recentMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(g_recentMenu, g_recentItemPaths.empty() ? MF_STRING | MF_GRAYED : MF_STRING,
              kClearRecentItem, L"履歴を消去(&C)");
}

}  // namespace

void AddSystemMenuItems(HWND dialog) {
  g_dialog = dialog;
  g_systemMenu = GetSystemMenu(dialog, FALSE);
  g_recentMenu = CreatePopupMenu();
  AppendMenuW(g_systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(g_systemMenu, MF_STRING, kUndoItem, L"元に戻す(&U)\tCtrl+Z");
  AppendMenuW(g_systemMenu, MF_STRING, kRedoItem, L"やり直し(&Y)\tCtrl+Y");
  AppendMenuW(g_systemMenu, MF_STRING, kMeasureItem, L"フォントから測定(&M)...\tCtrl+M");
  AppendMenuW(g_systemMenu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(g_systemMenu, MF_STRING, kCompanionItem, L"一覧とプレビュー(&T)\tCtrl+1");
  AppendMenuW(g_systemMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(g_recentMenu),
              L"最近使ったファイル(&F)");
  FillRecentMenu();
}

void UpdateSystemMenu(HMENU menu) {
  if (menu == g_systemMenu) {
    GreyUnless(menu, kUndoItem, CanUndo(g_history));
    GreyUnless(menu, kRedoItem, CanRedo(g_history));
    GreyUnless(menu, kMeasureItem, IsDocumentLoaded(g_document));
  }
  if (menu == g_recentMenu) FillRecentMenu();
}

bool RunSystemMenuItem(UINT id) {
  if (id == kUndoItem) {
    UndoChange();
  } else if (id == kRedoItem) {
    RedoChange();
  } else if (id == kMeasureItem) {
    MeasureFromFont(g_dialog);
  } else if (id == kCompanionItem) {
    FocusCompanionTable();
  } else if (id == kClearRecentItem) {
    g_programSettings.recent.paths.clear();
  } else if (id >= kFirstRecentItem && id < kFirstRecentItem + 16 * g_recentItemPaths.size() &&
             (id - kFirstRecentItem) % 16 == 0) {
    // A copy: opening refills the list the path came from.
    const std::string path = g_recentItemPaths[(id - kFirstRecentItem) / 16];
    OpenRecentFile(path);
  } else {
    return false;
  }
  return true;
}
