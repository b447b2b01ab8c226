// QUORVEL.exe's parts around the unchanged dialog, on the real dialog under Windows
// or Wine: undo keys and the system menu, dropped and recent files, the error box's
// details, the settings file.
#include <gtest/gtest.h>

#include <windows.h>
// After windows.h
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "code_rows.h"
#include "companion_window.h"
#include "editor_dialog.h"
#include "editor_driver.h"
#include "editor_driver_win32.h"
#include "editor_state.h"
#include "measure_session.h"
#include "metrics_format.h"
#include "modal_calls.h"
#include "modal_script.h"
#include "preview_canvas.h"
#include "preview_font.h"
#include "preview_panel.h"
#include "program_dialog.h"
#include "program_files.h"
#include "resources/resource.h"
#include "test_files.h"
#include "utf16_text.h"

namespace {

Bytes FileWithLineSpacing(float spacing) {
  Bytes bytes = PatternedFile(3);
  WriteSingle(bytes.data(), kLineSpacingOffset, spacing);
  return bytes;
}

// The id of the item of menu whose text starts with prefix (its position for a
// submenu), or -1.
int MenuItem(HMENU menu, const std::wstring& prefix, bool position = false) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
    if (std::wstring(text).rfind(prefix, 0) == 0)
      return position ? i : static_cast<int>(GetMenuItemID(menu, i));
  }
  return -1;
}

