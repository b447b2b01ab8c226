// What the status bar says after an undo or a redo: which change it took back or
// wrote again, named by the time the change was first written.
#pragma once

#include <string>

#include "edit_history.h"

enum class HistoryMove { Undone, Redone };

// "元に戻しました: 12:04:31 の変更" after an undo, "やり直しました: 12:04:31 の変更"
// after a redo (the change's time of day, local time); "" when the history holds no
// such step. Ask right after the history moved.
std::string HistoryMoveText(const EditHistory& history, HistoryMove move);
