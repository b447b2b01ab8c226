// 一覧とプレビュー: QUORVEL.exe's companion window beside the dialog, owned by it. It
// holds the table of every code (an owner-data list view over the row model of
// code_rows.h) with the class filter (the menu 分類) and the line spacing above it,
// what 変更 would do below it, and the preview; choosing a row selects that code in
// the dialog as typing its number does. Its own window class, not a dialog box: the
// dialog's modal loop runs it, and the template stays as it is.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// The table's id and the commands of 分類 (kCompanionFilterFirstId plus the
// class filter), for the tests.
constexpr int kCompanionTableId = 100;
constexpr int kCompanionFilterFirstId = 130;

// WM_INITDIALOG: creates the companion beside dialog (or where it stood last time)
// and shows it, unless it was closed last time, without taking the activation.
void CreateCompanion(HWND dialog);

// The companion, or null before CreateCompanion and after the dialog is gone.
HWND CompanionWindow();

// What 変更 would do now, as written under the table.
std::wstring CompanionSummary();

// Shows the companion and puts the focus in its table (Ctrl+1, the system menu).
void FocusCompanionTable();

// A message of the dialog's loop for the companion: Ctrl+1, Ctrl+2, and Tab between its
// controls. True when handled, so that the dialog must not see it.
bool HandleCompanionMessage(MSG* message);

// The editor's events, which the companion follows: a load or a write refreshes the
// rows; a control's notification moves the selection and the pending view.
void CompanionDocumentLoaded();
void CompanionImageWritten(const uint8_t* before);
void CompanionCommandHandled();
