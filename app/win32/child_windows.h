// What the program's own windows (the companion, its preview, フォントから測定) do
// alike with the controls in them: create one in a font, read its text, ask for a
// font file.
#pragma once

#include <windows.h>

#include <string>

// A visible child control of parent, with font (the dialog's, which has the
// Japanese characters on a system of any language).
HWND CreateChildControl(HWND parent, HFONT font, const wchar_t* className, const wchar_t* text,
                        DWORD style, int id, DWORD extendedStyle = 0);

// The height of a line of text in font, as window draws it.
int TextLineHeight(HWND window, HFONT font);

// The window's text, whole.
std::wstring WindowTextOf(HWND window);

// The file-open dialog for a font file; false when cancelled, else *path (UTF-8).
bool AskForFontFile(HWND owner, std::string* path);

// A combo box's list, by UTF-8 texts: the entry of text (CB_ERR when none), the
// entry of text added when it has none, the text chosen ("" when none is).
int FindListEntry(HWND combo, const std::string& text);
int ListEntryOf(HWND combo, const std::string& text);
std::string ChosenListEntry(HWND combo);
