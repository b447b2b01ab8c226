// QUORVEL.exe's items in the dialog's system menu (the template has no menu bar):
// 元に戻す and やり直し, 一覧とプレビュー (the companion), and 最近使ったファイル with
// its files and 履歴を消去.
#pragma once

#include <windows.h>

// Appends the items to dialog's system menu.
void AddSystemMenuItems(HWND dialog);

// WM_INITMENUPOPUP: the system menu greys 元に戻す / やり直し when the history has
// nothing to undo / redo; the recent files' submenu is filled as it opens.
void UpdateSystemMenu(HMENU menu);

// Runs the item id: the system menu's own items arrive as WM_SYSCOMMAND, those of
// its submenu as WM_COMMAND. False for an id that is none of these items.
bool RunSystemMenuItem(UINT id);
