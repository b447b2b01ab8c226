// プレビューのフォント: the font the companion's preview draws with, chosen from the
// installed families (by their English names, as the editor dialog's font is
// named) or a font file (ファイル...). Template PREVIEWFONT.
#pragma once

#include <windows.h>

#include <string>

// Runs the dialog over owner with *font offered; true, with *font (a family or a
// font file's path, UTF-8) the one chosen, on OK.
bool AskForPreviewFont(HWND owner, std::string* font);
