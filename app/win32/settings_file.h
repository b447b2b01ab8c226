// What QUORVEL.exe keeps between runs: where the dialog and its companion stood,
// whether the companion was open, and the recent files.
// A small UTF-8 text file under the user's application data folder, read once at
// start and written once at exit; nothing in it changes what a change writes. A
// damaged or hostile file gives the defaults, never a failed start.
#pragma once

#include <cstddef>
#include <string>

#include "measure_session.h"
#include "preview_plan.h"
#include "recent_files.h"

struct ProgramSettings {
  bool hasWindowPosition = false;
  int windowLeft = 0;  // the dialog's top-left corner on the screen
  int windowTop = 0;
  bool companionOpen = true;  // 一覧とプレビュー shows at start
  bool hasCompanionPlacement = false;
  int companionLeft = 0, companionTop = 0;  // its outer rectangle on the screen
  int companionWidth = 0, companionHeight = 0;
  RecentFiles recent;
  PreviewOptions preview;  // 枠線, 行の基準線, 拡大
  bool hasSampleText = false;
  std::string sampleText;          // UTF-8, lines joined by "\n"
  std::string previewFont;         // a family or a font file; "" until one is chosen
  bool hasMeasureChoices = false;  // フォントから測定 was used: its choices are offered again
  MeasureChoices measure;
};

// Anything longer is no file this program wrote: it is not read at all.
constexpr size_t kMaxSettingsSize = 64 * 1024;

// The file's text, one setting a line:
//   window 120 80
//   companion open 700 80 520 400   (or closed; left, top, width, height)
//   recent C:\Users\u\game\g.fnt   (newest first)
//   preview 1 0 2              (枠線, 行の基準線, 拡大)
//   sample 漢字\nAbc           (a backslash and a line break escaped as \\ and \n)
//   previewfont VL Gothic
//   measure 24 1 0 0 0         (size; 全角, 半角カナ, 半角英数, rounding)
//   measurefont VL Gothic, measurefullwidth 国, measurehalfkana ｱ
std::string SettingsText(const ProgramSettings& settings);

// The settings text holds. A line that is unknown, malformed or out of range is
// skipped, and so is a recent file that is not an absolute path, holds a control
// character or is longer than the document's path buffer.
ProgramSettings ParseSettingsText(const std::string& text);

// %APPDATA%\QUORVEL\settings; empty when the variable is not set.
std::wstring SettingsFilePath();

// The settings in the file at path; the defaults when it is missing, unreadable,
// not a plain file or larger than kMaxSettingsSize.
ProgramSettings ReadSettingsFile(const std::wstring& path);

// Writes settings to path, creating its folder, through a sibling renamed over it
// so that a cut-off write never leaves half a file. False when that failed; the
// settings are then simply not kept.
bool WriteSettingsFile(const std::wstring& path, const ProgramSettings& settings);