// A menu as it opens: the program fills and greys it then.
HMENU OpenedMenu(HMENU menu) {
  SendMessageW(EditorWindow(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
  return menu;
}

bool IsGreyed(HMENU menu, int id) { return GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED; }

std::wstring Wide(const std::string& utf8) { return std::filesystem::u8path(utf8).wstring(); }
std::wstring g_bigFile;

void HoldControl(bool down) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

// Drops one file on the dialog as the shell does, by its wide name.
void DropFile(const std::wstring& path) {
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(drop + 1, path.c_str(), path.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  PostMessageW(EditorWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  DrainMessages();
}

// Runs act, which makes the editor show a real box; another thread reads the box's
// text, presses Ctrl+Z in it (the main thread's Ctrl is held meanwhile) and OK.
std::wstring TextOfBoxShownBy(void (*act)()) {
  std::wstring text;
  const HWND dialog = EditorWindow();
  std::thread user([&] {
    for (int i = 0; i < 500 && text.empty(); ++i, Sleep(10)) {
      for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", nullptr));) {
        wchar_t shown[512] = {};  // none until the box is set up
        if (GetWindow(w, GW_OWNER) != dialog || !GetDlgItemTextW(w, 0xFFFF, shown, 512)) continue;
        text = shown;
        PostMessageW(GetDlgItem(w, IDOK), WM_KEYDOWN, 'Z', 1);
        PostMessageW(w, WM_COMMAND, IDOK, 0);
      }
    }
  });
  HoldControl(true);
  act();
  HoldControl(false);
  user.join();
  return text;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallModalScript();
    g_driverDialogProc = ProgramDialogProc;
    g_programSettings = ProgramSettings{};
    path_ = folder_.Path("my metrics.fnt");
    WriteWholeFile(path_, FileWithLineSpacing(16));
  }
  void TearDown() override {
    StopEditor();
    g_driverDialogProc = EditorDialogProc;
  }
  TempFolder folder_;
  std::string path_;
};

TEST_F(ProgramTest, KeysAndSystemMenuUndoAndRedoByTheFieldRule) {
  g_programSettings = ParseSettingsText("window 40 30\n");
  StartEditor("Q.exe \"" + path_ + "\"");
  RECT rect;
  GetWindowRect(EditorWindow(), &rect);
  EXPECT_EQ(rect.left, 40) << "where it stood last time";
  HMENU menu = GetSystemMenu(EditorWindow(), FALSE);
  const int undo = MenuItem(menu, L"元に戻す"), redo = MenuItem(menu, L"やり直し");
  EXPECT_TRUE(IsGreyed(OpenedMenu(menu), undo));
  TypeInto(IDC_LINE_SPACING, "20");
  Click(IDC_CHANGE);
  EXPECT_FALSE(IsGreyed(OpenedMenu(menu), undo));
  EXPECT_TRUE(IsGreyed(menu, redo));
  FocusControl(IDC_LINE_SPACING);
  PressControlKey('Z');  // the field's typing first
  EXPECT_EQ(ControlText(IDC_LINE_SPACING), "16");
  EXPECT_TRUE(ReadWholeFile(path_) == FileWithLineSpacing(20));
  PressControlKey('Z');  // then the change
  EXPECT_TRUE(ReadWholeFile(path_) == FileWithLineSpacing(16));
  PressControlKey('Y');
  EXPECT_EQ(ControlText(IDC_LINE_SPACING), "20");
  SendMessageW(EditorWindow(), WM_SYSCOMMAND, undo, 0);
  EXPECT_TRUE(ReadWholeFile(path_) == FileWithLineSpacing(16));
  PressControlKey('Z', true);
  EXPECT_TRUE(ReadWholeFile(path_) == FileWithLineSpacing(20));
}

TEST_F(ProgramTest, CtrlZInAMessageBoxNeverUndoes) {
  StartEditor("Q.exe \"" + path_ + "\"");
  TypeInto(IDC_LINE_SPACING, "20");
  Click(IDC_CHANGE);
  g_errorBox = MessageBoxWithDetails;  // the real box
  TypeInto(IDC_WIDTH, "abc");
  std::wstring text = TextOfBoxShownBy([] { Click(IDC_CHANGE); });
  EXPECT_EQ(text, L"幅: \"abc\" is not a number");
  EXPECT_TRUE(ReadWholeFile(path_) == FileWithLineSpacing(20));
  EXPECT_TRUE(CanUndo(g_history));
}

TEST_F(ProgramTest, DroppedFilesOpenByWideNameAndErrorBoxesSayWhy) {
  StartEditor("Q.exe");
  WriteWholeFile(folder_.Path("落とした한.fnt"), FileWithLineSpacing(7));
  DropFile(Wide(folder_.Path("落とした한.fnt")));
  EXPECT_EQ(ControlText(IDC_LINE_SPACING), "7");
  EXPECT_EQ(FileNameText(g_document.filePath), "落とした한.fnt");

  g_errorBox = MessageBoxWithDetails;
  WriteWholeFile(folder_.Path("大きい.fnt"), Bytes(kMetricsFileSize + 1));
  g_bigFile = Wide(folder_.Path("大きい.fnt"));
  std::wstring text = TextOfBoxShownBy([] { DropFile(g_bigFile); });
  EXPECT_EQ(
      text,
      L"Error\n\n大きい.fnt: wrong size: 14633 bytes, a metrics file has exactly 14632 bytes");
}

TEST_F(ProgramTest, RecentFilesKeepWhereARelativeOpenFoundTheFile) {
  g_programSettings = ParseSettingsText("window 29000 100\n");  // on no screen
  {
    CurrentFolder inFolder(folder_.Root());
    StartEditor("Q.exe \"my metrics.fnt\"");
  }
  WriteWholeFile(folder_.Path("other.fnt"), FileWithLineSpacing(7));
  DropFile(Wide(folder_.Path("other.fnt")));
  RECT rect;
  GetWindowRect(EditorWindow(), &rect);
  EXPECT_LT(rect.left, 29000) << "centred instead";
  HMENU menu = GetSystemMenu(EditorWindow(), FALSE);
  HMENU recent = OpenedMenu(GetSubMenu(menu, MenuItem(menu, L"最近使ったファイル", true)));
  EXPECT_EQ(MenuItem(recent, L"other.fnt — ", true), 0);
  ASSERT_EQ(MenuItem(recent, L"my metrics.fnt — ", true), 1);
  SendMessageW(EditorWindow(), WM_COMMAND, GetMenuItemID(recent, 1), 0);
  EXPECT_EQ(Caption(), "QUORVEL - my metrics.fnt");
  EXPECT_EQ(ControlText(IDC_LINE_SPACING), "16");
  SendMessageW(EditorWindow(), WM_COMMAND, MenuItem(OpenedMenu(recent), L"履歴を消去"), 0);
  EXPECT_TRUE(g_programSettings.recent.paths.empty());
  StopEditor();
  EXPECT_TRUE(g_programSettings.hasWindowPosition) << "kept for the next start";
}

// ---- The companion's table, through the list view's own messages

HWND Table() { return GetDlgItem(CompanionWindow(), kCompanionTableId); }

// An item of the companion's menus, chosen as a click on it would.
void ChooseCompanionMenuItem(int id) {
  ASSERT_NE(GetMenuState(GetMenu(CompanionWindow()), id, MF_BYCOMMAND), UINT(-1)) << id;
  SendMessageW(CompanionWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool IsMenuItemChecked(int id) {
  return GetMenuState(GetMenu(CompanionWindow()), id, MF_BYCOMMAND) & MF_CHECKED;
}

std::string Cell(int row, int column) {
  wchar_t text[64] = {};
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 64;
  SendMessageW(Table(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return std::filesystem::path(text).u8string();
}

// The background the companion gives a cell when the list view draws it.
COLORREF Background(int row, int column) {
  NMLVCUSTOMDRAW draw = {};
  draw.nmcd.hdr = {Table(), kCompanionTableId, static_cast<UINT>(NM_CUSTOMDRAW)};
  draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
  draw.nmcd.dwItemSpec = row;
  draw.iSubItem = column;
  SendMessageW(CompanionWindow(), WM_NOTIFY, kCompanionTableId, reinterpret_cast<LPARAM>(&draw));
  return draw.clrTextBk;
}

// A click in the middle of rect of window; the button is up again before the control
// looks.
void ClickIn(HWND window, const RECT& rect) {
  const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  PostMessageW(window, WM_LBUTTONUP, 0, point);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
  DrainMessages();
}

void ClickRow(int row) {
  SendMessageW(Table(), LVM_ENSUREVISIBLE, row, FALSE);
  RECT rect = {LVIR_BOUNDS, 0, 0, 0};
  SendMessageW(Table(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
  ClickIn(Table(), rect);
}

HWND TableHeader() { return reinterpret_cast<HWND>(SendMessageW(Table(), LVM_GETHEADER, 0, 0)); }

void ClickTitle(int column) {
  RECT rect;
  SendMessageW(TableHeader(), HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&rect));
  ClickIn(TableHeader(), rect);
}

int SortArrow(int column) {
  HDITEMW item = {};
  item.mask = HDI_FORMAT;
  SendMessageW(TableHeader(), HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
  return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

int SelectedRow() {
  return static_cast<int>(SendMessageW(Table(), LVM_GETNEXTITEM, -1, LVNI_SELECTED));
}

constexpr COLORREF kPending = RGB(kPendingColour.red, kPendingColour.green, kPendingColour.blue);
constexpr COLORREF kChanged = RGB(kChangedColour.red, kChangedColour.green, kChangedColour.blue);

TEST_F(ProgramTest, CompanionTableChoosesSortsAndFollowsTheDialog) {
  Bytes bytes(kMetricsFileSize);  // every value 0, but code 7's width 3 and 200's 1
  WriteSingle(bytes.data(), kLineSpacingOffset, 16);
  WriteSingle(bytes.data(), ValueOffset(7, Width), 3);
  WriteSingle(bytes.data(), ValueOffset(200, Width), 1);
  WriteWholeFile(path_, bytes);
  StartEditor("Q.exe \"" + path_ + "\"");
  ASSERT_TRUE(IsWindowVisible(CompanionWindow()));
  EXPECT_EQ(GetActiveWindow(), EditorWindow());
  EXPECT_EQ(FocusedControl(), IDC_CHARACTER) << "the dialog keeps the focus";
  ASSERT_EQ(SendMessageW(Table(), LVM_GETITEMCOUNT, 0, 0), 256);
  EXPECT_EQ(Cell(65, kHexColumn) + Cell(65, kCharacterColumn), "0x41A");
  EXPECT_EQ(Cell(200, kFirstValueColumn), "1");

  ClickRow(200);
  EXPECT_EQ(ControlText(IDC_NUMBER), "200");
  EXPECT_EQ(ControlText(IDC_WIDTH), "1");

  ClickTitle(kFirstValueColumn);
  EXPECT_EQ(SortArrow(kFirstValueColumn), HDF_SORTUP);
  EXPECT_EQ(Cell(255, kDecimalColumn), "7") << "the widest last";
  ClickTitle(kFirstValueColumn);
  EXPECT_EQ(SortArrow(kFirstValueColumn), HDF_SORTDOWN);
  EXPECT_EQ(SortArrow(kDecimalColumn), 0);
  EXPECT_EQ(Cell(0, kDecimalColumn) + " " + Cell(1, kDecimalColumn), "7 200");
  EXPECT_EQ(SelectedRow(), 1) << "the selection stays with code 200";

  TypeInto(IDC_WIDTH, "5");  // pending: first by its width now
  EXPECT_EQ(Cell(0, kDecimalColumn) + " " + Cell(0, kFirstValueColumn), "200 5");
  EXPECT_EQ(Background(0, kFirstValueColumn), kPending);
  EXPECT_NE(Background(0, kFirstValueColumn + 1), kPending);
  Click(IDC_CHANGE);
  EXPECT_EQ(Cell(0, kFirstValueColumn), "5");
  EXPECT_EQ(Background(0, kFirstValueColumn), kChanged);
  EXPECT_NE(Background(1, kFirstValueColumn), kChanged);

  FocusControl(IDC_CHARACTER);
  PressControlKey('1');
  EXPECT_EQ(GetFocus(), Table());
  PressKey(Key::Tab);  // within the companion
  EXPECT_EQ(GetFocus(), PreviewSampleField());
  FocusControl(IDC_CHARACTER);
  PressControlKey('2');
  EXPECT_EQ(GetFocus(), PreviewSampleField());
  ChooseCompanionMenuItem(kCompanionFilterFirstId + 3);  // 分類 半角英数
  const int rows = static_cast<int>(SendMessageW(Table(), LVM_GETITEMCOUNT, 0, 0));
  EXPECT_GT(rows, 0);
  EXPECT_LT(rows, 256);
  EXPECT_EQ(Cell(0, kRoleColumn) + Cell(rows - 1, kRoleColumn), "半角英数半角英数");
}

// ---- The preview, read back from its memory bitmap

constexpr uint32_t kFramePixel = 0x4682B4;  // the glyph frame's colour

bool IsInk(uint32_t pixel) {
  return ((pixel >> 16) & 0xFF) < 96 && ((pixel >> 8) & 0xFF) < 96 && (pixel & 0xFF) < 96;
}

// The pixels of the whole canvas with the bounds of frame and of ink pixels.
struct Drawn {
  PreviewPixels pixels;
  RECT frame = {INT_MAX, INT_MAX, -1, -1}, ink = {INT_MAX, INT_MAX, -1, -1};
  int framePixels = 0, inkPixels = 0;
};

void Include(RECT* bounds, int x, int y) {
  *bounds = {std::min<LONG>(bounds->left, x), std::min<LONG>(bounds->top, y),
             std::max<LONG>(bounds->right, x + 1), std::max<LONG>(bounds->bottom, y + 1)};
}

// Types text over the sample text, as a user replaces it (a multi-line edit does
// not notify a text set whole).
void TypeSampleText(const wchar_t* text) {
  SendMessageW(PreviewSampleField(), EM_SETSEL, 0, -1);
  SendMessageW(PreviewSampleField(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

Drawn DrawnPreview() {
  Drawn drawn;
  const SIZE size = PreviewCanvasSize(PreviewCanvas());
  drawn.pixels = RenderPreview(PreviewCanvas(), {0, 0, int(size.cx), int(size.cy)});
  for (int y = 0; y < drawn.pixels.height; ++y) {
    for (int x = 0; x < drawn.pixels.width; ++x) {
      const uint32_t pixel = drawn.pixels.pixels[size_t(y) * drawn.pixels.width + x];
      if (pixel == kFramePixel) Include(&drawn.frame, x, y), ++drawn.framePixels;
      if (IsInk(pixel)) Include(&drawn.ink, x, y), ++drawn.inkPixels;
    }
  }
  return drawn;
}

TEST_F(ProgramTest, PreviewDrawsTheGlyphInsideItsBoxAndFollowsAPendingChange) {
  Bytes bytes(kMetricsFileSize);
  WriteSingle(bytes.data(), kLineSpacingOffset, 24);
  WriteSingle(bytes.data(), ValueOffset('A', Width), 10);
  WriteSingle(bytes.data(), ValueOffset('A', Height), 20);
  WriteWholeFile(path_, bytes);
  StartEditor("Q.exe \"" + path_ + "\"");
  TypeSampleText(L"A");
  Drawn drawn = DrawnPreview();
  EXPECT_EQ(drawn.frame.right - drawn.frame.left, 10);
  EXPECT_EQ(drawn.frame.bottom - drawn.frame.top, 20);
  EXPECT_EQ(drawn.framePixels, 2 * (10 + 20) - 4) << "a solid outline";
  ASSERT_GT(drawn.inkPixels, 10) << "the preview font's A";
  EXPECT_GE(drawn.ink.left, drawn.frame.left);
  EXPECT_LE(drawn.ink.right, drawn.frame.right);
  EXPECT_GE(drawn.ink.top, drawn.frame.top);
  EXPECT_LE(drawn.ink.bottom, drawn.frame.bottom);

  FocusControl(IDC_CHARACTER);
  TypeText("A");
  TypeInto(IDC_WIDTH, "14");  // pending: 変更 would make the box wider
  DrainMessages();
  EXPECT_EQ(CompanionSummary(), L"変更: 1 コードの 1 値");
  drawn = DrawnPreview();
  EXPECT_EQ(drawn.frame.right - drawn.frame.left, 14);
  EXPECT_LT(drawn.framePixels, 2 * (14 + 20) - 4) << "dashed";
  EXPECT_TRUE(ReadWholeFile(path_) == bytes) << "nothing written before 変更";
}

int CountPixels(const PreviewPixels& drawn, uint32_t colour) {
  return int(std::count(drawn.pixels.begin(), drawn.pixels.end(), colour));
}

// The rows of the drawing that colour crosses for at least half its width.
int RowsAcross(const PreviewPixels& drawn, uint32_t colour) {
  int rows = 0;
  for (int y = 0; y < drawn.height; ++y) {
    const auto row = drawn.pixels.begin() + ptrdiff_t(y) * drawn.width;
    rows += std::count(row, row + drawn.width, colour) * 2 >= drawn.width;
  }
  return rows;
}

TEST_F(ProgramTest, PreviewPlaceholdersGridZoomAndFontAreShownAndKept) {
  Bytes bytes(kMetricsFileSize);  // no full-width height: placeholders are 16 square
  WriteSingle(bytes.data(), kLineSpacingOffset, 24);
  WriteSingle(bytes.data(), ValueOffset('A', Width), 10);
  WriteSingle(bytes.data(), ValueOffset('A', Height), 20);
  WriteSingle(bytes.data(), ValueOffset('A', OffsetY), 4);  // below its line's top
  WriteWholeFile(path_, bytes);
  g_programSettings = ParseSettingsText("previewfont No Such Font\n");
  StartEditor("Q.exe \"" + path_ + "\"");
  TypeSampleText(L"AB");  // B's record is all zero
  PreviewPixels drawn = DrawnPreview().pixels;
  EXPECT_EQ(CountPixels(drawn, 0xDC0000), 2 * (16 + 16) - 4) << "the placeholder's frame";
  EXPECT_EQ(CountPixels(drawn, 0xFFC3C3), 14 * 14) << "its translucent red inside";
  EXPECT_EQ(RowsAcross(drawn, 0x78AAE6), 0);
  DrainMessages();  // the canvas said the font failed
  const std::wstring note = PreviewFontNote();
  EXPECT_EQ(note.rfind(L"no installed font family has this name", 0), 0u);
  EXPECT_EQ(note.substr(note.size() - 12), L": boxes only");

  ChooseCompanionMenuItem(kPreviewGridId);
  ChooseCompanionMenuItem(kPreviewZoomFirstId + 3);
  EXPECT_TRUE(IsMenuItemChecked(kPreviewGridId));
  EXPECT_TRUE(IsMenuItemChecked(kPreviewZoomFirstId + 3));
  EXPECT_FALSE(IsMenuItemChecked(kPreviewZoomFirstId + 2));
  drawn = DrawnPreview().pixels;
  EXPECT_EQ(RowsAcross(drawn, 0x78AAE6), 1) << "the line's top";
  SCROLLINFO scroll = {};
  scroll.cbSize = sizeof scroll;
  scroll.fMask = SIF_RANGE;
  GetScrollInfo(PreviewCanvas(), SB_HORZ, &scroll);
  EXPECT_EQ(scroll.nMax + 1, 3 * drawn.width) << "zoomed 3x";
  StopEditor();
  const std::string kept = SettingsText(g_programSettings);
  for (const char* line : {"preview 1 1 3\n", "sample AB\n", "previewfont No Such Font\n"})
    EXPECT_NE(kept.find(line), std::string::npos) << line;
}

// The font started at start-up on a thread of its own is the one drawn with when it
// is the font the preview chooses; when it is another, it is dropped and the
// preview's own opens.
TEST_F(ProgramTest, APreviewFontOpenedAheadIsTakenOnlyWhenItIsTheOneChosen) {
  Bytes bytes(kMetricsFileSize);
  WriteSingle(bytes.data(), ValueOffset('A', Width), 10);
  WriteSingle(bytes.data(), ValueOffset('A', Height), 20);
  WriteWholeFile(path_, bytes);
  const struct {
    const char* settings;  // the preview font kept
    const char* ahead;
    bool drawsGlyphs;
  } cases[] = {
      {"previewfont No Such Font\n", "No Such Font", false},
      {"", "No Such Font", true},  // the dialog's own family, opened in place
      {"previewfont No Such Font\n", "MS Gothic", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ahead);
    g_programSettings = ParseSettingsText(c.settings);
    OpenPreviewFontAhead(c.ahead, kOutlineSize);
    StartEditor("Q.exe \"" + path_ + "\"");
    TypeSampleText(L"A");
    EXPECT_EQ(DrawnPreview().inkPixels > 0, c.drawsGlyphs);
    DrainMessages();
    EXPECT_EQ(PreviewFontNote().empty(), c.drawsGlyphs);
    StopEditor();
  }
}

// プレビュー's フォント...: another thread chooses the first entry listed that is
// not the font offered and presses button; the entry, or "" when none was listed.
std::string ChoosePreviewFont(int button) {
  std::wstring family;
  bool answered = false;
  std::thread user([&] {
    for (int i = 0; i < 1000 && !answered; ++i, Sleep(10)) {
      const HWND dialog = FindWindowW(L"#32770", L"プレビューのフォント");
      if (!dialog || !IsWindowVisible(dialog)) continue;
      const HWND list = GetDlgItem(dialog, 2101);
      const int offered = int(SendMessageW(list, CB_GETCURSEL, 0, 0));
      const int entry = offered == 0 ? 1 : 0;
      wchar_t text[256] = {};
      if (SendMessageW(list, CB_GETLBTEXT, entry, reinterpret_cast<LPARAM>(text)) > 0) {
        SendMessageW(list, CB_SETCURSEL, entry, 0);
        family = text;
      }
      answered = true;
      PostMessageW(dialog, WM_COMMAND, button, 0);
    }
  });
  ChooseCompanionMenuItem(kPreviewFontId);
  user.join();
  return Utf16ToUtf8(family);
}

TEST_F(ProgramTest, PreviewFontIsChosenFromTheInstalledFamilies) {
  g_programSettings = ParseSettingsText("previewfont No Such Font\n");
  StartEditor("Q.exe \"" + path_ + "\"");
  TypeSampleText(L"A");
  ChoosePreviewFont(IDCANCEL);
  DrawnPreview();
  DrainMessages();
  EXPECT_NE(PreviewFontNote(), L"") << "キャンセル keeps the font, which does not open";
  const std::string family = ChoosePreviewFont(IDOK);
  ASSERT_FALSE(family.empty());
  DrawnPreview();
  DrainMessages();
  EXPECT_EQ(PreviewFontNote(), L"") << "an installed family opens";
  StopEditor();
  EXPECT_NE(SettingsText(g_programSettings).find("previewfont " + family + "\n"),
            std::string::npos);
}

// ---- フォントから測定, answered by another thread as a user would

HWND MeasureDialog() {
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", nullptr));) {
    wchar_t caption[64] = {};
    GetWindowTextW(w, caption, 64);
    if (GetWindow(w, GW_OWNER) == EditorWindow() && std::wstring(caption) == L"フォントから測定")
      return w;
  }
  return nullptr;
}

// Presses Ctrl+M; once the dialog offers 適用, another thread reads its report and
// presses button.
std::wstring MeasureAndPress(int button) {
  std::wstring report;
  std::thread user([&] {
    for (int i = 0; i < 1000 && report.empty(); ++i, Sleep(10)) {
      const HWND dialog = MeasureDialog();
      if (!dialog || !IsWindowEnabled(GetDlgItem(dialog, IDOK))) continue;
      wchar_t text[512] = {};
      GetWindowTextW(GetDlgItem(dialog, 2011), text, 512);  // the report
      report = text;
      PostMessageW(dialog, WM_COMMAND, button, 0);
    }
  });
  PressControlKey('M');
  user.join();
  return report;
}

TEST_F(ProgramTest, MeasuringAppliesAsOneChangeThatUndoes) {
  const Bytes before = ReadWholeFile(path_);
  StartEditor("Q.exe \"" + path_ + "\"");
  std::wstring report = MeasureAndPress(IDCANCEL);
  EXPECT_NE(report.find(L"codes will be set"), std::wstring::npos);
  EXPECT_TRUE(ReadWholeFile(path_) == before) << "キャンセル writes nothing";

  // What the session measures with the choices the dialog offered: 適用 writes that.
  Bytes image = before;
  image.resize(kMetricsImageSize);
  MeasureSession expected =
      StartMeasureSession(image.data(), &g_programSettings.measure, kNoSelectedCode);
  RemeasureSession(expected, g_programSettings.measure);
  ASSERT_TRUE(expected.applyAllowed);
  MeasureAndPress(IDOK);
  const Bytes after = ReadWholeFile(path_);
  EXPECT_TRUE(after != before);
  EXPECT_TRUE(std::equal(after.begin(), after.end(), expected.measured.begin()));
  EndMeasureSession(expected);
  PressControlKey('Z');
  EXPECT_TRUE(ReadWholeFile(path_) == before) << "one step";
  EXPECT_FALSE(CanUndo(g_history));
  EXPECT_NE(SettingsText(g_programSettings).find("measure 24 "), std::string::npos)
      << "the choices, offered again next time";
}

TEST_F(ProgramTest, MeasuringNeedsAFile) {
  StartEditor("Q.exe");
  HMENU menu = GetSystemMenu(EditorWindow(), FALSE);
  EXPECT_TRUE(IsGreyed(OpenedMenu(menu), MenuItem(menu, L"フォントから測定")));
  PressControlKey('M');
  ASSERT_EQ(MessagesShown().size(), 1u);
  EXPECT_EQ(MessagesShown()[0].text, "No file is open");
  EXPECT_EQ(MeasureDialog(), nullptr);
}

TEST_F(ProgramTest, CompanionOpensAsLeftAndFromTheSystemMenu) {
  g_programSettings = ParseSettingsText("companion closed 50 60 300 200\n");
  StartEditor("Q.exe \"" + path_ + "\"");
  EXPECT_FALSE(IsWindowVisible(CompanionWindow()));
  HMENU menu = GetSystemMenu(EditorWindow(), FALSE);
  SendMessageW(EditorWindow(), WM_SYSCOMMAND, MenuItem(menu, L"一覧とプレビュー"), 0);
  EXPECT_TRUE(IsWindowVisible(CompanionWindow()));
  RECT rect;
  GetWindowRect(CompanionWindow(), &rect);
  EXPECT_EQ(rect.left, 50);
  EXPECT_EQ(rect.right - rect.left, 300);
  StopEditor();
  EXPECT_NE(SettingsText(g_programSettings).find("companion open 50 60 300 200\n"),
            std::string::npos);
}

// ---- The settings file: what it holds, as the program would write it again

TEST(SettingsFile, ReadsWhatItCanSkipsTheRestAndNeverFails) {
  std::string nine;
  for (char c = '1'; c <= '9'; ++c) nine += std::string("recent C:\\") + c + "\n";
  const struct {
    const char* name;
    std::string text, read;
  } cases[] = {
      {"its own", "window 120 -80\r\nrecent C:\\a.fnt\nrecent \\\\s\\b\n",
       "window 120 -80\nrecent C:\\a.fnt\nrecent \\\\s\\b\n"},
      {"binary", std::string("\0\xFF\xFEwindow 1 2\nrecent C:\\\0a.fnt\n", 31), ""},
      {"bad positions", "window 99999 0\nwindow 1\nwindow a b\nwindow 1 2 3\nwindow 0x1 2\n", ""},
      {"unknown keys", "colour red\nwindow\n\nrecent\nRecent C:\\a.fnt\n", ""},
      {"paths it cannot open",
       "recent a.fnt\nrecent C:\\a\tb\nrecent C:\\" + std::string(kPathBufferSize, 'x') + "\n", ""},
      {"more than eight files", nine, nine.substr(0, nine.size() - 12)},
      {"companion",
       "companion open 1 2 0 5\ncompanion closed -10 20 500 400\ncompanion shut 1 2 3 4\n",
       "companion closed -10 20 500 400\n"},
      {"preview",
       "preview 0 1 9\npreview 2 0 1\npreview 0 1 8\nsample a\\\\b\\nc\\t\nsample \\\\\\n\n",
       "preview 0 1 8\nsample \\\\\\n\n"},
      {"measure",
       "measure 0 1 0 0 0\nmeasure 24 1 0 2 0\nmeasure 1000 0 1 1 1\nmeasurefont C:\\f.ttf\n"
       "measurefullwidth 国\nmeasurehalfkana \n",
       "measure 1000 0 1 1 1\nmeasurefont C:\\f.ttf\nmeasurefullwidth 国\nmeasurehalfkana \n"},
      {"texts too long",
       "sample " + std::string(kMaxSettingsSize / 8, 'x') + "\npreviewfont " +
           std::string(kMaxSettingsSize / 8, 'y') + "\n",
       ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SettingsText(ParseSettingsText(c.text)), c.read) << c.name;

  // Through the file, written at exit and read at start; too large or a folder: nothing.
  TempFolder folder;
  const std::wstring path = Wide(folder.Path("QUORVEL")) + L"\\settings";
  ASSERT_TRUE(WriteSettingsFile(path, ParseSettingsText(cases[0].read)));
  EXPECT_EQ(SettingsText(ReadSettingsFile(path)), cases[0].read);
  WriteWholeFile(folder.Path("QUORVEL\\settings"), Bytes(kMaxSettingsSize + 1, 'w'));
  EXPECT_EQ(SettingsText(ReadSettingsFile(path)), "");
  EXPECT_EQ(SettingsText(ReadSettingsFile(Wide(folder.Path("QUORVEL")))), "");
}

}  // namespace
