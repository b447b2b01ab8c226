// フォントから測定 in QUORVEL.exe: the five values of a class or of codes measured
// from a font (font_measure.h) into a copy of the document's image, shown in a
// preview before anything is written, over the measure session the Qt program's
// dialog uses. 適用 writes the copy as one change, undone as one; キャンセル changes
// nothing. The choices are offered again next time (the settings keep them).
#pragma once

#include <windows.h>

// Opens the dialog over the editor dialog (the system menu's item, Ctrl+M).
void MeasureFromFont(HWND dialog);

// Ctrl+M in the editor dialog or its companion: opens it. True when handled.
bool HandleMeasureKey(const MSG& message, HWND dialog);
